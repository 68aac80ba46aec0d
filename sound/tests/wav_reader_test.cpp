#include "little_endian.h"
#include "wav_reader.h"
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <functional>
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
    ASSERT_EQ(read.clip.chunks.size(), 3u);
    EXPECT_EQ(read.clip.chunks[0].id, "fmt ");
    EXPECT_EQ(read.clip.chunks[1].id, "fact");
    EXPECT_EQ(read.clip.chunks[2].id, "data");
    EXPECT_EQ(read.clip.samples.data(), file.data() + 56);
    EXPECT_EQ(read.clip.samples.size(), 32u);
    EXPECT_EQ(read.clip.file.size(), file.size());
    // The third frame's left sample, 200, little-endian.
    EXPECT_EQ(read.clip.samples[8], 200);
    EXPECT_EQ(read.clip.samples[9], 0);
}

TEST(WavReader, AcceptsOtherWellFormedFiles)
{
    struct Case {
        const char* what;
        Bytes file;
        std::uint32_t frames;
        std::vector<std::string> ids;
    };
    const Case cases[] = {
        {"no fact chunk", riffWave({stereoFmt(), data(12)}), 3, {"fmt ", "data"}},
        {"an unknown chunk of odd size, padded, skipped",
         riffWave({stereoFmt(), {"LIST", Bytes(5, 'x')}, data(8)}),
         2,
         {"fmt ", "LIST", "data"}},
        {"mono 8-bit", riffWave({fmt(1, 1, 8000, 8000, 1, 8), fact(3), data(3)}), 3, {"fmt ", "fact", "data"}},
        {"a chunk after the data",
         riffWave({stereoFmt(), data(4), {"LIST", Bytes(4, 'x')}}),
         1,
         {"fmt ", "data", "LIST"}},
    };
    for (const Case& c : cases) {
        const WavReadResult read = readWav(c.file);
        ASSERT_TRUE(read.ok()) << c.what << ": " << read.message;
        EXPECT_EQ(read.clip.frames, c.frames) << c.what;
        std::vector<std::string> ids;
        for (const WavChunk& chunk : read.clip.chunks)
            ids.push_back(chunk.id);
        EXPECT_EQ(ids, c.ids) << c.what;
    }
}

TEST(WavReader, RefusesMalformedFiles)
{
    struct Case {
        const char* what;
        std::function<Bytes()> make;
        WavError error;
        const char* messagePart; // the message must say where the fault is
    };
    const Case cases[] = {
        {"empty file", [] { return Bytes{}; }, WavError::Truncated, "0 bytes"},
        {"cut inside the RIFF header",
         [] {
             Bytes f = smallClip();
             f.resize(10);
             return f;
         },
         WavError::Truncated, "10 bytes"},
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
         WavError::ChunkPastEnd, "chunk \"data\" at offset 48"},
        {"data size past the end",
         [] {
             Bytes f = smallClip();
             write32(f, 52, 36);
             return f;
         },
         WavError::ChunkPastEnd, "\"data\""},
        {"cut inside a chunk header",
         [] {
             return riffWave({stereoFmt(), data(4), {"LI", {}}});
         },
         WavError::ChunkPastEnd, "offset 48"},
        {"not RIFF",
         [] {
             Bytes f = smallClip();
             f[3] = 'X';
             return f;
         },
         WavError::NotRiff, "RIFF"},
        {"not WAVE",
         [] {
             Bytes f = smallClip();
             f[8] = 'A';
             return f;
         },
         WavError::NotWave, "AAVE"},
        {"bytes after the RIFF form",
         [] {
             Bytes f = smallClip();
             f.push_back(0);
             f.push_back(0);
             return f;
         },
         WavError::RiffSizeMismatch, "2 bytes follow"},
        {"RIFF size too small",
         [] {
             Bytes f = smallClip();
             write32(f, 4, static_cast<std::uint32_t>(f.size() - 12));
             return f;
         },
         WavError::RiffSizeMismatch, "4 bytes follow"},
        {"missing fmt",
         [] {
             return riffWave({fact(1), data(4)});
         },
         WavError::MissingFormat, "before any"},
        {"fmt after the data",
         [] {
             return riffWave({data(4), stereoFmt()});
         },
         WavError::MissingFormat, "before any"},
        {"fmt too short",
         [] {
             return riffWave({{"fmt ", Bytes(14, 0)}, data(4)});
         },
         WavError::BadFormat, "14 bytes"},
        {"IEEE float, not PCM",
         [] {
             return riffWave({fmt(3, 2, 44100, 352800, 8, 32), data(8)});
         },
         WavError::NotPcm, "format tag 3"},
        {"no channels",
         [] {
             return riffWave({fmt(1, 0, 44100, 0, 0, 16), data(4)});
         },
         WavError::BadFormat, "0 channels"},
        {"24-bit samples",
         [] {
             return riffWave({fmt(1, 2, 44100, 264600, 6, 24), data(6)});
         },
         WavError::BadFormat, "24 bits"},
        {"sample rate 0",
         [] {
             return riffWave({fmt(1, 2, 0, 0, 4, 16), data(4)});
         },
         WavError::BadFormat, "sample rate 0"},
        {"wrong block alignment",
         [] {
             return riffWave({fmt(1, 2, 44100, 176400, 2, 16), data(4)});
         },
         WavError::BadFormat, "block alignment 2, expected 4"},
        {"wrong bytes per second",
         [] {
             return riffWave({fmt(1, 2, 44100, 88200, 4, 16), data(4)});
         },
         WavError::BadFormat, "bytes per second 88200, expected 176400"},
        {"fact counts other frames",
         [] {
             return riffWave({stereoFmt(), fact(2), data(12)});
         },
         WavError::FactMismatch, "counts 2 frames, the data holds 3"},
        {"fact too short",
         [] {
             return riffWave({stereoFmt(), {"fact", Bytes(2, 0)}, data(4)});
         },
         WavError::BadFormat, "\"fact\""},
        {"no data",
         [] {
             return riffWave({stereoFmt(), fact(0)});
         },
         WavError::MissingData, "no \"data\""},
        {"half a frame of data",
         [] {
             return riffWave({stereoFmt(), data(6)});
         },
         WavError::MissingData, "6 bytes"},
        {"empty data",
         [] {
             return riffWave({stereoFmt(), data(0)});
         },
         WavError::MissingData, "0 bytes"},
        {"two fmt chunks",
         [] {
             return riffWave({stereoFmt(), stereoFmt(), data(4)});
         },
         WavError::DuplicateChunk, "offset 36"},
        {"two data chunks",
         [] {
             return riffWave({stereoFmt(), data(4), data(4)});
         },
         WavError::DuplicateChunk, "\"data\""},
    };
    for (const Case& c : cases) {
        const Bytes file = c.make();
        const WavReadResult read = readWav(file);
        EXPECT_EQ(read.error, c.error) << c.what << ": " << read.message;
        EXPECT_FALSE(read.ok()) << c.what;
        EXPECT_NE(read.message.find(c.messagePart), std::string::npos)
            << c.what << ": \"" << read.message << "\" does not mention \"" << c.messagePart << "\"";
        EXPECT_TRUE(read.clip.samples.empty() && read.clip.chunks.empty()) << c.what;
    }
}

TEST(WavReader, SizesNear4GiBDoNotWrapAround)
{
    Bytes f = smallClip();
    write32(f, 4, 0xFFFFFFFFu);
    EXPECT_EQ(readWav(f).error, WavError::Truncated);
    f = smallClip();
    write32(f, 52, 0xFFFFFFFEu);
    EXPECT_EQ(readWav(f).error, WavError::ChunkPastEnd);
}

} // namespace
