#pragma once
// The tray module's platform calls on Win32: Shell_NotifyIconA with the
// 88-byte record, and the window-procedure hook through the W API so that the
// window stays a Unicode window.

#include "module1.h"

namespace tindora::win32 {

class Win32TrayShell : public tray::TrayShell {
public:
    bool notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record) override;
    tray::WindowProcHandle hookWindowProc(std::uint32_t hWnd) override;
    void restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous) override;
    std::intptr_t callWindowProc(tray::WindowProcHandle previous, std::uint32_t hWnd, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam) override;
    std::string toAnsi(std::string_view utf8) override;
};

} // namespace tindora::win32
