// The Convert command of the main window: the checks with their warnings,
// the job set-up, and the progress dialog (window 3) that runs the worker
// on its own thread and shows the result.
#pragma once

#include "ui/window_ids.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct AppState;
struct BatchProgress;

// Checks the fields and settings, then converts behind the progress dialog.
// A failed check shows its warning and writes nothing.
void startConversion(AppState& state);

// What the worker thread runs; it publishes its progress in the record.
using ProgressWork = std::function<void(BatchProgress&)>;
// Shows the progress dialog and runs `work` on a worker thread until it has
// ended and the user closed the dialog. `total` is the number of files.
void runProgressDialog(AppState& state, std::int32_t total, const ProgressWork& work);

// For an end of the process that skips the program's loops (the display
// went away): stops a running conversion as a Yes to the stop question
// does and waits until its worker has ended, so the file in hand is put in
// place whole or not at all. Returns at once when nothing runs.
void finishRunningConversion();

// A warning box: title "Warning", the text, OK.
void showWarning(AppState& state, const std::string& text);
// The stop question; true for Yes.
bool confirmStop(AppState& state);

// The text itself when it has at most maxLength characters, otherwise its
// first and last (maxLength - 3) / 2 characters around "...".
std::string shortenPath(std::string_view text, int maxLength);
// "hh:mm:ss", with "Nd:" in front from one day on; "00:00:00" below one
// second.
std::string formatDuration(std::int64_t milliseconds);

