// Checks a DDS file the writer has just saved. The writer does not notice
// short writes (a full disk, a file-size limit) and still reports success,
// so the file is measured before it may replace anything.
#pragma once

#include <cstdint>
#include <string>

// True when the file starts with a DDS header for a width x height image
// and holds the data of its whole mip chain.
bool isCompleteDdsFile(const std::string& path, std::uint32_t width, std::uint32_t height);
