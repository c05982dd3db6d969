// The spectrum trace: one poly-line of 2048 points painted straight onto the trace panel, 64
// bins at a time, each slice erasing exactly the columns it is about to draw.
#pragma once

#include "platform/vcl/ExtCtrls.h"
#include "platform/windef.h"

#include <cstdint>

constexpr int TraceBins = 2048;
constexpr int TraceSlicePoints = 64;
constexpr int TraceSlices = TraceBins / TraceSlicePoints;

// Column of bin k: k / HScale for HScale 1, 2 or 3; for -1, 128 ln(f / 20 Hz), bins 0..2 at 0.
// HScale is one of those four codes.
std::int32_t TraceColumn(std::int32_t k, std::int32_t HScale);

// Row of display value v on a panel H pixels high: (H - 1) - v / PixelDivisor, unclamped.
std::int32_t TraceRow(std::int32_t v, std::int32_t H, std::int32_t PixelDivisor);

// One slice: the 64 points of bins s .. s + 63 and the rectangle erased before drawing them.
struct TraceSlice {
    POINT Points[TraceSlicePoints];
    RECT Erase;
};

// Slice number `slice` (0 .. 31) of a block.
void TraceSliceGeometry(const std::int32_t* DisplayValues, int slice, std::int32_t HScale,
                        std::int32_t PixelDivisor, std::int32_t H, TraceSlice& out);

// Paints the block on the panel: black, or red while the block clips.
void DrawTrace(TPanel& panel, const std::int32_t* DisplayValues, bool Clipping, std::int32_t HScale,
               std::int32_t PixelDivisor);
