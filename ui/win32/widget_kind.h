#pragma once
// What each kind of control is as a native widget: its window class and
// styles. The program's window and the start-up floor benchmark, which puts
// the same widgets on a window with nothing behind them, both make theirs
// from here.

#include "controls.h"

#include <windows.h>

namespace tindora::win32 {

struct WidgetKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle = 0;
    // A drop-down combo box: its window reaches down over its open list.
    bool dropsDown = false;
    // Drawn under the others: a label's box reaches under its neighbour.
    bool underneath = false;
};

// How many items a drop-down list shows before it scrolls.
inline constexpr int kDroppedListItems = 12;

WidgetKind widgetKindOf(const Label&);
WidgetKind widgetKindOf(const ComboBox&);
WidgetKind widgetKindOf(const TextBox&);
WidgetKind widgetKindOf(const CheckBox&);
WidgetKind widgetKindOf(const CommandButton&);

} // namespace tindora::win32
