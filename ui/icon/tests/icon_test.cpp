#include "clock_icon.h"
#include "little_endian.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using namespace tindora::icon;

std::vector<std::uint8_t> committedIcon()
{
    std::ifstream in(TINDORA_ICON_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Icon, CommittedFileIsWhatTheGeneratorDraws)
{
    const std::vector<std::uint8_t> committed = committedIcon();
    ASSERT_EQ(committed.size(), 3262u) << "cannot read " << TINDORA_ICON_FILE;
    // On a mismatch: cmake --build <build dir> --target tindora_icon_update, look at it, commit it.
    EXPECT_TRUE(committed == makeClockIcon());
}

TEST(Icon, HeadersHoldTheStoredLayout)
{
    const std::vector<std::uint8_t> ico = committedIcon();
    ASSERT_EQ(ico.size(), 3262u);
    struct Field {
        const char* name;
        std::size_t offset;
        std::size_t size;
        std::uint32_t expected;
    };
    const Field fields[] = {
        {"directory reserved", 0, 2, 0}, {"directory type", 2, 2, 1},  {"image count", 4, 2, 1},
        {"entry width", 6, 1, 32},       {"entry height", 7, 1, 32},   {"palette size", 8, 1, 0},
        {"entry reserved", 9, 1, 0},     {"entry planes", 10, 2, 1},   {"entry bit count", 12, 2, 24},
        {"image size", 14, 4, 3240},     {"image offset", 18, 4, 22},  {"header size", 22, 4, 40},
        {"bitmap width", 26, 4, 32},     {"bitmap height", 30, 4, 64}, {"bitmap planes", 34, 2, 1},
        {"bitmap bit count", 36, 2, 24}, {"compression", 38, 4, 0},
    };
    for (const Field& field : fields) {
        const std::uint32_t value = field.size == 1   ? ico[field.offset]
                                    : field.size == 2 ? tindora::littleEndian::read16(ico, field.offset)
                                                      : tindora::littleEndian::read32(ico, field.offset);
        EXPECT_EQ(value, field.expected) << field.name;
    }
}

// Decodes the committed file the way Windows reads an icon: colour rows and
// mask rows bottom-up, the leftmost pixel in a mask byte's high bit.
struct Decoded {
    bool transparent[kSide][kSide];
    Rgb colour[kSide][kSide];
};

Decoded decode(const std::vector<std::uint8_t>& ico)
{
    Decoded d{};
    const std::size_t colour = kImageOffset + kInfoHeaderSize;
    const std::size_t mask = colour + kColourBytes;
    for (int y = 0; y < kSide; ++y) {
        const int row = kSide - 1 - y;
        for (int x = 0; x < kSide; ++x) {
            const std::size_t at = colour + static_cast<std::size_t>(row * kSide + x) * 3;
            d.colour[y][x] = {ico.at(at + 2), ico.at(at + 1), ico.at(at)};
            const std::uint8_t bits = ico.at(mask + static_cast<std::size_t>(row * 4 + x / 8));
            d.transparent[y][x] = (bits & (0x80 >> (x % 8))) != 0;
        }
    }
    return d;
}

TEST(Icon, MaskCutsOutARoundFace)
{
    const Decoded d = decode(committedIcon());
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Pixel centres in half pixels from the face's centre at (16, 16).
            const int dx = 2 * x + 1 - kSide, dy = 2 * y + 1 - kSide;
            const int d2 = dx * dx + dy * dy;
            if (d2 <= 29 * 29) {
                EXPECT_FALSE(d.transparent[y][x]) << x << "," << y << " lies inside the face";
            }
            if (d2 >= 32 * 32) {
                EXPECT_TRUE(d.transparent[y][x]) << x << "," << y << " lies outside the face";
            }
            if (d.transparent[y][x]) {
                EXPECT_EQ(d.colour[y][x], Rgb{}) << x << "," << y << ": masked pixels must be black";
            }
            EXPECT_EQ(d.transparent[y][x], d.transparent[y][kSide - 1 - x]) << "mask not mirror-symmetric at " << y;
        }
    }
}

TEST(Icon, HandsPointToTenAndTwoOnALightFace)
{
    const Decoded d = decode(committedIcon());
    const auto dark = [&](int x, int y) {
        const Rgb c = d.colour[y][x];
        return c.r + c.g + c.b < 3 * 100;
    };
    const auto light = [&](int x, int y) {
        const Rgb c = d.colour[y][x];
        return c.r + c.g + c.b > 3 * 220;
    };
    // Along each hand, above the centre; the same spots mirrored below the
    // centre are bare face, which also proves the rows are not upside down.
    EXPECT_TRUE(dark(11, 13));
    EXPECT_TRUE(dark(21, 13));
    EXPECT_TRUE(light(11, 18));
    EXPECT_TRUE(light(21, 18));
    // The twelve o'clock mark on its light face, and the rim in a blue.
    EXPECT_TRUE(dark(15, 5) || dark(16, 5));
    EXPECT_TRUE(light(16, 8));
    const Rgb rim = d.colour[16][1];
    EXPECT_GT(rim.b, rim.r + 60);
}

} // namespace
