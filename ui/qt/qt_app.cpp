#include "qt_app.h"

#include "app_icon.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

#include "alert_clip.h"
#include "wav_reader.h"

namespace tindora::qt {
namespace {

// The embedded clip as the player takes it (the reader takes only the clip's
// own layout, 16-bit PCM); nothing, no sound, when it cannot be read.
PcmClip alertClip()
{
    static const sound::WavReadResult wav = sound::readWav(sound::alertClipBytes());
    if (!wav.ok()) {
        std::fprintf(stderr, "tindora: the alert clip cannot be played: %s\n", wav.message.c_str());
        return {};
    }
    return {static_cast<int>(wav.clip.format.sampleRate), wav.clip.format.channels, wav.clip.samples};
}

} // namespace

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
    // Qt's own texts (the boxes' buttons: "确定", "是", "否") in the user's
    // language, as the system's boxes show them on Windows.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    app.setWindowIcon(appIcon());
    QApplication::setQuitOnLastWindowClosed(false);
}

QtApp::QtApp(std::unique_ptr<settings::SettingsStore> store)
    : notifier(QDBusConnection::sessionBus(), appIcon().pixmap(32).toImage()), runtime(alertClip()),
      trayIcon(appIcon()), settingsStore(std::move(store)), program(FormServices{runtime, trayIcon, *settingsStore}),
      window(form)
{
    runtime.setMainWindow(&window);
    runtime.setNotifier(&notifier);
    // The tray module pops mnuTray up itself on a right click; a tray that
    // draws the item's menu itself needs its items beforehand.
    trayIcon.setMenu(form.mnuTray);
}

} // namespace tindora::qt
