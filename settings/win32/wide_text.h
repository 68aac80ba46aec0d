#pragma once
// Text between the program's UTF-8, the UTF-16 of the Windows W API and the
// system's code pages: the one conversion of both Windows targets, the
// settings file (its codec and store) and the window (its controls, boxes,
// tray tip).

#include <string>
#include <string_view>

namespace tindora::win32 {

// Failure contract of every function here: never fails and never throws.

// `bytes` in `codePage` as UTF-16. Each byte that is not text in that code
// page becomes U+FFFD and clears `exact`; the rest is kept.
std::wstring toWide(unsigned codePage, std::string_view bytes, bool& exact);
// UTF-16 in `codePage`. Each character the code page lacks becomes '?' and
// clears `exact`, never a look-alike; UTF-8 and GB18030 lack none.
std::string fromWide(unsigned codePage, std::wstring_view wide, bool& exact);

// The same for the program's own text, always whole: what cannot be
// converted is replaced as above, without a report.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
// In the system's ANSI code page (936 on a Simplified Chinese Windows).
std::string utf8ToAnsi(std::string_view utf8);

} // namespace tindora::win32
