#include "platform/vcl/Graphics.h"

#include "platform/gdi/gdi.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace {

COLORREF FromQColor(const QColor& c) {
    return RGB(BYTE(c.red()), BYTE(c.green()), BYTE(c.blue()));
}

} // namespace

COLORREF ColorToRGB(TColor color) {
    if (color >= 0)
        return COLORREF(color) & 0x00FFFFFF;
    const int index = color & 0xFF;
    constexpr int COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
                  COLOR_BTNTEXT = 18, COLOR_BTNHIGHLIGHT = 20;
    if (!qGuiApp) {
        switch (index) {
        case COLOR_WINDOW:
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        case COLOR_BTNSHADOW:
            return RGB(160, 160, 160);
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        default:
            return RGB(240, 240, 240);
        }
    }
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case COLOR_WINDOW:
        return FromQColor(palette.color(QPalette::Base));
    case COLOR_WINDOWTEXT:
        return FromQColor(palette.color(QPalette::Text));
    case COLOR_BTNSHADOW:
        return FromQColor(palette.color(QPalette::Dark));
    case COLOR_BTNTEXT:
        return FromQColor(palette.color(QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT:
        return FromQColor(palette.color(QPalette::Light));
    case COLOR_BTNFACE:
    default:
        return FromQColor(palette.color(QPalette::Button));
    }
}

TCanvas::TCanvas(QImage* target) : dc(gdi::CreateImageDC(target)) {}

TCanvas::~TCanvas() {
    gdi::DeleteImageDC(dc);
}

void TCanvas::FillRect(const TRect& rect) {
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    // The canvas brush is the context's own, which nothing changes: white.
    ::FillRect(dc, &r, GetStockObject(WHITE_BRUSH));
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    ::LineTo(dc, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    TextOutA(dc, x, y, text.c_str(), int(text.size()));
}

void TCanvas::SetMonochrome(bool value) {
    gdi::SetMonochrome(dc, value);
}

TBitmap::TBitmap(int width, int height)
    : image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32), canvas(&image) {
    image.fill(qRgb(255, 255, 255));
}

void TBitmap::SetMonochrome(bool value) {
    if (value && !monochrome) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qGray(line[x]) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
    }
    monochrome = value;
    canvas.SetMonochrome(value);
}
