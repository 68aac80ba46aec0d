#pragma once
// The text encoding of the settings file. Controls hold UTF-8; the file holds
// the Simplified Chinese multibyte text that the program has always written.
// Each platform converts with its own converter behind this interface.

#include <string>
#include <string_view>

namespace tindora::settings {

struct DecodedText {
    std::string utf8;
    // False when some bytes were not valid text; each such byte became U+FFFD.
    bool exact = true;
};

struct EncodedText {
    std::string bytes;
    // False when some characters cannot be stored in this encoding; each became '?'.
    bool exact = true;
};

// Failure contract: never fails and never throws; what cannot be converted is
// replaced and reported through `exact`.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual DecodedText decode(std::string_view bytes) const = 0;
    virtual EncodedText encode(std::string_view utf8) const = 0;
};

// The settings file's encoding on this system: GB18030, which keeps every
// character and reads and writes GBK text byte for byte; plain GBK (code page
// 936) where the system has no GB18030 converter. One object for the whole run.
const TextCodec& settingsFileCodec();

} // namespace tindora::settings
