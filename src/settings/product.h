// The product's identity, written once: its name, version, maker, web site
// and mailbox, and the folder names of its per-user configuration. Every
// title, banner, address and notice is made from these.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* kProductName = "Korvane PNG to DDS";
// 280 reads as "2.8"; see titleWithVersion.
inline constexpr int kProgramVersion = 280;
// Per-user configuration lives in <config folder>/Korvane/tovrel/config.ini;
// the maker folder is the first word of the product name.
inline constexpr const char* kConfigProductFolder = "tovrel";
inline constexpr const char* kConfigFileName = "config.ini";

// The maker's one-line notice: the default watermark text and the second
// banner line (printed with "(c)" in place of the copyright sign).
inline constexpr const char* kMakerNotice = "\xC2\xA9 Korvane Software";
// The maker's site, as the banner prints it.
inline constexpr const char* kVendorWebSite = "https://www.korvane.example/";
// The vendor's support mailbox.
inline constexpr std::string_view kSupportAddress = "support@korvane.example";

// Version text of a version number: a point after the first and the second
// digit, and only "d.d" when the last digit is 0 (280 -> "2.8", 281 -> "2.8.1").
std::string versionText(int version);
// "Korvane PNG to DDS 2.8": console title, window titles, single-instance name.
std::string titleWithVersion();
// The site's host name without scheme and trailing slash ("www.korvane.example"),
// as the main window's notice shows it.
std::string vendorHostName();
