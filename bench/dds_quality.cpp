// Quality of DDS files made from one PNG: every level decoded with the
// tests' DDS reader and compared, as PSNR over the colour of pixels opaque
// in both, with
//  - "ref":   the exported pixels (level 0) and their box-filtered chain
//             (each level the 2 x 2 mean of the one above, an odd last
//             column or row folded into the last pixel, colour weighted by
//             alpha), the same for every file;
//  - "above": the 2 x 2 mean of the file's own level above, which shows how
//             well a writer filters its levels, apart from its blocks.
// The alpha column counts pixels whose opaque/transparent state (alpha at
// least 128) differs from the reference, in percent; "comp" is the PSNR of
// every pixel composited over mid grey (128), which weighs colour by alpha
// and counts alpha errors by how far they move what a viewer sees.
//   dds_quality <source.png> <label>=<file.dds> ...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "dds_reader.h"
#include "reference_image.h"

namespace {

struct Level {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

std::uint32_t half(std::uint32_t side) { return std::max<std::uint32_t>(side / 2, 1); }

// First source index and count for target index i of a side halved.
std::pair<std::uint32_t, std::uint32_t> span(std::uint32_t i, std::uint32_t target, std::uint32_t source) {
    const std::uint32_t first = std::min(2 * i, source - 1);
    const std::uint32_t end = i + 1 == target ? source : first + 2;
    return {first, end - first};
}

Level boxBelow(const Level& above) {
    Level level{half(above.width), half(above.height), {}};
    level.rgba.resize(std::size_t{level.width} * level.height * 4);
    for (std::uint32_t y = 0; y < level.height; ++y)
        for (std::uint32_t x = 0; x < level.width; ++x) {
            const auto [x0, xn] = span(x, level.width, above.width);
            const auto [y0, yn] = span(y, level.height, above.height);
            double colour[3] = {0, 0, 0}, plain[3] = {0, 0, 0}, alpha = 0;
            for (std::uint32_t sy = y0; sy < y0 + yn; ++sy)
                for (std::uint32_t sx = x0; sx < x0 + xn; ++sx) {
                    const std::uint8_t* p = &above.rgba[(std::size_t{sy} * above.width + sx) * 4];
                    for (int c = 0; c < 3; ++c) colour[c] += p[c] * p[3], plain[c] += p[c];
                    alpha += p[3];
                }
            std::uint8_t* out = &level.rgba[(std::size_t{y} * level.width + x) * 4];
            const double count = xn * yn;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::lround(alpha > 0 ? colour[c] / alpha : plain[c] / count));
            out[3] = static_cast<std::uint8_t>(std::floor(alpha / count + 0.5));
        }
    return level;
}

struct Score {
    double psnr = 0;        // over colour of pixels opaque in both
    double alphaWrong = 0;  // percent of pixels
    double composite = 0;   // over every pixel composited over mid grey
};

double psnrOf(double squared, std::size_t samples) {
    const double mse = samples ? squared / static_cast<double>(samples) : 0;
    return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99.99;
}

double overGrey(const std::uint8_t* pixel, int channel) {
    const double alpha = pixel[3] / 255.0;
    return pixel[channel] * alpha + 128.0 * (1 - alpha);
}

Score compare(const Level& expected, const DdsLevel& actual) {
    double squared = 0, compositeSquared = 0;
    std::size_t samples = 0, wrong = 0;
    const std::size_t pixels = std::size_t{expected.width} * expected.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            const double d = overGrey(&expected.rgba[i * 4], c) - overGrey(&actual.rgba[i * 4], c);
            compositeSquared += d * d;
        }
        const bool expectedOpaque = expected.rgba[i * 4 + 3] >= 128, actualOpaque = actual.rgba[i * 4 + 3] >= 128;
        if (expectedOpaque != actualOpaque) ++wrong;
        if (!expectedOpaque || !actualOpaque) continue;
        for (int c = 0; c < 3; ++c) {
            const double d = static_cast<double>(expected.rgba[i * 4 + c]) - static_cast<double>(actual.rgba[i * 4 + c]);
            squared += d * d;
        }
        samples += 3;
    }
    Score score;
    score.psnr = psnrOf(squared, samples);
    score.composite = psnrOf(compositeSquared, pixels * 3);
    score.alphaWrong = pixels ? 100.0 * static_cast<double>(wrong) / static_cast<double>(pixels) : 0;
    return score;
}

Level asLevel(const DdsLevel& level) { return {level.width, level.height, level.rgba}; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: dds_quality <source.png> <label>=<file.dds> ...\n");
        return 2;
    }
    const ReferenceImage source = referenceOf(argv[1]);
    if (source.width == 0) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<Level> reference{{source.width, source.height, source.rgba}};
    while (reference.back().width > 1 || reference.back().height > 1) reference.push_back(boxBelow(reference.back()));
    std::printf("%-8s %-5s %11s %7s %7s %7s %7s\n", "writer", "level", "size", "ref", "above", "alpha%", "comp");
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        const std::string label = argument.substr(0, equals), path = argument.substr(equals + 1);
        const DdsImage dds = readDdsFile(path);
        if (!dds.ok) {
            std::printf("%-8s unreadable: %s\n", label.c_str(), dds.error.c_str());
            continue;
        }
        for (std::size_t level = 0; level < dds.levels.size() && level < reference.size(); ++level) {
            const DdsLevel& decoded = dds.levels[level];
            if (decoded.width != reference[level].width || decoded.height != reference[level].height) break;
            const Score ref = compare(reference[level], decoded);
            std::string above = "-";
            if (level > 0) {
                char text[16];
                std::snprintf(text, sizeof text, "%.2f", compare(boxBelow(asLevel(dds.levels[level - 1])), decoded).psnr);
                above = text;
            }
            char size[24];
            std::snprintf(size, sizeof size, "%ux%u", decoded.width, decoded.height);
            std::printf("%-8s %-5zu %11s %7.2f %7s %7.2f %7.2f\n", label.c_str(), level, size, ref.psnr, above.c_str(),
                        ref.alphaWrong, ref.composite);
        }
    }
    return 0;
}
