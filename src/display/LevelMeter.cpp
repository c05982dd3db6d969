#include "display/LevelMeter.h"

#include "platform/gdi/gdi.h"

#include <cmath>

namespace {

constexpr double MeterSpan = 48.0;    // dB across the bar
constexpr float WarningLevel = -6.0f; // dB where yellow begins
constexpr double FullScale = 65536.0;

} // namespace

float MeterLevel(std::int32_t SampleMax, std::int32_t SampleMin) {
    // Wide, so that no pair of inputs overflows; a negative swing cannot reach log10.
    std::int64_t swing = std::int64_t(SampleMax) - SampleMin;
    if (swing < 1)
        swing = 1;
    return float(20.0 * std::log10(double(swing) / FullScale));
}

std::int32_t MeterLength(float level, std::int32_t W) {
    const auto length = std::int32_t((double(level) / MeterSpan + 1.0) * (W - 2));
    return length < 0 ? 0 : length;
}

MeterFills MeterGeometry(std::int32_t SampleMax, std::int32_t SampleMin, std::int32_t W,
                         std::int32_t H) {
    const float level = MeterLevel(SampleMax, SampleMin);
    const std::int32_t length = MeterLength(level, W);
    const LONG bottom = H - 2;
    MeterFills fills{};
    fills.HasYellow = !(level < WarningLevel);
    const LONG greenRight =
        fills.HasYellow ? LONG((double(WarningLevel) / MeterSpan + 1.0) * (W - 2) + 1) : length + 1;
    fills.Green = RECT{1, 1, greenRight, bottom};
    LONG left = greenRight;
    if (fills.HasYellow) {
        fills.Yellow = RECT{left, 1, length + 1, bottom};
        left = length + 1;
    }
    fills.Black = RECT{left, 1, W - 2, bottom};
    return fills;
}

void SetClipLamp(TPanel& lamp, bool Clipping) {
    lamp.SetColor(Clipping ? TColor(ClipLampLit) : clBtnFace);
}

void DrawLevelMeter(TPanel& bar, std::int32_t SampleMax, std::int32_t SampleMin) {
    const MeterFills fills = MeterGeometry(SampleMax, SampleMin, bar.width(), bar.height());
    HDC dc = GetDC(bar.Handle());
    HBRUSH green = CreateSolidBrush(MeterGreen);
    HBRUSH yellow = CreateSolidBrush(MeterYellow);
    HBRUSH black = CreateSolidBrush(MeterBlack);
    FillRect(dc, &fills.Green, green);
    if (fills.HasYellow)
        FillRect(dc, &fills.Yellow, yellow);
    FillRect(dc, &fills.Black, black);
    DeleteObject(green);
    DeleteObject(yellow);
    DeleteObject(black);
    ReleaseDC(bar.Handle(), dc);
}
