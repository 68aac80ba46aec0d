#pragma once
// The program's one wake-up on Linux: a timer on the wall clock (timerfd,
// CLOCK_REALTIME, absolute) that fires at its instant however long the
// machine sleeps on the way, and that the kernel cancels when the clock is
// set, so the plan can be made anew. A QTimer counts only the time the
// machine is awake, and would come late by the whole sleep.

#include <QSocketNotifier>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tindora::qt {

class WallClockTimer {
public:
    // `fired` when the instant comes, `clockSet` when the clock was set (or
    // the time zone changed) while it was armed.
    WallClockTimer(std::function<void()> fired, std::function<void()> clockSet);
    ~WallClockTimer();
    WallClockTimer(const WallClockTimer&) = delete;
    WallClockTimer& operator=(const WallClockTimer&) = delete;

    // Arms the timer for an instant (milliseconds since the epoch, UTC),
    // replacing the one before; an instant already past fires at once.
    // Returns the system's reason when it refused.
    std::optional<std::string> arm(std::int64_t utcMillis);

    bool isArmed() const { return m_armed; }
    std::int64_t armedFor() const { return m_armedFor; }
    // False where the kernel has no timerfd: then a QTimer stands in, which
    // a sleep delays until the next safety wake-up.
    bool onWallClock() const { return m_fd >= 0; }

private:
    void readExpiry();

    std::function<void()> m_fired;
    std::function<void()> m_clockSet;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
    bool m_armed = false;
    std::int64_t m_armedFor = 0;
};

} // namespace tindora::qt
