#pragma once
// The alert clip the program carries: the bytes of a whole WAV file, a
// resource of the program that lives as long as it does.

#include "alert_clip.h"

#include <cstdint>
#include <span>

namespace tindora::win32 {

inline std::span<const std::uint8_t> alertClip() { return sound::alertClipBytes(); }

} // namespace tindora::win32
