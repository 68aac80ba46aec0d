#pragma once
// The one notification-icon record the tray module keeps, and its 88-byte ANSI
// NOTIFYICONDATA form that Shell_NotifyIcon receives.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tindora::tray {

inline constexpr std::size_t kNotifyIconRecordSize = 88;
inline constexpr std::size_t kTipBytes = 64;
using NotifyIconRecord = std::array<std::uint8_t, kNotifyIconRecordSize>;

// Turns UTF-8 text into the system's ANSI code page.
using AnsiEncoder = std::function<std::string(std::string_view utf8)>;

struct TrayIconData {
    std::uint32_t cbSize = 0;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    // The tip in ANSI bytes: the text, a NUL, then spaces to the end; 64 NULs
    // until a tip is set.
    std::array<std::uint8_t, kTipBytes> szTip{};
};

// Fills the tip field: the tip cut to at most 63 bytes at a character
// boundary, so that its NUL always lies inside the field, then the NUL, then
// spaces. `ansi` turns the tip into the system's ANSI code page.
void setTip(TrayIconData& data, std::string_view tipUtf8, const AnsiEncoder& ansi);

// Little-endian 88-byte layout: six 32-bit fields at 0..20, the tip at 24.
NotifyIconRecord pack(const TrayIconData& data);
TrayIconData unpack(const NotifyIconRecord& record);

} // namespace tindora::tray
