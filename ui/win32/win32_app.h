#pragma once
// The whole Windows program: the runtime, the tray shell, the settings file,
// Form1 and its native window, started the way the program starts.

#include "form1.h"
#include "form1_window.h"
#include "win32_runtime.h"
#include "win32_tray_shell.h"

#include <functional>
#include <memory>

namespace tindora::win32 {

class Win32App {
public:
    struct Options {
        // The program's clock seam.
        Win32Runtime::ClockSource clock = localNow;
        // Another tray shell in place of the system's (tests).
        tray::TrayShell* trayShell = nullptr;
        // Runs once the native window exists, before Form_Load (tests).
        std::function<void(HWND)> beforeLoad;
        // Another settings store in place of time.txt in the current folder (tests).
        std::unique_ptr<settings::SettingsStore> settingsStore;
    };

    explicit Win32App(HINSTANCE instance, Options options);
    explicit Win32App(HINSTANCE instance) : Win32App(instance, Options{}) {}
    ~Win32App();
    Win32App(const Win32App&) = delete;
    Win32App& operator=(const Win32App&) = delete;

    // Creates the window, raises Form_Load, shows the window and starts the
    // tick; false when the window could not be created.
    bool start();
    // The message loop until the program ends.
    int run() { return window.runMessageLoop(); }

    Win32Runtime runtime;
    Win32TrayShell systemTrayShell;
    std::unique_ptr<settings::SettingsStore> settingsStore;
    Form1 form;
    Form1Window window;

private:
    HINSTANCE m_instance;
    std::function<void(HWND)> m_beforeLoad;
};

} // namespace tindora::win32
