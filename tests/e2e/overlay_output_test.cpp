// Frame and watermark seen in the decoded DDS file written by
// build/tovrel: band colours, mitred corners, opacity, where a text box or
// a picture lands, and what happens to transparency on the way.
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <string>
#include <vector>

#include "output_check.h"

namespace {

const RgbaPixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kYellow{255, 255, 0, 255};
const RgbaPixel kGrey{128, 128, 128, 255}, kWhite{255, 255, 255, 255}, kNavy{0, 0, 128, 255};

// A 24-bit picture of one colour.
std::string writeFlat(const TempFolder& work, const std::string& name, int width, int height, RgbaPixel colour,
                      FREE_IMAGE_FORMAT format = FIF_PNG) {
    const std::string path = work.path + name;
    EXPECT_TRUE(writeRgbPicture(path, format, width, height, [=](int, int) { return colour; }));
    return path;
}

bool isRed(const RgbaPixel& p) { return p[0] > 200 && p[1] < 60 && p[2] < 60; }
bool isWhite(const RgbaPixel& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }
bool isYellow(const RgbaPixel& p) { return p[0] > 200 && p[1] > 200 && p[2] < 80; }
bool isOpaque(const RgbaPixel& p) { return p[3] == 255; }
bool isClear(const RgbaPixel& p) { return p[3] == 0; }

const std::vector<std::string> kColouredFrame{
    "--fr-solid-left=16",  "--fr-solid-right=16",  "--fr-solid-top=16",  "--fr-solid-bottom=16",
    "--fr-solid-left-color=FF0000", "--fr-solid-right-color=00FF00", "--fr-solid-top-color=0000FF",
    "--fr-solid-bottom-color=FFFF00"};

}  // namespace

// ---------------------------------------------------------------------------
// The solid frame on a 128 x 96 grey picture, bands of 16 pixels.

TEST(FrameOutput, BandsAlongTheEdgesAndTheMiddleUntouched) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "grey.png", 128, 96, kGrey), kColouredFrame);
    ASSERT_TRUE(convertedOneFile(out));
    ASSERT_EQ(ddsWidth(out.dds), 128);
    ASSERT_EQ(ddsHeight(out.dds), 96);
    EXPECT_TRUE(regionIs(out.dds, {32, 0, 64, 16}, kBlue)) << "top";
    EXPECT_TRUE(regionIs(out.dds, {112, 32, 16, 32}, kGreen)) << "right";
    EXPECT_TRUE(regionIs(out.dds, {32, 80, 64, 16}, kYellow)) << "bottom";
    EXPECT_TRUE(regionIs(out.dds, {0, 32, 16, 32}, kRed)) << "left";
    EXPECT_TRUE(regionIs(out.dds, {16, 16, 96, 64}, kGrey)) << "inside";
}

// Each corner is split on its diagonal between the two bands that meet
// there: blocks on either side are pure band colour, and along the seam
// the two colours mix without the picture showing through.
TEST(FrameOutput, CornersAreMitred) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "grey.png", 128, 96, kGrey), kColouredFrame);
    ASSERT_TRUE(convertedOneFile(out));
    struct Side {
        const char* corner;
        Rect block;
        RgbaPixel colour;
    };
    const Side sides[] = {
        {"top left, top band", {12, 0, 4, 4}, kBlue},      {"top left, left band", {0, 12, 4, 4}, kRed},
        {"top right, top band", {112, 0, 4, 4}, kBlue},    {"top right, right band", {124, 12, 4, 4}, kGreen},
        {"bottom right, right band", {124, 80, 4, 4}, kGreen}, {"bottom right, bottom band", {112, 92, 4, 4}, kYellow},
        {"bottom left, left band", {0, 80, 4, 4}, kRed},  {"bottom left, bottom band", {12, 92, 4, 4}, kYellow},
    };
    for (const Side& side : sides) EXPECT_TRUE(regionIs(out.dds, side.block, side.colour)) << side.corner;
    // Top left: red meets blue, so green stays out of the whole corner.
    EXPECT_EQ(countWhere(out.dds, {0, 0, 16, 16}, [](const RgbaPixel& p) { return p[1] > 12; }), 0);
    // Bottom right: green meets yellow, so blue stays out.
    EXPECT_EQ(countWhere(out.dds, {112, 80, 16, 16}, [](const RgbaPixel& p) { return p[2] > 12; }), 0);
}

TEST(FrameOutput, OpacityBlendsTheBandsWithThePicture) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "grey.png", 128, 96, kGrey),
                                           {"--fr-solid-left=16", "--fr-solid-right=16", "--fr-solid-top=16",
                                            "--fr-solid-bottom=16", "--fr-solid-left-color=FF0000",
                                            "--fr-solid-right-color=FF0000", "--fr-solid-top-color=FF0000",
                                            "--fr-solid-bottom-color=FF0000", "--fr-solid-opacity=128"});
    ASSERT_TRUE(convertedOneFile(out));
    // 128 / 255 of red over grey 128.
    const RgbaPixel half{192, 64, 64, 255};
    EXPECT_TRUE(regionIs(out.dds, {0, 0, 128, 16}, half)) << "top, corners included";
    EXPECT_TRUE(regionIs(out.dds, {0, 80, 128, 16}, half)) << "bottom, corners included";
    EXPECT_TRUE(regionIs(out.dds, {0, 16, 16, 64}, half)) << "left";
    EXPECT_TRUE(regionIs(out.dds, {112, 16, 16, 64}, half)) << "right";
    EXPECT_TRUE(regionIs(out.dds, {16, 16, 96, 64}, kGrey)) << "inside";
}

// Bands wider than half the picture overlap; the bands drawn later (right,
// bottom, left) cover the earlier ones.
TEST(FrameOutput, OverlappingBandsLaterOnTop) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "grey.png", 64, 64, kGrey),
                                           {"--fr-solid-left=48", "--fr-solid-right=48", "--fr-solid-top=8",
                                            "--fr-solid-bottom=8", "--fr-solid-left-color=FF0000",
                                            "--fr-solid-right-color=00FF00", "--fr-solid-top-color=0000FF",
                                            "--fr-solid-bottom-color=FFFF00"});
    ASSERT_TRUE(convertedOneFile(out));
    // Where left and right overlap in the middle, the left band wins.
    EXPECT_TRUE(regionIs(out.dds, {24, 24, 16, 16}, kRed));
    EXPECT_EQ(countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return isNear(p, kGrey); }), 0);
}

// ---------------------------------------------------------------------------
// Transparency: kept through the stages that keep 32 bits, lost where a
// stage makes a 24-bit or a grey picture. Bottom right quarter transparent.

struct AlphaCase {
    const char* name;
    std::vector<std::string> options;
    bool transparencyKept;
};

void PrintTo(const AlphaCase& c, std::ostream* out) { *out << c.name; }

class AlphaOutput : public testing::TestWithParam<AlphaCase> {};

TEST_P(AlphaOutput, TransparentQuarterKeptOrLost) {
    const AlphaCase& c = GetParam();
    TempFolder work;
    const std::string input = work.path + "alpha.png";
    ASSERT_TRUE(writeRgbaPng(input, 128, 64, [](int x, int y) {
        return x >= 64 && y >= 32 ? RgbaPixel{40, 200, 90, 0} : RgbaPixel{90, 40, 200, 255};
    }));
    // "--wm-image=" in a case stands for a picture made here.
    std::vector<std::string> options = c.options;
    for (std::string& option : options)
        if (option == "--wm-image=") option += writeFlat(work, "mark.png", 8, 8, kYellow);
    const ToolOutput out = convertWithTool(work, input, options);
    ASSERT_TRUE(convertedOneFile(out));
    const Rect all = wholeImage(out.dds);
    const int pixels = all.width * all.height;
    if (c.transparencyKept) {
        EXPECT_NEAR(countWhere(out.dds, all, isClear), pixels / 4, pixels / 40);
        EXPECT_NEAR(countWhere(out.dds, all, isOpaque), pixels * 3 / 4, pixels / 40);
    } else {
        EXPECT_EQ(countWhere(out.dds, all, isOpaque), pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stages, AlphaOutput,
    testing::Values(AlphaCase{"NoStage", {}, true},
                    AlphaCase{"QuarterTurn", {"--rotation=90"}, true},
                    AlphaCase{"Flips", {"--flip-horizontal", "--flip-vertical"}, true},
                    AlphaCase{"Resize", {"--width=64", "--height=32"}, true},
                    AlphaCase{"ColourCorrection", {"--invert", "--brightness=10"}, true},
                    AlphaCase{"Frame", {"--fr-solid-left=4"}, false},
                    AlphaCase{"FrameOfNoWidth", {"--fr-solid-left=0"}, false},
                    AlphaCase{"TextWatermark", {"--wm-text=Mark"}, false},
                    AlphaCase{"PictureWatermark", {"--wm-image="}, false},
                    AlphaCase{"Greyscale", {"--greyscale"}, false},
                    AlphaCase{"Threshold", {"--threshold=128"}, false},
                    AlphaCase{"Dither", {"--dither=BAYER4"}, false}),
    [](const testing::TestParamInfo<AlphaCase>& info) { return std::string(info.param.name); });

// With no width the frame draws nothing, but the picture under it is the
// same, only opaque now.
TEST(FrameOutput, NoWidthKeepsTheColours) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "grey.png", 64, 32, kGrey), {"--fr-solid-left=0"});
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_TRUE(regionIs(out.dds, wholeImage(out.dds), kGrey));
}

// ---------------------------------------------------------------------------
// The text watermark: a red box (opaque back colour) with white text on a
// navy 256 x 128 picture, 4 pixels of padding so the box edges show pure
// red. Offsets 12 and 8 put the far edges on DXT block borders. (Not on
// pure blue: an encoder that picks a block's DXT1 end points by r + g + b
// turns a block of red and blue, equally bright, into one colour.)

namespace {

// Edges of the box that the case fixes, in pixels; -1 where the edge
// depends on the text's size. Right and bottom are exclusive.
struct Edges {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;
};

const std::vector<std::string> kRedBox{"--wm-text=Tovrel", "--wm-back-color=FF0000", "--wm-back-opacity=255",
                                       "--wm-text-padding=4", "--wm-text-x-offset=12", "--wm-text-y-offset=8"};

const std::vector<std::string> kGreenFrame20{"--fr-solid-left=20", "--fr-solid-right=20", "--fr-solid-top=20",
                                             "--fr-solid-bottom=20", "--fr-solid-left-color=00FF00",
                                             "--fr-solid-right-color=00FF00", "--fr-solid-top-color=00FF00",
                                             "--fr-solid-bottom-color=00FF00"};

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

struct TextBoxCase {
    const char* name;
    std::vector<std::string> options;
    Edges edges;
};

void PrintTo(const TextBoxCase& c, std::ostream* out) { *out << c.name; }

class TextBoxPlacement : public testing::TestWithParam<TextBoxCase> {};

TEST_P(TextBoxPlacement, BoxLandsAtItsPlace) {
    const TextBoxCase& c = GetParam();
    TempFolder work;
    const ToolOutput out =
        convertWithTool(work, writeFlat(work, "navy.png", 256, 128, kNavy), joined(kRedBox, c.options));
    ASSERT_TRUE(convertedOneFile(out));
    const Rect box = boundsWhere(out.dds, isRed);
    ASSERT_GT(box.width, 0) << "no red box";
    // A few letters of 14 points with 4 pixels of padding each side.
    EXPECT_GT(box.width, 30);
    EXPECT_LT(box.width, 100);
    EXPECT_GT(box.height, 16);
    EXPECT_LT(box.height, 40);
    if (c.edges.left >= 0) {
        EXPECT_EQ(box.x, c.edges.left);
    }
    if (c.edges.top >= 0) {
        EXPECT_EQ(box.y, c.edges.top);
    }
    if (c.edges.right >= 0) {
        EXPECT_EQ(box.x + box.width, c.edges.right);
    }
    if (c.edges.bottom >= 0) {
        EXPECT_EQ(box.y + box.height, c.edges.bottom);
    }
    // The box is solid: red all along its padding, white text inside it.
    EXPECT_TRUE(regionIs(out.dds, {box.x, box.y, box.width, 2}, kRed));
    EXPECT_TRUE(regionIs(out.dds, {box.x, box.y + box.height - 2, box.width, 2}, kRed));
    const Rect text = boundsWhere(out.dds, isWhite);
    EXPECT_GT(countWhere(out.dds, wholeImage(out.dds), isWhite), 30);
    EXPECT_GE(text.x, box.x + 4);
    EXPECT_GE(text.y, box.y + 4);
    EXPECT_LE(text.x + text.width, box.x + box.width - 4);
    EXPECT_LE(text.y + text.height, box.y + box.height - 4);
    // Outside the box the picture is untouched, apart from a frame.
    const int navy = countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return isNear(p, kNavy); });
    const int green = countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return isNear(p, kGreen); });
    EXPECT_EQ(navy + green + box.width * box.height, 256 * 128);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, TextBoxPlacement,
    testing::Values(
        TextBoxCase{"BottomRight", {}, {-1, -1, 256 - 12, 128 - 8}},
        TextBoxCase{"TopLeft", {"--wm-text-position=TOPLEFT"}, {12, 8, -1, -1}},
        TextBoxCase{"TopRight", {"--wm-text-position=TOPRIGHT"}, {-1, 8, 256 - 12, -1}},
        TextBoxCase{"BottomLeft", {"--wm-text-position=BOTTOMLEFT"}, {12, -1, -1, 128 - 8}},
        TextBoxCase{"Antialiased", {"--wm-text-antialiasing"}, {-1, -1, 256 - 12, 128 - 8}},
        // The frame's inside is the area: 20 pixels in from every edge.
        TextBoxCase{"InsideTheFrame", joined(kGreenFrame20, {"--wm-text-boundary=FRAME"}), {-1, -1, 256 - 20 - 12, 128 - 20 - 8}},
        TextBoxCase{"TopLeftInsideTheFrame", joined(kGreenFrame20, {"--wm-text-boundary=FRAME", "--wm-text-position=TOPLEFT"}),
                    {20 + 12, 20 + 8, -1, -1}},
        // Measured from the image edges, the box lies over the frame.
        TextBoxCase{"OverTheFrame", kGreenFrame20, {-1, -1, 256 - 12, 128 - 8}}),
    [](const testing::TestParamInfo<TextBoxCase>& info) { return std::string(info.param.name); });

// A quarter turn puts the box on its side, still placed from the bottom
// right.
TEST(TextWatermarkOutput, QuarterTurnStandsTheBoxOnItsSide) {
    TempFolder work;
    const std::string input = writeFlat(work, "navy.png", 256, 128, kNavy);
    const ToolOutput plain = convertWithTool(work, input, kRedBox);
    ASSERT_TRUE(convertedOneFile(plain));
    const ToolOutput turned = convertWithTool(work, input, joined(kRedBox, {"--wm-text-rotation=90"}));
    ASSERT_TRUE(convertedOneFile(turned));
    const Rect lying = boundsWhere(plain.dds, isRed), standing = boundsWhere(turned.dds, isRed);
    EXPECT_EQ(standing.width, lying.height);
    EXPECT_EQ(standing.height, lying.width);
    EXPECT_EQ(standing.x + standing.width, 256 - 12);
    EXPECT_EQ(standing.y + standing.height, 128 - 8);
}

// The default back opacity of 1 leaves the box all but invisible: only
// the text shows.
TEST(TextWatermarkOutput, DefaultBackOpacityShowsOnlyTheText) {
    TempFolder work;
    const ToolOutput out = convertWithTool(work, writeFlat(work, "navy.png", 256, 128, kNavy),
                                           {"--wm-text=Tovrel", "--wm-back-color=FF0000"});
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(boundsWhere(out.dds, isRed).width, 0);
    const Rect text = boundsWhere(out.dds, isWhite);
    ASSERT_GT(text.width, 0);
    EXPECT_LE(text.x + text.width, 256 - 10);
    EXPECT_LE(text.y + text.height, 128 - 10);
    EXPECT_GT(text.x, 256 / 2);
    EXPECT_GT(text.y, 128 / 2);
}

// ---------------------------------------------------------------------------
// The picture watermark: a 22 x 14 yellow picture on a blue 128 x 64 one.

struct PictureCase {
    const char* name;
    FREE_IMAGE_FORMAT format;
    std::vector<std::string> options;
    Rect place;
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

class PicturePlacement : public testing::TestWithParam<PictureCase> {};

TEST_P(PicturePlacement, ExactPlaceAndSize) {
    const PictureCase& c = GetParam();
    TempFolder work;
    // The name says nothing: the content decides the format.
    const std::string mark = writeFlat(work, "mark.picture", 22, 14, kYellow, c.format);
    std::vector<std::string> options{"--wm-image=" + mark};
    options.insert(options.end(), c.options.begin(), c.options.end());
    const ToolOutput out = convertWithTool(work, writeFlat(work, "blue.png", 128, 64, kBlue), options);
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(boundsWhere(out.dds, isYellow), c.place);
    EXPECT_TRUE(regionIs(out.dds, c.place, kYellow));
    const int blue = countWhere(out.dds, wholeImage(out.dds), [](const RgbaPixel& p) { return isNear(p, kBlue); });
    EXPECT_EQ(blue, 128 * 64 - c.place.width * c.place.height);
}

const std::vector<std::string> kTopLeft8x12{"--wm-image-position=TOPLEFT", "--wm-image-x-offset=8",
                                            "--wm-image-y-offset=12"};

INSTANTIATE_TEST_SUITE_P(
    Formats, PicturePlacement,
    testing::Values(PictureCase{"Png", FIF_PNG, kTopLeft8x12, {8, 12, 22, 14}},
                    PictureCase{"Jpeg", FIF_JPEG, kTopLeft8x12, {8, 12, 22, 14}},
                    PictureCase{"Bmp", FIF_BMP, kTopLeft8x12, {8, 12, 22, 14}},
                    PictureCase{"DefaultBottomRight", FIF_PNG, {}, {128 - 22 - 10, 64 - 14 - 10, 22, 14}},
                    PictureCase{"MiddleCentreIgnoresOffsets", FIF_BMP,
                                {"--wm-image-position=MIDDLECENTER", "--wm-image-x-offset=30"}, {53, 25, 22, 14}},
                    PictureCase{"QuarterTurn", FIF_JPEG, joined(kTopLeft8x12, {"--wm-image-rotation=90"}), {8, 12, 14, 22}},
                    // Too wide for the room left after the offset: its left
                    // part is kept.
                    PictureCase{"CutAtTheRightEdge", FIF_PNG,
                                {"--wm-image-position=TOPLEFT", "--wm-image-x-offset=116", "--wm-image-y-offset=0"},
                                {116, 0, 12, 14}}),
    [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

struct PictureColourCase {
    const char* name;
    std::vector<std::string> options;
    RgbaPixel expected;  // in the picture's place
};

void PrintTo(const PictureColourCase& c, std::ostream* out) { *out << c.name; }

class PictureColourOutput : public testing::TestWithParam<PictureColourCase> {};

// A 16 x 16 red picture at the top left corner of a blue 64 x 32 picture.
TEST_P(PictureColourOutput, GreyAndOpacity) {
    const PictureColourCase& c = GetParam();
    TempFolder work;
    std::vector<std::string> options{"--wm-image=" + writeFlat(work, "red.png", 16, 16, kRed),
                                     "--wm-image-position=TOPLEFT", "--wm-image-x-offset=0", "--wm-image-y-offset=0"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    const ToolOutput out = convertWithTool(work, writeFlat(work, "blue.png", 64, 32, kBlue), options);
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_TRUE(regionIs(out.dds, {0, 0, 16, 16}, c.expected));
    EXPECT_TRUE(regionIs(out.dds, {16, 0, 48, 32}, kBlue));
    EXPECT_TRUE(regionIs(out.dds, {0, 16, 16, 16}, kBlue));
}

// Grey is (77 red + 150 green + 29 blue) / 256; opacity 128 is half red
// over the blue picture.
INSTANTIATE_TEST_SUITE_P(
    Adjusted, PictureColourOutput,
    testing::Values(PictureColourCase{"AsIs", {}, kRed},
                    PictureColourCase{"Greyscale", {"--wm-image-greyscale"}, {76, 76, 76, 255}},
                    PictureColourCase{"HalfOpaque", {"--wm-image-opacity=128"}, {128, 0, 127, 255}},
                    PictureColourCase{"GreyHalfOpaque", {"--wm-image-greyscale", "--wm-image-opacity=128"},
                                      {38, 38, 165, 255}},
                    PictureColourCase{"Invisible", {"--wm-image-opacity=0"}, kBlue}),
    [](const testing::TestParamInfo<PictureColourCase>& info) { return std::string(info.param.name); });

// A 16-bit grey PNG, three bands of 4 x 4 pixels: samples 0x1000, 0x1800
// and 0x2000.
constexpr WORD kGrey16Bands[] = {0x1000, 0x1800, 0x2000};

bool writeGrey16Bands(const std::string& path) {
    PicturePtr grey(FreeImage_AllocateT(FIT_UINT16, 12, 4));
    if (!grey) return false;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x) reinterpret_cast<WORD*>(FreeImage_GetScanLine(grey.get(), y))[x] = kGrey16Bands[x / 4];
    return FreeImage_Save(FIF_PNG, grey.get(), path.c_str(), 0);
}

// The same 16-bit grey file as the image and as the picture watermark has
// the same tones both ways: the high byte of each sample (16, 24, 32).
TEST(PictureWatermarkOutput, SixteenBitGreyHasTheTonesOfTheSameFileAsImage) {
    TempFolder asImage, asMark;
    const std::string image = asImage.path + "grey16.png", mark = asMark.path + "grey16.png";
    ASSERT_TRUE(writeGrey16Bands(image));
    ASSERT_TRUE(writeGrey16Bands(mark));
    const ToolOutput imageOut = convertWithTool(asImage, image, {});
    const ToolOutput markOut =
        convertWithTool(asMark, writeFlat(asMark, "white.png", 16, 8, kWhite),
                        {"--wm-image=" + mark, "--wm-image-position=TOPLEFT", "--wm-image-x-offset=0", "--wm-image-y-offset=0"});
    ASSERT_TRUE(convertedOneFile(imageOut));
    ASSERT_TRUE(convertedOneFile(markOut));
    for (int band = 0; band < 3; ++band) {
        const auto tone = static_cast<std::uint8_t>(kGrey16Bands[band] >> 8);
        const RgbaPixel expected{tone, tone, tone, 255};
        EXPECT_TRUE(regionIs(imageOut.dds, {4 * band, 0, 4, 4}, expected)) << "image, band " << band;
        EXPECT_TRUE(regionIs(markOut.dds, {4 * band, 0, 4, 4}, expected)) << "watermark, band " << band;
    }
    EXPECT_TRUE(regionIs(markOut.dds, {12, 0, 4, 8}, kWhite));
}

// The picture's own transparency lets the image show through.
TEST(PictureWatermarkOutput, OwnAlphaIsKept) {
    TempFolder work;
    const std::string mark = work.path + "half.png";
    ASSERT_TRUE(writeRgbaPng(mark, 16, 16, [](int x, int) { return x < 8 ? RgbaPixel{255, 255, 0, 0} : kYellow; }));
    const ToolOutput out = convertWithTool(work, writeFlat(work, "blue.png", 64, 32, kBlue),
                                           {"--wm-image=" + mark, "--wm-image-position=TOPLEFT",
                                            "--wm-image-x-offset=4", "--wm-image-y-offset=8"});
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(boundsWhere(out.dds, isYellow), (Rect{12, 8, 8, 16}));
}

// A picture watermark placed inside the frame, from the bottom right.
TEST(PictureWatermarkOutput, InsideTheFrame) {
    TempFolder work;
    const ToolOutput out = convertWithTool(
        work, writeFlat(work, "blue.png", 128, 64, kBlue),
        joined(kGreenFrame20, {"--wm-image=" + writeFlat(work, "mark.png", 22, 14, kYellow),
                               "--wm-image-boundary=FRAME"}));
    ASSERT_TRUE(convertedOneFile(out));
    EXPECT_EQ(boundsWhere(out.dds, isYellow), (Rect{128 - 20 - 10 - 22, 64 - 20 - 10 - 14, 22, 14}));
    EXPECT_TRUE(regionIs(out.dds, {0, 0, 128, 20}, kGreen));
}
