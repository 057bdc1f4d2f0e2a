// Decoded pictures of the image imageSet as Qt pixmaps and icons.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "images/image_slots.h"

// The icons in the window's lists: output formats and the output-folder
// history.
constexpr int kListIconSize = 16;

// A null pixmap for an empty or inconsistent picture.
QPixmap pixmapFromPicture(const Picture& picture);
// The picture scaled to size x size (only when it differs): themes may give
// any size, and Qt would otherwise pick its own.
QIcon iconFromPicture(const Picture& picture, int size);
// The icon of a named slot; an empty icon when the slot is missing.
QIcon slotIcon(const std::map<std::string, Picture>& imageSet, const std::string& name, int size);
