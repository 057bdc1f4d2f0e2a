// Files that are not regular files, named where the program reads an input
// or writes an output: every reader refuses them at once (a FIFO without a
// writer must not block it), and the writer replaces the name instead of
// writing through a link or into a FIFO.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/image_file.h"
#include "engine/png_header.h"
#include "engine/signature.h"
#include "settings/file_handle.h"
#include "test_support.h"

namespace {

struct OddEntry {
    const char* name;
    // Makes the entry `name` below the folder; false when the system refuses.
    bool (*make)(const std::string& folder, const std::string& name);
};

bool makeFifo(const std::string& folder, const std::string& name) { return mkfifo((folder + name).c_str(), 0600) == 0; }
bool makeFolder(const std::string& folder, const std::string& name) { return mkdir((folder + name).c_str(), 0700) == 0; }
bool makeDeviceLink(const std::string& folder, const std::string& name) {
    return symlink("/dev/zero", (folder + name).c_str()) == 0;
}
bool makeFifoLink(const std::string& folder, const std::string& name) {
    return makeFifo(folder, "pipe") && symlink((folder + "pipe").c_str(), (folder + name).c_str()) == 0;
}
bool makeDanglingLink(const std::string& folder, const std::string& name) {
    return symlink((folder + "nowhere.png").c_str(), (folder + name).c_str()) == 0;
}

const std::vector<OddEntry> kOddEntries{
    {"FIFO", makeFifo},
    {"folder", makeFolder},
    {"link to a character device", makeDeviceLink},
    {"link to a FIFO", makeFifoLink},
    {"dangling link", makeDanglingLink},
};

TEST(NonRegularFiles, EveryReaderRefusesWhatIsNotARegularFile) {
    for (const OddEntry& entry : kOddEntries) {
        SCOPED_TRACE(entry.name);
        TempFolder folder;
        ASSERT_TRUE(entry.make(folder.path, "in.png"));
        const std::string path = folder.path + "in.png";
        EXPECT_EQ(openRegularFile(path), nullptr);
        EXPECT_FALSE(readPngHeader(path).valid);
        EXPECT_EQ(identifyFileFormat(path), kUnrecognizedFormat);
        EXPECT_EQ(imageFileFormat(path), FIF_UNKNOWN);
        EXPECT_EQ(loadImageFile(FIF_PNG, path), nullptr);
    }
}

TEST(NonRegularFiles, ALinkToARegularFileIsReadThrough) {
    TempFolder folder;
    std::filesystem::copy_file(pngSuitePath("basn6a08.png"), folder.path + "real.png");
    ASSERT_EQ(symlink((folder.path + "real.png").c_str(), (folder.path + "in.png").c_str()), 0);
    const std::string path = folder.path + "in.png";
    EXPECT_TRUE(readPngHeader(path).valid);
    EXPECT_EQ(identifyFileFormat(path), "PNG");
    EXPECT_EQ(imageFileFormat(path), FIF_PNG);
    const ImagePtr image = loadImageFile(FIF_PNG, path);
    EXPECT_EQ(imageWidth(image), 32);
    EXPECT_EQ(imageHeight(image), 32);
}

TEST(NonRegularFiles, WritingByRenameReplacesTheNameAndNeverWritesThrough) {
    const std::vector<OddEntry> names{
        {"FIFO", makeFifo},
        {"link to a FIFO", makeFifoLink},
        {"dangling link", makeDanglingLink},
        {"link to a file", [](const std::string& folder, const std::string& name) {
             writeFileBytes(folder + "kept.txt", "kept");
             return symlink((folder + "kept.txt").c_str(), (folder + name).c_str()) == 0;
         }},
    };
    for (const OddEntry& entry : names) {
        SCOPED_TRACE(entry.name);
        TempFolder folder;
        ASSERT_TRUE(entry.make(folder.path, "out.jpg"));
        const std::vector<std::string> before = listFolder(folder.path);
        ASSERT_TRUE(writeFileByRename(folder.path + "out.jpg", "picture"));
        struct stat status {};
        ASSERT_EQ(lstat((folder.path + "out.jpg").c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        EXPECT_EQ(readFileBytes(folder.path + "out.jpg"), "picture");
        EXPECT_EQ(listFolder(folder.path), before);  // no temporary file left
        if (std::filesystem::exists(folder.path + "kept.txt")) {
            EXPECT_EQ(readFileBytes(folder.path + "kept.txt"), "kept");
        }
    }
}

TEST(NonRegularFiles, AFailedWriteByRenameLeavesNothing) {
    TempFolder folder;
    ASSERT_EQ(mkdir((folder.path + "out.jpg").c_str(), 0700), 0);  // rename cannot replace a folder
    EXPECT_FALSE(writeFileByRename(folder.path + "out.jpg", "picture"));
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"out.jpg"});
    EXPECT_EQ(writeFileByRename(folder.path + "missing/out.jpg", "picture"), false);
}

}  // namespace
