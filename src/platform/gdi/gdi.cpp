#include "platform/gdi/gdi.h"

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/Raster.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <iterator>

struct HGDIOBJ__ {
    enum class Kind { Free, Pen, Brush };
    Kind kind = Kind::Free;
    bool stock = false;
    COLORREF colour = 0;
    int selections = 0; // contexts that hold it now; it cannot be deleted meanwhile
};

struct HDC__ {
    bool inUse = false;
    QWidget* window = nullptr; // set for contexts from GetDC
    QImage* target = nullptr;
    bool monochrome = false;
    POINT position{0, 0};
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    UINT textAlign = TA_LEFT | TA_TOP;
};

namespace {

// Everything here runs on the GUI thread only, as all drawing does.
HGDIOBJ__ stockWhiteBrush{HGDIOBJ__::Kind::Brush, true, RGB(255, 255, 255), 0};
HGDIOBJ__ stockBlackBrush{HGDIOBJ__::Kind::Brush, true, RGB(0, 0, 0), 0};
HGDIOBJ__ stockWhitePen{HGDIOBJ__::Kind::Pen, true, RGB(255, 255, 255), 0};
HGDIOBJ__ stockBlackPen{HGDIOBJ__::Kind::Pen, true, RGB(0, 0, 0), 0};

HDC__ contexts[256];
HGDIOBJ__ objects[1024];
int liveContexts = 0;
int liveObjects = 0;

template <class T, std::size_t N> bool InPool(const T* p, T (&pool)[N]) {
    return std::less_equal<const T*>()(std::begin(pool), p) &&
           std::less<const T*>()(p, std::end(pool));
}

HDC__* Valid(HDC dc) {
    return dc && InPool(dc, contexts) && dc->inUse ? dc : nullptr;
}

HGDIOBJ__* ValidObject(HGDIOBJ object) {
    if (object == &stockWhiteBrush || object == &stockBlackBrush || object == &stockWhitePen ||
        object == &stockBlackPen)
        return object;
    return object && InPool(object, objects) && object->kind != HGDIOBJ__::Kind::Free ? object
                                                                                      : nullptr;
}

HDC OpenContext(QImage* target, QWidget* window) {
    if (!target)
        return nullptr;
    auto* dc = std::find_if(std::begin(contexts), std::end(contexts),
                            [](const HDC__& c) { return !c.inUse; });
    if (dc == std::end(contexts))
        return nullptr;
    if (target->format() != QImage::Format_RGB32 && target->format() != QImage::Format_ARGB32)
        *target = target->convertToFormat(QImage::Format_RGB32);
    *dc = HDC__{};
    dc->inUse = true;
    dc->window = window;
    dc->target = target;
    dc->pen = &stockBlackPen;
    dc->brush = &stockWhiteBrush;
    ++liveContexts;
    return dc;
}

void Deselect(HGDIOBJ object) {
    if (!object->stock)
        --object->selections;
}

void CloseContext(HDC__* dc) {
    Deselect(dc->pen);
    Deselect(dc->brush);
    *dc = HDC__{};
    --liveContexts;
}

HGDIOBJ NewObject(HGDIOBJ__::Kind kind, COLORREF colour) {
    auto* object = std::find_if(std::begin(objects), std::end(objects),
                                [](const HGDIOBJ__& o) { return o.kind == HGDIOBJ__::Kind::Free; });
    if (object == std::end(objects))
        return nullptr;
    *object = HGDIOBJ__{kind, false, colour, 0};
    ++liveObjects;
    return object;
}

// A monochrome target keeps only black and white: a colour becomes the nearer of the two.
QRgb Pixel(const HDC__& dc, COLORREF colour) {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    if (dc.monochrome)
        return (r * 299 + g * 587 + b * 114) >= 128 * 1000 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    return qRgb(r, g, b);
}

// The stand-in for the 8-point default face: 11-pixel DejaVu Sans in 13-pixel lines, without
// antialiasing so that bitmaps stay black and white.
const QFont& TextFont() {
    static const QFont font = [] {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }();
    return font;
}

constexpr int TextLineHeight = 13;

} // namespace

HDC GetDC(HWND hwnd) {
    auto* window = dynamic_cast<gdi::DrawingSurface*>(hwnd);
    if (!window)
        return nullptr;
    HDC dc = OpenContext(&window->Surface(), hwnd);
    if (dc)
        window->SurfaceChanged();
    return dc;
}

int ReleaseDC(HWND hwnd, HDC dc) {
    HDC__* c = Valid(dc);
    if (!c || !c->window || c->window != hwnd)
        return 0;
    CloseContext(c);
    return 1;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    HDC__* c = Valid(dc);
    if (!c)
        return FALSE;
    if (previous)
        *previous = c->position;
    c->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    HDC__* c = Valid(dc);
    if (!c)
        return FALSE;
    const POINT to{x, y};
    gdi::RasterLine(*c->target, c->position, to, Pixel(*c, c->pen->colour));
    c->position = to;
    return TRUE;
}

BOOL PolylineTo(HDC dc, const POINT* points, DWORD count) {
    HDC__* c = Valid(dc);
    if (!c || (!points && count > 0))
        return FALSE;
    const QRgb colour = Pixel(*c, c->pen->colour);
    const auto target = gdi::RasterTarget::Of(*c->target);
    for (DWORD i = 0; i < count; ++i) {
        gdi::RasterLine(target, c->position, points[i], colour);
        c->position = points[i];
    }
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    HDC__* c = Valid(dc);
    HGDIOBJ__* b = ValidObject(brush);
    if (!c || !rect || !b || b->kind != HGDIOBJ__::Kind::Brush)
        return 0;
    gdi::RasterFill(*c->target, *rect, Pixel(*c, b->colour));
    return 1;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    HDC__* c = Valid(dc);
    if (!c || !text || length < 0)
        return FALSE;
    const QString s = QString::fromLatin1(text, length);
    const QFontMetrics metrics(TextFont());
    const int width = metrics.horizontalAdvance(s);
    int left = x;
    if ((c->textAlign & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (c->textAlign & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((c->textAlign & TA_BASELINE) == TA_BASELINE)
        top = y - metrics.ascent();
    else if (c->textAlign & TA_BOTTOM)
        top = y - TextLineHeight;
    const QRect box(left, top, width, TextLineHeight);
    {
        QPainter painter(c->target);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        // Opaque text: the box takes the background colour, white as the contexts start.
        painter.fillRect(box, QColor(Pixel(*c, RGB(255, 255, 255))));
        painter.setPen(QColor(Pixel(*c, RGB(0, 0, 0))));
        painter.setFont(TextFont());
        painter.drawText(left, top + metrics.ascent(), s);
    }
    if (c->monochrome) {
        const QRect inside = box.intersected(c->target->rect());
        for (int row = inside.top(); row <= inside.bottom(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(c->target->scanLine(row));
            for (int col = inside.left(); col <= inside.right(); ++col)
                line[col] = qGray(line[col]) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
    }
    return TRUE;
}

UINT SetTextAlign(HDC dc, UINT align) {
    HDC__* c = Valid(dc);
    if (!c)
        return GDI_ERROR;
    const UINT previous = c->textAlign;
    c->textAlign = align;
    return previous;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    (void)style;
    (void)width;
    return NewObject(HGDIOBJ__::Kind::Pen, color);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return NewObject(HGDIOBJ__::Kind::Brush, color);
}

HGDIOBJ GetStockObject(int which) {
    switch (which) {
    case WHITE_BRUSH:
        return &stockWhiteBrush;
    case BLACK_BRUSH:
        return &stockBlackBrush;
    case WHITE_PEN:
        return &stockWhitePen;
    case BLACK_PEN:
        return &stockBlackPen;
    default:
        return nullptr;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    HDC__* c = Valid(dc);
    HGDIOBJ__* o = ValidObject(object);
    if (!c || !o)
        return nullptr;
    HGDIOBJ& slot = o->kind == HGDIOBJ__::Kind::Pen ? c->pen : c->brush;
    HGDIOBJ previous = slot;
    if (!o->stock)
        ++o->selections;
    Deselect(previous);
    slot = o;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    HGDIOBJ__* o = ValidObject(object);
    if (!o || o->selections > 0)
        return FALSE;
    if (!o->stock) {
        *o = HGDIOBJ__{};
        --liveObjects;
    }
    return TRUE;
}

namespace gdi {

HDC CreateImageDC(QImage* target) {
    return OpenContext(target, nullptr);
}

void DeleteImageDC(HDC dc) {
    HDC__* c = Valid(dc);
    if (c && !c->window)
        CloseContext(c);
}

void SetMonochrome(HDC dc, bool monochrome) {
    if (HDC__* c = Valid(dc))
        c->monochrome = monochrome;
}

int LiveObjectCount() {
    return liveContexts + liveObjects;
}

} // namespace gdi
