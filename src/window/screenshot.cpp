#include "window/screenshot.h"

#include <QBuffer>
#include <QByteArray>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>
#include <QWidget>
#include <chrono>
#include <cmath>

#include "app/app_state.h"
#include "app/main_window.h"
#include "settings/web_links.h"
#include "window/window_mode.h"
#include "settings/file_handle.h"
#include "settings/paths.h"
#include "ui/display.h"
#include "ui/pictures.h"

namespace {

constexpr int kThumbnailWidth = 180;
constexpr int kJpegQuality = 90;  // 9 on the scale of 0 to 10
constexpr int kSettleMillis = 500;

// Sample contents that show what the fields are for.
const char* const kSampleInput = "/home/korvane/images/korvane.png";
const char* const kSampleOutputFolder = "/home/korvane/converted/";

// Gives the window time to paint; a close of the window ends the wait early.
void letWindowSettle() {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kSettleMillis);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return;
        std::optional<UiEvent> event = waitForNextEventWithin(static_cast<int>(left));
        if (event && event->kind == EventKind::Close && event->window == kMainWindow) return;
    }
}

// The window with its frame where a window manager draws one (X11); the
// widget alone elsewhere.
QImage captureWindow(QWidget* frame) {
    QScreen* screen = frame->screen();
    if (QGuiApplication::platformName() == "xcb" && screen) {
        const QRect outer = frame->frameGeometry();
        QPixmap grabbed = screen->grabWindow(0, outer.x(), outer.y(), outer.width(), outer.height());
        if (!grabbed.isNull()) return grabbed.toImage();
    }
    return frame->grab().toImage();
}

void drawHomePageAddress(QImage& image) {
    QPainter painter(&image);
    QFont font("Tahoma", 8);
    font.setStyleStrategy(QFont::PreferQuality);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString address = QString::fromStdString(homePageAddress());
    const QFontMetrics metrics(font);
    const int x = image.width() - metrics.horizontalAdvance(address) - 35;
    const int top = image.height() - 26;
    painter.drawText(x, top + metrics.ascent(), address);
}

void fillSampleContents(MainWindow& window, const ImageSlots& images) {
    window.inputField->setText(kSampleInput);
    window.folderList->addItem(slotIcon(images.menuIcons, "FavFolder", 16), kSampleOutputFolder);
    window.folderList->setCurrentIndex(window.folderList->count() - 1);
    window.formatList->setFocus();
    window.folderList->setFocus();
    window.convertButton->setFocus();
}

// The picture is encoded in memory and put in place like every other output
// file, so a link or a FIFO under the name is replaced, never written through.
void saveJpeg(const QImage& picture, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPEG", kJpegQuality)) return;
    writeFileByRename(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

int thumbnailHeight(int width, int height) {
    if (width <= 0) return 0;
    return static_cast<int>(std::round(static_cast<double>(kThumbnailWidth) * height / width));
}

void takeScreenshot(const std::string& folder, ConversionSettings& conversion, InterfaceSettings& ui, BatchJob& job) {
    const std::string target = withTrailingSlash(folder.empty() ? programFolder() : folder);
    if (fileSizeQuery(target) != -2) return;
    openDisplayOrEnd();

    AppState state{conversion, ui, job};
    state.scheduledUpdateCheck = runScheduledUpdateCheck;  // finishMainWindow must leave it out
    loadWindowResources(state);
    ui.X = 400;
    ui.Y = 400;
    ui.Width = 510;
    ui.Height = 260;
    ui.IsMaximized = 0;
    if (!buildMainWindow(state)) return;
    finishMainWindow(state);
    state.main.frame->activateWindow();
    fillSampleContents(state.main, state.images);
    letWindowSettle();

    QImage picture = captureWindow(state.main.frame).convertToFormat(QImage::Format_RGB32);
    drawHomePageAddress(picture);
    saveJpeg(picture, target + "tovrel1.jpg");
    QImage thumbnail = picture.scaled(kThumbnailWidth, thumbnailHeight(picture.width(), picture.height()),
                                      Qt::IgnoreAspectRatio, Qt::FastTransformation);
    saveJpeg(thumbnail, target + "tovrel1x.jpg");
    destroyMainWindow(state.main);
}
