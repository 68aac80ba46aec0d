// The alert clip as the RCDATA resource that alert_clip.rc puts into the
// executable.

#include "alert_clip.h"

#include <windows.h>

namespace tindora::sound {

std::span<const std::uint8_t> alertClipBytes()
{
    // RT_RCDATA follows the UNICODE setting; the W call needs the wide form.
    HRSRC info = FindResourceW(nullptr, L"TINDORA_ALERT_CLIP", MAKEINTRESOURCEW(10));
    if (info == nullptr)
        return {};
    // A resource's memory stays mapped for the life of the module; nothing to free.
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, info)};
}

} // namespace tindora::sound
