#include "time_format.h"

#include <QRegularExpression>

namespace tindora::qt {

QString timeOfDayFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // The long format ends or starts with the zone ("t", "tttt"): announcement
    // times are wall-clock times of day, a zone only clutters them.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    format.replace(zone, QStringLiteral(" "));
    format = format.trimmed();
    if (format.isEmpty())
        format = QStringLiteral("H:mm:ss");
    if (locale.language() == QLocale::Chinese && format.startsWith(QLatin1String("HH")))
        format.remove(0, 1);
    return format;
}

} // namespace tindora::qt
