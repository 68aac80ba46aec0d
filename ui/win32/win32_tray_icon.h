#pragma once
// The tray icon on Win32: the shell's notification icon with our own 88-byte
// record (Shell_NotifyIconA), and TrayWindowProc hooked in place of the
// window's own procedure through the W API, so the window stays Unicode.

#include "shell_notify_icon.h"

#include <windows.h>

#include <functional>

namespace tindora::win32 {

class Win32Shell : public tray::WindowsShell {
public:
    // The window whose procedure is hooked and that gets the shell's callback.
    void setWindow(HWND window) { m_window = window; }

    bool notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record) override;
    bool hookWindow() override;
    void unhookWindow() override;
    std::string toAnsi(std::string_view utf8) override;

    // Where the hooked procedure hands its messages: the icon.
    void setTray(tray::ShellNotifyIcon* icon) { m_icon = icon; }

private:
    static LRESULT CALLBACK TrayWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    WNDPROC m_previous = nullptr;
    tray::ShellNotifyIcon* m_icon = nullptr;
};

class Win32TrayIcon : public tray::ShellNotifyIcon {
public:
    // `shell` stands in for the system's shell in tests; by default the real one.
    explicit Win32TrayIcon(Win32Shell* shell = nullptr);
    ~Win32TrayIcon() override;
    Win32TrayIcon(const Win32TrayIcon&) = delete;
    Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

    // The window and its icon, once the window exists.
    void attach(HWND window, HICON icon);

private:
    Win32Shell m_systemShell;
    Win32Shell& m_shell;
};

} // namespace tindora::win32
