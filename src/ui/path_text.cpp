#include "ui/path_text.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QFile>
#include <QUrl>
#include <memory>

#include "settings/text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The one entry of `folder` that shows as `shown`, or nothing when none or
// several do.
std::string uniqueEntryShownAs(const std::string& folder, const QString& shown) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return {};
    std::string found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (QFile::decodeName(entry->d_name) != shown) continue;
        found = entry->d_name;
        ++matches;
    }
    return matches == 1 ? found : std::string();
}

}  // namespace

QString shownPath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string fileSystemPath(const QString& shown) {
    const std::string asText = QFile::encodeName(shown).toStdString();
    if (!shown.contains(QChar(kReplacement)) || exists(asText)) return asText;
    std::string path;
    const QStringList parts = shown.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const std::string folder = i == 0 ? "." : path.empty() ? "/" : path;
        const std::string lead = i == 0 ? "" : path + "/";
        std::string bytes = QFile::encodeName(part).toStdString();
        if (part.contains(QChar(kReplacement)) && !exists(lead + bytes)) {
            const std::string entry = uniqueEntryShownAs(folder, part);
            if (!entry.empty()) bytes = entry;
        }
        path = lead + bytes;
    }
    return path;
}

std::string typedPath(const QString& text) { return fileSystemPath(QString::fromStdString(trimSpaces(text.toStdString()))); }

std::string droppedPath(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}
