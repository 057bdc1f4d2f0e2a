// The direct PNG decode: for every kind it takes, the pixels and depth
// FreeImage's decode and 32-bit conversion give, byte for byte; the kinds
// it leaves to FreeImage; rows reported as they become final; errors.
#include <gtest/gtest.h>

#include <FreeImage.h>
#include <sys/stat.h>

#include <memory>

#include "engine/image.h"
#include "engine/image_file.h"
#include "engine/png_decode.h"
#include "png_kinds.h"
#include "test_support.h"

namespace {

struct Decoded {
    int depth = 0;
    std::vector<std::uint8_t> pixels;  // BGRA rows top-down
    std::vector<std::uint32_t> reports;  // rows decoded, as told
    // Each "about to write" announcement: the rows it names, and whether
    // any byte of the rows beyond those announced before had already changed.
    std::vector<std::uint32_t> announced;
    bool writtenBeforeAnnounced = false;
};

Decoded decodeDirectly(const std::string& path, std::uint32_t width, std::uint32_t height) {
    Decoded decoded;
    constexpr std::uint8_t kUntouched = 0xAB;
    decoded.pixels.assign(std::size_t{width} * height * 4, kUntouched);
    const std::size_t rowBytes = std::size_t{width} * 4;
    RowHooks hooks;
    hooks.beforeWriting = [&](std::uint32_t rows) {
        const std::size_t from = (decoded.announced.empty() ? 0 : decoded.announced.back()) * rowBytes;
        for (std::size_t at = from; at < decoded.pixels.size(); ++at)
            if (decoded.pixels[at] != kUntouched) decoded.writtenBeforeAnnounced = true;
        decoded.announced.push_back(rows);
    };
    hooks.decoded = [&](std::uint32_t rows) { decoded.reports.push_back(rows); };
    decoded.depth = decodePngIntoBgra(path, decoded.pixels.data(), width, height, hooks);
    return decoded;
}

// What the general path has after its decode and the 32-bit conversion.
struct FreeImageResult {
    int depth = 0;
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // BGRA rows top-down
};

FreeImageResult decodeWithFreeImage(const std::string& path) {
    FreeImageResult result;
    const ImagePtr loaded = loadImageFile(FIF_PNG, path);
    if (!loaded) return result;
    result.depth = imageBpp(loaded);
    const ImagePtr bgra(FreeImage_ConvertTo32Bits(loaded.get()));
    if (!bgra) return result;
    result.width = FreeImage_GetWidth(bgra.get());
    result.height = FreeImage_GetHeight(bgra.get());
    for (std::uint32_t y = result.height; y-- > 0;) {
        const BYTE* line = FreeImage_GetScanLine(bgra.get(), static_cast<int>(y));
        result.pixels.insert(result.pixels.end(), line, line + std::size_t{result.width} * 4);
    }
    return result;
}

// True when the direct decode took the file; it must then agree with
// FreeImage exactly.
bool takenAndExact(const std::string& path) {
    const FreeImageResult expected = decodeWithFreeImage(path);
    if (expected.width == 0) return false;
    const Decoded decoded = decodeDirectly(path, expected.width, expected.height);
    if (decoded.depth == 0) return false;
    EXPECT_EQ(decoded.depth, expected.depth);
    EXPECT_TRUE(decoded.pixels == expected.pixels) << "pixels differ from FreeImage's";
    return true;
}

struct KindCase {
    PngKind kind;
    bool taken;
};

const KindCase kKindCases[] = {
    {{"grey 1", PNG_COLOR_TYPE_GRAY, 1}, true},
    {{"grey 2", PNG_COLOR_TYPE_GRAY, 2}, true},
    {{"grey 4", PNG_COLOR_TYPE_GRAY, 4}, true},
    {{"grey 8", PNG_COLOR_TYPE_GRAY, 8}, true},
    {{"grey 8, gamma", PNG_COLOR_TYPE_GRAY, 8, false, 0.45455}, true},
    {{"grey 8, transparent grey", PNG_COLOR_TYPE_GRAY, 8, true}, true},
    {{"grey 8, interlaced", PNG_COLOR_TYPE_GRAY, 8, false, 0, true}, true},
    {{"grey with alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8}, true},
    {{"grey with alpha, gamma", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0.45455}, true},
    {{"grey with alpha, interlaced", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0, true}, true},
    {{"colour", PNG_COLOR_TYPE_RGB, 8}, true},
    {{"colour, transparent colour", PNG_COLOR_TYPE_RGB, 8, true}, true},
    {{"colour, transparent colour, gamma 1", PNG_COLOR_TYPE_RGB, 8, true, 1.0}, true},
    {{"colour, interlaced", PNG_COLOR_TYPE_RGB, 8, false, 0, true}, true},
    {{"colour with alpha", PNG_COLOR_TYPE_RGB_ALPHA, 8}, true},
    {{"colour with alpha, gamma 0.25", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 0.25}, true},
    {{"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false, 0, false, 2}, true},
    {{"palette 2, transparency", PNG_COLOR_TYPE_PALETTE, 2, true, 0, false, 4}, true},
    {{"palette 4 of 5 entries, transparency", PNG_COLOR_TYPE_PALETTE, 4, true, 0, false, 5}, true},
    {{"palette 8, transparency, gamma 1", PNG_COLOR_TYPE_PALETTE, 8, true, 1.0, false, 10}, true},
    {{"palette 8, gamma 0.3", PNG_COLOR_TYPE_PALETTE, 8, false, 0.3, false, 10}, true},
    {{"palette 2, interlaced, transparency", PNG_COLOR_TYPE_PALETTE, 2, true, 0, true, 3}, true},
    // FreeImage keeps 16-bit samples for the stages that use them.
    {{"colour 16", PNG_COLOR_TYPE_RGB, 16}, false},
    {{"grey 16", PNG_COLOR_TYPE_GRAY, 16}, false},
    {{"colour with alpha 16", PNG_COLOR_TYPE_RGB_ALPHA, 16}, false},
    // FreeImage gamma-corrects low-bit grey before widening it, and matches a
    // transparent low-bit grey against the widened samples.
    {{"grey 4, gamma", PNG_COLOR_TYPE_GRAY, 4, false, 0.45455}, false},
    {{"grey 1, transparent grey", PNG_COLOR_TYPE_GRAY, 1, true}, false},
    {{"grey 2, transparent grey", PNG_COLOR_TYPE_GRAY, 2, true}, false},
    {{"grey 4, transparent grey", PNG_COLOR_TYPE_GRAY, 4, true}, false},
    // Indices past the palette: FreeImage shows them as grey.
    {{"palette 8, indices past the palette", PNG_COLOR_TYPE_PALETTE, 8, false, 0, false, 3, true}, false},
};

}  // namespace

TEST(PngDecode, EveryKindTakenGivesFreeImagesPixelsAndDepth) {
    TempFolder folder;
    for (const KindCase& c : kKindCases) {
        SCOPED_TRACE(c.kind.name);
        const std::string path = folder.path + "kind.png";
        ASSERT_TRUE(writePngKind(path, c.kind, 37, 23));
        EXPECT_EQ(takenAndExact(path), c.taken);
    }
}

TEST(PngDecode, EveryPngSuiteImageTakenGivesFreeImagesPixels) {
    int taken = 0;
    for (const std::string& name : listFolder(pngSuitePath(""))) {
        if (!name.ends_with(".png")) continue;
        SCOPED_TRACE(name);
        if (takenAndExact(pngSuitePath(name))) ++taken;
    }
    EXPECT_GE(taken, 30);  // every 8-bit and lower kind of the suite but low-bit grey with gamma or tRNS
}

// Rows are announced before any byte of them is written (the caller's
// other core may still be touching their pages) and reported once final
// (its other core compresses them then).
TEST(PngDecode, RowsAreAnnouncedBeforeTheyAreWrittenAndReportedWhenFinal) {
    TempFolder folder;
    const std::string plain = folder.path + "plain.png", interlaced = folder.path + "interlaced.png";
    const std::string palette = folder.path + "palette.png";
    ASSERT_TRUE(writePngKind(plain, {"colour", PNG_COLOR_TYPE_RGB, 8}, 9, 23));
    ASSERT_TRUE(writePngKind(interlaced, {"colour", PNG_COLOR_TYPE_RGB, 8, false, 0, true}, 9, 23));
    ASSERT_TRUE(writePngKind(palette, {"palette", PNG_COLOR_TYPE_PALETTE, 4, false, 0, false, 7}, 9, 23));
    for (const std::string& path : {plain, palette}) {
        const Decoded decoded = decodeDirectly(path, 9, 23);
        EXPECT_EQ(decoded.announced, (std::vector<std::uint32_t>{4, 8, 12, 16, 20, 23}));
        EXPECT_FALSE(decoded.writtenBeforeAnnounced);
        EXPECT_EQ(decoded.reports, (std::vector<std::uint32_t>{4, 8, 12, 16, 20, 23}));
    }
    // No row of an interlaced picture is final before the last pass.
    const Decoded decoded = decodeDirectly(interlaced, 9, 23);
    EXPECT_EQ(decoded.announced, std::vector<std::uint32_t>{23});
    EXPECT_EQ(decoded.reports, std::vector<std::uint32_t>{23});
}

TEST(PngDecode, FilesItCannotDecodeAreLeftToTheGeneralPath) {
    TempFolder folder;
    const std::string good = folder.path + "good.png";
    ASSERT_TRUE(writePngKind(good, {"colour", PNG_COLOR_TYPE_RGB, 8}, 64, 64));
    const std::string bytes = readFileBytes(good);
    const std::string truncated = folder.path + "truncated.png";
    writeFileBytes(truncated, bytes.substr(0, bytes.size() / 2));
    std::string damaged = bytes;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
    writeFileBytes(folder.path + "damaged.png", damaged);
    ASSERT_EQ(::mkfifo((folder.path + "fifo.png").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((folder.path + "folder.png").c_str(), 0700), 0);
    EXPECT_EQ(decodeDirectly(good, 64, 64).depth, 24);
    EXPECT_EQ(decodeDirectly(good, 64, 63).depth, 0) << "a size other than the target's";
    for (const char* name : {"truncated.png", "damaged.png", "fifo.png", "folder.png", "missing.png"}) {
        SCOPED_TRACE(name);
        const Decoded decoded = decodeDirectly(folder.path + name, 64, 64);
        EXPECT_EQ(decoded.depth, 0);
        EXPECT_TRUE(decoded.reports.empty() || decoded.reports.back() < 64) << "a failed decode never reports every row";
    }
}
