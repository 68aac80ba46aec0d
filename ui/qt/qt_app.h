#pragma once
// The whole program on Qt: Form1 with its runtime, tray shell and settings
// file, and its native window, started the way every backend starts it.

#include "caret_blink.h"
#include "desktop_notifier.h"
#include "form1_window.h"
#include "program.h"
#include "qt_runtime.h"
#include "qt_tray_icon.h"
#include "settings_store.h"

#include <QApplication>

#include <memory>

namespace tindora::qt {

// True when Qt has a display to open its windows on.
bool displayAvailable();
// What the program sets on the application before its window exists: the
// font that shows the Chinese captions, Qt's translations for the user's
// language, and that a hidden window (in the tray) does not end the program.
void configureApplication(QApplication& app);

class QtApp {
public:
    explicit QtApp(std::unique_ptr<settings::SettingsStore> store);
    QtApp(const QtApp&) = delete;
    QtApp& operator=(const QtApp&) = delete;

    // Form_Load, then the window shown, then the ticks running. False when
    // the window went during the load.
    bool start() { return program.start(); }

    // First, so that it outlives every box the runtime shows.
    DesktopNotifier notifier;
    QtRuntime runtime;
    QtTrayIcon trayIcon;
    std::unique_ptr<settings::SettingsStore> settingsStore;
    Program program;
    Form1& form = program.form;
    Form1Window window;
    CaretBlinkLimiter caretBlink;
};

} // namespace tindora::qt
