// The preferences dialog in-process: every page filled from a record and
// written back by OK, dependent rows, slider pairs, choosers (scripted),
// the ways of closing, Defaults, and what the main window rebuilds.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

#include "app/app_state.h"
#include "app/main_window.h"
#include "window/window_mode.h"
#include "prefs/preferences.h"
#include "settings/config_file.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "window_test_support.h"

namespace {

// Scripted choosers: each answer is taken once; what they were asked is kept.
struct Script {
    std::vector<std::optional<std::string>> colors;
    std::vector<std::optional<FontChoice>> fonts;
    std::vector<std::optional<std::string>> files;
    std::vector<MessageAnswer> answers;
    std::vector<std::string> colorPresets;
    std::vector<FontChoice> fontPresets;
    std::vector<std::string> fileTitles, fileFilters, fileStarts;
    std::vector<std::string> messages;
};
Script script;

ChooserTable scriptedChoosers() {
    ChooserTable table = qtChoosers();
    table.chooseColor = [](QWidget*, const std::string& preset) {
        script.colorPresets.push_back(preset);
        return takeFirstAnswer<std::optional<std::string>>(script.colors, std::nullopt);
    };
    table.chooseFont = [](QWidget*, const FontChoice& preset) {
        script.fontPresets.push_back(preset);
        return takeFirstAnswer<std::optional<FontChoice>>(script.fonts, std::nullopt);
    };
    table.openFile = [](QWidget*, const std::string& title, const std::string& filter, const std::string& start) {
        script.fileTitles.push_back(title);
        script.fileFilters.push_back(filter);
        script.fileStarts.push_back(start);
        return takeFirstAnswer<std::optional<std::string>>(script.files, std::nullopt);
    };
    table.messageBox = [](QWidget*, const std::string& title, const std::string& text, MessageIcon, MessageButtons) {
        script.messages.push_back(title + "|" + text);
        return takeFirstAnswer(script.answers, MessageAnswer::No);
    };
    return table;
}

std::string buildFolder() { return std::filesystem::path(TOVREL_BINARY).parent_path().string() + "/"; }

struct PreferencesTest : ::testing::Test, WindowRecords {
    TempFolder temp;

    void SetUp() override {
        prepareRecords();
        state.configPath = temp.path + "config.ini";
        script = Script{};
        choosers() = scriptedChoosers();
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
    }
    void TearDown() override {
        if (state.preferences) closePreferences(state);
        destroyMainWindow(state.main);
        choosers() = qtChoosers();
        clearEvents();
    }

    // Runs the program's loop until the queue is empty.
    void pump() {
        QApplication::processEvents();
        while (hasPendingEvent()) {
            dispatchEvent(state, waitForNextEvent());
            QApplication::processEvents();
        }
    }
    PreferencesWindow& open() {
        openPreferences(state);
        pump();
        EXPECT_TRUE(state.preferences);
        return *state.preferences;
    }
    void press(PrefsControl control) {
        postControl(kPreferencesWindow, control, ControlEvent::Click);
        pump();
    }
    // What a user choosing entry `index` does.
    void choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        list->activated(index);
        pump();
    }
    void click(QCheckBox* box) {
        box->click();
        pump();
    }
    void typeInto(QAbstractSpinBox* spin, const QString& text) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
        pump();
    }
    int shownPage() {
        for (int page = 0; page < kPageCount; ++page)
            if (state.preferences->pages[page]->isVisibleTo(state.preferences->frame)) return page;
        return -1;
    }
};

// ---- Round trip: every page filled from the record, written back by OK ----

struct RecordCase {
    const char* name;
    std::function<void(ConversionSettings&, InterfaceSettings&)> edit;
};

void manyNonDefaults(ConversionSettings& c, InterfaceSettings& u) {
    u.UpdateRange = 4;
    u.SaveWindowPosition = 0;
    u.UISize = 4;
    u.OutFoldersHistory = 0;
    u.OutFoldersNumber = 50;
    c.DDSBPP = 32;
    c.DDSCompression = 3;
    c.FilenameMask = "%filename%_small.%ext%";
    c.FileTimestamp = 2;
    c.CustomTimestamp = 1234567891;  // seconds the picker cannot show
    c.DoImageRotation = 1;
    c.ImageRotationType = 1;
    c.TransformImageRotation = 275;
    c.ImageRotationBackColor = "12AB34";
    c.DoImageResize = 1;
    c.ImageWidth = 640;
    c.ImageWidthUnit = 1;
    c.ImageHeight = 480;
    c.ImageHeightUnit = 1;
    c.KeepAspectRatio = 0;
    c.ImageResizeType = 1;
    c.ImageResizeAlgorithm = 5;
    c.DoImageFlipHorizontal = 1;
    c.DoImageFlipVertical = 1;
    c.ImageBrightness = -37;
    c.ImageContrast = 55;
    c.ImageGamma = 2.35f;
    c.ImageInvert = 1;
    c.DoImageColorCorrection = 1;
    c.DoImageGreyscale = 1;
    c.DoImageThreshold = 1;
    c.ImageThreshold = 200;
    c.DoImageDither = 1;
    c.ImageDitherAlgorithm = 6;
    c.DoFrame = 1;
    c.SolidLeft = 1;
    c.SolidRight = 2;
    c.SolidTop = 3;
    c.SolidBottom = 4;
    c.SolidLeftColor = "FF0000";
    c.SolidRightColor = "00FF00";
    c.SolidTopColor = "0000FF";
    c.SolidBottomColor = "ABCDEF";
    c.SolidOpacity = 128;
    c.DoWatermark = 1;
    c.Text = "Made by %filename%";
    c.Fonts = "Arial,Tahoma,DejaVu Sans";
    c.Font = "DejaVu Sans";
    c.FontSize = 33;
    c.FontLeading = 4;
    c.FontColors = "000000,FF8000,12AB34";
    c.FontColor = "12AB34";
    c.FontStyle = 3;
    c.FontEffect = 2;
    c.TextAntialiasing = 1;
    c.TextAlignment = 2;
    c.TextPadding = 7;
    c.TextOpacity = 99;
    c.BackColors = "0000FF,FFFFFF";
    c.BackColor = "FFFFFF";
    c.BackOpacity = 200;
    c.TextBoundary = 1;
    c.TextPosition = 4;
    c.TextXOffset = 3;
    c.TextYOffset = 4;
    c.TextRotation = 90;
    c.TextScale = 150;
    c.Image = "/home/artist/mark.png";
    c.ImageGreyscale = 1;
    c.ImageOpacity = 17;
    c.ImageBoundary = 1;
    c.ImagePosition = 0;
    c.ImageXOffset = 20;
    c.ImageYOffset = 30;
    c.WatermarkImageRotation = 45;
    c.ImageScale = 77;
}

const std::vector<RecordCase>& recordCases() {
    static const std::vector<RecordCase> cases{
        {"defaults", [](ConversionSettings&, InterfaceSettings&) {}},
        {"many settings changed", manyNonDefaults},
        {"extra large icons, image watermark", [](ConversionSettings& c, InterfaceSettings& u) {
             u.UISize = 3;
             c.DoWatermark = 2;
             c.Image = "/tmp/a b/mark.png";
         }},
        {"values no list offers stay", [](ConversionSettings& c, InterfaceSettings& u) {
             u.UpdateRange = 9;
             u.UISize = 7;
             c.FileTimestamp = 5;
             c.DDSCompression = 5;
             c.ImageResizeAlgorithm = 11;
             c.DoFrame = 4;
             c.TextPosition = 20;
             c.FontStyle = 9;
         }},
        {"empty colour and font lists", [](ConversionSettings& c, InterfaceSettings&) {
             c.FontColors = "";
             c.FontColor = "ABCDEF";
             c.BackColors = " , ,";
             c.BackColor = "123456";
             c.Fonts = ",,";
             c.Font = "Verdana";
         }},
        {"timestamp before 1970 untouched", [](ConversionSettings& c, InterfaceSettings&) {
             c.CustomTimestamp = -86399;
         }},
        {"timestamp at the end of 32 bits", [](ConversionSettings& c, InterfaceSettings&) {
             c.CustomTimestamp = std::numeric_limits<std::int32_t>::max();
         }},
    };
    return cases;
}

TEST_F(PreferencesTest, OkWithoutEditsWritesEveryRecordBackUnchanged) {
    for (const RecordCase& c : recordCases()) {
        SCOPED_TRACE(c.name);
        ResetToDefaults(conversion, ui, false);
        ui.Language = "de";
        c.edit(conversion, ui);
        InterfaceSettings expectedUi = ui;
        expectedUi.Language = "en";
        const std::string expected = configurationText(conversion, expectedUi);
        std::filesystem::remove(state.configPath);
        open();
        press(kOkButton);
        EXPECT_FALSE(state.preferences);
        EXPECT_EQ(configurationText(conversion, ui), expected);
        EXPECT_EQ(readFileBytes(state.configPath), expected) << "OK saves at once";
    }
}

TEST_F(PreferencesTest, EachPageShowsItsRecordValues) {
    manyNonDefaults(conversion, ui);
    PreferencesWindow& w = open();
    EXPECT_EQ(w.iconSize->currentText(), "Huge");
    EXPECT_EQ(w.iconSize->count(), 5);
    EXPECT_EQ(w.iconSize->itemText(3), "Extra Large");
    EXPECT_EQ(w.updateRange->currentText(), "Every 6 months");
    EXPECT_EQ(w.ddsBpp->currentText(), "32");
    EXPECT_EQ(w.ddsCompression->currentText(), "BC7");
    EXPECT_EQ(w.customTimestamp->dateTime().toString("yyyy/MM/dd HH:mm"), "2009/02/13 23:31");
    EXPECT_EQ(w.customTimestamp->displayFormat(), "yyyy/MM/dd HH:mm");
    EXPECT_EQ(w.pairs[kBrightnessPair].slider->value(), 63);
    EXPECT_EQ(w.pairs[kBrightnessPair].spin->value(), -37);
    EXPECT_EQ(w.gamma.slider->value(), 235);
    EXPECT_EQ(w.gamma.spin->text(), "2.35");
    EXPECT_EQ(w.colorFields[kRotationBackColor].edit->text(), "12AB34");
    EXPECT_EQ(w.fontColor->currentText(), "Color #12AB34");
    EXPECT_EQ(w.fontColor->itemText(1), "Orange");
    EXPECT_EQ(w.backColor->currentText(), "White");
    EXPECT_EQ(w.font->currentText(), "DejaVu Sans");
    EXPECT_EQ(w.fontStyle->currentText(), "Bold Italic");
    EXPECT_EQ(w.fontEffect->currentText(), "Strikethrough");
    EXPECT_EQ(w.imageWidthUnit->currentText(), "percent");
}

// A setting shown by two controls would be read back twice, the second
// silently winning.
TEST_F(PreferencesTest, EachSettingIsShownByOneControl) {
    const PreferencesWindow& w = open();
    ASSERT_FALSE(w.bound.empty());
    for (std::size_t i = 0; i < w.bound.size(); ++i)
        for (std::size_t j = i + 1; j < w.bound.size(); ++j)
            EXPECT_FALSE(w.bound[i].setting == w.bound[j].setting) << "controls " << i << " and " << j;
}

// Rows are placed by their order in their area: one after the other, 30
// apart, none skipped and none on top of another.
TEST_F(PreferencesTest, RowsFollowEachOtherInEveryArea) {
    const PreferencesWindow& w = open();
    int areas = 0;
    for (QWidget* area : w.frame->findChildren<QWidget*>()) {
        std::vector<int> tops;
        for (QObject* child : area->children()) {
            auto* row = qobject_cast<QWidget*>(child);
            if (row && row->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly) && row->height() == 30 &&
                row->x() == 0)
                tops.push_back(row->y());
        }
        if (tops.empty()) continue;
        ++areas;
        SCOPED_TRACE(area->metaObject()->className());
        for (std::size_t i = 0; i < tops.size(); ++i) EXPECT_EQ(tops[i], 5 + 30 * static_cast<int>(i));
    }
    // Seven pages with rows of their own, the DDS area, the two scrolled
    // pages, the frame sizes and the two watermark areas.
    EXPECT_EQ(areas, 13);
}

// The dialog opens at 600 x 350 and may be made larger: the pages and their
// scroll areas take the room, so the Text watermark rows fit whole; the
// next opening in the session keeps the size.
TEST_F(PreferencesTest, ALargerDialogShowsMoreAndKeepsItsSizeForTheSession) {
    conversion.DoWatermark = 1;
    PreferencesWindow& first = open();
    EXPECT_EQ(first.frame->size(), QSize(600, 350));
    EXPECT_EQ(first.okButton->geometry(), QRect(420, 315, 80, 25));
    EXPECT_EQ(first.pages[kWatermarkPage]->geometry(), QRect(140, 50, 450, 255));
    showPreferencesPage(first, kWatermarkPage);
    first.frame->resize(760, 760);
    QApplication::processEvents();
    EXPECT_EQ(first.pages[kWatermarkPage]->geometry(), QRect(140, 50, 610, 665));
    auto* textArea = qobject_cast<QScrollArea*>(first.textArea);
    ASSERT_TRUE(textArea);
    EXPECT_EQ(textArea->geometry(), QRect(0, 40, 610, 625));
    EXPECT_EQ(textArea->verticalScrollBar()->maximum(), 0) << "every text row in sight";
    EXPECT_EQ(first.cancelButton->geometry(), QRect(670, 725, 80, 25));
    EXPECT_EQ(first.categories->geometry(), QRect(10, 10, 120, 705));
    press(kCancelButton);
    PreferencesWindow& second = open();
    EXPECT_EQ(second.frame->size(), QSize(760, 760));
    EXPECT_EQ(second.pages[kWatermarkPage]->height(), 665);
    second.frame->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(second.frame->size(), QSize(600, 350)) << "never smaller than described";
}

// Every list is wide enough for its entries ("percent" among the units), and
// Tab skips what cannot be changed.
TEST_F(PreferencesTest, ListsFitTheirEntriesAndTabSkipsWhatCannotChange) {
    PreferencesWindow& w = open();
    for (QComboBox* list : w.frame->findChildren<QComboBox*>()) {
        SCOPED_TRACE(list->currentText().toStdString());
        EXPECT_GE(list->width(), list->sizeHint().width());
        EXPECT_LE(list->parentWidget()->mapTo(list->parentWidget()->parentWidget(), list->geometry().topRight()).x(),
                  list->parentWidget()->parentWidget()->width());
    }
    EXPECT_EQ(w.imageWidthUnit->itemText(1), "percent");
    for (QScrollArea* area : w.frame->findChildren<QScrollArea*>()) EXPECT_EQ(area->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w.colorFields[kRotationBackColor].edit->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w.language->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(w.imageWidthUnit->focusPolicy(), Qt::NoFocus) << "two units to choose from";
    EXPECT_NE(w.font->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(w.imageWidth->focusPolicy(), Qt::NoFocus);
    // The digits field beside a wider unit list gives up the room.
    EXPECT_LT(w.imageWidth->geometry().right(), w.imageWidthUnit->geometry().left());
}

TEST_F(PreferencesTest, DdsDepthShowsAutoThirtyTwoOrNothing) {
    for (const auto& [depth, shown, stored] : {std::tuple{0, "Auto", 0}, {32, "32", 32}, {24, "", 0}}) {
        SCOPED_TRACE(depth);
        conversion.DDSBPP = depth;
        PreferencesWindow& w = open();
        EXPECT_EQ(w.ddsBpp->currentText(), shown);
        press(kOkButton);
        EXPECT_EQ(conversion.DDSBPP, stored);
    }
}

// The Compression row: one entry per keyword in keyword order, the note
// under it saying what the chosen entry does, and the choice stored by OK.
TEST_F(PreferencesTest, DdsCompressionShowsItsChoiceAndWhatItDoes) {
    struct Shown { const char* entry; const char* hint; };
    const Shown shown[] = {
        {"Automatic", "DXT1 for opaque pictures and cut-outs, DXT5 where alpha is smooth"},
        {"DXT1 (BC1)", "Smallest file, 1-bit alpha"},
        {"DXT5 (BC3)", "Smooth alpha, twice the size of DXT1"},
        {"BC7", "Best quality, slower to write; needs a DirectX 11 era reader"},
        {"Uncompressed", "Lossless, 4 bytes per pixel"},
    };
    for (int stored = 0; stored < 5; ++stored) {
        SCOPED_TRACE(stored);
        conversion.DDSCompression = stored;
        PreferencesWindow& w = open();
        ASSERT_EQ(w.ddsCompression->count(), 5);
        EXPECT_EQ(w.ddsCompression->currentText(), shown[stored].entry);
        EXPECT_EQ(w.ddsCompressionHint->text(), shown[stored].hint);
        // The next entry, wrapping round, is what OK stores.
        const int next = (stored + 1) % 5;
        choose(w.ddsCompression, next);
        EXPECT_EQ(w.ddsCompressionHint->text(), shown[next].hint) << "the note follows the choice";
        press(kOkButton);
        EXPECT_EQ(conversion.DDSCompression, next);
    }
}

TEST_F(PreferencesTest, DdsCompressionWithoutAnEntryShowsNothingAndStaysUntilChosen) {
    for (int stored : {5, -1, 200}) {
        SCOPED_TRACE(stored);
        conversion.DDSCompression = stored;
        PreferencesWindow& w = open();
        EXPECT_EQ(w.ddsCompression->currentIndex(), -1);
        EXPECT_EQ(w.ddsCompressionHint->text(), "");
        press(kOkButton);
        EXPECT_EQ(conversion.DDSCompression, stored);
    }
    PreferencesWindow& w = open();
    choose(w.ddsCompression, 2);
    EXPECT_EQ(w.ddsCompressionHint->text(), "Smooth alpha, twice the size of DXT1");
    press(kOkButton);
    EXPECT_EQ(conversion.DDSCompression, 2);
}

// Every note fits the room under the list, wrapped within the page, and the
// DDS rows fit their area.
TEST_F(PreferencesTest, DdsCompressionNotesFitUnderTheList) {
    PreferencesWindow& w = open();
    showPreferencesPage(w, kOutputPage);
    QApplication::processEvents();
    QLabel* note = w.ddsCompressionHint;
    EXPECT_GE(note->mapTo(w.ddsArea, QPoint(0, 0)).y(),
              w.ddsCompression->mapTo(w.ddsArea, QPoint(0, w.ddsCompression->height())).y());
    EXPECT_LE(note->mapTo(w.ddsArea, QPoint(0, note->height())).y(), w.ddsArea->height());
    EXPECT_LE(note->mapTo(w.pages[kOutputPage], QPoint(note->width(), 0)).x(), w.pages[kOutputPage]->width());
    for (int entry = 0; entry < w.ddsCompression->count(); ++entry) {
        choose(w.ddsCompression, entry);
        SCOPED_TRACE(note->text().toStdString());
        EXPECT_FALSE(note->text().isEmpty());
        EXPECT_LE(note->heightForWidth(note->width()), note->height());
    }
}

TEST_F(PreferencesTest, EditsOnEveryKindOfControlReachTheRecord) {
    PreferencesWindow& w = open();
    w.filenameMask->setText("  %filename%\r\n_x.%ext%\t ");
    w.text->setText(" line one\nline two ");
    w.imageWidth->setText("0");
    choose(w.fileTimestamp, 2);
    w.customTimestamp->setDateTime(QDateTime(QDate(2030, 6, 1), QTime(12, 30), Qt::UTC));
    choose(w.iconSize, 0);
    click(w.rotation);
    press(kOkButton);
    EXPECT_EQ(conversion.FilenameMask, "%filename%_x.%ext%");
    EXPECT_EQ(conversion.Text, "line oneline two");
    EXPECT_EQ(conversion.ImageWidth, 0);
    EXPECT_EQ(conversion.FileTimestamp, 2);
    EXPECT_EQ(conversion.CustomTimestamp, QDateTime(QDate(2030, 6, 1), QTime(12, 30), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(ui.UISize, 0);
    EXPECT_EQ(conversion.DoImageRotation, 1);
}

TEST_F(PreferencesTest, DigitsFieldsTakeNoSignOrLetters) {
    PreferencesWindow& w = open();
    click(w.resize);
    w.imageWidth->clear();
    QTest::keyClicks(w.imageWidth, "-12a3");
    EXPECT_EQ(w.imageWidth->text(), "123");
}

TEST_F(PreferencesTest, DateTimePickerStopsBeforeThe32BitSecondsWrap) {
    PreferencesWindow& w = open();
    choose(w.fileTimestamp, 2);
    w.customTimestamp->setDateTime(QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC));
    pump();
    press(kOkButton);
    EXPECT_EQ(conversion.CustomTimestamp, std::numeric_limits<std::int32_t>::max() - 7);  // 2038/01/19 03:14
}

// ---- Dependent rows ----

TEST_F(PreferencesTest, SwitchesEnableTheirRows) {
    PreferencesWindow& w = open();
    EXPECT_FALSE(w.customTimestampRow->isEnabled());
    choose(w.fileTimestamp, 2);
    EXPECT_TRUE(w.customTimestampRow->isEnabled());
    choose(w.fileTimestamp, 1);
    EXPECT_FALSE(w.customTimestampRow->isEnabled());

    for (QWidget* row : w.rotationRows) EXPECT_FALSE(row->isEnabled());
    click(w.rotation);
    for (QWidget* row : w.rotationRows) EXPECT_TRUE(row->isEnabled());
    for (QWidget* row : w.resizeRows) EXPECT_FALSE(row->isEnabled());
    click(w.resize);
    for (QWidget* row : w.resizeRows) EXPECT_TRUE(row->isEnabled());
    EXPECT_TRUE(w.flipHorizontal->isEnabled());

    EXPECT_FALSE(w.thresholdRow->isEnabled());
    click(w.threshold);
    EXPECT_TRUE(w.thresholdRow->isEnabled());
    EXPECT_FALSE(w.ditherRow->isEnabled());
    click(w.dither);
    EXPECT_TRUE(w.ditherRow->isEnabled());
    click(w.dither);
    EXPECT_FALSE(w.ditherRow->isEnabled());
}

TEST_F(PreferencesTest, KindListsShowTheirSubAreas) {
    PreferencesWindow& w = open();
    auto shown = [&](QWidget* area) { return area->isVisibleTo(w.frame) || !area->isHidden(); };
    EXPECT_TRUE(w.frameArea->isHidden());
    choose(w.frameType, 1);
    EXPECT_FALSE(w.frameArea->isHidden());
    choose(w.frameType, 0);
    EXPECT_TRUE(w.frameArea->isHidden());

    EXPECT_TRUE(w.textArea->isHidden());
    EXPECT_TRUE(w.imageArea->isHidden());
    choose(w.watermarkType, 1);
    EXPECT_TRUE(shown(w.textArea));
    EXPECT_TRUE(w.imageArea->isHidden());
    w.text->setText("kept");
    choose(w.watermarkType, 2);
    EXPECT_TRUE(w.textArea->isHidden());
    EXPECT_FALSE(w.imageArea->isHidden());
    choose(w.watermarkType, 1);
    EXPECT_EQ(w.text->text(), "kept");

    EXPECT_FALSE(w.ddsArea->isHidden());
    // With the single size "Fixed" the scale rows stay hidden.
    EXPECT_TRUE(w.textScaleRow->isHidden());
    EXPECT_TRUE(w.imageScaleRow->isHidden());
}

// ---- Slider pairs and the gamma pair ----

TEST_F(PreferencesTest, SliderPairsFollowEachOtherAndClamp) {
    PreferencesWindow& w = open();
    SliderPair& brightness = w.pairs[kBrightnessPair];
    brightness.slider->setValue(0);
    pump();
    EXPECT_EQ(brightness.spin->value(), -100);
    typeInto(brightness.spin, "150");
    EXPECT_EQ(brightness.spin->value(), 100);
    EXPECT_EQ(brightness.slider->value(), 200);

    SliderPair& folders = w.pairs[kOutFoldersPair];
    for (const auto& [typed, shown] : {std::pair{"0", 1}, {"99", 50}, {"17", 17}}) {
        typeInto(folders.spin, typed);
        EXPECT_EQ(folders.spin->value(), shown) << typed;
        EXPECT_EQ(folders.slider->value(), shown) << typed;
    }
    w.pairs[kTextOpacityPair].slider->setValue(1);
    pump();
    EXPECT_EQ(w.pairs[kTextOpacityPair].spin->value(), 1);
    press(kOkButton);
    EXPECT_EQ(conversion.ImageBrightness, 100);
    EXPECT_EQ(ui.OutFoldersNumber, 17);
    EXPECT_EQ(conversion.TextOpacity, 1);
}

TEST_F(PreferencesTest, FillClampsOutOfRangeValuesWithoutOverflow) {
    conversion.ImageBrightness = std::numeric_limits<std::int32_t>::max();
    conversion.ImageGamma = 1e30f;
    PreferencesWindow& w = open();
    EXPECT_EQ(w.pairs[kBrightnessPair].spin->value(), 100);
    EXPECT_EQ(w.pairs[kBrightnessPair].slider->value(), 200);
    EXPECT_EQ(w.gamma.slider->value(), 999);
}

TEST_F(PreferencesTest, GammaPairKeepsTwoDecimalsAndClamps) {
    PreferencesWindow& w = open();
    EXPECT_EQ(w.gamma.spin->text(), "1.00");
    w.gamma.slider->setValue(345);
    pump();
    EXPECT_EQ(w.gamma.spin->text(), "3.45");
    struct Case { const char* typed; const char* shown; int slider; } cases[] = {
        {"2.5", "2.50", 250}, {"0", "0.01", 1}, {"12", "9.99", 999}, {"0.5", "0.50", 50}};
    for (const Case& c : cases) {
        typeInto(w.gamma.spin, c.typed);
        QTest::keyClick(w.gamma.spin, Qt::Key_Return);
        pump();
        EXPECT_EQ(w.gamma.spin->text(), c.shown) << c.typed;
        EXPECT_EQ(w.gamma.slider->value(), c.slider) << c.typed;
    }
    typeInto(w.gamma.spin, "2.5");
    press(kOkButton);
    EXPECT_FLOAT_EQ(conversion.ImageGamma, 2.5f);
    EXPECT_EQ(conversion.DoImageColorCorrection, 1);
}

// A hand-edited gamma that is no finite number shows as 1.00; OK stores what
// the dialog shows, and the colour switch follows from the stored values.
TEST_F(PreferencesTest, GammaThatIsNoNumberIsStoredAsShown) {
    for (float stored : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(stored);
        conversion.ImageGamma = stored;
        conversion.DoImageColorCorrection = 1;
        PreferencesWindow& w = open();
        EXPECT_EQ(w.gamma.spin->text(), "1.00");
        EXPECT_EQ(w.gamma.slider->value(), 100);
        press(kOkButton);
        EXPECT_EQ(conversion.ImageGamma, 1.0f);
        EXPECT_EQ(conversion.DoImageColorCorrection, 0);
        EXPECT_NE(readFileBytes(state.configPath).find("Image Gamma = 1.000000\r\n"), std::string::npos);
    }
    conversion.ImageGamma = std::numeric_limits<float>::quiet_NaN();
    PreferencesWindow& w = open();
    w.gamma.slider->setValue(150);
    pump();
    press(kOkButton);
    EXPECT_FLOAT_EQ(conversion.ImageGamma, 1.5f);
    EXPECT_EQ(conversion.DoImageColorCorrection, 1);
}

// Every check box takes a click anywhere in its 240 x 20 area, once, as a
// click on its indicator does.
TEST_F(PreferencesTest, EveryCheckBoxTakesClicksOverItsWholeArea) {
    PreferencesWindow& w = open();
    const QList<QCheckBox*> boxes = w.frame->findChildren<QCheckBox*>();
    ASSERT_GE(boxes.size(), 5);
    int tried = 0;
    for (QCheckBox* box : boxes) {
        SCOPED_TRACE(box->objectName().toStdString() + " at " + std::to_string(box->x()) + "," + std::to_string(box->y()));
        EXPECT_EQ(box->size(), QSize(240, 20));
        if (!box->isEnabled()) continue;
        ++tried;
        const bool before = box->isChecked();
        for (const QPoint at : {QPoint(200, 10), QPoint(120, 18), QPoint(5, 10)}) {
            const bool was = box->isChecked();
            QTest::mouseClick(box, Qt::LeftButton, {}, at);
            pump();
            EXPECT_NE(box->isChecked(), was) << at.x() << "," << at.y();
        }
        if (box->isChecked() != before) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(200, 10));
        pump();
    }
    EXPECT_GE(tried, 5);
    press(kCancelButton);
}

TEST_F(PreferencesTest, ColourCorrectionFollowsTheFourAdjustments) {
    conversion.DoImageColorCorrection = 1;
    open();
    press(kOkButton);
    EXPECT_EQ(conversion.DoImageColorCorrection, 0);
    PreferencesWindow& w = open();
    click(w.invert);
    press(kOkButton);
    EXPECT_EQ(conversion.DoImageColorCorrection, 1);
}

// ---- Choosers ----

TEST_F(PreferencesTest, ColourFieldTakesANewColourOnly) {
    PreferencesWindow& w = open();
    ColorField& field = w.colorFields[kFrameTopColor];
    script.colors = {std::string("00ff80"), std::nullopt};
    field.button->click();
    pump();
    EXPECT_EQ(script.colorPresets.back(), "000000");
    EXPECT_EQ(field.edit->text(), "00FF80");
    field.button->click();  // cancelled
    pump();
    EXPECT_EQ(field.edit->text(), "00FF80");
    press(kOkButton);
    EXPECT_EQ(conversion.SolidTopColor, "00FF80");
}

TEST_F(PreferencesTest, ColourListOffersAChosenColourAtOnceEvenAfterCancel) {
    const std::string offered = conversion.FontColors;
    PreferencesWindow& w = open();
    const int entries = w.fontColor->count();
    script.colors = {std::string("FF8000")};  // already offered: selected, list unchanged
    press(kFontColorChooser);
    EXPECT_EQ(w.fontColor->currentText(), "Orange");
    EXPECT_EQ(w.fontColor->count(), entries);
    EXPECT_EQ(conversion.FontColors, offered);
    script.colors = {std::string("12ab34")};
    press(kFontColorChooser);
    EXPECT_EQ(script.colorPresets.back(), "FF8000");
    EXPECT_EQ(w.fontColor->currentText(), "Color #12AB34");
    EXPECT_EQ(conversion.FontColors, offered + ",12AB34");
    press(kCancelButton);
    EXPECT_EQ(conversion.FontColors, offered + ",12AB34");
    EXPECT_EQ(conversion.FontColor, "FFFFFF");
}

TEST_F(PreferencesTest, EmptyColourListGrowsWithoutALeadingComma) {
    conversion.BackColors = "";
    conversion.BackColor = "123456";
    PreferencesWindow& w = open();
    EXPECT_EQ(w.backColor->count(), 0);
    script.colors = {std::string("FF0000")};
    press(kBackColorChooser);
    EXPECT_EQ(conversion.BackColors, "FF0000");
    EXPECT_EQ(w.backColor->currentText(), "Red");
    press(kOkButton);
    EXPECT_EQ(conversion.BackColor, "FF0000");
}

TEST_F(PreferencesTest, FontChooserAddsFacesSetsSizeAndStyle) {
    conversion.FontSize = 2000000;
    PreferencesWindow& w = open();
    FontChoice boldItalic{"My, Face", 18, true, true, false, false};
    FontChoice boldUnderline{"Arial", 12, true, false, true, false};
    FontChoice pixelSized{"Tahoma", 0, false, false, false, false};
    script.fonts = {boldItalic, boldUnderline, pixelSized, std::nullopt};
    press(kFontChooser);
    EXPECT_EQ(script.fontPresets[0].face, "Liberation Sans") << "the family the alias stands for";
    EXPECT_EQ(script.fontPresets[0].size, 999) << "a huge size is clamped before the chooser";
    EXPECT_EQ(w.font->currentText(), "My Face");
    EXPECT_EQ(conversion.Fonts, "Arial,Tahoma,Verdana,My Face");
    EXPECT_EQ(w.fontSize->text(), "18");
    EXPECT_EQ(w.fontStyle->currentText(), "Bold Italic");
    press(kFontChooser);
    EXPECT_EQ(w.font->currentText(), "Arial");
    EXPECT_EQ(w.fontSize->text(), "12");
    EXPECT_EQ(w.fontStyle->currentText(), "Bold Italic") << "underline fits no style entry";
    EXPECT_EQ(w.fontEffect->currentText(), "None");
    press(kFontChooser);
    EXPECT_EQ(w.font->currentText(), "Tahoma");
    EXPECT_EQ(w.fontSize->text(), "12") << "a font without point size keeps the field";
    EXPECT_EQ(w.fontStyle->currentText(), "Regular");
    press(kFontChooser);  // cancelled
    EXPECT_EQ(w.font->currentText(), "Tahoma");
    press(kOkButton);
    EXPECT_EQ(conversion.Font, "Tahoma");
    EXPECT_EQ(conversion.FontSize, 12);
    EXPECT_EQ(conversion.FontStyle, 0);
    EXPECT_EQ(conversion.Fonts, "Arial,Tahoma,Verdana,My Face");
}

// OK in the font chooser without touching anything leaves the settings as
// they were, whatever name the chooser gives the face.
TEST_F(PreferencesTest, FontChooserUnchangedChangesNothing) {
    struct Case {
        const char* name;
        std::string font;
        std::int32_t size;
        uint8 style;
        std::string presetFace;
    };
    const std::vector<Case> cases{
        {"an alias", "Arial", 14, 0, "Liberation Sans"},
        {"an installed family, bold italic", "DejaVu Sans", 20, 3, "DejaVu Sans"},
        {"a size below the chooser's range", "Arial", 0, 1, "Liberation Sans"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        conversion.Font = c.font;
        conversion.Fonts = "Arial,DejaVu Sans";
        conversion.FontSize = c.size;
        conversion.FontStyle = c.style;
        open();
        script.fontPresets.clear();
        script.fonts = {std::nullopt};
        choosers().chooseFont = [](QWidget*, const FontChoice& preset) {
            script.fontPresets.push_back(preset);
            return std::optional<FontChoice>(preset);
        };
        press(kFontChooser);
        ASSERT_EQ(script.fontPresets.size(), 1u);
        EXPECT_EQ(script.fontPresets[0].face, c.presetFace);
        press(kOkButton);
        EXPECT_EQ(conversion.Font, c.font);
        EXPECT_EQ(conversion.Fonts, "Arial,DejaVu Sans");
        EXPECT_EQ(conversion.FontSize, c.size);
        EXPECT_EQ(conversion.FontStyle, c.style);
        choosers() = scriptedChoosers();
    }
}

// The real chooser opens on the preset's family and upright style, also for
// a family whose upright style has a name of its own ("Book").
TEST_F(PreferencesTest, TheFontChooserOpensOnThePresetFamilyAndStyle) {
    const std::vector<std::string> families{"Liberation Sans", "DejaVu Sans"};
    for (const std::string& family : families) {
        SCOPED_TRACE(family);
        QFont shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            shown = dialog->currentFont();
            dialog->accept();
        });
        const std::optional<FontChoice> chosen = qtChoosers().chooseFont(nullptr, {family, 14, false, false, false, false});
        ASSERT_TRUE(chosen);
        EXPECT_EQ(shown.family().toStdString(), family);
        EXPECT_FALSE(shown.italic());
        EXPECT_EQ(chosen->face, family);
        EXPECT_FALSE(chosen->italic);
        EXPECT_FALSE(chosen->bold);
        EXPECT_EQ(chosen->size, 14);
    }
}

TEST_F(PreferencesTest, EmptyFontsTakeTheFontOnOpening) {
    conversion.Fonts = "";
    conversion.Font = "Courier";
    PreferencesWindow& w = open();
    EXPECT_EQ(conversion.Fonts, "Courier");
    EXPECT_EQ(w.font->count(), 1);
    EXPECT_EQ(w.font->currentText(), "Courier");
}

TEST_F(PreferencesTest, PictureChooserReplacesTheImageField) {
    conversion.Image = "  /pictures/old.png ";
    PreferencesWindow& w = open();
    script.files = {std::string("/pictures/new mark.png"), std::nullopt};
    press(kImageChooser);
    EXPECT_EQ(script.fileTitles[0], "Select Watermark Image");
    EXPECT_EQ(script.fileStarts[0], "/pictures/old.png");
    EXPECT_EQ(script.fileFilters[0].rfind("All Supported Files (*.png *.PNG", 0), 0u) << script.fileFilters[0];
    EXPECT_NE(script.fileFilters[0].find(";;JPEG File (*.jpg *.JPG"), std::string::npos);
    EXPECT_TRUE(script.fileFilters[0].ends_with(";;All Files (*)"));
    EXPECT_EQ(w.image->text(), "/pictures/new mark.png");
    press(kImageChooser);
    EXPECT_EQ(w.image->text(), "/pictures/new mark.png");
    press(kOkButton);
    EXPECT_EQ(conversion.Image, "/pictures/new mark.png");
}

// ---- Opening, pages, closing ----

TEST_F(PreferencesTest, OptionsOpensOnOutputAndTheNextPreferencesOnGeneral) {
    postCommand(kMainWindow, kCommandOutputFormatOptions);
    pump();
    ASSERT_TRUE(state.preferences);
    EXPECT_EQ(shownPage(), kOutputPage);
    EXPECT_EQ(state.preferences->caption->text(), "Output");
    EXPECT_EQ(state.preferences->categories->currentItem()->text(0), "Output");
    press(kCancelButton);
    postCommand(kMainWindow, kCommandPreferences);
    pump();
    ASSERT_TRUE(state.preferences);
    EXPECT_EQ(shownPage(), kGeneralPage);
    EXPECT_EQ(state.preferences->caption->text(), "General");
}

TEST_F(PreferencesTest, CategoryListShowsOnePageAndItsCaption) {
    PreferencesWindow& w = open();
    EXPECT_EQ(w.frame->windowTitle(), "Preferences...");
    EXPECT_EQ(w.frame->size(), QSize(600, 350));
    EXPECT_TRUE(w.caption->font().bold());
    const char* captions[] = {"General", "Interface", "Input", "Output", "Transform", "Adjustment", "Frame",
                              "Watermark", "Advanced"};
    for (int page = kPageCount - 1; page >= 0; --page) {
        w.categories->setCurrentItem(w.categories->topLevelItem(page));
        pump();
        EXPECT_EQ(shownPage(), page);
        EXPECT_EQ(w.caption->text(), captions[page]);
        int visible = 0;
        for (QWidget* other : w.pages) visible += other->isHidden() ? 0 : 1;
        EXPECT_EQ(visible, 1);
    }
}

TEST_F(PreferencesTest, MainWindowTakesNoInputWhileOpenAndGetsItBack) {
    PreferencesWindow& w = open();
    EXPECT_EQ(w.frame->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(state.main.client->isEnabled());
    EXPECT_FALSE(state.main.menuBar->isEnabled());
    EXPECT_TRUE(w.frame->isEnabled());
    EXPECT_EQ(state.openDialog, kPreferencesWindow);
    postCommand(kMainWindow, kCommandExit);  // ignored while the dialog is open
    pump();
    EXPECT_FALSE(state.quitRequested);
    press(kCancelButton);
    EXPECT_TRUE(state.main.client->isEnabled());
    EXPECT_TRUE(state.main.menuBar->isEnabled());
    EXPECT_EQ(state.openDialog, kNoDialog);
}

TEST_F(PreferencesTest, CancelEscapeAndCloseLeaveRecordAndFileAsTheyWere) {
    conversion.FilenameMask = "%filename%-before.%ext%";
    ASSERT_TRUE(SaveConfiguration(state.configPath, conversion, ui));
    const std::string fileBefore = readFileBytes(state.configPath);
    const std::string recordBefore = configurationText(conversion, ui);
    const std::vector<std::pair<const char*, std::function<void(PreferencesWindow&)>>> ways{
        {"Cancel", [&](PreferencesWindow&) { press(kCancelButton); }},
        {"Escape",
         [&](PreferencesWindow& w) {
             w.frame->activateWindow();
             QTest::keyClick(w.filenameMask, Qt::Key_Escape);
             pump();
         }},
        {"close box",
         [&](PreferencesWindow& w) {
             w.frame->close();
             pump();
         }},
    };
    for (const auto& [name, closeIt] : ways) {
        SCOPED_TRACE(name);
        PreferencesWindow& w = open();
        w.filenameMask->setText("changed");
        choose(w.iconSize, 0);
        click(w.rotation);
        closeIt(w);
        EXPECT_FALSE(state.preferences);
        EXPECT_EQ(configurationText(conversion, ui), recordBefore);
        EXPECT_EQ(readFileBytes(state.configPath), fileBefore);
    }
}

TEST_F(PreferencesTest, DefaultsAnsweredNoChangesNothing) {
    manyNonDefaults(conversion, ui);
    ASSERT_TRUE(SaveConfiguration(state.configPath, conversion, ui));
    const std::string fileBefore = readFileBytes(state.configPath);
    const std::string recordBefore = configurationText(conversion, ui);
    open();
    script.answers = {MessageAnswer::No};
    press(kDefaultsButton);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0],
              "Reset to Defaults|Are you sure you want to reset all your settings to the default values?");
    EXPECT_TRUE(state.preferences) << "the dialog stays open";
    EXPECT_EQ(configurationText(conversion, ui), recordBefore);
    EXPECT_EQ(readFileBytes(state.configPath), fileBefore);
}

TEST_F(PreferencesTest, DefaultsAnsweredYesResetsSavesAndCloses) {
    manyNonDefaults(conversion, ui);
    PreferencesWindow& w = open();
    w.filenameMask->setText("edited and dropped");
    script.answers = {MessageAnswer::Yes};
    press(kDefaultsButton);
    EXPECT_FALSE(state.preferences);
    EXPECT_EQ(conversion.FilenameMask, "%filename%.%ext%");
    EXPECT_EQ(conversion.DoFrame, 0);
    EXPECT_EQ(ui.UISize, 2);
    EXPECT_EQ(readFileBytes(state.configPath), configurationText(conversion, ui));
    EXPECT_TRUE(state.main.client->isEnabled());
}

TEST_F(PreferencesTest, EnterNeverPressesDefaults) {
    PreferencesWindow& w = open();
    for (QPushButton* button : {w.defaultsButton, w.okButton, w.cancelButton}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    w.defaultsButton->setFocus();
    QTest::keyClick(w.defaultsButton, Qt::Key_Return);
    QTest::keyClick(w.filenameMask, Qt::Key_Enter);
    pump();
    EXPECT_TRUE(script.messages.empty());
    EXPECT_TRUE(state.preferences);
}

// ---- Themes and the interface refresh ----

struct ThemedPreferencesTest : PreferencesTest {
    void SetUp() override {
        PreferencesTest::SetUp();
        destroyMainWindow(state.main);
        state.programFolder = buildFolder();
        listThemes(state.programFolder, state.themes);
        ASSERT_EQ(state.themes.entries.size(), 2u) << "the build draws two theme archives";
        ui.UITheme = "handdrawn";
        ui.UISize = 0;
        loadBuiltinImages(state.images, ui);
        applyTheme(state.programFolder, ui, state.themes, state.images, true, true, true);
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        state.programFolder = buildFolder();  // the new session took the test binary's folder
        QApplication::processEvents();
    }
    int themeIndex(PreferencesWindow& w, const char* key) { return w.theme->findData(QString(key)); }
};

// A toolbar of large icons makes the window wider and taller instead of
// hiding buttons and cutting the fields; the small sizes keep 510 x 260.
TEST_F(ThemedPreferencesTest, EveryIconSizeShowsEveryControlInBothThemes) {
    for (const char* theme : {"handdrawn", "slate"}) {
        for (int size = 0; size <= 4; ++size) {
            SCOPED_TRACE(std::string(theme) + " size " + std::to_string(size));
            PreferencesWindow& w = open();
            choose(w.theme, themeIndex(w, theme));
            choose(w.iconSize, size);
            press(kOkButton);
            QApplication::processEvents();
            ASSERT_EQ(ui.UISize, size);
            expectEveryMainControlWhole(state.main);
            if (size <= 2) {
                EXPECT_EQ(state.main.client->height(), 260);
            }
            EXPECT_GE(state.main.client->width(), 510);
        }
    }
}

TEST_F(ThemedPreferencesTest, IconSizeAloneRebuildsOnlyTheToolbar) {
    QPointer<QToolBar> toolbar = state.main.toolbar;
    QPointer<QAction> firstMenu = state.main.menuBar->actions().first();
    QPointer<QToolButton> fieldButton = state.main.fieldButtons[0];
    PreferencesWindow& w = open();
    choose(w.iconSize, 3);
    press(kOkButton);
    EXPECT_EQ(ui.UISize, 3);
    EXPECT_TRUE(toolbar.isNull());
    EXPECT_EQ(state.main.toolbar->iconSize(), QSize(48, 48));
    EXPECT_EQ(state.main.toolbar->actions().first()->icon().availableSizes().value(0), QSize(48, 48));
    EXPECT_EQ(state.main.menuBar->actions().first(), firstMenu);
    EXPECT_EQ(state.main.fieldButtons[0], fieldButton);
}

TEST_F(ThemedPreferencesTest, ThemeChangeRebuildsMenusToolbarFieldButtonsAndPictures) {
    QPointer<QToolBar> toolbar = state.main.toolbar;
    QPointer<QAction> firstMenu = state.main.menuBar->actions().first();
    QPointer<QToolButton> fieldButton = state.main.fieldButtons[0];
    const QImage convertBefore = state.main.convertButton->icon().pixmap(64, 64).toImage();
    const int formatBefore = state.main.formatList->currentIndex();
    PreferencesWindow& w = open();
    choose(w.theme, themeIndex(w, "slate"));
    press(kOkButton);
    EXPECT_EQ(ui.UITheme, "slate");
    EXPECT_TRUE(toolbar.isNull());
    EXPECT_TRUE(firstMenu.isNull());
    EXPECT_TRUE(fieldButton.isNull());
    EXPECT_NE(state.main.fieldButtons[0], nullptr);
    EXPECT_NE(state.main.convertButton->icon().pixmap(64, 64).toImage(), convertBefore);
    EXPECT_EQ(state.main.formatList->currentIndex(), formatBefore);
}

TEST_F(ThemedPreferencesTest, DefaultsCompareTheRecordBeforeTheReset) {
    // The lists show the default size and theme, the record does not: the
    // reset still changes what the main window shows and must rebuild it.
    ui.UITheme = "slate";
    QPointer<QToolBar> toolbar = state.main.toolbar;
    QPointer<QAction> firstMenu = state.main.menuBar->actions().first();
    PreferencesWindow& w = open();
    choose(w.iconSize, 2);
    choose(w.theme, themeIndex(w, "handdrawn"));
    script.answers = {MessageAnswer::Yes};
    press(kDefaultsButton);
    EXPECT_EQ(ui.UITheme, "handdrawn");
    EXPECT_TRUE(toolbar.isNull());
    EXPECT_EQ(state.main.toolbar->iconSize(), QSize(32, 32));
    EXPECT_TRUE(firstMenu.isNull());
}

TEST_F(ThemedPreferencesTest, ThemeEntriesCarryTheirKeysAndNamelessThemesShowTheKey) {
    state.themes.entries = {{"alpha", "Alpha Theme"}, {"beta", ""}, {"gamma", "Gamma Theme"}};
    state.themes.current = -1;
    ui.UITheme = "gamma";
    PreferencesWindow& w = open();
    ASSERT_EQ(w.theme->count(), 3);
    EXPECT_EQ(w.theme->itemText(1), "beta");
    EXPECT_EQ(w.theme->currentText(), "Gamma Theme");
    choose(w.theme, 1);
    press(kOkButton);
    EXPECT_EQ(ui.UITheme, "beta");
}

TEST_F(PreferencesTest, NoThemeInstalledShowsNoneAndKeepsTheSetting) {
    state.themes = ThemeList{};
    ui.UITheme = "handdrawn";
    PreferencesWindow& w = open();
    ASSERT_EQ(w.theme->count(), 1);
    EXPECT_EQ(w.theme->currentText(), "None");
    press(kOkButton);
    EXPECT_EQ(ui.UITheme, "handdrawn");
}

TEST_F(ThemedPreferencesTest, UnknownThemeSelectsTheFirstAndOkStoresIt) {
    ui.UITheme = "gone";
    PreferencesWindow& w = open();
    EXPECT_EQ(w.theme->currentIndex(), 0);
    press(kOkButton);
    EXPECT_EQ(ui.UITheme, "handdrawn");
}

}  // namespace
