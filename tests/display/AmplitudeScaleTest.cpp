#include "display/AmplitudeScale.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

std::vector<LONG> TickRows(const std::vector<ScaleMark>& marks) {
    std::vector<LONG> rows;
    for (const ScaleMark& m : marks)
        if (m.HasTick)
            rows.push_back(m.From.y);
    return rows;
}

TEST(AmplitudeScaleMarks, LinearTicksEvery1024WithLongOnesEvery4096) {
    const auto marks = AmplitudeScaleMarks(2, 32, 40, 391);
    ASSERT_EQ(marks.size(), 33u);
    for (int i = 0; i < 33; ++i) {
        const ScaleMark& m = marks[i];
        EXPECT_TRUE(m.HasTick);
        EXPECT_EQ(m.From.y, 390 - 32 * i) << i;
        EXPECT_EQ(m.To.y, m.From.y);
        EXPECT_EQ(m.From.x, 38);
        EXPECT_EQ(m.To.x, i % 4 == 0 ? 32 : 35) << i;
        EXPECT_EQ(m.Label, std::to_string(i) + "k");
        EXPECT_EQ(m.At.x, 30);
        EXPECT_EQ(m.At.y, 383 - 32 * i);
    }
    EXPECT_EQ(marks[12].From.y, 6) << "12k is the highest visible tick";
    EXPECT_LT(marks[13].From.y, 0);
}

TEST(AmplitudeScaleMarks, LinearSpacingFollowsTheMagnification) {
    const std::pair<int, int> spacing[] = {{1, 16},  {2, 32},   {4, 64},
                                           {8, 128}, {16, 256}, {32, 512}};
    for (auto [VScale, rows] : spacing) {
        const auto marks = AmplitudeScaleMarks(VScale, 32, 40, 600);
        ASSERT_EQ(marks.size(), 33u);
        EXPECT_EQ(marks[1].From.y, 599 - rows) << VScale;
        EXPECT_EQ(marks[32].From.y, 599 - 512 * VScale) << VScale;
    }
}

TEST(AmplitudeScaleMarks, DecibelTicksEveryTenDecibels) {
    const auto marks = AmplitudeScaleMarks(100, 32, 40, 600);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks[0].Label, "dBFS");
    EXPECT_FALSE(marks[0].HasTick);
    EXPECT_EQ(marks[0].At.x, 32);
    EXPECT_EQ(marks[0].At.y, 96);
    const std::vector<LONG> rows{87, 138, 189, 240, 291, 343, 394, 445, 496, 547, 599};
    EXPECT_EQ(TickRows(marks), rows);
    for (std::size_t i = 1; i < marks.size(); ++i) {
        EXPECT_EQ(marks[i].Label, std::to_string(-10 * int(i - 1)));
        EXPECT_EQ(marks[i].At.y, rows[i - 1] - 7) << i;
        EXPECT_EQ(marks[i].At.x, 32);
        EXPECT_EQ(marks[i].From.x, 38);
        EXPECT_EQ(marks[i].To.x, 34);
    }
}

TEST(AmplitudeScaleMarks, EveryDecibelScaleHasOneTickPerTenDecibels) {
    const std::pair<int, std::size_t> counts[] = {{100, 11}, {130, 14}, {70, 8}, {120, 13}};
    for (auto [VScale, ticks] : counts) {
        const auto marks = AmplitudeScaleMarks(VScale, 32, 40, 600);
        EXPECT_EQ(TickRows(marks).size(), ticks) << VScale;
        EXPECT_EQ(marks.back().Label, std::to_string(-10 * int(ticks - 1))) << VScale;
        EXPECT_EQ(marks.back().From.y, 599) << "-VScale dB on the bottom row";
    }
}

TEST(AmplitudeScaleMarks, PositionsAboveTheTopStayNegativeAndJustAboveIsRowZero) {
    const auto short391 = TickRows(AmplitudeScaleMarks(100, 32, 40, 391));
    EXPECT_EQ(short391[0], -122);
    EXPECT_LT(short391[2], 0);
    EXPECT_EQ(short391[3], 31);
    // -10 dB would lie at -0.8 on a 461-row control: truncated to the top row.
    EXPECT_EQ(TickRows(AmplitudeScaleMarks(100, 32, 40, 461))[1], 0);
}

TEST(AmplitudeScaleMarks, SquareRootAndOtherCodesAreBlank) {
    for (int VScale : {-2, 0, -7})
        EXPECT_TRUE(AmplitudeScaleMarks(VScale, 32, 40, 391).empty()) << VScale;
}

class AmplitudeImage : public ::testing::Test {
protected:
    void SetUp() override {
        image.resize(40, 1200); // the design size makes the bitmap
        DrawAmplitudeScale(image, 2, 32);
    }
    const QImage& Pixels() { return image.Bitmap()->Image(); }
    TImage image{nullptr};
};

TEST_F(AmplitudeImage, TicksArePaintedInTheMonochromeBitmap) {
    image.resize(40, 391);
    DrawAmplitudeScale(image, 2, 32);
    ASSERT_EQ(Pixels().size(), QSize(40, 1200));
    EXPECT_TRUE(image.Bitmap()->Monochrome());
    struct Row {
        int y, firstInk; // ink from firstInk to x 38
    };
    for (Row r : {Row{390, 33}, Row{358, 36}, Row{262, 33}, Row{6, 33}}) {
        for (int x = 31; x < 40; ++x)
            EXPECT_EQ(Pixels().pixel(x, r.y), x >= r.firstInk && x <= 38 ? Black : White)
                << x << "," << r.y;
    }
    int labelInk = 0;
    for (int y = 383; y < 391; ++y)
        for (int x = 0; x < 30; ++x)
            labelInk += Pixels().pixel(x, y) == Black;
    EXPECT_GT(labelInk, 5) << "the 0k label";
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_TRUE(Pixels().pixel(x, y) == Black || Pixels().pixel(x, y) == White);
}

TEST_F(AmplitudeImage, TickBetweenMinusOneAndZeroIsOnTheTopRow) {
    image.resize(40, 461);
    DrawAmplitudeScale(image, 100, 32);
    for (int x = 33; x < 40; ++x)
        EXPECT_EQ(Pixels().pixel(x, 0), x >= 35 && x <= 38 ? Black : White) << x;
}

TEST_F(AmplitudeImage, SwitchingScalesLeavesNothingOfTheOldOne) {
    image.resize(40, 600);
    TImage fresh(nullptr);
    fresh.resize(40, 1200);
    fresh.Canvas();
    fresh.resize(40, 600);
    for (int VScale : {2, -2}) {
        DrawAmplitudeScale(image, 100, 32);
        DrawAmplitudeScale(image, VScale, 32);
        DrawAmplitudeScale(fresh, VScale, 32);
        EXPECT_EQ(Pixels().copy(0, 0, 40, 600), fresh.Bitmap()->Image().copy(0, 0, 40, 600))
            << VScale;
    }
    int ink = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 40; ++x)
            ink += Pixels().pixel(x, y) == Black;
    EXPECT_EQ(ink, 0) << "square root: blank";
}

} // namespace
