// The end of the desktop session reaches the window mode in several ways:
// SIGTERM, SIGHUP or SIGINT, the session manager's request to save, the
// application's quit. Each becomes one request that the program's loops
// answer the way they answer Exit: a running conversion is stopped as the
// stop question stops it, open choosers and message boxes are dismissed,
// and the window mode saves and ends.
#pragma once

#include <functional>

// Installs the signal handlers (they only write a byte to a pipe that the
// event loop watches) and watches the application's session signals and
// its Quit event. Needs the application object; once per process.
void watchSessionEnd();

// Records the request and wakes the waiting loop.
void requestSessionEnd();
bool sessionEndRequested();
// Forgets a request: the in-process tests run several sessions in one
// process.
void clearSessionEndRequest();

// Runs the window's events, the user's input left waiting, until `done`
// holds or the session ends: true for the former, false for the latter. For
// work on another thread that the end of the session must not wait for.
bool waitUnlessSessionEnds(const std::function<bool()>& done);
