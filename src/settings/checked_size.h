// The one size rule for buffers of a picture's size: width x height x
// bytes per element, checked against a limit before anything is allocated,
// without the product ever overflowing (each factor is compared with the
// limit divided by the others first, as stb does before every allocation).
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

// The product of the three factors when every factor is at least 0 and the
// product is at most `limit`; nothing otherwise. A zero factor gives 0.
constexpr std::optional<std::uint64_t> checkedSize(std::int64_t width, std::int64_t height,
                                                   std::int64_t bytesPerElement = 1,
                                                   std::uint64_t limit = std::numeric_limits<std::uint64_t>::max()) {
    if (width < 0 || height < 0 || bytesPerElement < 0) return std::nullopt;
    const auto w = static_cast<std::uint64_t>(width), h = static_cast<std::uint64_t>(height),
               b = static_cast<std::uint64_t>(bytesPerElement);
    if (w == 0 || h == 0 || b == 0) return std::uint64_t{0};
    if (w > limit / h) return std::nullopt;
    const std::uint64_t area = w * h;
    if (area > limit / b) return std::nullopt;
    return area * b;
}

// Whether a width x height picture with sides of at least 1 has at most
// `limit` elements.
constexpr bool pictureFits(std::int64_t width, std::int64_t height, std::uint64_t limit) {
    return width > 0 && height > 0 && checkedSize(width, height, 1, limit).has_value();
}
