// The About and Find a File Converter dialogs in-process: their texts and
// places, the events their links, keys and close box post, what the loop
// does with them (the xdg-open stub of the test run records what is opened)
// and the warning of an empty extension, answered by a scripted box.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/about_dialog.h"
#include "app/app_state.h"
#include "app/converter_search.h"
#include "app/main_window.h"
#include "window/window_mode.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "ui/desktop.h"
#include "ui/events.h"
#include "window_test_support.h"

namespace {

struct ShownBox {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    QWidget* parent;
};
std::vector<ShownBox> shownBoxes;

MessageAnswer recordBox(QWidget* parent, const std::string& title, const std::string& text, MessageIcon icon,
                        MessageButtons buttons) {
    shownBoxes.push_back({title, text, icon, buttons, parent});
    return MessageAnswer::Ok;
}

// What the desktop's handler would be given: the URL's encoded form, as
// QDesktopServices passes it to xdg-open.
std::vector<std::string> openedUrls;
void recordUrl(const QUrl& url) { openedUrls.push_back(url.toEncoded().toStdString()); }

struct DialogTest : ::testing::Test, WindowRecords {

    void SetUp() override {
        prepareRecords();
        state.scheduledUpdateCheck = nullptr;
        shownBoxes.clear();
        choosers().messageBox = recordBox;
        openedUrls.clear();
        urlOpener() = recordUrl;
        // Well inside the offscreen screen, so a centred dialog is not
        // pushed back onto it.
        ui.X = 100;
        ui.Y = 100;
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
    }
    void TearDown() override {
        destroyMainWindow(state.main);
        choosers() = qtChoosers();
        urlOpener() = openWithDesktopServices;
        clearEvents();
    }

    // Activation of a window-modal dialog arrives through the event queue.
    static void activate(QWidget* dialog) {
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }));
    }

    void dispatch(const UiEvent& event) { dispatchEvent(state, event); }
    void command(WindowId window, CommandId number) {
        dispatch({EventKind::Command, window, {}, ControlEvent::Click, number, {}});
    }
    void control(WindowId window, ControlId number) {
        dispatch({EventKind::Control, window, number, ControlEvent::Click, kCommandNone, {}});
    }

    std::vector<UiEvent> takeEvents() {
        QApplication::processEvents();
        std::vector<UiEvent> events;
        while (hasPendingEvent()) events.push_back(waitForNextEvent());
        return events;
    }

    void expectMainWindowUsable(bool usable) {
        EXPECT_EQ(state.main.client->isEnabled(), usable);
        EXPECT_EQ(state.main.menuBar->isEnabled(), usable);
        EXPECT_EQ(state.openDialog == kNoDialog, usable);
    }

    // The dialog's centre lies on the main window's centre (within a pixel
    // of rounding).
    void expectCentredOnMain(QWidget* dialog) {
        const QPoint mainCentre = state.main.frame->frameGeometry().center();
        const QPoint dialogCentre = dialog->frameGeometry().center();
        EXPECT_LE(std::abs(mainCentre.x() - dialogCentre.x()), 1);
        EXPECT_LE(std::abs(mainCentre.y() - dialogCentre.y()), 1);
    }
};

QString plainText(QLabel* label) {
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

TEST_F(DialogTest, AboutShowsBannerTextsAndLinksAtTheirPlaces) {
    command(kMainWindow, kCommandAbout);
    ASSERT_TRUE(state.about);
    AboutDialog& about = *state.about;
    EXPECT_EQ(state.openDialog, kAboutWindow);
    EXPECT_TRUE(about.frame->isVisible());
    EXPECT_EQ(about.frame->parentWidget(), state.main.frame);
    EXPECT_EQ(about.frame->windowModality(), Qt::WindowModal);
    EXPECT_EQ(about.frame->windowTitle().toStdString(), "About...");
    EXPECT_EQ(about.frame->size(), QSize(360, 240));
    expectCentredOnMain(about.frame);
    expectMainWindowUsable(false);

    ASSERT_FALSE(about.banner->pixmap().isNull());
    EXPECT_EQ(about.banner->pixmap().size(), QSize(360, 40));
    EXPECT_EQ(about.banner->geometry(), QRect(0, 0, 360, 40));
    EXPECT_EQ(about.title->text().toStdString(), "Korvane PNG to DDS 2.8");
    EXPECT_EQ(about.title->geometry(), QRect(20, 50, 320, 20));
    EXPECT_TRUE(about.title->alignment() & Qt::AlignHCenter);
    EXPECT_FALSE(about.notice->text().isEmpty());
    EXPECT_EQ(plainText(about.webLink).toStdString(), "https://www.korvane.example");
    EXPECT_EQ(plainText(about.mailLink).toStdString(), "support@korvane.example");
    EXPECT_EQ(about.webLink->geometry(), QRect(140, 100, 215, 20));
    EXPECT_EQ(about.mailLink->geometry(), QRect(140, 120, 215, 20));
    EXPECT_EQ(about.okButton->text().toStdString(), "OK");
    EXPECT_EQ(about.okButton->geometry(), QRect(140, 200, 80, 25));

    std::vector<std::string> captions;
    for (QLabel* label : about.frame->findChildren<QLabel*>())
        if (label->geometry().x() == 80) captions.push_back(label->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"Web:", "E-mail:"}));
    QFrame* box = nullptr;
    for (QFrame* frame : about.frame->findChildren<QFrame*>())
        if (frame->geometry() == QRect(0, 40, 360, 150)) box = frame;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->frameShadow(), QFrame::Sunken);
    // The labels fit their places: nothing is cut.
    for (QLabel* label : {about.title, about.notice, about.webLink, about.mailLink})
        EXPECT_LE(label->sizeHint().width(), label->width()) << plainText(label).toStdString();
}

TEST_F(DialogTest, AboutLinksPostTheirControlsAndOpenTheirAddressesTheDialogStays) {
    command(kMainWindow, kCommandAbout);
    ASSERT_TRUE(state.about);
    AboutDialog& about = *state.about;
    activate(about.frame);
    clearEvents();
    // A click on the start of each link's text.
    for (QLabel* link : {about.webLink, about.mailLink}) QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, 10));
    std::vector<UiEvent> events = takeEvents();
    ASSERT_EQ(events.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(events[i].kind, EventKind::Control);
        EXPECT_EQ(events[i].window, kAboutWindow);
        EXPECT_EQ(events[i].control, ControlId(i == 0 ? kAboutWebLink : kAboutMailLink));
        dispatch(events[i]);
        EXPECT_TRUE(state.about) << "a link leaves the dialog open";
    }
    EXPECT_EQ(openedUrls, (std::vector<std::string>{"https://www.korvane.example",
                                                            "mailto:support@korvane.example"}));
    expectMainWindowUsable(false);
}

struct CloseCase {
    const char* name;
    std::function<void(AboutDialog&)> act;
};

TEST_F(DialogTest, AboutClosesOnOkEnterEscapeAndTheCloseBox) {
    const std::vector<CloseCase> cases{
        {"OK", [](AboutDialog& d) { d.okButton->click(); }},
        {"Enter", [](AboutDialog& d) { QTest::keyClick(d.frame->windowHandle(), Qt::Key_Return); }},
        {"keypad Enter",
         [](AboutDialog& d) { QTest::keyClick(d.frame->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier); }},
        {"Escape", [](AboutDialog& d) { QTest::keyClick(d.frame->windowHandle(), Qt::Key_Escape); }},
        {"close box", [](AboutDialog& d) { EXPECT_FALSE(d.frame->close()); }},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        command(kMainWindow, kCommandAbout);
        ASSERT_TRUE(state.about);
        QWidget* frame = state.about->frame;
        activate(frame);
        clearEvents();
        c.act(*state.about);
        std::vector<UiEvent> events = takeEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].window, kAboutWindow);
        EXPECT_TRUE(frame->isVisible()) << "only the loop closes the dialog";
        dispatch(events[0]);
        EXPECT_FALSE(state.about);
        expectMainWindowUsable(true);
    }
    EXPECT_EQ(openedUrls, std::vector<std::string>{});
}

TEST_F(DialogTest, OneDialogAtATimeAndStaleEventsAreIgnored) {
    command(kMainWindow, kCommandAbout);
    ASSERT_TRUE(state.about);
    AboutDialog* first = state.about.get();
    // Commands queued before the main window went dark change nothing.
    command(kMainWindow, kCommandFindConverter);
    command(kMainWindow, kCommandAbout);
    command(kMainWindow, kCommandExit);
    EXPECT_FALSE(state.findConverter);
    EXPECT_EQ(state.about.get(), first);
    EXPECT_FALSE(state.quitRequested);
    control(kAboutWindow, kAboutOkButton);
    ASSERT_FALSE(state.about);
    // A second click that was already queued, and events of the other dialog.
    control(kAboutWindow, kAboutOkButton);
    control(kAboutWindow, kAboutWebLink);
    control(kFindConverterWindow, kSearchButton);
    dispatch({EventKind::Close, kFindConverterWindow, {}, ControlEvent::Click, kCommandNone, {}});
    expectMainWindowUsable(true);
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_EQ(openedUrls, std::vector<std::string>{});
}

TEST_F(DialogTest, FindConverterTextsPlacesAndFocus) {
    command(kMainWindow, kCommandFindConverter);
    ASSERT_TRUE(state.findConverter);
    FindConverterDialog& find = *state.findConverter;
    EXPECT_EQ(state.openDialog, kFindConverterWindow);
    EXPECT_EQ(find.frame->windowTitle().toStdString(), "Find a File Converter");
    EXPECT_EQ(find.frame->size(), QSize(370, 60));
    EXPECT_EQ(find.frame->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(find.frame->isVisible());
    expectCentredOnMain(find.frame);
    expectMainWindowUsable(false);
    EXPECT_EQ(find.fromField->geometry(), QRect(50, 20, 80, 20));
    EXPECT_EQ(find.toField->geometry(), QRect(180, 20, 80, 20));
    EXPECT_TRUE(find.fromField->text().isEmpty());
    EXPECT_TRUE(find.toField->text().isEmpty());
    EXPECT_EQ(find.searchButton->text().toStdString(), "Search");
    EXPECT_EQ(find.searchButton->geometry(), QRect(280, 18, 80, 25));
    EXPECT_TRUE(find.searchButton->isDefault());
    std::vector<std::string> captions;
    for (QLabel* label : find.frame->findChildren<QLabel*>()) {
        captions.push_back(label->text().toStdString());
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"From:", "To:"}));
    activate(find.frame);
    EXPECT_EQ(QApplication::focusWidget(), find.fromField);
}

struct SearchCase {
    const char* name;
    const char* from;
    const char* to;
    const char* opened;  // nullptr: the warning, the dialog stays
};

TEST_F(DialogTest, FindConverterSearchesOrWarnsAndStays) {
    const std::vector<SearchCase> cases{
        {"extension with a point and capitals", ".PNG", "dds", "https://www.korvane.example/find/png-dds/"},
        {"cut to twelve, then blanks dropped", "abcdefghijklmnopqrst", "image file",
         "https://www.korvane.example/find/abcdefghijkl-imagefile/"},
        {"empty To", "png", "", nullptr},
        {"punctuation only", "png", ".-*", nullptr},
        {"empty From", "", "dds", nullptr},
        {"both empty", "", "", nullptr},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        openedUrls.clear();
        shownBoxes.clear();
        command(kMainWindow, kCommandFindConverter);
        ASSERT_TRUE(state.findConverter);
        FindConverterDialog& find = *state.findConverter;
        activate(find.frame);
        QTest::keyClicks(find.fromField, c.from);
        QTest::keyClicks(find.toField, c.to);
        clearEvents();
        find.searchButton->click();
        std::vector<UiEvent> events = takeEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].window, kFindConverterWindow);
        EXPECT_EQ(events[0].control, ControlId(kSearchButton));
        dispatch(events[0]);
        if (c.opened) {
            EXPECT_TRUE(shownBoxes.empty());
            EXPECT_FALSE(state.findConverter);
            expectMainWindowUsable(true);
            EXPECT_EQ(openedUrls, std::vector<std::string>{c.opened});
        } else {
            ASSERT_EQ(shownBoxes.size(), 1u);
            EXPECT_EQ(shownBoxes[0].title, "Warning");
            EXPECT_EQ(shownBoxes[0].text, "Please, fill all required fields and try again!");
            EXPECT_EQ(shownBoxes[0].icon, MessageIcon::Warning);
            EXPECT_EQ(shownBoxes[0].buttons, MessageButtons::Ok);
            ASSERT_TRUE(state.findConverter) << "the dialog stays open";
            EXPECT_EQ(shownBoxes[0].parent, state.findConverter->frame);
            EXPECT_TRUE(state.findConverter->frame->isVisible());
            EXPECT_EQ(state.findConverter->fromField->text().toStdString(), c.from);
            expectMainWindowUsable(false);
            control(kFindConverterWindow, kFindConverterEscape);
            EXPECT_FALSE(state.findConverter);
            EXPECT_EQ(openedUrls, std::vector<std::string>{});
        }
    }
}

TEST_F(DialogTest, FindConverterKeysAndTheCloseBox) {
    struct KeyCase {
        const char* name;
        std::function<void(FindConverterDialog&)> act;
        int number;  // the control the event carries; -1 for a close
        bool opens;
    };
    const std::vector<KeyCase> cases{
        {"Enter in a field searches",
         [](FindConverterDialog& d) { QTest::keyClick(d.toField, Qt::Key_Return); }, kSearchButton, true},
        {"Escape closes", [](FindConverterDialog& d) { QTest::keyClick(d.fromField, Qt::Key_Escape); },
         kFindConverterEscape, false},
        {"the close box closes", [](FindConverterDialog& d) { EXPECT_FALSE(d.frame->close()); }, -1, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        openedUrls.clear();
        command(kMainWindow, kCommandFindConverter);
        ASSERT_TRUE(state.findConverter);
        FindConverterDialog& find = *state.findConverter;
        activate(find.frame);
        find.fromField->setText("tga");
        find.toField->setText("DDS");
        clearEvents();
        c.act(find);
        std::vector<UiEvent> events = takeEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].window, kFindConverterWindow);
        EXPECT_EQ(events[0].kind == EventKind::Close ? -1 : std::get<FindConverterControl>(events[0].control), c.number);
        dispatch(events[0]);
        EXPECT_FALSE(state.findConverter);
        expectMainWindowUsable(true);
        EXPECT_EQ(openedUrls,
                  c.opens ? std::vector<std::string>{"https://www.korvane.example/find/tga-dds/"}
                          : std::vector<std::string>{});
    }
}

TEST_F(DialogTest, HelpCommandsOpenTheManualTheFeedbackMailAndTheProductPage) {
    command(kMainWindow, kCommandUserManual);
    command(kMainWindow, kCommandSendFeedback);
    command(kMainWindow, kCommandVisitHomepage);
    // The absolute manual beside the program, whatever the current folder.
    ASSERT_EQ(state.programFolder.substr(0, 1), "/");
    const std::string manual = "file://" + state.programFolder + "tovrel.html";
    // One argument each; the mail subject's blanks travel percent-encoded
    // (a URL holds no blanks) and mail programs decode them.
    std::vector<std::string> expected{
        manual, "mailto:support@korvane.example?subject=Korvane%20PNG%20to%20DDS%202.8%20Feedback",
        "https://www.korvane.example/tovrel/"};
    EXPECT_EQ(openedUrls, expected);
}

}  // namespace
