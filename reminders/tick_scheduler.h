#pragma once
// Decides when the clock wakes up and which wall-clock seconds each wake-up
// hands to the tick, so that every second is judged exactly once however the
// platform's timer drifts or runs late, and however the clock is changed.
//
// Paced for moments, a wake-up is planned just after the first second at which
// a tick can announce something, and at most a minute ahead (a safety wake-up
// for a clock or zone change nobody reported); the seconds in between cannot
// announce anything and are judged without a tick. Paced every second, every
// second is handed over, as a timer ticking once a second would.
//
// A wake-up that comes late makes up the seconds missed since the last second
// judged (or, the first time, since the clock started), oldest first, as long
// as they are at most a minute; a larger jump forward is not made up: only the
// present second is judged. When that jump is time that really passed (the
// computer slept or the program was held up: the monotonic clock, which counts
// sleep, advanced with the wall clock, give or take a minute), the wake-up
// reports the gap so that the reminders that fell in it can be named. A clock
// set forward by hand reports nothing. A clock set back by hand lets the
// repeated seconds be judged again.
//
// Local time also jumps when its offset from UTC changes (daylight saving, a
// new time zone), which is never taken for a clock set by hand. Forward, the
// local seconds sprung over did not exist: the wake-up hands them over as a
// skip, for their moments to be announced once, now. Back, the repeated local
// seconds were judged already and are not judged again, except where the
// moments changed since: a reminder set for a second that comes again rings
// then, what rang the first time does not ring twice.

#include "tick_moments.h"
#include "values.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace tindora {

class TickScheduler {
public:
    enum class Pace { EverySecond, OnlyForMoments };

    // How far into a second a wake-up is planned: late enough that a timer
    // firing a little early still lands in the right second.
    static constexpr LocalMillis kWakeOffsetMillis = 20;
    static constexpr LocalSecond kMaxCatchUpSeconds = 60;
    // The longest wait between two wake-ups when paced for moments.
    static constexpr LocalSecond kSafetyWakeUpSeconds = 60;

    // The clocks at one instant: the local wall clock, a monotonic clock that
    // counts the time the computer sleeps, and how far local time is ahead of UTC.
    struct Instant {
        LocalMillis wall = 0;
        std::int64_t monotonic = 0;
        std::int64_t utcOffset = 0;
    };

    // Seconds strictly between `after` and `before` that were never judged
    // because the computer slept or the program was held up.
    struct Gap {
        LocalSecond after;
        LocalSecond before;
        friend bool operator==(const Gap&, const Gap&) = default;
    };

    // Local seconds strictly between `after` and `before` that did not exist:
    // the offset from UTC grew over them.
    struct Skip {
        LocalSecond after;
        LocalSecond before;
        friend bool operator==(const Skip&, const Skip&) = default;
    };

    explicit TickScheduler(Pace pace = Pace::EverySecond) : m_pace(pace) {}
    Pace pace() const { return m_pace; }
    void setPace(Pace pace) { m_pace = pace; }

    // The clock starts at `now`: the seconds after this one are the first to
    // be judged, however late the first wake-up comes.
    void start(Instant now);

    // The instant for the next wake-up, planned from what is known now. Call
    // after every wake-up, and whenever the moments or the clock changed.
    LocalMillis planWakeUp(Instant now, const TickMoments& moments);

    // A wake-up came at `now`: decides which seconds up to now it hands over,
    // and reports a gap of time that really passed unjudged.
    std::optional<Gap> wakeUp(Instant now);
    // The local seconds the last wake-up found sprung over, once.
    std::optional<Skip> takeSkip() { return std::exchange(m_skip, std::nullopt); }

    // The next second to hand to the tick, or nothing when every second up to
    // the last wake-up has been handed or cannot announce anything with these
    // moments. Call until it returns nothing.
    std::optional<LocalSecond> takeSecond(const TickMoments& moments);

private:
    // While nothing is waiting to be handed, moves the judged seconds over
    // those that passed in real time and that the plan knew to be silent.
    void passQuietSeconds(Instant now);
    // Where the wall clock would be now had nobody set it by hand since the
    // last wake-up: the time that passed, and any change of the UTC offset.
    LocalMillis projectedWall(Instant now) const;
    bool setByHand(Instant now) const;
    // Once the present is behind the seconds judged without the clock set
    // back by hand, the offset from UTC shrank: the seconds up to them repeat.
    void noticeRepeat(LocalSecond present);
    // The first repeated second, after those handed, at which the moments now
    // announce what they did not when it was judged.
    std::optional<LocalSecond> nextNewlyAnnouncingSecond(const TickMoments& moments) const;

    // Local seconds that come again after the offset from UTC shrank.
    struct Repeat {
        LocalSecond until;      // the last of them (judged the first time)
        TickMoments judgedWith; // the moments they were judged with
        LocalSecond judged;     // handed (or passed over) up to here
        LocalSecond handTo;     // waiting to be handed up to here
    };

    Pace m_pace;
    bool m_started = false;
    LocalSecond m_judged = 0;  // every second up to here is judged
    LocalSecond m_handTo = 0;  // seconds after m_judged up to here wait to be handed
    LocalSecond m_quietTo = 0; // the plan found nothing to announce up to here
    Instant m_anchor;          // the last wake-up (or the start)
    TickMoments m_plannedWith; // the moments of the last plan
    std::optional<Skip> m_skip;
    std::optional<Repeat> m_repeat;
};

} // namespace tindora
