// The string table: the built-in English text block, the index built from
// it (groups with a first-character shortcut, entries sorted by key) and the
// lookup that uses it, plus the %s1%..%s4% filler used with its texts.
#include "settings/string_table.h"

#include <algorithm>
#include <utility>

#include "settings/text.h"

namespace {

constexpr std::string_view kNoString = "%NO_STRING_ERROR%";
constexpr std::string_view kGroupMarker = "_GROUP_";
constexpr std::string_view kEndMarker = "_END_";

// Keys and group names are ASCII; texts are UTF-8. Within a group the order
// does not matter (the index sorts), but pages are kept together for reading.
constexpr StringPair kBuiltInBlock[] = {
    {"_GROUP_", "Menu"},
    {"File", "File"},
    {"New", "New"},
    {"Select Input File", "Add Input File..."},
    {"Select Output Folder", "Select Output Folder..."},
    {"Output Format Options", "Options..."},
    {"Exit", "Exit"},
    {"Converter", "Converter"},
    {"Convert", "Convert"},
    {"Custom Converter", "Find a File Converter..."},
    {"Preferences", "Preferences..."},
    {"Help", "Help"},
    {"Manual", "User Manual..."},
    {"Send Feedback", "Send Feedback"},
    {"Visit Homepage", "Visit the Program's Homepage"},
    {"Check For New Version", "Check For a New Version"},
    {"About", "About..."},
    {"View Texture", "View Texture..."},

    {"_GROUP_", "General"},
    {"Input File", "Input File:"},
    {"Output Folder", "Output Folder:"},
    {"Output Format", "Output Format:"},
    {"Ready", "Ready"},
    {"Preparing", "Preparing..."},
    {"Importing", "Importing..."},
    {"Converting", "Converting..."},

    {"_GROUP_", "Msg"},
    {"Error", "Error"},
    {"Warning", "Warning"},
    {"Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
    {"Empty output folder",
     "The output folder's field is empty. Please, select existed output folder and try again!"},
    {"Invalid output folder",
     "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\n"
     "Please, correct the output path and try again!"},
    {"Invalid width", "Invalid resize width value!"},
    {"Invalid height", "Invalid resize height value!"},
    {"Invalid watermark font", "Unable to load selected font for a watermark: %s1%"},
    {"Empty watermark image", "Selected watermark image is invalid/empty!"},
    {"Invalid watermark image", "Unable to load selected file as a watermark image: %s1%"},
    {"Import complete", "Import complete, new files added: %s1%"},
    {"Conversion complete", "Conversion complete"},
    {"Conversion is not complete", "Conversion stopped"},
    {"Progress", "(%s1%/%s2%)"},
    {"Files converted", "Files converted: %s1% of %s2%"},
    {"New Update", "New Update"},
    {"New Update Text",
     "A new version of Korvane PNG to DDS is available! Are you ready to download it right now?"},
    {"No Update", "No Update"},
    {"No Update Text", "There is no update of Korvane PNG to DDS yet. You're using the most recent version."},
    {"Check for Updates", "Check for Updates"},
    {"Ask check for updates", "Do you want to check for updates?"},
    {"Reset to Defaults", "Reset to Defaults"},
    {"Ask reset to defaults", "Are you sure you want to reset all your settings to the default values?"},
    {"Internet connection problems", "Internet connection problems!"},
    {"Ask break conversion", "Do you want to break the conversion?"},
    {"Empty extensions", "Please, fill all required fields and try again!"},

    {"_GROUP_", "Dialog"},
    {"Select Input Files", "Select Input Files"},
    {"Select Output Folder", "Select Output Folder"},
    {"Select Watermark Image", "Select Watermark Image"},
    {"All Supported Files", "All Supported Files"},
    {"All Files", "All Files"},
    {"Convert Progress", "Converting"},
    {"Time Remaining", "Time Remaining: %s1%"},
    {"Time Unknown", "Unknown"},
    {"OK", "OK"},
    {"Cancel", "Cancel"},
    {"Defaults", "Defaults"},

    {"_GROUP_", "Preferences"},
    // Window title and the category list.
    {"Title", "Preferences..."},
    {"General", "General"},
    {"Interface", "Interface"},
    {"Input", "Input"},
    {"Output", "Output"},
    {"Transform", "Transform"},
    {"Adjustment", "Adjustment"},
    {"Frame", "Frame"},
    {"Watermark", "Watermark"},
    {"Advanced", "Advanced"},
    // General page.
    {"Language", "Language:"},
    {"Check For Updates", "Check for Updates:"},
    {"Every day", "Every day"},
    {"Every week", "Every week"},
    {"Every month", "Every month"},
    {"Every 3 months", "Every 3 months"},
    {"Every 6 months", "Every 6 months"},
    {"Never", "Never"},
    {"Save window position", "Save Window's Coords:"},
    // Interface page.
    {"UI Theme", "Theme:"},
    {"None", "None"},
    {"UI Size", "Icon Size:"},
    {"Small", "Small"},
    {"Medium", "Medium"},
    {"Large", "Large"},
    {"Extra Large", "Extra Large"},
    {"Huge", "Huge"},
    // Input and Output pages.
    {"Input Format", "Input Format:"},
    {"Output Format", "Output Format:"},
    {"Bits Per Pixel", "Bits Per Pixel:"},
    {"Auto", "Auto"},
    {"Compression", "Compression:"},
    {"Compression Auto", "Automatic"},
    {"Compression DXT1", "DXT1 (BC1)"},
    {"Compression DXT5", "DXT5 (BC3)"},
    {"Compression BC7", "BC7"},
    {"Compression None", "Uncompressed"},
    {"Compression Auto Hint", "DXT1 for opaque pictures and cut-outs, DXT5 where alpha is smooth"},
    {"Compression DXT1 Hint", "Smallest file, 1-bit alpha"},
    {"Compression DXT5 Hint", "Smooth alpha, twice the size of DXT1"},
    {"Compression BC7 Hint", "Best quality, slower to write; needs a DirectX 11 era reader"},
    {"Compression None Hint", "Lossless, 4 bytes per pixel"},
    // Advanced page.
    {"Filename Mask", "Filename Mask:"},
    {"File Timestamp", "File Timestamp:"},
    {"Current", "Current"},
    {"Original", "Original"},
    {"Custom", "Custom"},
    {"Custom Timestamp", "Custom Timestamp:"},
    {"Out Folders History", "Output Folders History:"},
    {"Clean On Exit", "Clean on Exit"},
    {"Keep Folders", "Keep Recent"},
    {"Out Folders Number", "Output Folders Number:"},
    // Transform page.
    {"Image Rotation", "Image Rotation:"},
    {"Rotation Type", "Rotation Type:"},
    {"Simple Rotation", "Simple"},
    {"Advanced Rotation", "Advanced"},
    {"Rotation Angle", "Rotation Angle:"},
    {"Background Color", "Background Color:"},
    {"Image Resize", "Image Resize:"},
    {"Image Width", "Image Width:"},
    {"Image Height", "Image Height:"},
    {"Pixels", "pixels"},
    {"Percent", "percent"},
    {"Keep Aspect Ratio", "Keep Proportions:"},
    {"Resize Type", "Resize Type:"},
    {"All Images", "All Images"},
    {"Large Images", "Large Images"},
    {"Resize Algorithm", "Resize Algorithm:"},
    {"Box", "Box"},
    {"Bilinear", "Bilinear"},
    {"Bspline", "B-Spline"},
    {"Bicubic", "Bicubic"},
    {"Catmullrom", "Catmull-Rom Spline"},
    {"Lanczos", "Lanczos"},
    {"Image Flip Horizontal", "Flip Horizontal:"},
    {"Image Flip Vertical", "Flip Vertical:"},
    // Adjustment page.
    {"Image Brightness", "Image Brightness:"},
    {"Image Contrast", "Image Contrast:"},
    {"Image Gamma", "Gamma Correction:"},
    {"Image Invert", "Invert Image:"},
    {"Image Greyscale", "Greyscale Image:"},
    {"Image Threshold", "Image Threshold:"},
    {"Threshold Level", "Threshold Level:"},
    {"Image Dither", "Image Dither:"},
    {"Dither Algorithm", "Dithering Algorithm:"},
    {"FS", "Floyd and Steinberg error diffusion"},
    {"Bayer4", "Bayer ordered dot dithering 4x4"},
    {"Bayer8", "Bayer ordered dot dithering 8x8"},
    {"Bayer16", "Bayer ordered dot dithering 16x16"},
    {"Cluster6", "Clustered dot dithering 6x6"},
    {"Cluster8", "Clustered dot dithering 8x8"},
    {"Cluster16", "Clustered dot dithering 16x16"},
    // Named colours of the colour lists.
    {"Color", "Color"},
    {"Black", "Black"},
    {"Silver", "Silver"},
    {"Gray", "Gray"},
    {"White", "White"},
    {"Maroon", "Maroon"},
    {"Red", "Red"},
    {"Purple", "Purple"},
    {"Fuchsia", "Fuchsia"},
    {"Green", "Green"},
    {"Lime", "Lime"},
    {"Olive", "Olive"},
    {"Yellow", "Yellow"},
    {"Navy", "Navy"},
    {"Blue", "Blue"},
    {"Teal", "Teal"},
    {"Aqua", "Aqua"},
    {"Orange", "Orange"},
    {"Brown", "Brown"},
    {"Violet", "Violet"},
    // Frame page.
    {"Frame Type", "Frame:"},
    {"Frame Solid", "Solid Color"},
    {"Left", "Left:"},
    {"Right", "Right:"},
    {"Top", "Top:"},
    {"Bottom", "Bottom:"},
    {"Left Color", "Left Color:"},
    {"Right Color", "Right Color:"},
    {"Top Color", "Top Color:"},
    {"Bottom Color", "Bottom Color:"},
    {"Opacity", "Opacity:"},
    // Watermark page: kind, text rows, image rows, positions.
    {"Watermark Type", "Watermark:"},
    {"Watermark Text", "Text"},
    {"Watermark Image", "Image"},
    {"Text", "Text:"},
    {"Font", "Font:"},
    {"Font Size", "Font Size:"},
    {"Points", "points"},
    {"Font Leading", "Font Leading:"},
    {"Font Color", "Font Color:"},
    {"Font Style", "Font Style:"},
    {"Regular", "Regular"},
    {"Bold", "Bold"},
    {"Italic", "Italic"},
    {"Bold Italic", "Bold Italic"},
    {"Font Effect", "Font Effect:"},
    {"Underline", "Underline"},
    {"Strikeout", "Strikethrough"},
    {"Antialiasing", "Antialiasing:"},
    {"Text Alignment", "Text Alignment:"},
    {"Align Left", "Left"},
    {"Align Center", "Center"},
    {"Align Right", "Right"},
    {"Text Padding", "Text Padding:"},
    {"Text Opacity", "Text Opacity:"},
    {"Background Opacity", "Background Opacity:"},
    {"Boundary", "Boundary:"},
    {"Bound Image", "Image"},
    {"Bound Frame", "Frame"},
    {"Position", "Position:"},
    {"X-Offset", "X-Offset:"},
    {"Y-Offset", "Y-Offset:"},
    {"Size", "Size:"},
    {"Fixed", "Fixed"},
    {"Scale", "Scale:"},
    {"Image", "Image:"},
    {"Top-Left", "Top-Left"},
    {"Top-Center", "Top-Center"},
    {"Top-Right", "Top-Right"},
    {"Middle-Left", "Middle-Left"},
    {"Middle-Center", "Middle-Center"},
    {"Middle-Right", "Middle-Right"},
    {"Bottom-Left", "Bottom-Left"},
    {"Bottom-Center", "Bottom-Center"},
    {"Bottom-Right", "Bottom-Right"},

    {"_GROUP_", "About"},
    {"Title", "About..."},
    {"Website", "Web:"},
    {"Email", "E-mail:"},

    {"_GROUP_", "Custom-Converter"},
    {"Title", "Find a File Converter"},
    {"From", "From:"},
    {"To", "To:"},
    {"Search", "Search"},

    {"_GROUP_", "Uninstall"},
    {"Title", "Uninstall"},
    {"Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
    {"Next", "Next"},

    {"_GROUP_", "Viewer"},
    {"Window", "Texture Viewer"},
    {"Title", "%s1% - Texture Viewer"},
    {"Choose", "View Texture"},
    {"Filter", "DDS Textures (*.dds *.DDS);;All Files (*)"},
    {"Level", "Level:"},
    {"Level Entry", "%s1%: %s2%"},
    {"Size", "%s1% x %s2%"},
    {"Zoom", "Zoom:"},
    {"Fit", "Fit"},
    {"Actual", "100 %"},
    {"Double", "200 %"},
    {"Quadruple", "400 %"},
    {"Alpha", "Alpha over checkerboard"},
    {"Source", "Show the PNG"},
    {"Psnr", "PSNR against the PNG: %s1% dB"},
    {"Source Unreadable", "The PNG %s1% cannot be read"},
    {"Source Size Differs", "No PSNR: the PNG's size differs"},
    {"No Opaque Pixels", "No PSNR: no pixel is opaque in both"},
    {"Status", "%s1%   %s2%   %s3% levels   %s4% bytes"},
    {"Refused", "Cannot show %s1%: %s2%"},
    {"No Levels", "the file holds no complete level"},

    {"_END_", ""},
};

bool isGroupMarker(std::string_view key) { return asciiUpper(key) == kGroupMarker; }
bool isEndMarker(std::string_view key) { return asciiUpper(key) == kEndMarker; }

// The pairs up to (not including) the end marker, or the whole block when it
// has none.
std::span<const StringPair> pairsBeforeEnd(std::span<const StringPair> block) {
    auto end = std::find_if(block.begin(), block.end(), [](const StringPair& p) { return isEndMarker(p.key); });
    return block.first(static_cast<std::size_t>(end - block.begin()));
}

// Fills groups (groups[0] collects entries before the first group marker, which
// no lookup searches) and the unsorted entries.
void collectGroupsAndEntries(StringTable& table, std::span<const StringPair> pairs) {
    table.groups.assign(1, StringGroup{});
    table.keys.assign(1, std::string{});
    table.texts.assign(1, std::string{});
    for (const StringPair& pair : pairs) {
        std::size_t entryCount = table.keys.size() - 1;
        if (isGroupMarker(pair.key)) {
            table.groups.back().last = entryCount;
            StringGroup group;
            group.name = asciiUpper(pair.text);
            group.first = entryCount + 1;
            table.groups.push_back(std::move(group));
        } else {
            table.keys.push_back(asciiUpper(pair.key));
            table.texts.emplace_back(pair.text);
        }
    }
    table.groups.back().last = table.keys.size() - 1;
}

// Sorts one group's entries by key, ties by text. Byte order of the ASCII
// keys is the code-unit order, and a key sorts before any longer key it is a
// prefix of, which the lookup's early stop relies on.
void sortGroupEntries(StringTable& table, const StringGroup& group) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t j = group.first; j <= group.last; ++j)
        entries.emplace_back(std::move(table.keys[j]), std::move(table.texts[j]));
    std::sort(entries.begin(), entries.end());
    for (std::size_t j = group.first; j <= group.last; ++j) {
        table.keys[j] = std::move(entries[j - group.first].first);
        table.texts[j] = std::move(entries[j - group.first].second);
    }
}

// Points each character slot at the first sorted entry starting with it. An
// empty key gets no slot, so it can never be found.
void fillFirstCharacterSlots(const StringTable& table, StringGroup& group) {
    group.firstByChar.fill(0);
    for (std::size_t j = group.first; j <= group.last; ++j) {
        if (table.keys[j].empty()) continue;
        std::size_t& slot = group.firstByChar[static_cast<unsigned char>(table.keys[j][0])];
        if (slot == 0) slot = j;
    }
}

// Index of the group named `upperName`, trying the cached group first; 0 when
// there is none.
std::size_t findGroup(const StringTable& table, std::size_t cached, const std::string& upperName) {
    if (cached > 0 && cached < table.groups.size() && table.groups[cached].name == upperName) return cached;
    for (std::size_t g = 1; g < table.groups.size(); ++g)
        if (table.groups[g].name == upperName) return g;
    return 0;
}

// Index of `upperKey` within the group, 0 when missing: start at the slot of
// its first character and stop at the first key that sorts after it.
std::size_t findEntry(const StringTable& table, const StringGroup& group, const std::string& upperKey) {
    if (upperKey.empty()) return 0;
    for (std::size_t j = group.firstByChar[static_cast<unsigned char>(upperKey[0])]; j != 0 && j <= group.last; ++j) {
        int order = upperKey.compare(table.keys[j]);
        if (order == 0) return j;
        if (order < 0) return 0;
    }
    return 0;
}

// Replaces every "%s<digit>%" and "%S<digit>%" in one left-to-right pass; the
// inserted value is not searched again within this pass.
std::string replacePlaceholder(std::string_view text, char digit, std::string_view value) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find('%', pos)) != std::string_view::npos;) {
        bool match = hit + 3 < text.size() && (text[hit + 1] == 's' || text[hit + 1] == 'S') &&
                     text[hit + 2] == digit && text[hit + 3] == '%';
        out.append(text.substr(pos, hit - pos));
        if (match) {
            out.append(value);
            pos = hit + 4;
        } else {
            out.push_back('%');
            pos = hit + 1;
        }
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::span<const StringPair> builtInStringBlock() { return kBuiltInBlock; }

void buildStringTable(StringTable& table, std::span<const StringPair> block) {
    collectGroupsAndEntries(table, pairsBeforeEnd(block));
    for (std::size_t g = 1; g < table.groups.size(); ++g) {
        StringGroup& group = table.groups[g];
        if (group.first > group.last) continue;
        sortGroupEntries(table, group);
        fillFirstCharacterSlots(table, group);
    }
    table.cachedGroup.store(0);
}

StringTable& stringTable() {
    static StringTable table;
    // Function-local static initialisation runs once even with several threads.
    static const bool built = (buildStringTable(table, builtInStringBlock()), true);
    (void)built;
    return table;
}

void loadStringTable() { buildStringTable(stringTable(), builtInStringBlock()); }

std::string lookupString(StringTable& table, std::string_view group, std::string_view key) {
    std::size_t g = findGroup(table, table.cachedGroup.load(std::memory_order_relaxed), asciiUpper(group));
    table.cachedGroup.store(g, std::memory_order_relaxed);
    if (g == 0) return std::string(kNoString);
    std::size_t j = findEntry(table, table.groups[g], asciiUpper(key));
    return j == 0 ? std::string(kNoString) : table.texts[j];
}

std::string FillPlaceholders(std::string_view text, std::string_view s1, std::string_view s2, std::string_view s3,
                             std::string_view s4) {
    std::string out(text);
    if (out.empty()) return out;
    const std::string_view values[] = {s1, s2, s3, s4};
    for (int i = 0; i < 4; ++i) {
        if (values[i].empty()) continue;
        out = replacePlaceholder(out, static_cast<char>('1' + i), values[i]);
    }
    return out;
}
