// What a name in the file system is, as the writers of the program's own
// files need to know before they replace it.
#pragma once

#include <optional>
#include <string>

enum class FileKind { Missing, Regular, Folder, Link, Other };

// The entry under the name itself (a symbolic link is not followed).
FileKind fileKind(const std::string& path);

// Where a write through the name lands: symbolic links followed to their
// end, also to a file that does not exist yet (a dangling link names the
// file to create). Nothing for a chain of links that does not end or
// cannot be read.
std::optional<std::string> linkTarget(const std::string& path);

// Whether the permission bits let this process read and write the file. A
// file without any write bit counts as read-only even for the superuser.
bool mayReadAndWrite(const std::string& path);
