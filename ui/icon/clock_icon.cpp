#include "clock_icon.h"

#include "little_endian.h"

#include <array>

namespace tindora::icon {
namespace {

// Geometry runs in sixteenths of a pixel with 8 x 8 samples a pixel, all in
// integers: floating point could round differently on another compiler and
// change the committed file.
constexpr std::int64_t kUnit = 16;
constexpr int kSamples = 8;
constexpr std::int64_t kCentre = kSide / 2 * kUnit;

struct Point {
    std::int64_t x;
    std::int64_t y;
};

// sin of k * 30 degrees, k = 0..11, in 1/65536: the dial's twelve directions.
constexpr std::array<std::int64_t, 12> kSin = {0, 32768,  56756,  65536,  56756,  32768,
                                               0, -32768, -56756, -65536, -56756, -32768};

std::int64_t roundedDiv(std::int64_t a, std::int64_t b)
{
    // Rounds halves away from zero, so the dial stays symmetric about its centre.
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

// The point at `radius` units from the centre towards hour k (0 = twelve o'clock).
Point onDial(int hour, std::int64_t radius)
{
    const std::int64_t s = kSin[static_cast<std::size_t>(hour % 12)];
    const std::int64_t c = kSin[static_cast<std::size_t>((hour + 3) % 12)];
    return {kCentre + roundedDiv(radius * s, 65536), kCentre - roundedDiv(radius * c, 65536)};
}

std::int64_t squaredLength(Point v) { return v.x * v.x + v.y * v.y; }

// Inside a stroke from a to b with round ends, halfWidth units either side.
bool onStroke(Point p, Point a, Point b, std::int64_t halfWidth)
{
    const Point d{b.x - a.x, b.y - a.y};
    const Point v{p.x - a.x, p.y - a.y};
    const std::int64_t dot = v.x * d.x + v.y * d.y;
    const std::int64_t length2 = squaredLength(d);
    const std::int64_t w2 = halfWidth * halfWidth;
    if (dot <= 0)
        return squaredLength(v) <= w2;
    if (dot >= length2)
        return squaredLength({p.x - b.x, p.y - b.y}) <= w2;
    const std::int64_t cross = v.x * d.y - v.y * d.x;
    return cross * cross <= w2 * length2;
}

constexpr Rgb kRim{38, 92, 170};
constexpr Rgb kFace{252, 250, 242};
constexpr Rgb kMark{60, 64, 72};
constexpr Rgb kMinorMark{128, 134, 144}; // lighter, so at 16 px the hands stand out from them
constexpr Rgb kHand{24, 36, 60};
constexpr Rgb kCap{214, 48, 40};

constexpr std::int64_t kOuterRadius = 244; // 15.25 px: a round edge with no lone pixels at its four tips
constexpr std::int64_t kFaceRadius = 208;  // 13 px: a 2.5 px rim stays visible at 16 px
constexpr int kHourHandAt = 10;            // the classic 10:10 of a shop-window clock
constexpr int kMinuteHandAt = 2;

// The colour at one sample point, or nothing outside the face.
bool sampleAt(Point p, Rgb& colour)
{
    const std::int64_t r2 = squaredLength({p.x - kCentre, p.y - kCentre});
    if (r2 > kOuterRadius * kOuterRadius)
        return false;
    if (r2 >= kFaceRadius * kFaceRadius) {
        colour = kRim;
        return true;
    }
    colour = kFace;
    for (int hour = 0; hour < 12; ++hour) {
        // Twelve, three, six and nine are longer and bolder so the dial reads at tray size.
        const bool major = hour % 3 == 0;
        const Point inner = onDial(hour, major ? 150 : 170);
        const Point outer = onDial(hour, 186);
        if (onStroke(p, inner, outer, major ? 15 : 9))
            colour = major ? kMark : kMinorMark;
    }
    const Point centre{kCentre, kCentre};
    if (onStroke(p, centre, onDial(kHourHandAt, 120), 24) || onStroke(p, centre, onDial(kMinuteHandAt, 172), 18))
        colour = kHand;
    if (r2 <= 30 * 30)
        colour = kCap;
    return true;
}

using littleEndian::append16;
using littleEndian::append32;

} // namespace

ClockPicture drawClockFace()
{
    ClockPicture picture{};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            int inside = 0;
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < kSamples; ++j) {
                for (int i = 0; i < kSamples; ++i) {
                    const Point p{x * kUnit + 2 * i + 1, y * kUnit + 2 * j + 1};
                    Rgb colour;
                    if (!sampleAt(p, colour))
                        continue;
                    ++inside;
                    r += colour.r;
                    g += colour.g;
                    b += colour.b;
                }
            }
            // The mask has one bit: a pixel at least half covered belongs to the face,
            // and takes the mean of its covered samples, so the rim edge stays solid.
            if (inside * 2 < kSamples * kSamples)
                continue;
            picture.opaque[y][x] = true;
            const auto mean = [inside](int sum) { return static_cast<std::uint8_t>((sum + inside / 2) / inside); };
            picture.pixels[y][x] = {mean(r), mean(g), mean(b)};
        }
    }
    return picture;
}

std::vector<std::uint8_t> encodeIcon(const ClockPicture& picture)
{
    std::vector<std::uint8_t> out;
    out.reserve(kFileSize);
    // Icon directory: reserved, type 1 (icon), one image.
    append16(out, 0);
    append16(out, 1);
    append16(out, 1);
    // Its entry: 32 x 32, no palette, reserved, 1 plane, 24 bits, size, offset.
    out.push_back(kSide);
    out.push_back(kSide);
    out.push_back(0);
    out.push_back(0);
    append16(out, 1);
    append16(out, 24);
    append32(out, kImageSize);
    append32(out, kImageOffset);
    // BITMAPINFOHEADER: the height counts the colour rows and the mask rows together.
    append32(out, kInfoHeaderSize);
    append32(out, kSide);
    append32(out, kSide * 2);
    append16(out, 1);
    append16(out, 24);
    append32(out, 0); // BI_RGB
    append32(out, kColourBytes + kMaskBytes);
    append32(out, 0);
    append32(out, 0);
    append32(out, 0);
    append32(out, 0);
    // Colour rows bottom-up in B, G, R order; masked pixels black, as the AND/XOR
    // drawing of an icon expects.
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb c = picture.opaque[y][x] ? picture.pixels[y][x] : Rgb{};
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
    }
    // AND mask rows bottom-up, leftmost pixel in the high bit, 1 = transparent.
    for (int y = kSide - 1; y >= 0; --y) {
        for (int byte = 0; byte < kSide / 8; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (!picture.opaque[y][byte * 8 + bit])
                    bits = static_cast<std::uint8_t>(bits | (0x80 >> bit));
            }
            out.push_back(bits);
        }
    }
    return out;
}

} // namespace tindora::icon
