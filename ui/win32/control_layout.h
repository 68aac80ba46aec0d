#pragma once
// The native widgets of the window's controls: created in tab order, and put
// where their designs say at the window's DPI.

#include "native_controls.h"

#include <memory>
#include <vector>

#include <windows.h>

namespace tindora::win32 {

// The pixels a design rectangle covers at `dpi`.
RECT pixelRect(const ControlDesign& design, int dpi);

// Creates the widget of one control (null when the system refused), with `id`
// as its WM_COMMAND identifier.
HWND createWidget(const ControlDesign& design, const WidgetKind& kind, HWND parent, int id, HINSTANCE instance,
                  int dpi);

// Moves and sizes every widget to its place at `dpi`; only what is not in
// place yet moves (each move costs a trip to the window server under Wine).
void layOutControls(const std::vector<std::unique_ptr<NativeControl>>& controls, HWND parent, int dpi);

} // namespace tindora::win32
