#include "settings/field_ref.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "settings/text.h"

std::string configValueText(uint8 value) { return std::to_string(static_cast<int>(static_cast<std::int8_t>(value))); }

std::string configValueText(int32 value) { return std::to_string(value); }

std::string configValueText(float32 value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
    // to_chars ignores the process locale, so a comma locale set by the
    // window toolkit cannot change the file.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

std::string configValueText(const std::string& value) { return value; }

void assignConfigText(uint8& field, std::string_view text) {
    field = static_cast<uint8>(readInteger(text, NumberSyntax::DecimalOnly) & 0xFF);
}

void assignConfigText(int32& field, std::string_view text) { field = readInteger(text, NumberSyntax::DecimalOnly); }

void assignConfigText(float32& field, std::string_view text) { field = toFloat32(readDecimal(text)); }

void assignConfigText(std::string& field, std::string_view text) { field = trimSpaces(text); }

float32 toFloat32(double value) {
    constexpr double kMax = std::numeric_limits<float32>::max();
    if (value > kMax) return std::numeric_limits<float32>::infinity();
    if (value < -kMax) return -std::numeric_limits<float32>::infinity();
    return static_cast<float32>(value);
}
