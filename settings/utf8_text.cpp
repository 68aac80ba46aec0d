#include "utf8_text.h"

#include <cstdint>
#include <string>

namespace tindora::settings {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence at the start of `text`, or 0: no
// overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t validSequenceAt(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

std::string checked(std::string_view text, bool& exact, std::string_view replacement)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = validSequenceAt(text);
        if (length == 0) {
            exact = false;
            out += replacement;
            text.remove_prefix(1);
            continue;
        }
        out += text.substr(0, length);
        text.remove_prefix(length);
    }
    return out;
}

class Utf8Codec : public TextCodec {
public:
    DecodedText decode(std::string_view bytes) const override
    {
        DecodedText text;
        text.utf8 = checked(bytes, text.exact, kReplacement);
        return text;
    }
    EncodedText encode(std::string_view utf8) const override
    {
        EncodedText text;
        text.bytes = checked(utf8, text.exact, "?");
        return text;
    }
};

} // namespace

const TextCodec& utf8Codec()
{
    static const Utf8Codec codec;
    return codec;
}

} // namespace tindora::settings
