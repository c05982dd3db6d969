#include "display/ScaleMarks.h"

#include "platform/gdi/gdi.h"

void PaintScale(TBitmap& bitmap, int width, int height, UINT textAlign,
                const std::vector<ScaleMark>& marks) {
    TCanvas& canvas = *bitmap.Canvas();
    canvas.FillRect(TRect{0, 0, width, height});
    bitmap.SetMonochrome(true);
    SetTextAlign(canvas.Handle(), textAlign);
    for (const ScaleMark& mark : marks) {
        if (mark.HasTick) {
            canvas.MoveTo(mark.From.x, mark.From.y);
            canvas.LineTo(mark.To.x, mark.To.y);
        }
        if (!mark.Label.empty())
            canvas.TextOut(mark.At.x, mark.At.y, mark.Label);
    }
}
