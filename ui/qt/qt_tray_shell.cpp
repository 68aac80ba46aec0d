#include "qt_tray_shell.h"

#include <algorithm>

namespace tindora::qt {
namespace {

constexpr std::intptr_t kLButtonDblClk = 515; // WM_LBUTTONDBLCLK

QString tipOf(const tray::NotifyIconRecord& record)
{
    const tray::TrayIconData data = tray::unpack(record);
    const auto end = std::find(data.szTip.begin(), data.szTip.end(), std::uint8_t {0});
    return QString::fromUtf8(reinterpret_cast<const char*>(data.szTip.data()), end - data.szTip.begin());
}

} // namespace

QtTrayShell::QtTrayShell(const QIcon& icon)
    : m_icon(icon)
{
    // Queued, as Windows posts the callback: the click's own mouse event ends
    // first, so a popup menu opened for it starts with the button released.
    QObject::connect(
        &m_icon, &QSystemTrayIcon::activated, &m_icon,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) {
                sendMessage(tray::TRAY_CALLBACK_MESSAGE, 0, tray::kWmLButtonUp);
            } else if (reason == QSystemTrayIcon::DoubleClick) {
                // Qt reports a quick second click as a double click only;
                // Windows sends the double click and then that click's
                // release, which shows or hides the window again.
                sendMessage(tray::TRAY_CALLBACK_MESSAGE, 0, kLButtonDblClk);
                sendMessage(tray::TRAY_CALLBACK_MESSAGE, 0, tray::kWmLButtonUp);
            } else if (reason == QSystemTrayIcon::Context)
                sendMessage(tray::TRAY_CALLBACK_MESSAGE, 0, tray::kWmRButtonUp);
        },
        Qt::QueuedConnection);
}

bool QtTrayShell::notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record)
{
    switch (command) {
    case tray::kNimAdd:
    case tray::kNimModify:
        if (tray::unpack(record).uFlags & 4) // NIF_TIP
            m_icon.setToolTip(tipOf(record));
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        m_icon.show();
        return true;
    case tray::kNimDelete:
        m_icon.hide();
        return true;
    default:
        return false;
    }
}

tray::WindowProcHandle QtTrayShell::hookWindowProc(std::uint32_t hWnd)
{
    m_window = hWnd;
    const tray::WindowProcHandle previous = m_currentProc;
    m_currentProc = kTrayProc;
    return previous;
}

void QtTrayShell::restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous)
{
    if (hWnd == m_window)
        m_currentProc = previous;
}

std::intptr_t QtTrayShell::callWindowProc(tray::WindowProcHandle previous, std::uint32_t hWnd, std::uint32_t message,
    std::uintptr_t wParam, std::intptr_t lParam)
{
    if (previous == kTrayProc)
        return tray::TrayWindowProc(hWnd, message, wParam, lParam);
    if (previous == kOwnProc)
        ++m_ownProcMessages;
    return 0;
}

std::intptr_t QtTrayShell::sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return callWindowProc(m_currentProc, m_window, message, wParam, lParam);
}

} // namespace tindora::qt
