// The baseline for tindora.exe's start-up and memory: the least a Win32
// program with one window does, built the same way (MinGW-w64 i686, static).
// With the argument "text" it also shows one Chinese caption in the system's
// message font: what drawing Chinese costs any program.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MinimalWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"MinimalWindow", L"MinimalWindow", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 687, 136, nullptr, nullptr, instance, nullptr);
    if (std::wcsstr(commandLine, L"text")) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        HWND label = CreateWindowExW(0, L"STATIC", L"分提醒，提醒事件：", WS_CHILD | WS_VISIBLE, 8, 8, 200, 20, window,
                                     nullptr, instance, nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&metrics.lfMessageFont)), FALSE);
    }
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
