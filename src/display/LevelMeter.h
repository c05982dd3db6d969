// The peak-level bar (the frame's peak-to-peak swing on a 48 dB scale, green below -6 dB and
// yellow above) and the clip lamp beside it.
#pragma once

#include "platform/vcl/ExtCtrls.h"
#include "platform/windef.h"

#include <cstdint>

constexpr COLORREF MeterGreen = RGB(0, 208, 96);
constexpr COLORREF MeterYellow = RGB(255, 255, 0);
constexpr COLORREF MeterBlack = RGB(0, 0, 0);
constexpr COLORREF ClipLampLit = RGB(255, 96, 96);

// 20 log10(swing / 65536) in single precision; a swing below 1 counts as 1.
float MeterLevel(std::int32_t SampleMax, std::int32_t SampleMin);

// (level / 48 + 1) * (W - 2), truncated; never below 0.
std::int32_t MeterLength(float level, std::int32_t W);

// The bar's three fills, in painting order; an empty fill has Left == Right. All run from row 1
// to H - 2 (exclusive); Yellow is filled only when HasYellow.
struct MeterFills {
    RECT Green;
    bool HasYellow;
    RECT Yellow;
    RECT Black;
};

MeterFills MeterGeometry(std::int32_t SampleMax, std::int32_t SampleMin, std::int32_t W,
                         std::int32_t H);

// Lights the lamp panel while the frame clips, otherwise gives it the button face.
void SetClipLamp(TPanel& lamp, bool Clipping);

// Paints the bar onto the panel.
void DrawLevelMeter(TPanel& bar, std::int32_t SampleMax, std::int32_t SampleMin);
