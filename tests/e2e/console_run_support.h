// Shared pieces of the end-to-end tests of a console run through the real
// binary: the fixed console texts, a work folder holding one picture, and
// folders made beside the binary for the relative-output cases.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "dds_reader.h"
#include "test_support.h"

using Lines = std::vector<std::string>;

inline const Lines kBanner{"Korvane PNG to DDS 2.8", "(c) Korvane Software", "https://www.korvane.example/", " "};
inline const std::string kNotComplete = "Conversion is not complete";
inline const std::string kNoInput = "No input file(s) found. Please, add valid file(s) and try again!";
inline const Lines kStatusLines{"Preparing...", "Importing...", "Import complete, new files added: 1", "Converting...",
                                "Conversion complete", "Files converted: 1 of 1"};
inline const Lines kFailedConversionLines{"Preparing...", "Importing...", "Import complete, new files added: 1",
                                          "Converting...", kNotComplete};
inline const Lines kNothingImportedLines{"Preparing...", "Importing...", "Import complete, new files added: 0",
                                         kNotComplete, kNoInput};

inline Lines operator+(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The exact output: every line followed by CR LF.
inline std::string consoleText(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

inline const RgbaPixel kOrange{255, 128, 0, 255};

// Writes a real JPEG (JFIF) picture: a file whose bytes are not a PNG.
inline bool writeJpeg(const std::string& path, int width, int height) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap) return false;
    const bool saved = FreeImage_Save(FIF_JPEG, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}

// Names in a folder that look like the writer's temporary files.
inline Lines temporaryFiles(const std::string& folder) {
    Lines found;
    for (const std::string& name : listFolder(folder))
        if (name.starts_with("tovrel")) found.push_back(name);
    return found;
}

// Modification time of a file in whole seconds since the epoch; -1 when
// missing.
inline long long modificationTime(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_mtim.tv_sec) : -1;
}

// A work folder holding "pic.png" (an 8 x 8 orange picture); runs start in
// that folder.
struct WorkFolder {
    TempFolder temp;
    std::string path = temp.path;
    std::string input = picture("pic.png");

    std::string picture(const std::string& name, int width = 8, int height = 8, RgbaPixel colour = kOrange) {
        writeRgbaPng(path + name, width, height, [&](int, int) { return colour; });
        return path + name;
    }
    RunResult run(const Lines& args) const { return runTovrel(args, path); }
    RunResult run(const Lines& args, const RunOptions& options) const { return runTovrel(args, path, options); }
    // A name no other test uses: the work folder's own.
    std::string uniqueName() const { return std::filesystem::path(path).parent_path().filename().string(); }
    // The folder's content, without the private XDG folders of the runs.
    Lines files() const {
        Lines names = listFolder(path);
        std::erase_if(names, [](const std::string& name) { return name.starts_with(".xdg-"); });
        return names;
    }
};

// The folder of the binary, ending with "/"; relative output folders are
// taken below it.
inline std::string binaryFolder() {
    const std::string binary = std::filesystem::weakly_canonical(TOVREL_BINARY).string();
    return binary.substr(0, binary.rfind('/') + 1);
}

// A uniquely named folder below the binary's folder, removed afterwards.
struct BinarySubfolder {
    std::string name;
    std::string path;
    BinarySubfolder() {
        std::string pattern = binaryFolder() + "e2e-out-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const char* made = mkdtemp(buffer.data());
        path = std::string(made ? made : "") + "/";
        name = made ? std::filesystem::path(made).filename().string() : "";
    }
    ~BinarySubfolder() {
        std::error_code ignored;
        if (!name.empty()) std::filesystem::remove_all(path, ignored);
    }
    BinarySubfolder(const BinarySubfolder&) = delete;
    BinarySubfolder& operator=(const BinarySubfolder&) = delete;
};
