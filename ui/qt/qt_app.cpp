#include "qt_app.h"

#include "app_icon.h"

#include <QFont>

#include <cstdlib>

namespace tindora::qt {

bool displayAvailable()
{
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

void configureApplication(QApplication& app)
{
    // Simplified Chinese glyphs for the captions (fonts-noto-cjk); fontconfig
    // falls back to any other CJK font where this one is missing.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    app.setFont(font);
    app.setWindowIcon(appIcon());
    QApplication::setQuitOnLastWindowClosed(false);
}

QtApp::QtApp(std::unique_ptr<settings::SettingsStore> store)
    : runtime(PcmClip{}),
      trayShell(appIcon()),
      settingsStore(std::move(store)),
      form(FormServices{runtime, trayShell, *settingsStore}),
      window(form)
{
    tray::resetTrayModule();
    runtime.setMainWindow(&window);
    runtime.setWakeUpHandler([this] { form.tickDriver().wakeUp(); });
}

QtApp::~QtApp()
{
    runtime.setWakeUpHandler(nullptr);
    tray::resetTrayModule();
}

void QtApp::start()
{
    form.Load();
    form.Show();
    form.tickDriver().start();
}

} // namespace tindora::qt
