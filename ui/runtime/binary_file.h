#pragma once
// Writes a file the build makes (the alert clip, the icon), for the small
// tools that make them; each says why it could not, in one line.

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tindora {

// `usage` is the tool's name and argument; returns the tool's exit code.
inline int writeBuiltFile(int argc, char** argv, const char* usage, const std::vector<std::uint8_t>& bytes)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

} // namespace tindora
