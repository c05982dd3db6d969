// Pixel-exact drawing into 32-bit images: the lines and fills behind every device context.
#pragma once

#include "platform/windef.h"

#include <QImage>

namespace gdi {

// A one-pixel line from a to b that leaves out b's pixel, cut at the image's edges however
// far outside they lie. Step i along the longer axis puts the shorter one at the nearest
// pixel, halves going away from a.
void RasterLine(QImage& image, POINT a, POINT b, QRgb colour);

// Fills left <= x < right, top <= y < bottom, cut at the image's edges.
void RasterFill(QImage& image, const RECT& rect, QRgb colour);

} // namespace gdi
