#include "display/Trace.h"
#include "display/Pixels.h"

#include "platform/gdi/gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;

using Values = std::array<std::int32_t, TraceBins>;

struct ColumnCase {
    std::int32_t k, HScale, x;
};

TEST(TraceColumn, FollowsEachHorizontalScale) {
    const ColumnCase cases[] = {
        {0, 1, 0},      {63, 1, 63},    {64, 1, 64},     {2047, 1, 2047}, {0, 2, 0},
        {63, 2, 31},    {64, 2, 32},    {2047, 2, 1023}, {63, 3, 21},     {64, 3, 21},
        {2047, 3, 682}, {0, -1, 0},     {1, -1, 0},      {2, -1, 0},      {3, -1, 61},
        {4, -1, 98},    {5, -1, 126},   {6, -1, 150},    {7, -1, 169},    {63, -1, 451},
        {191, -1, 593}, {192, -1, 593}, {1984, -1, 892}, {2047, -1, 896},
    };
    for (const ColumnCase& c : cases)
        EXPECT_EQ(TraceColumn(c.k, c.HScale), c.x) << "bin " << c.k << " HScale " << c.HScale;
}

struct RowCase {
    std::int32_t v, H, y;
};

TEST(TraceRow, OneRowPerThirtyTwoUnitsAboveTheBottomRow) {
    const RowCase cases[] = {
        {0, 391, 390},      {31, 391, 390},      {32, 391, 389},
        {32 * 390, 391, 0}, {32 * 391, 391, -1}, {1 << 30, 391, 390 - (1 << 25)},
    };
    for (const RowCase& c : cases)
        EXPECT_EQ(TraceRow(c.v, c.H, 32), c.y) << c.v;
}

struct SliceCase {
    std::int32_t HScale;
    int slice;
    LONG eraseLeft, eraseRight, firstX, lastX;
};

TEST(TraceSliceGeometry, ErasesFromTheFirstColumnToOnePastTheLast) {
    const SliceCase cases[] = {
        {1, 0, 0, 65, 0, 63},   {1, 1, 64, 129, 64, 127}, {1, 31, 1984, 2049, 1984, 2047},
        {2, 0, 0, 33, 0, 31},   {2, 1, 32, 65, 32, 63},   {3, 0, 0, 23, 0, 21},
        {3, 1, 21, 44, 21, 42}, {-1, 0, 0, 453, 0, 451},  {-1, 31, 892, 898, 892, 896},
    };
    Values values{};
    for (const SliceCase& c : cases) {
        TraceSlice slice;
        TraceSliceGeometry(values.data(), c.slice, c.HScale, 32, 391, slice);
        EXPECT_EQ(slice.Erase.left, c.eraseLeft) << c.HScale << "/" << c.slice;
        EXPECT_EQ(slice.Erase.right, c.eraseRight) << c.HScale << "/" << c.slice;
        EXPECT_EQ(slice.Erase.top, 0);
        EXPECT_EQ(slice.Erase.bottom, 391);
        EXPECT_EQ(slice.Points[0].x, c.firstX) << c.HScale << "/" << c.slice;
        EXPECT_EQ(slice.Points[TraceSlicePoints - 1].x, c.lastX) << c.HScale << "/" << c.slice;
        for (int i = 0; i < TraceSlicePoints; ++i)
            ASSERT_EQ(slice.Points[i].x, TraceColumn(c.slice * TraceSlicePoints + i, c.HScale));
    }
}

TEST(TraceSliceGeometry, PointsTakeTheRowOfTheirBin) {
    Values values{};
    for (int k = 0; k < TraceBins; ++k)
        values[k] = k * 37;
    TraceSlice slice;
    TraceSliceGeometry(values.data(), 5, 1, 32, 391, slice);
    for (int i = 0; i < TraceSlicePoints; ++i)
        EXPECT_EQ(slice.Points[i].y, 390 - (320 + i) * 37 / 32) << i;
}

class TracePanel : public ::testing::Test {
protected:
    void SetUp() override { Make(688, 391); }
    void Make(int width, int height) {
        panel.SetBevelOuter(TBevelCut::bvNone);
        panel.SetColor(clWhite);
        panel.resize(width, height);
        panel.Repaint();
    }
    const QImage& Surface() { return panel.Surface(); }

    TPanel panel{nullptr};
    Values values{};
};

struct FlatCase {
    std::int32_t HScale;
    int width;
    int lastDrawn; // the trace's last point is an end point and is left out
};

TEST_F(TracePanel, SilenceIsOneLineAlongTheBottomRow) {
    const FlatCase cases[] = {{1, 688, 687}, {2, 1100, 1022}, {3, 1100, 681}, {-1, 1100, 895}};
    for (const FlatCase& c : cases) {
        Make(c.width, 391);
        DrawTrace(panel, values.data(), false, c.HScale, 32);
        const QImage& s = Surface();
        EXPECT_EQ(CountColour(s, Black, 0, 390, c.lastDrawn + 1, 391), c.lastDrawn + 1) << c.HScale;
        EXPECT_EQ(CountColour(s, Black, 0, 0, s.width(), s.height()), c.lastDrawn + 1) << c.HScale;
    }
}

TEST_F(TracePanel, ThirtyOneAndThirtyTwoLieOnTheTwoBottomRows) {
    std::fill(values.begin(), values.begin() + 1024, 31);
    std::fill(values.begin() + 1024, values.end(), 32);
    DrawTrace(panel, values.data(), false, 2, 32);
    const QImage& s = Surface();
    EXPECT_EQ(s.pixel(100, 390), Black);
    EXPECT_EQ(s.pixel(100, 389), White);
    EXPECT_EQ(s.pixel(600, 389), Black);
    EXPECT_EQ(s.pixel(600, 390), White);
}

TEST_F(TracePanel, ValuesAboveThePanelAreCutAtTheTopEdge) {
    values[100] = 32 * 391 * 4; // row -1174
    DrawTrace(panel, values.data(), false, 1, 32);
    const QImage& s = Surface();
    EXPECT_EQ(s.pixel(99, 389), Black) << "rising from bin 99";
    EXPECT_GT(CountColour(s, Black, 99, 0, 102, 1), 0) << "reaches the top row";
    // Nothing off the bottom row outside the two steep segments: no wrapping.
    EXPECT_EQ(CountColour(s, Black, 0, 0, 99, 390) + CountColour(s, Black, 102, 0, 688, 390), 0);
    EXPECT_EQ(CountColour(s, Black, 0, 390, 688, 391), 687);
}

TEST_F(TracePanel, ErasesOnlyTheColumnsItsSlicesCover) {
    Make(1100, 391);
    HDC dc = GetDC(panel.Handle());
    const RECT all{0, 0, 1100, 391};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(panel.Handle(), dc);
    std::fill(values.begin(), values.end(), 32 * 200);
    DrawTrace(panel, values.data(), false, 3, 32);
    const QImage& s = Surface();
    EXPECT_EQ(CountColour(s, White, 0, 0, 684, 391), 684 * 391 - (682 + 200));
    EXPECT_EQ(CountColour(s, Black, 684, 0, 1100, 391), (1100 - 684) * 391);
}

TEST_F(TracePanel, ClippingBlockIsRedAndTheNextBlackWithNoPenLeft) {
    for (int k = 0; k < TraceBins; ++k)
        values[k] = (k * 97) % 9000;
    const int live = gdi::LiveObjectCount();
    DrawTrace(panel, values.data(), true, 1, 32);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
    const QImage& s = Surface();
    const int red = CountColour(s, Red, 0, 0, 688, 391);
    EXPECT_GT(red, 688);
    EXPECT_EQ(CountColour(s, White, 0, 0, 688, 391) + red, 688 * 391) << "only red ink";

    DrawTrace(panel, values.data(), false, 1, 32);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
    EXPECT_EQ(CountColour(s, Red, 0, 0, 688, 391), 0);
    EXPECT_EQ(CountColour(s, Black, 0, 0, 688, 391), red);
}

} // namespace
