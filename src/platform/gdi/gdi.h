// The graphics-interface calls the display code makes, over a panel's screen surface or a
// bitmap. Lines leave out their end pixel; FillRect fills left <= x < right, top <= y < bottom;
// everything is clipped to the target.
#pragma once

#include "platform/vcl/Graphics.h"
#include "platform/windef.h"

struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;

constexpr int PS_SOLID = 0;
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int BLACK_PEN = 7;

constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;

// hwnd must be a TPanel; anything else gives a null context, on which every call does nothing.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
UINT SetTextAlign(HDC dc, UINT align);

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);

namespace gdi {
// A context drawing on an image (a bitmap canvas); the caller owns the image.
HDC CreateImageDC(QImage* target);
void DeleteImageDC(HDC dc);
// Objects alive now (pens and brushes not deleted, contexts not released); tests check for leaks.
int LiveObjectCount();
} // namespace gdi
