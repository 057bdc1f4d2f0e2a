// Theme archives made by the tests themselves: zip files written with
// libarchive, optionally patched afterwards to claim other sizes.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// Writes the entries in order; `stored` keeps them uncompressed. The first
// entry may be followed by `padding` bytes of blanks, streamed in pieces so
// that making a zip bomb does not itself take much memory.
inline void writeZip(const std::string& path, const ZipEntries& entries, bool stored = false,
                     std::size_t padding = 0) {
    std::unique_ptr<archive, int (*)(archive*)> zip(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(zip.get());
    if (stored) archive_write_set_format_option(zip.get(), "zip", "compression", "store");
    archive_write_open_filename(zip.get(), path.c_str());
    for (const auto& [name, bytes] : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(entry.get(), name.c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        const std::size_t extra = (&bytes == &entries.front().second) ? padding : 0;
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size() + extra));
        archive_write_header(zip.get(), entry.get());
        archive_write_data(zip.get(), bytes.data(), bytes.size());
        const std::string blanks(1024 * 1024, ' ');
        for (std::size_t done = 0; done < extra; done += blanks.size())
            archive_write_data(zip.get(), blanks.data(), std::min(blanks.size(), extra - done));
    }
    archive_write_close(zip.get());
}

// Every local and central directory header of the file claims `size`
// uncompressed bytes, whatever the entry really holds.
inline void claimUncompressedSize(const std::string& path, std::uint32_t size) {
    std::string bytes = readFileBytes(path);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    for (std::size_t at = 0; at + 46 <= bytes.size(); ++at) {
        if (bytes.compare(at, 4, "PK\x03\x04") == 0) put32(at + 22, size);
        if (bytes.compare(at, 4, "PK\x01\x02") == 0) put32(at + 24, size);
    }
    writeFileBytes(path, bytes);
}

// theme.cfg text from lines, each ended with CR LF.
inline std::string cfgText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}
