#include "cli/thumbnail_command.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>

#include "engine/dds_thumbnail.h"
#include "settings/text.h"

namespace {

constexpr std::int32_t kLargestSize = 65535;

// Digits only: a file manager passes a plain number, and anything else is
// a mistake better reported than read as some other size.
std::optional<std::uint32_t> sizeOf(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const std::int32_t size = readInteger(text, NumberSyntax::DecimalOnly);
    if (size < 1 || size > kLargestSize) return std::nullopt;
    return static_cast<std::uint32_t>(size);
}

int failed(const std::string& why) {
    std::fprintf(stderr, "Error: %s\n", why.c_str());
    return 1;
}

}  // namespace

int runThumbnailCommand(const std::vector<std::string>& parameters) {
    if (parameters.size() != 4) return failed("Usage: tovrel --thumbnail IN OUT.png SIZE");
    const std::optional<std::uint32_t> size = sizeOf(parameters[3]);
    if (!size) return failed("The thumbnail size must be a whole number from 1 to 65535: " + parameters[3]);
    try {
        const std::string error = writeDdsThumbnail(parameters[1], parameters[2], *size);
        return error.empty() ? 0 : failed(error);
    } catch (const std::bad_alloc&) {
        return failed("Not enough memory for the thumbnail of " + parameters[1]);
    }
}
