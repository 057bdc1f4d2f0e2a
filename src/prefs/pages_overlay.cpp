// The Frame and Watermark pages, with the font and picture choosers.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "app/app_state.h"
#include "engine/watermark_font.h"
#include "prefs/bound_controls.h"
#include "prefs/preferences.h"
#include "settings/choices.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "ui/path_text.h"
#include "ui/qt_text.h"

namespace {

using CS = ConversionSettings;

constexpr int kFrameInnerHeight = 310;
constexpr int kTextInnerHeight = 610;
constexpr int kImageInnerHeight = 310;
constexpr int kScaledSize = 1;
constexpr int kNarrowWidth = 214;  // a list or field with a chooser button
// Font style and effect as the font chooser reports them.
constexpr int kBold = 256;
constexpr int kItalic = 512;
constexpr int kUnderline = 4;
constexpr int kStrikeOut = 8;
// The font chooser's preset: a hand-edited size of millions of points
// would only make the chooser draw its sample for ever.
constexpr int kMaxPresetPoints = 999;

QLineEdit* addPixelsRow(PreferencesWindow& window, QWidget* row, int32 CS::*setting, const char* unit = "Pixels") {
    QLineEdit* field = boundDigits(window.bound, row, setting);
    addUnitList(row, prefTexts({unit}));
    return field;
}

QComboBox* addDataList(QWidget* row, int control, std::initializer_list<std::pair<const char*, int>> entries) {
    QComboBox* list = addList(row, control, {});
    for (const auto& [key, data] : entries) list->addItem(qt(prefText(key)), data);
    return list;
}

QComboBox* addChooserList(QWidget* row, int chooser) {
    QComboBox* list = addList(row, kSilent, {}, kNarrowWidth);
    addChooserButton(row, chooser);
    return list;
}

// Where a watermark goes and how large it is: the same rows for the text
// and for the picture.
struct PlacementSettings {
    uint8 CS::*boundary;
    uint8 CS::*position;
    int32 CS::*xOffset;
    int32 CS::*yOffset;
    PairId rotationPair;
    int32 CS::*rotation;
    int sizeControl;
    uint8 CS::*size;
    PairId scalePair;
    int32 CS::*scale;
};

constexpr PlacementSettings kTextPlacement{&CS::TextBoundary, &CS::TextPosition,  &CS::TextXOffset,
                                           &CS::TextYOffset,  kTextRotationPair,  &CS::TextRotation,
                                           kTextSizeChoice,   &CS::TextSize,      kTextScalePair,
                                           &CS::TextScale};
constexpr PlacementSettings kImagePlacement{&CS::ImageBoundary, &CS::ImagePosition,  &CS::ImageXOffset,
                                            &CS::ImageYOffset,  kImageRotationPair,  &CS::WatermarkImageRotation,
                                            kImageSizeChoice,   &CS::ImageSize,      kImageScalePair,
                                            &CS::ImageScale};

// Returns the Size list; `scaleRow` receives the Scale row it shows.
QComboBox* addPlacementRows(PreferencesWindow& window, RowList& rows, const PlacementSettings& s, QWidget*& scaleRow) {
    std::vector<BoundControl>& bound = window.bound;
    boundList(bound, addRow(rows, "Boundary"), kSilent, prefTexts({"Bound Image", "Bound Frame"}), s.boundary);
    boundList(bound, addRow(rows, "Position"), kSilent,
              prefTexts({"Top-Left", "Top-Center", "Top-Right", "Middle-Left", "Middle-Center", "Middle-Right",
                         "Bottom-Left", "Bottom-Center", "Bottom-Right"}),
              s.position);
    addPixelsRow(window, addRow(rows, "X-Offset"), s.xOffset);
    addPixelsRow(window, addRow(rows, "Y-Offset"), s.yOffset);
    bindPair(window, s.rotationPair, addRow(rows, "Rotation Angle"), 0, 360, s.rotation);
    QComboBox* size = boundList(bound, addRow(rows, "Size"), s.sizeControl, prefTexts({"Fixed"}), s.size);
    scaleRow = addRow(rows, "Scale");
    bindPair(window, s.scalePair, scaleRow, 1, 200, s.scale);
    return size;
}

void buildTextArea(PreferencesWindow& window, QWidget* inner) {
    std::vector<BoundControl>& bound = window.bound;
    RowList rows{inner};
    window.text = addTextField(addRow(rows, "Text"));
    bindSetting(bound, TextControl{window.text}, &CS::Text);
    window.font = addChooserList(addRow(rows, "Font"), kFontChooser);
    bindSetting(bound, FontListControl{window.font, &CS::Fonts}, &CS::Font);
    window.fontSize = addPixelsRow(window, addRow(rows, "Font Size"), &CS::FontSize, "Points");
    addPixelsRow(window, addRow(rows, "Font Leading"), &CS::FontLeading);
    window.fontColor = addChooserList(addRow(rows, "Font Color"), kFontColorChooser);
    bindSetting(bound, ColorListControl{window.fontColor, &CS::FontColors}, &CS::FontColor);
    window.fontStyle = addDataList(addRow(rows, "Font Style"), kSilent,
                                   {{"Regular", 0}, {"Bold", kBold}, {"Italic", kItalic}, {"Bold Italic", kBold + kItalic}});
    bindSetting(bound, IndexControl{window.fontStyle}, &CS::FontStyle);
    window.fontEffect = addDataList(addRow(rows, "Font Effect"), kSilent,
                                    {{"None", 0}, {"Underline", kUnderline}, {"Strikeout", kStrikeOut}});
    bindSetting(bound, IndexControl{window.fontEffect}, &CS::FontEffect);
    boundCheck(bound, addRow(rows, "Antialiasing"), kSilent, &CS::TextAntialiasing);
    boundList(bound, addRow(rows, "Text Alignment"), kSilent, prefTexts({"Align Left", "Align Center", "Align Right"}),
              &CS::TextAlignment);
    addPixelsRow(window, addRow(rows, "Text Padding"), &CS::TextPadding);
    bindPair(window, kTextOpacityPair, addRow(rows, "Text Opacity"), 1, 255, &CS::TextOpacity);
    window.backColor = addChooserList(addRow(rows, "Background Color"), kBackColorChooser);
    bindSetting(bound, ColorListControl{window.backColor, &CS::BackColors}, &CS::BackColor);
    bindPair(window, kBackOpacityPair, addRow(rows, "Background Opacity"), 1, 255, &CS::BackOpacity);
    window.textSize = addPlacementRows(window, rows, kTextPlacement, window.textScaleRow);
}

void buildImageArea(PreferencesWindow& window, QWidget* inner) {
    std::vector<BoundControl>& bound = window.bound;
    RowList rows{inner};
    QWidget* imageRow = addRow(rows, "Image");
    window.image = addTextField(imageRow, kNarrowWidth);
    addChooserButton(imageRow, kImageChooser);
    bindSetting(bound, PathControl{window.image}, &CS::Image);
    boundCheck(bound, addRow(rows, "Image Greyscale"), kSilent, &CS::ImageGreyscale);
    bindPair(window, kImageOpacityPair, addRow(rows, "Opacity"), 1, 255, &CS::ImageOpacity);
    window.imageSize = addPlacementRows(window, rows, kImagePlacement, window.imageScaleRow);
}

std::string pictureFilter() {
    const std::string png = "*.png *.PNG";
    const std::string bmp = "*.bmp *.BMP *.rle *.RLE *.dib *.DIB";
    const std::string jpeg = "*.jpg *.JPG *.jpeg *.JPEG *.jpe *.JPE *.jif *.JIF";
    return lookupString(stringTable(), "Dialog", "All Supported Files") + " (" + png + " " + bmp + " " + jpeg +
           ");;Portable Network Graphics (" + png + ");;Windows or OS/2 Bitmap (" + bmp + ");;JPEG File (" + jpeg +
           ");;" + lookupString(stringTable(), "Dialog", "All Files") + " (*)";
}

}  // namespace

void buildFramePage(PreferencesWindow& window, AppState&) {
    RowList pageRows{window.pages[kFramePage]};
    window.frameType = boundList(window.bound, addRow(pageRows, "Frame Type"), kFrameTypeChoice,
                                 prefTexts({"None", "Frame Solid"}), &CS::DoFrame);
    RowList rows{addScrollArea(pageRows.area, kSubAreaTop, kSubAreaHeight, kFrameInnerHeight, &window.frameArea)};
    const std::array<std::pair<const char*, int32 CS::*>, 4> sizes{
        {{"Left", &CS::SolidLeft}, {"Right", &CS::SolidRight}, {"Top", &CS::SolidTop}, {"Bottom", &CS::SolidBottom}}};
    for (const auto& [key, setting] : sizes) addPixelsRow(window, addRow(rows, key), setting);
    const std::array<std::tuple<const char*, ColorFieldId, std::string CS::*>, 4> colors{
        {{"Left Color", kFrameLeftColor, &CS::SolidLeftColor},
         {"Right Color", kFrameRightColor, &CS::SolidRightColor},
         {"Top Color", kFrameTopColor, &CS::SolidTopColor},
         {"Bottom Color", kFrameBottomColor, &CS::SolidBottomColor}}};
    for (const auto& [key, id, setting] : colors) bindColorField(window, id, addRow(rows, key), setting);
    bindPair(window, kFrameOpacityPair, addRow(rows, "Opacity"), 1, 255, &CS::SolidOpacity);
}

void buildWatermarkPage(PreferencesWindow& window, AppState&) {
    RowList pageRows{window.pages[kWatermarkPage]};
    window.watermarkType = boundList(window.bound, addRow(pageRows, "Watermark Type"), kWatermarkTypeChoice,
                                     prefTexts({"None", "Watermark Text", "Watermark Image"}), &CS::DoWatermark);
    buildTextArea(window, addScrollArea(pageRows.area, kSubAreaTop, kSubAreaHeight, kTextInnerHeight, &window.textArea));
    buildImageArea(window,
                   addScrollArea(pageRows.area, kSubAreaTop, kSubAreaHeight, kImageInnerHeight, &window.imageArea));
}

void showFrameArea(PreferencesWindow& window) {
    window.frameArea->setVisible(choiceOf<FrameKind>(window.frameType->currentIndex()) == FrameKind::Solid);
}

void showWatermarkAreas(PreferencesWindow& window) {
    const WatermarkKind kind = choiceOf<WatermarkKind>(window.watermarkType->currentIndex());
    window.textArea->setVisible(kind == WatermarkKind::Text);
    window.imageArea->setVisible(kind == WatermarkKind::Image);
}

void showScaleRows(PreferencesWindow& window) {
    window.textScaleRow->setVisible(window.textSize->currentIndex() == kScaledSize);
    window.imageScaleRow->setVisible(window.imageSize->currentIndex() == kScaledSize);
}

namespace {

// The face the Font list shows, as the chooser lists it: an alias such as
// "Arial" opens on the family fontconfig gives for it.
std::string installedFace(const std::string& listed) {
    if (trimSpaces(listed).empty()) return listed;
    const std::string family = resolveFontFamily(listed);
    return family.empty() ? listed : family;
}

void takeChosenFace(PreferencesWindow& window, std::string& offeredFaces, const std::string& chosenFace) {
    const std::string face = replaceAll(chosenFace, ",", "");
    if (trimSpaces(face).empty()) return;
    const std::vector<std::string> offered = listFields(offeredFaces);
    if (std::find(offered.begin(), offered.end(), face) == offered.end()) {
        window.font->addItem(qt(face));
        appendListField(offeredFaces, face);
    }
    const int found = window.font->findText(qt(face), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) selectIndex(window.font, found);
}

}  // namespace

// Only what the user changed in the chooser changes here: OK on the preset
// keeps the list's own face name, the size and the style.
void chooseWatermarkFont(PreferencesWindow& window, AppState& state) {
    FontChoice preset;
    preset.face = installedFace(window.font->currentText().toStdString());
    preset.size = std::clamp(readDigits(window.fontSize), 1, kMaxPresetPoints);
    const int style = selectedData(window.fontStyle).value_or(0);
    preset.bold = (style & kBold) != 0;
    preset.italic = (style & kItalic) != 0;
    const std::optional<FontChoice> chosen = choosers().chooseFont(window.frame, preset);
    if (!chosen) return;

    if (chosen->face != preset.face) takeChosenFace(window, state.conversion.Fonts, chosen->face);
    // A pixel-sized font has no point size: the field keeps its value.
    if (chosen->size > 0 && chosen->size != preset.size) setDigits(window.fontSize, chosen->size);
    if (chosen->bold != preset.bold || chosen->italic != preset.italic) {
        const int chosenStyle = (chosen->bold ? kBold : 0) + (chosen->italic ? kItalic : 0) +
                                (chosen->underline ? kUnderline : 0) + (chosen->strikeOut ? kStrikeOut : 0);
        selectByData(window.fontStyle, chosenStyle);
    }
}

void chooseWatermarkImage(PreferencesWindow& window) {
    const std::string start = typedPath(window.image->text());
    const std::optional<std::string> chosen = choosers().openFile(
        window.frame, lookupString(stringTable(), "Dialog", "Select Watermark Image"), pictureFilter(), start);
    if (chosen) window.image->setText(shownPath(*chosen));
}
