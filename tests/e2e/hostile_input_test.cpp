// Hostile input to the console tool: numbers at and beyond the 32-bit
// limits for every number option, texts and name templates of hundreds of
// kilobytes, bytes that are not UTF-8 in texts and paths, non-ASCII file
// names, a header announcing ten billion pixels, and PNG files cut short or
// damaged. Every run ends with exit code 0 and one of the program's own
// outcome lines within a modest amount of memory, leaves no temporary
// "tovrel..." file behind, and writes a complete DDS file exactly when it
// reports success.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dds_reader.h"
#include "test_support.h"

namespace {

const std::string kConverted = "Files converted: 1 of 1";
// Far above what these small conversions take, with or without sanitizers,
// and far below what a header's announced size would make the decoder
// allocate.
constexpr long kMemoryBoundKb = 700 * 1024;
const std::string kNotComplete = "Conversion is not complete";

struct HostileCase {
    std::string name;
    // Parameters after "-i <work>in.png -o <work>out/"; "{work}" stands for
    // the work folder. When the first is "-i", they are the whole list.
    std::vector<std::string> options;
    std::string lastLine;
    std::string input = "in.png";          // below the work folder
    std::string inputBytes;                // empty: a 40 x 30 picture
    std::string outputFolder = "out/";     // below the work folder, created
    std::string outputName = "in.dds";     // expected after a success
    std::vector<std::pair<std::string, std::string>> files;  // more files below the work folder
    unsigned width = 40, height = 30;      // of the DDS written; 0: not checked
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

std::string samplePicture() { return solidRgbaPng(40, 30, {200, 120, 40, 255}); }

std::string replaceWork(std::string text, const std::string& work) {
    for (std::size_t at; (at = text.find("{work}")) != std::string::npos;) text.replace(at, 6, work);
    return text;
}

bool isTemporaryName(const std::string& name) { return name.rfind("tovrel", 0) == 0; }

class HostileInput : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, EndsWithItsOutcomeAndLeavesNoTemporaryFile) {
    const HostileCase& c = GetParam();
    TempFolder work;
    writeFileBytes(work.path + c.input, c.inputBytes.empty() ? samplePicture() : c.inputBytes);
    std::filesystem::create_directories(work.path + c.outputFolder);
    for (const auto& [name, bytes] : c.files) writeFileBytes(work.path + name, replaceWork(bytes, work.path));
    std::vector<std::string> args;
    if (c.options.empty() || c.options.front() != "-i")
        args = {"-i", work.path + c.input, "-o", work.path + c.outputFolder};
    for (const std::string& option : c.options) args.push_back(replaceWork(option, work.path));

    const RunResult run = runTovrel(args, work.path);

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), c.lastLine);
    for (const std::string& folder : {work.path, work.path + c.outputFolder})
        for (const std::string& name : listFolder(folder)) EXPECT_FALSE(isTemporaryName(name)) << folder << name;
    const std::vector<std::string> written = listFolder(work.path + c.outputFolder);
    if (c.lastLine != kConverted) {
        EXPECT_EQ(written, std::vector<std::string>{});
        return;
    }
    ASSERT_EQ(written, std::vector<std::string>{c.outputName});
    const DdsImage dds = readDdsFile(work.path + c.outputFolder + c.outputName);
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(dds.header.width, dds.header.height));
    if (c.width != 0) {
        EXPECT_EQ(dds.header.width, c.width);
        EXPECT_EQ(dds.header.height, c.height);
    }
}

std::string caseName(const testing::TestParamInfo<HostileCase>& info) { return info.param.name; }

// ---- numbers at and beyond the 32-bit limits ----

struct Limit {
    const char* name;
    const char* text;
};
const Limit kLimits[] = {{"Max", "2147483647"}, {"Min", "-2147483648"}, {"Beyond", "99999999999"}};

struct NumberOption {
    const char* name;
    const char* option;              // the value is appended
    std::vector<std::string> extra;  // what makes the option matter
    // Outcome per limit: maximum, minimum, beyond (which saturates to the maximum).
    std::string outcome[3];
    unsigned width[3] = {40, 40, 40};
    unsigned height[3] = {30, 30, 30};
};

const std::string kText = "--wm-text=Limits%EOL%second line";
const std::string kPicture = "--wm-image={work}mark.png";
const std::string kFontError = "Error: Invalid watermark font";

std::vector<NumberOption> numberOptions() {
    const std::string ok = kConverted;
    return {
        {"FrameLeft", "--fr-solid-left=", {}, {ok, ok, ok}},
        {"FrameRight", "--fr-solid-right=", {}, {ok, ok, ok}},
        {"FrameTop", "--fr-solid-top=", {}, {ok, ok, ok}},
        {"FrameBottom", "--fr-solid-bottom=", {}, {ok, ok, ok}},
        {"FrameOpacity", "--fr-solid-opacity=", {"--fr-solid-left=5"}, {ok, ok, ok}},
        {"FrameInsideForTheWatermark", "--fr-solid-left=", {kText, "--fr-solid-top=7", "--wm-text-boundary=frame",
                                                            "--wm-text-position=middlecenter"}, {ok, ok, ok}},
        {"Rotation", "--rotation=", {}, {ok, ok, ok}, {0, 0, 0}},
        {"RotationAdvanced", "--rotation=", {"--rotation-type=advanced"}, {ok, ok, ok}, {0, 0, 0}},
        {"Width", "--width=", {"--height=10"}, {kNotComplete, ok, kNotComplete}},
        {"Height", "--height=", {"--width=10"}, {kNotComplete, ok, kNotComplete}},
        {"WidthPercent", "--width=", {"--height=10", "--width-unit=percent"}, {kNotComplete, ok, kNotComplete}},
        {"HeightPercentKeepingAspect", "--height=", {"--width=10", "--height-unit=percent", "--keep-aspect-ratio"},
         {ok, ok, ok}, {10, 40, 10}, {8, 30, 8}},
        {"Threshold", "--threshold=", {}, {ok, ok, ok}},
        {"Brightness", "--brightness=", {}, {"Error: Invalid brightness value", "Error: Invalid brightness value",
                                             "Error: Invalid brightness value"}},
        {"Contrast", "--contrast=", {}, {"Error: Invalid contrast value", "Error: Invalid contrast value",
                                         "Error: Invalid contrast value"}},
        {"DdsBpp", "--dds-bpp=", {}, {"Error: Invalid dds-bpp value", "Error: Invalid dds-bpp value",
                                      "Error: Invalid dds-bpp value"}},
        // A number is no keyword: the compression stays automatic.
        {"DdsCompressionTakesNoNumber", "--dds-compression=", {}, {ok, ok, ok}},
        {"JpgQualityHasNoEffect", "--jpg-quality=", {}, {ok, ok, ok}},
        {"FontSize", "--wm-font-size=", {kText}, {kFontError, kFontError, kFontError}},
        {"FontLeading", "--wm-font-leading=", {kText}, {ok, ok, ok}},
        {"FontLeadingAntialiased", "--wm-font-leading=", {kText, "--wm-text-antialiasing"}, {ok, ok, ok}},
        {"TextPadding", "--wm-text-padding=", {kText}, {ok, ok, ok}},
        {"TextOpacity", "--wm-text-opacity=", {kText}, {ok, ok, ok}},
        {"BackOpacity", "--wm-back-opacity=", {kText, "--wm-text-antialiasing"}, {ok, ok, ok}},
        {"TextXOffset", "--wm-text-x-offset=", {kText}, {ok, ok, ok}},
        {"TextYOffset", "--wm-text-y-offset=", {kText, "--wm-text-position=bottomright"}, {ok, ok, ok}},
        {"TextRotation", "--wm-text-rotation=", {kText}, {ok, ok, ok}},
        {"ImageXOffset", "--wm-image-x-offset=", {kPicture, "--wm-image-position=topright"}, {ok, ok, ok}},
        {"ImageYOffset", "--wm-image-y-offset=", {kPicture}, {ok, ok, ok}},
        {"ImageOpacity", "--wm-image-opacity=", {kPicture}, {ok, ok, ok}},
        {"ImageRotation", "--wm-image-rotation=", {kPicture}, {ok, ok, ok}},
        {"CustomTimestamp", "--file-timestamp-custom=", {"--file-timestamp=custom"}, {ok, ok, ok}},
    };
}

std::vector<HostileCase> numberLimitCases() {
    std::vector<HostileCase> cases;
    for (const NumberOption& option : numberOptions()) {
        for (int i = 0; i < 3; ++i) {
            HostileCase c;
            c.name = std::string(option.name) + kLimits[i].name;
            c.options = option.extra;
            c.options.push_back(option.option + std::string(kLimits[i].text));
            c.lastLine = option.outcome[i];
            c.width = option.width[i];
            c.height = option.height[i];
            c.files = {{"mark.png", solidRgbaPng(12, 9, {0, 0, 255, 128})}};
            cases.push_back(std::move(c));
        }
    }
    // The decimal reader's own extremes.
    const std::pair<const char*, const char*> gammas[] = {
        {"Huge", "1e39"}, {"MinusHuge", "-1e39"}, {"NaN", "NaN"}, {"Infinity", "+Infinity"}, {"Tiny", "0.0000000001"}};
    for (const auto& [name, gamma] : gammas) {
        HostileCase c;
        c.name = std::string("Gamma") + name;
        c.options = {std::string("--gamma=") + gamma};
        c.lastLine = "Error: Invalid gamma value";
        cases.push_back(std::move(c));
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(NumberLimits, HostileInput, testing::ValuesIn(numberLimitCases()), caseName);

// ---- huge texts and name templates ----

std::string repeated(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

HostileCase profileCase(std::string name, std::string profileLines, std::string lastLine, bool sizeKept = true) {
    HostileCase c;
    if (!sizeKept) c.width = 0;
    c.name = std::move(name);
    c.files = {{"huge.ini", "[CLI]\r\n" + profileLines}, {"mark.png", solidRgbaPng(12, 9, {0, 0, 255, 128})}};
    c.options = {"--profile={work}huge.ini"};
    c.lastLine = std::move(lastLine);
    return c;
}

// One quoted value spread over three parameters of 100 KB each: a single
// parameter may not exceed 128 KB on Linux.
std::vector<std::string> quotedOverThree(const std::string& option, char fill) {
    const std::string piece(100000, fill);
    return {option + "\"" + piece, piece, piece + "\""};
}

std::vector<HostileCase> hugeTextCases() {
    std::vector<HostileCase> cases{
        profileCase("ProfileTextOneLine", "--WM-TEXT = " + std::string(300000, 'A') + "\r\n", kConverted),
        profileCase("ProfileTextManyLines", "--WM-TEXT = " + repeated("ab%EOL%", 50000) + "\r\n", kConverted),
        profileCase("ProfileTextManyPlaceholders", "--WM-TEXT = " + repeated("%filename%%rnd%%width%", 15000) + "\r\n",
                    kConverted),
        profileCase("ProfileTextAntialiased",
                    "--WM-TEXT = " + repeated("wide %EOL%", 20000) + "\r\n--WM-TEXT-ANTIALIASING = 1\r\n", kConverted),
        profileCase("ProfileMaskExpandsBeyondAName", "--FILENAME-MASK = " + repeated("%filename%", 30000) + "\r\n",
                    kNotComplete),
        profileCase("ProfileMaskLongerThanAName", "--FILENAME-MASK = " + std::string(300000, 'x') + ".dds\r\n",
                    kNotComplete),
        profileCase("ProfileFontName", "--WM-TEXT = Hi\r\n--WM-FONT = " + std::string(300000, 'F') + "\r\n", kFontError),
        profileCase("ProfileColours",
                    "--FR-SOLID-LEFT = 3\r\n--FR-SOLID-LEFT-COLOR = " + std::string(300000, 'F') +
                        "\r\n--ROTATION = 30\r\n--ROTATION-BACK-COLOR = " + std::string(300000, '0') +
                        "\r\n--WM-TEXT = Hi\r\n--WM-FONT-COLOR = " + std::string(300000, '7') + "\r\n",
                    kConverted, false),
        profileCase("ProfileWatermarkPicturePath", "--WM-IMAGE = " + std::string(300000, 'p') + "\r\n",
                    "Error: Invalid watermark image"),
        profileCase("ProfileOneKeyLine", std::string(300000, '-') + " = 1\r\n", kConverted),
    };

    HostileCase text;
    text.name = "ArgvText";
    text.options = quotedOverThree("--wm-text=", 'B');
    text.lastLine = kConverted;
    cases.push_back(text);

    HostileCase mask;
    mask.name = "ArgvNameTemplate";
    mask.options = quotedOverThree("--filename-mask=", 'm');
    mask.lastLine = kNotComplete;
    cases.push_back(mask);

    HostileCase output;
    output.name = "ArgvOutputFolder";
    output.options = {"-i", "{work}in.png", "-o"};
    for (const std::string& piece : quotedOverThree("", 'o')) output.options.push_back(piece);
    output.lastLine = "Error: Invalid output folder";
    cases.push_back(output);

    HostileCase input;
    input.name = "ArgvInputFile";
    input.options = {"-i"};
    for (const std::string& piece : quotedOverThree("", 'i')) input.options.push_back(piece + ".png");
    input.options.back() = input.options.back().substr(0, input.options.back().size() - 5) + ".png\"";
    input.lastLine = "Error: Invalid input file";
    cases.push_back(input);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(HugeTexts, HostileInput, testing::ValuesIn(hugeTextCases()), caseName);

// ---- bytes that are not UTF-8, and names that are not ASCII ----

std::vector<HostileCase> encodingCases() {
    std::vector<HostileCase> cases;
    const std::string broken = "\xFF\xFE broken \xC3 \xE2\x82 end \xF0\x9F";

    HostileCase text;
    text.name = "BrokenTextInDebugSummary";
    text.options = {"-d", "--wm-text=" + broken, "--wm-font=" + broken.substr(0, 2) + "Arial"};
    text.lastLine = kFontError;  // a face name with stray bytes is no installed face
    cases.push_back(text);

    HostileCase drawn;
    drawn.name = "BrokenTextDrawn";
    drawn.options = {"--wm-text=" + broken, "--wm-text-antialiasing", "--fr-solid-left-color=" + broken,
                     "--fr-solid-left=3"};
    drawn.lastLine = kConverted;
    cases.push_back(drawn);

    HostileCase mask;
    mask.name = "BrokenNameTemplate";
    mask.options = {"--filename-mask=\xFF\xFE_%FILENAME%_\xC3.dds"};
    mask.lastLine = kConverted;
    mask.outputName = "\xFF\xFE_in_\xC3.dds";
    cases.push_back(mask);

    HostileCase input;
    input.name = "BrokenInputName";
    input.input = "\xFF\xFE\x80.png";
    input.outputName = "\xFF\xFE\x80.dds";
    input.lastLine = kConverted;
    cases.push_back(input);

    HostileCase folder;
    folder.name = "Latin1OutputFolder";
    folder.outputFolder = "\xE9t\xE9/";
    folder.lastLine = kConverted;
    cases.push_back(folder);

    HostileCase latin1Profile;
    latin1Profile.name = "Latin1Profile";  // no byte-order mark: read as ISO-8859-1
    latin1Profile.files = {{"latin1.ini", "[CLI]\r\n--WM-TEXT = caf\xE9 \xFC\xFF\r\n--FILENAME-MASK = \xE9%filename%.dds\r\n"}};
    latin1Profile.options = {"--profile={work}latin1.ini"};
    latin1Profile.lastLine = kConverted;
    latin1Profile.outputName = "\xC3\xA9in.dds";
    cases.push_back(latin1Profile);

    HostileCase names;
    names.name = "NonAsciiNames";
    names.input = "Bild_\xC3\xA4\xC3\xB6\xC3\xBC_\xE6\x97\xA5\xE6\x9C\xAC.png";
    names.outputFolder = "Ausgabe_\xC3\x9F_\xF0\x9F\x98\x80/";
    names.outputName = "Bild_\xC3\xA4\xC3\xB6\xC3\xBC_\xE6\x97\xA5\xE6\x9C\xAC.dds";
    names.options = {"--wm-text=%filename% \xE2\x82\xAC"};
    names.lastLine = kConverted;
    cases.push_back(names);

    HostileCase upper;
    upper.name = "NonAsciiNameTemplateUpperCase";
    upper.input = "\xC3\xA4pfel.png";
    upper.options = {"--filename-mask=%FILENAME[U]%.%EXT%"};
    upper.outputName = "\xC3\x84PFEL.dds";
    upper.lastLine = kConverted;
    cases.push_back(upper);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Encodings, HostileInput, testing::ValuesIn(encodingCases()), caseName);

// ---- PNG headers and damaged files ----

std::string suitePicture() { return readFileBytes(pngSuitePath("basn6a08.png")); }  // 32 x 32 RGBA

// basn6a08.png: signature 0-7, IHDR 8-32 (data 16-28, CRC 29-32), gAMA 33-48,
// IDAT 49-171 (data 57-167, CRC 168-171), IEND 172-183.
std::string flipped(std::string bytes, std::size_t at) {
    bytes.at(at) = static_cast<char>(bytes[at] ^ 0x10);
    return bytes;
}

std::string withDamagedImageData(std::size_t at) {
    const std::string png = suitePicture();
    std::string data = png.substr(57, 111);
    data.at(at) = static_cast<char>(data[at] ^ 0x55);
    return png.substr(0, 49) + pngChunk("IDAT", data) + png.substr(172);  // CRC made to fit
}

std::string withChunkBefore(const std::string& chunk, std::size_t at) {
    const std::string png = suitePicture();
    return png.substr(0, at) + chunk + png.substr(at);
}

HostileCase fileCase(std::string name, std::string bytes, std::string lastLine) {
    HostileCase c;
    c.name = std::move(name);
    c.inputBytes = std::move(bytes);
    c.lastLine = std::move(lastLine);
    c.width = c.height = 32;
    return c;
}

std::vector<HostileCase> damagedFileCases() {
    const std::string png = suitePicture();
    std::vector<HostileCase> cases{
        fileCase("Intact", png, kConverted),
        fileCase("TrailingGarbage", png + std::string(70, 'g'), kConverted),
        fileCase("AnnouncesTenBillionPixels", buildPng(100000, 100000, 8, 6, std::string(1000, '\0')), kNotComplete),
        fileCase("AnnouncesLargestSizesWithLittleData", buildPng(0x7FFFFFFF, 0x7FFFFFFF, 16, 6, std::string(100, '\0')),
                 kNotComplete),
        fileCase("AnnouncesAGigabyteInAKilobyte", buildPng(16384, 16384, 8, 6, std::string(1000, '\0')), kNotComplete),
        fileCase("AnnouncesOneEndlessRow", buildPng(1, 0x7FFFFFFF, 1, 0, std::string(64, '\0')), kNotComplete),
        fileCase("AnnouncesZeroSize", buildPng(0, 0, 8, 6, ""), kNotComplete),
        fileCase("InvalidDepth", buildPng(32, 7827497, 79, 6, std::string(100, '\0')), kNotComplete),
        fileCase("FlippedWidthBadCrc", flipped(png, 19), kNotComplete),
        fileCase("FlippedDepthBadCrc", flipped(png, 24), kNotComplete),
        fileCase("FlippedIhdrCrc", flipped(png, 29), kNotComplete),
        fileCase("FlippedGammaIsOnlyAncillary", flipped(png, 45), kConverted),
        fileCase("FlippedImageDataBadCrc", flipped(png, 100), kNotComplete),
        fileCase("FlippedImageDataCrc", flipped(png, 170), kNotComplete),
        fileCase("FlippedEndCrc", flipped(png, 180), kNotComplete),
        fileCase("DamagedDeflateHeaderCrcFits", withDamagedImageData(0), kNotComplete),
        fileCase("DamagedDeflateStreamCrcFits", withDamagedImageData(50), kNotComplete),
        fileCase("DamagedAdlerCrcFits", withDamagedImageData(110), kNotComplete),
        fileCase("AncillaryChunkBadCrc", withChunkBefore(flipped(pngChunk("tEXt", std::string("Comment\0hi", 10)), 20), 49),
                 kConverted),
        fileCase("UnknownCriticalChunk", withChunkBefore(pngChunk("ABCD", "xyz"), 49), kNotComplete),
        fileCase("HugeChunkLength", withChunkBefore(std::string("\x7F\xFF\xFF\xFFtEXt", 8), 49), kNotComplete),
        fileCase("NotAPng", std::string("GIF89a") + std::string(200, '\x01'), kNotComplete),
    };
    for (std::size_t cut : {1, 8, 12, 20, 33, 49, 57, 100, 168, 172, 183}) {
        cases.push_back(fileCase("CutAt" + std::to_string(cut), png.substr(0, cut), kNotComplete));
    }
    HostileCase empty = fileCase("EmptyFile", "", "Error: Invalid input file");
    empty.inputBytes.clear();
    empty.files = {{"in.png", ""}};  // written after the default picture: the file is empty
    cases.push_back(empty);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(DamagedFiles, HostileInput, testing::ValuesIn(damagedFileCases()), caseName);

// The watermark picture is read like the input; a damaged or oversized one
// is left out and the image is converted without it.
std::vector<HostileCase> watermarkPictureCases() {
    const std::string png = suitePicture();
    const std::pair<const char*, std::string> pictures[] = {
        {"TenBillionPixels", buildPng(100000, 100000, 8, 6, std::string(1000, '\0'))},
        {"GigabyteInAKilobyte", buildPng(16384, 16384, 8, 6, std::string(1000, '\0'))},
        {"CutShort", png.substr(0, 100)},
        {"BadCrc", flipped(png, 100)},
        {"Empty", ""},
    };
    std::vector<HostileCase> cases;
    for (const auto& [name, bytes] : pictures) {
        HostileCase c;
        c.name = std::string("WatermarkPicture") + name;
        c.files = {{"mark.png", bytes}};
        c.options = {"--wm-image={work}mark.png", "--wm-image-rotation=45"};
        c.lastLine = bytes.empty() ? "Error: Invalid watermark image" : kConverted;
        cases.push_back(std::move(c));
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(WatermarkPictures, HostileInput, testing::ValuesIn(watermarkPictureCases()), caseName);

}  // namespace
