#include "tick_driver.h"

namespace tindora {

void TickDriver::start()
{
    m_scheduler.start(instantNow());
    m_started = true;
    rearm();
}

void TickDriver::rearm()
{
    if (m_started)
        m_runtime.armWakeUp(m_scheduler.planWakeUp(instantNow(), m_hooks.moments()));
}

void TickDriver::wakeUp()
{
    const TickScheduler::Instant now = instantNow();
    const auto gap = m_scheduler.wakeUp(now);
    m_runtime.armWakeUp(m_scheduler.planWakeUp(now, m_hooks.moments()));
    // A wake-up that comes while a box of this one is open takes over the
    // seconds still to hand; this one then stops, so none is handed twice.
    const std::uint64_t wakeUp = ++m_wakeUps;
    if (gap)
        m_hooks.reportGap(*gap);
    while (wakeUp == m_wakeUps) {
        const auto second = m_scheduler.takeSecond(m_hooks.moments());
        if (!second)
            break;
        Clock::TickScope scope(m_clock, *second);
        m_timer.fire();
    }
}

} // namespace tindora
