#include "notify_icon_data.h"

#include "little_endian.h"

#include <algorithm>

namespace tindora::tray {
namespace {

using littleEndian::read32;
using littleEndian::write32;

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
    write32(record, 0, data.cbSize);
    write32(record, 4, data.hWnd);
    write32(record, 8, data.uID);
    write32(record, 12, data.uFlags);
    write32(record, 16, data.uCallbackMessage);
    write32(record, 20, data.hIcon);
    std::copy(data.szTip.begin(), data.szTip.end(), record.begin() + 24);
    return record;
}

TrayIconData unpack(const NotifyIconRecord& record)
{
    TrayIconData data;
    data.cbSize = read32(record, 0);
    data.hWnd = read32(record, 4);
    data.uID = read32(record, 8);
    data.uFlags = read32(record, 12);
    data.uCallbackMessage = read32(record, 16);
    data.hIcon = read32(record, 20);
    std::copy(record.begin() + 24, record.end(), data.szTip.begin());
    return data;
}

} // namespace tindora::tray
