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
        arm(m_scheduler.planWakeUp(instantNow(), m_hooks.moments()));
}

void TickDriver::wakeUp()
{
    const TickScheduler::Instant now = instantNow();
    const auto gap = m_scheduler.wakeUp(now);
    arm(m_scheduler.planWakeUp(now, m_hooks.moments()));
    // A wake-up that comes while a box of this one is open takes over the
    // seconds still to hand; this one then stops, so none is handed twice.
    const std::uint64_t wakeUp = ++m_wakeUps;
    if (gap)
        m_hooks.reportGap(*gap);
    if (const auto skip = m_scheduler.takeSkip(); skip)
        m_hooks.announceSkipped(*skip);
    while (wakeUp == m_wakeUps) {
        const auto second = m_scheduler.takeSecond(m_hooks.moments());
        if (!second)
            break;
        Clock::TickScope scope(m_clock, *second);
        m_timer.fire();
    }
}

void TickDriver::arm(LocalMillis at)
{
    std::optional<std::string> refusal = m_runtime.armWakeUp(at);
    if (refusal)
        refusal = m_runtime.armWakeUp(at);
    if (!refusal) {
        m_refusalTold = false;
        return;
    }
    if (m_refusalTold)
        return;
    m_refusalTold = true;
    m_runtime.messageBox(wakeUpRefusedText(*refusal), kWakeUpRefusedStyle, "Tindora");
}

std::string TickDriver::wakeUpRefusedText(std::string_view reason)
{
    std::string text = "系统拒绝为 Tindora 设置计时器";
    if (!reason.empty())
        text.append("（").append(reason).append("）");
    text += "。在重新启动 Tindora 之前，提醒和整点报时都不会出现。";
    return text;
}

} // namespace tindora
