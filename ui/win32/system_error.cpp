#include "system_error.h"

#include "wide_text.h"

#include <set>

namespace tindora::win32 {

std::string systemErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || !text)
        return "错误代码 " + std::to_string(code);
    std::wstring_view words(text, length);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
        words.remove_suffix(1);
    std::string utf8 = toUtf8(words);
    LocalFree(text);
    return utf8;
}

void reportFaultOnce(std::string_view call, DWORD code)
{
    static std::set<std::string, std::less<>> reported;
    if (reported.contains(call))
        return;
    reported.emplace(call);
    const std::string line = "Tindora: " + std::string(call) + ": " + systemErrorText(code) + "\n";
    OutputDebugStringW(toWide(line).c_str());
}

} // namespace tindora::win32
