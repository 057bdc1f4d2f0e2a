// Names a file's real format from its first bytes, whatever its extension.
// The name only goes to the debug log; the decoder always reads PNG.
#pragma once

#include <span>
#include <string>
#include <string_view>

struct SignatureRow {
    std::string_view name;
    // Bytes from offset 0 in hexadecimal, separated by blanks; "??" is a
    // position that is not compared.
    std::string_view pattern;
};

inline constexpr std::string_view kUnrecognizedFormat = "[ERROR] UNRECOGNIZED";
// The longest pattern is 16 bytes; this many are read from the file.
inline constexpr std::size_t kSignatureReadLength = 20;

// The 79 rows, grouped by first byte, in the order that decides overlaps.
std::span<const SignatureRow> signatureTable();

// The name for the given leading bytes: the last matching row of the group
// of the first byte, or kUnrecognizedFormat.
std::string identifyBytes(std::string_view leadingBytes);
// Reads the first bytes of the file; kUnrecognizedFormat when it cannot be
// read or nothing matches.
std::string identifyFileFormat(const std::string& path);
