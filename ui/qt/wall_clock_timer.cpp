#include "wall_clock_timer.h"

#include <QDateTime>

#include <algorithm>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tindora::qt {

WallClockTimer::WallClockTimer(std::function<void()> fired, std::function<void()> clockSet)
    : m_fired(std::move(fired)), m_clockSet(std::move(clockSet))
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readExpiry(); });
    }
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_fallback, &QTimer::timeout, [this] {
        m_armed = false;
        m_fired();
    });
}

WallClockTimer::~WallClockTimer()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<std::string> WallClockTimer::arm(std::int64_t utcMillis)
{
    m_armedFor = utcMillis;
    if (m_fd < 0) {
        const std::int64_t delay = utcMillis - QDateTime::currentMSecsSinceEpoch();
        m_fallback.start(static_cast<int>(std::clamp<std::int64_t>(delay, 0, 24LL * 3600 * 1000)));
        m_armed = true;
        return std::nullopt;
    }
    itimerspec when{};
    // 0 would disarm the timer: an instant at or before the epoch is "now".
    const std::int64_t at = std::max<std::int64_t>(utcMillis, 1);
    when.it_value.tv_sec = static_cast<time_t>(at / 1000);
    when.it_value.tv_nsec = static_cast<long>(at % 1000 * 1000000);
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        m_armed = false;
        return std::string(std::strerror(errno));
    }
    m_armed = true;
    return std::nullopt;
}

void WallClockTimer::readExpiry()
{
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(m_fd, &expirations, sizeof expirations);
    if (got < 0 && errno == ECANCELED) {
        // The clock was set: the instant no longer means what was planned.
        m_armed = false;
        m_clockSet();
        return;
    }
    if (got != static_cast<ssize_t>(sizeof expirations))
        return; // EAGAIN: the timer was re-armed before this read
    m_armed = false;
    m_fired();
}

} // namespace tindora::qt
