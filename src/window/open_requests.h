// Files a second start hands over (`tovrel picture.png` while the window
// runs): the running window raises itself and puts the file into Input
// File, as Add Input File would, or opens a texture in a viewer.
#pragma once

#include <string>

struct AppState;

// Listens on the hand-over socket beside the single-instance lock for the
// rest of the process; a program-end step closes and removes it. Called
// early in the start-up: a file handed over while the window is still being
// built waits in the socket and is taken once the loop runs. Needs the
// application object.
void listenForOpenRequests(AppState& state);

// A file named on the command line or handed over: a texture (".dds")
// opens a viewer, anything else goes into Input File as Add Input File
// would put it there.
void openFileAsked(AppState& state, const std::string& path);

// Offers the latest handed-over file to Input File once no dialog is open
// (a dialog, a conversion above all, owns the job while it is open).
void takeOpenRequest(AppState& state);

// Closes and removes the hand-over socket now (also a program-end step).
void stopOpenRequests();
