// The alert clip linked in as read-only data: the assembler copies the
// generated WAV file into the object, so no source file holds its 1.3 MB as
// text. The build passes the file's path as TINDORA_ALERT_CLIP_WAV.

#include "alert_clip.h"

#ifndef TINDORA_ALERT_CLIP_WAV
#error "TINDORA_ALERT_CLIP_WAV must name the generated alert clip"
#endif

asm(".pushsection .rodata.tindora_alert_clip, \"a\", %progbits\n"
    ".hidden tindora_alert_clip_begin\n"
    ".hidden tindora_alert_clip_end\n"
    ".globl tindora_alert_clip_begin\n"
    ".globl tindora_alert_clip_end\n"
    ".balign 16\n"
    "tindora_alert_clip_begin:\n"
    ".incbin \"" TINDORA_ALERT_CLIP_WAV "\"\n"
    "tindora_alert_clip_end:\n"
    ".popsection\n");

extern "C" const std::uint8_t tindora_alert_clip_begin[];
extern "C" const std::uint8_t tindora_alert_clip_end[];

namespace tindora::sound {

std::span<const std::uint8_t> alertClipBytes() { return {tindora_alert_clip_begin, tindora_alert_clip_end}; }

} // namespace tindora::sound
