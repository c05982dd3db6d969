#include "display/Trace.h"

#include "platform/gdi/gdi.h"

#include <cmath>

std::int32_t TraceColumn(std::int32_t k, std::int32_t HScale) {
    if (HScale == -1) {
        if (k < 3)
            return 0;
        // 10.7666015625 Hz per bin, and 0.05 = 1 / 20 Hz.
        return std::int32_t(128.0 * std::log(double(k) * 10.7666015625 * 0.05));
    }
    return k / HScale;
}

std::int32_t TraceRow(std::int32_t v, std::int32_t H, std::int32_t PixelDivisor) {
    return (H - 1) - v / PixelDivisor;
}

void TraceSliceGeometry(const std::int32_t* DisplayValues, int slice, std::int32_t HScale,
                        std::int32_t PixelDivisor, std::int32_t H, TraceSlice& out) {
    const int s = slice * TraceSlicePoints;
    for (int i = 0; i < TraceSlicePoints; ++i) {
        const std::int32_t k = s + i;
        out.Points[i] = POINT{TraceColumn(k, HScale), TraceRow(DisplayValues[k], H, PixelDivisor)};
    }
    // Right edge one past the last point's column plus one, so that column is cleared too.
    out.Erase = RECT{out.Points[0].x, 0, out.Points[TraceSlicePoints - 1].x + 2, H};
}

void DrawTrace(TPanel& panel, const std::int32_t* DisplayValues, bool Clipping, std::int32_t HScale,
               std::int32_t PixelDivisor) {
    HDC dc = GetDC(panel.Handle());
    const std::int32_t H = panel.height();
    MoveToEx(dc, 0, H - 1, nullptr);
    HPEN redPen = nullptr;
    HGDIOBJ keptPen = nullptr;
    if (Clipping) {
        redPen = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
        keptPen = SelectObject(dc, redPen);
    }
    auto* white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    TraceSlice slice;
    for (int n = 0; n < TraceSlices; ++n) {
        TraceSliceGeometry(DisplayValues, n, HScale, PixelDivisor, H, slice);
        FillRect(dc, &slice.Erase, white);
        PolylineTo(dc, slice.Points, TraceSlicePoints);
    }
    if (redPen) {
        SelectObject(dc, keptPen);
        DeleteObject(redPen);
    }
    ReleaseDC(panel.Handle(), dc);
}
