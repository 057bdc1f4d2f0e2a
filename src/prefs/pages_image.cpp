// The Transform and Adjustment pages: geometry and colour adjustments.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/app_state.h"
#include "prefs/preferences.h"

namespace {

constexpr int kTransformInnerHeight = 375;
constexpr int kAdjustmentInnerHeight = 285;

void setChecked(QCheckBox* box, bool8 value) { box->setChecked(value != 0); }
bool8 checkedValue(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

SliderPair& addPair(PreferencesWindow& window, PairId id, QWidget* row, int low, int high, int offset = 0) {
    window.pairs[id] =
        addSliderPair(row, kFirstPairControl + 2 * id, kFirstPairControl + 2 * id + 1, low, high, offset);
    return window.pairs[id];
}

QLineEdit* addSizeRow(QWidget* row, std::int32_t value, QComboBox*& unit, uint8 unitValue) {
    QLineEdit* field = addDigitsField(row);
    setDigits(field, value);
    unit = addUnitList(row, prefTexts({"Pixels", "Percent"}));
    selectIndex(unit, unitValue);
    return field;
}

}  // namespace

void buildTransformPage(PreferencesWindow& window, AppState& state) {
    const ConversionSettings& c = state.conversion;
    QWidget* inner = addScrollArea(window.pages[kTransformPage], 0, kPageHeight, kTransformInnerHeight);
    window.rotation = addCheck(addRow(inner, 0, "Image Rotation"), kRotationSwitch);
    setChecked(window.rotation, c.DoImageRotation);
    window.rotationRows[0] = addRow(inner, 1, "Rotation Type");
    window.rotationType =
        addList(window.rotationRows[0], kSilent, prefTexts({"Simple Rotation", "Advanced Rotation"}));
    selectIndex(window.rotationType, c.ImageRotationType);
    window.rotationRows[1] = addRow(inner, 2, "Rotation Angle");
    setPairValue(addPair(window, kRotationAnglePair, window.rotationRows[1], 0, 360), c.TransformImageRotation);
    window.rotationRows[2] = addRow(inner, 3, "Background Color");
    window.colorFields[kRotationBackColor] =
        addColorField(window.rotationRows[2], kFirstColorFieldControl + kRotationBackColor);
    setColorField(window.colorFields[kRotationBackColor], c.ImageRotationBackColor);

    window.resize = addCheck(addRow(inner, 4, "Image Resize"), kResizeSwitch);
    setChecked(window.resize, c.DoImageResize);
    window.resizeRows[0] = addRow(inner, 5, "Image Width");
    window.imageWidth = addSizeRow(window.resizeRows[0], c.ImageWidth, window.imageWidthUnit, c.ImageWidthUnit);
    window.resizeRows[1] = addRow(inner, 6, "Image Height");
    window.imageHeight = addSizeRow(window.resizeRows[1], c.ImageHeight, window.imageHeightUnit, c.ImageHeightUnit);
    window.resizeRows[2] = addRow(inner, 7, "Keep Aspect Ratio");
    window.keepAspectRatio = addCheck(window.resizeRows[2], kSilent);
    setChecked(window.keepAspectRatio, c.KeepAspectRatio);
    window.resizeRows[3] = addRow(inner, 8, "Resize Type");
    window.resizeType = addList(window.resizeRows[3], kSilent, prefTexts({"All Images", "Large Images"}));
    selectIndex(window.resizeType, c.ImageResizeType);
    window.resizeRows[4] = addRow(inner, 9, "Resize Algorithm");
    window.resizeAlgorithm = addList(window.resizeRows[4], kSilent,
                                     prefTexts({"Box", "Bilinear", "Bspline", "Bicubic", "Catmullrom", "Lanczos"}));
    selectIndex(window.resizeAlgorithm, c.ImageResizeAlgorithm);
    window.flipHorizontal = addCheck(addRow(inner, 10, "Image Flip Horizontal"), kSilent);
    setChecked(window.flipHorizontal, c.DoImageFlipHorizontal);
    window.flipVertical = addCheck(addRow(inner, 11, "Image Flip Vertical"), kSilent);
    setChecked(window.flipVertical, c.DoImageFlipVertical);
    enableTransformRows(window);
}

void buildAdjustmentPage(PreferencesWindow& window, AppState& state) {
    const ConversionSettings& c = state.conversion;
    QWidget* inner = addScrollArea(window.pages[kAdjustmentPage], 0, kPageHeight, kAdjustmentInnerHeight);
    setPairValue(addPair(window, kBrightnessPair, addRow(inner, 0, "Image Brightness"), -100, 100, -100),
                 c.ImageBrightness);
    setPairValue(addPair(window, kContrastPair, addRow(inner, 1, "Image Contrast"), -100, 100, -100),
                 c.ImageContrast);
    window.gamma = addGammaPair(addRow(inner, 2, "Image Gamma"), kGammaSlider, kGammaSpin, kGammaSpinDone);
    setGamma(window.gamma, c.ImageGamma);
    window.invert = addCheck(addRow(inner, 3, "Image Invert"), kSilent);
    setChecked(window.invert, c.ImageInvert);
    window.greyscale = addCheck(addRow(inner, 4, "Image Greyscale"), kSilent);
    setChecked(window.greyscale, c.DoImageGreyscale);
    window.threshold = addCheck(addRow(inner, 5, "Image Threshold"), kThresholdSwitch);
    setChecked(window.threshold, c.DoImageThreshold);
    window.thresholdRow = addRow(inner, 6, "Threshold Level");
    setPairValue(addPair(window, kThresholdPair, window.thresholdRow, 0, 255), c.ImageThreshold);
    window.dither = addCheck(addRow(inner, 7, "Image Dither"), kDitherSwitch);
    setChecked(window.dither, c.DoImageDither);
    window.ditherRow = addRow(inner, 8, "Dither Algorithm");
    window.ditherAlgorithm = addList(window.ditherRow, kSilent,
                                     prefTexts({"FS", "Bayer4", "Bayer8", "Bayer16", "Cluster6", "Cluster8",
                                                "Cluster16"}));
    selectIndex(window.ditherAlgorithm, c.ImageDitherAlgorithm);
    enableAdjustmentRows(window);
}

void enableTransformRows(PreferencesWindow& window) {
    for (QWidget* row : window.rotationRows) row->setEnabled(window.rotation->isChecked());
    for (QWidget* row : window.resizeRows) row->setEnabled(window.resize->isChecked());
}

void enableAdjustmentRows(PreferencesWindow& window) {
    setRowsEnabled({window.thresholdRow}, window.threshold->isChecked());
    setRowsEnabled({window.ditherRow}, window.dither->isChecked());
}

void readTransformPages(const PreferencesWindow& window, AppState& state) {
    ConversionSettings& c = state.conversion;
    c.DoImageRotation = checkedValue(window.rotation);
    readIndex(window.rotationType, c.ImageRotationType);
    c.TransformImageRotation = pairValue(window.pairs[kRotationAnglePair]);
    c.ImageRotationBackColor = colorFieldText(window.colorFields[kRotationBackColor]);
    c.DoImageResize = checkedValue(window.resize);
    c.ImageWidth = readDigits(window.imageWidth);
    readIndex(window.imageWidthUnit, c.ImageWidthUnit);
    c.ImageHeight = readDigits(window.imageHeight);
    readIndex(window.imageHeightUnit, c.ImageHeightUnit);
    c.KeepAspectRatio = checkedValue(window.keepAspectRatio);
    readIndex(window.resizeType, c.ImageResizeType);
    readIndex(window.resizeAlgorithm, c.ImageResizeAlgorithm);
    c.DoImageFlipHorizontal = checkedValue(window.flipHorizontal);
    c.DoImageFlipVertical = checkedValue(window.flipVertical);

    c.ImageBrightness = pairValue(window.pairs[kBrightnessPair]);
    c.ImageContrast = pairValue(window.pairs[kContrastPair]);
    c.ImageGamma = gammaToStore(window.gamma);
    c.ImageInvert = checkedValue(window.invert);
    c.DoImageGreyscale = checkedValue(window.greyscale);
    c.DoImageThreshold = checkedValue(window.threshold);
    c.ImageThreshold = pairValue(window.pairs[kThresholdPair]);
    c.DoImageDither = checkedValue(window.dither);
    readIndex(window.ditherAlgorithm, c.ImageDitherAlgorithm);
    c.DoImageColorCorrection =
        (c.ImageBrightness != 0 || c.ImageContrast != 0 || c.ImageGamma != 1.0f || c.ImageInvert == 1) ? 1 : 0;
}
