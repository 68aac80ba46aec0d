#pragma once
// A time of day the way the user's locale writes one, without date or zone.

#include <QLocale>
#include <QString>

namespace tindora::qt {

// The locale's long time format with the zone taken out. Chinese locales give
// the hour without a leading zero ("8:30:00"), as Simplified Chinese Windows
// writes it, so the announcement texts read the same on both programs.
QString timeOfDayFormat(const QLocale& locale);

} // namespace tindora::qt
