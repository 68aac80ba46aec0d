#include "settings_file.h"

#include "utf8_text.h"
#include "values.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tindora::settings {

const std::string& SlotTexts::operator[](FieldRole role) const
{
    switch (role) {
    case FieldRole::Hour:
        return hour;
    case FieldRole::Minute:
        return minute;
    case FieldRole::Second:
        return second;
    case FieldRole::Lead:
        return lead;
    case FieldRole::Note:
        break;
    }
    return note;
}

namespace {

constexpr char kQuote = '"';

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Walks the file field by field, keeping count of lines the way an editor does.
class FieldScanner {
public:
    explicit FieldScanner(std::string_view bytes) : m_bytes(bytes) {}

    enum class Step { Field, End, CutOff };

    Step next(std::string& raw, FilePlace& place)
    {
        raw.clear();
        while (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
            ++m_pos;
        place = {m_line, m_fieldOnLine};
        if (m_pos == m_bytes.size())
            return Step::End;
        if (m_bytes[m_pos] == kQuote)
            return quoted(raw);
        const std::size_t start = m_pos;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
            ++m_pos;
        raw.assign(m_bytes.substr(start, m_pos - start));
        endField();
        return Step::Field;
    }

private:
    // Quotes inside a quoted field come in runs. This version doubles each
    // quote of the text, so every pair in a run is one quote. A single quote
    // left over closes the field when a comma or line end follows; before
    // anything else it is a quote of the text, which is how notes with quotes
    // that earlier versions wrote undoubled still read back whole.
    Step quoted(std::string& raw)
    {
        ++m_pos;
        for (;;) {
            const std::size_t run = m_bytes.find(kQuote, m_pos);
            if (run == std::string_view::npos) {
                countLines(m_bytes.substr(m_pos));
                raw.append(m_bytes.substr(m_pos));
                m_pos = m_bytes.size();
                return Step::CutOff;
            }
            countLines(m_bytes.substr(m_pos, run - m_pos));
            raw.append(m_bytes.substr(m_pos, run - m_pos));
            std::size_t end = run;
            while (end < m_bytes.size() && m_bytes[end] == kQuote)
                ++end;
            const std::size_t quotes = end - run;
            m_pos = end;
            const bool closes = m_pos == m_bytes.size() || m_bytes[m_pos] == ',' || isLineEnd(m_bytes[m_pos]);
            raw.append(quotes / 2, kQuote);
            if (quotes % 2 == 1) {
                if (closes) {
                    endField();
                    return Step::Field;
                }
                raw.push_back(kQuote);
            }
        }
    }

    // Steps over the comma or line end that ends a field, if any; at the end
    // of the file the next field, the missing one, would follow on this line.
    void endField()
    {
        if (m_pos == m_bytes.size()) {
            ++m_fieldOnLine;
            return;
        }
        if (m_bytes[m_pos] == ',') {
            ++m_pos;
            ++m_fieldOnLine;
            return;
        }
        if (m_bytes[m_pos] == '\r' && m_pos + 1 < m_bytes.size() && m_bytes[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
        m_fieldOnLine = 1;
    }

    // Line ends inside a quoted field still start new lines for the user.
    void countLines(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (isLineEnd(text[i])) {
                ++m_line;
                m_fieldOnLine = 1;
            }
        }
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_fieldOnLine = 1;
};

} // namespace

SettingsReading readSettings(std::string_view bytes, const TextCodec& fileCodec)
{
    SettingsReading reading;
    // Saved by an editor as UTF-8: the mark comes before the first field and
    // belongs to none.
    reading.readAsUtf8 = bytes.starts_with(kUtf8ByteOrderMark);
    if (reading.readAsUtf8)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    const TextCodec& codec = reading.readAsUtf8 ? utf8Codec() : fileCodec;
    reading.fields.reserve(kFieldCount);
    FieldScanner scanner(bytes);
    std::string raw;
    FilePlace place;
    while (reading.fields.size() < kFieldCount) {
        if (scanner.next(raw, place) != FieldScanner::Step::Field) {
            reading.endedAt = place;
            break;
        }
        DecodedText decoded = codec.decode(raw);
        reading.fields.push_back({std::move(decoded.utf8), place, decoded.exact});
    }
    return reading;
}

WrittenSettings writeSettings(const SettingsTexts& texts, const TextCodec& codec)
{
    static constexpr FieldRole kRoles[] = {FieldRole::Hour, FieldRole::Minute, FieldRole::Second, FieldRole::Lead,
                                           FieldRole::Note};
    WrittenSettings written;
    written.bytes.reserve(64);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (const FieldRole role : kRoles) {
            if (role != FieldRole::Hour)
                written.bytes.push_back(',');
            const EncodedText encoded = codec.encode(texts[static_cast<std::size_t>(slot)][role]);
            if (!encoded.exact)
                written.inexact.push_back({slot, role});
            written.bytes.push_back(kQuote);
            // No byte of a GBK or GB18030 character equals the quote, so the
            // encoded bytes can be searched for it directly.
            for (const char c : encoded.bytes) {
                if (c == kQuote)
                    written.bytes.push_back(kQuote);
                written.bytes.push_back(c);
            }
            written.bytes.push_back(kQuote);
        }
        written.bytes += "\r\n";
    }
    return written;
}

std::optional<int> pickerIndexOf(std::string_view field)
{
    if (field.empty())
        return -1;
    const double whole = roundHalfEven(Val(field));
    if (!std::isfinite(whole) || whole < std::numeric_limits<std::int16_t>::min() ||
        whole > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(whole);
}

std::optional<std::string> leadTextOf(std::string_view field)
{
    const double lead = Val(field);
    if (!std::isfinite(lead))
        return std::nullopt;
    return numberToText(lead);
}

} // namespace tindora::settings
