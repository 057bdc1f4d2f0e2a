// The engine's DDS reader: every kind the writer makes read back as the
// tests' reader and Pillow read it, files cut short keep their complete
// levels, and hostile headers and paths end in a one-line refusal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dds_reader.h"
#include "engine/dds_file.h"
#include "engine/dds_read.h"
#include "engine/dds_thumbnail.h"
#include "pillow_decode.h"
#include "test_support.h"

namespace {

std::span<const std::uint8_t> spanOf(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// A picture with soft alpha, hard alpha and colour in every block, of a
// size that is not a power of two, so edge blocks and odd halvings show.
std::vector<std::uint8_t> testPictureBgra(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> bgra(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = &bgra[(std::size_t{y} * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 7 + y);
            p[1] = static_cast<std::uint8_t>(y * 11);
            p[2] = static_cast<std::uint8_t>(255 - x * 5);
            p[3] = x % 9 == 0 ? 0 : static_cast<std::uint8_t>(128 + y * 3);
        }
    return bgra;
}

std::string writtenFile(DdsFormat format, std::uint32_t width = 37, std::uint32_t height = 21) {
    const std::vector<std::uint8_t> bgra = testPictureBgra(width, height);
    const PixelLevel top{bgra.data(), static_cast<std::ptrdiff_t>(width) * 4, width, height};
    const DdsFileBytes file = encodeDdsFile(top, format);
    EXPECT_TRUE(file.bytes);
    return {reinterpret_cast<const char*>(file.bytes.get()), file.size};
}

struct WrittenKind {
    DdsFormat format;
    DdsKind kind;
    const char* name;
};
constexpr WrittenKind kWrittenKinds[] = {
    {DdsFormat::Dxt1, DdsKind::Dxt1, "DXT1"},
    {DdsFormat::Dxt5, DdsKind::Dxt5, "DXT5"},
    {DdsFormat::Bc7, DdsKind::Bc7, "BC7"},
    {DdsFormat::Bgra32, DdsKind::Rgb32, "A8R8G8B8"},
};

TEST(DdsRead, EveryKindTheWriterMakesReadsAsTheTestsReaderReadsIt) {
    for (const WrittenKind& c : kWrittenKinds) {
        SCOPED_TRACE(c.name);
        const std::string bytes = writtenFile(c.format);
        const DdsFileInfo info = readDdsInfo(spanOf(bytes));
        ASSERT_TRUE(info.ok) << info.error;
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.kindName, c.name);
        EXPECT_EQ(info.width, 37u);
        EXPECT_EQ(info.height, 21u);
        EXPECT_EQ(info.fileBytes, bytes.size());
        const DdsImage expected = readDds(bytes);
        ASSERT_TRUE(expected.ok) << expected.error;
        ASSERT_EQ(info.levels.size(), 6u);
        ASSERT_EQ(expected.levels.size(), 6u);
        EXPECT_EQ(info.levels.back().offset + info.levels.back().bytes, bytes.size());
        for (std::size_t level = 0; level < info.levels.size(); ++level) {
            const RgbaPicture picture = decodeDdsLevel(spanOf(bytes), info, level);
            EXPECT_EQ(picture.width, expected.levels[level].width) << "level " << level;
            EXPECT_EQ(picture.height, expected.levels[level].height) << "level " << level;
            EXPECT_EQ(picture.rgba, expected.levels[level].rgba) << "level " << level;
        }
        EXPECT_TRUE(decodeDdsLevel(spanOf(bytes), info, info.levels.size()).rgba.empty());
    }
}

TEST(DdsRead, EveryKindTheWriterMakesDecodesAsPillowDecodesIt) {
    const std::string python = pythonWithPillow();
    if (python.empty()) GTEST_SKIP() << "Pillow (python3-pil) is not installed";
    TempFolder folder;
    for (const WrittenKind& c : kWrittenKinds) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.path + c.name + ".dds";
        writeFileBytes(path, writtenFile(c.format, 64, 48));
        const std::string pillow = pillowRgba(python, path, folder.path + "pixels.raw");
        ASSERT_EQ(pillow.size(), 64u * 48 * 4) << "Pillow did not decode the file";
        const DdsFile file = openDdsFile(path);
        ASSERT_TRUE(file.info.ok) << file.info.error;
        const RgbaPicture top = decodeDdsLevel(file.bytes, file.info, 0);
        EXPECT_TRUE(std::equal(top.rgba.begin(), top.rgba.end(), pillow.begin(), pillow.end(),
                               [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
    }
}

TEST(DdsRead, AFileCutShortKeepsTheLevelsBeforeTheCut) {
    const std::string whole = writtenFile(DdsFormat::Dxt5, 64, 64);
    const DdsFileInfo full = readDdsInfo(spanOf(whole));
    ASSERT_TRUE(full.ok);
    ASSERT_EQ(full.levels.size(), 7u);
    // Cut inside level 2: levels 0 and 1 stay, decoded as before.
    const std::string cut = whole.substr(0, full.levels[2].offset + full.levels[2].bytes - 1);
    const DdsFileInfo info = readDdsInfo(spanOf(cut));
    ASSERT_TRUE(info.ok) << info.error;
    ASSERT_EQ(info.levels.size(), 2u);
    EXPECT_EQ(decodeDdsLevel(spanOf(cut), info, 1).rgba, decodeDdsLevel(spanOf(whole), full, 1).rgba);
    EXPECT_TRUE(decodeDdsLevel(spanOf(cut), info, 2).rgba.empty());

    const std::string noData = whole.substr(0, full.levels[0].offset + full.levels[0].bytes - 1);
    EXPECT_EQ(readDdsInfo(spanOf(noData)).error, "The file ends before the first level's data");
}

// A header of 8 x 8 DXT1 with one level and its data, changed by each case.
std::string dxt1File() { return writtenFile(DdsFormat::Dxt1, 8, 8); }
std::string bc7File() { return writtenFile(DdsFormat::Bc7, 8, 8); }

void putWord(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

std::string withWord(std::string bytes, std::size_t at, std::uint32_t value) {
    putWord(bytes, at, value);
    return bytes;
}

std::string uncompressedHeader(std::uint32_t bits, std::uint32_t flags, std::uint32_t r, std::uint32_t g,
                               std::uint32_t b, std::uint32_t a) {
    std::string bytes = dxt1File().substr(0, 128);
    putWord(bytes, 80, flags);
    putWord(bytes, 84, 0);
    putWord(bytes, 88, bits);
    putWord(bytes, 92, r);
    putWord(bytes, 96, g);
    putWord(bytes, 100, b);
    putWord(bytes, 104, a);
    return bytes;
}

struct HostileCase {
    const char* what;
    std::string bytes;
    const char* error;
};

std::vector<HostileCase> hostileCases() {
    const std::string dxt1 = dxt1File(), bc7 = bc7File();
    return {
        {"empty", "", "Not a DDS file"},
        {"a PNG", "\x89PNG\r\n\x1a\n" + std::string(200, '\0'), "Not a DDS file"},
        {"magic only", "DDS ", "The file ends inside its header"},
        {"header cut", dxt1.substr(0, 127), "The file ends inside its header"},
        {"header size 0", withWord(dxt1, 4, 0), "The DDS header is damaged"},
        {"cube map", withWord(dxt1, 112, 0x200 | 0xFC00), "Cube maps are not supported"},
        {"volume caps", withWord(dxt1, 112, 0x200000), "Volume textures are not supported"},
        {"depth 4", withWord(withWord(dxt1, 8, 0x881007), 24, 4), "Volume textures are not supported"},
        {"width 0", withWord(dxt1, 16, 0), "The picture has no pixels"},
        {"height 0", withWord(dxt1, 12, 0), "The picture has no pixels"},
        {"unknown FourCC", withWord(dxt1, 84, 0x31495441), "The pixel format \"ATI1\" is not supported"},
        {"unprintable FourCC", withWord(dxt1, 84, 0x00000071), "The pixel format \"q???\" is not supported"},
        {"no FourCC, no RGB", withWord(dxt1, 80, 0x20000), "The pixel format of the file is not supported"},
        {"16-bit pixels", uncompressedHeader(16, 0x40, 0xF800, 0x7E0, 0x1F, 0) + std::string(128, '\0'),
         "Uncompressed pixels of 16 bits are not supported"},
        {"mask with a gap", uncompressedHeader(32, 0x40, 0xF0F000, 0xFF00, 0xFF, 0) + std::string(256, '\0'),
         "The pixel masks of the file are not supported"},
        {"mask beyond 24 bits", uncompressedHeader(24, 0x40, 0xFF000000, 0xFF00, 0xFF, 0) + std::string(256, '\0'),
         "The pixel masks of the file are not supported"},
        {"DX10 cut", bc7.substr(0, 140), "The file ends inside its header"},
        {"DX10 array of 6", withWord(bc7, 140, 6), "Texture arrays are not supported"},
        {"DX10 array of 0", withWord(bc7, 140, 0), "Texture arrays are not supported"},
        {"DX10 cube", withWord(bc7, 136, 0x4), "Cube maps are not supported"},
        {"DX10 volume", withWord(bc7, 132, 4), "Only two-dimensional textures are supported"},
        {"DX10 float pixels", withWord(bc7, 128, 2), "The DXGI format 2 is not supported"},
        {"width 2^31", withWord(withWord(dxt1, 16, 0x80000000), 12, 0x80000000),
         "The file ends before the first level's data"},
        {"sides 2^32 - 1", withWord(withWord(dxt1, 16, 0xFFFFFFFF), 12, 0xFFFFFFFF),
         "The file ends before the first level's data"},
        {"tall and thin", withWord(withWord(dxt1, 16, 1), 12, 0xFFFFFFFF), "The file ends before the first level's data"},
        {"no data", dxt1.substr(0, 128), "The file ends before the first level's data"},
        {"24-bit without data", uncompressedHeader(24, 0x40, 0xFF0000, 0xFF00, 0xFF, 0),
         "The file ends before the first level's data"},
    };
}

TEST(DdsRead, HostileHeadersAreRefusedInOneLine) {
    for (const HostileCase& c : hostileCases()) {
        const DdsFileInfo info = readDdsInfo(spanOf(c.bytes));
        EXPECT_FALSE(info.ok) << c.what;
        EXPECT_EQ(info.error, c.error) << c.what;
        EXPECT_TRUE(info.levels.empty()) << c.what;
        EXPECT_TRUE(decodeDdsLevel(spanOf(c.bytes), info, 0).rgba.empty()) << c.what;
    }
}

TEST(DdsRead, LyingCountsAndSizesAreNotBelieved) {
    const std::string dxt1 = dxt1File();
    // 8 x 8 has a chain of four levels; the file holds all four.
    EXPECT_EQ(readDdsInfo(spanOf(withWord(dxt1, 28, 65535))).levels.size(), 4u);
    EXPECT_EQ(readDdsInfo(spanOf(withWord(dxt1, 28, 0))).levels.size(), 1u);
    EXPECT_EQ(readDdsInfo(spanOf(withWord(dxt1, 28, 2))).levels.size(), 2u);
    // The linear size is not needed and not believed.
    const DdsFileInfo linear = readDdsInfo(spanOf(withWord(dxt1, 20, 0xFFFFFFFF)));
    ASSERT_TRUE(linear.ok) << linear.error;
    EXPECT_EQ(linear.levels[0].bytes, 32u);
    // A width far beyond the data with a chain that claims every level.
    const std::string wide = withWord(withWord(dxt1, 16, 0x7FFFFFFF), 28, 65535);
    EXPECT_FALSE(readDdsInfo(spanOf(wide)).ok);
    // A lying pitch on an uncompressed file.
    const std::string pixels = withWord(writtenFile(DdsFormat::Bgra32, 4, 4), 20, 3);
    const DdsFileInfo info = readDdsInfo(spanOf(pixels));
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(info.levels[0].bytes, 64u);
    // A place that does not match its kind is not decoded past the file.
    DdsFileInfo edited = readDdsInfo(spanOf(dxt1));
    edited.levels[0].width = 4096;
    EXPECT_TRUE(decodeDdsLevel(spanOf(dxt1), edited, 0).rgba.empty());
}

TEST(DdsRead, OtherWritersKindsDecodeToTheirPixels) {
    // 24-bit R8G8B8 (stored blue first) and 32-bit X8B8G8R8 with garbage in
    // the unused byte: two pixels each.
    struct Case {
        std::string header;
        std::string data;
        const char* name;
        std::vector<std::uint8_t> rgba;
    };
    const std::vector<Case> cases = {
        {uncompressedHeader(24, 0x40, 0xFF0000, 0xFF00, 0xFF, 0), "\x01\x02\x03\x04\x05\x06", "R8G8B8",
         {3, 2, 1, 255, 6, 5, 4, 255}},
        {uncompressedHeader(32, 0x40, 0xFF, 0xFF00, 0xFF0000, 0), "\x01\x02\x03\x99\x04\x05\x06\x77", "X8B8G8R8",
         {1, 2, 3, 255, 4, 5, 6, 255}},
        {uncompressedHeader(32, 0x41, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), "\x01\x02\x03\x99\x04\x05\x06\x77",
         "A8R8G8B8", {3, 2, 1, 0x99, 6, 5, 4, 0x77}},
        // The alpha mask counts only with the alpha flag.
        {uncompressedHeader(32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), "\x01\x02\x03\x99\x04\x05\x06\x77",
         "X8R8G8B8", {3, 2, 1, 255, 6, 5, 4, 255}},
        // A2B10G10R10: ten bits narrowed to their top eight, two widened.
        {uncompressedHeader(32, 0x41, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000), std::string("\xFF\x03\x00\x80", 4) +
         std::string("\x00\xFC\x0F\x40", 4), "RGBA 32-bit", {255, 0, 0, 170, 0, 255, 0, 85}},
    };
    for (const Case& c : cases) {
        std::string bytes = withWord(withWord(withWord(c.header, 16, 2), 12, 1), 28, 1) + c.data;
        const DdsFileInfo info = readDdsInfo(spanOf(bytes));
        ASSERT_TRUE(info.ok) << c.name << ": " << info.error;
        EXPECT_EQ(info.kindName, c.name);
        EXPECT_EQ(decodeDdsLevel(spanOf(bytes), info, 0).rgba, c.rgba) << c.name;
    }

    // DXT3: explicit 4-bit alpha over a four-colour block, even when the
    // first colour is not above the second (the top row takes index 3: a
    // third of the way to white, not DXT1's transparent black).
    std::string dxt3 = withWord(withWord(withWord(dxt1File().substr(0, 128), 84, 0x33545844), 16, 4), 12, 4);
    putWord(dxt3, 28, 1);
    const std::uint8_t block[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0};
    dxt3.append(reinterpret_cast<const char*>(block), 16);
    const DdsFileInfo info = readDdsInfo(spanOf(dxt3));
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(info.kindName, "DXT3");
    const RgbaPicture picture = decodeDdsLevel(spanOf(dxt3), info, 0);
    ASSERT_EQ(picture.rgba.size(), 64u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(picture.rgba[i * 4 + 3], i * 17) << i;
        EXPECT_EQ(picture.rgba[i * 4], i < 4 ? 170 : 0) << i;
    }
}

struct PathCase {
    const char* what;
    std::string path;
    const char* error;
};

TEST(DdsRead, OpeningRefusesWhatIsNotARegularReadableFileWithoutWaiting) {
    TempFolder folder;
    writeFileBytes(folder.path + "good.dds", dxt1File());
    writeFileBytes(folder.path + "locked.dds", dxt1File());
    ::chmod((folder.path + "locked.dds").c_str(), 0);
    ASSERT_EQ(::mkfifo((folder.path + "pipe.dds").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((folder.path + "folder.dds").c_str(), 0700), 0);
    for (const char* link : {"pipe", "folder", "gone"})
        ASSERT_EQ(::symlink((folder.path + link + ".dds").c_str(), (folder.path + "to-" + link + ".dds").c_str()), 0);
    writeFileBytes(folder.path + "empty.dds", "");

    std::vector<PathCase> cases = {
        {"missing", folder.path + "missing.dds", "The file does not exist"},
        {"dangling link", folder.path + "to-gone.dds", "The file does not exist"},
        {"below a file", folder.path + "good.dds/x.dds", "The file does not exist"},
        {"folder", folder.path + "folder.dds", "This is a folder, not a file"},
        {"link to a folder", folder.path + "to-folder.dds", "This is a folder, not a file"},
        {"FIFO", folder.path + "pipe.dds", "This is a pipe (FIFO), not a file"},
        {"link to a FIFO", folder.path + "to-pipe.dds", "This is a pipe (FIFO), not a file"},
        {"device", "/dev/zero", "This is not a regular file"},
        {"empty", folder.path + "empty.dds", "Not a DDS file"},
    };
    // The superuser reads whatever the permission bits say.
    if (::geteuid() != 0)
        cases.push_back({"unreadable", folder.path + "locked.dds", "The file cannot be read (permission denied)"});
    for (const PathCase& c : cases) {
        const DdsFile file = openDdsFile(c.path);
        EXPECT_FALSE(file.info.ok) << c.what;
        EXPECT_EQ(file.info.error, c.error) << c.what;
    }

    const DdsFile good = openDdsFile(folder.path + "good.dds");
    ASSERT_TRUE(good.info.ok) << good.info.error;
    EXPECT_EQ(good.bytes.size(), good.info.fileBytes);
    EXPECT_EQ(decodeDdsLevel(good.bytes, good.info, 3).rgba.size(), 4u);
}

TEST(DdsRead, AMappingOutlivesTheFileRecordThatMadeIt) {
    TempFolder folder;
    writeFileBytes(folder.path + "a.dds", dxt1File());
    std::shared_ptr<const void> mapping;
    std::span<const std::uint8_t> bytes;
    DdsFileInfo info;
    {
        const DdsFile file = openDdsFile(folder.path + "a.dds");
        mapping = file.mapping;
        bytes = file.bytes;
        info = file.info;
    }
    std::remove((folder.path + "a.dds").c_str());
    EXPECT_EQ(decodeDdsLevel(bytes, info, 0).rgba.size(), 8u * 8 * 4);
}

TEST(DdsThumbnail, TakesTheSmallestLevelTheFileHoldsThatCoversTheSize) {
    const std::string whole = writtenFile(DdsFormat::Dxt1, 64, 16);  // 64x16 32x8 16x4 8x2 4x1 2x1 1x1
    const DdsFileInfo info = readDdsInfo(spanOf(whole));
    ASSERT_EQ(info.levels.size(), 7u);
    const std::pair<std::uint32_t, std::size_t> cases[] = {{1, 6}, {2, 3}, {4, 2}, {8, 1}, {16, 0}, {17, 0}, {4096, 0}};
    for (const auto& [size, level] : cases) EXPECT_EQ(thumbnailSourceLevel(info, size), level) << size;
    // Cut after level 1: level 2 would do for 4, but only 0 and 1 are there.
    const std::string cut = whole.substr(0, info.levels[2].offset);
    EXPECT_EQ(thumbnailSourceLevel(readDdsInfo(spanOf(cut)), 4), 1u);
}

}  // namespace
