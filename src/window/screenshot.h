// The -T command: a picture of the main window with sample contents, and a
// 180-pixel-wide thumbnail of it, for the vendor's pages.
#pragma once

#include <string>

#include "settings/batch_job.h"
#include "settings/settings.h"

// Writes <folder>/tovrel1.jpg and tovrel1x.jpg; "" means the program's
// folder. Does nothing when the folder does not exist.
void takeScreenshot(const std::string& folder, ConversionSettings& conversion, InterfaceSettings& ui, BatchJob& job);

// Height of the thumbnail of a W x H picture: 180 x H / W, halves away from zero.
int thumbnailHeight(int width, int height);
