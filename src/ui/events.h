// The one event queue of the window mode. Every Qt signal the program
// listens to is turned into an event here; slots never act. The program's
// own loops take the events and dispatch them with a switch.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class EventKind { Close, Command, Control, FilesDropped };
enum class ControlEvent { Click, RightClick, DoubleClick, Change };

struct UiEvent {
    EventKind kind = EventKind::Command;
    int window = 0;
    int control = 0;                  // Control events
    ControlEvent type = ControlEvent::Click;
    int command = -1;                 // Command events
    std::vector<std::string> paths;   // FilesDropped: local paths, in drop order
};

void postEvent(UiEvent event);
void postClose(int window);
void postCommand(int window, int command);
void postControl(int window, int control, ControlEvent type);
void postDroppedFiles(int window, std::vector<std::string> paths);

bool hasPendingEvent();
void clearEvents();

// Pumps Qt's event loop until the queue holds an event, then takes it.
UiEvent waitForNextEvent();
// The same with a time limit; nothing when it passes first.
std::optional<UiEvent> waitForNextEventWithin(int milliseconds);
