// Speed and quality of the BC7 block encoder beside the DXT1 one, on one
// PNG: every 4 x 4 block of the picture and of its 2 x 2 box-filtered
// half, each encoder on one core. Prints blocks per second and the RGB
// PSNR of the decoded blocks (over mid grey where the picture has alpha).
// Speed is over the thread's processor time, so other programs sharing the
// cores do not count; the best of `repeats` runs.
//   bc7_bench <picture.png> [repeats]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <ctime>
#include <vector>

#include "dds_blocks.h"
#include "dds_reader.h"
#include "engine/bc1_encode.h"
#include "engine/bc7_encode.h"
#include "reference_image.h"

namespace {

struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

Picture halved(const Picture& above) {
    Picture p{std::max<std::uint32_t>(above.width / 2, 1), std::max<std::uint32_t>(above.height / 2, 1), {}};
    p.rgba.resize(std::size_t{p.width} * p.height * 4);
    for (std::uint32_t y = 0; y < p.height; ++y)
        for (std::uint32_t x = 0; x < p.width; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (std::uint32_t dy = 0; dy < 2; ++dy)
                    for (std::uint32_t dx = 0; dx < 2; ++dx) {
                        const std::uint32_t sx = std::min(2 * x + dx, above.width - 1);
                        const std::uint32_t sy = std::min(2 * y + dy, above.height - 1);
                        sum += above.rgba[(std::size_t{sy} * above.width + sx) * 4 + static_cast<std::size_t>(c)];
                    }
                p.rgba[(std::size_t{y} * p.width + x) * 4 + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((sum + 2) / 4);
            }
    return p;
}

// Block (bx, by) row by row, edge pixels repeated.
void blockAt(const Picture& p, std::uint32_t bx, std::uint32_t by, std::uint8_t out[64]) {
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 4; ++x) {
            const std::uint32_t sx = std::min(bx * 4 + x, p.width - 1), sy = std::min(by * 4 + y, p.height - 1);
            std::copy_n(&p.rgba[(std::size_t{sy} * p.width + sx) * 4], 4, out + (y * 4 + x) * 4);
        }
}

bool hasAlpha(const Picture& p) {
    for (std::size_t i = 3; i < p.rgba.size(); i += 4)
        if (p.rgba[i] != 255) return true;
    return false;
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double over(int colour, int alpha) { return (colour * alpha + 128.0 * (255 - alpha)) / 255.0; }

double psnr(const Picture& expected, const std::vector<std::uint8_t>& actual, bool composite) {
    double squared = 0;
    for (std::size_t i = 0; i < expected.rgba.size(); i += 4)
        for (std::size_t c = 0; c < 3; ++c) {
            const double e = composite ? over(expected.rgba[i + c], expected.rgba[i + 3]) : expected.rgba[i + c];
            const double a = composite ? over(actual[i + c], actual[i + 3]) : actual[i + c];
            squared += (e - a) * (e - a);
        }
    const double mse = squared / static_cast<double>(expected.rgba.size() / 4 * 3);
    return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99.99;
}

struct Result {
    double blocksPerSecond = 0;
    double psnr = 0;
};

template <typename Encode>
Result measure(const Picture& p, BlockFormat format, std::size_t blockBytes, Encode encode, int repeats) {
    const std::uint32_t across = (p.width + 3) / 4, down = (p.height + 3) / 4;
    std::vector<std::uint8_t> pixels(std::size_t{across} * down * 64);
    for (std::uint32_t by = 0; by < down; ++by)
        for (std::uint32_t bx = 0; bx < across; ++bx) blockAt(p, bx, by, &pixels[(std::size_t{by} * across + bx) * 64]);
    const std::size_t count = std::size_t{across} * down;
    std::vector<std::uint8_t> blocks(count * blockBytes);
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const double start = threadSeconds();
        for (std::size_t i = 0; i < count; ++i) encode(&pixels[i * 64], &blocks[i * blockBytes]);
        best = std::min(best, threadSeconds() - start);
    }
    const DdsImage dds = readDds(ddsFileOfBlocks(p.width, p.height, format, blocks));
    if (!dds.ok) {
        std::fprintf(stderr, "decode failed: %s\n", dds.error.c_str());
        std::exit(1);
    }
    return {static_cast<double>(count) / best, psnr(p, dds.rgba, hasAlpha(p))};
}

void report(const char* name, const Picture& p, int repeats) {
    const Result dxt1 = measure(p, BlockFormat::dxt1, kBc1BlockBytes, encodeBc1Block, repeats);
    const Result bc7 = measure(p, BlockFormat::bc7, kBc7BlockBytes, encodeBc7Block, repeats);
    std::printf("%-6s %5u x %-5u  DXT1 %6.2f dB %9.0f blocks/s   BC7 %6.2f dB %9.0f blocks/s   BC7 - DXT1 %+.2f dB\n",
                name, p.width, p.height, dxt1.psnr, dxt1.blocksPerSecond, bc7.psnr, bc7.blocksPerSecond,
                bc7.psnr - dxt1.psnr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bc7_bench <picture.png> [repeats]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const ReferenceImage ref = referenceOf(argv[1]);
    if (ref.rgba.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const Picture top{ref.width, ref.height, ref.rgba};
    report("top", top, repeats);
    report("half", halved(top), repeats);
    return 0;
}
