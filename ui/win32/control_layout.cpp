#include "control_layout.h"

#include "form1_layout.h"
#include "system_error.h"
#include "wide_text.h"

namespace tindora::win32 {
namespace {

int px(int twips, int dpi) { return layout::twipsToPixels(twips, dpi); }

// Gives a drop-down combo box its closed height.
void fitComboHeight(HWND combo, int height, int& fittedField)
{
    auto closedHeight = [combo] {
        RECT closed;
        GetWindowRect(combo, &closed);
        return static_cast<int>(closed.bottom - closed.top);
    };
    int current = closedHeight();
    if (current == height)
        return;
    // What the field height means differs between systems (Wine adds two
    // pixels to what it was given): correct by what the box turned out, and
    // give the other boxes, which share the font, what worked for the first.
    int field = fittedField > 0 ? fittedField
                                : static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) +
                                      height - current;
    for (int attempt = 0; attempt < 3 && field >= 1; ++attempt) {
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        current = closedHeight();
        if (current == height) {
            fittedField = field;
            return;
        }
        field += height - current;
    }
}

} // namespace

RECT pixelRect(const ControlDesign& design, int dpi)
{
    return RECT{px(design.left, dpi), px(design.top, dpi), px(design.left + design.width, dpi),
                px(design.top + design.height, dpi)};
}

HWND createWidget(const ControlDesign& design, const WidgetKind& kind, HWND parent, int id, HINSTANCE instance, int dpi)
{
    const std::wstring text = kind.dropsDown ? std::wstring() : toWide(design.caption);
    const RECT at = pixelRect(design, dpi);
    // A combo box's window height is that of its open list.
    const int height = kind.dropsDown ? (at.bottom - at.top) * (kDroppedListItems + 1) : at.bottom - at.top;
    HWND widget = CreateWindowExW(kind.exStyle, kind.className, text.c_str(), kind.style, at.left, at.top,
                                  at.right - at.left, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  instance, nullptr);
    if (!widget)
        reportFaultOnce("CreateWindowExW for a control", GetLastError());
    return widget;
}

void layOutControls(const std::vector<std::unique_ptr<NativeControl>>& controls, HWND parent, int dpi)
{
    int fittedField = -1;
    for (const auto& control : controls) {
        const ControlDesign& design = control->design();
        const RECT wanted = pixelRect(design, dpi);
        const int height = wanted.bottom - wanted.top;
        HWND widget = control->widget();
        RECT now;
        GetWindowRect(widget, &now);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
        if (!control->kind().dropsDown) {
            if (!EqualRect(&now, &wanted))
                SetWindowPos(widget, nullptr, wanted.left, wanted.top, wanted.right - wanted.left, height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        // A drop-down combo box's own height is its edit field's; the window
        // height given to it is that of the open list.
        if (now.left != wanted.left || now.top != wanted.top || now.right != wanted.right) {
            const auto item = static_cast<int>(SendMessageW(widget, CB_GETITEMHEIGHT, 0, 0));
            SetWindowPos(widget, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                         height + kDroppedListItems * item + 2, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        fitComboHeight(widget, height, fittedField);
    }
}

} // namespace tindora::win32
