// The window mode as a desktop starts and ends it, through the real binary
// on a virtual X display: `tovrel picture.png` ("Open With"), a second start
// handing its file to the running window, SIGTERM, SIGHUP and SIGINT while
// idle and during a large conversion, and a console run on a signal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

#include "dds_reader.h"
#include "test_support.h"
#include "virtual_display.h"
#include "window_program.h"

namespace {


std::string windowKey(const std::string& config, const std::string& key) {
    const std::size_t block = config.find("[Window]");
    if (block == std::string::npos) return "<no [Window]>";
    const std::size_t at = config.find("\r\n" + key + " = ", block);
    if (at == std::string::npos) return "<missing>";
    const std::size_t start = at + key.size() + 5;
    return config.substr(start, config.find("\r\n", start) - start);
}

std::string configValue(const std::string& config, const std::string& key) {
    const std::size_t at = config.find("\r\n" + key + " = ");
    if (at == std::string::npos) return "<missing>";
    const std::size_t start = at + key.size() + 5;
    return config.substr(start, config.find("\r\n", start) - start);
}

// 4096 x 4096 with little to compress: the run takes long enough to be
// interrupted.
void writeLargePng(const std::string& path) {
    ASSERT_TRUE(writeRgbaPng(path, 4096, 4096, [](int x, int y) {
        const unsigned mixed = static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u;
        return RgbaPixel{static_cast<std::uint8_t>(mixed), static_cast<std::uint8_t>(mixed >> 8),
                         static_cast<std::uint8_t>(mixed >> 16), 255};
    }));
}

// Whatever a run left in the folder: nothing, or whole DDS files with every
// mipmap; never a temporary file.
void expectOnlyWholeDdsFiles(const std::string& folder, const std::vector<std::string>& allowed) {
    for (const std::string& name : listFolder(folder)) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(name.starts_with("tovrel")) << "a temporary file was left behind";
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), name), allowed.end());
        if (!name.ends_with(".dds")) continue;
        const DdsImage dds = readDds(readFileBytes(folder + name));
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(dds.header.mipMapCount, fullMipCount(dds.header.width, dds.header.height));
    }
}

struct DesktopSession : ::testing::Test, WindowProgram {
    void TearDown() override { stopProgram(); }

    // F5 and the progress dialog's result, closed with OK.
    void convertWithF5() {
        keys(mainWindow, {"F5"});
        const std::string dialog = waitForWindow(display.name, "^Conversion complete \\(1/1\\)$", kWait);
        ASSERT_FALSE(dialog.empty());
        keys(dialog, {"Return"});
        ASSERT_TRUE(becomes(false, "^Conversion complete"));
    }

    int endWithSignal(int signal) {
        kill(program, signal);
        const int code = waitForExit(program, 60000);
        program = -1;
        return code;
    }
};

TEST_F(DesktopSession, StartedWithAPathTheWindowConvertsItWithF5) {
    const std::string pictures = temp.path + "pictures/";
    std::filesystem::create_directories(pictures);
    writeFileBytes(pictures + "picture.png", readFileBytes(pngSuitePath("basn6a08.png")));
    start({pictures + "picture.png"});
    convertWithF5();
    exitWithAltX();
    // As Add Input File: the file's folder became the output folder.
    EXPECT_EQ(listFolder(pictures), (std::vector<std::string>{"picture.dds", "picture.png"}));
    expectOnlyWholeDdsFiles(pictures, {"picture.dds", "picture.png"});
    EXPECT_EQ(configValue(readFileBytes(folders.configFile()), "Recent Out Folders"), pictures);
}

TEST_F(DesktopSession, ARelativePathIsTakenFromTheFolderItWasStartedIn) {
    // startTovrel runs the program in the run's own folder.
    writeFileBytes(temp.path + "here.png", readFileBytes(pngSuitePath("basn6a08.png")));
    start({"here.png"});
    convertWithF5();
    exitWithAltX();
    EXPECT_TRUE(std::filesystem::exists(temp.path + "here.dds"));
    EXPECT_EQ(configValue(readFileBytes(folders.configFile()), "Recent Out Folders"), temp.path);
}

TEST_F(DesktopSession, ASecondStartHandsItsFileToTheRunningWindowAndEnds) {
    const std::string first = temp.path + "first/";
    const std::string second = temp.path + "second/";
    const std::string console = temp.path + "console/";
    for (const std::string& folder : {first, second, console}) std::filesystem::create_directories(folder);
    writeFileBytes(first + "one.png", readFileBytes(pngSuitePath("basn6a08.png")));
    writeFileBytes(second + "two.png", readFileBytes(pngSuitePath("basn2c08.png")));
    writeFileBytes(console + "three.png", readFileBytes(pngSuitePath("basn2c08.png")));
    start({first + "one.png"});
    xdotool({"windowminimize", "--sync", mainWindow});
    ASSERT_TRUE(becomes(false, kMainTitle));

    // A console run is refused as ever and hands nothing over.
    EXPECT_EQ(waitForExit(startTovrel({"-i", console + "three.png", "-o", console}, folders, display.name), kWait), 0);
    EXPECT_FALSE(visible(kMainTitle));
    // The second start ends at once; the window shows itself again.
    EXPECT_EQ(waitForExit(startTovrel({second + "two.png"}, folders, display.name), 5000), 0);
    ASSERT_TRUE(becomes(true, kMainTitle));

    convertWithF5();
    exitWithAltX();
    // The handed file went into Input File; the output folder shown stayed.
    EXPECT_EQ(listFolder(first), (std::vector<std::string>{"one.png", "two.dds"}));
    expectOnlyWholeDdsFiles(first, {"one.png", "two.dds"});
    EXPECT_EQ(listFolder(second), std::vector<std::string>{"two.png"});
    EXPECT_EQ(listFolder(console), std::vector<std::string>{"three.png"});
    EXPECT_EQ(readFileBytes(temp.path + "stderr.txt"), "");
    // The socket goes with the window.
    EXPECT_FALSE(std::filesystem::exists(folders.runtime + "Korvane PNG to DDS 2.8.socket"));
}

TEST_F(DesktopSession, AFileHandedOverWhileTheWindowStartsIsNotLost) {
    ASSERT_FALSE(display.name.empty());
    const std::string pictures = temp.path + "pictures/";
    std::filesystem::create_directories(pictures);
    writeFileBytes(pictures + "one.png", readFileBytes(pngSuitePath("basn6a08.png")));
    writeFileBytes(pictures + "two.png", readFileBytes(pngSuitePath("basn2c08.png")));
    program = startTovrel({pictures + "one.png"}, folders, display.name);
    // The socket is there before the window is built.
    const std::string socket = folders.runtime + "Korvane PNG to DDS 2.8.socket";
    for (int attempt = 0; attempt < 600 && !std::filesystem::exists(socket); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(waitForExit(startTovrel({pictures + "two.png"}, folders, display.name), 5000), 0);
    mainWindow = waitForWindow(display.name, kMainTitle, kWait);
    ASSERT_FALSE(mainWindow.empty());
    convertWithF5();
    exitWithAltX();
    EXPECT_EQ(listFolder(pictures), (std::vector<std::string>{"one.png", "two.dds", "two.png"}));
}

TEST_F(DesktopSession, EachEndingSignalWhileIdleSavesLikeExit) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        std::filesystem::remove(folders.configFile());
        start({});
        EXPECT_EQ(endWithSignal(signal), 0);
        const std::string config = readFileBytes(folders.configFile());
        ASSERT_FALSE(config.empty());
        EXPECT_EQ(windowKey(config, "IsMaximized"), "0");
        EXPECT_EQ(windowKey(config, "X"), std::to_string((1280 - 510) / 2));
        EXPECT_EQ(windowKey(config, "Y"), std::to_string((1024 - 260) / 2));
        EXPECT_EQ(windowKey(config, "Width"), "510");
        EXPECT_EQ(windowKey(config, "Height"), "260");
        // Written whole through a temporary file: nothing else beside it.
        EXPECT_EQ(listFolder(folders.config + "Korvane/tovrel/"), std::vector<std::string>{"config.ini"});
        EXPECT_EQ(listFolder(folders.runtime), std::vector<std::string>{"Korvane PNG to DDS 2.8.lock"});
    }
}

TEST_F(DesktopSession, ASignalWhileAChooserIsOpenStillSavesAndEnds) {
    start({});
    // The input field has the focus after start; Tab Tab reaches the
    // output folder's field button.
    keys(mainWindow, {"Tab", "Tab", "space"});
    ASSERT_FALSE(waitForWindow(display.name, "^Select Output Folder$", kWait).empty());
    EXPECT_EQ(endWithSignal(SIGTERM), 0);
    EXPECT_EQ(windowKey(readFileBytes(folders.configFile()), "Width"), "510");
}

TEST_F(DesktopSession, ASignalDuringALargeConversionLeavesNoPartialFile) {
    const std::string input = temp.path + "large.png";
    writeLargePng(input);
    const std::string out = temp.path + "large-out/";
    std::filesystem::create_directories(out);
    std::filesystem::rename(input, out + "large.png");
    start({out + "large.png"});
    keys(mainWindow, {"F5"});
    ASSERT_FALSE(waitForWindow(display.name, "^Converting", kWait).empty());
    EXPECT_EQ(endWithSignal(SIGTERM), 0);
    // Stopped as the stop question stops it: the file in hand is put in
    // place whole, nothing half-written or temporary stays.
    expectOnlyWholeDdsFiles(out, {"large.dds", "large.png"});
    const std::string config = readFileBytes(folders.configFile());
    EXPECT_EQ(configValue(config, "Recent Out Folders"), out);
    EXPECT_EQ(windowKey(config, "Width"), "510");
}

TEST_F(DesktopSession, LosingTheDisplaySavesLikeExit) {
    start({});
    kill(display.server, SIGTERM);
    EXPECT_EQ(waitForExit(program, kWait), 0);
    program = -1;
    const std::string config = readFileBytes(folders.configFile());
    EXPECT_EQ(windowKey(config, "Width"), "510");
    EXPECT_EQ(listFolder(folders.runtime), std::vector<std::string>{"Korvane PNG to DDS 2.8.lock"});
}

bool threadsReach(pid_t pid, std::size_t count) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (int attempt = 0; attempt < 2000; ++attempt) {
        std::error_code error;
        std::size_t seen = 0;
        for (auto it = std::filesystem::directory_iterator(tasks, error); !error && it != std::filesystem::directory_iterator();
             it.increment(error))
            ++seen;
        if (seen >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// A console run with its standard output in a file.
pid_t startConsoleRun(const std::vector<std::string>& args, const WindowRunFolders& folders, const std::string& printed) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int file = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0 || dup2(file, STDOUT_FILENO) < 0) _exit(127);
    setenv("XDG_CONFIG_HOME", folders.config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folders.runtime.c_str(), 1);
    std::vector<std::string> words{TOVREL_BINARY};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

TEST(ConsoleSignal, AConsoleRunFinishesTheFileInHandThenEndsByTheSignal) {
    TempFolder temp;
    WindowRunFolders folders{temp.path};
    const std::string input = temp.path + "large.png";
    writeLargePng(input);
    const std::string out = temp.path + "out/";
    std::filesystem::create_directories(out);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        const std::string printed = temp.path + "printed.txt";
        const pid_t run = startConsoleRun({"-i", input, "-o", out}, folders, printed);
        // The console run has one thread until the worker starts.
        ASSERT_TRUE(threadsReach(run, 2));
        kill(run, signal);
        int status = 0;
        ASSERT_EQ(waitpid(run, &status, 0), run);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal);
        // The run went on to its outcome. On a machine short of memory the
        // picture may be refused; either way no partial file is left.
        const std::string lines = readFileBytes(printed);
        const bool converted = lines.ends_with("Conversion complete\r\nFiles converted: 1 of 1\r\n");
        EXPECT_TRUE(converted || lines.ends_with("Conversion is not complete\r\n")) << lines;
        EXPECT_EQ(listFolder(out), converted ? std::vector<std::string>{"large.dds"} : std::vector<std::string>{});
        expectOnlyWholeDdsFiles(out, {"large.dds"});
    }
}

}  // namespace
