// Pixel-exact drawing into 32-bit images: the lines and fills behind every device context.
#pragma once

#include "platform/windef.h"

#include <QImage>
#include <cstdint>

namespace gdi {

// The pixels of a 32-bit image, looked up once for a run of drawing calls.
struct RasterTarget {
    QRgb* bits = nullptr;
    std::int64_t stride = 0; // pixels per row
    int width = 0;
    int height = 0;

    static RasterTarget Of(QImage& image);
};

// A one-pixel line from a to b that leaves out b's pixel, cut at the image's edges however
// far outside they lie. Step i along the longer axis puts the shorter one at the nearest
// pixel, halves going away from a.
void RasterLine(const RasterTarget& target, POINT a, POINT b, QRgb colour);
inline void RasterLine(QImage& image, POINT a, POINT b, QRgb colour) {
    RasterLine(RasterTarget::Of(image), a, b, colour);
}

// Fills left <= x < right, top <= y < bottom, cut at the image's edges.
void RasterFill(const RasterTarget& target, const RECT& rect, QRgb colour);
inline void RasterFill(QImage& image, const RECT& rect, QRgb colour) {
    RasterFill(RasterTarget::Of(image), rect, colour);
}

} // namespace gdi
