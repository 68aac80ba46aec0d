#include "tick_scheduler.h"

namespace tindora {

LocalMillis TickScheduler::nextWakeUp(LocalMillis now) const
{
    return (secondOf(now) + 1) * 1000 + kWakeOffsetMillis;
}

void TickScheduler::start(LocalMillis now)
{
    m_started = true;
    m_lastHanded = secondOf(now);
}

std::optional<LocalSecond> TickScheduler::takeSecond(LocalMillis now)
{
    const LocalSecond present = secondOf(now);
    if (m_started && present == m_lastHanded)
        return std::nullopt;
    if (m_started && present > m_lastHanded && present - m_lastHanded <= kMaxCatchUpSeconds)
        return ++m_lastHanded;
    // A first wake-up without a start, a jump back, or a jump forward too large to make up.
    m_started = true;
    m_lastHanded = present;
    return present;
}

} // namespace tindora
