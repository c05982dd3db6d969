#include "display/AmplitudeScale.h"

#include "platform/gdi/gdi.h"

#include <cstdio>

namespace {

std::string Format(const char* format, int value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::vector<ScaleMark> AmplitudeScaleMarks(std::int32_t VScale, std::int32_t PixelDivisor,
                                           std::int32_t W, std::int32_t H) {
    std::vector<ScaleMark> marks;
    if (VScale > 0 && VScale <= 40) {
        for (std::int32_t off = 0; off <= 32768; off += 1024) {
            const std::int32_t h = (off * VScale / PixelDivisor) / 2;
            const std::int32_t y = H - 1 - h;
            ScaleMark mark;
            mark.HasTick = true;
            mark.From = POINT{W - 2, y};
            mark.To = POINT{off % 4096 == 0 ? W - 8 : W - 5, y};
            mark.Label = Format("%ik", off / 1024);
            mark.At = POINT{W - 10, H - 8 - h};
            marks.push_back(mark);
        }
    } else if (VScale > 40) {
        const double zeroDb = 16384.0 / PixelDivisor; // rows from the bottom row to 0 dB
        ScaleMark unit;
        unit.Label = "dBFS";
        unit.At = POINT{W - 8, LONG((H + 8) - zeroDb)};
        marks.push_back(unit);
        for (std::int32_t off = 0; off <= VScale; off += 10) {
            const double d = zeroDb * (1.0 - double(off) / VScale);
            const auto y = LONG((H - 1) - d);
            ScaleMark mark;
            mark.HasTick = true;
            mark.From = POINT{W - 2, y};
            mark.To = POINT{W - 6, y};
            mark.Label = Format("%i", -off);
            mark.At = POINT{W - 8, LONG((H - 8) - d)};
            marks.push_back(mark);
        }
    }
    return marks;
}

void DrawAmplitudeScale(TImage& image, std::int32_t VScale, std::int32_t PixelDivisor) {
    const std::int32_t W = image.width();
    const std::int32_t H = image.height();
    image.Canvas();
    PaintScale(*image.Bitmap(), W, H, TA_RIGHT | TA_TOP,
               AmplitudeScaleMarks(VScale, PixelDivisor, W, H));
    image.Changed();
}
