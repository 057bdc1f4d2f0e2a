// The texture viewer through the real binary on a virtual X display:
// `tovrel FILE.dds` opens it in the window mode, a second start hands its
// texture to the running window, Escape closes one viewer and leaves the
// main window, and Ctrl+T shows the file the last conversion wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"
#include "window_program.h"

namespace {

struct ViewerRun : ::testing::Test, WindowProgram {
    void TearDown() override { stopProgram(); }

    // A texture the console mode writes from a pngsuite picture.
    std::string texture(const std::string& folder, const std::string& picture, const std::string& name) {
        std::filesystem::create_directories(folder);
        writeFileBytes(folder + name + ".png", readFileBytes(pngSuitePath(picture)));
        const RunResult run = runTovrel({"-i", folder + name + ".png", "-o", folder}, temp.path + "console/");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(std::filesystem::exists(folder + name + ".dds"));
        return folder + name + ".dds";
    }
};

TEST_F(ViewerRun, ATextureOnTheCommandLineOpensAViewerThatEscapeCloses) {
    const std::string dds = texture(temp.path + "textures/", "basn6a08.png", "start");
    start({dds});
    const std::string viewer = waitForWindow(display.name, "^start\\.dds - Texture Viewer$", kWait);
    ASSERT_FALSE(viewer.empty());
    keys(viewer, {"Escape"});
    EXPECT_TRUE(becomes(false, "Texture Viewer$"));
    EXPECT_TRUE(visible(kMainTitle));
    exitWithAltX();
    EXPECT_EQ(readFileBytes(temp.path + "stderr.txt"), "");
}

TEST_F(ViewerRun, ASecondStartHandsItsTextureToTheRunningWindow) {
    const std::string first = texture(temp.path + "a/", "basn6a08.png", "first");
    const std::string second = texture(temp.path + "b/", "basn2c08.png", "second");
    start();
    EXPECT_EQ(waitForExit(startTovrel({first}, folders, display.name), 5000), 0);
    ASSERT_FALSE(waitForWindow(display.name, "^first\\.dds - Texture Viewer$", kWait).empty());
    EXPECT_EQ(waitForExit(startTovrel({second}, folders, display.name), 5000), 0);
    const std::string shown = waitForWindow(display.name, "^second\\.dds - Texture Viewer$", kWait);
    ASSERT_FALSE(shown.empty());
    // Both stay open; Escape closes only the one it is pressed in.
    keys(shown, {"Escape"});
    EXPECT_TRUE(becomes(false, "^second\\.dds - Texture Viewer$"));
    EXPECT_TRUE(visible("^first\\.dds - Texture Viewer$"));
    exitWithAltX();
}

TEST_F(ViewerRun, CtrlTShowsTheFileTheLastConversionWrote) {
    const std::string pictures = temp.path + "pictures/";
    std::filesystem::create_directories(pictures);
    writeFileBytes(pictures + "made.png", readFileBytes(pngSuitePath("basn6a08.png")));
    start({pictures + "made.png"});
    keys(mainWindow, {"F5"});
    const std::string dialog = waitForWindow(display.name, "^Conversion complete \\(1/1\\)$", kWait);
    ASSERT_FALSE(dialog.empty());
    keys(dialog, {"Return"});
    ASSERT_TRUE(becomes(false, "^Conversion complete"));
    keys(mainWindow, {"ctrl+t"});
    const std::string viewer = waitForWindow(display.name, "^made\\.dds - Texture Viewer$", kWait);
    ASSERT_FALSE(viewer.empty());
    exitWithAltX();
    EXPECT_FALSE(visible("Texture Viewer$"));
}

}  // namespace
