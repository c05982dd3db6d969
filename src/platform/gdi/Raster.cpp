#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

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

// The offsets t for which start + step * t lies in [0, size), intersected with [lo, hi].
bool LimitAxis(std::int64_t start, int step, std::int64_t size, Wide& lo, Wide& hi) {
    if (step > 0) {
        lo = std::max<Wide>(lo, -start);
        hi = std::min<Wide>(hi, size - 1 - start);
    } else {
        lo = std::max<Wide>(lo, start - (size - 1));
        hi = std::min<Wide>(hi, start);
    }
    return lo <= hi;
}

} // namespace

void RasterLine(QImage& image, POINT a, POINT b, QRgb colour) {
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t dy = std::int64_t(b.y) - a.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    // Major axis: n steps of one pixel; minor axis: offset m(i) = floor((2 i k + n) / 2n).
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t k = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (n == 0 || image.isNull())
        return;
    const std::int64_t major0 = xMajor ? a.x : a.y;
    const std::int64_t minor0 = xMajor ? a.y : a.x;
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const std::int64_t majorSize = xMajor ? image.width() : image.height();
    const std::int64_t minorSize = xMajor ? image.height() : image.width();

    Wide first = 0;
    Wide last = n - 1;
    if (!LimitAxis(major0, majorStep, majorSize, first, last))
        return;
    Wide mLo = std::numeric_limits<std::int64_t>::min();
    Wide mHi = std::numeric_limits<std::int64_t>::max();
    if (!LimitAxis(minor0, minorStep, minorSize, mLo, mHi))
        return;
    const Wide twoN = Wide(2) * n;
    if (k == 0) {
        if (mLo > 0 || mHi < 0)
            return;
    } else {
        // m(i) >= mLo  <=>  i >= ceil((2n mLo - n) / 2k);  m(i) <= mHi  <=>  i < (2n (mHi+1) - n) /
        // 2k.
        first = std::max(first, CeilDiv(twoN * mLo - n, Wide(2) * k));
        last = std::min(last, CeilDiv(twoN * (mHi + 1) - n, Wide(2) * k) - 1);
    }
    if (first > last)
        return;

    const Wide start = Wide(2) * first * k + n;
    std::int64_t m = std::int64_t(start / twoN);
    std::int64_t rem = std::int64_t(start % twoN);
    const std::int64_t twoK = 2 * k;
    const std::int64_t twoNn = 2 * n;
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const std::int64_t stride = image.bytesPerLine() / std::int64_t(sizeof(QRgb));
    for (std::int64_t i = std::int64_t(first); i <= std::int64_t(last); ++i) {
        const std::int64_t major = major0 + majorStep * i;
        const std::int64_t minor = minor0 + minorStep * m;
        if (xMajor)
            bits[minor * stride + major] = colour;
        else
            bits[major * stride + minor] = colour;
        rem += twoK;
        if (rem >= twoNn) {
            rem -= twoNn;
            ++m;
        }
    }
}

void RasterFill(QImage& image, const RECT& rect, QRgb colour) {
    const int left = std::max<LONG>(rect.left, 0);
    const int top = std::max<LONG>(rect.top, 0);
    const int right = std::min<LONG>(rect.right, image.width());
    const int bottom = std::min<LONG>(rect.bottom, image.height());
    if (left >= right || top >= bottom)
        return;
    for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + left, line + right, colour);
    }
}

} // namespace gdi
