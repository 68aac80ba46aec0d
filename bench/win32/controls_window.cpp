// The floor under tindora.exe's start-up: the same window with the same
// native controls (placed as Form1's controls are designed, with the same
// manifest, font and list contents) and nothing behind them: no settings
// file, no tray icon, no reminders. The designs are read off Form1 on the
// in-memory backend, which starts nothing. What is left between this and
// tindora.exe is the program's own; what is between this and
// minimal_window.exe is what the window costs.
#include "form1_layout.h"
#include "headless_app.h"
#include "wide_text.h"
#include "widget_kind.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int px(int twips) { return MulDiv(twips, 1, tindora::layout::kTwipsPerPixelAt96Dpi); }

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"ControlsWindow";
    RegisterClassW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, px(tindora::layout::kClientWidthTwips), px(tindora::layout::kClientHeightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, L"ControlsWindow", L"ControlsWindow", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    const tindora::headless::HeadlessApp designs;
    designs.form.controls().forEach([&](auto& control) {
        using tindora::win32::widgetKindOf;
        if constexpr (requires { widgetKindOf(control); }) { // the clip's OLE1 has no widget
            const tindora::win32::WidgetKind kind = widgetKindOf(control);
            const tindora::ControlDesign& design = control.design();
            const int height = px(design.height) * (kind.dropsDown ? tindora::win32::kDroppedListItems + 1 : 1);
            const bool hours = design.name == "Combo2" || design.name == "Combo7" || design.name == "Combo11";
            const int items = !kind.dropsDown ? 0 : hours ? 24 : 60;
            const std::wstring text = kind.dropsDown ? std::wstring() : tindora::win32::toWide(design.caption);
            HWND child = CreateWindowExW(kind.exStyle, kind.className, text.c_str(), kind.style, px(design.left),
                                         px(design.top), px(design.width), height, window, nullptr, instance, nullptr);
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            if (items == 0)
                return;
            // Filled as tindora.exe fills them: with the list not redrawing.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(child, &info);
            SendMessageW(info.hwndList, WM_SETREDRAW, FALSE, 0);
            for (int item = 0; item < items; ++item)
                SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(item).c_str()));
            SendMessageW(info.hwndList, WM_SETREDRAW, TRUE, 0);
        }
    });
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
