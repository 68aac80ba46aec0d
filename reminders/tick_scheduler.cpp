#include "tick_scheduler.h"

#include <algorithm>
#include <cstdlib>

namespace tindora {
namespace {

// How far the wall clock may stray from where the other clocks put it before
// it counts as set by hand: timers and clock reads are never this far apart.
constexpr LocalMillis kSetByHandMillis = 1000;

} // namespace

LocalMillis TickScheduler::projectedWall(Instant now) const
{
    return m_anchor.wall + (now.monotonic - m_anchor.monotonic) + (now.utcOffset - m_anchor.utcOffset);
}

bool TickScheduler::setByHand(Instant now) const
{
    return std::llabs(now.wall - projectedWall(now)) > kSetByHandMillis;
}

void TickScheduler::start(Instant now)
{
    m_started = true;
    m_judged = m_handTo = m_quietTo = secondOf(now.wall);
    m_anchor = now;
    m_skip.reset();
    m_repeat.reset();
}

void TickScheduler::noticeRepeat(LocalSecond present)
{
    if (!m_repeat && m_judged == m_handTo && present < m_handTo)
        m_repeat = Repeat{m_handTo, m_plannedWith, present, present};
}

std::optional<LocalSecond> TickScheduler::nextNewlyAnnouncingSecond(const TickMoments& moments) const
{
    for (auto second = nextAnnouncingSecond(moments, m_repeat->handTo); second && *second <= m_repeat->until;
         second = nextAnnouncingSecond(moments, *second)) {
        if (!announcesAt(m_repeat->judgedWith, timeOfDayOf(*second)))
            return second;
    }
    return std::nullopt;
}

void TickScheduler::passQuietSeconds(Instant now)
{
    // While a wake-up still has seconds to hand (a box of one of them is
    // open), the seconds after them are handed with them instead.
    if (m_judged != m_handTo)
        return;
    // The seconds that passed in real time, as a tick every second would have
    // judged them by now; the clock's own jumps do not count.
    const LocalSecond passed = std::min(m_quietTo, secondOf(projectedWall(now) - kWakeOffsetMillis));
    if (passed > m_judged)
        m_judged = m_handTo = passed;
}

LocalMillis TickScheduler::planWakeUp(Instant now, const TickMoments& moments)
{
    if (!m_started)
        start(now);
    passQuietSeconds(now);
    const LocalSecond present = secondOf(now.wall);
    if (m_judged == m_handTo && setByHand(now)) {
        // The clock was set back, or set forward so far that the next wake-up
        // could not make the seconds up though the time that really passed
        // could: from here on the clock counts from the present, as a tick
        // every second would after the jump (seconds set back over are judged
        // again, seconds jumped over are not made up), and the jump is not
        // taken for a sleep later.
        const bool setBack = present + 1 < m_handTo;
        const bool beyondCatchUp = present + 1 - m_handTo > kMaxCatchUpSeconds;
        const bool withinByRealTime = secondOf(projectedWall(now)) + 1 - m_handTo <= kMaxCatchUpSeconds;
        if (setBack || (beyondCatchUp && withinByRealTime)) {
            m_judged = m_handTo = present;
            m_anchor = now;
            m_repeat.reset();
        }
    }
    // Judged with the moments planned so far, before these.
    noticeRepeat(present);
    m_plannedWith = moments;
    // Seconds up to m_handTo are judged or on their way: the plan starts
    // after them (after a zone change back, well after the present, unless a
    // repeated second now announces something new).
    const LocalSecond from = m_handTo;
    LocalSecond target = from + 1;
    if (m_repeat)
        target = m_repeat->handTo + 1;
    if (m_pace == Pace::OnlyForMoments) {
        target = present + kSafetyWakeUpSeconds;
        if (const auto next = nextAnnouncingSecond(moments, from))
            target = std::min(target, *next);
        if (const auto again = m_repeat ? nextNewlyAnnouncingSecond(moments) : std::nullopt)
            target = std::min(target, *again);
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
    const LocalMillis projected = projectedWall(now);
    const LocalSecond quiet = std::min(m_quietTo, secondOf(projected - kWakeOffsetMillis));
    // Lateness counts from the last second known to be judged or on its way.
    const LocalSecond accounted = std::max(m_handTo, quiet);
    const bool byHand = setByHand(now);
    std::optional<Gap> gap;
    if (present > accounted && present - accounted <= kMaxCatchUpSeconds) {
        m_handTo = present;
        if (m_repeat)
            m_repeat->handTo = m_repeat->until;
    } else if (present > accounted) {
        // Too far forward to make up: only the present second is judged. When
        // the time that passed on the monotonic clock alone is too long to
        // make up, the computer slept or the program was held up; when the
        // offset from UTC grew, the seconds in between did not exist.
        const LocalMillis shift = now.utcOffset - m_anchor.utcOffset;
        const bool reallyPassed = secondOf(projected - shift) - accounted > kMaxCatchUpSeconds;
        if (reallyPassed)
            gap = Gap{m_judged, present};
        else if (shift > 0 && !byHand)
            m_skip = Skip{accounted, present};
        m_judged = present - 1;
        m_handTo = present;
        m_repeat.reset();
    } else if (present < accounted && byHand) {
        // Set back by hand: the repeated seconds are judged again.
        m_judged = present - 1;
        m_handTo = present;
        m_repeat.reset();
    } else {
        // The present second is judged already, or its local time came round
        // again as the offset from UTC shrank: only what is new in a repeated
        // second is handed.
        noticeRepeat(present);
        if (m_repeat)
            m_repeat->handTo = std::max(m_repeat->handTo, std::min(present, m_repeat->until));
    }
    m_anchor = now;
    return gap;
}

std::optional<LocalSecond> TickScheduler::takeSecond(const TickMoments& moments)
{
    if (m_repeat) {
        while (m_repeat->judged < m_repeat->handTo) {
            const LocalSecond second = ++m_repeat->judged;
            const TimeOfDay time = timeOfDayOf(second);
            if (announcesAt(moments, time) && !announcesAt(m_repeat->judgedWith, time))
                return second;
        }
        if (m_repeat->judged >= m_repeat->until)
            m_repeat.reset();
    }
    while (m_judged < m_handTo) {
        const LocalSecond second = ++m_judged;
        if (m_pace == Pace::EverySecond || announcesAt(moments, timeOfDayOf(second)))
            return second;
    }
    return std::nullopt;
}

} // namespace tindora
