#pragma once
// The whole program on the in-memory backend: Form1 started as a backend
// starts it, and a clock a test moves by hand.

#include "headless_runtime.h"
#include "memory_settings_store.h"
#include "program.h"

namespace tindora::headless {

class HeadlessApp {
public:
    // Local time 2026-12-07 00:00:00, a Monday, as milliseconds.
    static constexpr LocalMillis kMonday = 1796601600000;

    // Paced for moments, as the program is meant to wake; EverySecond is the
    // reference a test compares it with.
    explicit HeadlessApp(LocalMillis startClock = kMonday,
                         TickScheduler::Pace pace = TickScheduler::Pace::OnlyForMoments);

    // Creates the window as a backend does: Form_Load, then shown, then ticking.
    void start();
    // Moves the clock to `until`, firing every wake-up armed on the way at the
    // instant it was armed for (plus `lateness`), as a punctual timer would.
    void runUntil(LocalMillis until, LocalMillis lateness = 0);
    // Time passes up to `at` with no wake-up on the way (the program was held
    // up), and the armed wake-up fires there at once.
    void wakeAt(LocalMillis at);
    // The clock is set, or the time zone changes: the local clock jumps to
    // `at` while the monotonic clock runs on, and the armed wake-up keeps its
    // distance. The platform's notification re-plans, unless `notified` is false.
    void setClock(LocalMillis at, bool notified = true);
    // The computer sleeps: both clocks move on by `millis` and no wake-up
    // fires; on resume an overdue wake-up fires at once.
    void sleep(LocalMillis millis);
    // Local time's offset from UTC changes (daylight saving begins or ends,
    // the user picks another zone): the local clock jumps by the difference,
    // UTC and the monotonic clock run on, and the armed wake-up, a UTC
    // instant, keeps it. The platform's notification re-plans, unless
    // `notified` is false (daylight saving is announced by nobody).
    void changeUtcOffset(std::int64_t offset, bool notified = false);

    // Moves both clocks forward to `to`, as time passes.
    void passTime(LocalMillis to);
    void fireWakeUp();

    // How many times the platform's wake-up fired.
    std::size_t wakeUpsFired = 0;

    HeadlessRuntime runtime;
    HeadlessTrayIcon trayIcon;
    MemorySettingsStore settingsStore;
    HeadlessWindowView view;
    Program program;
    Form1& form = program.form;
};

// The user types `text` into a field and commits it, as Tab or Enter does.
template <typename Field> void typeAndCommit(Field& field, const std::string& text)
{
    field.userTypedText(text);
    field.userCommitted();
}

// Local milliseconds of a time on the given day (0 = the Monday above).
constexpr LocalMillis at(int day, int hour, int minute, int second, int millis = 0)
{
    return HeadlessApp::kMonday +
           ((static_cast<LocalMillis>(day) * 24 + hour) * 3600 + static_cast<LocalMillis>(minute) * 60 + second) *
               1000 +
           millis;
}

} // namespace tindora::headless
