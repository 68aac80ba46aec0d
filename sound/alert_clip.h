#pragma once
// The alert clip, carried inside the program: the bytes of its WAV file,
// embedded at build time (a resource on Windows, linked-in data elsewhere).
// A player reads it with readWav (wav_reader.h) and plays what that returns.

#include <cstdint>
#include <span>

namespace tindora::sound {

// Failure contract: never throws. The bytes live as long as the program. On
// Windows an empty span means the resource could not be found or loaded;
// readWav then refuses it as truncated.
std::span<const std::uint8_t> alertClipBytes();

} // namespace tindora::sound
