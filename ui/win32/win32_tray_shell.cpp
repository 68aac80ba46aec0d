#include "win32_tray_shell.h"

#include "wide_text.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>

namespace tindora::win32 {
namespace {

HWND toHwnd(std::uint32_t handle) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle)); }

// What the system calls in place of the window's own procedure.
LRESULT CALLBACK trayWindowProcThunk(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return tray::TrayWindowProc(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hWnd)), message, wParam,
                                lParam);
}

} // namespace

bool Win32TrayShell::notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record)
{
    // MinGW's NOTIFYICONDATAA is far larger; the shell reads cbSize (88) and
    // takes only the original layout from our own aligned buffer.
    alignas(8) std::uint8_t buffer[tray::kNotifyIconRecordSize];
    std::memcpy(buffer, record.data(), record.size());
    const BOOL accepted = Shell_NotifyIconA(command, reinterpret_cast<PNOTIFYICONDATAA>(buffer));
    std::memcpy(record.data(), buffer, record.size());
    return accepted != FALSE;
}

tray::WindowProcHandle Win32TrayShell::hookWindowProc(std::uint32_t hWnd)
{
    return static_cast<tray::WindowProcHandle>(SetWindowLongPtrW(
        toHwnd(hWnd), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trayWindowProcThunk)));
}

void Win32TrayShell::restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous)
{
    SetWindowLongPtrW(toHwnd(hWnd), GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
}

std::intptr_t Win32TrayShell::callWindowProc(tray::WindowProcHandle previous, std::uint32_t hWnd,
                                             std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return CallWindowProcW(reinterpret_cast<WNDPROC>(previous), toHwnd(hWnd), message, wParam, lParam);
}

std::string Win32TrayShell::toAnsi(std::string_view utf8) { return utf8ToAnsi(utf8); }

} // namespace tindora::win32
