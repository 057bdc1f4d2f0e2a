#include "settings/text.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cwctype>
#include <limits>
#include <locale.h>

namespace {

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when the
// bytes there are not a valid sequence.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& out) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char b0 = byte(pos);
    std::size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || pos + len > text.size()) return 0;
    if (len == 1) { out = b0; return 1; }
    char32_t cp = b0 & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    out = cp;
    return len;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Case mapping needs a UTF-8 locale whatever the process locale is; one
// locale object is made once and used read-only from any thread.
locale_t utf8Locale() {
    static locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

template <typename Map>
std::string mapCodePoints(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    std::size_t index = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        std::size_t len = decodeUtf8(text, pos, cp);
        if (len == 0) {
            out += text[pos++];
        } else {
            appendUtf8(out, map(cp, index));
            pos += len;
        }
        ++index;
    }
    return out;
}

char32_t upperOf(char32_t cp) {
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), utf8Locale()));
}
char32_t lowerOf(char32_t cp) {
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), utf8Locale()));
}

bool isBlank(char c, bool tabsToo) { return c == ' ' || (tabsToo && c == '\t'); }

std::string_view trimViewWith(std::string_view text, bool tabsToo) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin], tabsToo)) ++begin;
    while (end > begin && isBlank(text[end - 1], tabsToo)) --end;
    return text.substr(begin, end - begin);
}

std::string trimWith(std::string_view text, bool tabsToo) { return std::string(trimViewWith(text, tabsToo)); }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

}  // namespace

std::string toUpperText(std::string_view text) {
    return mapCodePoints(text, [](char32_t cp, std::size_t) { return upperOf(cp); });
}

std::string toLowerText(std::string_view text) {
    return mapCodePoints(text, [](char32_t cp, std::size_t) { return lowerOf(cp); });
}

std::string toTitleText(std::string_view text) {
    return mapCodePoints(text, [](char32_t cp, std::size_t i) { return i == 0 ? upperOf(cp) : lowerOf(cp); });
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && asciiUpper(a) == asciiUpper(b);
}

std::string trimSpaces(std::string_view text) { return trimWith(text, false); }
std::string trimSpacesAndTabs(std::string_view text) { return trimWith(text, true); }
std::string_view trimmedOfSpacesAndTabs(std::string_view text) { return trimViewWith(text, true); }

std::string cleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : trimSpaces(text))
        if (c != '\t' && c != '\r' && c != '\n') out += c;
    return trimSpaces(out);
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to, bool ignoreAsciiCase) {
    if (from.empty()) return std::string(text);
    // Without regard to ASCII case the search runs over lower-cased copies;
    // both keep their byte offsets, so the hits apply to the original text.
    const std::string loweredText = ignoreAsciiCase ? asciiLower(text) : std::string();
    const std::string loweredFrom = ignoreAsciiCase ? asciiLower(from) : std::string();
    const std::string_view haystack = ignoreAsciiCase ? std::string_view(loweredText) : text;
    const std::string_view needle = ignoreAsciiCase ? std::string_view(loweredFrom) : from;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = haystack.find(needle, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(text.substr(pos));
    return out;
}

std::size_t codePointCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        char32_t cp = 0;
        std::size_t len = decodeUtf8(text, pos, cp);
        pos += len == 0 ? 1 : len;
    }
    return count;
}

std::string firstCodePoints(std::string_view text, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size() && count < n; ++count) {
        char32_t cp = 0;
        std::size_t len = decodeUtf8(text, pos, cp);
        pos += len == 0 ? 1 : len;
    }
    return std::string(text.substr(0, pos));
}

std::int32_t readInteger(std::string_view text, NumberSyntax syntax) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    int base = 10;
    if (syntax == NumberSyntax::WithBasePrefixes && pos < text.size()) {
        if (text[pos] == '$') { base = 16; ++pos; }
        else if (text[pos] == '%') { base = 2; ++pos; }
    }
    // Saturate instead of overflowing: a huge number becomes the 32-bit limit.
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t value = 0;
    for (; pos < text.size() && digitValue(text[pos]) < base; ++pos)
        value = std::min<std::int64_t>(value * base + digitValue(text[pos]), kLimit);
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

double readDecimal(std::string_view text) {
    std::string trimmed = trimSpacesAndTabs(text);
    std::string_view t = trimmed;
    if (t.substr(0, 9) == "+Infinity") return std::numeric_limits<double>::infinity();
    if (t.substr(0, 9) == "-Infinity") return -std::numeric_limits<double>::infinity();
    if (t.substr(0, 3) == "NaN") return std::numeric_limits<double>::quiet_NaN();
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    // Only plain digits, a point and an exponent are taken: "inf" and "nan"
    // spelled any other way read as 0.
    if (t.empty() || !((t[0] >= '0' && t[0] <= '9') || t[0] == '.')) return 0.0;
    double value = 0.0;
    auto result = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return 0.0;
    if (result.ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}
