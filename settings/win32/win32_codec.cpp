// Code-page conversion with MultiByteToWideChar / WideCharToMultiByte.
#include "win32_codec.h"

#include <windows.h>

#include <string>

namespace tindora::settings {
namespace {

std::wstring toWide(UINT codePage, std::string_view bytes, bool& exact)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (length == 0) {
        // Invalid bytes: convert again letting the system replace them.
        exact = false;
        flags = 0;
        length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
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

unsigned settingsFileCodePage()
{
    return IsValidCodePage(kCodePageGb18030) ? kCodePageGb18030 : kCodePageGbk;
}

std::unique_ptr<TextCodec> makeCodePageCodec(unsigned codePage) { return std::make_unique<CodePageCodec>(codePage); }

const TextCodec& settingsFileCodec()
{
    static const CodePageCodec codec(settingsFileCodePage());
    return codec;
}

} // namespace tindora::settings
