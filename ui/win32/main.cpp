// tindora.exe: one copy per settings file, then Form1 until the program ends.
#include "win32_app.h"

#include "single_instance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    tindora::win32::SingleInstance single;
    if (!single.isFirst()) {
        single.bringFirstForward(tindora::win32::Form1Window::bringForwardMessage());
        return 0;
    }
    tindora::win32::Win32App app(instance);
    if (!app.start())
        return 1;
    single.publishWindow(app.window.handle());
    return app.run();
}
