// `tovrel picture.png`: which command lines open the window with a file, and
// the path the window gets.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/open_with.h"
#include "test_support.h"

namespace {

// Runs the case in the folder, as a file manager starts the program there.
struct InFolder {
    std::filesystem::path saved = std::filesystem::current_path();
    explicit InFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~InFolder() { std::filesystem::current_path(saved); }
};

struct OpenCase {
    const char* name;
    std::vector<std::string> parameters;
    std::string expected;  // "" or relative to the folder
};

TEST(OpenWith, OnlyOneExistingFileThatIsNoOptionOpensTheWindowWithIt) {
    TempFolder folder;
    writeFileBytes(folder.path + "picture.png", "png");
    writeFileBytes(folder.path + "other.png", "png");
    writeFileBytes(folder.path + "-dash.png", "png");
    writeFileBytes(folder.path + "notes.txt", "text");
    writeFileBytes(folder.path + "empty.png", "");
    writeFileBytes(folder.path + " spaced.png", "png");
    std::filesystem::create_directories(folder.path + "sub/folder.png");
    std::filesystem::create_symlink(folder.path + "picture.png", folder.path + "link.png");
    std::filesystem::create_symlink(folder.path + "sub", folder.path + "sublink");
    const InFolder here(folder.path);
    const std::vector<OpenCase> cases{
        {"a file in the current folder", {"picture.png"}, "picture.png"},
        {"an absolute path", {folder.path + "picture.png"}, "picture.png"},
        {"dots are tidied", {"./sub/../picture.png"}, "picture.png"},
        {"a link to a file", {"link.png"}, "link.png"},
        // The checks of Add Input File decide about the extension and the size.
        {"any existing file", {"notes.txt"}, "notes.txt"},
        {"an empty file", {"empty.png"}, "empty.png"},
        {"a name beginning with a blank is taken as it is", {" spaced.png"}, " spaced.png"},
        {"no parameter", {}, ""},
        {"a missing file", {"missing.png"}, ""},
        {"a folder", {"sub/folder.png"}, ""},
        {"two files", {"picture.png", "other.png"}, ""},
        {"a file and an option", {"picture.png", "-q"}, ""},
        {"an option and a file", {"-q", "picture.png"}, ""},
        {"an input option", {"-i", "picture.png"}, ""},
        {"a word beginning with a dash, even an existing file", {"-dash.png"}, ""},
        {"a blank then a dash", {" -dash.png"}, ""},
        {"an empty word", {""}, ""},
        {"a long option", {"--help"}, ""},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileToOpen(c.parameters), c.expected.empty() ? "" : folder.path + c.expected);
    }
}

TEST(OpenWith, ALinkFollowedByDotsKeepsTheSpellingThatNamesTheFile) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path + "a/b");
    writeFileBytes(folder.path + "a/picture.png", "png");
    std::filesystem::create_symlink(folder.path + "a/b", folder.path + "link");
    const InFolder here(folder.path);
    // link/.. is a/, not the folder itself: the tidy text would name no file.
    EXPECT_EQ(fileToOpen({"link/../picture.png"}), folder.path + "link/../picture.png");
}

}  // namespace
