#include "platform/gdi/gdi.h"
#include "platform/vcl/ExtCtrls.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

QRgb Face(TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Marks the surface so that a later reset shows.
void Scribble(TPanel& panel) {
    HDC dc = GetDC(panel.Handle());
    const RECT r{2, 2, 6, 5};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(panel.Handle(), dc);
}

bool Scribbled(TPanel& panel) {
    return panel.Surface().pixel(3, 3) == qRgb(0, 0, 0);
}

TEST(ColorToRGB, PassesPlainColoursAndResolvesTheButtonFace) {
    EXPECT_EQ(ColorToRGB(TColor(RGB(255, 96, 96))), RGB(255, 96, 96));
    EXPECT_EQ(ColorToRGB(clWhite), RGB(255, 255, 255));
    const QColor button = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(ColorToRGB(clBtnFace),
              RGB(BYTE(button.red()), BYTE(button.green()), BYTE(button.blue())));
}

TEST(TPanel, FaceHasARaisedOnePixelBevelUnlessNone) {
    TPanel panel(nullptr);
    panel.resize(12, 7);
    const QImage& raised = panel.Surface();
    ASSERT_EQ(raised.size(), QSize(12, 7));
    EXPECT_EQ(raised.pixel(0, 0), Face(clBtnHighlight));
    EXPECT_EQ(raised.pixel(5, 0), Face(clBtnHighlight));
    EXPECT_EQ(raised.pixel(0, 4), Face(clBtnHighlight));
    EXPECT_EQ(raised.pixel(11, 3), Face(clBtnShadow));
    EXPECT_EQ(raised.pixel(5, 6), Face(clBtnShadow));
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 11; ++x)
            ASSERT_EQ(raised.pixel(x, y), Face(clBtnFace)) << x << "," << y;

    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(clWhite);
    const QImage& plain = panel.Surface();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(plain.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(TPanel, ResizeRepaintAndColourChangeResetTheSurface) {
    TPanel panel(nullptr);
    panel.resize(20, 10);
    panel.show();

    Scribble(panel);
    panel.resize(24, 12);
    EXPECT_FALSE(Scribbled(panel));
    EXPECT_EQ(panel.Surface().size(), QSize(24, 12));

    Scribble(panel);
    panel.Repaint();
    EXPECT_FALSE(Scribbled(panel));

    Scribble(panel);
    panel.SetColor(TColor(RGB(0, 0, 255)));
    EXPECT_FALSE(Scribbled(panel));
    EXPECT_EQ(panel.Surface().pixel(5, 5), qRgb(0, 0, 255));

    Scribble(panel);
    panel.SetColor(TColor(RGB(0, 0, 255)));
    EXPECT_TRUE(Scribbled(panel)) << "the colour it already has changes nothing";
}

TEST(TPanel, PaintEventsShowTheSurfaceWithoutErasingIt) {
    TPanel panel(nullptr);
    panel.resize(20, 10);
    panel.show();
    QApplication::processEvents();
    Scribble(panel);
    QApplication::processEvents();
    // grab() renders through the paint event.
    const QImage shown = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(Scribbled(panel));
    ASSERT_EQ(shown.size(), QSize(20, 10));
    EXPECT_EQ(shown, panel.Surface());
}

TEST(TImage, BitmapIsMadeAtTheControlSizeOnFirstCanvasUse) {
    TImage image(nullptr);
    image.resize(40, 1200);
    EXPECT_EQ(image.Bitmap(), nullptr);
    TCanvas* canvas = image.Canvas();
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(image.Canvas(), canvas);
    image.resize(40, 391);
    image.Canvas();
    EXPECT_EQ(image.Bitmap()->Width(), 40);
    EXPECT_EQ(image.Bitmap()->Height(), 1200);
    EXPECT_EQ(image.Bitmap()->Image().pixel(20, 1000), qRgb(255, 255, 255));
}

TEST(TImage, GrowBitmapNeverShrinksAndKeepsMonochrome) {
    TImage image(nullptr);
    image.resize(1600, 33);
    image.Canvas();
    image.Bitmap()->SetMonochrome(true);
    image.GrowBitmap(2000, 20);
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(image.Bitmap()->Width(), 2000);
    EXPECT_EQ(image.Bitmap()->Height(), 33);
    EXPECT_TRUE(image.Bitmap()->Monochrome());
    image.Canvas()->MoveTo(1900, 1);
    image.Canvas()->LineTo(1950, 1);
    EXPECT_EQ(image.Bitmap()->Image().pixel(1920, 1), qRgb(0, 0, 0));
}

TEST(TCanvas, DrawsWithBlackPenAndWhiteBrush) {
    TBitmap bitmap(16, 8);
    TCanvas& canvas = *bitmap.Canvas();
    const RECT all{0, 0, 16, 8};
    FillRect(canvas.Handle(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    canvas.FillRect(TRect{1, 1, 5, 4});
    canvas.MoveTo(10, 6);
    canvas.LineTo(10, 1);
    const QImage& im = bitmap.Image();
    EXPECT_EQ(im.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(im.pixel(4, 3), qRgb(255, 255, 255));
    EXPECT_EQ(im.pixel(5, 3), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(4, 4), qRgb(0, 0, 0));
    canvas.FillRect(TRect{8, 0, 12, 8});
    canvas.MoveTo(10, 6);
    canvas.LineTo(10, 1);
    EXPECT_EQ(im.pixel(10, 6), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(10, 2), qRgb(0, 0, 0));
    EXPECT_EQ(im.pixel(10, 1), qRgb(255, 255, 255));
}

} // namespace
