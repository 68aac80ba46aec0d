#pragma once
// The tray module's platform calls on Qt: the notification-icon record becomes
// a QSystemTrayIcon, and the window procedure becomes a replaceable procedure
// on Form1's window that the icon's clicks are delivered through, as message
// 2025 with 514 (left) or 517 (right), the way Windows delivers them.

#include "module1.h"

#include <QIcon>
#include <QSystemTrayIcon>

#include <cstdint>

namespace tindora::qt {

class QtTrayShell : public tray::TrayShell {
public:
    // The window's own procedure: Qt handles the window's events itself, so
    // what reaches it here needs nothing more and yields 0.
    static constexpr tray::WindowProcHandle kOwnProc = 1;
    // The procedure TrayAdd puts in: it calls TrayWindowProc.
    static constexpr tray::WindowProcHandle kTrayProc = 2;

    explicit QtTrayShell(const QIcon& icon);

    // False, so that the window stays reachable (minimized) instead of going
    // to the tray, when the desktop has no notification area.
    bool notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record) override;
    tray::WindowProcHandle hookWindowProc(std::uint32_t hWnd) override;
    void restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous) override;
    std::intptr_t callWindowProc(tray::WindowProcHandle previous, std::uint32_t hWnd, std::uint32_t message,
        std::uintptr_t wParam, std::intptr_t lParam) override;
    // The record never leaves the process here, so the tip stays UTF-8.
    std::string toAnsi(std::string_view utf8) override { return std::string(utf8); }

    // Delivers a message to the window through its current procedure.
    std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    QSystemTrayIcon& icon() { return m_icon; }
    // Messages that reached the window's own procedure (for tests).
    int ownProcMessages() const { return m_ownProcMessages; }

private:
    QSystemTrayIcon m_icon;
    std::uint32_t m_window = 0;
    tray::WindowProcHandle m_currentProc = kOwnProc;
    int m_ownProcMessages = 0;
};

} // namespace tindora::qt
