// Converting through the real window on a virtual X display: the input
// path typed into its field, the output folder chosen in the folder dialog,
// F5, the progress dialog's result, the history written at exit, and the
// DDS compared with the console's for the same file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "dds_reader.h"
#include "test_support.h"
#include "virtual_display.h"
#include "window_program.h"

namespace {

struct WindowConvert : ::testing::Test, WindowProgram {
    void TearDown() override { stopProgram(); }

    // The input field has the focus after start; Tab Tab reaches the
    // output folder's field button.
    void typeInputAndChooseFolder(const std::string& input, const std::string& outFolder) {
        type(mainWindow, input);
        keys(mainWindow, {"Tab", "Tab", "space"});
        const std::string chooser = waitForWindow(display.name, "^Select Output Folder$", kWait);
        ASSERT_FALSE(chooser.empty());
        type(chooser, outFolder);
        keys(chooser, {"Return"});
        ASSERT_TRUE(becomes(false, "^Select Output Folder$"));
    }

    // F5, then the progress dialog's final title; its window id.
    std::string convertAndWaitFor(const std::string& finalTitle) {
        keys(mainWindow, {"F5"});
        return waitForWindow(display.name, finalTitle, kWait);
    }

    void closeDialog(const std::string& dialog, const std::string& titlePattern) {
        keys(dialog, {"Return"});  // OK is the default button
        ASSERT_TRUE(becomes(false, titlePattern));
    }

    // "VmRSS" (resident now) or "VmHWM" (the peak) of the running program.
    long memoryKb(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(program) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with(field + ":")) return std::atol(line.c_str() + field.size() + 1);
        return -1;
    }
};

std::string configValue(const std::string& config, const std::string& key) {
    const std::size_t at = config.find("\r\n" + key + " = ");
    if (at == std::string::npos) return "<missing>";
    const std::size_t start = at + key.size() + 5;
    return config.substr(start, config.find("\r\n", start) - start);
}

TEST_F(WindowConvert, TypedInputChosenFolderAndF5WriteTheConsolesDds) {
    start();
    const std::string input = temp.path + "picture.png";
    writeFileBytes(input, readFileBytes(pngSuitePath("basn6a08.png")));
    const std::string out = temp.path + "out/";
    std::filesystem::create_directories(out);
    typeInputAndChooseFolder(input, out);
    const std::string dialog = convertAndWaitFor("^Conversion complete \\(1/1\\)$");
    ASSERT_FALSE(dialog.empty());
    // The dialog at the end of the run, for a person to look at.
    if (const char* shots = std::getenv("TOVREL_SHOT_DIR"))
        runOnDisplay(display.name, {"import", "-window", "root", std::string(shots) + "/progress-full.png"}, kWait);
    closeDialog(dialog, "^Conversion complete");
    exitWithAltX();

    EXPECT_EQ(listFolder(out), std::vector<std::string>{"picture.dds"});
    const std::string consoleOut = temp.path + "console/";
    std::filesystem::create_directories(consoleOut);
    const RunResult console = runTovrel({"-i", input, "-o", consoleOut}, temp.path + "console-run/");
    ASSERT_EQ(listFolder(consoleOut), std::vector<std::string>{"picture.dds"});
    const std::string windowDds = readFileBytes(out + "picture.dds");
    EXPECT_EQ(windowDds, readFileBytes(consoleOut + "picture.dds"));
    const DdsImage dds = readDds(windowDds);
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 32u);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(32, 32));

    const std::string config = readFileBytes(folders.configFile());
    EXPECT_EQ(configValue(config, "Recent Out Folders"), out);
}

TEST_F(WindowConvert, ADamagedPngLeavesNoFileBehind) {
    start();
    const std::string whole = readFileBytes(pngSuitePath("basn6a08.png"));
    const std::string input = temp.path + "damaged.png";
    writeFileBytes(input, whole.substr(0, whole.size() / 2));
    const std::string out = temp.path + "out/";
    std::filesystem::create_directories(out);
    typeInputAndChooseFolder(input, out);
    const std::string dialog = convertAndWaitFor("^Conversion stopped \\(1/1\\)$");
    ASSERT_FALSE(dialog.empty());
    closeDialog(dialog, "^Conversion stopped");
    exitWithAltX();
    EXPECT_TRUE(listFolder(out).empty());  // neither a DDS nor a temporary file
    EXPECT_EQ(configValue(readFileBytes(folders.configFile()), "Recent Out Folders"), out);
}

// The window lives on after a run: the memory of a 4096 x 4096 picture goes
// back to the system once the run is over.
TEST_F(WindowConvert, ALargeConversionGivesItsMemoryBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    const std::string input = temp.path + "large.png";
    ASSERT_TRUE(writeRgbaPng(input, 4096, 4096, [](int x, int y) {
        return RgbaPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x ^ y),
                         255};
    }));
    start();
    const std::string out = temp.path + "out/";
    std::filesystem::create_directories(out);
    typeInputAndChooseFolder(input, out);
    const long before = memoryKb("VmRSS");
    const std::string dialog = convertAndWaitFor("^Conversion complete \\(1/1\\)$");
    ASSERT_FALSE(dialog.empty());
    closeDialog(dialog, "^Conversion complete");
    const long after = memoryKb("VmRSS");
    const long peak = memoryKb("VmHWM");
    std::printf("resident memory: %ld KB before the run, %ld KB peak, %ld KB after it\n", before, peak, after);
    RecordProperty("rss_before_kb", static_cast<int>(before));
    RecordProperty("rss_after_kb", static_cast<int>(after));
    ASSERT_GT(before, 0);
    // One 4096 x 4096 x 4 copy is 64 MB; a run that kept its buffers would
    // hold several of them.
    EXPECT_LT(after - before, 16 * 1024);
    EXPECT_EQ(listFolder(out), std::vector<std::string>{"large.dds"});
    exitWithAltX();
}

}  // namespace
