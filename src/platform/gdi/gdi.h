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
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;

constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

// hwnd must offer a drawing surface (a TPanel); anything else gives a null context, on which
// every call does nothing. Contexts and objects come from fixed pools, so getting and creating
// them never touches the heap; an exhausted pool answers null like a failed call.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
UINT SetTextAlign(HDC dc, UINT align);

// Every pen draws solid and one pixel wide: the program asks for nothing else.
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Refuses (FALSE) an object still selected into a context; stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ object);

namespace gdi {
// A context drawing on an image (a bitmap canvas); the caller owns the image, which is turned
// into 32-bit RGB if it is not already.
HDC CreateImageDC(QImage* target);
void DeleteImageDC(HDC dc);
// On a monochrome target every colour drawn becomes black or white, whichever is nearer.
void SetMonochrome(HDC dc, bool monochrome);
// Objects alive now (pens and brushes not deleted, contexts not released); tests check for leaks.
int LiveObjectCount();
} // namespace gdi
