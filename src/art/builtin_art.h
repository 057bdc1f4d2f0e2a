// The pictures the program draws for itself at build time and compiles in:
// PNG files made by tools/artgen, embedded as byte arrays.
//
// Names:
//   "menu/<Name>"          16 x 16 menu icon, one for every MenuIcons name
//   "toolbar/<Name>_<px>"  toolbar icon for every ToolbarIcons name at 16, 24, 32, 48, 64
//   "button/Convert"       64 x 64 Convert button picture
//   "banner/About"         360 x 40 About banner
//   "app/<px>"             application icon at 16, 24, 32, 48, 64, 128, 256
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

struct BuiltinPicture {
    std::string_view name;
    const unsigned char* png;
    std::size_t size;
};

std::span<const BuiltinPicture> builtinPictures();
// nullptr when the program has no picture of that name.
const BuiltinPicture* findBuiltinPicture(std::string_view name);
