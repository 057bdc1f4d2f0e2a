// A watermark picture is a file like the input: its header may announce far
// more pixels than it holds or than any image of the program may have. Such
// a picture is not drawn, and it is refused before its pixels are
// allocated.
#include <gtest/gtest.h>

#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/watermark.h"
#include "test_support.h"

namespace {

// An uncompressed 32-bit BMP header announcing width x height, followed by
// only `dataBytes` bytes of pixels.
std::string truncatedBmp(std::int32_t width, std::int32_t height, std::size_t dataBytes) {
    auto little = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
        return out;
    };
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(std::uint64_t{4} * width * height);
    return "BM" + little(54 + imageBytes, 4) + little(0, 4) + little(54, 4) + little(40, 4) +
           little(static_cast<std::uint32_t>(width), 4) + little(static_cast<std::uint32_t>(height), 4) +
           little(1, 2) + little(32, 2) + little(0, 4) + little(imageBytes, 4) + little(2835, 4) + little(2835, 4) +
           little(0, 4) + little(0, 4) + std::string(dataBytes, '\x40');
}

struct PictureCase {
    const char* name;
    std::string bytes;
    bool drawn;
};

// Renders in a child so that its peak memory is its own.
struct Rendered {
    int outcome = -1;  // 1 drawn, 0 not drawn
    long peakKb = 0;
};

Rendered renderInChild(const std::string& path) {
    Rendered rendered;
    const pid_t child = fork();
    if (child == 0) {
        ConversionSettings settings;
        settings.DoWatermark = 2;
        settings.Image = path;
        _exit(renderPictureWatermark(settings) ? 1 : 0);
    }
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        rendered.outcome = WEXITSTATUS(status);
        rendered.peakKb = usage.ru_maxrss;
    }
    return rendered;
}

TEST(WatermarkPictureLimits, PicturesAnnouncingTooMuchAreNotDrawnNorAllocated) {
    const PictureCase cases[] = {
        {"small PNG", solidRgbaPng(12, 9, {1, 2, 3, 255}), true},
        {"small BMP", truncatedBmp(12, 9, 12 * 9 * 4), true},
        {"PNG announcing 100000 x 100000", buildPng(100000, 100000, 8, 6, std::string(1000, '\0')), false},
        {"PNG announcing a gigabyte in a kilobyte", buildPng(16384, 16384, 8, 6, std::string(1000, '\0')), false},
        {"BMP announcing 30000 x 30000", truncatedBmp(30000, 30000, 1000), false},
        {"BMP announcing 2^31-1 rows", truncatedBmp(1, 0x7FFFFFFF, 1000), false},
    };
    TempFolder folder;
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder.path + "mark", c.bytes);
        const Rendered rendered = renderInChild(folder.path + "mark");
        EXPECT_EQ(rendered.outcome, c.drawn ? 1 : 0);
        EXPECT_LT(rendered.peakKb, 600 * 1024);  // the faults took gigabytes
    }
}

}  // namespace
