// Theme archives in the program folder's gfx/: listing them, their display
// names, and putting their pictures into the image slots.
#include <algorithm>
#include <filesystem>
#include <set>

#include "images/image_slots.h"
#include "images/theme_archive.h"
#include "settings/paths.h"
#include "settings/text.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string themeArchivePath(const std::string& programFolder, const std::string& key) {
    return programFolder + "gfx/" + key + ".zip";
}

// The key is pasted into a path: one that could leave gfx/ or name a hidden
// file is no theme at all.
bool isUsableThemeKey(std::string_view key) {
    return !key.empty() && key.front() != '.' && key.find('/') == std::string_view::npos &&
           key.find('\0') == std::string_view::npos;
}

// A value holding ".png" (in any case) is the entry name itself; any other
// value is a base to which the pixel size is added.
std::string pictureEntryName(const std::string& value, int pixelSize) {
    if (asciiLower(value).find(".png") != std::string::npos) return value;
    return value + "_" + std::to_string(pixelSize) + ".png";
}

struct SlotRequest {
    std::map<std::string, Picture>* slots;
    const std::vector<std::string>* names;
    const char* section;
    int pixelSize;
    int maxSide;
};

}  // namespace

std::string iniValue(std::string_view text, std::string_view section, std::string_view key) {
    const std::string lowered = asciiLower(text);
    const std::size_t a = lowered.find("[" + asciiLower(section) + "]");
    if (a == std::string::npos) return "";
    std::size_t b = lowered.find('[', a + 1);
    if (b == std::string::npos) b = lowered.size();
    const std::size_t k = lowered.find(std::string(kLineEnd) + asciiLower(key), a);
    if (k == std::string::npos || k <= a || k >= b) return "";
    // A last line without CR LF ends with the text.
    std::size_t lineEnd = lowered.find(kLineEnd, k + kLineEnd.size());
    if (lineEnd == std::string::npos) lineEnd = lowered.size();
    const std::string_view line = text.substr(k, lineEnd - k);
    const std::size_t first = line.find('=');
    if (first == std::string_view::npos) return "";
    const std::size_t second = line.find('=', first + 1);
    const std::size_t length = (second == std::string_view::npos) ? std::string_view::npos : second - first - 1;
    return cleanText(line.substr(first + 1, length));
}

std::string readThemeName(const std::string& programFolder, const std::string& key) {
    if (!isUsableThemeKey(key)) return "";
    const std::optional<std::string> start =
        readArchiveEntryStart(themeArchivePath(programFolder, key), "theme.cfg", kThemeNameBytes);
    if (!start) return "";
    return latin1ToUtf8(iniValue(*start, "Theme", "Name"));
}

void listThemes(const std::string& programFolder, ThemeList& list) {
    list.entries.clear();
    list.current = -1;
    std::vector<std::string> keys;
    std::error_code error;
    for (std::filesystem::directory_iterator it(programFolder + "gfx", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= 4 || !name.ends_with(".zip")) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string key = name.substr(0, name.size() - 4);
        if (isUsableThemeKey(key)) keys.push_back(key);
    }
    // Sorted without regard to case, so "the theme listed last" does not
    // depend on the order the file system returns.
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        const std::string la = asciiLower(a), lb = asciiLower(b);
        return la != lb ? la < lb : a < b;
    });
    for (const std::string& key : keys) list.entries.emplace_back(key, readThemeName(programFolder, key));
    list.current = static_cast<int>(list.entries.size()) - 1;
}

void applyTheme(const std::string& programFolder, InterfaceSettings& ui, const ThemeList& list, ImageSlots& slots,
                bool buttons, bool menuIcons, bool toolbarIcons) {
    const bool configuredExists =
        isUsableThemeKey(ui.UITheme) && fileSizeQuery(themeArchivePath(programFolder, ui.UITheme)) != -1;
    if (!configuredExists) {
        if (list.current < 0 || list.current >= static_cast<int>(list.entries.size())) return;
        ui.UITheme = list.entries[list.current].first;
    }
    const std::string archivePath = themeArchivePath(programFolder, ui.UITheme);

    const auto config = readArchiveEntries(archivePath, {"theme.cfg"}, kMaxThemeConfigBytes);
    if (!config || !config->contains("theme.cfg")) return;
    const std::string& cfg = config->at("theme.cfg");

    std::vector<SlotRequest> requests;
    if (buttons) requests.push_back({&slots.buttonImages, &kButtonImageNames, "Buttons", 16, kMaxButtonSide});
    if (menuIcons) requests.push_back({&slots.menuIcons, &kMenuIconNames, "Icons", 16, kMaxIconSide});
    if (toolbarIcons)
        requests.push_back({&slots.toolbarIcons, &kToolbarIconNames, "Icons", iconSizeForUiSize(ui.UISize), kMaxIconSide});

    std::set<std::string> wanted;
    for (const SlotRequest& request : requests)
        for (const std::string& name : *request.names)
            wanted.insert(pictureEntryName(iniValue(cfg, request.section, name), request.pixelSize));
    const auto pictures = readArchiveEntries(archivePath, wanted, kMaxThemePictureBytes);
    if (!pictures) return;

    for (const SlotRequest& request : requests) {
        for (const std::string& name : *request.names) {
            const auto entry = pictures->find(pictureEntryName(iniValue(cfg, request.section, name), request.pixelSize));
            if (entry == pictures->end()) continue;
            const std::string& png = entry->second;
            // A picture that does not decode leaves the slot as it was.
            if (auto picture = decodePng({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()}, request.maxSide))
                (*request.slots)[name] = std::move(*picture);
        }
    }
}
