// The one event queue of the window mode. Every Qt signal the program
// listens to is turned into an event here; slots never act. The program's
// own loops take the events and dispatch them with a switch.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/window_ids.h"

enum class EventKind { Close, Command, Control, FilesDropped };
enum class ControlEvent { Click, RightClick, DoubleClick, Change };

struct UiEvent {
    EventKind kind = EventKind::Command;
    WindowId window = kMainWindow;
    ControlId control{};              // Control events
    ControlEvent type = ControlEvent::Click;
    CommandId command = kCommandNone; // Command events
    std::vector<std::string> paths;   // FilesDropped: local paths, in drop order
    int instance = 0;                 // which window of a kind that opens more than once
};

void postEvent(UiEvent event);
void postClose(WindowId window);
void postCommand(WindowId window, CommandId command);
void postControl(WindowId window, ControlId control, ControlEvent type);
// A control event of one of several windows of the same number.
void postInstanceControl(WindowId window, int instance, ControlId control, ControlEvent type);
void postDroppedFiles(WindowId window, std::vector<std::string> paths);

bool hasPendingEvent();
void clearEvents();

// Pumps Qt's event loop until the queue holds an event, then takes it.
UiEvent waitForNextEvent();
// The same with a time limit; nothing when it passes first.
std::optional<UiEvent> waitForNextEventWithin(int milliseconds);
