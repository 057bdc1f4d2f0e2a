// The application icon every window carries.
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <gtest/gtest.h>

#include "ui/display.h"

namespace {

TEST(ApplicationIcon, EveryDrawnSizeIsOfferedAndTheDesktopEntryIsNamed) {
    setApplicationIcon();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(side);
        EXPECT_TRUE(sizes.contains(QSize(side, side)));
    }
    EXPECT_EQ(QGuiApplication::desktopFileName().toStdString(), "tovrel");
    const QImage small = QApplication::windowIcon().pixmap(16, 16).toImage();
    ASSERT_FALSE(small.isNull());
    int opaque = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) opaque += qAlpha(small.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 16 * 16 / 4);  // a drawn picture, not an empty square
}

}  // namespace
