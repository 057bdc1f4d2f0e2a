#include "ui/pictures.h"

#include <QImage>

QPixmap pixmapFromPicture(const Picture& picture) {
    const auto bytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4;
    if (picture.width <= 0 || picture.height <= 0 || picture.rgba.size() != bytes) return {};
    QImage view(picture.rgba.data(), picture.width, picture.height, picture.width * 4, QImage::Format_RGBA8888);
    return QPixmap::fromImage(view.copy());
}

QIcon iconFromPicture(const Picture& picture, int size) {
    QPixmap pixmap = pixmapFromPicture(picture);
    if (pixmap.isNull()) return {};
    if (pixmap.width() != size || pixmap.height() != size)
        pixmap = pixmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return QIcon(pixmap);
}

QIcon slotIcon(const std::map<std::string, Picture>& imageSet, const std::string& name, int size) {
    auto found = imageSet.find(name);
    return found == imageSet.end() ? QIcon() : iconFromPicture(found->second, size);
}
