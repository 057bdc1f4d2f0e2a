#include <gtest/gtest.h>

#include <climits>

#include "engine/stages.h"
#include "engine/watermark.h"
#include "engine/watermark_font.h"
#include "engine/watermark_font_detail.h"
#include "image_support.h"
#include "test_support.h"

namespace {

const Rgba kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{128, 128, 128};

// Column x of the test picture has red 8x + 4, so a pixel tells which
// column of the picture landed on it.
Rgba pictureColumn(int x) { return {8 * x + 4, 200, 90}; }

ImagePtr stripedPicture(int width, int height) {
    ImagePtr picture = solidImage(width, height, kBlack);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(picture.get(), x, y, pictureColumn(x));
    return picture;
}

std::string savePicture(const TempFolder& folder, const std::string& name, FIBITMAP* picture, FREE_IMAGE_FORMAT format,
                        int flags = 0) {
    const std::string path = folder.path + name;
    EXPECT_TRUE(FreeImage_Save(format, picture, path.c_str(), flags)) << path;
    return path;
}

ConversionSettings pictureSettings(const std::string& path, int position = 0, int xOffset = 0, int yOffset = 0) {
    ConversionSettings s;
    s.DoWatermark = 2;
    s.Image = path;
    s.ImagePosition = static_cast<uint8>(position);
    s.ImageXOffset = xOffset;
    s.ImageYOffset = yOffset;
    return s;
}

ConversionSettings textSettings(const std::string& text) {
    ConversionSettings s;
    s.DoWatermark = 1;
    s.Text = text;
    s.Font = "Arial";
    s.FontSize = 14;
    s.FontColor = "FFFFFF";
    s.BackColor = "0000FF";
    s.BackOpacity = 255;
    s.TextPosition = 0;
    s.TextXOffset = 0;
    s.TextYOffset = 0;
    return s;
}

ImagePtr watermarked(ImagePtr image, const ConversionSettings& s, BatchJob job = {}) {
    return applyWatermark(std::move(image), s, job);
}

// Renders the text box alone with the settings' font.
ImagePtr textBox(const ConversionSettings& s, const std::string& text) {
    WatermarkFontPtr font = createWatermarkFont(s);
    EXPECT_TRUE(font);
    return font ? renderTextWatermark(text, *font, s) : nullptr;
}

// The text watermark on a black image, the font created as a run does.
ImagePtr textOnBlack(int width, int height, const ConversionSettings& s, BatchJob job = {}) {
    WatermarkFontPtr font = createWatermarkFont(s);
    EXPECT_TRUE(font);
    job.watermarkFont = font.get();
    return watermarked(solidImage(width, height, kBlack), s, job);
}

class PictureWatermark : public ::testing::Test {
protected:
    TempFolder folder;
    std::string striped = savePicture(folder, "striped.png", stripedPicture(31, 21).get(), FIF_PNG);
};

}  // namespace

TEST_F(PictureWatermark, NinePositionsInsideTheImageAndInsideTheFrame) {
    struct Case {
        int position;
        int boundary;
        int left, top;
    } cases[] = {
        // 200 x 150 image, 31 x 21 picture, offsets 7 and 5.
        {0, 0, 7, 5},    {1, 0, 84, 5},    {2, 0, 162, 5},
        {3, 0, 7, 64},   {4, 0, 84, 64},   {5, 0, 162, 64},
        {6, 0, 7, 124},  {7, 0, 84, 124},  {8, 0, 162, 124},
        // Frame 10, 20, 12, 8: area 170 x 130 from (10, 12).
        {0, 1, 17, 17},  {1, 1, 79, 17},   {2, 1, 142, 17},
        {3, 1, 17, 66},  {4, 1, 79, 66},   {5, 1, 142, 66},
        {6, 1, 17, 116}, {7, 1, 79, 116},  {8, 1, 142, 116},
        // Positions outside the table put the picture at the area's origin.
        {9, 0, 0, 0},    {200, 1, 10, 12},
    };
    for (const auto& c : cases) {
        ConversionSettings s = pictureSettings(striped, c.position, 7, 5);
        s.ImageBoundary = static_cast<uint8>(c.boundary);
        s.DoFrame = 1;
        s.SolidLeft = 10;
        s.SolidRight = 20;
        s.SolidTop = 12;
        s.SolidBottom = 8;
        ImagePtr image = watermarked(solidImage(200, 150, kBlack), s);
        ASSERT_TRUE(image);
        EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{c.left, c.top, c.left + 30, c.top + 20}))
            << "position " << c.position << " boundary " << c.boundary;
        // Opaque picture pixels arrive exactly, first and last column.
        EXPECT_EQ(pixelAt(image.get(), c.left, c.top), pictureColumn(0));
        EXPECT_EQ(pixelAt(image.get(), c.left + 30, c.top + 20), pictureColumn(30));
    }
}

TEST_F(PictureWatermark, FrameBoundaryNeedsAFrame) {
    ConversionSettings s = pictureSettings(striped, 0, 7, 5);
    s.ImageBoundary = 1;
    s.SolidLeft = 10;
    s.SolidTop = 12;
    s.DoFrame = 0;
    EXPECT_EQ(boxNotOf(watermarked(solidImage(100, 100, kBlack), s).get(), kBlack), (Box{7, 5, 37, 25}));
    s.DoFrame = 2;  // any frame kind counts
    EXPECT_EQ(boxNotOf(watermarked(solidImage(100, 100, kBlack), s).get(), kBlack), (Box{17, 17, 47, 37}));
}

TEST_F(PictureWatermark, TooWideIsCutOnTheRightAndKeepsItsLeftPart) {
    // 31-wide picture in a 30-wide image with offset 4: 26 columns remain.
    ImagePtr image = watermarked(solidImage(30, 40, kBlack), pictureSettings(striped, 0, 4, 0));
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{4, 0, 29, 20}));
    EXPECT_EQ(pixelAt(image.get(), 4, 3), pictureColumn(0));
    EXPECT_EQ(pixelAt(image.get(), 29, 3), pictureColumn(25));

    // "TOPCENTER": cut to 26 columns, then centred: (30 - 26) / 2 = 2.
    image = watermarked(solidImage(30, 40, kBlack), pictureSettings(striped, 1, 4, 0));
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{2, 0, 27, 20}));
    EXPECT_EQ(pixelAt(image.get(), 2, 3), pictureColumn(0));

    // Too tall for the area below the offset: cut at the bottom.
    image = watermarked(solidImage(60, 15, kBlack), pictureSettings(striped, 6, 0, 3));
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{0, 0, 30, 11}));
}

TEST_F(PictureWatermark, CentringTruncatesTowardZeroAndTheOutsidePartIsCut) {
    // Offset -4 keeps the whole 31 columns in a 28-wide image; centred at
    // (28 - 31) / 2 = -1, so image column 0 shows picture column 1.
    ImagePtr image = watermarked(solidImage(28, 40, kBlack), pictureSettings(striped, 4, -4, 0));
    EXPECT_EQ(pixelAt(image.get(), 0, 20), pictureColumn(1));
    EXPECT_EQ(pixelAt(image.get(), 27, 20), pictureColumn(28));
    // A negative offset at the left edge: the part left of the image is cut.
    image = watermarked(solidImage(50, 40, kBlack), pictureSettings(striped, 0, -10, -3));
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{0, 0, 20, 17}));
    EXPECT_EQ(pixelAt(image.get(), 0, 0), pictureColumn(10));
}

TEST_F(PictureWatermark, PngJpegAndBmpDecodedByContent) {
    ImagePtr picture = solidImage(24, 16, {40, 160, 220});
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT format;
        int flags;
        int tolerance;
    } cases[] = {
        {"mark.png", FIF_PNG, 0, 0},
        {"mark.bmp", FIF_BMP, 0, 0},
        {"mark.jpg", FIF_JPEG, JPEG_QUALITYSUPERB, 3},
        {"jpeg-named.png", FIF_JPEG, JPEG_QUALITYSUPERB, 3},
        {"bmp-without-extension", FIF_BMP, 0, 0},
    };
    for (const auto& c : cases) {
        const std::string path = savePicture(folder, c.name, picture.get(), c.format, c.flags);
        ImagePtr image = watermarked(solidImage(100, 80, kBlack), pictureSettings(path, 8, 10, 10));
        EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{66, 54, 89, 69})) << c.name;
        for (auto [x, y] : {std::pair{66, 54}, {89, 69}, {77, 60}})
            EXPECT_TRUE(closeTo(pixelAt(image.get(), x, y), {40, 160, 220}, c.tolerance)) << c.name << pixelAt(image.get(), x, y);
    }
}

TEST_F(PictureWatermark, OtherFilesAreNotDrawnButTheImageBecomes24Bit) {
    writeFileBytes(folder.path + "notes.png", "not a picture at all");
    ImagePtr tga = solidImage(8, 8, kWhite);
    const std::string targa = savePicture(folder, "mark.tga", tga.get(), FIF_TARGA);
    for (const std::string& path : {folder.path + "missing.png", folder.path + "notes.png", targa, folder.path, std::string()}) {
        ImagePtr image = watermarked(solidImage(20, 20, {1, 2, 3, 4}, 32), pictureSettings(path));
        ASSERT_TRUE(image) << path;
        EXPECT_EQ(imageBpp(image), 24);
        EXPECT_EQ(distinctPixels(image.get()), (std::set<Rgba>{{1, 2, 3, 255}})) << path;
    }
}

TEST_F(PictureWatermark, OpacityBlendsEvenAPictureWithoutAlpha) {
    ImagePtr black = solidImage(10, 10, kBlack);
    for (auto [name, format] : {std::pair{"black.bmp", FIF_BMP}, {"black.png", FIF_PNG}}) {
        ConversionSettings s = pictureSettings(savePicture(folder, name, black.get(), format));
        s.ImageOpacity = 51;  // a fifth
        ImagePtr image = watermarked(solidImage(20, 20, kWhite), s);
        EXPECT_TRUE(closeTo(pixelAt(image.get(), 5, 5), {204, 204, 204}, 1)) << name << pixelAt(image.get(), 5, 5);
        EXPECT_EQ(pixelAt(image.get(), 15, 15), kWhite);
    }
}

TEST_F(PictureWatermark, OwnAlphaChannelIsKeptAndScaledByOpacity) {
    ImagePtr picture = solidImage(10, 10, {255, 0, 0, 255}, 32);
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x) setPixel(picture.get(), x, y, {255, 0, 0, 0});
    ConversionSettings s = pictureSettings(savePicture(folder, "half.png", picture.get(), FIF_PNG));
    ImagePtr image = watermarked(solidImage(20, 20, kGrey), s);
    EXPECT_EQ(pixelAt(image.get(), 2, 2), (Rgba{255, 0, 0}));
    EXPECT_EQ(pixelAt(image.get(), 7, 2), kGrey);
    s.ImageOpacity = 128;
    image = watermarked(solidImage(20, 20, kGrey), s);
    EXPECT_TRUE(closeTo(pixelAt(image.get(), 2, 2), {191, 64, 64}, 1)) << pixelAt(image.get(), 2, 2);
    EXPECT_EQ(pixelAt(image.get(), 7, 2), kGrey);
}

TEST_F(PictureWatermark, GreyscaleFilterWeighsTheChannels) {
    ImagePtr picture = solidImage(10, 10, {200, 100, 50});
    setPixel(picture.get(), 1, 1, {255, 255, 255});
    setPixel(picture.get(), 2, 1, {0, 0, 255});
    ConversionSettings s = pictureSettings(savePicture(folder, "colour.png", picture.get(), FIF_PNG));
    s.ImageGreyscale = 1;
    ImagePtr image = watermarked(solidImage(20, 20, kBlack), s);
    // (77 x 200 + 150 x 100 + 29 x 50) >> 8 = 124; white stays 255; blue 29.
    EXPECT_EQ(pixelAt(image.get(), 5, 5), (Rgba{124, 124, 124}));
    EXPECT_EQ(pixelAt(image.get(), 1, 1), (Rgba{255, 255, 255}));
    EXPECT_EQ(pixelAt(image.get(), 2, 1), (Rgba{28, 28, 28}));
    s.ImageOpacity = 128;
    image = watermarked(solidImage(20, 20, kBlack), s);
    EXPECT_TRUE(closeTo(pixelAt(image.get(), 5, 5), {62, 62, 62}, 1)) << pixelAt(image.get(), 5, 5);
}

// A 16-bit grey picture shows the tones the same file shows as the
// converted image: the high byte of each sample, not the picture's darkest
// to lightest sample stretched over 0-255.
TEST_F(PictureWatermark, SixteenBitGreyHasTheTonesOfTheSameFileAsImage) {
    const WORD samples[] = {0x1000, 0x1800, 0x2000};
    ImagePtr grey16(FreeImage_AllocateT(FIT_UINT16, 3, 2));
    ASSERT_TRUE(grey16);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) reinterpret_cast<WORD*>(FreeImage_GetScanLine(grey16.get(), y))[x] = samples[x];
    const std::string path = savePicture(folder, "grey16.png", grey16.get(), FIF_PNG);

    ImagePtr asImage(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    ASSERT_EQ(FreeImage_GetImageType(asImage.get()), FIT_UINT16);
    BatchJob job;
    job.outputExtension = "dds";
    job.sourceBitDepth = 16;
    job.autoBitDepth = true;
    asImage = applyBitDepth(std::move(asImage), ConversionSettings{}, job);
    ASSERT_TRUE(asImage);
    ImagePtr asWatermark = watermarked(solidImage(6, 4, kWhite), pictureSettings(path));
    ASSERT_TRUE(asWatermark);
    for (int x = 0; x < 3; ++x) {
        const int tone = samples[x] >> 8;  // 16, 24, 32
        SCOPED_TRACE(tone);
        EXPECT_EQ(pixelAt(asImage.get(), x, 1), (Rgba{tone, tone, tone}));
        EXPECT_EQ(pixelAt(asWatermark.get(), x, 1), (Rgba{tone, tone, tone}));
    }
    EXPECT_EQ(pixelAt(asWatermark.get(), 4, 1), kWhite);
}

TEST_F(PictureWatermark, RotationTurnsThePictureWithTransparentCorners) {
    ConversionSettings s = pictureSettings(striped, 0, 0, 0);
    s.WatermarkImageRotation = 90;
    ImagePtr image = watermarked(solidImage(60, 60, kBlack), s);
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{0, 0, 20, 30}));
    // Counter-clockwise: the picture's last column is now the top row.
    EXPECT_EQ(pixelAt(image.get(), 10, 0), pictureColumn(30));
    EXPECT_EQ(pixelAt(image.get(), 10, 30), pictureColumn(0));

    s.WatermarkImageRotation = 45;
    image = watermarked(solidImage(60, 60, kBlack), s);
    const Box turned = boxNotOf(image.get(), kBlack);
    EXPECT_GT(turned.width(), 31);
    EXPECT_GT(turned.height(), 21);
    EXPECT_EQ(pixelAt(image.get(), 0, 0), kBlack);  // a corner of the enlarged bitmap
    EXPECT_NE(pixelAt(image.get(), turned.width() / 2, turned.height() / 2), kBlack);

    for (int angle : {0, 360, -90, 720, INT_MIN, INT_MAX}) {
        s.WatermarkImageRotation = angle;
        EXPECT_EQ(boxNotOf(watermarked(solidImage(60, 60, kBlack), s).get(), kBlack), (Box{0, 0, 30, 20})) << angle;
    }
}

TEST_F(PictureWatermark, ExtremePlacementsKeepTheImage) {
    struct Case {
        int x, y, left, right, top, bottom;
    } cases[] = {
        {INT_MAX, INT_MAX, 0, 0, 0, 0}, {INT_MIN, INT_MIN, 0, 0, 0, 0}, {INT_MIN, INT_MAX, 0, 0, 0, 0},
        {0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {0, 0, INT_MIN, INT_MIN, INT_MIN, INT_MIN},
        {INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MIN, INT_MAX},
    };
    for (int position = 0; position < 10; ++position)
        for (const auto& c : cases) {
            ConversionSettings s = pictureSettings(striped, position, c.x, c.y);
            s.DoFrame = 1;
            s.ImageBoundary = 1;
            s.SolidLeft = c.left;
            s.SolidRight = c.right;
            s.SolidTop = c.top;
            s.SolidBottom = c.bottom;
            ImagePtr image = watermarked(solidImage(40, 30, kBlack), s);
            ASSERT_TRUE(image);
            EXPECT_EQ(imageWidth(image), 40);
            EXPECT_EQ(imageHeight(image), 30);
        }
}

TEST(Watermark, DisabledOrMissingImagePassesThrough) {
    ConversionSettings s;
    ImagePtr image = watermarked(solidImage(10, 10, kGrey, 32), s);
    EXPECT_EQ(imageBpp(image), 32);
    s.DoWatermark = 1;  // text without a font: nothing drawn, still 24-bit
    image = watermarked(solidImage(10, 10, kGrey, 32), s);
    EXPECT_EQ(imageBpp(image), 24);
    EXPECT_EQ(distinctPixels(image.get()), std::set<Rgba>{kGrey});
    s.DoWatermark = 3;
    EXPECT_EQ(imageBpp(watermarked(solidImage(10, 10, kGrey, 32), s)), 24);
    EXPECT_FALSE(runStage(applyWatermark, nullptr, s));
}

TEST(WatermarkText, ExpandsPlaceholdersOnlyWithTwoPercentSigns) {
    BatchJob job;
    job.inputPath = "/in/Photo.Final.png";
    job.outputExtension = "dds";
    job.targetBitDepth = 32;
    job.finalWidth = 640;
    job.finalHeight = 480;
    job.sequenceNumber = 7;
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"50% off", "50% off"},
        {"%n", "%n"},
        {"%FILENAME% %Width%x%HEIGHT%", "Photo.Final 640x480"},
        {"%filename[u]%.%ext[t]% %bpp%", "PHOTO.FINAL.Dds 32"},
        {"100% sure %n%", "100% sure 00007"},
        {"%date% %n%", "%date% 00007"},
        {"%EOL%", "%EOL%"},
        {"", ""},
    };
    for (const auto& c : cases) {
        ConversionSettings s;
        s.Text = c.text;
        EXPECT_EQ(expandWatermarkText(s, job), c.expected) << c.text;
    }
    // Which placeholders are replaced is read from the text as configured.
    job.inputPath = "/in/a%n%b.png";
    ConversionSettings s;
    s.Text = "%filename%";
    EXPECT_EQ(expandWatermarkText(s, job), "a%n%b");
    s.Text = "%filename% %n%";
    EXPECT_EQ(expandWatermarkText(s, job), "a00007b 00007");
}

TEST(WatermarkText, SplitsAtEolInAnyLetterCase) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"one line", {"one line"}},
        {"Line one%EOL%line two", {"Line one", "line two"}},
        {"a%eol%b%EoL%c", {"a", "b", "c"}},
        {"%EOL%", {"", ""}},
        {"x%EO%L", {"x%EO%L"}},
        {"", {""}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(splitWatermarkLines(text), lines) << text;
}

TEST(WatermarkText, BoxGrowsByTwicePaddingAndByLines) {
    ConversionSettings s = textSettings("");
    ImagePtr one = textBox(s, "Sample");
    ASSERT_TRUE(one);
    const int w = imageWidth(one), h = imageHeight(one);
    EXPECT_GT(w, 30);
    EXPECT_GE(h, 16);

    s.TextPadding = 7;
    ImagePtr padded = textBox(s, "Sample");
    EXPECT_EQ(imageWidth(padded), w + 14);
    EXPECT_EQ(imageHeight(padded), h + 14);
    s.TextPadding = 0;

    ImagePtr two = textBox(s, "Sample%EOL%Sample");
    EXPECT_EQ(imageWidth(two), w);
    EXPECT_EQ(imageHeight(two), 2 * h);
    ImagePtr three = textBox(s, "Sample%eol%Sam%Eol%Sample");
    EXPECT_EQ(imageWidth(three), w);
    EXPECT_EQ(imageHeight(three), 3 * h);

    s.FontLeading = 5;
    EXPECT_EQ(imageHeight(textBox(s, "Sample%EOL%Sample")), 2 * h + 5);
    EXPECT_EQ(imageHeight(textBox(s, "Sample")), h);  // leading only between lines
    s.FontLeading = -h;  // every line on the first one
    EXPECT_EQ(imageHeight(textBox(s, "Sample%EOL%Sample%EOL%Sample")), h);
}

// Antialiasing changes how the glyphs are drawn, never the box they get.
TEST(WatermarkText, AntialiasingKeepsTheBoxSize) {
    for (int size : {9, 14, 22, 40})
        for (const char* text : {"Sample", "Korvane Software%EOL%gjpqy \xC3\x84\xC3\x96", "WWW iii 1.5"}) {
            SCOPED_TRACE(std::to_string(size) + " " + text);
            ConversionSettings s = textSettings("");
            s.FontSize = size;
            s.TextPadding = 2;
            ImagePtr plain = textBox(s, text);
            s.TextAntialiasing = 1;
            ImagePtr smooth = textBox(s, text);
            ASSERT_TRUE(plain && smooth);
            EXPECT_EQ(imageWidth(smooth), imageWidth(plain));
            EXPECT_EQ(imageHeight(smooth), imageHeight(plain));
        }
}

TEST(WatermarkText, MultiLineBoxesAreAtLeastTenPixels) {
    ConversionSettings s = textSettings("");
    s.FontSize = 1;
    ImagePtr single = textBox(s, "W");
    ASSERT_TRUE(single);
    EXPECT_LT(imageWidth(single), 10);
    EXPECT_LT(imageHeight(single), 10);
    ImagePtr two = textBox(s, ".%EOL%.");
    ASSERT_TRUE(two);
    EXPECT_EQ(imageWidth(two), 10);
    EXPECT_EQ(imageHeight(two), 20);
    s.TextPadding = 2;
    EXPECT_EQ(imageWidth(textBox(s, ".%EOL%.")), 14);
}

TEST(WatermarkText, AlignmentPlacesTheLinesOfSeveral) {
    ConversionSettings s = textSettings("");
    s.TextPadding = 4;
    const int lineHeight = imageHeight(textBox(s, "WWWWWWWW")) - 8;
    // The columns of the text-coloured pixels of the second line, and the box width.
    auto secondLine = [&](int alignment) {
        s.TextAlignment = static_cast<uint8>(alignment);
        ImagePtr box = textBox(s, "WWWWWWWW%EOL%ii");
        Box line{1 << 30, 0, -1, 0};
        for (int y = 4 + lineHeight; y < imageHeight(box); ++y)
            for (int x = 0; x < imageWidth(box); ++x)
                if (pixelAt(box.get(), x, y).red == 255) {
                    line.left = std::min(line.left, x);
                    line.right = std::max(line.right, x);
                }
        return std::pair{line, imageWidth(box)};
    };
    const auto [left, width] = secondLine(0);
    const auto [centre, width1] = secondLine(1);
    const auto [right, width2] = secondLine(2);
    const auto [other, width3] = secondLine(7);
    ASSERT_FALSE(left.empty());
    EXPECT_GE(left.left, 4);
    EXPECT_LE(left.left, 6);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, width1 / 2.0, 2.0);
    EXPECT_LE(right.right, width2 - 4);
    EXPECT_GE(right.right, width2 - 4 - 3);
    EXPECT_LE(other.left, 2);  // unknown alignment: at 0, not at the padding
    EXPECT_EQ(width, width3);
}

TEST(WatermarkText, SingleLineSitsAtThePaddingWhateverTheAlignment) {
    ConversionSettings s = textSettings("");
    s.TextPadding = 6;
    ImagePtr left = textBox(s, "Right?");
    for (int alignment : {1, 2, 9}) {
        s.TextAlignment = static_cast<uint8>(alignment);
        EXPECT_TRUE(sameImage(textBox(s, "Right?").get(), left.get())) << alignment;
    }
}

TEST(WatermarkText, PlainTextHasOnlyTheTwoColoursAntialiasedBlends) {
    ConversionSettings s = textSettings("");
    s.FontColor = "FFFF00";
    s.BackColor = "000080";
    s.TextOpacity = 200;
    s.BackOpacity = 100;
    s.FontEffect = 1;
    ImagePtr plain = textBox(s, "Plain text, no smoothing");
    ASSERT_TRUE(plain);
    EXPECT_EQ(distinctPixels(plain.get()), (std::set<Rgba>{{255, 255, 0, 200}, {0, 0, 128, 100}}));

    s.TextAntialiasing = 1;
    s.FontSize = 30;  // stems wide enough for fully covered pixels
    ImagePtr smooth = textBox(s, "Plain text, no smoothing");
    ASSERT_TRUE(smooth);
    const std::set<Rgba> values = distinctPixels(smooth.get());
    EXPECT_GT(values.size(), 10u);
    EXPECT_TRUE(values.count({0, 0, 128, 100}));  // the box around the text
    // Fully covered glyph pixels: the text at 200 over the box at 100 is
    // (232, 232, 13) at 220 in straight alpha, within the few levels that
    // cairo's premultiplied 8-bit blending loses; edges lie between.
    int cores = 0;
    for (const Rgba& c : values) {
        EXPECT_LE(c.alpha, 223) << c;
        EXPECT_GE(c.alpha, 100) << c;
        if (c.alpha >= 219) {
            ++cores;
            EXPECT_TRUE(closeTo(c, {232, 232, 13, 220}, 5)) << c;
        }
    }
    EXPECT_GT(cores, 0);
}

TEST(WatermarkText, PlacedAtBottomRightOfImageAndOfFrame) {
    ConversionSettings s = textSettings("Sample");
    s.TextPosition = 8;
    s.TextXOffset = 10;
    s.TextYOffset = 10;
    ImagePtr box = textBox(s, "Sample");
    const int w = imageWidth(box), h = imageHeight(box);
    ImagePtr image = textOnBlack(400, 300, s);
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{390 - w, 290 - h, 389, 289}));
    s.DoFrame = 1;
    s.TextBoundary = 1;
    s.SolidLeft = s.SolidRight = s.SolidTop = s.SolidBottom = 20;
    image = textOnBlack(400, 300, s);
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{370 - w, 270 - h, 369, 269}));
    s.TextPosition = 4;
    image = textOnBlack(400, 300, s);
    EXPECT_EQ(boxNotOf(image.get(), kBlack), (Box{20 + (360 - w) / 2, 20 + (260 - h) / 2, 20 + (360 - w) / 2 + w - 1,
                                                 20 + (260 - h) / 2 + h - 1}));
}

TEST(WatermarkText, RotationNinetyTurnsTheBox) {
    ConversionSettings s = textSettings("A wide text box");
    ImagePtr box = textBox(s, s.Text);
    const int w = imageWidth(box), h = imageHeight(box);
    ASSERT_GT(w, h);
    s.TextRotation = 90;
    EXPECT_EQ(boxNotOf(textOnBlack(200, 200, s).get(), kBlack), (Box{0, 0, h - 1, w - 1}));
    s.TextRotation = 0;
    EXPECT_EQ(boxNotOf(textOnBlack(200, 200, s).get(), kBlack), (Box{0, 0, w - 1, h - 1}));
}

TEST(WatermarkText, DefaultBackOpacityLeavesTheBoxPracticallyInvisible) {
    ConversionSettings s = textSettings("Faint box");
    s.BackColor = "000000";
    s.TextPadding = 8;
    for (int antialiasing : {0, 1}) {
        s.TextAntialiasing = static_cast<bool8>(antialiasing);
        s.BackOpacity = ConversionSettings{}.BackOpacity;
        ASSERT_EQ(s.BackOpacity, 1);
        WatermarkFontPtr font = createWatermarkFont(s);
        BatchJob job;
        job.watermarkFont = font.get();
        ImagePtr image = watermarked(solidImage(200, 100, kGrey), s, job);
        // A pixel of the padding, away from the text.
        EXPECT_TRUE(closeTo(pixelAt(image.get(), 2, 2), kGrey, 1)) << pixelAt(image.get(), 2, 2);
        EXPECT_FALSE(boxNotOf(image.get(), kGrey).empty());  // the text itself shows
        s.BackOpacity = 255;
        image = watermarked(solidImage(200, 100, kGrey), s, job);
        EXPECT_EQ(pixelAt(image.get(), 2, 2), kBlack);
    }
}

TEST(WatermarkText, PlaceholdersDescribeTheWatermarkedImage) {
    // The text shows the size of the image it is stamped on and depth 32,
    // whatever the job holds from an earlier conversion.
    BatchJob job;
    job.inputPath = "/in/stone wall.png";
    job.outputExtension = "dds";
    job.finalWidth = 999;
    job.finalHeight = 1;
    job.targetBitDepth = 0;
    ImagePtr expanded = textOnBlack(123, 45, textSettings("%filename% %width%x%height% %bpp%"), job);
    ImagePtr literal = textOnBlack(123, 45, textSettings("stone wall 123x45 32"), job);
    EXPECT_TRUE(sameImage(expanded.get(), literal.get()));
    EXPECT_FALSE(sameImage(expanded.get(), textOnBlack(123, 45, textSettings("stone wall 999x1 0"), job).get()));
}

TEST(WatermarkText, ExtremeSettingsKeepTheImage) {
    const std::string longLine(300 * 1024, 'W');
    std::string manyLines;
    for (int i = 0; i < 30000; ++i) manyLines += "ab%EOL%";
    struct Case {
        const char* what;
        void (*change)(ConversionSettings&);
    } cases[] = {
        {"huge padding", [](ConversionSettings& s) { s.TextPadding = INT_MAX; }},
        {"negative padding", [](ConversionSettings& s) { s.TextPadding = INT_MIN; }},
        {"padding past half the box", [](ConversionSettings& s) { s.TextPadding = -30; }},
        {"huge leading", [](ConversionSettings& s) { s.FontLeading = INT_MAX; s.Text = "a%EOL%b"; }},
        {"negative leading", [](ConversionSettings& s) { s.FontLeading = INT_MIN; s.Text = "a%EOL%b"; }},
        {"huge offsets", [](ConversionSettings& s) { s.TextXOffset = INT_MAX; s.TextYOffset = INT_MAX; }},
        {"negative offsets", [](ConversionSettings& s) { s.TextXOffset = INT_MIN; s.TextYOffset = INT_MIN; }},
        {"rotation", [](ConversionSettings& s) { s.TextRotation = 359; }},
        {"opacities", [](ConversionSettings& s) { s.TextOpacity = INT_MIN; s.BackOpacity = INT_MAX; }},
        {"empty text", [](ConversionSettings& s) { s.Text.clear(); }},
        {"empty text with padding", [](ConversionSettings& s) { s.Text.clear(); s.TextPadding = 3; }},
        {"invalid UTF-8", [](ConversionSettings& s) { s.Text = "bad \xff\xfe bytes"; }},
        {"embedded NUL", [](ConversionSettings& s) { s.Text = std::string("a\0b", 3); }},
        {"alignment and position", [](ConversionSettings& s) { s.TextAlignment = 250; s.TextPosition = 250; s.Text = "a%EOL%bb"; }},
        {"largest font", [](ConversionSettings& s) { s.FontSize = kMaxFontPoints; }},
    };
    for (int antialiasing : {0, 1})
        for (const auto& c : cases) {
            ConversionSettings s = textSettings("Text");
            s.TextAntialiasing = static_cast<bool8>(antialiasing);
            c.change(s);
            ImagePtr image = textOnBlack(64, 48, s);
            ASSERT_TRUE(image) << c.what;
            EXPECT_EQ(imageWidth(image), 64) << c.what;
            EXPECT_EQ(imageBpp(image), 24) << c.what;
        }
    // Texts of hundreds of kilobytes give a box too large to draw: no watermark.
    for (const std::string* text : {&longLine, static_cast<const std::string*>(&manyLines)}) {
        ImagePtr image = textOnBlack(64, 48, textSettings(*text));
        ASSERT_TRUE(image);
        EXPECT_EQ(distinctPixels(image.get()), std::set<Rgba>{kBlack});
    }
}
