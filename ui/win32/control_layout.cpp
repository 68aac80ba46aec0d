#include "control_layout.h"

#include "system_error.h"
#include "wide_text.h"

namespace tindora::win32 {
namespace {

constexpr int kDroppedListItems = 12;

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

RECT pixelRect(const layout::ControlSpec& design, int dpi)
{
    return RECT{px(design.left, dpi), px(design.top, dpi), px(design.left + design.width, dpi),
                px(design.top + design.height, dpi)};
}

HWND createWidget(const layout::ControlSpec& design, HWND parent, int id, HINSTANCE instance, int dpi)
{
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (design.kind) {
    case layout::Kind::Label:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
    case layout::Kind::ComboBox:
        className = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        break;
    case layout::Kind::TextBox:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case layout::Kind::CheckBox:
        className = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
    case layout::Kind::CommandButton:
        className = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case layout::Kind::OleContainer:
        return nullptr; // the clip plays without a box on the window
    }
    const std::wstring text = design.kind == layout::Kind::ComboBox ? std::wstring() : toWide(design.caption);
    const RECT at = pixelRect(design, dpi);
    // A combo box's window height is that of its open list.
    const int height = design.kind == layout::Kind::ComboBox ? (at.bottom - at.top) * (kDroppedListItems + 1)
                                                             : at.bottom - at.top;
    HWND widget = CreateWindowExW(exStyle, className, text.c_str(), style, at.left, at.top, at.right - at.left, height,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!widget)
        reportFaultOnce("CreateWindowExW for a control", GetLastError());
    return widget;
}

void layOutControls(const std::vector<std::unique_ptr<NativeControl>>& controls, HWND parent, int dpi)
{
    int fittedField = -1;
    for (const auto& control : controls) {
        const layout::ControlSpec& design = control->design();
        const RECT wanted = pixelRect(design, dpi);
        const int height = wanted.bottom - wanted.top;
        HWND widget = control->widget();
        RECT now;
        GetWindowRect(widget, &now);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
        if (design.kind != layout::Kind::ComboBox) {
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
