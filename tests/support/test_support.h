// Shared helpers for tests: temporary folders, running the built tovrel
// binary with its own XDG folders, and small file utilities.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A fresh folder under the system temporary folder, removed with its content.
struct TempFolder {
    std::string path;  // ends with "/"
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};

struct RunResult {
    int exitCode = -1;
    std::string output;               // everything written to standard output
    std::vector<std::string> lines;   // output split at CR LF
    long peakKb = 0;                  // the process's peak resident memory
};

// Runs build/tovrel with the arguments, in workFolder, with XDG_RUNTIME_DIR
// and XDG_CONFIG_HOME pointing into private folders below workFolder
// (unless given), standard input closed and a time limit of 120 seconds.
RunResult runTovrel(const std::vector<std::string>& args, const std::string& workFolder,
                    const std::string& runtimeDir = "", const std::string& configHome = "");

// What a run may change in the child beyond the private XDG folders.
struct RunOptions {
    // Extra environment variables, for example TZ.
    std::vector<std::pair<std::string, std::string>> environment;
    // Largest file the child may write (RLIMIT_FSIZE), in bytes; -1 for no
    // limit. A write past it fails as on a full disk (SIGXFSZ is ignored).
    long long fileSizeLimit = -1;
    // The executable to start; empty for the built tovrel.
    std::string binary = {};
    // Where the child's standard error goes (created afresh); empty to
    // leave it on the test's own.
    std::string errorFile = {};
};
RunResult runTovrel(const std::vector<std::string>& args, const std::string& workFolder, const RunOptions& options);

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> listFolder(const std::string& folder);  // names, sorted
std::string pngSuitePath(const std::string& name);               // tests/data/pngsuite/<name>

// The modification time of a file as a local date value; -1 when missing.
std::int64_t fileLocalDate(const std::string& path);

// Output split at CR LF; a last line without CR LF is kept too.
std::vector<std::string> splitConsoleLines(const std::string& output);

struct CapturedOutput {
    std::string output;              // everything written to file descriptor 1
    std::vector<std::string> lines;  // split at CR LF
};
// Runs the action with standard output (file descriptor 1, which the
// console printer writes to) redirected into a temporary file.
CapturedOutput captureStdout(const std::function<void()>& action);

// Writes a 32-bit RGBA PNG; pixel(x, y) gives red, green, blue, alpha with
// y = 0 the top row. False when it could not be written.
using RgbaPixel = std::array<std::uint8_t, 4>;
bool writeRgbaPng(const std::string& path, int width, int height,
                  const std::function<RgbaPixel(int x, int y)>& pixel);

// Hand-built PNG files, for headers and chunks no encoder would write.
// One chunk: length, type, data, CRC over type and data.
std::string pngChunk(const std::string& type, const std::string& data);
// The 13 bytes of an IHDR chunk's data (compression, filter, interlace 0).
std::string ihdrData(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colorType);
// Signature, IHDR, one IDAT holding `scanlines` (filter bytes included)
// deflated, and IEND.
std::string buildPng(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colorType,
                     const std::string& scanlines);
// A valid 8-bit RGBA PNG of width x height in one colour.
std::string solidRgbaPng(std::uint32_t width, std::uint32_t height, RgbaPixel color);
