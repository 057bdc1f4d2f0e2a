// Pillow as the decoder the project did not write: the tests hold the
// engine's reader to it.
#pragma once

#include <cstdlib>
#include <string>

#include "test_support.h"

// The first Python that has Pillow: the one on the path, else Debian's own
// (python3-pil belongs to it when the path leads to another installation).
inline std::string pythonWithPillow() {
    for (const char* python : {"python3", "/usr/bin/python3"})
        if (std::system((std::string(python) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0) return python;
    return {};
}

// Pillow's pixels of a picture file (its first level for DDS), top-down
// RGBA; empty when Pillow could not read it.
inline std::string pillowRgba(const std::string& python, const std::string& path, const std::string& rawPath) {
    const std::string command = python + " -c 'import sys; from PIL import Image; "
                                "open(sys.argv[2], \"wb\").write(Image.open(sys.argv[1]).convert(\"RGBA\").tobytes())' '" +
                                path + "' '" + rawPath + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return readFileBytes(rawPath);
}
