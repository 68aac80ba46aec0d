#pragma once
// UTF-8 as a settings-file encoding: what an editor writes when the user saves
// time.txt as "UTF-8" (with its byte-order mark). Portable; only read.

#include "text_codec.h"

#include <string_view>

namespace tindora::settings {

// EF BB BF, which no file of the writer starts with (every line it writes
// starts with a double quote).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Decodes by checking: valid UTF-8 stays as it is, every byte that starts no
// valid sequence becomes U+FFFD. Encoding is the same check.
const TextCodec& utf8Codec();

} // namespace tindora::settings
