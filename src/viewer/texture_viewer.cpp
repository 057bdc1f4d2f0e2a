#include "viewer/texture_viewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "settings/paths.h"
#include "settings/string_table.h"
#include "ui/choosers.h"
#include "ui/qt_text.h"
#include "ui/window_events.h"

namespace {

std::string viewerText(const char* key) { return lookupString(stringTable(), "Viewer", key); }

std::string sizeText(std::uint32_t width, std::uint32_t height) {
    return FillPlaceholders(viewerText("Size"), std::to_string(width), std::to_string(height));
}

constexpr int kCheckerSquare = 8;

// Keys of the view, each posting one control; several keys may share one.
struct KeyRow {
    QKeyCombination keys;
    ViewerControl control;
};

const std::array<KeyRow, 15> kKeyRows{{
    {QKeyCombination(Qt::Key_0), kViewerZoomFit},
    {QKeyCombination(Qt::Key_F), kViewerZoomFit},
    {QKeyCombination(Qt::Key_1), kViewerZoom100},
    {QKeyCombination(Qt::Key_2), kViewerZoom200},
    {QKeyCombination(Qt::Key_4), kViewerZoom400},
    {QKeyCombination(Qt::Key_Plus), kViewerZoomIn},
    {QKeyCombination(Qt::Key_Equal), kViewerZoomIn},
    {QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus), kViewerZoomIn},
    {QKeyCombination(Qt::Key_Minus), kViewerZoomOut},
    {QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus), kViewerZoomOut},
    {QKeyCombination(Qt::Key_A), kViewerAlphaKey},
    {QKeyCombination(Qt::Key_S), kViewerSourceKey},
    {QKeyCombination(Qt::Key_Tab), kViewerSourceKey},
    {QKeyCombination(Qt::Key_Escape), kViewerEscape},
    {QKeyCombination(Qt::Key_Backtab), kViewerSourceKey},
}};

// The zoom chooser's entries, in the order of Zoom.
constexpr std::array<const char*, kZoomStepCount> kZoomTextKeys{"Fit", "Actual", "Double", "Quadruple"};

// The PNG's level `index`, when it has the size of the texture's: only
// then can the two be swapped in place and compared.
const PixelLevel* sourceLevelOf(const TextureViewer& viewer, std::size_t index) {
    const std::vector<DdsLevelPlace>& places = viewer.file.info.levels;
    if (!viewer.source || index >= viewer.source->chain.levels.size() || index >= places.size()) return nullptr;
    const PixelLevel& level = viewer.source->chain.levels[index];
    if (level.width != places[index].width || level.height != places[index].height) return nullptr;
    return &level;
}

const PixelLevel* matchingSourceLevel(const TextureViewer& viewer) { return sourceLevelOf(viewer, viewer.level); }

PixelLevel rowsOf(const RgbaPicture& picture) {
    return {picture.rgba.data(), static_cast<std::ptrdiff_t>(picture.width) * 4, picture.width, picture.height};
}

PixelLevel rowsOf(const QImage& image) {
    return {image.constBits(), static_cast<std::ptrdiff_t>(image.bytesPerLine()), static_cast<std::uint32_t>(image.width()),
            static_cast<std::uint32_t>(image.height())};
}

bool pathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

}  // namespace

// Paints the shown picture at the view's scale: the part that is exposed
// only, nearest neighbour when enlarged, the shrunk copy below 100 %.
class ViewerCanvas : public QWidget {
public:
    ViewerCanvas(QWidget* parent, const TextureViewer& viewer) : QWidget(parent), viewer_(viewer) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const QRect exposed = event->rect();
        if (viewer_.showAlpha)
            painter.fillRect(exposed, QBrush(checkerTile()));
        else
            painter.fillRect(exposed, palette().dark());
        const QImage& image = viewer_.shown;
        if (!image.isNull()) {
            const double scale = viewScale(viewer_);
            if (scale < 1 && !viewer_.shrunk.isNull())
                drawPart(painter, viewer_.shrunk, exposed, 1.0);
            else if (scale > 0)
                drawPart(painter, image, exposed, scale);
        }
        painter.end();
        static bool painted = false;
        if (!painted) markViewerTiming("painted");
        painted = true;
    }

private:
    // Only the source pixels under the exposed area are drawn (a 400 % view
    // of a 4096 texture is 16384 pixels wide); with alpha ignored only they
    // are copied to be made opaque.
    void drawPart(QPainter& painter, const QImage& image, const QRect& exposed, double scale) {
        const int left = std::max(0, static_cast<int>(std::floor(exposed.left() / scale)));
        const int top = std::max(0, static_cast<int>(std::floor(exposed.top() / scale)));
        const int right = std::min(image.width(), static_cast<int>(std::ceil((exposed.right() + 1) / scale)));
        const int bottom = std::min(image.height(), static_cast<int>(std::ceil((exposed.bottom() + 1) / scale)));
        if (right <= left || bottom <= top) return;
        const QRect part(left, top, right - left, bottom - top);
        const QRectF target(left * scale, top * scale, part.width() * scale, part.height() * scale);
        if (viewer_.showAlpha) {
            painter.drawImage(target, image, part);
            return;
        }
        QImage opaque = image.copy(part);
        for (int y = 0; y < opaque.height(); ++y)
            makeOpaque(opaque.scanLine(y), static_cast<std::size_t>(opaque.width()));
        painter.drawImage(target, opaque);
    }

    static const QImage& checkerTile() {
        static const QImage tile = [] {
            QImage image(2 * kCheckerSquare, 2 * kCheckerSquare, QImage::Format_RGB32);
            image.fill(QColor(204, 204, 204));
            QPainter painter(&image);
            painter.fillRect(0, 0, kCheckerSquare, kCheckerSquare, QColor(153, 153, 153));
            painter.fillRect(kCheckerSquare, kCheckerSquare, kCheckerSquare, kCheckerSquare, QColor(153, 153, 153));
            return image;
        }();
        return tile;
    }

    const TextureViewer& viewer_;
};

namespace {

// The wheel zooms instead of scrolling; it only posts the step.
class WheelZoom : public QObject {
public:
    WheelZoom(QObject* parent, int instance) : QObject(parent), instance_(instance) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0)
            postInstanceControl(kViewerWindow, instance_, delta > 0 ? kViewerZoomIn : kViewerZoomOut,
                                ControlEvent::Change);
        return true;
    }

private:
    int instance_;
};

QLabel* addCaption(QHBoxLayout* row, const char* key) {
    auto* label = new QLabel(qt(viewerText(key)));
    row->addWidget(label);
    return label;
}

QComboBox* addChoice(QHBoxLayout* row, int instance, ViewerControl control) {
    auto* choice = new QComboBox;
    choice->setFocusPolicy(Qt::NoFocus);
    QObject::connect(choice, &QComboBox::activated, [instance, control](int) {
        postInstanceControl(kViewerWindow, instance, control, ControlEvent::Change);
    });
    row->addWidget(choice);
    return choice;
}

QCheckBox* addSwitch(QHBoxLayout* row, int instance, const char* key, ViewerControl control) {
    auto* box = new QCheckBox(qt(viewerText(key)));
    box->setFocusPolicy(Qt::NoFocus);
    QObject::connect(box, &QCheckBox::clicked, [instance, control](bool) {
        postInstanceControl(kViewerWindow, instance, control, ControlEvent::Click);
    });
    row->addWidget(box);
    return box;
}

void addKeys(TextureViewer& viewer) {
    const int instance = viewer.instance;
    for (const KeyRow& row : kKeyRows) {
        auto* shortcut = new QShortcut(QKeySequence(row.keys), viewer.frame.get());
        shortcut->setContext(Qt::WindowShortcut);
        const ViewerControl control = row.control;
        QObject::connect(shortcut, &QShortcut::activated, [instance, control] {
            postInstanceControl(kViewerWindow, instance, control, ControlEvent::Click);
        });
    }
}

void buildControls(TextureViewer& viewer, QVBoxLayout* layout) {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 6, 8, 6);
    addCaption(row, "Level");
    viewer.levelChoice = addChoice(row, viewer.instance, kViewerLevelChoice);
    for (std::size_t i = 0; i < viewer.file.info.levels.size(); ++i)
        viewer.levelChoice->addItem(qt(levelText(i, viewer.file.info.levels[i])));
    row->addSpacing(8);
    addCaption(row, "Zoom");
    viewer.zoomChoice = addChoice(row, viewer.instance, kViewerZoomChoice);
    for (const char* key : kZoomTextKeys) viewer.zoomChoice->addItem(qt(viewerText(key)));
    row->addSpacing(8);
    viewer.alphaSwitch = addSwitch(row, viewer.instance, "Alpha", kViewerAlphaSwitch);
    viewer.sourceSwitch = addSwitch(row, viewer.instance, "Source", kViewerSourceSwitch);
    row->addSpacing(8);
    viewer.comparison = new QLabel;
    viewer.comparison->setTextFormat(Qt::PlainText);
    row->addWidget(viewer.comparison, 1);
    layout->addWidget(bar);
}

void buildWindow(TextureViewer& viewer) {
    viewer.frame = std::make_unique<QWidget>(nullptr, Qt::Window);
    QWidget* frame = viewer.frame.get();
    frame->setObjectName("textureViewer");
    frame->setWindowTitle(qt(FillPlaceholders(viewerText("Title"), fileNamePart(viewer.path))));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildControls(viewer, layout);
    viewer.scroll = new QScrollArea;
    viewer.scroll->setAlignment(Qt::AlignCenter);
    viewer.scroll->setBackgroundRole(QPalette::Dark);
    viewer.scroll->setFocusPolicy(Qt::StrongFocus);
    viewer.scroll->verticalScrollBar()->setSingleStep(10);
    viewer.scroll->horizontalScrollBar()->setSingleStep(10);
    viewer.canvas = new ViewerCanvas(nullptr, viewer);
    viewer.scroll->setWidget(viewer.canvas);
    layout->addWidget(viewer.scroll, 1);
    viewer.statusBar = new QStatusBar;
    viewer.statusBar->setSizeGripEnabled(false);
    viewer.statusText = new QLabel;
    viewer.statusText->setTextFormat(Qt::PlainText);
    viewer.statusBar->addWidget(viewer.statusText, 1);
    layout->addWidget(viewer.statusBar);
    viewer.statusText->setText(qt(viewerStatusText(viewer.file.info)));
    addKeys(viewer);
    viewer.scroll->viewport()->installEventFilter(new WheelZoom(viewer.scroll, viewer.instance));
    TextureViewer* bound = &viewer;
    watchWindowEvents(frame, {kViewerWindow, false, {}, viewer.instance});
    watchWindowEvents(viewer.scroll->viewport(), {kViewerWindow, false, [bound] { placeCanvas(*bound); }, viewer.instance});
}

std::string comparisonText(const TextureViewer& viewer) {
    if (viewer.pngPath.empty()) return {};
    if (!viewer.source) return FillPlaceholders(viewerText("Source Unreadable"), fileNamePart(viewer.pngPath));
    if (!matchingSourceLevel(viewer)) return viewerText("Source Size Differs");
    if (!viewer.psnr) return viewerText("No Opaque Pixels");
    char value[32];
    std::snprintf(value, sizeof value, "%.2f", *viewer.psnr);
    return FillPlaceholders(viewerText("Psnr"), value);
}

// What is painted: the PNG's level of the decoded level's size when it is
// asked for and matches, the texture's otherwise; both over their own
// buffers.
void chooseShownPicture(TextureViewer& viewer) {
    const PixelLevel* source = sourceLevelOf(viewer, viewer.decodedLevel);
    if (!matchingSourceLevel(viewer)) viewer.showSource = false;
    if (viewer.showSource && source)
        viewer.shown = QImage(source->top, static_cast<int>(source->width), static_cast<int>(source->height),
                              static_cast<qsizetype>(source->rowStride), QImage::Format_ARGB32);
    else if (viewer.decoded.width > 0)
        viewer.shown = QImage(viewer.decoded.rgba.data(), static_cast<int>(viewer.decoded.width),
                              static_cast<int>(viewer.decoded.height), static_cast<qsizetype>(viewer.decoded.width) * 4,
                              QImage::Format_RGBA8888);
    else
        viewer.shown = QImage();
    viewer.shrunk = QImage();
}

// Holds level `index` decoded, and nothing else: the previous level and
// the views over it go first, and the file's pages once it is decoded.
void decodeLevel(TextureViewer& viewer, std::size_t index) {
    viewer.shown = QImage();
    viewer.shrunk = QImage();
    viewer.decoded = RgbaPicture{};
    viewer.decoded = decodeDdsLevel(viewer.file.bytes, viewer.file.info, index);
    viewer.decodedLevel = index;
    releaseReadPages(viewer.file);
    markViewerTiming("level decoded");
}

// The level painted for the chosen one in a view of width x height: the
// chosen level itself at 100 % and above, below it the smallest level of
// the chain still at least that size.
std::size_t paintedLevel(const TextureViewer& viewer, double scale, int width, int height) {
    const std::vector<DdsLevelPlace>& places = viewer.file.info.levels;
    std::size_t painted = viewer.level;
    if (scale >= 1) return painted;
    while (painted + 1 < places.size() && places[painted + 1].width >= static_cast<std::uint32_t>(width) &&
           places[painted + 1].height >= static_cast<std::uint32_t>(height))
        ++painted;
    return painted;
}

// One place derives the look of the window from the record.
void showState(TextureViewer& viewer) {
    {
        const QSignalBlocker blockLevel(viewer.levelChoice), blockZoom(viewer.zoomChoice);
        const QSignalBlocker blockAlpha(viewer.alphaSwitch), blockSource(viewer.sourceSwitch);
        viewer.levelChoice->setCurrentIndex(static_cast<int>(viewer.level));
        viewer.zoomChoice->setCurrentIndex(static_cast<int>(viewer.zoom));
        viewer.alphaSwitch->setChecked(viewer.showAlpha);
        viewer.sourceSwitch->setEnabled(matchingSourceLevel(viewer) != nullptr);
        viewer.sourceSwitch->setChecked(viewer.showSource);
        viewer.sourceSwitch->setVisible(!viewer.pngPath.empty());
    }
    viewer.comparison->setText(qt(comparisonText(viewer)));
    chooseShownPicture(viewer);
    placeCanvas(viewer);
}

// The PSNR is of the chosen level, so that level is decoded for it; the
// view may then hold a smaller one in its place.
void showLevel(TextureViewer& viewer, std::size_t level) {
    viewer.level = std::min(level, viewer.file.info.levels.size() - 1);
    viewer.psnr = std::nullopt;
    const PixelLevel* source = matchingSourceLevel(viewer);
    if (!source) return;
    if (viewer.decodedLevel != viewer.level || viewer.decoded.width == 0) decodeLevel(viewer, viewer.level);
    if (viewer.decoded.width > 0) viewer.psnr = psnrOverOpaque(rowsOf(viewer.decoded), *source);
}

// The point at the middle of the view, as a fraction of the canvas, so a
// zoom keeps it in the middle.
QPointF viewCentre(const TextureViewer& viewer) {
    const QScrollBar* h = viewer.scroll->horizontalScrollBar();
    const QScrollBar* v = viewer.scroll->verticalScrollBar();
    const double width = std::max(1, viewer.canvas->width()), height = std::max(1, viewer.canvas->height());
    return {(h->value() + h->pageStep() / 2.0) / width, (v->value() + v->pageStep() / 2.0) / height};
}

void centreOn(TextureViewer& viewer, QPointF centre) {
    QScrollBar* h = viewer.scroll->horizontalScrollBar();
    QScrollBar* v = viewer.scroll->verticalScrollBar();
    h->setValue(static_cast<int>(std::lround(centre.x() * viewer.canvas->width() - h->pageStep() / 2.0)));
    v->setValue(static_cast<int>(std::lround(centre.y() * viewer.canvas->height() - v->pageStep() / 2.0)));
}

void setZoom(TextureViewer& viewer, Zoom zoom) {
    const QPointF centre = viewCentre(viewer);
    viewer.zoom = zoom;
    showState(viewer);
    centreOn(viewer, centre);
}

void toggleSource(TextureViewer& viewer) {
    if (matchingSourceLevel(viewer)) viewer.showSource = !viewer.showSource;
    showState(viewer);
}

}  // namespace

void placeCanvas(TextureViewer& viewer) {
    if (!viewer.canvas || viewer.file.info.levels.empty()) return;
    const double scale = viewScale(viewer);
    const DdsLevelPlace& place = viewer.file.info.levels[viewer.level];
    const int width = std::max(1, static_cast<int>(std::lround(place.width * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(place.height * scale)));
    const std::size_t painted = paintedLevel(viewer, scale, width, height);
    if (painted != viewer.decodedLevel || viewer.decoded.width == 0) {
        decodeLevel(viewer, painted);
        chooseShownPicture(viewer);
    }
    if (scale < 1 && !viewer.shown.isNull() &&
        (viewer.shrunk.size() != QSize(width, height) || viewer.shownHasAlphaOff != !viewer.showAlpha)) {
        // Shrunk straight into pixels the image owns: it lives until the
        // next size, level or switch.
        viewer.shrunk = QImage(std::min(width, viewer.shown.width()), std::min(height, viewer.shown.height()),
                               viewer.shown.format());
        shrinkPixelsInto(rowsOf(viewer.shown), viewer.shrunk.bits(), viewer.shrunk.bytesPerLine(),
                         static_cast<std::uint32_t>(viewer.shrunk.width()),
                         static_cast<std::uint32_t>(viewer.shrunk.height()), viewer.showAlpha);
        viewer.shownHasAlphaOff = !viewer.showAlpha;
        markViewerTiming("view shrunk");
    }
    if (scale >= 1) viewer.shrunk = QImage();
    viewer.canvas->setFixedSize(width, height);
    viewer.canvas->update();
}

double viewScale(const TextureViewer& viewer) {
    if (viewer.file.info.levels.empty()) return 0;
    if (viewer.zoom != Zoom::Fit) return zoomFactor(viewer.zoom);
    const DdsLevelPlace& place = viewer.file.info.levels[std::min(viewer.level, viewer.file.info.levels.size() - 1)];
    // The fit needs no scroll bars, so it is of the area without them: a
    // view leaving a zoom with scroll bars is sized once, not again when
    // they go.
    const QSize area = viewer.scroll ? viewer.scroll->maximumViewportSize() : QSize();
    return fitScale(place.width, place.height, area.width(), area.height());
}

void markViewerTiming(const char* moment) {
    static const bool wanted = std::getenv("TOVREL_VIEWER_TIMING") != nullptr;
    if (!wanted) return;
    // Wall-clock time, so bench/viewer_open.sh can subtract the moment it
    // started the program.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "viewer %s at %lld us\n", moment,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    std::fflush(stderr);
}

std::string levelText(std::size_t level, const DdsLevelPlace& place) {
    return FillPlaceholders(viewerText("Level Entry"), std::to_string(level), sizeText(place.width, place.height));
}

std::string viewerStatusText(const DdsFileInfo& info) {
    return FillPlaceholders(viewerText("Status"), info.kindName, sizeText(info.width, info.height),
                            std::to_string(info.levels.size()), std::to_string(info.fileBytes));
}

std::shared_ptr<TextureViewer> openTextureViewer(const std::string& path, const std::string& pngPath, int instance,
                                                 QWidget* boxParent) {
    auto viewer = std::make_shared<TextureViewer>();
    viewer->instance = instance;
    viewer->path = path;
    viewer->file = openDdsFile(path);
    markViewerTiming("file mapped");
    const DdsFileInfo& info = viewer->file.info;
    std::string refusal = info.ok ? viewerText("No Levels") : info.error;
    if (info.ok && !info.levels.empty()) {
        // The PNG first, so the first decode already gets its PSNR.
        if (pathExists(pngPath)) {
            viewer->pngPath = pngPath;
            viewer->source = loadSourcePicture(pngPath);
        }
        showLevel(*viewer, 0);
        // Laid out before it is shown, so the fit view is made once, for
        // the window's real size, from the level that size needs.
        buildWindow(*viewer);
        viewer->frame->resize(760, 620);
        viewer->frame->layout()->activate();
        showState(*viewer);
        markViewerTiming("fit view made");
    }
    if (viewer->decoded.width == 0) {
        choosers().messageBox(boxParent, viewerText("Window"),
                              FillPlaceholders(viewerText("Refused"), path, refusal.empty() ? "?" : refusal),
                              MessageIcon::Error, MessageButtons::Ok);
        return nullptr;
    }
    viewer->frame->show();
    markViewerTiming("viewer shown");
    viewer->frame->raise();
    viewer->frame->activateWindow();
    return viewer;
}

bool handleViewerEvent(TextureViewer& viewer, const UiEvent& event) {
    if (event.kind == EventKind::Close) return true;
    const auto* control = std::get_if<ViewerControl>(&event.control);
    if (event.kind != EventKind::Control || !control) return false;
    switch (*control) {
        case kViewerLevelChoice:
            showLevel(viewer, static_cast<std::size_t>(std::max(0, viewer.levelChoice->currentIndex())));
            showState(viewer);
            break;
        case kViewerZoomChoice: setZoom(viewer, static_cast<Zoom>(std::max(0, viewer.zoomChoice->currentIndex()))); break;
        case kViewerAlphaSwitch: viewer.showAlpha = viewer.alphaSwitch->isChecked(); showState(viewer); break;
        case kViewerSourceSwitch: toggleSource(viewer); break;
        case kViewerZoomFit: setZoom(viewer, Zoom::Fit); break;
        case kViewerZoom100: setZoom(viewer, Zoom::Actual); break;
        case kViewerZoom200: setZoom(viewer, Zoom::Double); break;
        case kViewerZoom400: setZoom(viewer, Zoom::Quadruple); break;
        case kViewerZoomIn: setZoom(viewer, zoomStep(viewer.zoom, 1)); break;
        case kViewerZoomOut: setZoom(viewer, zoomStep(viewer.zoom, -1)); break;
        case kViewerAlphaKey: viewer.showAlpha = !viewer.showAlpha; showState(viewer); break;
        case kViewerSourceKey: toggleSource(viewer); break;
        case kViewerEscape: return true;
    }
    return false;
}
