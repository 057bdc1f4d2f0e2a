#include <gtest/gtest.h>

#include <set>

#include "engine/signature.h"
#include "test_support.h"

namespace {
std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}
}  // namespace

TEST(SignatureTable, HasItsRowsGroupedByFirstByte) {
    const auto table = signatureTable();
    ASSERT_EQ(table.size(), 79u);
    std::set<std::string> firstBytesSeen;
    std::string previous;
    for (const SignatureRow& row : table) {
        const std::string first(row.pattern.substr(0, 2));
        if (first != previous) {
            EXPECT_TRUE(firstBytesSeen.insert(first).second) << "group split: " << row.name;
        }
        previous = first;
        EXPECT_LE((row.pattern.size() + 1) / 3, 16u) << row.name;
    }
}

TEST(IdentifyBytes, NamesFormatsByLeadingBytes) {
    const std::string riff("RIFF\x10\x00\x00\x00", 8);
    struct Case { const char* what; std::string data; const char* expected; } cases[] = {
        {"png", bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}), "PNG"},
        {"jpg", bytes({0xFF, 0xD8, 0xFF, 0xDB, 0}), "JPG"},
        {"jfif", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01}), "JPEG/JFIF"},
        {"jfif with another version", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x02}), "[ERROR] UNRECOGNIZED"},
        {"jpeg ee", bytes({0xFF, 0xD8, 0xFF, 0xEE}), "JPEG"},
        {"exif", bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34, 'E', 'x', 'i', 'f', 0, 0}), "JPEG/EXIF"},
        {"mp3 frame", bytes({0xFF, 0xFB, 0x90}), "MP3"},
        {"tiff le", bytes({0x49, 0x49, 0x2A, 0x00, 0x08, 0x00, 0x00, 0x00}), "TIFF (LE)"},
        {"cr2 after tiff le", bytes({0x49, 0x49, 0x2A, 0x00, 0x10, 0x00, 0x00, 0x00, 0x43, 0x52, 0x02}), "CR2"},
        {"cr2 cut short", bytes({0x49, 0x49, 0x2A, 0x00, 0x10, 0x00, 0x00, 0x00, 0x43}), "TIFF (LE)"},
        {"tiff be", bytes({0x4D, 0x4D, 0x00, 0x2A}), "TIFF (BE)"},
        {"id3", "ID3\x03", "MP3/ID3V2"},
        {"flv", "FLV\x01", "FLV"},
        {"swf compressed", "CWS\x0A", "SWF"},
        {"swf plain", "FWS\x0A", "SWF"},
        {"bmp two bytes", "BM", "BMP"},
        {"bmp one byte", "B", "[ERROR] UNRECOGNIZED"},
        {"riff acon", riff + "ACON", "ANI"},
        {"riff avi", riff + "AVI ", "AVI"},
        {"riff wave", riff + "WAVE", "WAV"},
        {"riff webp", riff + "WEBP", "WEBP"},
        {"riff other", riff + "RMID", "[ERROR] UNRECOGNIZED"},
        {"riff short", riff + "WEB", "[ERROR] UNRECOGNIZED"},
        {"djvu skips four bytes", "AT&TFORM\x01\x02\x03\x04" "DJVU", "DJVU"},
        {"rar 5", bytes({0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00}), "RAR (5.0+)"},
        {"rar 1.5", bytes({0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}), "RAR (1.5+)"},
        {"sqlite", std::string("SQLite format 3\0", 16), "SQLITE/DB"},
        {"asf, sixteen bytes", bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C}), "ASF/WMA/WMV"},
        {"ico", bytes({0, 0, 1, 0, 1}), "ICO"},
        {"mz", "MZ\x90", "EXE/DLL (MZ/PE/NE)"},
        {"zip", "PK\x03\x04", "ZIP"},
        {"gif89a", "GIF89a", "GIF89A"},
        {"xz", bytes({0xFD, '7', 'z', 'X', 'Z', 0}), "XZ"},
        {"unknown first byte", "hello", "[ERROR] UNRECOGNIZED"},
        {"empty", "", "[ERROR] UNRECOGNIZED"},
    };
    for (const auto& c : cases) EXPECT_EQ(identifyBytes(c.data), c.expected) << c.what;
}

TEST(IdentifyFileFormat, ReadsTheFileItself) {
    TempFolder folder;
    writeFileBytes(folder.path + "photo.png", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01}) +
                                                  std::string(100, 'x'));
    writeFileBytes(folder.path + "empty.png", "");
    EXPECT_EQ(identifyFileFormat(pngSuitePath("basn6a08.png")), "PNG");
    EXPECT_EQ(identifyFileFormat(folder.path + "photo.png"), "JPEG/JFIF");
    EXPECT_EQ(identifyFileFormat(folder.path + "empty.png"), "[ERROR] UNRECOGNIZED");
    EXPECT_EQ(identifyFileFormat(folder.path + "missing.png"), "[ERROR] UNRECOGNIZED");
    EXPECT_EQ(identifyFileFormat(folder.path), "[ERROR] UNRECOGNIZED");
}
