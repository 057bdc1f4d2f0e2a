#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const std::string& scratchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tovrel-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp") + "/";
    }();
    return folder;
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::string path = scratchFolder() + name;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}
