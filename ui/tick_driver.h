#pragma once
// Connects the platform's single-shot wake-up to Timer1: each wake-up re-arms
// the next one first (so ticks go on while a box of this tick is open) and then
// hands every second the scheduler names to Timer1, one tick each, with the
// clock pinned to that second. After a gap of time that really passed unjudged
// (the computer slept), it first has the missed reminders reported; after
// local time sprang forward (daylight saving, a new zone), the moments of the
// seconds that did not exist announced.

#include "clock.h"
#include "controls.h"
#include "forms_runtime.h"
#include "tick_moments.h"
#include "tick_scheduler.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tindora {

class TickDriver {
public:
    // What the driver reads from the form: the moments as a tick would see
    // them now, and where to report a gap of time that passed unjudged.
    struct FormHooks {
        std::function<TickMoments()> moments;
        std::function<void(const TickScheduler::Gap&)> reportGap;
        // Local seconds the clock sprang forward over: their moments come now.
        std::function<void(const TickScheduler::Skip&)> announceSkipped;
    };

    TickDriver(Timer& timer, Clock& clock, FormsRuntime& runtime, FormHooks hooks)
        : m_timer(timer), m_clock(clock), m_runtime(runtime), m_hooks(std::move(hooks))
    {
    }

    // Only for the seconds that can announce something (the program's own
    // pace), or every second, the reference the tests compare it with.
    void setPace(TickScheduler::Pace pace) { m_scheduler.setPace(pace); }
    TickScheduler::Pace pace() const { return m_scheduler.pace(); }

    // Arms the first wake-up; the backend calls it once the window is shown.
    // A first wake-up held up by a slow start still judges every second since.
    void start();
    // The platform's wake-up fired.
    void wakeUp();
    // Plans the next wake-up anew, at once: the backend calls it when the
    // clock was set, the time zone (or its rules) changed, or the computer
    // resumed from sleep; the form calls it when a slot or an option changed.
    // Before start() it does nothing.
    void rearm();

    // What the user is told when the platform refuses the wake-up twice:
    // above every window, since the window may be hidden in the tray.
    static std::string wakeUpRefusedText(std::string_view reason);
    static constexpr BoxStyle kWakeUpRefusedStyle{BoxIcon::Exclamation, BoxButtons::Ok, true};

private:
    TickScheduler::Instant instantNow()
    {
        return {m_runtime.now(), m_runtime.monotonicMillis(), m_runtime.utcOffsetMillis()};
    }
    // A refusal is tried once more at once (the platform may be short of
    // timers for a moment); a second one is told to the user, once until a
    // wake-up is armed again, since no reminder can come without it.
    void arm(LocalMillis at);

    Timer& m_timer;
    Clock& m_clock;
    FormsRuntime& m_runtime;
    FormHooks m_hooks;
    // The program wakes only for the seconds that can announce something.
    TickScheduler m_scheduler{TickScheduler::Pace::OnlyForMoments};
    bool m_started = false;
    std::uint64_t m_wakeUps = 0;
    bool m_refusalTold = false;
};

} // namespace tindora
