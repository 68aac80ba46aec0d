#include "little_endian.h"
#include "wav_reader.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>

namespace {

using namespace tindora::sound;
using namespace tindora::littleEndian;
using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string id;
    Bytes body;
};

// A RIFF/WAVE file of these chunks, with pad bytes and a RIFF size that fit.
Bytes riffWave(const std::vector<Chunk>& chunks)
{
    Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        out.insert(out.end(), chunk.id.begin(), chunk.id.end());
        append32(out, static_cast<std::uint32_t>(chunk.body.size()));
        out.insert(out.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() % 2 != 0)
            out.push_back(0);
    }
    write32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

Chunk fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint32_t byteRate, std::uint16_t align,
          std::uint16_t bits)
{
    Bytes body;
    append16(body, tag);
    append16(body, channels);
    append32(body, rate);
    append32(body, byteRate);
    append16(body, align);
    append16(body, bits);
    return {"fmt ", body};
}

Chunk stereoFmt() { return fmt(1, 2, 44100, 176400, 4, 16); }
Chunk fact(std::uint32_t frames)
{
    Bytes body;
    append32(body, frames);
    return {"fact", body};
}
Chunk data(std::size_t bytes) { return {"data", Bytes(bytes, 0x11)}; }

// Eight frames of stereo 16-bit sound as the clip's writer lays them out.
Bytes smallClip()
{
    const std::vector<std::int16_t> frames = {0,   0,    100, -100, 200, -200, 300, -300,
                                              400, -400, 300, -300, 200, -200, 100, -100};
    return writeWavWithFact(frames, 2, 44100);
}

TEST(WavReader, ReadsTheLayoutTheClipIsWrittenIn)
{
    const Bytes file = smallClip();
    const WavReadResult read = readWav(file);
    ASSERT_TRUE(read.ok()) << read.message;
    const WavFormat& f = read.clip.format;
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.bytesPerSecond, 176400u);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(read.clip.frames, 8u);
    EXPECT_EQ(read.clip.samples.data(), file.data() + 56);
    EXPECT_EQ(read.clip.samples.size(), 32u);
    EXPECT_EQ(read.clip.file.data(), file.data());
    EXPECT_EQ(read.clip.file.size(), file.size());
    // The third frame's left sample, 200, little-endian.
    EXPECT_EQ(read.clip.samples[8], 200);
    EXPECT_EQ(read.clip.samples[9], 0);
}

struct Refused {
    const char* what;
    std::function<Bytes()> make;
    WavError error;
    const char* messagePart; // the message must say where the fault is
};

void expectRefused(std::span<const Refused> cases)
{
    for (const Refused& c : cases) {
        const Bytes file = c.make();
        const WavReadResult read = readWav(file);
        EXPECT_EQ(read.error, c.error) << c.what << ": " << read.message;
        EXPECT_FALSE(read.ok()) << c.what;
        EXPECT_NE(read.message.find(c.messagePart), std::string::npos)
            << c.what << ": \"" << read.message << "\" does not mention \"" << c.messagePart << "\"";
        EXPECT_TRUE(read.clip.file.empty() && read.clip.samples.empty() && read.clip.frames == 0) << c.what;
    }
}

// Sound files any player would take, but not in the clip's layout.
TEST(WavReader, RefusesWellFormedFilesOfAnyOtherLayout)
{
    const Refused cases[] = {
        {"no fact chunk",
         [] {
             return riffWave({stereoFmt(), data(12)});
         },
         WavError::WrongLayout, "the second chunk at offset 36 is \"data\", the clip's is \"fact\""},
        {"an unknown chunk before the fact chunk",
         [] {
             return riffWave({stereoFmt(), {"LIST", Bytes(5, 'x')}, fact(2), data(8)});
         },
         WavError::WrongLayout, "is \"LIST\""},
        {"mono 8-bit",
         [] {
             return riffWave({fmt(1, 1, 8000, 8000, 1, 8), fact(8), data(8)});
         },
         WavError::WrongLayout, "the channel count at offset 22 is 1, the clip's is 2"},
        {"48000 Hz",
         [] {
             return riffWave({fmt(1, 2, 48000, 192000, 4, 16), fact(2), data(8)});
         },
         WavError::WrongLayout, "the sample rate at offset 24 is 48000, the clip's is 44100"},
        {"an 18-byte format chunk",
         [] {
             Chunk extended = stereoFmt();
             append16(extended.body, 0);
             return riffWave({extended, fact(2), data(8)});
         },
         WavError::WrongLayout, "size at offset 16 is 18, the clip's is 16"},
        {"a chunk after the data",
         [] {
             return riffWave({stereoFmt(), fact(1), data(4), {"LIST", Bytes(4, 'x')}});
         },
         WavError::SizeMismatch, "12 bytes follow chunk \"data\" at offset 48"},
    };
    expectRefused(cases);
}

TEST(WavReader, RefusesMalformedFiles)
{
    const Refused cases[] = {
        {"empty file", [] { return Bytes{}; }, WavError::Truncated, "0 bytes"},
        {"cut inside the RIFF header",
         [] {
             Bytes f = smallClip();
             f.resize(10);
             return f;
         },
         WavError::Truncated, "10 bytes"},
        {"cut inside the data chunk's header",
         [] {
             Bytes f = smallClip();
             f.resize(54);
             return f;
         },
         WavError::Truncated, "54 bytes, less than the clip's 56-byte header"},
        {"no data",
         [] {
             return riffWave({stereoFmt(), fact(0)});
         },
         WavError::Truncated, "48 bytes"},
        {"cut inside the data",
         [] {
             Bytes f = smallClip();
             f.resize(f.size() - 6);
             return f;
         },
         WavError::Truncated, "announces 88 bytes, the file holds 82"},
        {"cut inside the data, RIFF size made to fit",
         [] {
             Bytes f = smallClip();
             f.resize(f.size() - 6);
             write32(f, 4, static_cast<std::uint32_t>(f.size() - 8));
             return f;
         },
         WavError::Truncated, "chunk \"data\" at offset 48 announces 32 bytes, 26 follow"},
        {"data size past the end",
         [] {
             Bytes f = smallClip();
             write32(f, 52, 36);
             return f;
         },
         WavError::Truncated, "\"data\""},
        {"not RIFF",
         [] {
             Bytes f = smallClip();
             f[3] = 'X';
             return f;
         },
         WavError::WrongLayout, "\"RIFX\", the clip's is \"RIFF\""},
        {"not WAVE",
         [] {
             Bytes f = smallClip();
             f[8] = 'A';
             return f;
         },
         WavError::WrongLayout, "AAVE"},
        {"bytes after the RIFF form",
         [] {
             Bytes f = smallClip();
             f.push_back(0);
             f.push_back(0);
             return f;
         },
         WavError::SizeMismatch, "2 bytes follow"},
        {"RIFF size too small",
         [] {
             Bytes f = smallClip();
             write32(f, 4, static_cast<std::uint32_t>(f.size() - 12));
             return f;
         },
         WavError::SizeMismatch, "4 bytes follow"},
        {"missing fmt",
         [] {
             return riffWave({fact(8), data(32)});
         },
         WavError::WrongLayout, "the first chunk at offset 12 is \"fact\", the clip's is \"fmt \""},
        {"fmt after the data",
         [] {
             return riffWave({data(4), stereoFmt(), fact(1)});
         },
         WavError::WrongLayout, "the first chunk at offset 12 is \"data\""},
        {"fmt too short",
         [] {
             return riffWave({{"fmt ", Bytes(14, 0)}, fact(2), data(8)});
         },
         WavError::WrongLayout, "size at offset 16 is 14"},
        {"IEEE float, not PCM",
         [] {
             return riffWave({fmt(3, 2, 44100, 352800, 8, 32), fact(1), data(8)});
         },
         WavError::WrongLayout, "the format tag at offset 20 is 3, the clip's is 1"},
        {"no channels",
         [] {
             return riffWave({fmt(1, 0, 44100, 0, 0, 16), fact(1), data(4)});
         },
         WavError::WrongLayout, "the channel count at offset 22 is 0"},
        {"24-bit samples",
         [] {
             return riffWave({fmt(1, 2, 44100, 176400, 4, 24), fact(1), data(4)});
         },
         WavError::WrongLayout, "bits per sample at offset 34 is 24, the clip's is 16"},
        {"sample rate 0",
         [] {
             return riffWave({fmt(1, 2, 0, 0, 4, 16), fact(1), data(4)});
         },
         WavError::WrongLayout, "the sample rate at offset 24 is 0"},
        {"wrong block alignment",
         [] {
             return riffWave({fmt(1, 2, 44100, 176400, 2, 16), fact(1), data(4)});
         },
         WavError::WrongLayout, "the block alignment at offset 32 is 2, the clip's is 4"},
        {"wrong bytes per second",
         [] {
             return riffWave({fmt(1, 2, 44100, 88200, 4, 16), fact(1), data(4)});
         },
         WavError::WrongLayout, "bytes per second at offset 28 is 88200, the clip's is 176400"},
        {"fact counts other frames",
         [] {
             return riffWave({stereoFmt(), fact(2), data(12)});
         },
         WavError::FactMismatch, "counts 2 frames, the data holds 3"},
        {"fact too short",
         [] {
             return riffWave({stereoFmt(), {"fact", Bytes(2, 0)}, data(4)});
         },
         WavError::WrongLayout, "the \"fact\" chunk's size at offset 40 is 2, the clip's is 4"},
        {"half a frame of data",
         [] {
             return riffWave({stereoFmt(), fact(1), data(6)});
         },
         WavError::MissingData, "6 bytes"},
        {"empty data",
         [] {
             return riffWave({stereoFmt(), fact(0), data(0)});
         },
         WavError::MissingData, "0 bytes"},
        {"two fmt chunks",
         [] {
             return riffWave({stereoFmt(), stereoFmt(), data(4)});
         },
         WavError::WrongLayout, "offset 36"},
        {"two data chunks",
         [] {
             return riffWave({stereoFmt(), fact(1), data(4), data(4)});
         },
         WavError::SizeMismatch, "\"data\""},
    };
    expectRefused(cases);
}

TEST(WavReader, SizesNear4GiBDoNotWrapAround)
{
    Bytes f = smallClip();
    write32(f, 4, 0xFFFFFFFFu);
    EXPECT_EQ(readWav(f).error, WavError::Truncated);
    f = smallClip();
    write32(f, 52, 0xFFFFFFFEu);
    EXPECT_EQ(readWav(f).error, WavError::Truncated);
}

} // namespace
