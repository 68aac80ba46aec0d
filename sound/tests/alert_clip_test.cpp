#include "alert_clip.h"
#include "alert_clip_format.h"
#include "chime_synth.h"
#include "little_endian.h"
#include "wav_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace tindora::sound;
using tindora::littleEndian::read16;
using tindora::littleEndian::read32;

TEST(AlertClip, EmbeddedClipHasTheStoredLayout)
{
    const std::span<const std::uint8_t> bytes = alertClipBytes();
    ASSERT_EQ(bytes.size(), 1361132u);
    EXPECT_EQ(read32(bytes, 4), 1361124u) << "RIFF size";

    const WavReadResult read = readWav(bytes);
    ASSERT_TRUE(read.ok()) << read.message;
    const WavFormat& f = read.clip.format;
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.bytesPerSecond, 176400u);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(read.clip.frames, 340269u);
    EXPECT_EQ(read32(bytes, 44), 340269u) << "the fact chunk's frame count";

    // Exactly these three chunks, in this order, where the stored layout puts them.
    struct Expected {
        const char* id;
        std::size_t offset;
        std::uint32_t size;
    };
    const Expected expected[] = {{"fmt ", 12, 16}, {"fact", 36, 4}, {"data", 48, 1361076}};
    for (const Expected& chunk : expected) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + chunk.offset), 4), chunk.id);
        EXPECT_EQ(read32(bytes, chunk.offset + 4), chunk.size) << chunk.id;
    }
    // The data chunk ends the file.
    EXPECT_EQ(read.clip.samples.data() + read.clip.samples.size(), bytes.data() + bytes.size());
    EXPECT_EQ(read.clip.samples.data(), bytes.data() + 56);
}

TEST(AlertClip, EmbeddedClipIsWhatTheSynthesiserMakesEveryTime)
{
    // The embedded file came from the generator the build ran; this test renders
    // the chime again with the code compiled for the target (for the Windows
    // build: MinGW under Wine), twice.
    const std::vector<std::uint8_t> first = renderAlertClip();
    const std::vector<std::uint8_t> second = renderAlertClip();
    EXPECT_TRUE(first == second);
    const std::span<const std::uint8_t> embedded = alertClipBytes();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), embedded.begin(), embedded.end()));
}

struct Level {
    int peak = 0;
    double rms = 0;
};

// Both channels of frames [from, to).
Level levelOf(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to)
{
    Level level;
    double sum = 0;
    for (std::size_t i = 2 * from; i < 2 * to; ++i) {
        level.peak = std::max(level.peak, std::abs(int{samples[i]}));
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    level.rms = std::sqrt(sum / double(2 * (to - from)));
    return level;
}

TEST(AlertClip, SoundsClearlyWithoutClippingAndStartsAndEndsQuietly)
{
    const WavReadResult read = readWav(alertClipBytes());
    ASSERT_TRUE(read.ok()) << read.message;
    std::vector<std::int16_t> samples(read.clip.samples.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(read16(read.clip.samples, 2 * i));

    const std::size_t frames = read.clip.frames;
    const Level whole = levelOf(samples, 0, frames);
    // Heard across a room: peaks near -3 dBFS, an average level well above -30 dBFS.
    EXPECT_GT(whole.peak, 16384);
    EXPECT_GT(whole.rms, 32768 * 0.0316);
    // Never clips: clear headroom below full scale.
    EXPECT_LT(whole.peak, 29000);

    constexpr std::size_t kTenMs = 441;
    EXPECT_LT(levelOf(samples, 0, kTenMs).peak, 100) << "the first 10 ms";
    EXPECT_LT(levelOf(samples, frames - kTenMs, frames).peak, 100) << "the last 10 ms";
    EXPECT_EQ(samples[2 * frames - 1], 0) << "the last frame";
    EXPECT_EQ(samples[2 * frames - 2], 0) << "the last frame";

    // Stereo: both channels sound, and they are not copies of each other.
    double left = 0, right = 0;
    bool differ = false;
    for (std::size_t i = 0; i < frames; ++i) {
        left += std::abs(int{samples[2 * i]});
        right += std::abs(int{samples[2 * i + 1]});
        differ = differ || samples[2 * i] != samples[2 * i + 1];
    }
    EXPECT_GT(std::min(left, right) / std::max(left, right), 0.7);
    EXPECT_TRUE(differ);
}

} // namespace
