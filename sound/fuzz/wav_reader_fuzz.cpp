// libFuzzer target: readWav must refuse or accept any bytes without reading
// outside them, and whatever it accepts must hold together.

#include "wav_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    const tindora::sound::WavReadResult read = tindora::sound::readWav(file);
    if (!read.ok()) {
        if (read.message.empty())
            std::abort(); // every refusal says why
        return 0;
    }
    const auto& clip = read.clip;
    const bool inside = clip.samples.data() >= data && clip.samples.data() + clip.samples.size() <= data + size;
    if (!inside || clip.frames == 0 || clip.samples.size() != std::size_t{clip.frames} * clip.format.blockAlign)
        std::abort();
    // The clip's layout: the samples end the file.
    if (clip.samples.data() + clip.samples.size() != data + size || clip.file.size() != size)
        std::abort();
    return 0;
}
