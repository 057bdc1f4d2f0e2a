// The Frame and Watermark pages, with the font and picture choosers.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "app/app_state.h"
#include "prefs/preferences.h"
#include "settings/choices.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "ui/path_text.h"
#include "ui/qt_text.h"

namespace {

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

void setChecked(QCheckBox* box, bool8 value) { box->setChecked(value != 0); }
bool8 checkedValue(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

SliderPair& addPair(PreferencesWindow& window, PairId id, QWidget* row, int low, int high) {
    window.pairs[id] = addSliderPair(row, kFirstPairControl + 2 * id, kFirstPairControl + 2 * id + 1, low, high);
    return window.pairs[id];
}

QLineEdit* addPixelsRow(QWidget* row, std::int32_t value, const char* unit = "Pixels") {
    QLineEdit* field = addDigitsField(row);
    setDigits(field, value);
    addUnitList(row, prefTexts({unit}));
    return field;
}

QComboBox* addDataList(QWidget* row, int control, std::initializer_list<std::pair<const char*, int>> entries) {
    QComboBox* list = addList(row, control, {});
    for (const auto& [key, data] : entries) list->addItem(qt(prefText(key)), data);
    return list;
}

QComboBox* addPositionList(QWidget* row) {
    return addList(row, kSilent,
                   prefTexts({"Top-Left", "Top-Center", "Top-Right", "Middle-Left", "Middle-Center", "Middle-Right",
                              "Bottom-Left", "Bottom-Center", "Bottom-Right"}));
}

void fillFontList(QComboBox* list, ConversionSettings& c) {
    if (c.Fonts.empty()) c.Fonts = c.Font;
    for (const std::string& face : listFields(c.Fonts)) list->addItem(qt(face));
    selectIndex(list, list->count() > 0 ? 0 : -1);
    selectByText(list, qt(c.Font));
}

void buildTextArea(PreferencesWindow& window, ConversionSettings& c, QWidget* inner) {
    window.text = addTextField(addRow(inner, 0, "Text"));
    window.text->setText(qt(c.Text));
    QWidget* fontRow = addRow(inner, 1, "Font");
    window.font = addList(fontRow, kSilent, {}, kNarrowWidth);
    addChooserButton(fontRow, kFontChooser);
    fillFontList(window.font, c);
    window.fontSize = addPixelsRow(addRow(inner, 2, "Font Size"), c.FontSize, "Points");
    window.fontLeading = addPixelsRow(addRow(inner, 3, "Font Leading"), c.FontLeading);
    QWidget* colorRow = addRow(inner, 4, "Font Color");
    window.fontColor = addList(colorRow, kSilent, {}, kNarrowWidth);
    addChooserButton(colorRow, kFontColorChooser);
    fillColorList(window.fontColor, c.FontColors, c.FontColor);
    window.fontStyle = addDataList(addRow(inner, 5, "Font Style"), kSilent,
                                   {{"Regular", 0}, {"Bold", kBold}, {"Italic", kItalic}, {"Bold Italic", kBold + kItalic}});
    selectIndex(window.fontStyle, c.FontStyle);
    window.fontEffect = addDataList(addRow(inner, 6, "Font Effect"), kSilent,
                                    {{"None", 0}, {"Underline", kUnderline}, {"Strikeout", kStrikeOut}});
    selectIndex(window.fontEffect, c.FontEffect);
    window.antialiasing = addCheck(addRow(inner, 7, "Antialiasing"), kSilent);
    setChecked(window.antialiasing, c.TextAntialiasing);
    window.textAlignment =
        addList(addRow(inner, 8, "Text Alignment"), kSilent, prefTexts({"Align Left", "Align Center", "Align Right"}));
    selectIndex(window.textAlignment, c.TextAlignment);
    window.textPadding = addPixelsRow(addRow(inner, 9, "Text Padding"), c.TextPadding);
    setPairValue(addPair(window, kTextOpacityPair, addRow(inner, 10, "Text Opacity"), 1, 255), c.TextOpacity);
    QWidget* backRow = addRow(inner, 11, "Background Color");
    window.backColor = addList(backRow, kSilent, {}, kNarrowWidth);
    addChooserButton(backRow, kBackColorChooser);
    fillColorList(window.backColor, c.BackColors, c.BackColor);
    setPairValue(addPair(window, kBackOpacityPair, addRow(inner, 12, "Background Opacity"), 1, 255), c.BackOpacity);
    window.textBoundary = addList(addRow(inner, 13, "Boundary"), kSilent, prefTexts({"Bound Image", "Bound Frame"}));
    selectIndex(window.textBoundary, c.TextBoundary);
    window.textPosition = addPositionList(addRow(inner, 14, "Position"));
    selectIndex(window.textPosition, c.TextPosition);
    window.textXOffset = addPixelsRow(addRow(inner, 15, "X-Offset"), c.TextXOffset);
    window.textYOffset = addPixelsRow(addRow(inner, 16, "Y-Offset"), c.TextYOffset);
    setPairValue(addPair(window, kTextRotationPair, addRow(inner, 17, "Rotation Angle"), 0, 360), c.TextRotation);
    window.textSize = addList(addRow(inner, 18, "Size"), kTextSizeChoice, prefTexts({"Fixed"}));
    selectIndex(window.textSize, c.TextSize);
    window.textScaleRow = addRow(inner, 19, "Scale");
    setPairValue(addPair(window, kTextScalePair, window.textScaleRow, 1, 200), c.TextScale);
}

void buildImageArea(PreferencesWindow& window, const ConversionSettings& c, QWidget* inner) {
    QWidget* imageRow = addRow(inner, 0, "Image");
    window.image = addTextField(imageRow, kNarrowWidth);
    window.image->setText(shownPath(c.Image));
    addChooserButton(imageRow, kImageChooser);
    window.imageGreyscale = addCheck(addRow(inner, 1, "Image Greyscale"), kSilent);
    setChecked(window.imageGreyscale, c.ImageGreyscale);
    setPairValue(addPair(window, kImageOpacityPair, addRow(inner, 2, "Opacity"), 1, 255), c.ImageOpacity);
    window.imageBoundary = addList(addRow(inner, 3, "Boundary"), kSilent, prefTexts({"Bound Image", "Bound Frame"}));
    selectIndex(window.imageBoundary, c.ImageBoundary);
    window.imagePosition = addPositionList(addRow(inner, 4, "Position"));
    selectIndex(window.imagePosition, c.ImagePosition);
    window.imageXOffset = addPixelsRow(addRow(inner, 5, "X-Offset"), c.ImageXOffset);
    window.imageYOffset = addPixelsRow(addRow(inner, 6, "Y-Offset"), c.ImageYOffset);
    setPairValue(addPair(window, kImageRotationPair, addRow(inner, 7, "Rotation Angle"), 0, 360),
                 c.WatermarkImageRotation);
    window.imageSize = addList(addRow(inner, 8, "Size"), kImageSizeChoice, prefTexts({"Fixed"}));
    selectIndex(window.imageSize, c.ImageSize);
    window.imageScaleRow = addRow(inner, 9, "Scale");
    setPairValue(addPair(window, kImageScalePair, window.imageScaleRow, 1, 200), c.ImageScale);
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

void buildFramePage(PreferencesWindow& window, AppState& state) {
    const ConversionSettings& c = state.conversion;
    QWidget* page = window.pages[kFramePage];
    window.frameType = addList(addRow(page, 0, "Frame Type"), kFrameTypeChoice, prefTexts({"None", "Frame Solid"}));
    selectIndex(window.frameType, c.DoFrame);
    QWidget* inner = addScrollArea(page, kSubAreaTop, kSubAreaHeight, kFrameInnerHeight, &window.frameArea);
    const std::array<std::pair<const char*, std::int32_t>, 4> sizes{
        {{"Left", c.SolidLeft}, {"Right", c.SolidRight}, {"Top", c.SolidTop}, {"Bottom", c.SolidBottom}}};
    for (std::size_t i = 0; i < sizes.size(); ++i)
        window.frameSizes[i] = addPixelsRow(addRow(inner, static_cast<int>(i), sizes[i].first), sizes[i].second);
    const std::array<std::tuple<const char*, ColorFieldId, const std::string*>, 4> colors{
        {{"Left Color", kFrameLeftColor, &c.SolidLeftColor},
         {"Right Color", kFrameRightColor, &c.SolidRightColor},
         {"Top Color", kFrameTopColor, &c.SolidTopColor},
         {"Bottom Color", kFrameBottomColor, &c.SolidBottomColor}}};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const auto& [key, id, value] = colors[i];
        window.colorFields[id] = addColorField(addRow(inner, static_cast<int>(4 + i), key), kFirstColorFieldControl + id);
        setColorField(window.colorFields[id], *value);
    }
    setPairValue(addPair(window, kFrameOpacityPair, addRow(inner, 8, "Opacity"), 1, 255), c.SolidOpacity);
    showFrameArea(window);
}

void buildWatermarkPage(PreferencesWindow& window, AppState& state) {
    ConversionSettings& c = state.conversion;
    QWidget* page = window.pages[kWatermarkPage];
    window.watermarkType = addList(addRow(page, 0, "Watermark Type"), kWatermarkTypeChoice,
                                   prefTexts({"None", "Watermark Text", "Watermark Image"}));
    selectIndex(window.watermarkType, c.DoWatermark);
    buildTextArea(window, c, addScrollArea(page, kSubAreaTop, kSubAreaHeight, kTextInnerHeight, &window.textArea));
    buildImageArea(window, c, addScrollArea(page, kSubAreaTop, kSubAreaHeight, kImageInnerHeight, &window.imageArea));
    showWatermarkAreas(window);
    showScaleRows(window);
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

void chooseWatermarkFont(PreferencesWindow& window, AppState& state) {
    FontChoice preset;
    preset.face = window.font->currentText().toStdString();
    preset.size = std::clamp(readDigits(window.fontSize), 1, kMaxPresetPoints);
    const int style = selectedData(window.fontStyle).value_or(0);
    preset.bold = (style & kBold) != 0;
    preset.italic = (style & kItalic) != 0;
    const std::optional<FontChoice> chosen = choosers().chooseFont(window.frame, preset);
    if (!chosen) return;

    const std::string face = replaceAll(chosen->face, ",", "");
    if (!trimSpaces(face).empty()) {
        const std::vector<std::string> offered = listFields(state.conversion.Fonts);
        if (std::find(offered.begin(), offered.end(), face) == offered.end()) {
            window.font->addItem(qt(face));
            appendListField(state.conversion.Fonts, face);
        }
        const int found = window.font->findText(qt(face), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found >= 0) selectIndex(window.font, found);
    }
    // A pixel-sized font has no point size: the field keeps its value.
    if (chosen->size > 0) setDigits(window.fontSize, chosen->size);
    const int chosenStyle = (chosen->bold ? kBold : 0) + (chosen->italic ? kItalic : 0) +
                            (chosen->underline ? kUnderline : 0) + (chosen->strikeOut ? kStrikeOut : 0);
    selectByData(window.fontStyle, chosenStyle);
}

void chooseWatermarkImage(PreferencesWindow& window) {
    const std::string start = typedPath(window.image->text());
    const std::optional<std::string> chosen = choosers().openFile(
        window.frame, lookupString(stringTable(), "Dialog", "Select Watermark Image"), pictureFilter(), start);
    if (chosen) window.image->setText(shownPath(*chosen));
}

void readOverlayPages(const PreferencesWindow& window, AppState& state) {
    ConversionSettings& c = state.conversion;
    readIndex(window.frameType, c.DoFrame);
    c.SolidLeft = readDigits(window.frameSizes[0]);
    c.SolidRight = readDigits(window.frameSizes[1]);
    c.SolidTop = readDigits(window.frameSizes[2]);
    c.SolidBottom = readDigits(window.frameSizes[3]);
    c.SolidLeftColor = colorFieldText(window.colorFields[kFrameLeftColor]);
    c.SolidRightColor = colorFieldText(window.colorFields[kFrameRightColor]);
    c.SolidTopColor = colorFieldText(window.colorFields[kFrameTopColor]);
    c.SolidBottomColor = colorFieldText(window.colorFields[kFrameBottomColor]);
    c.SolidOpacity = pairValue(window.pairs[kFrameOpacityPair]);

    readIndex(window.watermarkType, c.DoWatermark);
    c.Text = readText(window.text);
    if (window.font->currentIndex() >= 0) c.Font = window.font->currentText().toStdString();
    c.FontSize = readDigits(window.fontSize);
    c.FontLeading = readDigits(window.fontLeading);
    readColorList(window.fontColor, c.FontColor);
    readIndex(window.fontStyle, c.FontStyle);
    readIndex(window.fontEffect, c.FontEffect);
    c.TextAntialiasing = checkedValue(window.antialiasing);
    readIndex(window.textAlignment, c.TextAlignment);
    c.TextPadding = readDigits(window.textPadding);
    c.TextOpacity = pairValue(window.pairs[kTextOpacityPair]);
    readColorList(window.backColor, c.BackColor);
    c.BackOpacity = pairValue(window.pairs[kBackOpacityPair]);
    readIndex(window.textBoundary, c.TextBoundary);
    readIndex(window.textPosition, c.TextPosition);
    c.TextXOffset = readDigits(window.textXOffset);
    c.TextYOffset = readDigits(window.textYOffset);
    c.TextRotation = pairValue(window.pairs[kTextRotationPair]);
    readIndex(window.textSize, c.TextSize);
    c.TextScale = pairValue(window.pairs[kTextScalePair]);

    c.Image = cleanText(fileSystemPath(window.image->text()));
    c.ImageGreyscale = checkedValue(window.imageGreyscale);
    c.ImageOpacity = pairValue(window.pairs[kImageOpacityPair]);
    readIndex(window.imageBoundary, c.ImageBoundary);
    readIndex(window.imagePosition, c.ImagePosition);
    c.ImageXOffset = readDigits(window.imageXOffset);
    c.ImageYOffset = readDigits(window.imageYOffset);
    c.WatermarkImageRotation = pairValue(window.pairs[kImageRotationPair]);
    readIndex(window.imageSize, c.ImageSize);
    c.ImageScale = pairValue(window.pairs[kImageScalePair]);
}
