// The window mode under Wayland, through the real binary on weston's
// headless compositor that the test starts itself: start with a file,
// Preferences, a conversion, Exit. The compositor owns the window's place,
// so the program does not move the window (the driver would log it), the
// stored position stays as it was while the size is kept; nothing fails or
// warns.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "dds_reader.h"
#include "test_support.h"
#include "virtual_display.h"

namespace {

constexpr int kWait = 60000;

std::string configValue(const std::string& config, const std::string& key) {
    const std::size_t at = config.find("\r\n" + key + " = ");
    if (at == std::string::npos) return "<missing>";
    const std::size_t start = at + key.size() + 5;
    return config.substr(start, config.find("\r\n", start) - start);
}

// weston --backend=headless-backend.so in a runtime folder of its own.
struct HeadlessCompositor {
    TempFolder runtime;
    std::string socket;  // absolute path, as WAYLAND_DISPLAY takes it
    std::string failure;
    pid_t pid = -1;

    HeadlessCompositor() {
        chmod(runtime.path.c_str(), 0700);
        const std::string log = runtime.path + "weston.log";
        pid = fork();
        if (pid == 0) {
            setsid();
            setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"}) unsetenv(name);
            execlp("weston", "weston", "--backend=headless-backend.so", "--socket=tovrel-test", "--idle-time=0",
                   "--no-config", ("--log=" + log).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        socket = runtime.path + "tovrel-test";
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (std::filesystem::exists(socket)) return;
            if (waitForExit(pid, 50, false) != kStillRunning) {
                pid = -1;
                break;
            }
        }
        const std::string said = readFileBytes(log);
        failure = "weston could not start" + (said.empty() ? std::string(" (is it installed?)") : ": " + said);
    }
    ~HeadlessCompositor() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            if (waitForExit(pid, 5000) == kStillRunning) kill(pid, SIGKILL);
        }
    }
};

// A tovrel window on its own headless compositor, driven by the preloaded
// test driver, which writes the steps it took to steps.txt.
struct WaylandSession : ::testing::Test {
    std::optional<HeadlessCompositor> compositor;
    TempFolder temp;
    WindowRunFolders folders{temp.path};
    std::string steps = temp.path + "steps.txt";

    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "the driver is preloaded, which AddressSanitizer's runtime does not allow";
#endif
        compositor.emplace();
        if (!compositor->failure.empty()) GTEST_SKIP() << compositor->failure;
    }

    pid_t startOnWayland(const std::vector<std::string>& args, bool play) {
        std::vector<std::pair<std::string, std::string>> environment{{"QT_QPA_PLATFORM", "wayland"},
                                                                     {"WAYLAND_DISPLAY", compositor->socket},
                                                                     {"LD_PRELOAD", WAYLAND_DRIVER},
                                                                     {"TOVREL_DRIVER_LOG", steps}};
        if (play) environment.push_back({"TOVREL_DRIVER_PLAY", "1"});
        return startTovrel(args, folders, "", StdoutMode::Pipe, environment);
    }
};

TEST_F(WaylandSession, StartPreferencesConvertAndExitKeepTheSizeAndLeaveThePosition) {
    std::filesystem::create_directories(folders.config + "Korvane/tovrel");
    writeFileBytes(folders.configFile(),
                   "[General]\r\nCFG = 19\r\n[Window]\r\nIsMaximized = 0\r\nX = 123\r\nY = 45\r\nWidth = 600\r\n"
                   "Height = 260\r\n");
    const std::string pictures = temp.path + "pictures/";
    std::filesystem::create_directories(pictures);
    writeFileBytes(pictures + "picture.png", readFileBytes(pngSuitePath("basn6a08.png")));

    const pid_t program = startOnWayland({pictures + "picture.png"}, true);
    EXPECT_EQ(waitForExit(program, kWait), 0);
    EXPECT_EQ(readFileBytes(steps),
              "main window shown\npreferences opened\npreferences confirmed\nF5 pressed\nconversion complete\n"
              "Alt+X pressed\n");
    EXPECT_EQ(readFileBytes(temp.path + "stderr.txt"), "");

    ASSERT_EQ(listFolder(pictures), (std::vector<std::string>{"picture.dds", "picture.png"}));
    const DdsImage dds = readDds(readFileBytes(pictures + "picture.dds"));
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(32, 32));

    const std::string config = readFileBytes(folders.configFile());
    EXPECT_EQ(configValue(config, "CFG"), "19");
    EXPECT_EQ(configValue(config, "Recent Out Folders"), pictures);
    EXPECT_EQ(configValue(config, "Width"), "600");
    EXPECT_EQ(configValue(config, "Height"), "260");
    EXPECT_EQ(configValue(config, "X"), "123");
    EXPECT_EQ(configValue(config, "Y"), "45");
}

TEST_F(WaylandSession, TheCompositorGoingAwaySavesLikeExit) {
    const pid_t program = startOnWayland({}, false);
    for (int attempt = 0; attempt < 600 && readFileBytes(steps).empty(); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(readFileBytes(steps), "main window shown\n");
    const std::string socket = folders.runtime + "Korvane PNG to DDS 2.8.socket";
    EXPECT_TRUE(std::filesystem::exists(socket));
    kill(compositor->pid, SIGTERM);
    waitForExit(compositor->pid, kWait);
    compositor->pid = -1;
    EXPECT_EQ(waitForExit(program, kWait), 0);
    const std::string config = readFileBytes(folders.configFile());
    EXPECT_EQ(configValue(config, "Width"), "510");
    EXPECT_EQ(configValue(config, "Height"), "260");
    EXPECT_FALSE(std::filesystem::exists(socket));
}

}  // namespace
