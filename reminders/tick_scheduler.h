#pragma once
// Decides when the clock wakes up and which wall-clock seconds each wake-up
// judges, so that every second is judged exactly once however the platform's
// timer drifts or runs late.
//
// A wake-up is planned just after the next second begins. A wake-up that comes
// late hands over the seconds missed since the last one (or, the first time,
// since the clock started), oldest first, as long as the gap is at most a
// minute; a larger jump forward (the machine slept, the clock was set forward)
// is not made up: only the present second is judged. A jump back lets the
// repeated seconds be judged again.

#include "values.h"

#include <optional>

namespace tindora {

class TickScheduler {
public:
    // How far into a second a wake-up is planned: late enough that a timer
    // firing a little early still lands in the right second.
    static constexpr LocalMillis kWakeOffsetMillis = 20;
    static constexpr LocalSecond kMaxCatchUpSeconds = 60;

    // The clock starts at `now`: the seconds after this one are the first to
    // be judged, however late the first wake-up comes.
    void start(LocalMillis now);

    // The instant at which the next wake-up should come.
    LocalMillis nextWakeUp(LocalMillis now) const;

    // For a wake-up at `now`: the next second to judge, or nothing when every
    // second up to `now` has been handed over. Call until it returns nothing.
    std::optional<LocalSecond> takeSecond(LocalMillis now);

private:
    bool m_started = false;
    LocalSecond m_lastHanded = 0;
};

} // namespace tindora
