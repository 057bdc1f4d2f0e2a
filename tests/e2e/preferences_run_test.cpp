// The preferences dialog through the real binary on a virtual X display:
// opened from the menu with the keyboard, the file-name template edited on
// the Advanced page, OK saves config.ini at once; Escape leaves it alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"
#include "virtual_display.h"

namespace {

constexpr int kWait = 20000;
const std::string kMainTitle = "^Korvane PNG to DDS 2\\.8$";
const std::string kDialogTitle = "^Preferences\\.\\.\\.$";
const std::string kSeededMask = "%filename%_seeded.%ext%";

struct PreferencesRun : ::testing::Test {
    TempFolder temp;
    WindowRunFolders folders{temp.path};
    VirtualDisplay display{true};

    bool keys(const std::string& window, const std::vector<std::string>& presses) {
        return pressKeys(display.name, window, presses, kWait);
    }
    bool type(const std::string& text) { return typeText(display.name, text, kWait); }

    // Alt opens the menu bar; Converter is the second menu and
    // "Preferences..." its last item.
    std::string openPreferencesWithKeys(const std::string& mainWindow) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            keys(mainWindow, {"alt"});
            runOnDisplay(display.name, {"xdotool", "key", "--delay", "80", "Right", "Down", "Up", "Return"}, kWait);
            const std::string dialog = waitForWindow(display.name, kDialogTitle, 3000);
            if (!dialog.empty()) return dialog;
            keys(mainWindow, {"Escape", "Escape"});
        }
        return {};
    }

    // Advanced is the last category; its first control is the template.
    bool typeTemplate(const std::string& dialog, const std::string& text) {
        return keys(dialog, {"End", "Tab", "ctrl+a"}) && type(text);
    }

    int endWithAltX(const std::string& mainWindow, pid_t pid) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            keys(mainWindow, {"alt+x"});
            const int code = waitForExit(pid, 2000, false);
            if (code != kStillRunning) return code;
        }
        return waitForExit(pid, kWait);
    }

    void seedMask() {
        std::filesystem::create_directories(folders.config + "Korvane/tovrel");
        writeFileBytes(folders.configFile(), "[General]\r\nCFG = 19\r\n[Advanced]\r\nFilename Mask = " + kSeededMask + "\r\n");
    }
};

TEST_F(PreferencesRun, OkSavesTheEditedTemplateAtOnce) {
    ASSERT_FALSE(display.name.empty());
    seedMask();
    pid_t pid = startTovrel({}, folders, display.name);
    const std::string mainWindow = waitForWindow(display.name, kMainTitle, kWait);
    ASSERT_FALSE(mainWindow.empty());
    const std::string dialog = openPreferencesWithKeys(mainWindow);
    ASSERT_FALSE(dialog.empty());
    ASSERT_TRUE(typeTemplate(dialog, "%filename%_from_keys.%ext%"));
    // From the template back over the category list to Cancel, then OK.
    ASSERT_TRUE(keys(dialog, {"shift+Tab", "shift+Tab", "shift+Tab", "space"}));
    std::string saved;
    for (int wait = 0; wait < 100 && saved.find("_from_keys") == std::string::npos; ++wait) {
        waitForExit(pid, 100, false);
        saved = readFileBytes(folders.configFile());
    }
    EXPECT_NE(saved.find("\r\nFilename Mask = %filename%_from_keys.%ext%\r\n"), std::string::npos)
        << "OK writes config.ini before the program ends";
    EXPECT_EQ(waitForWindow(display.name, kDialogTitle, 500), "");
    EXPECT_EQ(endWithAltX(mainWindow, pid), 0);
    const std::string atExit = readFileBytes(folders.configFile());
    EXPECT_NE(atExit.find("\r\nFilename Mask = %filename%_from_keys.%ext%\r\n"), std::string::npos);
}

TEST_F(PreferencesRun, EscapeLeavesTheFileAsItWas) {
    ASSERT_FALSE(display.name.empty());
    seedMask();
    const std::string before = readFileBytes(folders.configFile());
    pid_t pid = startTovrel({}, folders, display.name);
    const std::string mainWindow = waitForWindow(display.name, kMainTitle, kWait);
    ASSERT_FALSE(mainWindow.empty());
    const std::string dialog = openPreferencesWithKeys(mainWindow);
    ASSERT_FALSE(dialog.empty());
    ASSERT_TRUE(typeTemplate(dialog, "%filename%_dropped.%ext%"));
    ASSERT_TRUE(keys(dialog, {"Escape"}));
    std::string gone = dialog;
    for (int wait = 0; wait < 50 && !gone.empty(); ++wait) gone = waitForWindow(display.name, kDialogTitle, 100);
    EXPECT_EQ(gone, "") << "Escape closes the dialog";
    EXPECT_EQ(readFileBytes(folders.configFile()), before);
    EXPECT_EQ(endWithAltX(mainWindow, pid), 0);
    const std::string atExit = readFileBytes(folders.configFile());
    EXPECT_NE(atExit.find("\r\nFilename Mask = " + kSeededMask + "\r\n"), std::string::npos);
    EXPECT_EQ(atExit.find("_dropped"), std::string::npos);
}

}  // namespace
