// Only one process of this version runs at a time, console or window: the
// first holds an exclusive lock on a file in the user's runtime folder for
// its whole life; the kernel drops it when the process ends, so a crash
// never blocks later starts.
#pragma once

#include <string>

// "$XDG_RUNTIME_DIR/<name>.lock"; without XDG_RUNTIME_DIR (or when it is
// unusable) a private folder /tmp/tovrel-<uid>/ is used.
std::string singleInstanceLockPath(const std::string& name);

// False when another process holds the lock of that name. When no lock file
// can be made at all the start is allowed: a broken runtime folder must not
// lock the user out of the program.
bool acquireSingleInstance(const std::string& name);

// Drops the lock (at the end of the process).
void releaseSingleInstance();
