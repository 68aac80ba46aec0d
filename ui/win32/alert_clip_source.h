#pragma once
// The alert clip the program carries: the bytes of a whole WAV file.

#include <cstdint>
#include <span>

#if __has_include("alert_clip.h")
#include "alert_clip.h"
#define TINDORA_HAVE_ALERT_CLIP 1
#endif

namespace tindora::win32 {

inline std::span<const std::uint8_t> alertClip()
{
#ifdef TINDORA_HAVE_ALERT_CLIP
    return sound::alertClipBytes();
#else
    return {};
#endif
}

} // namespace tindora::win32
