// Writes the program's icon file: make_icon <output.ico>
// The committed ui/icon/tindora.ico is this tool's output; the unit test
// checks that the two still agree.

#include "clock_icon.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <output.ico>\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = tindora::icon::makeClockIcon();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_icon: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
