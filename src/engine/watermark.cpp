// The watermark stage: a text box or a picture, rotated, cut to the
// available area, placed at one of nine positions measured from the image
// edges or from the inside of the frame, and composited over the image.
#include <algorithm>

#include "engine/image_limits.h"
#include "engine/overlay.h"
#include "engine/stages.h"
#include "engine/watermark.h"
#include "settings/choices.h"

namespace {

// The settings that place the watermark, taken from the text or the
// picture variant.
struct Placement {
    int rotation;
    Boundary boundary;
    int position;
    long long xOffset;
    long long yOffset;
};

Placement placementOf(const ConversionSettings& s) {
    if (choiceOf<WatermarkKind>(s.DoWatermark) == WatermarkKind::Text)
        return {s.TextRotation, choiceOf<Boundary>(s.TextBoundary), s.TextPosition, s.TextXOffset, s.TextYOffset};
    return {s.WatermarkImageRotation, choiceOf<Boundary>(s.ImageBoundary), s.ImagePosition, s.ImageXOffset,
            s.ImageYOffset};
}

struct Rect {
    long long x;
    long long y;
    long long width;
    long long height;
};

// Where a coordinate is measured from along one axis.
enum class Anchor { Near, Center, Far };
struct PositionRule {
    Anchor x;
    Anchor y;
};
// Text Position / Image Position: "TOPLEFT" to "BOTTOMRIGHT".
constexpr PositionRule kPositions[] = {
    {Anchor::Near, Anchor::Near},   {Anchor::Center, Anchor::Near},   {Anchor::Far, Anchor::Near},
    {Anchor::Near, Anchor::Center}, {Anchor::Center, Anchor::Center}, {Anchor::Far, Anchor::Center},
    {Anchor::Near, Anchor::Far},    {Anchor::Center, Anchor::Far},    {Anchor::Far, Anchor::Far},
};

// Division truncates toward zero; a centred watermark ignores the offset.
long long placeAlong(Anchor anchor, long long available, long long size, long long offset) {
    switch (anchor) {
        case Anchor::Near: return offset;
        case Anchor::Center: return (available - size) / 2;
        case Anchor::Far: return available - size - offset;
    }
    return 0;
}

// The area the watermark is placed in: the whole image, or the inside of
// the frame when a frame is on and the boundary is "FRAME".
Rect availableArea(const ConversionSettings& s, const Placement& placement, int width, int height) {
    if (choiceOf<FrameKind>(s.DoFrame) == FrameKind::None || placement.boundary != Boundary::Frame)
        return {0, 0, width, height};
    return {s.SolidLeft, s.SolidTop, static_cast<long long>(width) - s.SolidLeft - s.SolidRight,
            static_cast<long long>(height) - s.SolidTop - s.SolidBottom};
}

ImagePtr renderWatermark(const ConversionSettings& s, const BatchJob& job, int width, int height) {
    const WatermarkKind kind = choiceOf<WatermarkKind>(s.DoWatermark);
    if (kind == WatermarkKind::Image) return renderPictureWatermark(s);
    if (kind != WatermarkKind::Text || !job.watermarkFont) return nullptr;
    // The text describes the image it is stamped on and the depth the
    // output will have, not the previous conversion's values.
    BatchJob current = job;
    current.finalWidth = width;
    current.finalHeight = height;
    current.targetBitDepth = 32;
    return renderTextWatermark(expandWatermarkText(s, current), *job.watermarkFont, s);
}

// Any angle strictly between 0 and 360 turns the watermark counter-clockwise
// on an enlarged bitmap whose uncovered corners stay transparent. A
// watermark whose enlarged bitmap would exceed the image limit is dropped,
// as the rotation stage drops such an image.
ImagePtr rotateWatermark(ImagePtr mark, int angle) {
    if (!mark || angle <= 0 || angle >= 360) return mark;
    if (!rotationFitsImageLimit(imageWidth(mark), imageHeight(mark), angle)) return nullptr;
    return ImagePtr(FreeImage_Rotate(mark.get(), angle, nullptr));
}

// Keeps the top-left part of the watermark that fits the area after the
// offsets; null when nothing of it is left.
ImagePtr cropToArea(ImagePtr mark, const Rect& area, const Placement& placement) {
    long long w = imageWidth(mark), h = imageHeight(mark);
    const long long fullWidth = w, fullHeight = h;
    if (w + placement.xOffset > area.width) w = area.width - placement.xOffset;
    if (h + placement.yOffset > area.height) h = area.height - placement.yOffset;
    if (w <= 0 || h <= 0) return nullptr;
    if (w == fullWidth && h == fullHeight) return mark;
    return ImagePtr(FreeImage_Copy(mark.get(), 0, 0, static_cast<int>(w), static_cast<int>(h)));
}

Rect placeInArea(FIBITMAP* mark, const Rect& area, const Placement& placement) {
    const long long w = FreeImage_GetWidth(mark), h = FreeImage_GetHeight(mark);
    long long x = 0, y = 0;
    if (placement.position >= 0 && placement.position < static_cast<int>(std::size(kPositions))) {
        const PositionRule rule = kPositions[placement.position];
        x = placeAlong(rule.x, area.width, w, placement.xOffset);
        y = placeAlong(rule.y, area.height, h, placement.yOffset);
    }
    return {area.x + x, area.y + y, w, h};
}

// A transparent layer of the image's size with the watermark pasted at its
// place. The part outside the image is cut off first, since FreeImage_Paste
// refuses a bitmap that does not fit; null when nothing is inside.
ImagePtr buildLayer(FIBITMAP* mark, const Rect& place, int width, int height) {
    const long long left = std::max(0LL, place.x), top = std::max(0LL, place.y);
    const long long right = std::min<long long>(width, place.x + place.width);
    const long long bottom = std::min<long long>(height, place.y + place.height);
    if (left >= right || top >= bottom) return nullptr;
    ImagePtr layer(FreeImage_AllocateT(FIT_BITMAP, width, height, 32, 0, 0, 0));
    if (!layer) return nullptr;
    ImagePtr visible;
    if (right - left != place.width || bottom - top != place.height) {
        visible.reset(FreeImage_Copy(mark, static_cast<int>(left - place.x), static_cast<int>(top - place.y),
                                     static_cast<int>(right - place.x), static_cast<int>(bottom - place.y)));
        if (!visible) return nullptr;
    }
    // Alpha above 255 copies the pixels as they are; 255 would blend them
    // with the empty layer and take one level off every channel, alpha too.
    constexpr int kCopyAsIs = 256;
    if (!FreeImage_Paste(layer.get(), visible ? visible.get() : mark, static_cast<int>(left), static_cast<int>(top),
                         kCopyAsIs))
        return nullptr;
    return layer;
}

}  // namespace

// Laid out on the image's own size, so the layer always fits the image.
ImagePtr applyWatermark(ImagePtr image, const ConversionSettings& settings, BatchJob& job) {
    if (choiceOf<WatermarkKind>(settings.DoWatermark) == WatermarkKind::None || !image) return image;
    image = convertTo24Bits(std::move(image));
    const int width = imageWidth(image), height = imageHeight(image);
    const Placement placement = placementOf(settings);
    ImagePtr mark = rotateWatermark(renderWatermark(settings, job, width, height), placement.rotation);
    if (!mark) return image;
    const Rect area = availableArea(settings, placement, width, height);
    mark = cropToArea(std::move(mark), area, placement);
    if (!mark) return image;
    ImagePtr layer = buildLayer(mark.get(), placeInArea(mark.get(), area, placement), width, height);
    if (!layer) return image;
    return compositeOver(std::move(image), layer.get());
}

// Any watermark, drawn or not, first takes the picture to 24 bits.
bool watermarkLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return choiceOf<WatermarkKind>(settings.DoWatermark) == WatermarkKind::None;
}
