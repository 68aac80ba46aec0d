#pragma once
// The tray module: one icon in the notification area with the window's icon and
// a tooltip, and a replacement window procedure that turns clicks on the icon
// into window actions: a left click shows or hides the window, a right click
// pops the tray menu up. Every other message goes on to the procedure it
// replaced.
//
// The icon record and the message dispatch are portable; only the three
// platform calls sit behind TrayShell.

#include "notify_icon_data.h"
#include "window.h"

#include <cstdint>

namespace tindora::tray {

inline constexpr std::uint32_t TRAY_CALLBACK_MESSAGE = 2025;
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kWmLButtonUp = 514;
inline constexpr std::uint32_t kWmRButtonUp = 517;

// An opaque window procedure: what the platform returned when the hook went in.
using WindowProcHandle = std::uintptr_t;

// The platform's notification-area and window-procedure calls.
// Failure contract: a failing call is reported through its return value and
// never ends the program; the tray module runs on without the icon.
class TrayShell {
public:
    virtual ~TrayShell() = default;
    // Shell_NotifyIcon with the 88-byte record; the shell may write the record
    // back. True when the shell accepted the command.
    virtual bool notifyIcon(std::uint32_t command, NotifyIconRecord& record) = 0;
    // Replaces the window's procedure with one that calls TrayWindowProc and
    // returns the procedure it replaced.
    virtual WindowProcHandle hookWindowProc(std::uint32_t hWnd) = 0;
    // Puts a procedure returned by hookWindowProc back on the window.
    virtual void restoreWindowProc(std::uint32_t hWnd, WindowProcHandle previous) = 0;
    // CallWindowProc: hands a message to a replaced procedure.
    virtual std::intptr_t callWindowProc(WindowProcHandle previous, std::uint32_t hWnd, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The tip in the system's ANSI code page, as the 88-byte record carries it.
    virtual std::string toAnsi(std::string_view utf8) = 0;
};

// The module's state, one per process, empty at start.
struct TrayState {
    TrayShell* shell = nullptr;
    WindowProcHandle PreviousWindowProc = 0;
    FormWindow* TrayForm = nullptr;
    Menu* TrayMenu = nullptr;
    TrayIconData iconData{};
    bool iconShown = false; // the shell accepted the add and no delete followed
    bool hooked = false;
    bool menuOpen = false; // a right click while the menu is open opens no second one
};

// The platform's shell; set once by the backend before TrayAdd.
void setTrayShell(TrayShell& shell);
// The module state, for the backend and for tests.
TrayState& trayState();
// Back to the empty state of program start (tests only).
void resetTrayModule();

void TrayAdd(FormWindow& form, Menu& menu);
void TraySetTip(std::string_view tip);
void TrayRemove();
// Adds the icon again after the shell restarted (Explorer's TaskbarCreated).
void TrayReAdd();
std::intptr_t TrayWindowProc(std::uint32_t hWnd, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace tindora::tray
