// Every PngSuite image converted by the real binary, one process per image,
// and its DDS file read back against FreeImage's own decoding.
#include <gtest/gtest.h>

#include <cctype>

#include "console_run_support.h"
#include "reference_image.h"

namespace {

std::vector<std::string> pngSuiteImages() {
    std::vector<std::string> names;
    for (const std::string& name : listFolder(pngSuitePath("")))
        if (name.size() > 4 && name.ends_with(".png")) names.push_back(name);
    return names;
}

std::string testNameOf(const testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param.substr(0, info.param.size() - 4))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

class PngSuiteThroughTheBinary : public testing::TestWithParam<std::string> {};

}  // namespace

TEST(PngSuiteThroughTheBinaryList, HoldsTheSuite) { EXPECT_GE(pngSuiteImages().size(), 50u); }

TEST_P(PngSuiteThroughTheBinary, ConvertsWithinDxtTolerance) {
    const std::string name = GetParam();
    const std::string base = name.substr(0, name.size() - 4);
    WorkFolder work;
    const RunResult run = work.run({"-q", "-i", pngSuitePath(name), "-o", work.path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(work.files(), (Lines{base + ".dds", "pic.png"}));  // no temporary file left

    const ReferenceImage ref = referenceOf(pngSuitePath(name));
    ASSERT_GT(ref.width, 0u);
    const DdsImage dds = readDdsFile(work.path + base + ".dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, ref.width);
    EXPECT_EQ(dds.header.height, ref.height);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(ref.width, ref.height));
    EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
    ASSERT_EQ(dds.rgba.size(), ref.rgba.size());
    const ImageDifference d = compareWithDds(ref, dds);
    EXPECT_LE(d.meanColorError, dxt1MeanErrorLimit(ref));
    EXPECT_EQ(d.alphaMismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteThroughTheBinary, testing::ValuesIn(pngSuiteImages()), testNameOf);
