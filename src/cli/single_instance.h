// Only one process of this version runs at a time, console or window: the
// first holds an exclusive lock on a file in the user's runtime folder for
// its whole life; the kernel drops it when the process ends, so a crash
// never blocks later starts.
#pragma once

#include <optional>
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

// A second start that was asked to open a file hands the path to the running
// window before it ends, through a local socket beside the lock,
// "<folder>/<name>.socket". Only this user reaches it: the folder must be
// the user's own and closed to others, the socket is mode 0600, and the
// window takes paths only from peers of its own user id.
std::string handoverSocketPath(const std::string& name);

// The window's side: a listening socket (non-blocking, close-on-exec), or
// -1 when none can be made safely. A socket left behind by a window that
// ended without removing it is replaced: whoever holds the lock owns the name.
int listenForHandover(const std::string& name);
// Takes one waiting connection and reads the path it carries (the bytes up
// to a NUL). Waits at most a second for a peer that is slow to send; nothing
// for a peer of another user, an empty or unterminated path, or no peer.
std::optional<std::string> receiveHandover(int listener);
// Closes the listening socket and removes its name.
void stopListeningForHandover(const std::string& name, int listener);

// The second start's side: true when the whole path (and its NUL) went to
// the running window. Gives up after two seconds on a window that does not
// take it.
bool handOverToRunningWindow(const std::string& name, const std::string& path);
