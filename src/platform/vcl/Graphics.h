// Colours, bitmaps and canvases of the class-library stand-in.
#pragma once

#include "platform/windef.h"

#include <QImage>
#include <memory>
#include <string>

struct HDC__;
using HDC = HDC__*;

// Either an RGB value (0x00BBGGRR) or, with the top bit set, a system colour.
using TColor = std::int32_t;

constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clBtnFace = TColor(0x8000000F);
constexpr TColor clBtnShadow = TColor(0x80000010);
constexpr TColor clBtnHighlight = TColor(0x80000014);

// Resolves system colours through the application palette (fixed light-grey values before
// there is an application object).
COLORREF ColorToRGB(TColor color);

struct TRect {
    int Left;
    int Top;
    int Right;
    int Bottom;
};

// A canvas over a bitmap: white brush, black one-pixel pen and the default font,
// none of which the program changes.
class TCanvas {
public:
    explicit TCanvas(QImage* target);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc; }
    void FillRect(const TRect& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    // Used by the bitmap when it changes to one bit per pixel.
    void SetMonochrome(bool value);

private:
    HDC dc;
};

// A bitmap starts white.
class TBitmap {
public:
    TBitmap(int width, int height);
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }
    bool Monochrome() const { return monochrome; }
    // One bit per pixel from now on: every pixel is black or white.
    void SetMonochrome(bool value);
    TCanvas* Canvas() { return &canvas; }
    const QImage& Image() const { return image; }
    QImage& Image() { return image; }

private:
    QImage image;
    bool monochrome = false;
    TCanvas canvas;
};
