#include "display/FrequencyScale.h"

#include "platform/gdi/gdi.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double BinsPerHertz = 0.09287981859410430839; // 4096 / 44100

std::string Format(const char* format, int value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::int32_t FrequencyColumn(std::int32_t f, std::int32_t HScale) {
    if (HScale == -1)
        return f <= 50 ? 0 : std::int32_t(128.0 * std::log(double(f / 20)));
    return std::int32_t(f * BinsPerHertz / HScale);
}

std::vector<ScaleMark> FrequencyScaleMarks(std::int32_t HScale, std::int32_t x0) {
    std::vector<ScaleMark> marks;
    for (std::int32_t f = 0; f <= 22100; f += 100) {
        const LONG X = x0 + FrequencyColumn(f, HScale);
        ScaleMark mark;
        mark.From = POINT{X, 2};
        mark.At = POINT{X, 10};
        if (HScale == -1) {
            if (f < 5000 || f % 1000 == 0) {
                mark.HasTick = true;
                mark.To = POINT{X, 8};
            }
            if (f == 100 || f == 200 || f == 500)
                mark.Label = Format("%iHz", f);
            else if (f == 1000 || f == 2000 || f == 3000 || f == 5000 || f == 7000 || f == 10000 ||
                     f == 15000 || f == 22000)
                mark.Label = Format("%ikHz", f / 1000);
        } else {
            mark.HasTick = true;
            if (f % 1000 != 0) {
                mark.To = POINT{X, 5};
            } else {
                mark.To = POINT{X, 8};
                if (!(HScale == 3 && f % 2000 == 1000))
                    mark.Label = Format("%ikHz", f / 1000);
            }
        }
        marks.push_back(mark);
    }
    return marks;
}

void DrawFrequencyScale(TImage& image, std::int32_t HScale, std::int32_t x0) {
    image.Canvas();
    TBitmap& bitmap = *image.Bitmap();
    PaintScale(bitmap, bitmap.Width(), image.height(), TA_CENTER | TA_TOP,
               FrequencyScaleMarks(HScale, x0));
    image.Changed();
}
