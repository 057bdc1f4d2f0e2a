#include "engine/signature.h"
#include "settings/file_handle.h"

#include <array>
#include <cstdio>
#include <memory>

namespace {

constexpr std::array<SignatureRow, 79> kSignatureTable{{
    {"ICO", "00 00 01 00"},
    {"MPEG", "00 00 01 B3"},
    {"MPG/VOB", "00 00 01 BA"},
    {"MKV/MKA/WEBM", "1A 45 DF A3"},
    {"LUAC", "1B 4C 75 61"},
    {"GZ", "1F 8B"},
    {"PS", "25 21 50 53"},
    {"PDF", "25 50 44 46 2D"},
    {"ACE", "2A 2A 41 43 45 2A 2A"},
    {"XPM", "2F 2A 20 58 50 4D 20 2A 2F"},
    {"ASF/WMA/WMV", "30 26 B2 75 8E 66 CF 11 A6 D9 00 AA 00 62 CE 6C"},
    {"SRT", "31 0A 30 30"},
    {"7Z", "37 7A BC AF 27 1C"},
    {"PSD", "38 42 50 53"},
    {"FH8", "41 47 44 33"},
    {"DJVU", "41 54 26 54 46 4F 52 4D ?? ?? ?? ?? 44 4A 56"},
    {"BLEND", "42 4C 45 4E 44 45 52"},
    {"BMP", "42 4D"},
    {"BPG", "42 50 47 FB"},
    {"BZ2", "42 5A 68"},
    {"SWF", "43 57 53"},
    {"DRC", "44 52 41 43 4F"},
    {"FLIF", "46 4C 49 46"},
    {"SWF", "46 57 53"},
    {"FLV", "46 4C 56"},
    {"GIF87A", "47 49 46 38 37 61"},
    {"GIF89A", "47 49 46 38 39 61"},
    {"TIFF (LE)", "49 49 2A 00"},
    {"CR2", "49 49 2A 00 10 00 00 00 43 52"},
    {"CHM", "49 54 53 46 03 00 00 00 60 00 00 00"},
    {"MP3/ID3V2", "49 44 33"},
    {"CAB (IS)", "49 53 63 28"},
    {"LZ", "4C 5A 49 50"},
    {"MLV", "4D 4C 56 49"},
    {"TIFF (BE)", "4D 4D 00 2A"},
    {"CAB", "4D 53 43 46"},
    {"MID/MIDI", "4D 54 68 64"},
    {"EXE/DLL (MZ/PE/NE)", "4D 5A"},
    {"NUI", "4E 55 52 55 49 4D 47"},
    {"NUP", "4E 55 52 55 50 41 4C"},
    {"OGG/OGA/OGV", "4F 67 67 53"},
    {"PBM", "50 31 0A"},
    {"PGM", "50 32 0A"},
    {"PPM", "50 33 0A"},
    {"ZIP", "50 4B 03 04"},
    {"ZIP (E)", "50 4B 05 06"},
    {"ZIP (S)", "50 4B 07 08"},
    {"ANI", "52 49 46 46 ?? ?? ?? ?? 41 43 4F 4E"},
    {"AVI", "52 49 46 46 ?? ?? ?? ?? 41 56 49 20"},
    {"WAV", "52 49 46 46 ?? ?? ?? ?? 57 41 56 45"},
    {"WEBP", "52 49 46 46 ?? ?? ?? ?? 57 45 42 50"},
    {"RAR (1.5+)", "52 61 72 21 1A 07 00"},
    {"RAR (5.0+)", "52 61 72 21 1A 07 01 00"},
    {"DPX (BE)", "53 44 50 58"},
    {"SQLITE/DB", "53 51 4C 69 74 65 20 66 6F 72 6D 61 74 20 33 00"},
    {"DPX (LE)", "58 50 44 53"},
    {"EXE (ZM)", "5A 4D"},
    {"ARJ", "60 EA"},
    {"FLAC", "66 4C 61 43"},
    {"3GP", "66 74 79 70 33 67"},
    {"XCF", "67 69 6D 70 20 78 63 66"},
    {"TOX", "74 6F 78 33"},
    {"EXR", "76 2F 31 01"},
    {"XAR", "78 61 72 21"},
    {"RTF", "7B 5C 72 74 66 31"},
    {"CIN", "80 2A 5F D7"},
    {"PNG", "89 50 4E 47 0D 0A 1A 0A"},
    {"CLASS", "CA FE BA BE"},
    {"LEP", "CF 84 01"},
    {"DOC/XLS/PPT", "D0 CF 11 E0 A1 B1 1A E1"},
    {"WMF", "D7 CD C6 9A"},
    {"XZ", "FD 37 7A 58 5A 00"},
    {"JPG", "FF D8 FF DB"},
    {"JPEG/JFIF", "FF D8 FF E0 00 10 4A 46 49 46 00 01"},
    {"JPEG", "FF D8 FF EE"},
    {"JPEG/EXIF", "FF D8 FF E1 ?? ?? 45 78 69 66 00 00"},
    {"MP3", "FF F2"},
    {"MP3", "FF F3"},
    {"MP3", "FF FB"},
}};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Each pattern byte takes three characters ("4D "); "??" never compares.
bool patternMatches(std::string_view pattern, std::string_view bytes) {
    for (std::size_t offset = 0; offset * 3 + 1 < pattern.size(); ++offset) {
        char high = pattern[offset * 3];
        char low = pattern[offset * 3 + 1];
        if (high == '?') continue;
        if (offset >= bytes.size()) return false;
        int expected = hexDigit(high) * 16 + hexDigit(low);
        if (static_cast<unsigned char>(bytes[offset]) != expected) return false;
    }
    return true;
}

int firstByteOf(std::string_view pattern) { return hexDigit(pattern[0]) * 16 + hexDigit(pattern[1]); }


}  // namespace

std::span<const SignatureRow> signatureTable() { return kSignatureTable; }

std::string identifyBytes(std::string_view leadingBytes) {
    std::string result(kUnrecognizedFormat);
    if (leadingBytes.empty()) return result;
    int first = static_cast<unsigned char>(leadingBytes[0]);
    for (const SignatureRow& row : kSignatureTable)
        if (firstByteOf(row.pattern) == first && patternMatches(row.pattern, leadingBytes))
            result = row.name;  // the last matching row of the group wins
    return result;
}

std::string identifyFileFormat(const std::string& path) {
    FilePtr file = openRegularFile(path);
    if (!file) return std::string(kUnrecognizedFormat);
    char buffer[kSignatureReadLength];
    std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
    return identifyBytes(std::string_view(buffer, count));
}
