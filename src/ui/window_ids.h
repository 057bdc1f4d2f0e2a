// The vocabulary every queue event speaks: window numbers, command numbers
// and, per window, the numbers of the controls whose events the loops read.
// All enums, and the loops switch on them without a default, so the
// compiler names a window, command or control a switch forgets (-Wswitch).
#pragma once

#include <variant>

enum WindowId : int {
    kNoWindow = -1,
    kMainWindow = 0,
    kPreferencesWindow = 1,
    kProgressWindow = 3,
    kFindConverterWindow = 6,
    kAboutWindow = 8,
    kUninstallWindow = 30,
    // Texture viewers; several may be open, told apart by the event's instance.
    kViewerWindow = 40,
};

// The dialog that is open; kNoWindow while only the main window is usable.
inline constexpr WindowId kNoDialog = kNoWindow;

enum CommandId : int {
    kCommandNone = -1,  // an event that carries no command
    kCommandNew = 0,
    kCommandExit = 3,
    kCommandAddInputFile = 5,
    kCommandSelectOutputFolder = 7,
    kCommandOutputFormatOptions = 8,
    kCommandConvert = 14,
    kCommandFindConverter = 16,
    kCommandPreferences = 17,
    kCommandUserManual = 18,
    kCommandSendFeedback = 21,
    kCommandVisitHomepage = 22,
    kCommandCheckForUpdates = 23,
    kCommandAbout = 24,
    kCommandViewTexture = 25,
};

enum MainControl : int {
    kInputFieldControl = 2,
    kFolderListControl = 5,
    kFormatListControl = 7,
    kConvertButtonControl = 8,
};

enum ProgressControl : int {
    kProgressFileLabel = 348,
    kProgressTimeLabel = 349,
    kProgressBar = 350,
    kProgressOkButton = 351,
};

enum FindConverterControl : int {
    kFromCaption = 358,
    kFromField = 359,
    kToCaption = 360,
    kToField = 361,
    kSearchButton = 362,
    kFindConverterEscape = 363,  // no control; the Escape key's number
};

enum AboutControl : int {
    kAboutBanner = 369,
    kAboutTitle = 371,
    kAboutNotice = 372,
    kAboutFrame = 373,
    kAboutWebCaption = 374,
    kAboutMailCaption = 375,
    kAboutWebLink = 376,
    kAboutMailLink = 377,
    kAboutOkButton = 381,  // also Enter and Escape
};

// The preferences dialog: its buttons and switches, then numbered ranges
// for the colour fields and the slider pairs.
enum PrefsControl : int {
    kCategoryList = 1,
    kDefaultsButton,
    kOkButton,
    kCancelButton,
    kEscapeKey,
    kOutputFormatChoice,
    kFileTimestampChoice,
    kCustomTimestampPicker,
    kRotationSwitch,
    kResizeSwitch,
    kThresholdSwitch,
    kDitherSwitch,
    kFrameTypeChoice,
    kWatermarkTypeChoice,
    kTextSizeChoice,
    kImageSizeChoice,
    kFontColorChooser,
    kBackColorChooser,
    kFontChooser,
    kImageChooser,
    kGammaSlider,
    kGammaSpin,
    kGammaSpinDone,
    kDdsCompressionChoice,
};
inline constexpr int kFirstColorFieldControl = 50;  // + ColorFieldId
inline constexpr int kFirstPairControl = 100;       // slider 100 + 2 x PairId, spin field one more

enum UninstallControl : int {
    kUninstallNextButton = 2,
};

// A texture viewer: its choosers, and the keys and wheel steps that act on
// the view (each key row of the viewer names one of these).
enum ViewerControl : int {
    kViewerLevelChoice = 1,
    kViewerZoomChoice,
    kViewerAlphaSwitch,
    kViewerSourceSwitch,
    kViewerZoomFit,
    kViewerZoom100,
    kViewerZoom200,
    kViewerZoom400,
    kViewerZoomIn,
    kViewerZoomOut,
    kViewerAlphaKey,
    kViewerSourceKey,
    kViewerEscape,
};

// The control a Control event names; its type says whose window it is.
using ControlId =
    std::variant<MainControl, ProgressControl, FindConverterControl, AboutControl, PrefsControl, UninstallControl,
                 ViewerControl>;
