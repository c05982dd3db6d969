#include "platform/vcl/ExtCtrls.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

QRgb ToQRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    // The surface covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetColor(TColor value) {
    // As in the class library, setting the colour it already has repaints nothing; the clip
    // lamp is set for every block.
    if (value == color)
        return;
    color = value;
    PaintFace();
    update();
}

void TPanel::SetBevelOuter(TBevelCut value) {
    if (value == bevelOuter)
        return;
    bevelOuter = value;
    PaintFace();
    update();
}

void TPanel::Repaint() {
    PaintFace();
    repaint();
}

QImage& TPanel::Surface() {
    if (surface.size() != size())
        PaintFace();
    return surface;
}

const QImage& TPanel::Surface() const {
    if (surface.size() != size())
        PaintFace();
    return surface;
}

void TPanel::SurfaceChanged() {
    update();
}

void TPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), Surface(), event->rect());
}

void TPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PaintFace();
}

void TPanel::PaintFace() const {
    const QSize wanted = size();
    if (surface.size() != wanted || surface.format() != QImage::Format_RGB32)
        surface = QImage(wanted, QImage::Format_RGB32);
    surface.fill(ToQRgb(ColorToRGB(color)));
    if (bevelOuter == TBevelCut::bvNone || surface.isNull())
        return;
    // A bevel one pixel wide: light on the top and left edges, shadow on the bottom and right.
    const int w = surface.width(), h = surface.height();
    const QRgb light =
        ToQRgb(ColorToRGB(bevelOuter == TBevelCut::bvRaised ? clBtnHighlight : clBtnShadow));
    const QRgb dark =
        ToQRgb(ColorToRGB(bevelOuter == TBevelCut::bvRaised ? clBtnShadow : clBtnHighlight));
    for (int x = 0; x < w; ++x) {
        surface.setPixel(x, 0, light);
        surface.setPixel(x, h - 1, dark);
    }
    for (int y = 0; y < h; ++y) {
        surface.setPixel(0, y, light);
        surface.setPixel(w - 1, y, dark);
    }
}

TImage::TImage(QWidget* parent) : QWidget(parent) {}

TImage::~TImage() = default;

TCanvas* TImage::Canvas() {
    if (!bitmap)
        bitmap = std::make_unique<TBitmap>(width(), height());
    return bitmap->Canvas();
}

void TImage::GrowBitmap(int width, int height) {
    const int w = bitmap ? std::max(width, bitmap->Width()) : width;
    const int h = bitmap ? std::max(height, bitmap->Height()) : height;
    if (bitmap && w == bitmap->Width() && h == bitmap->Height())
        return;
    const bool monochrome = bitmap && bitmap->Monochrome();
    bitmap = std::make_unique<TBitmap>(w, h);
    bitmap->SetMonochrome(monochrome);
    update();
}

void TImage::paintEvent(QPaintEvent* event) {
    if (!bitmap)
        return;
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), bitmap->Image(), event->rect());
}
