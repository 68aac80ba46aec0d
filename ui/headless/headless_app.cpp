#include "headless_app.h"

namespace tindora::headless {

HeadlessApp::HeadlessApp(LocalMillis startClock, TickScheduler::Pace pace)
    : program(FormServices{runtime, trayIcon, settingsStore})
{
    runtime.clock = startClock;
    runtime.monotonic = 3600 * 1000; // a boot an hour ago; any value does
    form.tickDriver().setPace(pace);
    runtime.programClock = &form.clock();
    form.setView(&view);
}

void HeadlessApp::start() { program.start(); }

void HeadlessApp::fireWakeUp()
{
    ++wakeUpsFired;
    runtime.wakeUpFired();
}

void HeadlessApp::passTime(LocalMillis to)
{
    // A run nested in a box may have gone further already; time never runs back.
    if (to <= runtime.clock)
        return;
    runtime.monotonic += to - runtime.clock;
    runtime.clock = to;
}

void HeadlessApp::runUntil(LocalMillis until, LocalMillis lateness)
{
    while (runtime.armedWakeUp && *runtime.armedWakeUp + lateness <= until && !runtime.ended && !runtime.quit) {
        passTime(*runtime.armedWakeUp + lateness);
        fireWakeUp();
    }
    passTime(until);
}

void HeadlessApp::wakeAt(LocalMillis when)
{
    passTime(when);
    fireWakeUp();
}

void HeadlessApp::setClock(LocalMillis at, bool notified)
{
    if (runtime.armedWakeUp)
        *runtime.armedWakeUp += at - runtime.clock;
    runtime.clock = at;
    if (notified)
        form.tickDriver().rearm();
}

void HeadlessApp::changeUtcOffset(std::int64_t offset, bool notified)
{
    const std::int64_t shift = offset - runtime.utcOffset;
    if (runtime.armedWakeUp)
        *runtime.armedWakeUp += shift;
    runtime.clock += shift;
    runtime.utcOffset = offset;
    if (notified)
        form.tickDriver().rearm();
}

void HeadlessApp::sleep(LocalMillis millis)
{
    passTime(runtime.clock + millis);
    if (runtime.armedWakeUp && *runtime.armedWakeUp <= runtime.clock)
        fireWakeUp();
}

} // namespace tindora::headless
