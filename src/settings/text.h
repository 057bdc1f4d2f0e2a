// Text helpers shared by every subsystem: letter case per code point, the
// blank trimming rules, cleanText, and the number readers used by the
// command line, profiles and the configuration file. Text is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Letter case per Unicode code point (so non-ASCII letters change too);
// bytes that are not valid UTF-8 are copied unchanged.
std::string toUpperText(std::string_view text);
std::string toLowerText(std::string_view text);
// First code point upper case, the rest lower case.
std::string toTitleText(std::string_view text);

// ASCII-only case helpers for keywords, group names and keys.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Trims spaces only (command-line parameters and keywords).
std::string trimSpaces(std::string_view text);
// Trims spaces and tabs (configuration lines).
std::string trimSpacesAndTabs(std::string_view text);
// The same, as a part of the text itself.
std::string_view trimmedOfSpacesAndTabs(std::string_view text);
// Blanks trimmed at both ends and every TAB, CR and LF removed.
std::string cleanText(std::string_view text);

// Every byte taken as an ISO-8859-1 character, written as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

// Replaces every occurrence of `from` by `to`; exact, or without regard to
// ASCII letter case.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignoreAsciiCase = false);

// Number of Unicode code points; invalid bytes count as one each.
std::size_t codePointCount(std::string_view text);
// The first n code points.
std::string firstCodePoints(std::string_view text, std::size_t n);

enum class NumberSyntax {
    DecimalOnly,      // configuration file: optional sign, decimal digits
    WithBasePrefixes  // command line and profiles: also "$" hex and "%" binary
};
// Reads leading spaces and tabs, an optional sign, then digits; stops at the
// first other character; no digits give 0. Values beyond 32 bits saturate.
std::int32_t readInteger(std::string_view text,
                         NumberSyntax syntax = NumberSyntax::WithBasePrefixes);
// Decimal number with "." as separator; "+Infinity", "-Infinity" and "NaN"
// are recognised; no digits give 0.
double readDecimal(std::string_view text);
