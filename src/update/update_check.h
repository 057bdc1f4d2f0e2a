// The update check against the vendor's version file.
#pragma once

struct AppState;

// Run once by the start-up, right after the main window is shown (never in
// the screenshot run).
void scheduledUpdateCheck(AppState& state);
