#pragma once
// The window's DPI, and the two measures that depend on it: the frame around
// a client area and the message font. The per-monitor calls exist from
// Windows 10 1607 on; Windows 7 and 8 fall back to the system DPI.

#include <windows.h>

namespace tindora::win32 {

int systemDpi();
// The DPI of the monitor the window is on.
int windowDpi(HWND window);
// The outer size of a window whose client area is `client` at `dpi`.
SIZE outerSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);
// The system's message font, sized for `dpi`.
LOGFONTW messageFontForDpi(int dpi);

} // namespace tindora::win32
