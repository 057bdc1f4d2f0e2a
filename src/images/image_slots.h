// The named picture slots of the window mode and the theme archives that
// fill them. Nothing here uses Qt: pictures are decoded RGBA pixels that the
// window code turns into icons when it builds its controls.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

// Straight (not premultiplied) 8-bit RGBA, rows top to bottom, no padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Slots keyed by image name ("Convert", "New", ...); the names are also the
// keys of a theme's theme.cfg.
struct ImageSlots {
    std::map<std::string, Picture> buttonImages;   // "Convert", 64 x 64
    std::map<std::string, Picture> menuIcons;      // 16 x 16
    std::map<std::string, Picture> toolbarIcons;   // at iconSizeForUiSize
    Picture aboutBanner;                           // 360 x 40, never themed
};

// Theme key (archive name without ".zip") and display name, in listing order;
// the element added last is the current one.
struct ThemeList {
    std::vector<std::pair<std::string, std::string>> entries;
    int current = -1;
};

// Bounds that keep a hostile theme harmless: pictures are refused on their
// PNG header before decoding, archive entries are read into memory only and
// counted on the bytes really decompressed.
inline constexpr int kMaxIconSide = 256;
inline constexpr int kMaxButtonSide = 512;
inline constexpr std::size_t kMaxThemeConfigBytes = 64 * 1024;
inline constexpr std::size_t kMaxThemePictureBytes = 1024 * 1024;
// The display name must lie within the first bytes of theme.cfg.
inline constexpr std::size_t kThemeNameBytes = 255;

extern const std::vector<std::string> kButtonImageNames;
extern const std::vector<std::string> kMenuIconNames;
extern const std::vector<std::string> kToolbarIconNames;

int iconSizeForUiSize(int32 uiSize);

// PNG bytes to RGBA; nothing when the data is not a PNG or a side exceeds
// maxSide (checked on the header, before any pixel is decoded).
std::optional<Picture> decodePng(std::span<const std::uint8_t> bytes, int maxSide);

// Every slot gets its built-in picture (toolbar at the configured size).
void loadBuiltinImages(ImageSlots& slots, const InterfaceSettings& ui);

std::string iniValue(std::string_view text, std::string_view section, std::string_view key);
std::string readThemeName(const std::string& programFolder, const std::string& key);
void listThemes(const std::string& programFolder, ThemeList& list);
// May store the fallback theme's key in ui.UITheme (the configured theme is
// missing and others exist).
void applyTheme(const std::string& programFolder, InterfaceSettings& ui, const ThemeList& list,
                ImageSlots& slots, bool buttons, bool menuIcons, bool toolbarIcons);
