#pragma once
// The in-memory backend: a settable clock, every message box and sound request
// recorded in order, a scripted user for boxes and menus, and a window and
// tray shell that record what the program did to them. Tests and benchmarks
// run the real Form1 on it.

#include "form1.h"
#include "forms_runtime.h"
#include "module1.h"
#include "window.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tindora::headless {

// One thing the program did that a user would see or hear, in order.
struct Announcement {
    enum class Kind { Sound, Box };
    Kind kind;
    std::string text; // boxes only
    int flags = 0;
    std::string title;
    LocalSecond judgedSecond = 0; // the clock's second when it happened
};

class HeadlessRuntime : public FormsRuntime {
public:
    LocalMillis now() override { return clock; }
    std::int64_t monotonicMillis() override { return monotonic; }
    // The Simplified Chinese Windows default: H:mm:ss.
    std::string formatTimeOfDay(TimeOfDay time) override;
    int messageBox(std::string_view text, int flags, std::string_view title) override;
    void playAlertClip() override;
    void armWakeUp(LocalMillis at) override { armedWakeUp = at; }
    void endProgram() override { ended = true; }
    void quitAfterUnload() override { quit = true; }

    LocalMillis clock = 0;
    // Moves with `clock` as time passes, and on through a sleep; not when the
    // clock is set. HeadlessApp keeps the two in step.
    std::int64_t monotonic = 0;
    // The local instant the wake-up was armed for. Like a platform timer it
    // counts elapsed time: setting the clock moves it along.
    std::optional<LocalMillis> armedWakeUp;
    bool ended = false;
    bool quit = false;
    // Everything announced, in order. Off for benchmarks that count only.
    std::vector<Announcement> log;
    bool keepLog = true;
    std::size_t soundRequests = 0;
    std::size_t boxesShown = 0;
    // Called while a box is open, as the user would act then; returns the
    // button pressed. Without it every box is closed with its first button.
    std::function<int(const Announcement&)> whileBoxOpen;
    // The clock a tick reads, so the log can say which second it judged.
    const Clock* programClock = nullptr;
};

class HeadlessWindowView : public WindowView {
public:
    void windowChanged(WindowChange what) override { changes.push_back(what); }
    int popupMenu(const Menu& menu) override;
    std::uint32_t windowHandle() const override { return 0x00010020; }
    std::uint32_t iconHandle() const override { return 0x00030040; }

    std::vector<WindowChange> changes;
    int menusShown = 0;
    // Called while the popup menu is open; returns the item chosen or -1.
    std::function<int(const Menu&)> whileMenuOpen;
};

// A tray shell that keeps the window procedure chain the way Windows does: a
// message to the window goes to the hooked procedure, else to the window's own.
class HeadlessTrayShell : public tray::TrayShell {
public:
    static constexpr tray::WindowProcHandle kOwnProc = 0x0040F000;
    static constexpr std::intptr_t kOwnProcResult = 0x7E;

    bool notifyIcon(std::uint32_t command, tray::NotifyIconRecord& record) override;
    tray::WindowProcHandle hookWindowProc(std::uint32_t hWnd) override;
    void restoreWindowProc(std::uint32_t hWnd, tray::WindowProcHandle previous) override;
    std::intptr_t callWindowProc(tray::WindowProcHandle previous, std::uint32_t hWnd, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam) override;
    std::string toAnsi(std::string_view utf8) override { return std::string(utf8); }

    // Delivers a message to the window as the system would.
    std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    struct NotifyCall {
        std::uint32_t command;
        tray::NotifyIconRecord record;
    };
    std::vector<NotifyCall> notifyCalls;
    bool acceptNotify = true; // false: as if there were no notification area
    bool hooked = false;
    std::uint32_t hookedWindow = 0;
    // Messages the window's own procedure received.
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> ownProcMessages;
};

} // namespace tindora::headless
