// The installed tree, as `cmake --install build --prefix P` lays it out: the
// program folder P/lib/tovrel/ with a relative link P/bin/tovrel, and the
// desktop, manual and completion files around it. The installed program is
// run through the link from an unrelated working folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "console_run_support.h"
#include "output_check.h"

namespace fs = std::filesystem;

namespace {

// Files the build makes only when their generator is part of it (themes,
// icons, the user manual); whatever the build folder holds must be installed.
std::vector<std::string> builtOptionalFiles() {
    const fs::path build = BUILD_DIR;
    std::vector<std::string> found;
    std::error_code ignored;
    for (const char* folder : {"gfx", "icons/hicolor"}) {
        if (!fs::is_directory(build / folder)) continue;
        for (auto it = fs::recursive_directory_iterator(build / folder, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored)) {
            const std::string relative = fs::relative(it->path(), build).string();
            if (relative.starts_with("gfx/") && it->path().extension() == ".zip")
                found.push_back("lib/tovrel/" + relative);
            if (relative.starts_with("icons/") && it->path().filename() == "tovrel.png")
                found.push_back("share/" + relative);
        }
    }
    if (fs::exists(build / "tovrel.html")) found.push_back("lib/tovrel/tovrel.html");
    return found;
}

class InstalledTree : public ::testing::Test {
protected:
    static inline TempFolder* prefix = nullptr;
    static inline int installStatus = -1;

    static void SetUpTestSuite() {
        prefix = new TempFolder;
        const std::string command = std::string("\"") + CMAKE_COMMAND + "\" --install \"" + BUILD_DIR + "\" --prefix \"" +
                                    prefix->path + "tree\" > \"" + prefix->path + "install.log\" 2>&1";
        installStatus = std::system(command.c_str());
    }
    static void TearDownTestSuite() {
        delete prefix;
        prefix = nullptr;
    }
    void SetUp() override { ASSERT_EQ(installStatus, 0) << readFileBytes(prefix->path + "install.log"); }

    std::string tree() const { return prefix->path + "tree/"; }
    std::string link() const { return tree() + "bin/tovrel"; }
    RunResult runInstalled(const Lines& args, const std::string& workFolder) const {
        RunOptions options;
        options.binary = link();
        return runTovrel(args, workFolder, options);
    }
};

}  // namespace

TEST_F(InstalledTree, HoldsTheProgramFolderAndALinkToIt) {
    ASSERT_TRUE(fs::is_symlink(link()));
    EXPECT_EQ(fs::read_symlink(link()).string(), "../lib/tovrel/tovrel");
    const fs::path program = tree() + "lib/tovrel/tovrel";
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(program)));
    EXPECT_NE(fs::status(program).permissions() & fs::perms::others_exec, fs::perms::none);
    EXPECT_EQ(fs::canonical(link()), fs::canonical(program));

    std::vector<std::string> expected{"share/applications/tovrel.desktop",
                                      "share/metainfo/com.korvane.tovrel.metainfo.xml",
                                      "share/man/man1/tovrel.1.gz",
                                      "share/bash-completion/completions/tovrel",
                                      "share/thumbnailers/tovrel.thumbnailer",
                                      "share/doc/tovrel/copyright",
                                      "share/doc/tovrel/changelog.Debian.gz"};
    for (const std::string& built : builtOptionalFiles()) expected.push_back(built);
    for (const std::string& file : expected) EXPECT_TRUE(fs::is_regular_file(tree() + file)) << file;
}

// The words of the thumbnailer's Exec line with %i, %o and %s replaced as a
// file manager does: each code becomes one whole word, whatever spaces the
// path holds.
std::vector<std::string> thumbnailerCommand(const std::string& entry, const std::string& input,
                                            const std::string& output, const std::string& size) {
    const std::size_t exec = entry.find("\nExec=");
    if (exec == std::string::npos) return {};
    std::istringstream words(entry.substr(exec + 6, entry.find('\n', exec + 1) - exec - 6));
    std::vector<std::string> command;
    for (std::string word; words >> word;)
        command.push_back(word == "%i" ? input : word == "%o" ? output : word == "%s" ? size : word);
    return command;
}

TEST_F(InstalledTree, ThumbnailerEntryRunsTheInstalledProgramOnDdsFiles) {
    const std::string entry = readFileBytes(tree() + "share/thumbnailers/tovrel.thumbnailer");
    EXPECT_TRUE(entry.starts_with("[Thumbnailer Entry]\n"));
    EXPECT_NE(entry.find("\nTryExec=tovrel\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=image/x-dds;\n"), std::string::npos);

    WorkFolder input;
    TempFolder work;
    const std::string folder = work.path + "my textures/";
    fs::create_directories(folder);
    ASSERT_EQ(runTovrel({"-i", input.input, "-o", folder, "-q"}, work.path).exitCode, 0);
    fs::rename(folder + "pic.dds", folder + "a wall.dds");
    const std::vector<std::string> command =
        thumbnailerCommand(entry, folder + "a wall.dds", folder + "thumb nail.png", "4");
    ASSERT_EQ(command.size(), 5u) << entry;
    EXPECT_EQ(command.front(), "tovrel");
    // The program is found on the path: the installed link.
    const RunResult run = runInstalled(std::vector<std::string>(command.begin() + 1, command.end()), work.path);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    const DdsImage written = readDdsFile(folder + "a wall.dds");
    ASSERT_TRUE(written.ok);
    const std::string png = readFileBytes(folder + "thumb nail.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    // Width and height in the header: 8 x 8 scaled to 4 x 4.
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x04\0\0\0\x04", 8));
}

TEST_F(InstalledTree, PrintsItsVersionThroughTheLink) {
    TempFolder elsewhere;
    EXPECT_EQ(runInstalled({"-v"}, elsewhere.path).output, "2.8\r\n");
}

TEST_F(InstalledTree, ConvertsFromAnotherWorkingFolder) {
    WorkFolder input;
    TempFolder elsewhere;
    TempFolder output;
    RunResult result = runInstalled({"-i", input.input, "-o", output.path}, elsewhere.path);
    EXPECT_EQ(result.output, consoleText(kBanner + kStatusLines));
    const DdsImage dds = readDdsFile(output.path + "pic.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 8u);
    EXPECT_EQ(dds.header.height, 8u);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(8, 8));
    EXPECT_TRUE(regionIs(dds, wholeImage(dds), kOrange));
}

// A relative output folder lies below the program folder. Through the link
// that must be the real folder lib/tovrel/, not bin/ and not the working
// folder: proof that the program finds its folder through the link.
TEST_F(InstalledTree, FindsItsRealFolderThroughTheLink) {
    WorkFolder input;
    fs::create_directory(tree() + "lib/tovrel/relative-out");
    fs::create_directory(tree() + "bin/relative-out");
    fs::create_directory(input.path + "relative-out");
    RunResult result = runInstalled({"-i", input.input, "-o", "relative-out"}, input.path);
    EXPECT_EQ(result.output, consoleText(kBanner + kStatusLines));
    EXPECT_TRUE(readDdsFile(tree() + "lib/tovrel/relative-out/pic.dds").ok);
    EXPECT_EQ(listFolder(tree() + "bin/relative-out"), Lines{});
    EXPECT_EQ(listFolder(input.path + "relative-out"), Lines{});
}
