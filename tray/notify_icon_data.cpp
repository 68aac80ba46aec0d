#include "notify_icon_data.h"

#include <algorithm>

namespace tindora::tray {
namespace {

void put32(NotifyIconRecord& record, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get32(const NotifyIconRecord& record, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(record[offset + i]) << (8 * i);
    return value;
}

// The longest prefix of at most `limit` bytes that ends on a character
// boundary of the ANSI text (lead bytes of double-byte characters are >= 0x81).
std::size_t cutAtCharacter(std::string_view ansi, std::size_t limit)
{
    std::size_t end = 0;
    while (end < ansi.size()) {
        const bool lead = static_cast<unsigned char>(ansi[end]) >= 0x81 && end + 1 < ansi.size();
        const std::size_t next = end + (lead ? 2 : 1);
        if (next > limit)
            break;
        end = next;
    }
    return end;
}

} // namespace

void setTip(TrayIconData& data, std::string_view tipUtf8, const AnsiEncoder& ansi)
{
    const std::string encoded = ansi(tipUtf8);
    const std::size_t length = cutAtCharacter(encoded, kTipBytes - 1);
    data.szTip.fill(' ');
    std::copy_n(encoded.begin(), length, data.szTip.begin());
    data.szTip[length] = 0;
}

NotifyIconRecord pack(const TrayIconData& data)
{
    NotifyIconRecord record{};
    put32(record, 0, data.cbSize);
    put32(record, 4, data.hWnd);
    put32(record, 8, data.uID);
    put32(record, 12, data.uFlags);
    put32(record, 16, data.uCallbackMessage);
    put32(record, 20, data.hIcon);
    std::copy(data.szTip.begin(), data.szTip.end(), record.begin() + 24);
    return record;
}

TrayIconData unpack(const NotifyIconRecord& record)
{
    TrayIconData data;
    data.cbSize = get32(record, 0);
    data.hWnd = get32(record, 4);
    data.uID = get32(record, 8);
    data.uFlags = get32(record, 12);
    data.uCallbackMessage = get32(record, 16);
    data.hIcon = get32(record, 20);
    std::copy(record.begin() + 24, record.end(), data.szTip.begin());
    return data;
}

} // namespace tindora::tray
