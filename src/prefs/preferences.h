// The preferences dialog (window 1): nine category pages that edit the
// settings records in place. Opening fills every control from the records;
// OK writes them back and tells the loop what changed, which saves the
// configuration file and lets the main window apply interface changes;
// Cancel, Escape and the close box drop the edits; Defaults resets
// everything after asking. The dialog is window-modal and its events go
// through the program's own loop.
#pragma once

#include <array>
#include <vector>

#include "app/modal_dialogs.h"
#include "prefs/bound_controls.h"
#include "prefs/pref_controls.h"
#include "ui/window_ids.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;
struct AppState;
struct UiEvent;

enum PreferencesPage : int {
    kGeneralPage,
    kInterfacePage,
    kInputPage,
    kOutputPage,
    kTransformPage,
    kAdjustmentPage,
    kFramePage,
    kWatermarkPage,
    kAdvancedPage,
    kPageCount
};

// Slider pairs, numbered for their control numbers.
enum PairId : int {
    kOutFoldersPair,
    kRotationAnglePair,
    kBrightnessPair,
    kContrastPair,
    kThresholdPair,
    kFrameOpacityPair,
    kTextOpacityPair,
    kBackOpacityPair,
    kTextRotationPair,
    kTextScalePair,
    kImageOpacityPair,
    kImageRotationPair,
    kImageScalePair,
    kPairCount
};

// Colour fields: the rotation background and the four frame bands.
enum ColorFieldId : int { kRotationBackColor, kFrameLeftColor, kFrameRightColor, kFrameTopColor, kFrameBottomColor, kColorFieldCount };


struct PreferencesWindow {
    QWidget* frame = nullptr;
    QTreeWidget* categories = nullptr;
    QLabel* caption = nullptr;
    QWidget* header = nullptr;
    std::array<QWidget*, kPageCount> pages{};
    QPushButton* defaultsButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

    std::array<SliderPair, kPairCount> pairs{};
    std::array<ColorField, kColorFieldCount> colorFields{};
    // Every control that shows a setting, with the setting it shows.
    std::vector<BoundControl> bound;

    // The controls the dialog itself reads or changes. General, Interface,
    // Input, Output:
    QComboBox* language = nullptr;
    QComboBox* updateRange = nullptr;
    QComboBox* theme = nullptr;  // each entry carries its theme key
    QComboBox* iconSize = nullptr;
    QComboBox* inputFormat = nullptr;
    QComboBox* outputFormat = nullptr;
    QWidget* ddsArea = nullptr;
    QComboBox* ddsBpp = nullptr;
    QComboBox* ddsCompression = nullptr;
    QLabel* ddsCompressionHint = nullptr;  // what the chosen compression does

    // Advanced
    QLineEdit* filenameMask = nullptr;
    QComboBox* fileTimestamp = nullptr;
    QWidget* customTimestampRow = nullptr;
    QDateTimeEdit* customTimestamp = nullptr;
    bool customTimestampEdited = false;  // untouched, the stored seconds stay exactly
    QComboBox* outFoldersHistory = nullptr;

    // Transform
    QCheckBox* rotation = nullptr;
    std::array<QWidget*, 3> rotationRows{};
    QComboBox* rotationType = nullptr;
    QCheckBox* resize = nullptr;
    std::array<QWidget*, 5> resizeRows{};
    QLineEdit* imageWidth = nullptr;
    QComboBox* imageWidthUnit = nullptr;
    QLineEdit* imageHeight = nullptr;
    QComboBox* imageHeightUnit = nullptr;
    QCheckBox* flipHorizontal = nullptr;

    // Adjustment
    GammaPair gamma;
    QCheckBox* invert = nullptr;
    QCheckBox* threshold = nullptr;
    QWidget* thresholdRow = nullptr;
    QCheckBox* dither = nullptr;
    QWidget* ditherRow = nullptr;

    // Frame
    QComboBox* frameType = nullptr;
    QWidget* frameArea = nullptr;

    // Watermark
    QComboBox* watermarkType = nullptr;
    QWidget* textArea = nullptr;   // the scroll area of the text rows
    QWidget* imageArea = nullptr;  // the scroll area of the picture rows
    QLineEdit* text = nullptr;
    QComboBox* font = nullptr;
    QLineEdit* fontSize = nullptr;
    QLineEdit* fontLeading = nullptr;
    QComboBox* fontColor = nullptr;
    QComboBox* fontStyle = nullptr;
    QComboBox* fontEffect = nullptr;
    QComboBox* backColor = nullptr;
    QComboBox* textSize = nullptr;
    QWidget* textScaleRow = nullptr;
    QLineEdit* image = nullptr;
    QComboBox* imageSize = nullptr;
    QWidget* imageScaleRow = nullptr;
};

// Builds, fills and shows the dialog on state.preferencesStartPage, which
// goes back to General once the pages are filled.
void openPreferences(AppState& state);
DialogOutcome handlePreferencesEvent(AppState& state, const UiEvent& event);
void showPreferencesPage(PreferencesWindow& window, int page);
void closePreferences(AppState& state);

// The pages: each builds its controls and binds them to their settings; the
// few that need more than a bound control fill them themselves and read
// them back below.
void buildGeneralPage(PreferencesWindow& window, AppState& state);
void buildInterfacePage(PreferencesWindow& window, AppState& state);
void buildInputPage(PreferencesWindow& window, AppState& state);
void buildOutputPage(PreferencesWindow& window, AppState& state);
void buildAdvancedPage(PreferencesWindow& window, AppState& state);
void buildTransformPage(PreferencesWindow& window, AppState& state);
void buildAdjustmentPage(PreferencesWindow& window, AppState& state);
void buildFramePage(PreferencesWindow& window, AppState& state);
void buildWatermarkPage(PreferencesWindow& window, AppState& state);

// A slider pair and a colour field of the window's own arrays, bound.
void bindPair(PreferencesWindow& window, PairId id, QWidget* row, int low, int high, SettingMember setting,
              int offset = 0);
void bindColorField(PreferencesWindow& window, ColorFieldId id, QWidget* row, SettingMember setting);

// The theme key and icon size the Interface page shows; nothing for a list
// without selection (or without installed themes).
std::optional<std::string> chosenTheme(const PreferencesWindow& window);
std::optional<int> chosenIconSize(const PreferencesWindow& window);
void readInputOutputPages(const PreferencesWindow& window, AppState& state);
void deriveColorCorrection(ConversionSettings& settings);
void readAdvancedPage(const PreferencesWindow& window, AppState& state);

// Dependent rows and sub-areas, after filling and on their switch's event.
void showOutputArea(PreferencesWindow& window);
void showCompressionHint(PreferencesWindow& window);
void enableTimestampRow(PreferencesWindow& window);
void enableTransformRows(PreferencesWindow& window);
void enableAdjustmentRows(PreferencesWindow& window);
void showFrameArea(PreferencesWindow& window);
void showWatermarkAreas(PreferencesWindow& window);
void showScaleRows(PreferencesWindow& window);

// The choosers of the Watermark page.
void chooseWatermarkFont(PreferencesWindow& window, AppState& state);
void chooseWatermarkImage(PreferencesWindow& window);
