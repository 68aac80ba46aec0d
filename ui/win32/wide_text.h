#pragma once
// UTF-8, the program's own text, to and from the UTF-16 of the Windows W API
// and the system's ANSI code page.

#include <string>
#include <string_view>

namespace tindora::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
// In the system's ANSI code page (936 on a Simplified Chinese Windows).
std::string utf8ToAnsi(std::string_view utf8);

} // namespace tindora::win32
