#include "dpi.h"

namespace tindora::win32 {
namespace {

struct DpiApi {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    using SpiForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustForDpiFn adjustWindowRectExForDpi = nullptr;
    SpiForDpiFn systemParametersInfoForDpi = nullptr;

    static const DpiApi& get()
    {
        static const DpiApi api = [] {
            DpiApi loaded;
            if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
                loaded.getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
                loaded.adjustWindowRectExForDpi = reinterpret_cast<AdjustForDpiFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
                loaded.systemParametersInfoForDpi = reinterpret_cast<SpiForDpiFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoForDpi")));
            }
            return loaded;
        }();
        return api;
    }
};

} // namespace

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int windowDpi(HWND window)
{
    const DpiApi& api = DpiApi::get();
    if (api.getDpiForWindow && window)
        if (const UINT dpi = api.getDpiForWindow(window))
            return static_cast<int>(dpi);
    return systemDpi();
}

SIZE outerSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi)
{
    RECT frame{0, 0, client.cx, client.cy};
    const DpiApi& api = DpiApi::get();
    if (api.adjustWindowRectExForDpi)
        api.adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

LOGFONTW messageFontForDpi(int dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const DpiApi& api = DpiApi::get();
    if (api.systemParametersInfoForDpi) {
        api.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi));
    } else {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi());
    }
    return metrics.lfMessageFont;
}

} // namespace tindora::win32
