#pragma once
// Writes 16-bit PCM frames as a WAV file with a "fact" chunk, the layout the
// program carries its alert clip in.

#include <cstdint>
#include <span>
#include <vector>

namespace tindora::sound {

// interleaved: channels samples per frame. The whole file, "RIFF" to the end
// of the data chunk, which ends the file.
std::vector<std::uint8_t> writeWavWithFact(std::span<const std::int16_t> interleaved, std::uint16_t channels,
                                           std::uint32_t sampleRate);

} // namespace tindora::sound
