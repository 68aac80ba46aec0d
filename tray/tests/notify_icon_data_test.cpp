// The tip field of the shell's icon record: cut to fit, never inside a character.
#include "notify_icon_data.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tindora::tray {
namespace {

TEST(TrayTip, ALongTipIsCutAtACharacterSoItsNulFitsTheField)
{
    TrayIconData data;
    const AnsiEncoder identity = [](std::string_view s) { return std::string(s); };
    setTip(data, std::string(80, 'x'), identity);
    EXPECT_EQ(data.szTip[62], 'x');
    EXPECT_EQ(data.szTip[63], 0);

    // 31 double-byte characters and one ASCII byte make 63 bytes; one more
    // double-byte character must not be split.
    std::string ansi = "a";
    for (int i = 0; i < 32; ++i)
        ansi += "\xB0\xA1"; // 啊 in GBK
    setTip(data, ansi, identity);
    EXPECT_EQ(data.szTip[62], 0xA1);
    EXPECT_EQ(data.szTip[63], 0);
    ansi = "ab" + ansi.substr(1);
    setTip(data, ansi, identity);
    EXPECT_EQ(data.szTip[61], 0xA1);
    EXPECT_EQ(data.szTip[62], 0) << "the 31st character would end at byte 64: it goes whole";
    EXPECT_EQ(data.szTip[63], ' ');
}

} // namespace
} // namespace tindora::tray
