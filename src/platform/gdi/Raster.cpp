#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gdi {
namespace {

// Products of a coordinate span and a pixel count can pass 64 bits for far-out points.
using Wide = __int128;

Wide CeilDiv(Wide p, Wide q) { // q > 0
    Wide d = p / q;
    if (p % q != 0 && p > 0)
        ++d;
    return d;
}

// Narrows [lo, hi] to the offsets t for which start + step * t lies in [0, size).
bool LimitAxis(std::int64_t start, int step, std::int64_t size, std::int64_t& lo,
               std::int64_t& hi) {
    if (step > 0) {
        lo = std::max(lo, -start);
        hi = std::min(hi, size - 1 - start);
    } else {
        lo = std::max(lo, start - (size - 1));
        hi = std::min(hi, start);
    }
    return lo <= hi;
}

} // namespace

RasterTarget RasterTarget::Of(QImage& image) {
    RasterTarget t;
    if (image.isNull() || image.depth() != 32)
        return t;
    t.bits = reinterpret_cast<QRgb*>(image.bits());
    t.stride = image.bytesPerLine() / std::int64_t(sizeof(QRgb));
    t.width = image.width();
    t.height = image.height();
    return t;
}

void RasterLine(const RasterTarget& target, POINT a, POINT b, QRgb colour) {
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t dy = std::int64_t(b.y) - a.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    // Major axis: n steps of one pixel; minor axis: offset m(i) = floor((2 i k + n) / 2n).
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t k = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (n == 0 || !target.bits)
        return;
    const std::int64_t major0 = xMajor ? a.x : a.y;
    const std::int64_t minor0 = xMajor ? a.y : a.x;
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const std::int64_t majorSize = xMajor ? target.width : target.height;
    const std::int64_t minorSize = xMajor ? target.height : target.width;

    std::int64_t first = 0, last = n - 1;
    std::int64_t mLo = 0, mHi = k;
    if (!LimitAxis(major0, majorStep, majorSize, first, last) ||
        !LimitAxis(minor0, minorStep, minorSize, mLo, mHi))
        return;
    // Only a minor-axis edge that the line crosses costs divisions.
    // m(i) >= mLo  <=>  i >= ceil((2n mLo - n) / 2k);  m(i) <= mHi  <=>  i < (2n (mHi+1) - n) / 2k.
    if (mLo > 0)
        first = std::max<std::int64_t>(first,
                                       std::int64_t(CeilDiv(Wide(2) * n * mLo - n, Wide(2) * k)));
    if (mHi < k)
        last = std::min<std::int64_t>(
            last, std::int64_t(CeilDiv(Wide(2) * n * (mHi + 1) - n, Wide(2) * k) - 1));
    if (first > last)
        return;

    const std::int64_t twoN = 2 * n, twoK = 2 * k;
    std::int64_t m = 0, rem = n;
    if (first > 0) {
        const Wide start = Wide(2) * first * k + n;
        m = std::int64_t(start / twoN);
        rem = std::int64_t(start % twoN);
    }
    // Walk with a pointer: one step along the major axis, one more along the minor one when
    // the remainder overflows.
    const std::int64_t majorDelta = xMajor ? majorStep : majorStep * target.stride;
    const std::int64_t minorDelta = xMajor ? minorStep * target.stride : minorStep;
    const std::int64_t x = xMajor ? major0 + majorStep * first : minor0 + minorStep * m;
    const std::int64_t y = xMajor ? minor0 + minorStep * m : major0 + majorStep * first;
    QRgb* p = target.bits + y * target.stride + x;
    // Advances only between pixels, so the pointer never leaves the image.
    for (std::int64_t i = first;; ++i) {
        *p = colour;
        if (i == last)
            break;
        p += majorDelta;
        rem += twoK;
        if (rem >= twoN) {
            rem -= twoN;
            p += minorDelta;
        }
    }
}

void RasterFill(const RasterTarget& target, const RECT& rect, QRgb colour) {
    const int left = std::max<LONG>(rect.left, 0);
    const int top = std::max<LONG>(rect.top, 0);
    const int right = std::min<LONG>(rect.right, target.width);
    const int bottom = std::min<LONG>(rect.bottom, target.height);
    if (!target.bits || left >= right || top >= bottom)
        return;
    // Row by row through the library's block fills and copies, which beat a loop of single
    // stores several times over; the trace erases a quarter of a megabyte per block.
    const std::size_t bytes = std::size_t(right - left) * sizeof(QRgb);
    QRgb* firstRow = target.bits + top * target.stride + left;
    const unsigned char byte = colour & 0xFF;
    if (colour == QRgb(byte) * 0x01010101u) {
        for (int y = top; y < bottom; ++y)
            std::memset(target.bits + y * target.stride + left, byte, bytes);
        return;
    }
    std::fill(firstRow, firstRow + (right - left), colour);
    for (int y = top + 1; y < bottom; ++y)
        std::memcpy(target.bits + y * target.stride + left, firstRow, bytes);
}

} // namespace gdi
