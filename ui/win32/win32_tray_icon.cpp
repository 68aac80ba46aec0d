#include "win32_tray_icon.h"

#include "system_error.h"
#include "wide_text.h"

#include <shellapi.h>

#include <cstring>

namespace tindora::win32 {
namespace {

// The window property that leads TrayWindowProc to its shell.
constexpr wchar_t kShellProperty[] = L"Tindora.TrayShell";

std::uint32_t handle32(const void* handle)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace

bool Win32Shell::notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record)
{
    // MinGW's NOTIFYICONDATAA is far larger; the shell reads cbSize (88) and
    // takes only the original layout from our own aligned buffer.
    alignas(8) std::uint8_t buffer[tray::kNotifyIconRecordSize];
    std::memcpy(buffer, record.data(), record.size());
    const BOOL accepted = Shell_NotifyIconA(command, reinterpret_cast<PNOTIFYICONDATAA>(buffer));
    std::memcpy(record.data(), buffer, record.size());
    // Refused at a start before the shell is up (a start at login): the
    // icon comes with the shell's TaskbarCreated. Worth a line, not a box.
    if (!accepted && command != tray::kNimDelete)
        reportFaultOnce("Shell_NotifyIconA", GetLastError());
    return accepted != FALSE;
}

bool Win32Shell::hookWindow()
{
    if (!m_window || !SetPropW(m_window, kShellProperty, this)) {
        reportFaultOnce("SetPropW", GetLastError());
        return false;
    }
    SetLastError(0);
    const LONG_PTR previous = SetWindowLongPtrW(m_window, GWLP_WNDPROC,
                                                reinterpret_cast<LONG_PTR>(&Win32Shell::TrayWindowProc));
    // 0 is also what a window without a procedure of its own would return;
    // only the error code tells a refusal.
    if (previous == 0 && GetLastError() != 0) {
        reportFaultOnce("SetWindowLongPtrW", GetLastError());
        RemovePropW(m_window, kShellProperty);
        return false;
    }
    m_previous = reinterpret_cast<WNDPROC>(previous);
    return true;
}

void Win32Shell::unhookWindow()
{
    if (!m_window || !m_previous)
        return;
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    RemovePropW(m_window, kShellProperty);
    m_previous = nullptr;
}

std::string Win32Shell::toAnsi(std::string_view utf8) { return utf8ToAnsi(utf8); }

LRESULT CALLBACK Win32Shell::TrayWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* shell = static_cast<Win32Shell*>(GetPropW(hWnd, kShellProperty));
    if (!shell || !shell->m_previous)
        return DefWindowProcW(hWnd, message, wParam, lParam);
    // The icon's event may remove the icon and the hook (the tray menu's
    // close item): take the procedure to hand on to first.
    const WNDPROC previous = shell->m_previous;
    if (shell->m_icon && shell->m_icon->windowMessage(message, lParam))
        return 0;
    return CallWindowProcW(previous, hWnd, message, wParam, lParam);
}

// The base only keeps the reference to its shell; m_systemShell, built just
// after the base, is in place before the base ever uses it.
Win32TrayIcon::Win32TrayIcon(Win32Shell* shell)
    : ShellNotifyIcon(shell ? *shell : m_systemShell), m_shell(shell ? *shell : m_systemShell)
{
    m_shell.setTray(this);
}

Win32TrayIcon::~Win32TrayIcon() { m_shell.setTray(nullptr); }

void Win32TrayIcon::attach(HWND window, HICON icon)
{
    m_shell.setWindow(window);
    setWindow(handle32(window), handle32(icon));
    setShellRestartMessage(RegisterWindowMessageW(L"TaskbarCreated"));
}

} // namespace tindora::win32
