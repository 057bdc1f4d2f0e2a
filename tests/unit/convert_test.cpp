// The conversion pipeline end to end: every PngSuite image read back from
// its DDS file, corrupt inputs, and the save sequence that never loses a
// file.
#include <gtest/gtest.h>

#include <FreeImage.h>
#include <filesystem>
#include <sys/stat.h>

#include "dds_reader.h"
#include "engine/convert.h"
#include "engine/image.h"
#include "test_support.h"

namespace {

BatchJob jobFor(const std::string& input, const std::string& outputFolder) {
    BatchJob job;
    job.inputPath = input;
    job.outputFolder = outputFolder;
    job.outputExtension = "dds";
    job.autoBitDepth = true;
    return job;
}

// What the DDS file must show: the source decoded by FreeImage to 8 bits
// per channel, top-down RGBA. Deep images go through Drago tone mapping
// (gamma 1, exposure 0) and lose their alpha; 16-bit grey keeps its high
// byte.
struct Reference {
    unsigned width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

ImagePtr referenceBitmap(const std::string& path) {
    ImagePtr source(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    if (!source) return nullptr;
    if (FreeImage_GetImageType(source.get()) == FIT_UINT16) {
        ImagePtr grey(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(source.get())),
                                         static_cast<int>(FreeImage_GetHeight(source.get())), 24));
        for (unsigned y = 0; y < FreeImage_GetHeight(grey.get()); ++y) {
            auto* in = reinterpret_cast<WORD*>(FreeImage_GetScanLine(source.get(), static_cast<int>(y)));
            BYTE* out = FreeImage_GetScanLine(grey.get(), static_cast<int>(y));
            for (unsigned x = 0; x < FreeImage_GetWidth(grey.get()); ++x)
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = static_cast<BYTE>(in[x] >> 8);
        }
        source = std::move(grey);
    }
    if (FreeImage_GetBPP(source.get()) > 32) source.reset(FreeImage_TmoDrago03(source.get(), 1.0, 0.0));
    return ImagePtr(FreeImage_ConvertTo32Bits(source.get()));
}

Reference referenceOf(const std::string& path) {
    Reference ref;
    ImagePtr image = referenceBitmap(path);
    if (!image) return ref;
    ref.width = FreeImage_GetWidth(image.get());
    ref.height = FreeImage_GetHeight(image.get());
    ref.rgba.resize(std::size_t{ref.width} * ref.height * 4);
    for (unsigned y = 0; y < ref.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(ref.height - 1 - y));
        for (unsigned x = 0; x < ref.width; ++x) {
            std::uint8_t* px = &ref.rgba[(std::size_t{y} * ref.width + x) * 4];
            px[0] = row[4 * x + FI_RGBA_RED];
            px[1] = row[4 * x + FI_RGBA_GREEN];
            px[2] = row[4 * x + FI_RGBA_BLUE];
            px[3] = row[4 * x + FI_RGBA_ALPHA];
        }
    }
    return ref;
}

struct Difference {
    double meanColorError = 0;  // over opaque pixels, per channel
    int maxColorError = 0;
    int alphaMismatches = 0;  // opaque vs. transparent disagreements
};

Difference compare(const Reference& ref, const DdsImage& dds) {
    Difference d;
    long long sum = 0, count = 0;
    for (std::size_t i = 0; i + 3 < ref.rgba.size(); i += 4) {
        const bool refOpaque = ref.rgba[i + 3] >= 128;
        const bool ddsOpaque = dds.rgba[i + 3] >= 128;
        if (refOpaque != ddsOpaque) ++d.alphaMismatches;
        if (!refOpaque || !ddsOpaque) continue;
        for (int c = 0; c < 3; ++c) {
            const int e = std::abs(ref.rgba[i + c] - dds.rgba[i + c]);
            sum += e;
            ++count;
            d.maxColorError = std::max(d.maxColorError, e);
        }
    }
    d.meanColorError = count ? static_cast<double>(sum) / static_cast<double>(count) : 0;
    return d;
}

bool hasTransparency(const Reference& ref) {
    for (std::size_t i = 3; i < ref.rgba.size(); i += 4)
        if (ref.rgba[i] < 255) return true;
    return false;
}

std::vector<std::string> pngSuiteImages() {
    std::vector<std::string> names;
    for (const std::string& name : listFolder(pngSuitePath("")))
        if (name.size() > 4 && name.ends_with(".png")) names.push_back(name);
    return names;
}

}  // namespace

TEST(ConvertPngSuite, EveryImageReadsBackWithinDxtTolerance) {
    const std::vector<std::string> names = pngSuiteImages();
    ASSERT_GE(names.size(), 50u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TempFolder out;
        BatchJob job = jobFor(pngSuitePath(name), out.path);
        ASSERT_TRUE(convertFile(job, ConversionSettings{}));
        const std::string expectedName = name.substr(0, name.size() - 4) + ".dds";
        EXPECT_EQ(job.outputPath, out.path + expectedName);
        EXPECT_EQ(listFolder(out.path), std::vector<std::string>{expectedName});  // no temporary file left
        const Reference ref = referenceOf(pngSuitePath(name));
        const DdsImage dds = readDdsFile(job.outputPath);
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(dds.header.width, ref.width);
        EXPECT_EQ(dds.header.height, ref.height);
        EXPECT_EQ(dds.header.mipMapCount, fullMipCount(ref.width, ref.height));
        EXPECT_EQ(dds.header.fourCC, "DXT1");
        EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
        EXPECT_EQ(job.finalWidth, static_cast<int>(ref.width));
        EXPECT_EQ(job.targetBitDepth, 32);
        const Difference d = compare(ref, dds);
        // DXT1 keeps four colours per 4 x 4 block (three beside a
        // transparent one), so busy blocks of these small photos lose more.
        EXPECT_LE(d.meanColorError, hasTransparency(ref) ? 20.0 : 14.0);
        EXPECT_EQ(d.alphaMismatches, 0);
    }
}
