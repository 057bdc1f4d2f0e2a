// The Transform and Adjustment pages: geometry and colour adjustments.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/app_state.h"
#include "prefs/bound_controls.h"
#include "prefs/preferences.h"

namespace {

using CS = ConversionSettings;

constexpr int kTransformInnerHeight = 375;
constexpr int kAdjustmentInnerHeight = 285;

void addSizeRow(PreferencesWindow& window, QWidget* row, int32 CS::*size, uint8 CS::*unit, QLineEdit*& field,
                QComboBox*& unitList) {
    field = boundDigits(window.bound, row, size);
    unitList = addUnitList(row, prefTexts({"Pixels", "Percent"}));
    bindSetting(window.bound, IndexControl{unitList}, unit);
}

}  // namespace

void buildTransformPage(PreferencesWindow& window, AppState&) {
    std::vector<BoundControl>& bound = window.bound;
    RowList rows{addScrollArea(window.pages[kTransformPage], 0, kPageHeight, kTransformInnerHeight)};
    window.rotation = boundCheck(bound, addRow(rows, "Image Rotation"), kRotationSwitch, &CS::DoImageRotation);
    window.rotationRows[0] = addRow(rows, "Rotation Type");
    window.rotationType = boundList(bound, window.rotationRows[0], kSilent,
                                    prefTexts({"Simple Rotation", "Advanced Rotation"}), &CS::ImageRotationType);
    window.rotationRows[1] = addRow(rows, "Rotation Angle");
    bindPair(window, kRotationAnglePair, window.rotationRows[1], 0, 360, &CS::TransformImageRotation);
    window.rotationRows[2] = addRow(rows, "Background Color");
    bindColorField(window, kRotationBackColor, window.rotationRows[2], &CS::ImageRotationBackColor);

    window.resize = boundCheck(bound, addRow(rows, "Image Resize"), kResizeSwitch, &CS::DoImageResize);
    window.resizeRows[0] = addRow(rows, "Image Width");
    addSizeRow(window, window.resizeRows[0], &CS::ImageWidth, &CS::ImageWidthUnit, window.imageWidth,
               window.imageWidthUnit);
    window.resizeRows[1] = addRow(rows, "Image Height");
    addSizeRow(window, window.resizeRows[1], &CS::ImageHeight, &CS::ImageHeightUnit, window.imageHeight,
               window.imageHeightUnit);
    window.resizeRows[2] = addRow(rows, "Keep Aspect Ratio");
    boundCheck(bound, window.resizeRows[2], kSilent, &CS::KeepAspectRatio);
    window.resizeRows[3] = addRow(rows, "Resize Type");
    boundList(bound, window.resizeRows[3], kSilent, prefTexts({"All Images", "Large Images"}), &CS::ImageResizeType);
    window.resizeRows[4] = addRow(rows, "Resize Algorithm");
    boundList(bound, window.resizeRows[4], kSilent,
              prefTexts({"Box", "Bilinear", "Bspline", "Bicubic", "Catmullrom", "Lanczos"}), &CS::ImageResizeAlgorithm);
    window.flipHorizontal =
        boundCheck(bound, addRow(rows, "Image Flip Horizontal"), kSilent, &CS::DoImageFlipHorizontal);
    boundCheck(bound, addRow(rows, "Image Flip Vertical"), kSilent, &CS::DoImageFlipVertical);
}

void buildAdjustmentPage(PreferencesWindow& window, AppState&) {
    std::vector<BoundControl>& bound = window.bound;
    RowList rows{addScrollArea(window.pages[kAdjustmentPage], 0, kPageHeight, kAdjustmentInnerHeight)};
    bindPair(window, kBrightnessPair, addRow(rows, "Image Brightness"), -100, 100, &CS::ImageBrightness, -100);
    bindPair(window, kContrastPair, addRow(rows, "Image Contrast"), -100, 100, &CS::ImageContrast, -100);
    window.gamma = addGammaPair(addRow(rows, "Image Gamma"), kGammaSlider, kGammaSpin, kGammaSpinDone);
    bindSetting(bound, GammaControl{&window.gamma}, &CS::ImageGamma);
    window.invert = boundCheck(bound, addRow(rows, "Image Invert"), kSilent, &CS::ImageInvert);
    boundCheck(bound, addRow(rows, "Image Greyscale"), kSilent, &CS::DoImageGreyscale);
    window.threshold = boundCheck(bound, addRow(rows, "Image Threshold"), kThresholdSwitch, &CS::DoImageThreshold);
    window.thresholdRow = addRow(rows, "Threshold Level");
    bindPair(window, kThresholdPair, window.thresholdRow, 0, 255, &CS::ImageThreshold);
    window.dither = boundCheck(bound, addRow(rows, "Image Dither"), kDitherSwitch, &CS::DoImageDither);
    window.ditherRow = addRow(rows, "Dither Algorithm");
    boundList(bound, window.ditherRow, kSilent,
              prefTexts({"FS", "Bayer4", "Bayer8", "Bayer16", "Cluster6", "Cluster8", "Cluster16"}),
              &CS::ImageDitherAlgorithm);
}

void enableTransformRows(PreferencesWindow& window) {
    for (QWidget* row : window.rotationRows) row->setEnabled(window.rotation->isChecked());
    for (QWidget* row : window.resizeRows) row->setEnabled(window.resize->isChecked());
}

void enableAdjustmentRows(PreferencesWindow& window) {
    setRowsEnabled({window.thresholdRow}, window.threshold->isChecked());
    setRowsEnabled({window.ditherRow}, window.dither->isChecked());
}

// Colour correction is on exactly when one of its values does something.
void deriveColorCorrection(ConversionSettings& c) {
    c.DoImageColorCorrection =
        (c.ImageBrightness != 0 || c.ImageContrast != 0 || c.ImageGamma != 1.0f || c.ImageInvert == 1) ? 1 : 0;
}
