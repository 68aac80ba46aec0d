// The settings file's code pages through the program's one Windows text
// conversion (wide_text.h), which reports what it could not keep.
#include "win32_codec.h"

#include "wide_text.h"

#include <windows.h>

#include <string>

namespace tindora::settings {
namespace {

class CodePageCodec : public TextCodec {
public:
    explicit CodePageCodec(UINT codePage) : m_codePage(codePage) {}

    DecodedText decode(std::string_view bytes) const override
    {
        DecodedText text;
        text.utf8 = win32::fromWide(CP_UTF8, win32::toWide(m_codePage, bytes, text.exact), text.exact);
        return text;
    }
    EncodedText encode(std::string_view utf8) const override
    {
        EncodedText text;
        text.bytes = win32::fromWide(m_codePage, win32::toWide(CP_UTF8, utf8, text.exact), text.exact);
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
