#include "headless_app.h"

namespace tindora::headless {

HeadlessApp::HeadlessApp(LocalMillis startClock) : program(FormServices{runtime, trayIcon, settingsStore})
{
    runtime.clock = startClock;
    runtime.programClock = &form.clock();
    form.setView(&view);
}

void HeadlessApp::start() { program.start(); }

void HeadlessApp::runUntil(LocalMillis until, LocalMillis lateness)
{
    while (runtime.armedWakeUp && *runtime.armedWakeUp + lateness <= until && !runtime.ended && !runtime.quit) {
        runtime.clock = *runtime.armedWakeUp + lateness;
        runtime.wakeUpFired();
    }
    runtime.clock = until;
}

void HeadlessApp::wakeAt(LocalMillis when)
{
    runtime.clock = when;
    runtime.wakeUpFired();
}

} // namespace tindora::headless
