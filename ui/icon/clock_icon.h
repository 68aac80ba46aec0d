#pragma once
// The program's icon: a clock face drawn by code, so that the committed
// tindora.ico can always be made again from source, byte for byte.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tindora::icon {

// The layout of the one-image, 24-bit icon file the window and tray use.
inline constexpr int kSide = 32;
inline constexpr std::size_t kDirectorySize = 6;
inline constexpr std::size_t kEntrySize = 16;
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kColourBytes = kSide * kSide * 3; // rows of 96 bytes, already 4-aligned
inline constexpr std::size_t kMaskBytes = kSide * kSide / 8;   // rows of 4 bytes, already 4-aligned
inline constexpr std::size_t kImageSize = kInfoHeaderSize + kColourBytes + kMaskBytes;
inline constexpr std::size_t kImageOffset = kDirectorySize + kEntrySize;
inline constexpr std::size_t kFileSize = kImageOffset + kImageSize;
static_assert(kImageSize == 3240 && kFileSize == 3262);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The drawn face, top row first; opaque[y][x] is false outside the round face.
struct ClockPicture {
    Rgb pixels[kSide][kSide];
    bool opaque[kSide][kSide];
};

// Pure integer geometry: the result never depends on the machine or compiler.
ClockPicture drawClockFace();

// The complete .ico file of the picture.
std::vector<std::uint8_t> encodeIcon(const ClockPicture& picture);

inline std::vector<std::uint8_t> makeClockIcon() { return encodeIcon(drawClockFace()); }

} // namespace tindora::icon
