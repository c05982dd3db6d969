#include "display/LevelMeter.h"
#include "display/Pixels.h"

#include "platform/gdi/gdi.h"

#include <gtest/gtest.h>

namespace {

struct SwingCase {
    std::int32_t SampleMax, SampleMin;
    int greenEnd;  // last green column, 0 for none
    int yellowEnd; // last yellow column, 0 for none
};

// Design size 291 x 9: the bar fills x 1 .. 288 on rows 1 .. 6.
const SwingCase Swings[] = {
    {0, 0, 0, 0},              // silence: swing 0 counts as 1
    {265, 0, 0, 0},            // length 0
    {266, 0, 1, 0},            // -47.83 dB, length 1
    {2048, -2048, 144, 0},     // 4096: -24.08 dB
    {16383, -16384, 252, 0},   // 32767: -6.02 dB
    {16423, -16423, 252, 0},   // 32846: just at -6 dB, yellow part empty
    {20000, -20000, 252, 263}, // 40000: -4.29 dB
    {32767, -32768, 252, 288}, // full swing, no black
    {-5, 5, 0, 0},             // inverted extremes count as silence
};

TEST(LevelMeter, BarColoursFollowTheSwing) {
    TPanel bar(nullptr);
    bar.resize(291, 9);
    const int live = gdi::LiveObjectCount();
    for (const SwingCase& c : Swings) {
        bar.Repaint();
        DrawLevelMeter(bar, c.SampleMax, c.SampleMin);
        const QImage& s = bar.Surface();
        const QRgb face = ToPixel(ColorToRGB(clBtnFace));
        for (int x = 1; x <= 288; ++x) {
            const QRgb expected = x <= c.greenEnd    ? ToPixel(MeterGreen)
                                  : x <= c.yellowEnd ? ToPixel(MeterYellow)
                                                     : ToPixel(MeterBlack);
            for (int y = 1; y <= 6; ++y)
                ASSERT_EQ(s.pixel(x, y), expected)
                    << "swing " << c.SampleMax - c.SampleMin << " at " << x << "," << y;
            EXPECT_EQ(s.pixel(x, 7), face) << "row H - 2 keeps the face";
        }
        for (int y = 1; y <= 7; ++y)
            EXPECT_EQ(s.pixel(289, y), face) << "column W - 2 keeps the face";
    }
    EXPECT_EQ(gdi::LiveObjectCount(), live) << "brushes deleted, context released";
}

TEST(MeterGeometry, TheYellowPathStartsAtMinusSixOnTheSinglePrecisionLevel) {
    const MeterFills below = MeterGeometry(16422, -16423, 291, 9); // 32845
    EXPECT_LT(MeterLevel(16422, -16423), -6.0f);
    EXPECT_FALSE(below.HasYellow);
    EXPECT_EQ(below.Green.right, 253);
    EXPECT_EQ(below.Black.left, 253);

    const MeterFills at = MeterGeometry(16423, -16423, 291, 9); // 32846
    EXPECT_GE(MeterLevel(16423, -16423), -6.0f);
    EXPECT_TRUE(at.HasYellow);
    EXPECT_EQ(at.Green.right, 253);
    EXPECT_EQ(at.Yellow.left, 253);
    EXPECT_EQ(at.Yellow.right, 253);
    EXPECT_EQ(at.Black.left, 253);
    EXPECT_EQ(at.Black.right, 289);
    EXPECT_EQ(at.Green.top, 1);
    EXPECT_EQ(at.Green.bottom, 7);
}

TEST(MeterLevel, SpansFromSilenceToFullSwing) {
    EXPECT_NEAR(MeterLevel(0, 0), -96.33f, 0.01f);
    EXPECT_NEAR(MeterLevel(266, 0), -47.83f, 0.01f);
    EXPECT_NEAR(MeterLevel(32767, -32768), -0.00013f, 0.00001f);
    EXPECT_EQ(MeterLength(MeterLevel(0, 0), 291), 0);
}

TEST(ClipLamp, LightRedWhileClippingElseButtonFace) {
    TPanel lamp(nullptr);
    lamp.resize(41, 9);
    const bool states[] = {true, false, true, true, false};
    for (bool clipping : states) {
        SetClipLamp(lamp, clipping);
        EXPECT_EQ(lamp.Color(), clipping ? TColor(ClipLampLit) : clBtnFace);
        EXPECT_EQ(lamp.Surface().pixel(20, 4),
                  ToPixel(clipping ? ClipLampLit : ColorToRGB(clBtnFace)));
    }
}

} // namespace
