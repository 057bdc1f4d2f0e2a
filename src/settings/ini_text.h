// The line-oriented group/key text format shared by the configuration file
// and profiles: reading (byte-order mark or ISO-8859-1, any line end,
// comments, groups, case-insensitive lookup where the first match wins) and
// writing (byte-order mark, CR LF, " = ", "; " comments), plus the safe
// replacement of a file's content.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One meaningful line: a group line or a key line. Comments and empty lines
// are dropped while reading.
struct IniLine {
    bool isGroup = false;
    std::string name;   // group name, or key with trailing blanks removed
    std::string value;  // key lines: the text after the first "=", trimmed
};
using IniLines = std::vector<IniLine>;

// Files larger than this are refused: neither a configuration file nor a
// profile comes near it, and a device or a huge file must not exhaust memory.
inline constexpr std::size_t kMaxIniFileBytes = 16u * 1024u * 1024u;

// Parses the bytes of a file. With the UTF-8 byte-order mark the rest is
// UTF-8; without it every byte is an ISO-8859-1 character.
IniLines parseIniText(std::string_view bytes);

// Calls `visit` for every key line of a file's bytes, in order, with the
// group it stands in ("" before the first group line). As for
// groupKeyLines, only the first group of a name counts: the keys of a
// repeated group line are not visited. One pass; nothing is
// kept, so a large file costs no more than its text.
using IniKeyVisitor = std::function<void(std::string_view group, std::string_view key, std::string_view value)>;
void forEachIniKey(std::string_view bytes, const IniKeyVisitor& visit);

// Reads a regular file whole; nothing when it cannot be opened or read, is
// not a regular file, or is larger than kMaxIniFileBytes.
std::optional<std::string> readIniBytes(const std::string& path);

// Reads and parses a regular file; nothing when it cannot be opened or read,
// is not a regular file, or is larger than kMaxIniFileBytes.
std::optional<IniLines> readIniFile(const std::string& path);

// The key lines of the first group with that name (compared without regard
// to ASCII case), up to the next group line.
std::vector<IniLine> groupKeyLines(const IniLines& lines, std::string_view group);

// The value of the first line of the group with that key; nothing when the
// group or the key is missing.
std::optional<std::string> findIniValue(const IniLines& lines, std::string_view group, std::string_view key);

// Building a file's text: startIniText gives the byte-order mark and the
// empty first line; each call appends one line ending in CR LF.
std::string startIniText();
void appendIniGroup(std::string& text, std::string_view group);
void appendIniKey(std::string& text, std::string_view key, std::string_view value);
void appendIniComment(std::string& text, std::string_view comment);

// Writes the bytes to a new file beside `path` and renames it over `path`,
// so a failure at any point leaves the old file as it was. A symbolic link
// is followed and its target replaced; the new file keeps the permission
// bits of the one it replaces. True when the new content is in place.
bool replaceFileContent(const std::string& path, std::string_view bytes);

// Keeps the file at `path` (a link's target) under the name `backup`, never
// replacing an existing file there. Works on a file this process may not
// read (a second hard link); copies the bytes where links are refused. True
// when the backup holds the file.
bool keepUnreadableFile(const std::string& path, const std::string& backup);
