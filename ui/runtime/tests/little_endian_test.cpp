#include "little_endian.h"

#include <gtest/gtest.h>

#include <array>

namespace tindora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// High bits set in every byte: a sign extension or a lost byte shows at once.
constexpr std::uint32_t kValue = 0xF1E2D3C4;

TEST(LittleEndian, ReadsTheLowByteFirst)
{
    const std::array<std::uint8_t, 6> bytes = {0x00, 0xC4, 0xD3, 0xE2, 0xF1, 0x00};
    EXPECT_EQ(littleEndian::read16(bytes, 1), 0xD3C4);
    EXPECT_EQ(littleEndian::read16(bytes, 3), 0xF1E2);
    EXPECT_EQ(littleEndian::read32(bytes, 1), kValue);
    EXPECT_EQ(littleEndian::read32(bytes, 2), 0x00F1E2D3u);
}

TEST(LittleEndian, WritesAndAppendsTheLowByteFirst)
{
    Bytes written(7, 0xAA);
    littleEndian::write32(written, 1, kValue);
    littleEndian::write16(written, 5, 0xB7A6);
    EXPECT_EQ(written, (Bytes{0xAA, 0xC4, 0xD3, 0xE2, 0xF1, 0xA6, 0xB7})) << "nothing outside the fields changes";

    Bytes appended = {0xAA};
    littleEndian::append32(appended, kValue);
    littleEndian::append16(appended, 0xB7A6);
    EXPECT_EQ(appended, written);
}

} // namespace
} // namespace tindora
