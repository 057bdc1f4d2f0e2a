// A C file handle that closes itself on every path.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const noexcept {
        if (file) std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

inline FilePtr openFile(const std::string& path, const char* mode) { return FilePtr(std::fopen(path.c_str(), mode)); }
