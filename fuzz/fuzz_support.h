// Small helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A private scratch folder for this process, ending with "/".
const std::string& scratchFolder();
// Writes the bytes to scratchFolder() + name and returns the path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
