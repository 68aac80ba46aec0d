// Tindora on the Linux desktop.
#include "file_settings_store.h"
#include "qt_app.h"
#include "single_instance.h"
#include "termination_signals.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (!tindora::qt::displayAvailable()) {
        std::fputs("Tindora 需要图形桌面：没有找到显示器（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。\n"
                   "Tindora needs a graphical desktop: start it from a desktop session, or run it on a virtual\n"
                   "display: Xvfb :99 & DISPLAY=:99 tindora\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    tindora::qt::SingleInstance single;
    if (!single.isFirst()) {
        single.bringFirstForward();
        return 0;
    }
    tindora::qt::configureApplication(app);
    tindora::qt::QtApp program(tindora::settings::makeFileSettingsStore());
    // As when the session ends on Windows: the window unloads at once, asking
    // nothing (time.txt saved, or why not said on stderr; the tray icon
    // removed), and the program ends, also from under an open box.
    tindora::qt::TerminationSignals endOfSession([&program] { program.form.systemEndedSession(); });
    // The window can go during the load: the user chose to leave at one of
    // its boxes, or the session ended while one was open, which ended that
    // box's event loop but could not end the program's, not yet running.
    if (!program.start())
        return 0;
    single.onBringForward([&program] {
        program.form.Show();
        program.window.raise();
        program.window.activateWindow();
    });
    return QApplication::exec();
}
