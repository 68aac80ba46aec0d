#pragma once
// The stored layout of the alert clip: a 16-bit stereo PCM WAV file at
// 44100 Hz, with a "fact" chunk between the format and the data.

#include <cstddef>
#include <cstdint>

namespace tindora::sound::clip {

inline constexpr std::uint16_t kChannels = 2;
inline constexpr std::uint32_t kSampleRate = 44100;
inline constexpr std::uint16_t kBitsPerSample = 16;
inline constexpr std::uint16_t kBlockAlign = kChannels * kBitsPerSample / 8;
inline constexpr std::uint32_t kBytesPerSecond = kSampleRate * kBlockAlign;
inline constexpr std::uint32_t kFrames = 340269; // about 7.72 s
inline constexpr std::uint32_t kDataSize = kFrames * kBlockAlign;
inline constexpr std::size_t kHeaderSize = 56; // RIFF, "fmt ", "fact" and the data chunk's header
inline constexpr std::size_t kFileSize = kHeaderSize + kDataSize;
static_assert(kBytesPerSecond == 176400 && kDataSize == 1361076 && kFileSize == 1361132);

} // namespace tindora::sound::clip
