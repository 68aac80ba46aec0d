// Code-page conversion with MultiByteToWideChar / WideCharToMultiByte.
#include "win32_codec.h"

#include <windows.h>

#include <string>

namespace tindora::settings {
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

std::wstring toWide(UINT codePage, std::string_view bytes, bool& exact)
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

std::string fromWide(UINT codePage, const std::wstring& wide, bool& exact)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // GB18030 and UTF-8 store every character and refuse the default-character
    // arguments; GBK gets them, and no best fit, so that a character it lacks
    // is reported instead of quietly turned into a look-alike.
    const bool lossless = codePage == CP_UTF8 || codePage == kCodePageGb18030;
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

class CodePageCodec : public TextCodec {
public:
    explicit CodePageCodec(UINT codePage) : m_codePage(codePage) {}

    DecodedText decode(std::string_view bytes) const override
    {
        DecodedText text;
        text.utf8 = fromWide(CP_UTF8, toWide(m_codePage, bytes, text.exact), text.exact);
        return text;
    }
    EncodedText encode(std::string_view utf8) const override
    {
        EncodedText text;
        text.bytes = fromWide(m_codePage, toWide(CP_UTF8, utf8, text.exact), text.exact);
        return text;
    }

private:
    UINT m_codePage;
};

} // namespace

unsigned settingsFileCodePage() { return IsValidCodePage(kCodePageGb18030) ? kCodePageGb18030 : kCodePageGbk; }

std::unique_ptr<TextCodec> makeCodePageCodec(unsigned codePage) { return std::make_unique<CodePageCodec>(codePage); }

const TextCodec& settingsFileCodec()
{
    static const CodePageCodec codec(settingsFileCodePage());
    return codec;
}

} // namespace tindora::settings
