// The settings file's encoding on Linux: GB18030 through iconv.
#include "text_codec.h"

#include <gtest/gtest.h>

namespace tindora::settings {
namespace {

TEST(Gb18030Codec, StoresChineseAsGbkAndEveryOtherCharacterInFourBytes)
{
    const TextCodec& codec = settingsFileCodec();
    const std::pair<std::string, std::string> cases[] = {
        {"开会", "\xBF\xAA\xBB\xE1"},
        {"abc 5", "abc 5"},
        {"€", "\xA2\xE3"},
        {"\xF0\xA0\x80\x80", "\x95\x32\x82\x36"}, // U+20000, outside GBK
        {"😀", "\x94\x39\xFC\x36"},                // U+1F600
    };
    for (const auto& [utf8, bytes] : cases) {
        const EncodedText encoded = codec.encode(utf8);
        EXPECT_TRUE(encoded.exact) << utf8;
        EXPECT_EQ(encoded.bytes, bytes) << utf8;
        const DecodedText decoded = codec.decode(bytes);
        EXPECT_TRUE(decoded.exact) << utf8;
        EXPECT_EQ(decoded.utf8, utf8);
    }
}

TEST(Gb18030Codec, EveryGbkCharacterReadsAndWritesByteForByte)
{
    const TextCodec& codec = settingsFileCodec();
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const DecodedText decoded = codec.decode(bytes);
            ASSERT_TRUE(decoded.exact) << std::hex << lead << ' ' << trail;
            const EncodedText encoded = codec.encode(decoded.utf8);
            ASSERT_TRUE(encoded.exact);
            ASSERT_EQ(encoded.bytes, bytes) << std::hex << lead << ' ' << trail;
            ++characters;
        }
    }
    EXPECT_EQ(characters, 126 * 190);
}

TEST(Gb18030Codec, ReplacesWhatDoesNotConvertAndSaysSo)
{
    const TextCodec& codec = settingsFileCodec();
    const DecodedText cut = codec.decode("a\x81");
    EXPECT_FALSE(cut.exact);
    EXPECT_EQ(cut.utf8, "a\xEF\xBF\xBD");
    const DecodedText bad = codec.decode("\x80x\xFF");
    EXPECT_FALSE(bad.exact);
    EXPECT_EQ(bad.utf8, "\xEF\xBF\xBDx\xEF\xBF\xBD");
    const EncodedText notUtf8 = codec.encode("a\xC3(b");
    EXPECT_FALSE(notUtf8.exact);
    EXPECT_EQ(notUtf8.bytes, "a?(b");
}

} // namespace
} // namespace tindora::settings
