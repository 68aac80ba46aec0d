#pragma once
// Windows code-page conversion behind TextCodec, for the Windows build and its tests.

#include "text_codec.h"

#include <memory>

namespace tindora::settings {

inline constexpr unsigned kCodePageGb18030 = 54936;
inline constexpr unsigned kCodePageGbk = 936;

// GB18030 where the system has it, else GBK (Wine 8 lacks 54936).
unsigned settingsFileCodePage();

std::unique_ptr<TextCodec> makeCodePageCodec(unsigned codePage);

} // namespace tindora::settings
