// What the in-process window tests share: the process-wide records the
// window code works on, prepared the way the window mode prepares them, and
// the rule by which scripted choosers hand out their answers.
#pragma once

#include <vector>

#include "app/app_state.h"
#include "window/window_mode.h"
#include "settings/batch_job.h"
#include "settings/defaults.h"
#include "settings/settings.h"
#include "ui/events.h"

// The records with window-mode defaults and the built-in pictures loaded;
// the event queue starts empty.
struct WindowRecords {
    ConversionSettings conversion;
    InterfaceSettings ui;
    BatchJob job;
    AppState state{conversion, ui, job};

    void prepareRecords() {
        ResetToDefaults(conversion, ui, false);
        loadWindowResources(state);
        clearEvents();
    }
};

// A scripted answer is used once, in order; with none left the fallback.
template <typename T>
T takeFirstAnswer(std::vector<T>& answers, T fallback) {
    if (answers.empty()) return fallback;
    T answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}
