// Texture viewers opened from the window mode: the View Texture command
// (the file the last conversion wrote, or one the user picks), a `.dds`
// path on the command line or handed over by a second start, and the
// events of the open viewers.
#pragma once

#include <string>

#include "ui/events.h"

struct AppState;

// A path the window mode shows in a viewer instead of taking as input:
// its extension is "dds" in any letter case.
bool isTexturePath(const std::string& path);

// Opens one more viewer; a file the reader refuses gives its error box and
// no viewer. `pngPath` is the picture the texture was made from, "" when
// not known.
void openViewerWindow(AppState& state, const std::string& path, const std::string& pngPath);
// The View Texture command.
void viewTexture(AppState& state);
// An event of one of the viewers; Escape and the close box close that one.
void dispatchViewerEvent(AppState& state, const UiEvent& event);
// Closes every viewer (program end, before the main window goes).
void closeViewers(AppState& state);
