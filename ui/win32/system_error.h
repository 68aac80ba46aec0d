#pragma once
// A failed Windows call put into words, once: the system's own text for the
// error code, in the user's language, for a message or the debug output.

#include <windows.h>

#include <string>
#include <string_view>

namespace tindora::win32 {

// The system's description of an error code ("拒绝访问。" under a Chinese
// Windows), without the line break it ends with; the number where the
// system has no text for it.
std::string systemErrorText(DWORD code);

// A failure the program runs on without (a font, a menu, the tray icon):
// written once per call name to the debug output, where a debugger or
// DebugView shows it; later failures of the same call are not repeated.
void reportFaultOnce(std::string_view call, DWORD code);

} // namespace tindora::win32
