#include "settings/ini_text.h"
#include "settings/file_handle.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unordered_set>
#include <unistd.h>

#include "settings/paths.h"
#include "settings/text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string decodeFileText(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) return std::string(bytes.substr(kByteOrderMark.size()));
    return latin1ToUtf8(bytes);
}

// One meaningful line, pointing into the text.
struct LineView {
    bool isGroup = false;
    std::string_view name;
    std::string_view value;
};

// A line that is neither empty, a comment nor a group is a key line; a line
// without "=" is a key with an empty value.
std::optional<LineView> meaningfulLine(std::string_view raw) {
    std::size_t start = raw.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    std::string_view line = raw.substr(start);
    if (line.front() == ';') return std::nullopt;
    if (line.front() == '[') {
        std::size_t close = line.find(']');
        return LineView{true, line.substr(1, close == std::string_view::npos ? line.npos : close - 1), {}};
    }
    std::size_t equals = line.find('=');
    std::string_view value = equals == std::string_view::npos ? std::string_view() : trimmedOfSpacesAndTabs(line.substr(equals + 1));
    return LineView{false, trimmedOfSpacesAndTabs(line.substr(0, equals)), value};
}

// Every meaningful line of a file's bytes, in order; CR LF, CR and LF all
// end a line.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit&& visit) {
    const std::string text = decodeFileText(bytes);
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        if (std::optional<LineView> line = meaningfulLine(std::string_view(text).substr(pos, end - pos))) visit(*line);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        pos = end + 1;
    }
}


struct FdCloser {
    int fd = -1;
    ~FdCloser() {
        if (fd >= 0) close(fd);
    }
};

std::optional<std::string> readWholeFile(const std::string& path) {
    FilePtr file = openRegularFile(path);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        if (bytes.size() + n > kMaxIniFileBytes) return std::nullopt;
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

// The file a save really replaces: the target of a symbolic link, so a
// linked configuration keeps its link.
std::string resolvedTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

IniLines parseIniText(std::string_view bytes) {
    IniLines lines;
    forEachLine(bytes, [&](const LineView& line) {
        lines.push_back({line.isGroup, std::string(line.name), std::string(line.value)});
    });
    return lines;
}

void forEachIniKey(std::string_view bytes, const IniKeyVisitor& visit) {
    std::string_view group;
    bool repeated = false;
    std::unordered_set<std::string> groupsSeen{""};
    forEachLine(bytes, [&](const LineView& line) {
        if (line.isGroup) {
            group = line.name;
            repeated = !groupsSeen.insert(asciiLower(group)).second;
        } else if (!repeated) {
            visit(group, line.name, line.value);
        }
    });
}

std::optional<std::string> readIniBytes(const std::string& path) { return readWholeFile(path); }

std::optional<IniLines> readIniFile(const std::string& path) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    return parseIniText(*bytes);
}

std::vector<IniLine> groupKeyLines(const IniLines& lines, std::string_view group) {
    std::vector<IniLine> found;
    auto it = lines.begin();
    while (it != lines.end() && !(it->isGroup && equalsIgnoringAsciiCase(it->name, group))) ++it;
    if (it == lines.end()) return found;
    for (++it; it != lines.end() && !it->isGroup; ++it) found.push_back(*it);
    return found;
}

std::optional<std::string> findIniValue(const IniLines& lines, std::string_view group, std::string_view key) {
    for (const IniLine& line : groupKeyLines(lines, group))
        if (equalsIgnoringAsciiCase(line.name, key)) return line.value;
    return std::nullopt;
}

std::string startIniText() { return std::string(kByteOrderMark) + "\r\n"; }

void appendIniGroup(std::string& text, std::string_view group) {
    text += "[";
    text += group;
    text += "]\r\n";
}

void appendIniKey(std::string& text, std::string_view key, std::string_view value) {
    text += key;
    text += " = ";
    // A line break inside a value would end the line early and turn the rest
    // into a key of its own; such a value cannot be read back anyway.
    for (char c : value)
        if (c != '\r' && c != '\n') text += c;
    text += "\r\n";
}

void appendIniComment(std::string& text, std::string_view comment) {
    text += "; ";
    text += comment;
    text += "\r\n";
}

bool replaceFileContent(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string target = resolvedTarget(path);
    std::string tempPath;
    FdCloser file{createSiblingFile(target, tempPath)};
    if (file.fd < 0) return false;
    // The user may have narrowed (or widened) who can read the file.
    struct stat old {};
    if (stat(target.c_str(), &old) == 0) fchmod(file.fd, old.st_mode & 07777);
    bool written = writeAll(file.fd, bytes) && fsync(file.fd) == 0;
    int closed = close(file.fd);
    file.fd = -1;
    if (written && closed == 0 && std::rename(tempPath.c_str(), target.c_str()) == 0) return true;
    unlink(tempPath.c_str());
    return false;
}

bool keepUnreadableFile(const std::string& path, const std::string& backup) {
    // linkat fails with EEXIST instead of replacing an existing backup.
    if (linkat(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return false;
    FdCloser file{open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
    if (file.fd < 0) return false;
    return writeAll(file.fd, *bytes);
}
