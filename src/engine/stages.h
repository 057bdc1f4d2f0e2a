// The transform stages of the conversion pipeline, in pipeline order. Each
// takes the current image and returns the image to continue with; a
// disabled stage or a null image passes through unchanged.
#pragma once

#include "engine/image.h"
#include "settings/settings.h"

struct BatchJob;

ImagePtr applyRotation(ImagePtr image, const ConversionSettings& settings);                        // rotate.cpp
ImagePtr applyResize(ImagePtr image, int width, int height, const ConversionSettings& settings);  // resize.cpp
ImagePtr applyToneMapping(ImagePtr image);                                                         // tone_map.cpp
ImagePtr applyFlip(ImagePtr image, const ConversionSettings& settings);                            // flip.cpp
ImagePtr applyColorCorrection(ImagePtr image, const ConversionSettings& settings);                 // color_correction.cpp
ImagePtr applyGreyscale(ImagePtr image, const ConversionSettings& settings);                       // greyscale.cpp
ImagePtr applyThreshold(ImagePtr image, const ConversionSettings& settings);                       // threshold.cpp
ImagePtr applyDither(ImagePtr image, const ConversionSettings& settings);                          // dither.cpp
ImagePtr applyFrame(ImagePtr image, int width, int height, const ConversionSettings& settings);   // frame.cpp
ImagePtr applyWatermark(ImagePtr image, int width, int height, const ConversionSettings& settings,
                        const BatchJob& job);                                                      // watermark.cpp
ImagePtr applyBitDepth(ImagePtr image, BatchJob& job);                                             // bit_depth.cpp
