// Tindora on the Linux desktop.
#include "qt_app.h"

#include <cstdio>

#if __has_include("file_settings_store.h")
#include "file_settings_store.h"
#else
namespace tindora::settings {
// Until the settings file lands on this branch: the slots are neither read nor
// written. Goes with the next merge of main.
class NoSettingsFile : public SettingsStore {
};
inline std::unique_ptr<SettingsStore> makeFileSettingsStore() { return std::make_unique<NoSettingsFile>(); }
} // namespace tindora::settings
#endif

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
    tindora::qt::configureApplication(app);
    tindora::qt::QtApp program(tindora::settings::makeFileSettingsStore());
    program.start();
    return QApplication::exec();
}
