#include "wav_reader.h"

#include "alert_clip_format.h"
#include "little_endian.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tindora::sound {
namespace {

using littleEndian::read16;
using littleEndian::read32;

// One fixed field of the clip's header: a chunk's four-character tag, or a
// number of `width` bytes.
struct Field {
    std::size_t offset;
    const char* what;
    std::string_view tag;
    std::uint32_t number = 0;
    std::size_t width = 4;
};

// Every field of the 56-byte header but the two sizes that follow the file's
// length (the RIFF size at 4, the data size at 52), in file order.
constexpr Field kHeader[] = {
    {0, "the file type", "RIFF"},
    {8, "the RIFF form", "WAVE"},
    {12, "the first chunk", "fmt "},
    {16, "the \"fmt \" chunk's size", {}, 16},
    {20, "the format tag", {}, 1, 2}, // PCM
    {22, "the channel count", {}, clip::kChannels, 2},
    {24, "the sample rate", {}, clip::kSampleRate},
    {28, "bytes per second", {}, clip::kBytesPerSecond},
    {32, "the block alignment", {}, clip::kBlockAlign, 2},
    {34, "bits per sample", {}, clip::kBitsPerSample, 2},
    {36, "the second chunk", "fact"},
    {40, "the \"fact\" chunk's size", {}, 4},
    {48, "the third chunk", "data"},
};
constexpr std::size_t kRiffSizeAt = 4;
constexpr std::size_t kFormatAt = 20; // the "fmt " chunk's content
constexpr std::size_t kFactFramesAt = 44;
constexpr std::size_t kDataChunkAt = 48;
constexpr std::size_t kDataSizeAt = kDataChunkAt + 4;
static_assert(kDataSizeAt + 4 == clip::kHeaderSize);

WavReadResult failure(WavError error, std::string message) { return {error, std::move(message), {}}; }

// Nothing when the field holds what the clip's layout puts there.
std::optional<std::string> mismatch(std::span<const std::uint8_t> header, const Field& field)
{
    std::string found;
    std::string expected;
    if (!field.tag.empty()) {
        const std::string_view tag(reinterpret_cast<const char*>(header.data() + field.offset), 4);
        if (tag == field.tag)
            return std::nullopt;
        found = '"' + std::string(tag) + '"';
        expected = '"' + std::string(field.tag) + '"';
    } else {
        const std::uint32_t value = field.width == 2 ? read16(header, field.offset) : read32(header, field.offset);
        if (value == field.number)
            return std::nullopt;
        found = std::to_string(value);
        expected = std::to_string(field.number);
    }
    return std::string(field.what) + " at offset " + std::to_string(field.offset) + " is " + found +
           ", the clip's is " + expected;
}

} // namespace

WavReadResult readWav(std::span<const std::uint8_t> file)
{
    if (file.size() < clip::kHeaderSize)
        return failure(WavError::Truncated, "only " + std::to_string(file.size()) + " bytes, less than the clip's " +
                                                std::to_string(clip::kHeaderSize) + "-byte header");
    for (const Field& field : kHeader) {
        if (std::optional<std::string> wrong = mismatch(file, field))
            return failure(WavError::WrongLayout, std::move(*wrong));
    }
    // Compared in 64 bits: a size near 4 GiB must not wrap around.
    const std::uint64_t announced = std::uint64_t{read32(file, kRiffSizeAt)} + 8;
    if (announced > file.size())
        return failure(WavError::Truncated, "the RIFF header announces " + std::to_string(announced) +
                                                " bytes, the file holds " + std::to_string(file.size()));
    if (announced < file.size())
        return failure(WavError::SizeMismatch, std::to_string(file.size() - announced) +
                                                   " bytes follow the RIFF form of " + std::to_string(announced));
    const std::uint32_t dataSize = read32(file, kDataSizeAt);
    const std::size_t follow = file.size() - clip::kHeaderSize;
    if (dataSize > follow)
        return failure(WavError::Truncated, "chunk \"data\" at offset " + std::to_string(kDataChunkAt) + " announces " +
                                                std::to_string(dataSize) + " bytes, " + std::to_string(follow) +
                                                " follow");
    if (dataSize < follow)
        return failure(WavError::SizeMismatch, std::to_string(follow - dataSize) +
                                                   " bytes follow chunk \"data\" at offset " +
                                                   std::to_string(kDataChunkAt) + ", which must end the file");
    if (dataSize == 0 || dataSize % clip::kBlockAlign != 0)
        return failure(WavError::MissingData, "the \"data\" chunk's " + std::to_string(dataSize) +
                                                  " bytes are not a whole, non-zero number of " +
                                                  std::to_string(clip::kBlockAlign) + "-byte frames");
    const std::uint32_t frames = dataSize / clip::kBlockAlign;
    if (const std::uint32_t counted = read32(file, kFactFramesAt); counted != frames)
        return failure(WavError::FactMismatch, "the \"fact\" chunk counts " + std::to_string(counted) +
                                                   " frames, the data holds " + std::to_string(frames));

    WavReadResult result;
    result.clip.file = file;
    result.clip.format = {read16(file, kFormatAt),     read16(file, kFormatAt + 2),  read32(file, kFormatAt + 4),
                          read32(file, kFormatAt + 8), read16(file, kFormatAt + 12), read16(file, kFormatAt + 14)};
    result.clip.frames = frames;
    result.clip.samples = file.subspan(clip::kHeaderSize, dataSize);
    return result;
}

} // namespace tindora::sound
