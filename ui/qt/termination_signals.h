#pragma once
// The desktop ends a session (logout, shutdown) by sending SIGTERM to the
// programs still running; a terminal sends SIGHUP or, on Ctrl+C, SIGINT. The
// program then closes its window as on Windows when the session ends: the
// settings are saved and the tray icon removed before it ends.

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace tindora::qt {

class TerminationSignals {
public:
    // Runs `onSignal` on the UI thread, from the event loop, once one of the
    // signals arrives. One instance per process.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tindora::qt
