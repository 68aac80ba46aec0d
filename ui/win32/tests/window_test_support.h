#pragma once
// What the real-window tests share: the program started in a fresh folder on
// a clock the test sets, a message pump that waits for a condition, and a
// watcher that finds the message boxes the program opens, reads and closes them.

#include "test_support.h"
#include "win32_app.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tindora::win32::testing {

using testkit::TempFolder;
using testkit::waitFor;

// The real clocks moved to a chosen local instant; they run on from there.
// Three things move them, each as the system would: the clock set by hand
// moves local time alone; a new time zone (or daylight saving) moves local
// time and its offset from UTC together; a sleep moves local time and the
// monotonic clock together.
class SettableClock {
public:
    // The clock set by hand to `at`.
    void set(LocalMillis at);
    // The time zone changes to one `offset` ahead of UTC: local time jumps by
    // the difference, UTC runs on.
    void changeUtcOffset(std::int64_t offset);
    // The computer sleeps for `millis`.
    void sleep(LocalMillis millis);

    ClockReading read() const;
    LocalMillis now() const { return read().local; }
    std::int64_t monotonic() const;

private:
    // The program reads the clock on its thread while a test thread may set it.
    mutable std::mutex m_mutex;
    LocalMillis m_wallShift = 0;
    std::int64_t m_offsetShift = 0;
    std::int64_t m_monotonicShift = 0;
};

// A message box as the user saw it.
struct SeenBox {
    std::wstring title;
    std::wstring text;
    bool topmost = false; // system-modal boxes stay above every window
    int icon = 0;         // MB_ICONINFORMATION, MB_ICONEXCLAMATION or 0
    bool onlyOk = false;  // one button, OK
    bool ownedByWindow = false;
};

// Watches this process's message boxes from a second thread. Each box is
// recorded once; boxes are closed, all at once, when `closeAt` are open, or
// when the oldest has waited kGiveUpMillis for the rest (a box left open would
// hold the test in its modal loop for good: better a failure than a hang).
class BoxWatcher {
public:
    static constexpr DWORD kGiveUpMillis = 10000;

    explicit BoxWatcher(std::size_t closeAt = 1);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> boxes() const;
    std::size_t count() const;

private:
    void watch();

    std::size_t m_closeAt;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenBox> m_boxes;
    std::vector<HWND> m_seen;
    std::vector<HWND> m_open;
    DWORD m_oldestOpenSince = 0;
    std::thread m_thread;
};

// Dispatches messages until `done` or the timeout; false on timeout. A
// WM_QUIT on the way is noted in `quit`. Each message goes to `preprocess`
// first (the program's own loop does that: Form1Window::preprocessMessage),
// and is dispatched only when it returns false.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMillis = 5000, bool* quit = nullptr,
               const std::function<bool(MSG&)>& preprocess = {});
// Dispatches what is queued now, and a little more.
void pumpFor(DWORD millis);

// The user at the keyboard and the mouse: real input through SendInput, which
// reaches the foreground window's focus (keys) or the window under the
// pointer (clicks). False when the system took none of it.
bool pressKeys(std::initializer_list<WORD> virtualKeys);
bool clickAt(POINT screen);
// A left click in the middle of a window's rectangle.
bool clickOn(HWND window);

// The rectangle of a control in its parent's client coordinates.
RECT clientRectOf(HWND control);
std::wstring textOf(HWND window);

} // namespace tindora::win32::testing
