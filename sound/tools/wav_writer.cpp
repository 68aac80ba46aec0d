#include "wav_writer.h"

#include "little_endian.h"

#include <cassert>

namespace tindora::sound {
namespace {

void putId(std::vector<std::uint8_t>& out, const char (&id)[5])
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(id[i]));
}

using littleEndian::append16;
using littleEndian::append32;

} // namespace

std::vector<std::uint8_t> writeWavWithFact(std::span<const std::int16_t> interleaved, std::uint16_t channels,
                                           std::uint32_t sampleRate)
{
    assert(channels > 0 && interleaved.size() % channels == 0 && "a partial frame");
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2u);
    const auto frames = static_cast<std::uint32_t>(interleaved.size() / channels);
    const std::uint32_t dataSize = frames * blockAlign;

    std::vector<std::uint8_t> out;
    out.reserve(56 + dataSize);
    putId(out, "RIFF");
    append32(out, 4 + (8 + 16) + (8 + 4) + (8 + dataSize));
    putId(out, "WAVE");
    putId(out, "fmt ");
    append32(out, 16);
    append16(out, 1); // PCM
    append16(out, channels);
    append32(out, sampleRate);
    append32(out, sampleRate * blockAlign);
    append16(out, blockAlign);
    append16(out, 16);
    // PCM needs no "fact"; the clip has always carried one, so players and
    // readers of the stored layout find it there.
    putId(out, "fact");
    append32(out, 4);
    append32(out, frames);
    putId(out, "data");
    append32(out, dataSize);
    for (const std::int16_t sample : interleaved)
        append16(out, static_cast<std::uint16_t>(sample));
    return out;
}

} // namespace tindora::sound
