// Turns what the window system does to a top-level window into queue
// events: the close box posts a close event (the window stays; the program's
// loop decides), dropped local files post one drop event, and a size change
// runs the window's layout function at once.
#pragma once

#include <functional>

#include "ui/window_ids.h"

class QWidget;

struct WindowEventHooks {
    WindowId window = kMainWindow;
    bool acceptsDrops = false;
    // Run on every resize of the watched widget; may be empty.
    std::function<void()> onResize;
    // Which window of a kind that opens more than once (texture viewers).
    int instance = 0;
};

// Watches `widget` for as long as it lives.
void watchWindowEvents(QWidget* widget, WindowEventHooks hooks);
// Runs the widget's resize hook once more, after the events already queued
// (the posted size event that forces a new layout).
void postLayoutRequest(QWidget* widget);
