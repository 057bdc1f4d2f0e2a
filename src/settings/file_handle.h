// A C file handle that closes itself on every path.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct FileCloser {
    void operator()(std::FILE* file) const noexcept {
        if (file) std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes every byte to the descriptor, again after a write that a signal
// interrupted; false on the first failing write (a closed pipe, a full
// disk), with the rest unwritten.
bool writeAll(int fd, std::string_view bytes);

inline FilePtr openFile(const std::string& path, const char* mode) { return FilePtr(std::fopen(path.c_str(), mode)); }
