// The image sets of the window mode and their built-in pictures.
#include "images/image_slots.h"

#include "art/builtin_art.h"

const std::vector<std::string> kButtonImageNames = {"Convert"};
const std::vector<std::string> kMenuIconNames = {"New",     "Add",    "OutFolder",       "OutFormat",   "FavFolder",
                                                 "Exit",    "Convert", "CustomConverter", "Preferences", "Help",
                                                 "Email",   "Web",    "Updates",         "About",       "ViewTexture"};
const std::vector<std::string> kToolbarIconNames = {"New",  "Add",   "OutFolder", "Preferences", "Convert",
                                                    "Help", "Email", "Web",       "Updates"};

int iconSizeForUiSize(int32 uiSize) {
    constexpr int kSizes[] = {16, 24, 32, 48, 64};
    return (uiSize >= 0 && uiSize < 5) ? kSizes[uiSize] : 16;
}

namespace {

// Built-in pictures are the program's own, but they go through the same
// decoder and bounds as a theme's.
void putBuiltin(Picture& slot, const std::string& name, int maxSide) {
    const BuiltinPicture* builtin = findBuiltinPicture(name);
    if (!builtin) return;
    if (std::optional<Picture> picture = decodePng({builtin->png, builtin->size}, maxSide)) slot = std::move(*picture);
}

}  // namespace

void loadBuiltinImages(ImageSlots& slots, const InterfaceSettings& ui) {
    for (const std::string& name : kButtonImageNames) putBuiltin(slots.buttonImages[name], "button/" + name, kMaxButtonSide);
    for (const std::string& name : kMenuIconNames) putBuiltin(slots.menuIcons[name], "menu/" + name, kMaxIconSide);
    const std::string toolbarSize = std::to_string(iconSizeForUiSize(ui.UISize));
    for (const std::string& name : kToolbarIconNames)
        putBuiltin(slots.toolbarIcons[name], "toolbar/" + name + "_" + toolbarSize, kMaxIconSide);
    putBuiltin(slots.aboutBanner, "banner/About", kMaxButtonSide);
}
