#include "wide_text.h"

#include "win32_codec.h"

#include <windows.h>

namespace tindora::win32 {
namespace {

// Converts character by character, each invalid byte becoming U+FFFD: left
// to itself, the system may swallow the byte after an invalid one.
std::wstring toWideReplacing(UINT codePage, std::string_view bytes)
{
    std::wstring wide;
    std::size_t i = 0;
    while (i < bytes.size()) {
        bool converted = false;
        for (std::size_t length = 1; length <= 4 && i + length <= bytes.size(); ++length) {
            wchar_t units[4];
            const int got = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                                static_cast<int>(length), units, 4);
            if (got > 0) {
                wide.append(units, static_cast<std::size_t>(got));
                i += length;
                converted = true;
                break;
            }
        }
        if (!converted) {
            wide.push_back(L'\xFFFD');
            ++i;
        }
    }
    return wide;
}

} // namespace

std::wstring toWide(unsigned codePage, std::string_view bytes, bool& exact)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length == 0) {
        exact = false;
        return toWideReplacing(codePage, bytes);
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string fromWide(unsigned codePage, std::wstring_view wide, bool& exact)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // GB18030 and UTF-8 store every character and refuse the default-character
    // arguments; other code pages get them, and no best fit, so that a
    // character they lack is reported instead of quietly turned into a look-alike.
    // The ANSI code page can be UTF-8 itself (a Windows 10 option).
    const UINT actual = codePage == CP_ACP ? GetACP() : codePage;
    const bool lossless = actual == CP_UTF8 || actual == settings::kCodePageGb18030;
    const DWORD flags = lossless ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const char defaultChar[] = "?";
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0,
                                           lossless ? nullptr : defaultChar, lossless ? nullptr : &usedDefault);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, lossless ? nullptr : defaultChar,
                        lossless ? nullptr : &usedDefault);
    if (usedDefault)
        exact = false;
    return bytes;
}

std::wstring toWide(std::string_view utf8)
{
    bool exact = true;
    return toWide(CP_UTF8, utf8, exact);
}

std::string toUtf8(std::wstring_view wide)
{
    bool exact = true;
    return fromWide(CP_UTF8, wide, exact);
}

std::string utf8ToAnsi(std::string_view utf8)
{
    bool exact = true;
    return fromWide(CP_ACP, toWide(utf8), exact);
}

} // namespace tindora::win32
