// Named values of the choice-valued settings. The records keep every
// setting as the small integer the configuration file holds (the position
// of its keyword); code that acts on a choice converts it here, at the
// point of use, and compares names instead of numbers. Each enum is tied to
// its keyword table, so a reordered table fails to compile.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/keywords.h"

enum class RotationType : std::uint8_t { Simple, Advanced };
enum class SizeUnit : std::uint8_t { Pixels, Percent };
enum class ResizeScope : std::uint8_t { AllImages, LargeImages };
enum class FrameKind : std::uint8_t { None, Solid };
enum class WatermarkKind : std::uint8_t { None, Text, Image };
enum class FontStyle : std::uint8_t { Regular, Bold, Italic, BoldItalic };
enum class FontEffect : std::uint8_t { None, Underline, StrikeThrough };
enum class TextAlignment : std::uint8_t { Left, Center, Right };
enum class Boundary : std::uint8_t { Image, Frame };
enum class TimestampSource : std::uint8_t { Current, Original, Custom };
// Auto: DXT1 when every alpha is 0 or 255, DXT5 otherwise; None: 32-bit pixels.
enum class DdsCompression : std::uint8_t { Auto, Dxt1, Dxt5, Bc7, None };

// The run mode the command line chooses: a plain run, a debug run that logs
// every file ("-DEBUG"), or the screenshot command ("T").
enum class RunMode : std::uint8_t { Normal, Debug, Screenshot };

// A stored setting read as its named value. Any stored number converts; one
// without a keyword matches none of the names.
template <typename Choice>
constexpr Choice choiceOf(int stored) {
    return static_cast<Choice>(stored);
}

// The stored number of a named value.
template <typename Choice>
constexpr int storedValue(Choice choice) {
    return static_cast<int>(choice);
}

namespace choice_check {
template <typename Choice, std::size_t N>
constexpr bool named(const std::array<std::string_view, N>& keywords, Choice choice, std::string_view keyword) {
    return static_cast<std::size_t>(choice) < N && keywords[static_cast<std::size_t>(choice)] == keyword;
}
}  // namespace choice_check

static_assert(choice_check::named(kRotationTypeKeywords, RotationType::Simple, "SIMPLE"));
static_assert(choice_check::named(kRotationTypeKeywords, RotationType::Advanced, "ADVANCED"));
static_assert(kRotationTypeKeywords.size() == 2);
static_assert(choice_check::named(kSizeUnitKeywords, SizeUnit::Pixels, "PIXELS"));
static_assert(choice_check::named(kSizeUnitKeywords, SizeUnit::Percent, "PERCENT"));
static_assert(kSizeUnitKeywords.size() == 2);
static_assert(choice_check::named(kResizeScopeKeywords, ResizeScope::AllImages, "ALLIMAGES"));
static_assert(choice_check::named(kResizeScopeKeywords, ResizeScope::LargeImages, "LARGEIMAGES"));
static_assert(kResizeScopeKeywords.size() == 2);
static_assert(choice_check::named(kFrameKindKeywords, FrameKind::None, "NONE"));
static_assert(choice_check::named(kFrameKindKeywords, FrameKind::Solid, "SOLID"));
static_assert(kFrameKindKeywords.size() == 2);
static_assert(choice_check::named(kWatermarkKindKeywords, WatermarkKind::None, "NONE"));
static_assert(choice_check::named(kWatermarkKindKeywords, WatermarkKind::Text, "TEXT"));
static_assert(choice_check::named(kWatermarkKindKeywords, WatermarkKind::Image, "IMAGE"));
static_assert(kWatermarkKindKeywords.size() == 3);
static_assert(choice_check::named(kFontStyleKeywords, FontStyle::Regular, "REGULAR"));
static_assert(choice_check::named(kFontStyleKeywords, FontStyle::Bold, "BOLD"));
static_assert(choice_check::named(kFontStyleKeywords, FontStyle::Italic, "ITALIC"));
static_assert(choice_check::named(kFontStyleKeywords, FontStyle::BoldItalic, "BOLDITALIC"));
static_assert(kFontStyleKeywords.size() == 4);
static_assert(choice_check::named(kFontEffectKeywords, FontEffect::None, "NONE"));
static_assert(choice_check::named(kFontEffectKeywords, FontEffect::Underline, "UNDERLINE"));
static_assert(choice_check::named(kFontEffectKeywords, FontEffect::StrikeThrough, "STRIKETHROUGHT"));
static_assert(kFontEffectKeywords.size() == 3);
static_assert(choice_check::named(kTextAlignmentKeywords, TextAlignment::Left, "LEFT"));
static_assert(choice_check::named(kTextAlignmentKeywords, TextAlignment::Center, "CENTER"));
static_assert(choice_check::named(kTextAlignmentKeywords, TextAlignment::Right, "RIGHT"));
static_assert(kTextAlignmentKeywords.size() == 3);
static_assert(choice_check::named(kBoundaryKeywords, Boundary::Image, "IMAGE"));
static_assert(choice_check::named(kBoundaryKeywords, Boundary::Frame, "FRAME"));
static_assert(kBoundaryKeywords.size() == 2);
static_assert(choice_check::named(kTimestampSourceKeywords, TimestampSource::Current, "CURRENT"));
static_assert(choice_check::named(kTimestampSourceKeywords, TimestampSource::Original, "ORIGINAL"));
static_assert(choice_check::named(kTimestampSourceKeywords, TimestampSource::Custom, "CUSTOM"));
static_assert(kTimestampSourceKeywords.size() == 3);
static_assert(choice_check::named(kDdsCompressionKeywords, DdsCompression::Auto, "AUTO"));
static_assert(choice_check::named(kDdsCompressionKeywords, DdsCompression::Dxt1, "DXT1"));
static_assert(choice_check::named(kDdsCompressionKeywords, DdsCompression::Dxt5, "DXT5"));
static_assert(choice_check::named(kDdsCompressionKeywords, DdsCompression::Bc7, "BC7"));
static_assert(choice_check::named(kDdsCompressionKeywords, DdsCompression::None, "NONE"));
static_assert(kDdsCompressionKeywords.size() == 5);
