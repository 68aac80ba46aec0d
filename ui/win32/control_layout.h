#pragma once
// The native widgets of the window's controls: created from the layout table
// in tab order, and put where the table says at the window's DPI.

#include "form1_layout.h"
#include "native_controls.h"

#include <memory>
#include <vector>

#include <windows.h>

namespace tindora::win32 {

// The pixels a design rectangle covers at `dpi`.
RECT pixelRect(const layout::ControlSpec& design, int dpi);

// Creates the widget of one design (null for OLE1, which has none, or when
// the system refused), with `id` as its WM_COMMAND identifier.
HWND createWidget(const layout::ControlSpec& design, HWND parent, int id, HINSTANCE instance, int dpi);

// Moves and sizes every widget to its place at `dpi`; only what is not in
// place yet moves (each move costs a trip to the window server under Wine).
void layOutControls(const std::vector<std::unique_ptr<NativeControl>>& controls, HWND parent, int dpi);

} // namespace tindora::win32
