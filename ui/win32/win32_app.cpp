#include "win32_app.h"

#include "alert_clip_source.h"
#include "settings_source.h"
#include "system_error.h"
#include "wav_reader.h"

namespace tindora::win32 {

Win32App::Win32App(HINSTANCE instance, Options options)
    : runtime(std::move(options.clock), std::move(options.monotonic)), trayIcon(options.shell),
      settingsStore(options.settingsStore ? std::move(options.settingsStore) : makeSettingsStore()),
      program(FormServices{runtime, trayIcon, *settingsStore}), window(form, runtime), m_instance(instance),
      m_beforeLoad(std::move(options.beforeLoad))
{
    // A clip that does not read as a WAV file is not played at all.
    if (const sound::WavReadResult wav = sound::readWav(alertClip()); wav.ok())
        runtime.setAlertClip(wav.clip.file);
}

Win32App::~Win32App()
{
    // A window still hooked (a test that did not end the program) gets its
    // own procedure back before it goes.
    form.trayModule().TrayRemove();
}

bool Win32App::start()
{
    if (!window.create(m_instance)) {
        runtime.messageBox("Tindora 无法打开它的窗口（" + systemErrorText(window.creationError()) + "），只好退出。",
                           BoxStyle{BoxIcon::Error}, Form1::kAboutTitle);
        return false;
    }
    runtime.setWindow(window.handle());
    trayIcon.attach(window.handle(), window.icon());
    if (m_beforeLoad)
        m_beforeLoad(window.handle());
    return program.start();
}

} // namespace tindora::win32
