// A C file handle that closes itself on every path.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct FileCloser {
    void operator()(std::FILE* file) const noexcept {
        if (file) std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes every byte to the descriptor, again after a write that a signal
// interrupted; false on the first failing write (a closed pipe, a full
// disk), with the rest unwritten.
bool writeAll(int fd, std::string_view bytes);

// Creates a fresh file beside the target (mode 0666 less the umask) and
// gives its name; the name carries the process id and a counter so two
// writers never share it. -1 when no such file can be made.
int createSiblingFile(const std::string& target, std::string& tempPath);

// Puts the bytes under the name through a fresh temporary file beside it
// and a rename, as every output file of the program is written: whatever
// the name held before (a file, a symbolic link, a FIFO) is replaced, never
// followed or opened, and a failure leaves it as it was with no temporary
// file behind. The new file's mode is 0666 less the umask.
bool writeFileByRename(const std::string& path, std::string_view bytes);

// Opens a file for reading only when it is a regular file. The open itself
// does not wait (a FIFO without a writer would block it for ever), and the
// type is taken from the open descriptor, so a path swapped for a FIFO or a
// device after an earlier check cannot slip through. Null otherwise.
FilePtr openRegularFile(const std::string& path);
