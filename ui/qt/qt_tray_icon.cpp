#include "qt_tray_icon.h"

namespace tindora::qt {
namespace {

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& icon) : m_icon(icon)
{
    // Queued, as Windows posts the shell's callback: the click's own mouse
    // event ends first, so a popup menu opened for it starts with the button
    // released.
    QObject::connect(
        &m_icon, &QSystemTrayIcon::activated, &m_icon,
        [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
            case QSystemTrayIcon::Trigger:
                report(IconEvent::LeftReleased);
                break;
            case QSystemTrayIcon::DoubleClick:
                // Qt reports a quick second click as a double click only;
                // Windows reports the double click and then that click's
                // release, which shows or hides the window again.
                report(IconEvent::DoubleClicked);
                report(IconEvent::LeftReleased);
                break;
            case QSystemTrayIcon::Context:
                report(IconEvent::RightReleased);
                break;
            default:
                break;
            }
        },
        Qt::QueuedConnection);
}

bool QtTrayIcon::show(std::string_view tip)
{
    if (!tip.empty())
        m_icon.setToolTip(qs(tip));
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_icon.show();
    return true;
}

bool QtTrayIcon::setTip(std::string_view tip)
{
    m_icon.setToolTip(qs(tip));
    return m_icon.isVisible();
}

void QtTrayIcon::remove() { m_icon.hide(); }

} // namespace tindora::qt
