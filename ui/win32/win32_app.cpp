#include "win32_app.h"

#include "alert_clip_source.h"
#include "settings_source.h"
#include "wav_reader.h"

namespace tindora::win32 {

Win32App::Win32App(HINSTANCE instance, Options options)
    : runtime(std::move(options.clock)),
      settingsStore(options.settingsStore ? std::move(options.settingsStore) : makeSettingsStore()),
      form(FormServices{runtime, options.trayShell ? *options.trayShell : systemTrayShell, *settingsStore}),
      window(form, runtime),
      m_instance(instance),
      m_beforeLoad(std::move(options.beforeLoad))
{
    // The tray module keeps one state per process; start from the empty one.
    tray::resetTrayModule();
    runtime.setWakeUpHandler([this] { form.tickDriver().wakeUp(); });
    // A clip that does not read as a WAV file is not played at all.
    if (const sound::WavReadResult wav = sound::readWav(alertClip()); wav.ok())
        runtime.setAlertClip(wav.clip.file);
}

Win32App::~Win32App()
{
    // A window still hooked (a test that did not end the program) gets its
    // own procedure back before it goes.
    tray::TrayRemove();
    tray::resetTrayModule();
}

bool Win32App::start()
{
    if (!window.create(m_instance))
        return false;
    runtime.setWindow(window.handle());
    if (m_beforeLoad)
        m_beforeLoad(window.handle());
    form.Load();
    if (form.isUnloaded())
        return false;
    form.Show();
    form.tickDriver().start();
    return true;
}

} // namespace tindora::win32
