#pragma once
// The desktop ends a session (logout, shutdown) by sending SIGTERM to the
// programs still running; a terminal sends SIGHUP or, on Ctrl+C, SIGINT. The
// program then ends as on Windows when the session ends: nothing may ask the
// user anything on the way, so it saves what it can, says on stderr what it
// could not, removes the tray icon and ends, also while a box is open.

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace tindora::qt {

class TerminationSignals {
public:
    // Runs `onSignal` on the UI thread, from the event loop (a box's too),
    // each time one of the signals arrives. One instance per process.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tindora::qt
