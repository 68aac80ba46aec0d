#include "tick_scheduler.h"

#include <algorithm>

namespace tindora {
namespace {

// Where the wall clock would be now had nobody changed it since `anchor`.
LocalMillis projectedWall(const TickScheduler::Instant& anchor, const TickScheduler::Instant& now)
{
    return anchor.wall + (now.monotonic - anchor.monotonic);
}

} // namespace

void TickScheduler::start(Instant now)
{
    m_started = true;
    m_judged = m_handTo = m_quietTo = secondOf(now.wall);
    m_anchor = now;
}

void TickScheduler::passQuietSeconds(Instant now)
{
    // While a wake-up still has seconds to hand (a box of one of them is
    // open), the seconds after them are handed with them instead.
    if (m_judged != m_handTo)
        return;
    // The seconds that passed in real time, as a tick every second would have
    // judged them by now; the clock's own jumps do not count.
    const LocalSecond passed = std::min(m_quietTo, secondOf(projectedWall(m_anchor, now) - kWakeOffsetMillis));
    if (passed > m_judged)
        m_judged = m_handTo = passed;
}

LocalMillis TickScheduler::planWakeUp(Instant now, const TickMoments& moments)
{
    if (!m_started)
        start(now);
    passQuietSeconds(now);
    const LocalSecond present = secondOf(now.wall);
    if (m_judged == m_handTo) {
        // The clock was set back, or set forward so far that the next wake-up
        // could not make the seconds up though the time that really passed
        // could: from here on the clock counts from the present, as a tick
        // every second would after the jump (seconds set back over are judged
        // again, seconds jumped over are not made up), and the jump is not
        // taken for a sleep later.
        const LocalMillis projected = projectedWall(m_anchor, now);
        const bool setBack = present + 1 < m_handTo;
        const bool beyondCatchUp = present + 1 - m_handTo > kMaxCatchUpSeconds;
        const bool withinByRealTime = secondOf(projected) + 1 - m_handTo <= kMaxCatchUpSeconds;
        if (setBack || (beyondCatchUp && withinByRealTime)) {
            m_judged = m_handTo = present;
            m_anchor = now;
        }
    }
    // After a jump back the plan starts from the present, so the repeated
    // seconds are judged again.
    const LocalSecond from = std::min(m_handTo, present);
    LocalSecond target = from + 1;
    if (m_pace == Pace::OnlyForMoments) {
        target = present + kSafetyWakeUpSeconds;
        if (const auto next = nextAnnouncingSecond(moments, from))
            target = std::min(target, *next);
    }
    m_quietTo = target - 1;
    // A moment already past (the clock was set forward over it) is made up by
    // the wake-up just after the present second, as a tick every second would.
    return std::max(target, present + 1) * 1000 + kWakeOffsetMillis;
}

std::optional<TickScheduler::Gap> TickScheduler::wakeUp(Instant now)
{
    const LocalSecond present = secondOf(now.wall);
    if (!m_started) {
        start(now);
        m_judged = present - 1;
        return std::nullopt;
    }
    passQuietSeconds(now);
    const LocalMillis projected = projectedWall(m_anchor, now);
    const LocalSecond quiet = std::min(m_quietTo, secondOf(projected - kWakeOffsetMillis));
    // Lateness counts from the last second known to be judged or on its way.
    const LocalSecond accounted = std::max(m_handTo, quiet);
    std::optional<Gap> gap;
    if (present > accounted && present - accounted <= kMaxCatchUpSeconds) {
        m_handTo = present;
    } else if (present != accounted) {
        // Too far forward to make up, or back: only the present second is
        // judged. When the time that passed on the monotonic clock alone is
        // too long to make up, the computer slept or the program was held up.
        const bool reallyPassed = secondOf(projected) - accounted > kMaxCatchUpSeconds;
        if (present > accounted && reallyPassed)
            gap = Gap{m_judged, present};
        m_judged = present - 1;
        m_handTo = present;
    }
    m_anchor = now;
    return gap;
}

std::optional<LocalSecond> TickScheduler::takeSecond(const TickMoments& moments)
{
    while (m_judged < m_handTo) {
        const LocalSecond second = ++m_judged;
        if (m_pace == Pace::EverySecond || announcesAt(moments, timeOfDayOf(second)))
            return second;
    }
    return std::nullopt;
}

} // namespace tindora
