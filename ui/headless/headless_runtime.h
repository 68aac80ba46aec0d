#pragma once
// The in-memory backend: a settable clock, every message box and sound request
// recorded in order, a scripted user for boxes and menus, and a window and
// tray shell that record what the program did to them. Tests and benchmarks
// run the real Form1 on it.

#include "form1.h"
#include "forms_runtime.h"
#include "tray_icon.h"
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
    BoxStyle style{};
    std::string title;
    LocalSecond judgedSecond = 0; // the clock's second when it happened
};

class HeadlessRuntime : public FormsRuntime {
public:
    LocalMillis now() override { return clock; }
    std::int64_t utcOffsetMillis() override { return utcOffset; }
    void tellWhileEnding(std::string_view text) override { toldWhileEnding.emplace_back(text); }
    std::int64_t monotonicMillis() override { return monotonic; }
    // The Simplified Chinese Windows default: H:mm:ss.
    std::string formatTimeOfDay(TimeOfDay time) override;
    BoxAnswer messageBox(std::string_view text, BoxStyle style, std::string_view title) override;
    void playAlertClip() override;
    std::optional<std::string> armWakeUp(LocalMillis at) override;
    void endProgram() override { ended = true; }
    void quitAfterUnload() override { quit = true; }

    LocalMillis clock = 0;
    // How far `clock` is ahead of UTC; HeadlessApp::changeUtcOffset moves both.
    std::int64_t utcOffset = 0;
    // What the program said while the session ended.
    std::vector<std::string> toldWhileEnding;
    // Moves with `clock` as time passes, and on through a sleep; not when the
    // clock is set. HeadlessApp keeps the two in step.
    std::int64_t monotonic = 0;
    // The local instant the wake-up was armed for. Like a platform timer it
    // counts elapsed time: setting the clock moves it along.
    std::optional<LocalMillis> armedWakeUp;
    // How many of the next arm requests the platform refuses.
    int wakeUpsToRefuse = 0;
    bool ended = false;
    bool quit = false;
    // Everything announced, in order. Off for benchmarks that count only.
    std::vector<Announcement> log;
    bool keepLog = true;
    std::size_t soundRequests = 0;
    std::size_t boxesShown = 0;
    // Called while a box is open, as the user would act then; returns the
    // button pressed. Without it every box is closed with its first button.
    std::function<BoxAnswer(const Announcement&)> whileBoxOpen;
    // The clock a tick reads, so the log can say which second it judged.
    const Clock* programClock = nullptr;
};

class HeadlessWindowView : public WindowView {
public:
    void windowChanged(WindowChange what) override { changes.push_back(what); }
    int popupMenu(const Menu& menu) override;

    std::vector<WindowChange> changes;
    int menusShown = 0;
    // Called while the popup menu is open; returns the item chosen or -1.
    std::function<int(const Menu&)> whileMenuOpen;
};

// A notification area that records what the program did to its icon, and
// lets a test act as the user (or the shell) on it.
class HeadlessTrayIcon : public TrayIcon {
public:
    bool show(std::string_view tip) override;
    bool setTip(std::string_view tip) override;
    void remove() override;
    bool isShown() const override { return shown; }

    // The user or the shell did something to the icon; true when the program
    // consumed the event. Nothing happens while the icon is not there.
    bool userDid(IconEvent event) { return added && report(event); }

    struct Call {
        enum class Kind { Show, SetTip, Remove };
        Kind kind;
        std::string tip;
    };
    std::vector<Call> calls;
    bool accept = true; // false: as if there were no notification area
    bool added = false; // between show() and remove(), whether accepted or not
    bool shown = false;
    std::string tip;
};

} // namespace tindora::headless
