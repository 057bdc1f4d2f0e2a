// The window mode's per-user configuration file: where it lives, loading it
// over the settings records (with the layout migrations) and saving them.
#pragma once

#include <string>

#include "settings/settings.h"

// <per-user configuration folder>/Korvane/tovrel/config.ini; the two
// folders are created when missing.
std::string configFilePath();

// Loads the file over both records. A file that cannot be opened gives the
// window-mode defaults; a missing key gives its default (CFG 0, X and Y 100).
// Files of older layouts are migrated.
void LoadConfiguration(const std::string& path, ConversionSettings& conversion, InterfaceSettings& interface);

// The exact bytes SaveConfiguration writes.
std::string configurationText(const ConversionSettings& conversion, const InterfaceSettings& interface);

// Writes the file through a temporary file renamed over it, so the old file
// stays as it was when anything fails; the new file keeps the old one's
// permission bits. An existing file that cannot be read is first kept as
// <path>.bak (never over an existing backup). True when the new file is in
// place.
bool SaveConfiguration(const std::string& path, const ConversionSettings& conversion,
                       const InterfaceSettings& interface);
