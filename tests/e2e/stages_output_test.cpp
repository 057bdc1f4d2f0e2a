// Every transform stage seen where the user sees it: in the decoded DDS
// file written by build/tovrel. Fixtures are small pictures whose
// orientation and colours are visible block by block, so DXT1 keeps them.
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <string>
#include <vector>

#include "output_check.h"

namespace {

const RgbaPixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};
const RgbaPixel kBlack{0, 0, 0, 255}, kCyan{0, 255, 255, 255}, kMagenta{255, 0, 255, 255}, kYellow{255, 255, 0, 255};

// Top left, top right, bottom left, bottom right.
using Quadrants = std::array<RgbaPixel, 4>;
const Quadrants kSourceQuadrants{kRed, kGreen, kBlue, kWhite};

PixelSource quadrantPicture(int width, int height, const Quadrants& colours) {
    return [=](int x, int y) { return colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]; };
}

// A 32-bit opaque quadrant picture of the given size at work + name.
std::string writeQuadrants(const TempFolder& work, int width, int height, const std::string& name = "quadrants.png") {
    const std::string path = work.path + name;
    EXPECT_TRUE(writeRgbaPng(path, width, height, quadrantPicture(width, height, kSourceQuadrants)));
    return path;
}

int roundUpToBlock(int v) { return (v + 3) / 4 * 4; }
int roundDownToBlock(int v) { return v / 4 * 4; }

// The part of quadrant q (0 = top left .. 3 = bottom right) of a width x
// height image that lies at least `margin` pixels inside it, cut to whole
// DXT blocks: there a resampled or rotated picture is still flat.
Rect quadrantCore(int width, int height, int q, int margin) {
    const int left = q % 2 == 0 ? 0 : width / 2, right = q % 2 == 0 ? width / 2 : width;
    const int top = q < 2 ? 0 : height / 2, bottom = q < 2 ? height / 2 : height;
    const int x0 = roundUpToBlock(left + margin), x1 = roundDownToBlock(right - margin);
    const int y0 = roundUpToBlock(top + margin), y1 = roundDownToBlock(bottom - margin);
    return {x0, y0, x1 - x0, y1 - y0};
}

void expectQuadrants(const DdsImage& dds, const Quadrants& expected, int margin = 0) {
    static const char* const kNames[] = {"top left", "top right", "bottom left", "bottom right"};
    for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(regionIs(dds, quadrantCore(ddsWidth(dds), ddsHeight(dds), q, margin), expected[q])) << kNames[q];
}

int pixelsThatDiffer(const DdsImage& a, const DdsImage& b) {
    if (a.header.width != b.header.width || a.header.height != b.header.height) return -1;
    int differ = 0;
    for (int y = 0; y < ddsHeight(a); ++y)
        for (int x = 0; x < ddsWidth(a); ++x)
            if (ddsPixel(a, x, y) != ddsPixel(b, x, y)) ++differ;
    return differ;
}

}  // namespace

// ---------------------------------------------------------------------------
// Geometry and colour on the quadrant picture (red, green / blue, white):
// where each colour lands and what it becomes.

struct QuadrantCase {
    const char* name;
    std::vector<std::string> options;
    int width;
    int height;
    Quadrants expected;
};

void PrintTo(const QuadrantCase& c, std::ostream* out) { *out << c.name; }

class QuadrantOutput : public testing::TestWithParam<QuadrantCase> {};

TEST_P(QuadrantOutput, ColoursLandWhereExpected) {
    const QuadrantCase& c = GetParam();
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeQuadrants(work, 64, 32), c.options);
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(out.files, std::vector<std::string>{"quadrants.dds"});
    ASSERT_EQ(ddsWidth(out.dds), c.width);
    ASSERT_EQ(ddsHeight(out.dds), c.height);
    expectQuadrants(out.dds, c.expected);
}

// Positive angles turn counter-clockwise, as FreeImage does.
INSTANTIATE_TEST_SUITE_P(
    Stages, QuadrantOutput,
    testing::Values(QuadrantCase{"NoStage", {}, 64, 32, kSourceQuadrants},
                    QuadrantCase{"Rotation90", {"--rotation=90"}, 32, 64, {kGreen, kWhite, kRed, kBlue}},
                    QuadrantCase{"Rotation180", {"--rotation=180"}, 64, 32, {kWhite, kBlue, kGreen, kRed}},
                    QuadrantCase{"Rotation270", {"--rotation=270"}, 32, 64, {kBlue, kRed, kWhite, kGreen}},
                    QuadrantCase{"FlipHorizontal", {"--flip-horizontal"}, 64, 32, {kGreen, kRed, kWhite, kBlue}},
                    QuadrantCase{"FlipVertical", {"--flip-vertical"}, 64, 32, {kBlue, kWhite, kRed, kGreen}},
                    // Flips come after rotation: a quarter turn, then the
                    // mirror of the turned picture.
                    QuadrantCase{"Rotation90ThenFlipHorizontal",
                                 {"--rotation=90", "--flip-horizontal"}, 32, 64, {kWhite, kGreen, kBlue, kRed}},
                    QuadrantCase{"Invert", {"--invert"}, 64, 32, {kCyan, kMagenta, kYellow, kBlack}},
                    QuadrantCase{"InvertTwiceIsNotAStage", {"--invert", "--invert"}, 64, 32,
                                 {kCyan, kMagenta, kYellow, kBlack}},
                    QuadrantCase{"InvertAfterAHalfTurn", {"--invert", "--rotation=180"}, 64, 32,
                                 {kBlack, kYellow, kMagenta, kCyan}}),
    [](const testing::TestParamInfo<QuadrantCase>& info) { return std::string(info.param.name); });

TEST(RotationOutput, BothFlipsEqualAHalfTurn) {
    TempFolder work;
    // Not symmetric in any way: a gradient under the quadrants.
    const std::string input = work.path + "asymmetric.png";
    ASSERT_TRUE(writeRgbaPng(input, 48, 24, [](int x, int y) {
        return RgbaPixel{static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 10),
                         static_cast<std::uint8_t>(x < 12 && y < 8 ? 255 : 40), 255};
    }));
    const ToolOutput plain = convertWithTool(work, input, {});
    ASSERT_TRUE(convertedOneFile(plain));
    const std::string outFile = work.path + "out/asymmetric.dds";
    const std::string plainBytes = readFileBytes(outFile);
    const ToolOutput halfTurn = convertWithTool(work, input, {"--rotation=180"});
    ASSERT_TRUE(convertedOneFile(halfTurn));
    const std::string halfTurnBytes = readFileBytes(outFile);
    const ToolOutput flipped = convertWithTool(work, input, {"--flip-horizontal", "--flip-vertical"});
    ASSERT_TRUE(convertedOneFile(flipped));
    const std::string flippedBytes = readFileBytes(outFile);

    EXPECT_EQ(pixelsThatDiffer(halfTurn.dds, flipped.dds), 0);
    EXPECT_EQ(halfTurnBytes, flippedBytes);
    EXPECT_NE(halfTurnBytes, plainBytes);
    // The bright blue corner moved from the top left to the bottom right.
    auto blue = [](const RgbaPixel& p) { return p[2] > 200; };
    EXPECT_EQ(boundsWhere(plain.dds, blue), (Rect{0, 0, 12, 8}));
    EXPECT_EQ(boundsWhere(flipped.dds, blue), (Rect{36, 16, 12, 8}));
}

// The enlarged rotation shows the whole picture; what it uncovers takes
// the background colour, opaque in a 24-bit picture and fully transparent
// in a 32-bit one. (FreeImage writes a 32-bit bitmap without any
// translucent pixel as an RGB PNG, so the 32-bit fixture is translucent,
// and its alpha of 200 makes the file DXT5, which keeps that alpha and the
// colour under the transparent corners.)
TEST(RotationOutput, FortyFiveDegreesFillsTheCornersWithTheBackColour) {
    struct Case {
        int bpp;
        RgbaPixel corner;
        RgbaPixel grey;
    };
    for (const Case& c : {Case{24, {255, 128, 0, 255}, {128, 128, 128, 255}},
                          Case{32, {255, 128, 0, 0}, {128, 128, 128, 200}}}) {
        const RgbaPixel grey = c.grey;
        SCOPED_TRACE(c.bpp);
        TempFolder work;
        const std::string input = work.path + "grey.png";
        const PixelSource greyPixel = [&](int, int) { return RgbaPixel{128, 128, 128, 200}; };
        ASSERT_TRUE(c.bpp == 24 ? writeRgbPicture(input, FIF_PNG, 64, 64, greyPixel)
                                : writeRgbaPng(input, 64, 64, greyPixel));
        const ToolOutput out = convertWithTool(work, input, {"--rotation=45", "--rotation-back-color=FF8000"});
        ASSERT_TRUE(convertedOneFile(out));
        const int w = ddsWidth(out.dds), h = ddsHeight(out.dds);
        EXPECT_EQ(w, h);
        EXPECT_NEAR(w, 64 * std::sqrt(2.0), 2.0);
        for (const Rect corner : {Rect{0, 0, 8, 8}, Rect{w - 8, 0, 8, 8}, Rect{0, h - 8, 8, 8}, Rect{w - 8, h - 8, 8, 8}})
            EXPECT_TRUE(regionIs(out.dds, corner, c.corner));
        EXPECT_TRUE(regionIs(out.dds, {w / 2 - 16, h / 2 - 16, 32, 32}, grey));
        // Near the middle of each edge the picture's corner reaches out.
        for (const auto& [x, y] : {std::pair{w / 2, 4}, std::pair{4, h / 2}, std::pair{w / 2, h - 5}, std::pair{w - 5, h / 2}})
            EXPECT_TRUE(isNear(ddsPixel(out.dds, x, y), grey, 40)) << x << "," << y << " " << describe(ddsPixel(out.dds, x, y));
    }
}

TEST(RotationOutput, AboutTheCentreKeepsTheSize) {
    TempFolder work;
    const std::string input = writeQuadrants(work, 64, 32);
    const ToolOutput plain = convertWithTool(work, input, {});
    ASSERT_TRUE(convertedOneFile(plain));
    const ToolOutput out = convertWithTool(work, input, {"--rotation-type=ADVANCED", "--rotation=45"});
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(ddsWidth(out.dds), 64);
    EXPECT_EQ(ddsHeight(out.dds), 32);
    EXPECT_GT(pixelsThatDiffer(plain.dds, out.dds), 64 * 32 / 4);
    // Mirrored fill, not a background: nothing transparent, nothing black.
    EXPECT_EQ(countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return p[3] != 255; }), 0);
}

// 0, 360, negative and larger angles switch rotation on but leave the
// picture as decoded, even its depth: a palette picture with transparency
// keeps the transparency that a conversion to 24 bits would lose.
TEST(RotationOutput, AnglesOutsideTheOpenRangeLeaveThePictureUntouched) {
    TempFolder work;
    const std::string input = work.path + "palette.png";
    writeFileBytes(input, readFileBytes(pngSuitePath("ftbbn3p08.png")));
    const ToolOutput plain = convertWithTool(work, input, {});
    ASSERT_TRUE(convertedOneFile(plain));
    const std::string plainBytes = readFileBytes(work.path + "out/palette.dds");
    ASSERT_GT(countWhere(plain.dds, wholeImage(plain.dds), [](const RgbaPixel& p) { return p[3] == 0; }), 0);
    for (const char* angle : {"0", "360", "-90", "-360", "400"}) {
        SCOPED_TRACE(angle);
        const ToolOutput out = convertWithTool(work, input, {std::string("--rotation=") + angle});
        ASSERT_TRUE(convertedOneFile(out));
        EXPECT_EQ(out.dds.header.width, plain.dds.header.width);
        EXPECT_EQ(out.dds.header.height, plain.dds.header.height);
        EXPECT_EQ(readFileBytes(work.path + "out/palette.dds"), plainBytes);
    }
}

// ---------------------------------------------------------------------------
// Colour correction on four grey levels.

namespace {

const std::array<int, 4> kGreyLevels{40, 100, 160, 220};

struct Correction {
    int brightness = 0;
    int contrast = 0;
    double gamma = 1.0;
    bool invert = false;
};

// FreeImage's combined lookup: contrast about 128, then brightness as a
// factor, then gamma, clamped once at the end, then the inversion. (The
// levels below keep every step positive.)
RgbaPixel corrected(int level, const Correction& c) {
    double v = 128 + (level - 128) * (100.0 + c.contrast) / 100.0;
    v = v * (100.0 + c.brightness) / 100.0;
    v = 255.0 * std::pow(v / 255.0, 1.0 / c.gamma);
    auto out = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    if (c.invert) out = static_cast<std::uint8_t>(255 - out);
    return {out, out, out, 255};
}

}  // namespace

struct CorrectionCase {
    const char* name;
    std::vector<std::string> options;
    Correction correction;
};

void PrintTo(const CorrectionCase& c, std::ostream* out) { *out << c.name; }

class ColourCorrectionOutput : public testing::TestWithParam<CorrectionCase> {};

TEST_P(ColourCorrectionOutput, GreyLevelsMoveByTheCorrection) {
    const CorrectionCase& c = GetParam();
    TempFolder work;
    Quadrants levels, expected;
    for (int q = 0; q < 4; ++q) {
        const auto v = static_cast<std::uint8_t>(kGreyLevels[q]);
        levels[q] = {v, v, v, 255};
        expected[q] = corrected(kGreyLevels[q], c.correction);
    }
    const std::string input = work.path + "levels.png";
    ASSERT_TRUE(writeRgbPicture(input, FIF_PNG, 64, 32, quadrantPicture(64, 32, levels)));
    const ToolOutput out = convertWithTool(work, input, c.options);
    ASSERT_TRUE(convertedOneFile(out));
    expectQuadrants(out.dds, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Adjustments, ColourCorrectionOutput,
    testing::Values(CorrectionCase{"Brighter", {"--brightness=50"}, {50, 0, 1.0, false}},
                    CorrectionCase{"Darker", {"--brightness=-60"}, {-60, 0, 1.0, false}},
                    CorrectionCase{"MoreContrast", {"--contrast=60"}, {0, 60, 1.0, false}},
                    CorrectionCase{"LessContrast", {"--contrast=-50"}, {0, -50, 1.0, false}},
                    CorrectionCase{"Gamma", {"--gamma=2.2"}, {0, 0, 2.2, false}},
                    CorrectionCase{"Inverted", {"--invert"}, {0, 0, 1.0, true}},
                    CorrectionCase{"AllAtOnce", {"--brightness=20", "--contrast=30", "--gamma=0.5", "--invert"},
                                   {20, 30, 0.5, true}}),
    [](const testing::TestParamInfo<CorrectionCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Greyscale, threshold and dither.

TEST(GreyscaleOutput, GreyFromTheColoursAndAlphaIsLost) {
    TempFolder work;
    const std::string input = work.path + "alpha.png";
    // The bottom right quadrant is fully transparent over an orange colour.
    const Quadrants colours{kRed, kGreen, kBlue, RgbaPixel{200, 100, 50, 0}};
    ASSERT_TRUE(writeRgbaPng(input, 64, 32, quadrantPicture(64, 32, colours)));
    const ToolOutput out = convertWithTool(work, input, {"--greyscale"});
    ASSERT_TRUE(convertedOneFile(out));
    auto grey = [](double red, double green, double blue) {
        const auto v = static_cast<std::uint8_t>(std::lround(0.2126 * red + 0.7152 * green + 0.0722 * blue));
        return RgbaPixel{v, v, v, 255};
    };
    expectQuadrants(out.dds, {grey(255, 0, 0), grey(0, 255, 0), grey(0, 0, 255), grey(200, 100, 50)});
}

// Counts of black and white pixels in a region; anything else is "other".
struct BlackWhite {
    int black = 0;
    int white = 0;
    int other = 0;
};

BlackWhite countBlackWhite(const DdsImage& dds, const Rect& region) {
    BlackWhite counts;
    for (int y = region.y; y < region.y + region.height; ++y)
        for (int x = region.x; x < region.x + region.width; ++x) {
            const RgbaPixel p = ddsPixel(dds, x, y);
            if (isNear(p, kBlack)) ++counts.black;
            else if (isNear(p, kWhite)) ++counts.white;
            else ++counts.other;
        }
    return counts;
}

// A horizontal grey ramp, 0 at the left to 255 at the right.
std::string writeGreyRamp(const TempFolder& work, int width, int height) {
    const std::string path = work.path + "ramp.png";
    EXPECT_TRUE(writeRgbaPng(path, width, height, [=](int x, int) {
        const auto v = static_cast<std::uint8_t>(x * 255 / (width - 1));
        return RgbaPixel{v, v, v, 255};
    }));
    return path;
}

TEST(ThresholdOutput, BlackBelowTheLevelWhiteFromIt) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeGreyRamp(work, 256, 16), {"--threshold=100"});
    ASSERT_TRUE(convertedOneFile(out));
    ASSERT_EQ(ddsWidth(out.dds), 256);
    const BlackWhite all = countBlackWhite(out.dds, wholeImage(out.dds));
    EXPECT_EQ(all.other, 0);
    EXPECT_TRUE(regionIs(out.dds, {0, 0, 96, 16}, kBlack));
    EXPECT_TRUE(regionIs(out.dds, {104, 0, 152, 16}, kWhite));
    const Rect white = boundsWhere(out.dds, [](const RgbaPixel& p) { return isNear(p, kWhite); });
    EXPECT_NEAR(white.x, 100, 2);
}

// Threshold levels are the low byte of the number: 356 is 100.
TEST(ThresholdOutput, OnlyTheLowByteOfTheLevelCounts) {
    TempFolder work;
    const std::string input = writeGreyRamp(work, 256, 8);
    const ToolOutput low = convertWithTool(work, input, {"--threshold=100"});
    ASSERT_TRUE(convertedOneFile(low));
    const std::string lowBytes = readFileBytes(work.path + "out/ramp.dds");
    const ToolOutput wrapped = convertWithTool(work, input, {"--threshold=356"});
    ASSERT_TRUE(convertedOneFile(wrapped));
    EXPECT_EQ(readFileBytes(work.path + "out/ramp.dds"), lowBytes);
}

class DitherAlgorithmOutput : public testing::TestWithParam<const char*> {};

// Only black and white, and the share of white follows the ramp.
TEST_P(DitherAlgorithmOutput, BlackAndWhiteFollowingTheGrey) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeGreyRamp(work, 128, 32), {std::string("--dither=") + GetParam()});
    ASSERT_TRUE(convertedOneFile(out));
    const BlackWhite all = countBlackWhite(out.dds, wholeImage(out.dds));
    EXPECT_EQ(all.other, 0);
    const BlackWhite dark = countBlackWhite(out.dds, {0, 0, 32, 32});
    const BlackWhite middle = countBlackWhite(out.dds, {48, 0, 32, 32});
    const BlackWhite light = countBlackWhite(out.dds, {96, 0, 32, 32});
    EXPECT_LT(dark.white, 32 * 32 * 3 / 10);
    EXPECT_GT(light.white, 32 * 32 * 7 / 10);
    EXPECT_GT(middle.white, 32 * 32 * 3 / 10);
    EXPECT_GT(middle.black, 32 * 32 * 3 / 10);
}

INSTANTIATE_TEST_SUITE_P(Algorithms, DitherAlgorithmOutput,
                         testing::Values("FS", "BAYER4", "BAYER8", "BAYER16", "CLUSTER6", "CLUSTER8", "CLUSTER16"));

// The threshold runs first; dithering its black-and-white result changes
// nothing, so the picture is the threshold's, not the dither's.
TEST(DitherOutput, AfterAThresholdKeepsTheThresholdPicture) {
    TempFolder work;
    const std::string input = writeGreyRamp(work, 128, 32);
    const ToolOutput threshold = convertWithTool(work, input, {"--threshold=100"});
    ASSERT_TRUE(convertedOneFile(threshold));
    const ToolOutput dither = convertWithTool(work, input, {"--dither=BAYER8"});
    ASSERT_TRUE(convertedOneFile(dither));
    const ToolOutput both = convertWithTool(work, input, {"--threshold=100", "--dither=BAYER8"});
    ASSERT_TRUE(convertedOneFile(both));
    EXPECT_EQ(countBlackWhite(both.dds, wholeImage(both.dds)).other, 0);
    EXPECT_EQ(pixelsThatDiffer(both.dds, threshold.dds), 0);
    EXPECT_GT(pixelsThatDiffer(both.dds, dither.dds), 128 * 32 / 10);
}

// ---------------------------------------------------------------------------
// 16 bits per channel.

namespace {

// The PNG decoded top-down to 8 bits per channel by its high bytes (grey
// pictures give grey), and the same after a given transform.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<RgbaPixel> pixels;
    RgbaPixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Picture highBytesOf(const std::string& path) {
    Picture picture;
    PicturePtr source(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    if (!source) return picture;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(source.get());
    picture.width = static_cast<int>(FreeImage_GetWidth(source.get()));
    picture.height = static_cast<int>(FreeImage_GetHeight(source.get()));
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(source.get(), picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            if (type == FIT_UINT16) {
                const auto v = static_cast<std::uint8_t>(reinterpret_cast<const WORD*>(row)[x] >> 8);
                picture.pixels.push_back({v, v, v, 255});
            } else {  // FIT_RGB16
                const FIRGB16& p = reinterpret_cast<const FIRGB16*>(row)[x];
                picture.pixels.push_back({static_cast<std::uint8_t>(p.red >> 8), static_cast<std::uint8_t>(p.green >> 8),
                                          static_cast<std::uint8_t>(p.blue >> 8), 255});
            }
        }
    }
    return picture;
}

// Drago's operator with gamma 1 and exposure 0, as deep colour pictures are
// mapped to 8 bits when no earlier stage has converted them.
Picture toneMappedOf(const std::string& path) {
    Picture picture;
    PicturePtr source(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    PicturePtr mapped(source ? FreeImage_TmoDrago03(source.get(), 1.0, 0.0) : nullptr);
    if (!mapped) return picture;
    picture.width = static_cast<int>(FreeImage_GetWidth(mapped.get()));
    picture.height = static_cast<int>(FreeImage_GetHeight(mapped.get()));
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(mapped.get(), picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const BYTE* p = row + 3 * x;
            picture.pixels.push_back({p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE], 255});
        }
    }
    return picture;
}

// White where the grey level reaches the threshold, black below.
Picture thresholded(Picture picture, int level) {
    for (RgbaPixel& p : picture.pixels) {
        const std::uint8_t v = p[0] >= level ? 255 : 0;
        p = {v, v, v, 255};
    }
    return picture;
}

Picture inverted(Picture picture) {
    for (RgbaPixel& p : picture.pixels)
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - p[c]);
    return picture;
}

// A quarter turn counter-clockwise: the top right corner becomes the top left.
Picture turnedQuarter(const Picture& picture) {
    Picture turned{picture.height, picture.width, {}};
    for (int y = 0; y < turned.height; ++y)
        for (int x = 0; x < turned.width; ++x) turned.pixels.push_back(picture.at(picture.width - 1 - y, x));
    return turned;
}

struct Error {
    double mean = 0;  // per colour channel
};

Error errorAgainst(const DdsImage& dds, const Picture& expected) {
    Error error;
    long long sum = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int e = std::abs(int{ddsPixel(dds, x, y)[c]} - int{expected.at(x, y)[c]});
                sum += e;
            }
    error.mean = static_cast<double>(sum) / (3.0 * expected.width * expected.height);
    return error;
}

}  // namespace

using Reference = Picture (*)(const std::string& path);

// The picture the output must show, and a plausible wrong one (a stage
// skipped or done in another order) it must be clearly further from.
struct DeepCase {
    const char* file;
    const char* name;
    std::vector<std::string> options;
    Reference expected;
    Reference wrong;
};

void PrintTo(const DeepCase& c, std::ostream* out) { *out << c.name; }

class DeepPngOutput : public testing::TestWithParam<DeepCase> {};

TEST_P(DeepPngOutput, MatchesTheEightBitReference) {
    const DeepCase& c = GetParam();
    TempFolder work;
    const std::string input = work.path + "deep.png";
    writeFileBytes(input, readFileBytes(pngSuitePath(c.file)));
    const Picture expected = c.expected(input);
    const Picture wrong = c.wrong(input);
    ASSERT_FALSE(expected.pixels.empty());
    const ToolOutput out = convertWithTool(work, input, c.options);
    ASSERT_TRUE(convertedOneFile(out));
    ASSERT_EQ(ddsWidth(out.dds), expected.width);
    ASSERT_EQ(ddsHeight(out.dds), expected.height);
    EXPECT_EQ(countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return p[3] != 255; }), 0);
    const Error error = errorAgainst(out.dds, expected);
    const Error wrongError = errorAgainst(out.dds, wrong);
    // Smooth ramps, but in all three channels at once, which DXT1's colour
    // line per block follows only roughly: bound the mean, not the worst.
    EXPECT_LE(error.mean, 7.0);
    EXPECT_GT(wrongError.mean, 3 * error.mean);
}

Picture toneMappedInverted(const std::string& p) { return inverted(toneMappedOf(p)); }
Picture highBytesInverted(const std::string& p) { return inverted(highBytesOf(p)); }
Picture highBytesTurned(const std::string& p) { return turnedQuarter(highBytesOf(p)); }
Picture toneMappedTurned(const std::string& p) { return turnedQuarter(toneMappedOf(p)); }
Picture highBytesThresholded(const std::string& p) { return thresholded(highBytesOf(p), 128); }

// A deep colour picture is tone mapped before colour correction; a
// rotation brings it to 24 bits first (high bytes), so it is not tone
// mapped at all. 16-bit grey is corrected like 8-bit grey.
INSTANTIATE_TEST_SUITE_P(
    SixteenBits, DeepPngOutput,
    testing::Values(DeepCase{"basn2c16.png", "ColourPlain", {}, toneMappedOf, highBytesOf},
                    DeepCase{"basn2c16.png", "ColourInverted", {"--invert"}, toneMappedInverted, highBytesInverted},
                    DeepCase{"basn2c16.png", "ColourTurned", {"--rotation=90"}, highBytesTurned, toneMappedTurned},
                    DeepCase{"basn0g16.png", "GreyInverted", {"--invert"}, highBytesInverted, highBytesOf},
                    DeepCase{"basn0g16.png", "GreyTurned", {"--rotation=90"}, highBytesTurned, highBytesOf},
                    DeepCase{"basn0g16.png", "GreyThreshold", {"--threshold=128"}, highBytesThresholded, highBytesOf}),
    [](const testing::TestParamInfo<DeepCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Resizing: the output size, the name built from it, the proportions.

struct ResizeCase {
    const char* name;
    int inputWidth;
    int inputHeight;
    std::vector<std::string> options;
    int width;
    int height;
    Quadrants expected = kSourceQuadrants;
};

void PrintTo(const ResizeCase& c, std::ostream* out) { *out << c.name; }

class ResizeOutput : public testing::TestWithParam<ResizeCase> {};

TEST_P(ResizeOutput, SizeNameAndPictureFollow) {
    const ResizeCase& c = GetParam();
    TempFolder work;
    const std::string input = writeQuadrants(work, c.inputWidth, c.inputHeight);
    std::vector<std::string> options = c.options;
    options.push_back("--filename-mask=%bpp%_%width%x%height%.%ext%");
    const ToolOutput out = convertWithTool(work, input, options);
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(out.files, std::vector<std::string>{"32_" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".dds"});
    ASSERT_EQ(ddsWidth(out.dds), c.width);
    ASSERT_EQ(ddsHeight(out.dds), c.height);
    expectQuadrants(out.dds, c.expected, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Resize, ResizeOutput,
    testing::Values(
        ResizeCase{"HalfPercent", 100, 48, {"--width=50", "--height=50", "--width-unit=PERCENT", "--height-unit=PERCENT"}, 50, 24},
        ResizeCase{"Pixels", 64, 32, {"--width=80", "--height=48"}, 80, 48},
        ResizeCase{"KeepAspectLandscape", 200, 100, {"--width=80", "--height=70", "--keep-aspect-ratio"}, 80, 40},
        ResizeCase{"KeepAspectPortrait", 100, 200, {"--width=70", "--height=80", "--keep-aspect-ratio"}, 40, 80},
        // 150.5 rounds to even; the height follows the width: 150 / 1.505.
        ResizeCase{"KeepAspectPercentTiesToEven", 301, 200,
                   {"--width=50", "--height=50", "--width-unit=PERCENT", "--height-unit=PERCENT", "--keep-aspect-ratio"}, 150, 100},
        ResizeCase{"LargeImagesOnlyLeavesSmallerOnes", 64, 32,
                   {"--width=128", "--height=100", "--resize-type=LARGEIMAGES"}, 64, 32},
        ResizeCase{"LargeImagesOnlyShrinksWiderOnes", 200, 80,
                   {"--width=100", "--height=100", "--resize-type=LARGEIMAGES", "--keep-aspect-ratio"}, 100, 40},
        // The name gives the size after rotation and resizing.
        ResizeCase{"AfterAQuarterTurn", 128, 64,
                   {"--rotation=90", "--width=50", "--height=50", "--width-unit=PERCENT", "--height-unit=PERCENT"}, 32, 64,
                   {kGreen, kWhite, kRed, kBlue}}),
    [](const testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });
