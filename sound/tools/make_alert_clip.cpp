// Writes the alert clip: make_alert_clip <output.wav>
// The build runs it on the build machine and embeds its output in both
// programs; the clip itself is never committed.

#include "chime_synth.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_alert_clip <output.wav>\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = tindora::sound::renderAlertClip();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_alert_clip: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
