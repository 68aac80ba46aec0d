#pragma once
// Reads the alert clip's WAV file held in memory, and checks that it has the
// one layout the build writes (alert_clip_format.h) before any player gets it:
// RIFF/WAVE, a 16-byte "fmt " chunk of 16-bit stereo PCM at 44100 Hz, a
// "fact" chunk, then "data" to the end of the file. Anything else is refused.
// The players of both programs take the clip only through readWav.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tindora::sound {

struct WavFormat {
    std::uint16_t formatTag = 0; // 1: PCM
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0; // bytes of one frame, all channels
    std::uint16_t bitsPerSample = 0;
};

struct WavClip {
    std::span<const std::uint8_t> file; // the whole file, for players that take a file image
    WavFormat format;
    std::uint32_t frames = 0;              // sample frames in the data chunk
    std::span<const std::uint8_t> samples; // the data chunk's content: interleaved little-endian samples
};

enum class WavError {
    None,
    Truncated,    // the file ends inside the header, or before the size the RIFF header or the data chunk announces
    WrongLayout,  // a field of the header is not the clip's: another chunk, format or order
    SizeMismatch, // bytes follow the RIFF form or the data chunk, which must end the file
    MissingData,  // the data chunk holds no whole frame, or a part of one
    FactMismatch, // the "fact" frame count differs from the data's
};

// Failure contract: never throws, never reads outside `file`. On failure
// `error` says which check failed and `message` says where, in English, for a
// log; `clip` is then empty.
struct WavReadResult {
    WavError error = WavError::None;
    std::string message;
    WavClip clip;
    bool ok() const { return error == WavError::None; }
};

// The spans of the result point into `file`, which must outlive them.
WavReadResult readWav(std::span<const std::uint8_t> file);

} // namespace tindora::sound
