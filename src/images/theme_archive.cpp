#include "images/theme_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <functional>

#include "engine/handle.h"
#include "settings/paths.h"

namespace {

using ArchiveReader = Handle<archive, archive_read_free>;

ArchiveReader openZip(const std::string& path) {
    const std::int64_t size = fileSizeQuery(path);
    if (size <= 0 || size > kMaxThemeArchiveBytes) return nullptr;
    ArchiveReader reader(archive_read_new());
    if (!reader) return nullptr;
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), path.c_str(), 16384) != ARCHIVE_OK) return nullptr;
    return reader;
}

enum class EntryRead { Complete, TooLong, Failed };

// Decompresses the current entry into `out`, stopping after limit + 1
// bytes: only what really came out of the decompressor counts.
EntryRead readCurrentEntry(archive* reader, std::size_t limit, std::string& out) {
    out.clear();
    char buffer[16384];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, buffer, sizeof buffer);
        if (got < 0) return EntryRead::Failed;
        if (got == 0) return EntryRead::Complete;
        const std::size_t room = limit + 1 - out.size();
        out.append(buffer, std::min(static_cast<std::size_t>(got), room));
        if (out.size() > limit) return EntryRead::TooLong;
    }
}

// Calls visit for each entry header until it returns false, the archive
// ends or fails, or the entry bound is reached. False when the archive
// cannot be opened.
bool forEachEntry(const std::string& path, const std::function<bool(archive*, const std::string&)>& visit) {
    ArchiveReader reader = openZip(path);
    if (!reader) return false;
    archive_entry* entry = nullptr;
    for (int seen = 0; seen < kMaxThemeArchiveEntries; ++seen) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) break;
        const char* name = archive_entry_pathname(entry);
        if (!name || archive_entry_filetype(entry) != AE_IFREG) continue;
        if (!visit(reader.get(), name)) break;
    }
    return true;
}

}  // namespace

std::optional<std::map<std::string, std::string>> readArchiveEntries(const std::string& path,
                                                                     const std::set<std::string>& names,
                                                                     std::size_t maxBytes) {
    std::map<std::string, std::string> found;
    std::string bytes;
    const bool opened = forEachEntry(path, [&](archive* reader, const std::string& name) {
        if (!names.contains(name) || found.contains(name)) return true;
        // An entry that fails halfway or exceeds the bound is not used at all.
        if (readCurrentEntry(reader, maxBytes, bytes) == EntryRead::Complete && !bytes.empty())
            found.emplace(name, std::move(bytes));
        return found.size() < names.size();
    });
    if (!opened) return std::nullopt;
    return found;
}

std::optional<std::string> readArchiveEntryStart(const std::string& path, const std::string& name,
                                                 std::size_t maxBytes) {
    std::optional<std::string> start;
    forEachEntry(path, [&](archive* reader, const std::string& entryName) {
        if (entryName != name) return true;
        std::string bytes;
        const EntryRead result = readCurrentEntry(reader, maxBytes, bytes);
        if (result == EntryRead::Failed && bytes.empty()) return true;
        bytes.resize(std::min(bytes.size(), maxBytes));
        start = std::move(bytes);
        return false;
    });
    return start;
}
