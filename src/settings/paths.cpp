#include "settings/paths.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::int64_t fileSizeQuery(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return -1;
    if (S_ISDIR(info.st_mode)) return -2;
    return static_cast<std::int64_t>(info.st_size);
}

namespace {
std::string executablePath() {
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}
}  // namespace

std::string programFolder() { return folderPart(executablePath()); }

std::string programName() {
    std::string name = fileNamePart(executablePath());
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string folderPart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string fileNamePart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string extensionPart(std::string_view path) {
    std::string name = fileNamePart(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string withTrailingSlash(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') out += '/';
    return out;
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

bool ensureFolder(const std::string& folder) {
    if (fileSizeQuery(folder) == -2) return true;
    mkdir(folder.c_str(), 0755);
    return fileSizeQuery(folder) == -2;
}

namespace {
// The user's home folder: $HOME, or the password database's entry when HOME
// is unset (a service or a cleaned environment), so the configuration never
// lands in a folder relative to wherever the program was started.
std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

}  // namespace

std::string userConfigFolder() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && isAbsolutePath(xdg)) return withTrailingSlash(xdg);
    std::string home = homeFolder();
    return home.empty() ? std::string() : withTrailingSlash(home) + ".config/";
}

std::string prepareConfigFolder(const std::string& vendor, const std::string& product) {
    std::string base = userConfigFolder();
    if (base.empty()) return {};
    ensureFolder(base);
    std::string vendorFolder = base + vendor + "/";
    ensureFolder(vendorFolder);
    std::string productFolder = vendorFolder + product + "/";
    ensureFolder(productFolder);
    return productFolder;
}
