#include "platform/gdi/gdi.h"
#include "platform/vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

Pixels NonWhite(const QImage& image) {
    Pixels found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White)
                found.insert({x, y});
    return found;
}

// The line rule spelled out without any clipping: every step of the longer axis, the shorter
// one at floor((2 i k + n) / 2n), end pixel left out; then only what lies on the image.
Pixels ReferenceLine(POINT a, POINT b, int width, int height) {
    const std::int64_t dx = std::int64_t(b.x) - a.x, dy = std::int64_t(b.y) - a.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t k = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int sMajor = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int sMinor = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    Pixels pixels;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t m = (2 * i * k + n) / (2 * n);
        const std::int64_t x = xMajor ? a.x + sMajor * i : a.x + sMinor * m;
        const std::int64_t y = xMajor ? a.y + sMinor * m : a.y + sMajor * i;
        if (x >= 0 && x < width && y >= 0 && y < height)
            pixels.insert({int(x), int(y)});
    }
    return pixels;
}

class ImageDC : public ::testing::Test {
protected:
    void SetUp() override {
        image = QImage(64, 48, QImage::Format_RGB32);
        image.fill(White);
        dc = gdi::CreateImageDC(&image);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override { gdi::DeleteImageDC(dc); }

    QImage image;
    HDC dc = nullptr;
};

struct LineCase {
    POINT from, to;
    Pixels expected;
};

TEST_F(ImageDC, LinesLeaveOutTheirEndPixel) {
    const LineCase cases[] = {
        {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {{3, 6}, {3, 2}, {{3, 6}, {3, 5}, {3, 4}, {3, 3}}},
        {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{0, 0}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        {{10, 10}, {10, 10}, {}},
    };
    for (const LineCase& c : cases) {
        image.fill(White);
        MoveToEx(dc, c.from.x, c.from.y, nullptr);
        LineTo(dc, c.to.x, c.to.y);
        EXPECT_EQ(NonWhite(image), c.expected)
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
    }
}

TEST_F(ImageDC, LinesFarOutsideAreCutAtTheEdgesNotWrapped) {
    const std::pair<POINT, POINT> lines[] = {
        {{0, 47}, {2047, 47}},
        {{10, 10}, {2047, 30}},
        {{5, 40}, {6, -100000}},
        {{-3000, -50000}, {60, 20}},
        {{63, -1}, {-1, 47}},
        {{-100, 20}, {200, 21}},
        {{30, 2000000}, {31, -2000000}},
        {{70, 0}, {70, 47}},
        {{2047, -5}, {-2047, 90}},
        {{-5, 47}, {20, -100}},
        {{68, 47}, {40, -100}},
        {{-5, 0}, {20, 147}},
        {{68, 0}, {40, 147}},
        {{0, 30}, {60, 60}},
        {{40, 0}, {70, 47}},
        {{60, 30}, {0, 0}},
    };
    for (const auto& [from, to] : lines) {
        image.fill(White);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        EXPECT_EQ(NonWhite(image), ReferenceLine(from, to, image.width(), image.height()))
            << from.x << "," << from.y << " to " << to.x << "," << to.y;
    }
}

TEST_F(ImageDC, ContextStartsAtOriginWithBlackPenAndPolylineMovesOn) {
    LineTo(dc, 3, 0);
    EXPECT_EQ(image.pixel(0, 0), Black);
    EXPECT_EQ(image.pixel(2, 0), Black);
    EXPECT_EQ(image.pixel(3, 0), White);

    const POINT points[] = {{3, 5}, {8, 5}, {8, 9}};
    MoveToEx(dc, 3, 2, nullptr);
    ASSERT_TRUE(PolylineTo(dc, points, 3));
    POINT position{};
    MoveToEx(dc, 0, 0, &position);
    EXPECT_EQ(position.x, 8);
    EXPECT_EQ(position.y, 9);
    EXPECT_EQ(image.pixel(3, 2), Black); // from the current position
    EXPECT_EQ(image.pixel(7, 5), Black);
    EXPECT_EQ(image.pixel(8, 8), Black);
    EXPECT_EQ(image.pixel(8, 9), White); // the last point itself
}

TEST_F(ImageDC, FillRectCoversLeftTopUpToRightBottom) {
    const RECT rects[] = {{2, 3, 7, 9}, {-5, -5, 3, 2}, {60, 40, 200, 100},
                          {5, 5, 5, 9}, {9, 9, 4, 4},   {-100, 10, 100, 11}};
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    for (const RECT& r : rects) {
        image.fill(White);
        FillRect(dc, &r, brush);
        Pixels expected;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                    expected.insert({x, y});
        EXPECT_EQ(NonWhite(image), expected)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        if (!expected.empty()) {
            EXPECT_EQ(image.pixel(expected.begin()->first, expected.begin()->second),
                      qRgb(10, 20, 30));
        }
    }
    DeleteObject(brush);
}

TEST_F(ImageDC, SelectObjectAnswersWhatItReplaced) {
    HPEN red = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
    HPEN blue = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(dc, red), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, blue), red);
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 2, 1);
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));

    EXPECT_FALSE(DeleteObject(blue)) << "still selected";
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), blue);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush)) << "already gone";
}

TEST(Gdi, LiveObjectsCountPensBrushesAndContexts) {
    const int before = gdi::LiveObjectCount();
    QImage image(4, 4, QImage::Format_RGB32);
    HDC dc = gdi::CreateImageDC(&image);
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ stock = GetStockObject(WHITE_BRUSH);
    EXPECT_EQ(gdi::LiveObjectCount(), before + 3);
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), stock) << "stock objects survive deletion";
    DeleteObject(pen);
    DeleteObject(brush);
    gdi::DeleteImageDC(dc);
    EXPECT_EQ(gdi::LiveObjectCount(), before);
}

TEST(Gdi, WindowContextDrawsOnPanelSurfaceClippedToIt) {
    TPanel panel(nullptr);
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(clWhite);
    panel.resize(20, 10);
    const int before = gdi::LiveObjectCount();
    HDC dc = GetDC(panel.Handle());
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(gdi::LiveObjectCount(), before + 1);
    const RECT all{-50, -50, 500, 500};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(ReleaseDC(panel.Handle(), dc), 1);
    EXPECT_EQ(gdi::LiveObjectCount(), before);
    const QImage& surface = panel.Surface();
    ASSERT_EQ(surface.size(), QSize(20, 10));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(surface.pixel(x, y), Black) << x << "," << y;
}

TEST(Gdi, WindowsWithoutSurfaceGiveNullContextsThatDoNothing) {
    QWidget plain;
    HDC dc = GetDC(&plain);
    EXPECT_EQ(dc, nullptr);
    EXPECT_FALSE(LineTo(dc, 5, 5));
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(ReleaseDC(&plain, dc), 0);
}

TEST_F(ImageDC, TextSitsOnAnOpaqueBoxPlacedByTheAlignment) {
    const UINT aligns[] = {TA_LEFT | TA_TOP, TA_RIGHT | TA_TOP, TA_CENTER | TA_TOP};
    for (UINT align : aligns) {
        image.fill(Black);
        SetTextAlign(dc, align);
        ASSERT_TRUE(TextOutA(dc, 32, 5, "12k", 3));
        // The box is where white appears on the black ground.
        int left = 1000, right = -1, top = 1000, bottom = -1, ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == White) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                ink += image.pixel(x, y) == Black;
        const int width = right - left + 1;
        EXPECT_EQ(top, 5) << align;
        EXPECT_EQ(bottom - top + 1, 13) << align;
        EXPECT_GT(width, 10) << align;
        const int expectedLeft = align == TA_RIGHT    ? 32 - width
                                 : align == TA_CENTER ? 32 - width / 2
                                                      : 32;
        EXPECT_EQ(left, expectedLeft) << align;
        EXPECT_GT(ink, 5) << align;
    }
}

TEST_F(ImageDC, MonochromeTargetsKeepOnlyBlackAndWhite) {
    gdi::SetMonochrome(dc, true);
    HPEN red = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, red);
    MoveToEx(dc, 0, 30, nullptr);
    LineTo(dc, 60, 30);
    TextOutA(dc, 2, 2, "22kHz", 5);
    SelectObject(dc, old);
    DeleteObject(red);
    EXPECT_EQ(image.pixel(10, 30), Black);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_TRUE(image.pixel(x, y) == Black || image.pixel(x, y) == White) << x << "," << y;
}

} // namespace
