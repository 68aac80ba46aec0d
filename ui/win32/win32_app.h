#pragma once
// The whole Windows program: the runtime, the tray shell, the settings file,
// Form1 and its native window, started the way the program starts.

#include "form1_window.h"
#include "program.h"
#include "win32_runtime.h"
#include "win32_tray_icon.h"

#include <functional>
#include <memory>

namespace tindora::win32 {

class Win32App {
public:
    struct Options {
        // The program's clock seam: the local wall clock with its offset
        // from UTC, and the monotonic clock.
        Win32Runtime::ClockSource clock = readSystemClock;
        Win32Runtime::MonotonicSource monotonic = Win32Runtime::tickCount;
        // Another shell in place of the system's (tests).
        Win32Shell* shell = nullptr;
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

    // Creates the window, then the program's start: Form_Load, the window
    // shown, the tick running. False when the window could not be created
    // (the user is told why) or went during the load.
    bool start();
    // The message loop until the program ends.
    int run() { return window.runMessageLoop(); }

    Win32Runtime runtime;
    Win32TrayIcon trayIcon;
    std::unique_ptr<settings::SettingsStore> settingsStore;
    Program program;
    Form1& form = program.form;
    Form1Window window;

private:
    HINSTANCE m_instance;
    std::function<void(HWND)> m_beforeLoad;
};

} // namespace tindora::win32
