// The texture viewer: one window per DDS file, decoded through the engine's
// reader one level at a time. It is not modal; several may be open, each
// told apart by its instance number in the queue's events. The level
// chooser, the zoom steps, the alpha switch and, when the PNG the texture
// was made from is known, the swap to that PNG with the PSNR of the shown
// level against its box-filtered chain.
#pragma once

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/dds_read.h"
#include "ui/events.h"
#include "viewer/source_png.h"
#include "viewer/view_pixels.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QStatusBar;
class QWidget;

struct TextureViewer {
    int instance = 0;
    std::string path;
    std::string pngPath;  // "" when not known
    DdsFile file;
    std::size_t level = 0;  // the level chosen: the chooser, the canvas size and the PSNR are of it
    // The only level held, `decodedLevel`: the chosen one, or below 100 %
    // the smallest level of the chain still at least the view's size, which
    // stands in for it (a fit of a 4096 texture never decodes 4096).
    RgbaPicture decoded;
    std::size_t decodedLevel = 0;
    std::unique_ptr<SourcePicture> source;  // the PNG and its chain, when known and readable
    Zoom zoom = Zoom::Fit;
    bool showAlpha = true;    // over a checkerboard; otherwise alpha is ignored
    bool showSource = false;  // the PNG's level in place of the texture's
    std::optional<double> psnr;

    // What is painted: the texture's decoded level or the PNG's level of
    // that size, over their own pixel buffers (no copy); for a view below
    // 100 % a shrunk copy of the view's size, made once per size.
    QImage shown;
    QImage shrunk;
    bool shownHasAlphaOff = false;

    std::unique_ptr<QWidget> frame;
    QComboBox* levelChoice = nullptr;
    QComboBox* zoomChoice = nullptr;
    QCheckBox* alphaSwitch = nullptr;
    QCheckBox* sourceSwitch = nullptr;
    QLabel* comparison = nullptr;  // PSNR, or why there is none
    QScrollArea* scroll = nullptr;
    QWidget* canvas = nullptr;  // paints `shown` at the view's scale
    QStatusBar* statusBar = nullptr;
    QLabel* statusText = nullptr;
};

// Opens a viewer on the file and shows it. A file the reader refuses, or
// whose top level does not decode, gives the error box (parented to
// `boxParent`) with the reader's reason, and null.
std::shared_ptr<TextureViewer> openTextureViewer(const std::string& path, const std::string& pngPath, int instance,
                                                 QWidget* boxParent);
// Acts on an event of this viewer; true when it asks to close (Escape, the
// close box).
bool handleViewerEvent(TextureViewer& viewer, const UiEvent& event);

// With TOVREL_VIEWER_TIMING set, prints on stderr when a moment of opening
// a viewer is reached (bench/viewer_open.sh reads these).
void markViewerTiming(const char* moment);

// Texts the window shows, for the window and its tests.
std::string levelText(std::size_t level, const DdsLevelPlace& place);
std::string viewerStatusText(const DdsFileInfo& info);
// Sizes the canvas for the shown picture and the zoom (and the window's
// size, at Fit), making the shrunk copy a view below 100 % paints.
void placeCanvas(TextureViewer& viewer);
// The scale the canvas is drawn at now.
double viewScale(const TextureViewer& viewer);
