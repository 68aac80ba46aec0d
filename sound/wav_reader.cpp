#include "wav_reader.h"

#include "little_endian.h"

#include <string_view>
#include <utility>

namespace tindora::sound {
namespace {

using littleEndian::read16;
using littleEndian::read32;

std::string idAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), 4);
}

WavReadResult failure(WavError error, std::string message) { return {error, std::move(message), {}}; }

WavReadResult checkFormat(const WavFormat& f)
{
    if (f.formatTag != 1)
        return failure(WavError::NotPcm, "format tag " + std::to_string(f.formatTag) + " is not PCM (1)");
    if (f.channels < 1 || f.channels > 2)
        return failure(WavError::BadFormat, std::to_string(f.channels) + " channels; 1 or 2 can be played");
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
        return failure(WavError::BadFormat,
                       std::to_string(f.bitsPerSample) + " bits per sample; 8 or 16 can be played");
    if (f.sampleRate < 8000 || f.sampleRate > 192000)
        return failure(WavError::BadFormat, "sample rate " + std::to_string(f.sampleRate) + " is out of range");
    const std::uint32_t blockAlign = f.channels * f.bitsPerSample / 8u;
    if (f.blockAlign != blockAlign)
        return failure(WavError::BadFormat, "block alignment " + std::to_string(f.blockAlign) + ", expected " +
                                                std::to_string(blockAlign) + " for these channels and bits");
    if (f.bytesPerSecond != f.sampleRate * blockAlign)
        return failure(WavError::BadFormat, "bytes per second " + std::to_string(f.bytesPerSecond) + ", expected " +
                                                std::to_string(f.sampleRate * blockAlign));
    return {};
}

} // namespace

WavReadResult readWav(std::span<const std::uint8_t> file)
{
    constexpr std::size_t kRiffHeader = 12;
    if (file.size() < kRiffHeader)
        return failure(WavError::Truncated, "only " + std::to_string(file.size()) + " bytes, less than a RIFF header");
    if (idAt(file, 0) != "RIFF")
        return failure(WavError::NotRiff, "the file does not begin with \"RIFF\"");
    if (idAt(file, 8) != "WAVE")
        return failure(WavError::NotWave, "the RIFF form is \"" + idAt(file, 8) + "\", not \"WAVE\"");
    // Compared in 64 bits: a RIFF size near 4 GiB must not wrap around.
    const std::uint64_t announced = std::uint64_t{read32(file, 4)} + 8;
    if (announced > file.size())
        return failure(WavError::Truncated, "the RIFF header announces " + std::to_string(announced) +
                                                " bytes, the file holds " + std::to_string(file.size()));
    if (announced < file.size())
        return failure(WavError::RiffSizeMismatch, std::to_string(file.size() - announced) +
                                                       " bytes follow the RIFF form of " + std::to_string(announced));

    WavReadResult result;
    WavClip& clip = result.clip;
    clip.file = file;
    bool haveFormat = false;
    bool haveFact = false;
    bool haveData = false;
    std::uint32_t factFrames = 0;
    std::size_t at = kRiffHeader;
    while (at < file.size()) {
        if (file.size() - at < 8)
            return failure(WavError::ChunkPastEnd,
                           "a chunk header at offset " + std::to_string(at) + " runs past the end of the file");
        WavChunk chunk{idAt(file, at), at, read32(file, at + 4)};
        const std::size_t content = at + 8;
        // A chunk of odd size is followed by one pad byte.
        const std::uint64_t next = std::uint64_t{content} + chunk.size + chunk.size % 2;
        if (next > file.size())
            return failure(WavError::ChunkPastEnd, "chunk \"" + chunk.id + "\" at offset " + std::to_string(at) +
                                                       " is " + std::to_string(chunk.size) +
                                                       " bytes long and runs past the end of the file");
        const auto body = file.subspan(content, chunk.size);
        const auto duplicate = [&](bool seen) {
            return seen ? failure(WavError::DuplicateChunk,
                                  "a second \"" + chunk.id + "\" chunk at offset " + std::to_string(at))
                        : WavReadResult{};
        };
        if (chunk.id == "fmt ") {
            if (auto d = duplicate(haveFormat); !d.ok())
                return d;
            if (chunk.size < 16)
                return failure(WavError::BadFormat,
                               "the \"fmt \" chunk has " + std::to_string(chunk.size) + " bytes, less than 16");
            clip.format = {read16(body, 0), read16(body, 2),  read32(body, 4),
                           read32(body, 8), read16(body, 12), read16(body, 14)};
            if (auto bad = checkFormat(clip.format); !bad.ok())
                return bad;
            haveFormat = true;
        } else if (chunk.id == "fact") {
            if (auto d = duplicate(haveFact); !d.ok())
                return d;
            if (chunk.size < 4)
                return failure(WavError::BadFormat,
                               "the \"fact\" chunk has " + std::to_string(chunk.size) + " bytes, less than 4");
            factFrames = read32(body, 0);
            haveFact = true;
        } else if (chunk.id == "data") {
            if (auto d = duplicate(haveData); !d.ok())
                return d;
            if (!haveFormat)
                return failure(WavError::MissingFormat, "the \"data\" chunk comes before any \"fmt \" chunk");
            if (chunk.size % clip.format.blockAlign != 0 || chunk.size == 0)
                return failure(WavError::MissingData, "the \"data\" chunk's " + std::to_string(chunk.size) +
                                                          " bytes are not a whole, non-zero number of " +
                                                          std::to_string(clip.format.blockAlign) + "-byte frames");
            clip.samples = body;
            clip.frames = chunk.size / clip.format.blockAlign;
            haveData = true;
        }
        clip.chunks.push_back(std::move(chunk));
        at = static_cast<std::size_t>(next);
    }
    if (!haveFormat)
        return failure(WavError::MissingFormat, "no \"fmt \" chunk");
    if (!haveData)
        return failure(WavError::MissingData, "no \"data\" chunk");
    if (haveFact && factFrames != clip.frames)
        return failure(WavError::FactMismatch, "the \"fact\" chunk counts " + std::to_string(factFrames) +
                                                   " frames, the data holds " + std::to_string(clip.frames));
    return result;
}

} // namespace tindora::sound
