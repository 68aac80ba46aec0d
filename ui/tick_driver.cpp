#include "tick_driver.h"

namespace tindora {

void TickDriver::wakeUp()
{
    const LocalMillis now = m_runtime.now();
    m_runtime.armWakeUp(m_scheduler.nextWakeUp(now));
    // A wake-up that comes while a box of this one is open takes over the
    // seconds still to hand; this one then stops, so none is handed twice.
    const std::uint64_t wakeUp = ++m_wakeUps;
    while (wakeUp == m_wakeUps) {
        const auto second = m_scheduler.takeSecond(now);
        if (!second)
            break;
        Clock::TickScope scope(m_clock, *second);
        m_timer.fire();
    }
}

} // namespace tindora
