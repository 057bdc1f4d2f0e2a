// Profile files given with --PROFILE: the group "CLI" of a file in the
// configuration text format, with option names as keys.
#pragma once

#include <string>

#include "settings/settings.h"

// Applies every recognised key line of the group CLI in file order. Values
// keep their double quotes; a flag is applied whatever its value. Fails for
// an empty path and for a file that is not a readable regular file; a file
// without the group succeeds and changes nothing.
bool LoadProfile(const std::string& path, ConversionSettings& settings);
