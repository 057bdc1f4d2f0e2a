#include "ui/events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <deque>

namespace {
std::deque<UiEvent>& queue() {
    static std::deque<UiEvent> events;
    return events;
}

UiEvent takeFirst() {
    UiEvent event = std::move(queue().front());
    queue().pop_front();
    return event;
}
}  // namespace

void postEvent(UiEvent event) { queue().push_back(std::move(event)); }

void postClose(WindowId window) { postEvent({EventKind::Close, window, {}, ControlEvent::Click, kCommandNone, {}}); }

void postCommand(WindowId window, CommandId command) {
    postEvent({EventKind::Command, window, {}, ControlEvent::Click, command, {}});
}

void postControl(WindowId window, ControlId control, ControlEvent type) {
    postEvent({EventKind::Control, window, control, type, kCommandNone, {}});
}

void postInstanceControl(WindowId window, int instance, ControlId control, ControlEvent type) {
    postEvent({EventKind::Control, window, control, type, kCommandNone, {}, instance});
}

void postDroppedFiles(WindowId window, std::vector<std::string> paths) {
    postEvent({EventKind::FilesDropped, window, {}, ControlEvent::Click, kCommandNone, std::move(paths)});
}

bool hasPendingEvent() { return !queue().empty(); }

void clearEvents() { queue().clear(); }

UiEvent waitForNextEvent() {
    while (queue().empty()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return takeFirst();
}

std::optional<UiEvent> waitForNextEventWithin(int milliseconds) {
    // The timer's own event wakes the waiting pass when nothing else comes.
    bool expired = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&expired] { expired = true; });
    timer.start(milliseconds);
    while (queue().empty() && !expired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (queue().empty()) return std::nullopt;
    return takeFirst();
}
