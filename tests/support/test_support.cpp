#include "test_support.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include "settings/local_date.h"

TempFolder::TempFolder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/tovrel-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    char* made = mkdtemp(buffer.data());
    path = std::string(made ? made : "/tmp") + "/";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files and folders made by tests must not block the clean-up.
    for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
}

namespace {

RunResult runTovrelWith(const std::vector<std::string>& args, const std::string& workFolder,
                        const std::string& runtimeDir, const std::string& configHome, const RunOptions& options) {
    std::string runtime = runtimeDir.empty() ? workFolder + ".xdg-runtime" : runtimeDir;
    std::string config = configHome.empty() ? workFolder + ".xdg-config" : configHome;
    std::filesystem::create_directories(runtime);
    std::filesystem::create_directories(config);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);

    int pipeFds[2];
    RunResult result;
    if (pipe(pipeFds) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        if (!options.errorFile.empty()) {
            const int errors = open(options.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (errors < 0) _exit(127);
            dup2(errors, STDERR_FILENO);
        }
        setsid();  // no controlling terminal: waiting for a key must not block
        if (chdir(workFolder.c_str()) != 0) _exit(127);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        // A display of the test's own session must not turn a run that falls
        // through to the window mode into a window; tests that want one name it.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
        for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
        if (options.fileSizeLimit >= 0) {
            signal(SIGXFSZ, SIG_IGN);  // kept across exec: the write fails instead of killing
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv;
        std::string binary = options.binary.empty() ? std::string(TOVREL_BINARY) : options.binary;
        argv.push_back(binary.data());
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[65536];
    pollfd fd{pipeFds[0], POLLIN, 0};
    bool timedOut = true;
    for (int waited = 0; waited < 120000;) {
        int ready = poll(&fd, 1, 100);
        if (ready == 0) { waited += 100; continue; }
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) { timedOut = false; break; }
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    if (timedOut) kill(pid, SIGKILL);  // hung: the test sees exitCode -1
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.exitCode = !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.peakKb = usage.ru_maxrss;
    result.lines = splitConsoleLines(result.output);
    return result;
}

}  // namespace

RunResult runTovrel(const std::vector<std::string>& args, const std::string& workFolder,
                    const std::string& runtimeDir, const std::string& configHome) {
    return runTovrelWith(args, workFolder, runtimeDir, configHome, RunOptions{});
}

RunResult runTovrel(const std::vector<std::string>& args, const std::string& workFolder, const RunOptions& options) {
    return runTovrelWith(args, workFolder, "", "", options);
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> listFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string pngSuitePath(const std::string& name) { return std::string(PNGSUITE_DIR) + "/" + name; }

std::vector<std::string> splitConsoleLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = output.find("\r\n", pos)) != std::string::npos; pos = end + 2)
        lines.push_back(output.substr(pos, end - pos));
    if (pos < output.size()) lines.push_back(output.substr(pos));
    return lines;
}

CapturedOutput captureStdout(const std::function<void()>& action) {
    CapturedOutput captured;
    std::fflush(stdout);
    char pattern[] = "/tmp/tovrel-stdout-XXXXXX";
    int file = mkstemp(pattern);
    if (file < 0) return captured;
    unlink(pattern);
    int saved = dup(STDOUT_FILENO);
    dup2(file, STDOUT_FILENO);
    action();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    lseek(file, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = read(file, buffer, sizeof buffer)) > 0;) captured.output.append(buffer, static_cast<std::size_t>(n));
    close(file);
    captured.lines = splitConsoleLines(captured.output);
    return captured;
}

bool writeRgbaPng(const std::string& path, int width, int height,
                  const std::function<RgbaPixel(int x, int y)>& pixel) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!bitmap) return false;
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const RgbaPixel p = pixel(x, y);
            row[4 * x + FI_RGBA_RED] = p[0];
            row[4 * x + FI_RGBA_GREEN] = p[1];
            row[4 * x + FI_RGBA_BLUE] = p[2];
            row[4 * x + FI_RGBA_ALPHA] = p[3];
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}

namespace {
std::string bigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}
}  // namespace

std::string pngChunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return bigEndian32(static_cast<std::uint32_t>(data.size())) + body + bigEndian32(static_cast<std::uint32_t>(crc));
}

std::string ihdrData(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colorType) {
    return bigEndian32(width) + bigEndian32(height) + std::string{static_cast<char>(bitDepth), static_cast<char>(colorType)} +
           std::string(3, '\0');
}

std::string buildPng(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth, std::uint8_t colorType,
                     const std::string& scanlines) {
    uLongf packedSize = compressBound(static_cast<uLong>(scanlines.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(scanlines.data()),
             static_cast<uLong>(scanlines.size()));
    packed.resize(packedSize);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", ihdrData(width, height, bitDepth, colorType)) +
           pngChunk("IDAT", packed) + pngChunk("IEND", "");
}

std::string solidRgbaPng(std::uint32_t width, std::uint32_t height, RgbaPixel color) {
    std::string row(1, '\0');  // filter type none
    for (std::uint32_t x = 0; x < width; ++x) row.append(reinterpret_cast<const char*>(color.data()), 4);
    std::string scanlines;
    for (std::uint32_t y = 0; y < height; ++y) scanlines += row;
    return buildPng(width, height, 8, 6, scanlines);
}

std::int64_t fileLocalDate(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return localDateFromFileTime(info.st_mtim.tv_sec);
}
