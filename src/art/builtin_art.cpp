// Lookup over the generated picture table, which the generator writes
// sorted by name.
#include "art/builtin_art.h"

#include <algorithm>

const BuiltinPicture* findBuiltinPicture(std::string_view name) {
    const std::span<const BuiltinPicture> all = builtinPictures();
    const auto it = std::lower_bound(all.begin(), all.end(), name,
                                     [](const BuiltinPicture& p, std::string_view n) { return p.name < n; });
    return (it != all.end() && it->name == name) ? &*it : nullptr;
}
