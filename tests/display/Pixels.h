// Small helpers for looking at what was painted.
#pragma once

#include "platform/windef.h"

#include <QImage>

inline QRgb ToPixel(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Pixels of the given colour inside [x0, x1) x [y0, y1).
inline int CountColour(const QImage& image, QRgb colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += image.pixel(x, y) == colour;
    return n;
}
