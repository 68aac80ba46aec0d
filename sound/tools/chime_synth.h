#pragma once
// The alert clip's music: a short bell chime of our own, synthesised from
// decaying partials with integer arithmetic only, so that every compiler and
// machine (the host build and the 32-bit Windows build alike) gives the same
// samples, bit for bit.

#include <cstdint>
#include <vector>

namespace tindora::sound {

// The chime as interleaved stereo 16-bit frames at 44100 Hz, exactly
// clip::kFrames of them.
std::vector<std::int16_t> synthesiseChime();

// The chime as the complete WAV file the program embeds.
std::vector<std::uint8_t> renderAlertClip();

} // namespace tindora::sound
