#pragma once
// Connects the platform's single-shot wake-up to Timer1: each wake-up re-arms
// the next one first (so ticks go on while a box of this tick is open) and then
// hands every second the scheduler names to Timer1, one tick each, with the
// clock pinned to that second.

#include "clock.h"
#include "controls.h"
#include "forms_runtime.h"
#include "tick_scheduler.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tindora {

class TickDriver {
public:
    TickDriver(Timer& timer, Clock& clock, FormsRuntime& runtime) : m_timer(timer), m_clock(clock), m_runtime(runtime) {}

    // Arms the first wake-up; the backend calls it once the window is shown.
    // A first wake-up held up by a slow start still judges every second since.
    void start()
    {
        m_scheduler.start(m_runtime.now());
        rearm();
    }
    // The platform's wake-up fired.
    void wakeUp();
    // Plans the next wake-up anew, after the clock was set or the machine resumed.
    void rearm() { arm(m_scheduler.nextWakeUp(m_runtime.now())); }

    // What the user is told when the platform refuses the wake-up twice.
    static std::string wakeUpRefusedText(std::string_view reason);

private:
    // A refusal is tried once more at once (the platform may be short of
    // timers for a moment); a second one is told to the user, once until a
    // wake-up is armed again, since no reminder can come without it.
    void arm(LocalMillis at);

    Timer& m_timer;
    Clock& m_clock;
    FormsRuntime& m_runtime;
    TickScheduler m_scheduler;
    std::uint64_t m_wakeUps = 0;
    bool m_refusalTold = false;
};

} // namespace tindora
