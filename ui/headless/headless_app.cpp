#include "headless_app.h"

namespace tindora::headless {

HeadlessApp::HeadlessApp(LocalMillis startClock) : form(FormServices{runtime, trayShell, settingsStore})
{
    runtime.clock = startClock;
    runtime.programClock = &form.clock();
    tray::resetTrayModule();
    form.setView(&view);
}

HeadlessApp::~HeadlessApp()
{
    tray::resetTrayModule();
}

void HeadlessApp::start()
{
    form.Load();
    form.Show();
    form.tickDriver().start();
}

void HeadlessApp::runUntil(LocalMillis until, LocalMillis lateness)
{
    while (runtime.armedWakeUp && *runtime.armedWakeUp + lateness <= until && !runtime.ended && !runtime.quit) {
        runtime.clock = *runtime.armedWakeUp + lateness;
        form.tickDriver().wakeUp();
    }
    runtime.clock = until;
}

void HeadlessApp::wakeAt(LocalMillis when)
{
    runtime.clock = when;
    form.tickDriver().wakeUp();
}

} // namespace tindora::headless
