#pragma once
// Reads a WAV file held in memory: walks its RIFF chunks and checks that it is
// PCM a player can take, before any player gets it. The players of both
// programs take the alert clip only through readWav.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tindora::sound {

struct WavFormat {
    std::uint16_t formatTag = 0; // 1: PCM
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0; // bytes of one frame, all channels
    std::uint16_t bitsPerSample = 0;
};

// One chunk inside the RIFF form, as found on the walk.
struct WavChunk {
    std::string id;         // four characters, e.g. "fmt "
    std::size_t offset = 0; // of the chunk's 8-byte header, from the start of the file
    std::uint32_t size = 0; // of its content, without the header and any pad byte
};

struct WavClip {
    std::span<const std::uint8_t> file; // the whole file, for players that take a file image
    WavFormat format;
    std::uint32_t frames = 0;              // sample frames in the data chunk
    std::span<const std::uint8_t> samples; // the data chunk's content: interleaved little-endian samples
    std::vector<WavChunk> chunks;          // every chunk of the form, in file order
};

enum class WavError {
    None,
    Truncated,        // the file ends inside the RIFF header or before the size the header announces
    NotRiff,          // it does not begin with "RIFF"
    NotWave,          // the RIFF form is not "WAVE"
    RiffSizeMismatch, // bytes follow the RIFF form
    ChunkPastEnd,     // a chunk's header or content runs past the end of the form
    DuplicateChunk,   // a second "fmt ", "fact" or "data"
    MissingFormat,    // no "fmt " chunk, or the data comes before it
    BadFormat,        // the format fields contradict each other or are out of range
    NotPcm,           // a format other than uncompressed PCM
    FactMismatch,     // the "fact" frame count differs from the data's
    MissingData,      // no "data" chunk, or one without a single whole frame
};

// Failure contract: never throws. On failure `error` says which check failed and
// `message` says where, in English, for a log; `clip` is then empty.
struct WavReadResult {
    WavError error = WavError::None;
    std::string message;
    WavClip clip;
    bool ok() const { return error == WavError::None; }
};

// The spans of the result point into `file`, which must outlive them.
WavReadResult readWav(std::span<const std::uint8_t> file);

} // namespace tindora::sound
