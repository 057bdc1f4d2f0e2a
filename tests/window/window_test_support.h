// What the in-process window tests share: the process-wide records the
// window code works on, prepared the way the window mode prepares them, and
// the rule by which scripted choosers hand out their answers.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
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

// Every control of the main window whole and visible: all toolbar buttons
// on the bar (none behind the overflow chevron), the lists and the Convert
// button inside their box, the notice between the box and the status bar.
inline void expectEveryMainControlWhole(const MainWindow& w) {
    for (QAction* action : w.toolbar->actions()) {
        if (action->isSeparator()) continue;
        QWidget* button = w.toolbar->widgetForAction(action);
        ASSERT_TRUE(button) << action->toolTip().toStdString();
        EXPECT_TRUE(button->isVisible()) << action->toolTip().toStdString();
        EXPECT_LE(button->geometry().right(), w.toolbar->width() - 1) << action->toolTip().toStdString();
    }
    EXPECT_LE(w.toolbar->geometry().bottom(), w.container->geometry().top() - 1);
    const QRect box = w.container->geometry();
    for (const QWidget* control : {static_cast<const QWidget*>(w.inputField), static_cast<const QWidget*>(w.folderList),
                                   static_cast<const QWidget*>(w.formatList),
                                   static_cast<const QWidget*>(w.convertButton)}) {
        EXPECT_TRUE(control->isVisible());
        EXPECT_LE(control->geometry().bottom(), box.height() - 1) << control->metaObject()->className();
        EXPECT_LE(control->geometry().right(), box.width() - 1) << control->metaObject()->className();
    }
    EXPECT_LT(box.top() + w.convertButton->geometry().bottom(), w.vendorNotice->geometry().top());
    EXPECT_LT(w.vendorNotice->geometry().bottom(), w.statusBar->geometry().top());
    EXPECT_EQ(w.statusBar->geometry().bottom(), w.client->height() - 1);
}
