// The product's identity: its name, version number and the folder names of
// its per-user configuration.
#pragma once

inline constexpr const char* kProductName = "Korvane PNG to DDS";
// 280 reads as "2.8"; see titleWithVersion.
inline constexpr int kProgramVersion = 280;
// Per-user configuration lives in <config folder>/Korvane/tovrel/config.ini;
// the maker folder is the first word of the product name.
inline constexpr const char* kConfigProductFolder = "tovrel";
inline constexpr const char* kConfigFileName = "config.ini";
