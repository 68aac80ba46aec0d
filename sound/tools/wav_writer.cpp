#include "wav_writer.h"

#include <cassert>

namespace tindora::sound {
namespace {

void putId(std::vector<std::uint8_t>& out, const char (&id)[5])
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(id[i]));
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> writeWavWithFact(std::span<const std::int16_t> interleaved, std::uint16_t channels,
                                           std::uint32_t sampleRate)
{
    assert(channels > 0 && interleaved.size() % channels == 0 && "a partial frame");
    const std::uint32_t blockAlign = channels * 2u;
    const auto frames = static_cast<std::uint32_t>(interleaved.size() / channels);
    const std::uint32_t dataSize = frames * blockAlign;

    std::vector<std::uint8_t> out;
    out.reserve(56 + dataSize);
    putId(out, "RIFF");
    put32(out, 4 + (8 + 16) + (8 + 4) + (8 + dataSize));
    putId(out, "WAVE");
    putId(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, channels);
    put32(out, sampleRate);
    put32(out, sampleRate * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);
    // PCM needs no "fact"; the clip has always carried one, so players and
    // readers of the stored layout find it there.
    putId(out, "fact");
    put32(out, 4);
    put32(out, frames);
    putId(out, "data");
    put32(out, dataSize);
    for (const std::int16_t sample : interleaved)
        put16(out, static_cast<std::uint16_t>(sample));
    return out;
}

} // namespace tindora::sound
