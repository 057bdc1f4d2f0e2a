// The texture viewer in-process: levels, zoom keys, the alpha switch, the
// swap to the PNG with its PSNR, the status line, Escape, refused files,
// and the View Texture command with and without a conversion behind it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/main_window.h"
#include "engine/dds_file.h"
#include "engine/mip_chain.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "viewer/texture_viewer.h"
#include "window/open_requests.h"
#include "window/viewer_windows.h"
#include "window_test_support.h"

namespace {

struct Box {
    std::string title;
    std::string text;
    MessageIcon icon;
};
std::vector<Box> boxes;
MessageAnswer recordBox(QWidget*, const std::string& title, const std::string& text, MessageIcon icon, MessageButtons) {
    boxes.push_back({title, text, icon});
    return MessageAnswer::Ok;
}

struct ChooserCall {
    std::string title;
    std::string filter;
};
std::vector<ChooserCall> chooserCalls;
std::vector<std::optional<std::string>> chooserAnswers;
std::optional<std::string> scriptedOpenFile(QWidget*, const std::string& title, const std::string& filter,
                                            const std::string&) {
    chooserCalls.push_back({title, filter});
    return takeFirstAnswer(chooserAnswers, std::optional<std::string>());
}

// The test picture: a colour gradient whose left quarter is transparent
// (its hidden colour pure red), so alpha and the checkerboard show.
RgbaPixel testPixel(int x, int y, int width) {
    if (x < width / 4) return {255, 0, 0, 0};
    return {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 6), 200, 255};
}

struct ViewerTest : ::testing::Test, WindowRecords {
    std::string dir;

    void SetUp() override {
        prepareRecords();
        state.scheduledUpdateCheck = nullptr;
        boxes.clear();
        chooserCalls.clear();
        chooserAnswers.clear();
        choosers().messageBox = recordBox;
        choosers().openFile = scriptedOpenFile;
        char name[] = "/tmp/tovrel-viewer-XXXXXX";
        ASSERT_TRUE(mkdtemp(name));
        dir = std::string(name) + "/";
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
    }
    void TearDown() override {
        closeViewers(state);
        destroyMainWindow(state.main);
        clearEvents();
        choosers() = qtChoosers();
        std::filesystem::remove_all(dir);
    }

    // A PNG of the test picture, and its texture written by the engine's
    // own encoder from the same pixels.
    std::string writePicture(const std::string& name, int width, int height) {
        const std::string path = dir + name;
        EXPECT_TRUE(writeRgbaPng(path, width, height, [width](int x, int y) { return testPixel(x, y, width); }));
        return path;
    }
    std::string writeTexture(const std::string& name, int width, int height, DdsFormat format) {
        std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const RgbaPixel p = testPixel(x, y, width);
                std::uint8_t* out = &bgra[(static_cast<std::size_t>(y) * width + x) * 4];
                out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3];
            }
        const PixelLevel top{bgra.data(), width * 4, static_cast<std::uint32_t>(width),
                             static_cast<std::uint32_t>(height)};
        const DdsFileBytes file = encodeDdsFile(top, format);
        const std::string path = dir + name;
        writeFileBytes(path, std::string(reinterpret_cast<const char*>(file.bytes.get()), file.size));
        return path;
    }

    TextureViewer& open(const std::string& path, const std::string& png = {}) {
        openViewerWindow(state, path, png);
        EXPECT_FALSE(state.viewers.empty());
        TextureViewer& viewer = *state.viewers.back();
        QApplication::processEvents();
        return viewer;
    }

    // Keys go to the viewer's window, and its events through the loop's
    // dispatch, as in the running program.
    void press(TextureViewer& viewer, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        viewer.frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.frame.get()));
        QTest::keyClick(viewer.frame->windowHandle(), key, modifiers);
        dispatchPending();
    }
    void dispatchPending() {
        QApplication::processEvents();
        while (hasPendingEvent()) dispatchEvent(state, waitForNextEvent());
        QApplication::processEvents();
    }

    // The colour the canvas shows at a point of the picture at scale 1.
    QRgb shownAt(TextureViewer& viewer, int x, int y) {
        return viewer.canvas->grab().toImage().pixel(x, y);
    }
};

TEST_F(ViewerTest, TheLevelChooserListsEveryLevelWithItsSizeAndTheStatusLineTheFile) {
    const std::string path = writeTexture("levels.dds", 64, 32, DdsFormat::Dxt1);
    TextureViewer& viewer = open(path);
    std::vector<std::string> entries;
    for (int i = 0; i < viewer.levelChoice->count(); ++i) entries.push_back(viewer.levelChoice->itemText(i).toStdString());
    EXPECT_EQ(entries, (std::vector<std::string>{"0: 64 x 32", "1: 32 x 16", "2: 16 x 8", "3: 8 x 4", "4: 4 x 2",
                                                 "5: 2 x 1", "6: 1 x 1"}));
    EXPECT_EQ(viewer.statusText->text().toStdString(),
              "DXT1   64 x 32   7 levels   " + std::to_string(std::filesystem::file_size(path)) + " bytes");
    EXPECT_EQ(viewer.frame->windowTitle().toStdString(), "levels.dds - Texture Viewer");
    EXPECT_TRUE(viewer.frame->isVisible());

    viewer.levelChoice->setCurrentIndex(2);
    postInstanceControl(kViewerWindow, viewer.instance, kViewerLevelChoice, ControlEvent::Change);
    dispatchPending();
    EXPECT_EQ(viewer.level, 2u);
    EXPECT_EQ(viewer.decoded.width, 16u);
    EXPECT_EQ(viewer.shown.size(), QSize(16, 8));
    // The view shares the decoded buffer instead of copying it.
    EXPECT_EQ(viewer.shown.constBits(), viewer.decoded.rgba.data());
}

TEST_F(ViewerTest, ZoomKeysAndTheWheelStepThroughFitAndTheFactors) {
    TextureViewer& viewer = open(writeTexture("zoom.dds", 64, 32, DdsFormat::Bc7));
    struct Step {
        Qt::Key key;
        Zoom zoom;
        QSize canvas;  // {} for the fit size
    };
    const std::vector<Step> steps{
        {Qt::Key_2, Zoom::Double, {128, 64}},    {Qt::Key_4, Zoom::Quadruple, {256, 128}},
        {Qt::Key_Minus, Zoom::Double, {128, 64}}, {Qt::Key_1, Zoom::Actual, {64, 32}},
        {Qt::Key_Plus, Zoom::Double, {128, 64}},  {Qt::Key_0, Zoom::Fit, {}},
        {Qt::Key_4, Zoom::Quadruple, {256, 128}}, {Qt::Key_F, Zoom::Fit, {}},
        {Qt::Key_Minus, Zoom::Fit, {}},           {Qt::Key_Equal, Zoom::Actual, {64, 32}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        press(viewer, step.key);
        EXPECT_EQ(viewer.zoom, step.zoom);
        EXPECT_EQ(viewer.zoomChoice->currentIndex(), static_cast<int>(step.zoom));
        if (step.canvas.isValid()) {
            EXPECT_EQ(viewer.canvas->size(), step.canvas);
        } else {
            // Fit: the whole picture in the view, touching two of its sides.
            const QSize area = viewer.scroll->viewport()->size();
            EXPECT_LE(viewer.canvas->width(), area.width());
            EXPECT_LE(viewer.canvas->height(), area.height());
            EXPECT_TRUE(viewer.canvas->width() >= area.width() - 1 || viewer.canvas->height() >= area.height() - 1);
        }
    }
    // The wheel: up zooms in, down out, and never scrolls.
    QWidget* viewport = viewer.scroll->viewport();
    for (auto [delta, zoom] : {std::pair{120, Zoom::Double}, {120, Zoom::Quadruple}, {-120, Zoom::Double}}) {
        QWheelEvent wheel(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        dispatchPending();
        EXPECT_EQ(viewer.zoom, zoom);
    }
}

TEST_F(ViewerTest, EnlargedPixelsStaySharp) {
    TextureViewer& viewer = open(writeTexture("sharp.dds", 64, 32, DdsFormat::Bc7));
    press(viewer, Qt::Key_4);
    const QImage canvas = viewer.canvas->grab().toImage();
    // Every 4 x 4 square of the canvas is one texel: no blend between them.
    for (int texel = 16; texel < 64; texel += 7) {
        const QRgb first = canvas.pixel(texel * 4, 40);
        for (int dx = 1; dx < 4; ++dx) EXPECT_EQ(canvas.pixel(texel * 4 + dx, 40), first) << texel;
    }
    EXPECT_NE(canvas.pixel(16 * 4, 40), canvas.pixel(63 * 4, 40));
}

TEST_F(ViewerTest, TheAlphaKeyShowsTheCheckerboardOrTheHiddenColour) {
    TextureViewer& viewer = open(writeTexture("alpha.dds", 64, 32, DdsFormat::Bc7));
    press(viewer, Qt::Key_1);
    ASSERT_TRUE(viewer.showAlpha);
    EXPECT_TRUE(viewer.alphaSwitch->isChecked());
    // The transparent quarter shows the board's two greys.
    EXPECT_EQ(shownAt(viewer, 1, 1), qRgb(153, 153, 153));
    EXPECT_EQ(shownAt(viewer, 9, 1), qRgb(204, 204, 204));
    press(viewer, Qt::Key_A);
    EXPECT_FALSE(viewer.showAlpha);
    EXPECT_FALSE(viewer.alphaSwitch->isChecked());
    const QRgb hidden = shownAt(viewer, 1, 1);
    EXPECT_GT(qRed(hidden), 200);
    EXPECT_LT(qGreen(hidden), 40);
    // The opaque part looks the same either way.
    const QRgb opaqueOff = shownAt(viewer, 40, 20);
    press(viewer, Qt::Key_A);
    EXPECT_TRUE(viewer.showAlpha);
    EXPECT_EQ(shownAt(viewer, 40, 20), opaqueOff);
    // The switch does the same as the key.
    viewer.alphaSwitch->click();
    dispatchPending();
    EXPECT_FALSE(viewer.showAlpha);
}

TEST_F(ViewerTest, ShrunkViewsAverageAndKeepTheAlphaMode) {
    TextureViewer& viewer = open(writeTexture("big.dds", 2048, 1024, DdsFormat::Dxt1));
    ASSERT_EQ(viewer.zoom, Zoom::Fit);
    ASSERT_LT(viewScale(viewer), 1.0);
    EXPECT_EQ(viewer.shrunk.size(), viewer.canvas->size());
    press(viewer, Qt::Key_A);
    EXPECT_EQ(viewer.shrunk.size(), viewer.canvas->size());
    EXPECT_EQ(qAlpha(viewer.shrunk.pixel(0, 0)), 255);
    press(viewer, Qt::Key_1);
    EXPECT_TRUE(viewer.shrunk.isNull());
}

TEST_F(ViewerTest, AFitBelowActualSizeHoldsOnlyTheLevelItNeeds) {
    TextureViewer& viewer = open(writeTexture("fit.dds", 2048, 1024, DdsFormat::Dxt1));
    ASSERT_LT(viewScale(viewer), 0.5);
    // The chosen level stays the top one; a smaller one, still at least
    // the view's size, is what the view is shrunk from.
    EXPECT_EQ(viewer.level, 0u);
    EXPECT_EQ(viewer.levelChoice->currentIndex(), 0);
    EXPECT_GT(viewer.decodedLevel, 0u);
    EXPECT_LT(viewer.decoded.width, 2048u);
    EXPECT_GE(static_cast<int>(viewer.decoded.width), viewer.canvas->width());
    EXPECT_GE(static_cast<int>(viewer.decoded.height), viewer.canvas->height());
    EXPECT_LT(viewer.decoded.width / 2, static_cast<std::uint32_t>(viewer.canvas->width()));
    press(viewer, Qt::Key_1);
    EXPECT_EQ(viewer.decodedLevel, 0u);
    EXPECT_EQ(viewer.canvas->size(), QSize(2048, 1024));
    EXPECT_EQ(viewer.shown.constBits(), viewer.decoded.rgba.data());
    press(viewer, Qt::Key_0);
    EXPECT_GT(viewer.decodedLevel, 0u);
}

TEST_F(ViewerTest, TheSourcePngSwapsInPlaceAndGivesThePsnrOfEachLevel) {
    const std::string png = writePicture("swap.png", 64, 32);
    TextureViewer& viewer = open(writeTexture("swap.dds", 64, 32, DdsFormat::Bc7), png);
    ASSERT_TRUE(viewer.source);
    ASSERT_TRUE(viewer.psnr);
    EXPECT_GT(*viewer.psnr, 35.0);
    const std::string text = viewer.comparison->text().toStdString();
    EXPECT_EQ(text.rfind("PSNR against the PNG: ", 0), 0u) << text;
    EXPECT_NE(text.find(" dB"), std::string::npos);
    EXPECT_TRUE(viewer.sourceSwitch->isVisible());
    EXPECT_TRUE(viewer.sourceSwitch->isEnabled());

    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_S}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        press(viewer, key);
        EXPECT_TRUE(viewer.showSource);
        EXPECT_TRUE(viewer.sourceSwitch->isChecked());
        EXPECT_EQ(viewer.shown.format(), QImage::Format_ARGB32);
        EXPECT_EQ(viewer.shown.size(), QSize(64, 32));
        // The PNG's own pixel: exactly the test picture.
        EXPECT_EQ(viewer.shown.pixel(40, 10), qRgba(160, 60, 200, 255));
        press(viewer, key);
        EXPECT_FALSE(viewer.showSource);
        EXPECT_EQ(viewer.shown.format(), QImage::Format_RGBA8888);
    }

    // A smaller level compares with the PNG's box-filtered level of its size.
    press(viewer, Qt::Key_S);
    viewer.levelChoice->setCurrentIndex(1);
    postInstanceControl(kViewerWindow, viewer.instance, kViewerLevelChoice, ControlEvent::Change);
    dispatchPending();
    EXPECT_TRUE(viewer.showSource);
    EXPECT_EQ(viewer.shown.size(), QSize(32, 16));
    ASSERT_TRUE(viewer.psnr);
    EXPECT_GT(*viewer.psnr, 30.0);
}

TEST_F(ViewerTest, APngOfAnotherSizeOrGoneGivesNoSwapAndSaysWhy) {
    const std::string other = writePicture("other.png", 32, 32);
    TextureViewer& resized = open(writeTexture("resized.dds", 64, 32, DdsFormat::Dxt1), other);
    EXPECT_EQ(resized.comparison->text().toStdString(), "No PSNR: the PNG's size differs");
    EXPECT_FALSE(resized.sourceSwitch->isEnabled());
    press(resized, Qt::Key_S);
    EXPECT_FALSE(resized.showSource);

    // Not there any more: as if it were not known.
    TextureViewer& gone = open(writeTexture("gone.dds", 64, 32, DdsFormat::Dxt1), dir + "gone.png");
    EXPECT_TRUE(gone.comparison->text().isEmpty());
    EXPECT_FALSE(gone.sourceSwitch->isVisible());

    // There, but no PNG.
    writeFileBytes(dir + "broken.png", "not a picture");
    TextureViewer& broken = open(writeTexture("broken.dds", 64, 32, DdsFormat::Dxt1), dir + "broken.png");
    EXPECT_EQ(broken.comparison->text().toStdString(), "The PNG broken.png cannot be read");
    EXPECT_FALSE(broken.sourceSwitch->isEnabled());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ViewerTest, EscapeAndTheCloseBoxCloseOnlyTheirViewer) {
    const std::string path = writeTexture("two.dds", 16, 16, DdsFormat::Dxt1);
    TextureViewer& first = open(path);
    const int firstInstance = first.instance;
    TextureViewer& second = open(path);
    ASSERT_EQ(state.viewers.size(), 2u);
    press(second, Qt::Key_Escape);
    ASSERT_EQ(state.viewers.size(), 1u);
    EXPECT_EQ(state.viewers.front()->instance, firstInstance);
    EXPECT_FALSE(state.viewers.front()->frame->close());  // the loop decides
    dispatchPending();
    EXPECT_TRUE(state.viewers.empty());
    EXPECT_TRUE(state.main.frame->isVisible());
    EXPECT_FALSE(state.quitRequested);
}

TEST_F(ViewerTest, AHostileOrUnreadableFileIsRefusedInOneLine) {
    const std::string good = writeTexture("good.dds", 16, 16, DdsFormat::Dxt1);
    const std::string bytes = readFileBytes(good);
    std::string lying = bytes;
    lying[12] = '\xff', lying[13] = '\xff', lying[14] = '\xff', lying[15] = '\x7f';  // height 2^31 - 1
    struct Case {
        const char* name;
        std::string contents;  // "" with `folder`: a folder of that name
        bool folder = false;
    };
    const std::vector<Case> cases{
        {"garbage.dds", "this is not a texture at all, only words"},
        {"empty.dds", ""},
        {"header-only.dds", bytes.substr(0, 60)},
        {"lying.dds", lying},
        {"folder.dds", "", true},
        {"missing.dds", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        const std::string path = dir + c.name;
        if (c.folder)
            std::filesystem::create_directory(path);
        else if (std::string(c.name) != "missing.dds")
            writeFileBytes(path, c.contents);
        openViewerWindow(state, path, {});
        EXPECT_TRUE(state.viewers.empty());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
        EXPECT_EQ(boxes[0].title, "Texture Viewer");
        EXPECT_EQ(boxes[0].text.rfind("Cannot show " + path + ": ", 0), 0u) << boxes[0].text;
        EXPECT_GT(boxes[0].text.size(), ("Cannot show " + path + ": ").size() + 3) << boxes[0].text;
        EXPECT_EQ(boxes[0].text.find('\n'), std::string::npos) << boxes[0].text;
    }
}

TEST_F(ViewerTest, ViewTextureShowsTheLastConversionOrAsksForAFile) {
    // No conversion yet: the chooser, for DDS files; a cancel opens nothing.
    dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandViewTexture, {}});
    ASSERT_EQ(chooserCalls.size(), 1u);
    EXPECT_EQ(chooserCalls[0].title, "View Texture");
    EXPECT_NE(chooserCalls[0].filter.find("*.dds *.DDS"), std::string::npos);
    EXPECT_TRUE(state.viewers.empty());

    const std::string chosen = writeTexture("chosen.dds", 16, 8, DdsFormat::Dxt1);
    chooserAnswers = {chosen};
    dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandViewTexture, {}});
    ASSERT_EQ(state.viewers.size(), 1u);
    EXPECT_EQ(state.viewers.back()->path, chosen);
    EXPECT_TRUE(state.viewers.back()->pngPath.empty());

    // After a conversion: its file and its PNG, without asking.
    state.lastWrittenTexture = writeTexture("converted.dds", 64, 32, DdsFormat::Bc7);
    state.lastTextureSource = writePicture("converted.png", 64, 32);
    chooserCalls.clear();
    dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandViewTexture, {}});
    EXPECT_TRUE(chooserCalls.empty());
    ASSERT_EQ(state.viewers.size(), 2u);
    EXPECT_EQ(state.viewers.back()->path, state.lastWrittenTexture);
    EXPECT_EQ(state.viewers.back()->pngPath, state.lastTextureSource);
    EXPECT_TRUE(state.viewers.back()->psnr);

    // The viewers are not modal: the main window keeps its commands.
    EXPECT_EQ(state.openDialog, kNoDialog);
    EXPECT_TRUE(state.main.frame->isEnabled());

    // The file has gone since: ask again.
    std::filesystem::remove(state.lastWrittenTexture);
    dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandViewTexture, {}});
    EXPECT_EQ(chooserCalls.size(), 1u);
}

TEST_F(ViewerTest, CtrlTInTheMainWindowOpensTheViewer) {
    state.lastWrittenTexture = writeTexture("shortcut.dds", 16, 16, DdsFormat::Dxt1);
    state.main.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(state.main.frame));
    QTest::keyClick(state.main.frame->windowHandle(), Qt::Key_T, Qt::ControlModifier);
    dispatchPending();
    ASSERT_EQ(state.viewers.size(), 1u);
    EXPECT_EQ(state.viewers.front()->path, state.lastWrittenTexture);
}

TEST_F(ViewerTest, ATextureNamedOnTheCommandLineOpensAViewerAndAPictureGoesToInputFile) {
    const std::string texture = writeTexture("named.DDS", 16, 16, DdsFormat::Dxt1);
    openFileAsked(state, texture);
    ASSERT_EQ(state.viewers.size(), 1u);
    EXPECT_TRUE(state.main.inputField->text().isEmpty());
    const std::string picture = writePicture("named.png", 16, 16);
    openFileAsked(state, picture);
    EXPECT_EQ(state.viewers.size(), 1u);
    EXPECT_EQ(state.main.inputField->text().toStdString(), picture);
}

TEST(TexturePaths, OnlyTheDdsExtensionInAnyCaseCounts) {
    for (auto [path, texture] : std::vector<std::pair<std::string, bool>>{
             {"/a/b.dds", true}, {"/a/b.DDS", true}, {"b.Dds", true}, {"/a/b.png", false}, {"/a/dds", false},
             {"/a.dds/b", false}, {"/a/b.dds.png", false}, {"/a/b.ddsx", false}, {"", false}})
        EXPECT_EQ(isTexturePath(path), texture) << path;
}

}  // namespace

namespace {

TEST(ViewPixels, ShrinkingAveragesBoxesWithColourWeightedByAlpha) {
    // 2 x 1 -> 1 x 1: an opaque blue pixel beside a transparent red one.
    const std::vector<std::uint8_t> rgba{0, 0, 255, 255, 255, 0, 0, 0};
    const PixelLevel rows{rgba.data(), 8, 2, 1};
    EXPECT_EQ(shrinkPixels(rows, 1, 1, true), (std::vector<std::uint8_t>{0, 0, 255, 128}));
    EXPECT_EQ(shrinkPixels(rows, 1, 1, false), (std::vector<std::uint8_t>{128, 0, 128, 255}));
    // Sizes are held to the source's and at least 1.
    EXPECT_EQ(shrinkPixels(rows, 5, 0, true).size(), 8u);
}

TEST(ViewPixels, PsnrCountsColourOfPixelsOpaqueInBoth) {
    // shown RGBA, source BGRA: the same colours in the other order.
    const std::vector<std::uint8_t> shown{10, 20, 30, 255, 0, 0, 0, 0};
    std::vector<std::uint8_t> source{30, 20, 10, 255, 99, 99, 99, 255};
    EXPECT_DOUBLE_EQ(*psnrOverOpaque({shown.data(), 8, 2, 1}, {source.data(), 8, 2, 1}), 99.99);
    source[0] = 40;  // blue off by 10 in one of three samples
    EXPECT_NEAR(*psnrOverOpaque({shown.data(), 8, 2, 1}, {source.data(), 8, 2, 1}),
                10 * std::log10(255.0 * 255.0 / (100.0 / 3)), 1e-9);
    EXPECT_FALSE(psnrOverOpaque({shown.data(), 8, 2, 1}, {source.data(), 4, 1, 1}));
    EXPECT_FALSE(psnrOverOpaque({shown.data() + 4, 4, 1, 1}, {source.data(), 4, 1, 1}));
}

TEST(ViewPixels, ZoomStepsHoldAtTheEndsAndFitScales) {
    EXPECT_EQ(zoomStep(Zoom::Fit, -1), Zoom::Fit);
    EXPECT_EQ(zoomStep(Zoom::Quadruple, 1), Zoom::Quadruple);
    EXPECT_EQ(zoomStep(Zoom::Actual, 1), Zoom::Double);
    EXPECT_DOUBLE_EQ(fitScale(4096, 2048, 512, 512), 0.125);
    EXPECT_DOUBLE_EQ(fitScale(0, 5, 10, 10), 0);
}

}  // namespace
