#pragma once
// Little-endian fields of the binary formats the program reads and writes: the
// alert clip's WAV file, the .ico file, the shell's icon record. Byte by byte,
// so the machine's own byte order and alignment never matter. Header only: any
// target can include it without linking anything.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tindora::littleEndian {

// Every offset is the caller's to check: the field must lie wholly inside `bytes`.
constexpr std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

constexpr std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return read16(bytes, at) | std::uint32_t{read16(bytes, at + 2)} << 16;
}

constexpr void write16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void write32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value)
{
    write16(bytes, at, static_cast<std::uint16_t>(value));
    write16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void append16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    append16(out, static_cast<std::uint16_t>(value));
    append16(out, static_cast<std::uint16_t>(value >> 16));
}

} // namespace tindora::littleEndian
