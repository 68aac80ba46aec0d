#include "app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tindora::qt {
namespace {

// Only for a build without ui/icon/tindora.ico: a plain clock face, so that
// the tray still shows something the user can click.
QIcon drawnIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 80, 170), 3));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(2.5, 2.5, 27, 27));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(16, 16), QPointF(16, 7));
    painter.drawLine(QPointF(16, 16), QPointF(22, 16));
    return QIcon(pixmap);
}

} // namespace

QIcon appIcon()
{
#ifdef TINDORA_HAS_ICON_FILE
    QIcon icon(QStringLiteral(":/tindora.ico"));
    if (!icon.isNull())
        return icon;
#endif
    return drawnIcon();
}

} // namespace tindora::qt
