// What a scale bitmap shows, as plain data: ticks and labels in drawing order, and the painter
// that puts them on a canvas.
#pragma once

#include "platform/vcl/Graphics.h"
#include "platform/windef.h"

#include <string>
#include <vector>

// One step of a scale: a tick from From up to, not including, To, and a label whose anchor is
// At under the canvas's text alignment. Either may be absent.
struct ScaleMark {
    bool HasTick = false;
    POINT From{0, 0};
    POINT To{0, 0};
    std::string Label; // empty: no label
    POINT At{0, 0};
};

// Clears (0, 0)-(width, height) to white, makes the bitmap monochrome, sets the alignment and
// draws the marks in order.
void PaintScale(TBitmap& bitmap, int width, int height, UINT textAlign,
                const std::vector<ScaleMark>& marks);
