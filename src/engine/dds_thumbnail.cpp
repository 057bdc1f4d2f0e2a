#include "engine/dds_thumbnail.h"

#include <algorithm>
#include <vector>

#include "engine/png_encode.h"
#include "settings/file_handle.h"

namespace {

// One source pixel's share in an output pixel along one axis.
struct Share {
    std::uint32_t source;
    double weight;
};

// For each of `to` output pixels, the source pixels of `from` it covers
// and how much of each.
std::vector<std::vector<Share>> sharesAlong(std::uint32_t from, std::uint32_t to) {
    std::vector<std::vector<Share>> shares(to);
    const double step = static_cast<double>(from) / to;
    for (std::uint32_t out = 0; out < to; ++out) {
        const double begin = out * step, end = std::min<double>((out + 1) * step, from);
        for (auto source = static_cast<std::uint32_t>(begin); source < from && source < end; ++source) {
            const double weight = std::min<double>(source + 1, end) - std::max<double>(source, begin);
            if (weight > 0) shares[out].push_back({source, weight});
        }
    }
    return shares;
}

std::uint32_t scaledSide(std::uint32_t side, std::uint32_t size, std::uint32_t longest) {
    const std::uint64_t scaled = (std::uint64_t{side} * size + longest / 2) / longest;
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(scaled, 1));
}

std::uint8_t rounded(double value) { return static_cast<std::uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); }

void averageInto(const RgbaPicture& picture, const std::vector<Share>& rows, const std::vector<Share>& columns,
                 std::uint8_t* out) {
    double colour[3] = {}, alpha = 0, area = 0;
    for (const Share& row : rows)
        for (const Share& column : columns) {
            const std::uint8_t* p = &picture.rgba[(std::size_t{row.source} * picture.width + column.source) * 4];
            const double weight = row.weight * column.weight;
            const double covered = weight * p[3];
            for (int c = 0; c < 3; ++c) colour[c] += covered * p[c];
            alpha += covered;
            area += weight;
        }
    for (int c = 0; c < 3; ++c) out[c] = alpha > 0 ? rounded(colour[c] / alpha) : 0;
    out[3] = rounded(alpha / area);
}

}  // namespace

std::size_t thumbnailSourceLevel(const DdsFileInfo& info, std::uint32_t size) {
    std::size_t chosen = 0;
    for (std::size_t level = 0; level < info.levels.size(); ++level)
        if (info.levels[level].width >= size && info.levels[level].height >= size) chosen = level;
    return chosen;
}

RgbaPicture scaledToFit(const RgbaPicture& picture, std::uint32_t size) {
    const std::uint32_t longest = std::max(picture.width, picture.height);
    if (size == 0 || longest <= size) return picture;
    RgbaPicture scaled;
    scaled.width = scaledSide(picture.width, size, longest);
    scaled.height = scaledSide(picture.height, size, longest);
    scaled.rgba.resize(std::size_t{scaled.width} * scaled.height * 4);
    const auto rows = sharesAlong(picture.height, scaled.height);
    const auto columns = sharesAlong(picture.width, scaled.width);
    for (std::uint32_t y = 0; y < scaled.height; ++y)
        for (std::uint32_t x = 0; x < scaled.width; ++x)
            averageInto(picture, rows[y], columns[x], &scaled.rgba[(std::size_t{y} * scaled.width + x) * 4]);
    return scaled;
}

std::string writeDdsThumbnail(const std::string& input, const std::string& output, std::uint32_t size) {
    const DdsFile file = openDdsFile(input);
    if (!file.info.ok) return file.info.error + ": " + input;
    const std::size_t level = thumbnailSourceLevel(file.info, size);
    const RgbaPicture picture = decodeDdsLevel(file.bytes, file.info, level);
    const std::string png = encodeRgbaPng(scaledToFit(picture, size));
    if (png.empty()) return "The thumbnail could not be made: " + input;
    if (!writeFileByRename(output, png)) return "The thumbnail could not be written: " + output;
    return {};
}
