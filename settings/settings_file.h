#pragma once
// The settings file's format: three lines, one for each reminder slot, of five
// double-quoted fields joined by commas (hour, minute, second, lead, note),
// each line ended by CR LF. Pure: bytes in, texts out, and back.

#include "text_codec.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tindora::settings {

inline constexpr int kSlotCount = 3;
inline constexpr int kFieldsPerSlot = 5;
inline constexpr int kFieldCount = kSlotCount * kFieldsPerSlot;

enum class FieldRole { Hour, Minute, Second, Lead, Note };

// One slot's five texts, UTF-8, as its controls hold them.
struct SlotTexts {
    std::string hour;
    std::string minute;
    std::string second;
    std::string lead;
    std::string note;

    const std::string& operator[](FieldRole role) const;
    friend bool operator==(const SlotTexts&, const SlotTexts&) = default;
};
using SettingsTexts = std::array<SlotTexts, kSlotCount>;

// A field's place in the file, as a user opening it in an editor would count:
// the line it starts on and which field of that line it is, both from 1.
struct FilePlace {
    int line = 1;
    int field = 1;
    friend bool operator==(const FilePlace&, const FilePlace&) = default;
};

struct ReadField {
    std::string text; // UTF-8
    FilePlace place;
    // False when some of its bytes were not valid text (each became U+FFFD).
    bool exactText = true;
};

struct SettingsReading {
    // The fields in file order, at most kFieldCount; field i belongs to slot
    // i / 5 in the role i % 5. Anything after the last of them is ignored.
    std::vector<ReadField> fields;
    // Where the file ended, when it ended before the last field was complete;
    // a quoted field that the file cuts off before its closing quote is not
    // counted as read.
    FilePlace endedAt;
    // The file began with the UTF-8 byte-order mark and was read as UTF-8
    // (the writer never writes that; the next save writes the usual encoding).
    bool readAsUtf8 = false;

    bool complete() const { return fields.size() == kFieldCount; }
};

// Reads the fields of the file. A comma or a line end (CR, LF or CR LF) ends a
// field, wherever the lines break; spaces ahead of a field are skipped; a
// field that starts with a double quote runs to its closing quote, and inside
// it a doubled quote, or a quote followed by anything but a comma or a line
// end, is a quote character of the text. A file that begins with the UTF-8
// byte-order mark is read as UTF-8, the mark skipped; any other in `codec`.
SettingsReading readSettings(std::string_view bytes, const TextCodec& codec);

struct FieldRef {
    int slot = 0; // 0 to 2
    FieldRole role = FieldRole::Hour;
    friend bool operator==(const FieldRef&, const FieldRef&) = default;
};

struct WrittenSettings {
    std::string bytes;
    // Fields holding characters that the codec cannot store (written as '?').
    std::vector<FieldRef> inexact;
};

// Writes the file: every text between double quotes, a quote inside doubled,
// nothing else changed.
WrittenSettings writeSettings(const SettingsTexts& texts, const TextCodec& codec);

// The picker index a stored field selects: its leading number rounded to the
// nearest whole number, a half to the even neighbour; an empty field selects
// nothing (-1). Nothing when the number lies outside the 16-bit range that a
// picker index can take.
std::optional<int> pickerIndexOf(std::string_view field);

// The lead as written back into the lead field: the field's leading number in
// its shortest decimal form ("05" gives "5", "abc" gives "0"). Nothing when the
// number is too long to be one.
std::optional<std::string> leadTextOf(std::string_view field);

} // namespace tindora::settings
