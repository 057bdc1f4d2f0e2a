// Window numbers, command numbers and the main window's control numbers
// that events carry. Enums, so the loops' switches catch a missing case.
#pragma once

enum WindowId : int {
    kMainWindow = 0,
    kPreferencesWindow = 1,
    kProgressWindow = 3,
    kFindConverterWindow = 6,
    kAboutWindow = 8,
};

enum CommandId : int {
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
};

// Controls of the main window whose events the loop reads.
enum MainControl : int {
    kInputFieldControl = 2,
    kFolderListControl = 5,
    kFormatListControl = 7,
    kConvertButtonControl = 8,
};

inline constexpr int kNoDialog = -1;
