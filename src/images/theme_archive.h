// Reading entries of a theme archive (zip) into memory. Nothing is ever
// extracted, and every size is counted on the bytes really decompressed,
// never taken from the archive's directory, so a damaged or hostile archive
// costs at most the caps below in memory and work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

// An archive larger than this is not a theme: the real ones are a few
// hundred KiB, and the directory of a huge archive alone can cost much memory.
inline constexpr std::int64_t kMaxThemeArchiveBytes = 64LL * 1024 * 1024;
// Entries looked at per pass; the rest of a longer archive is ignored.
inline constexpr int kMaxThemeArchiveEntries = 4096;

// The complete bytes of every named entry that decompresses to at least one
// and at most maxBytes bytes; a longer entry is left out. The first entry
// of a name that qualifies wins. Nothing when the file is not a readable zip
// archive of acceptable size.
std::optional<std::map<std::string, std::string>> readArchiveEntries(const std::string& path,
                                                                     const std::set<std::string>& names,
                                                                     std::size_t maxBytes);

// At most the first maxBytes bytes of the named entry; nothing when the
// archive or the entry is missing.
std::optional<std::string> readArchiveEntryStart(const std::string& path, const std::string& name,
                                                 std::size_t maxBytes);
