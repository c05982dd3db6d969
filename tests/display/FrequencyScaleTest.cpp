#include "display/FrequencyScale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

const ScaleMark& At(const std::vector<ScaleMark>& marks, int f) {
    return marks.at(f / 100);
}

struct ColumnCase {
    std::int32_t f, HScale, X;
};

TEST(FrequencyScaleMarks, TicksStandUnderTheTraceColumns) {
    const ColumnCase cases[] = {
        {0, 1, 40},       {100, 1, 49},     {1000, 1, 132},   {10000, 1, 968}, {16000, 1, 1526},
        {16800, 1, 1600}, {1000, 2, 86},    {22000, 2, 1061}, {1000, 3, 70},   {2000, 3, 101},
        {22100, 3, 724},  {0, -1, 40},      {50, -1, 40},     {100, -1, 246},  {1000, -1, 540},
        {6000, -1, 770},  {22000, -1, 936},
    };
    for (const ColumnCase& c : cases) {
        EXPECT_EQ(40 + FrequencyColumn(c.f, c.HScale), c.X) << c.f << " Hz, HScale " << c.HScale;
        if (c.f % 100 == 0) {
            EXPECT_EQ(At(FrequencyScaleMarks(c.HScale, 40), c.f).From.x, c.X);
        }
    }
}

std::vector<std::string> Labels(const std::vector<ScaleMark>& marks) {
    std::vector<std::string> labels;
    for (const ScaleMark& m : marks)
        if (!m.Label.empty())
            labels.push_back(m.Label);
    return labels;
}

TEST(FrequencyScaleMarks, LinearScalesLabelEveryKilohertzButOddOnesAtThree) {
    for (int HScale : {1, 2, 3}) {
        const auto marks = FrequencyScaleMarks(HScale, 40);
        ASSERT_EQ(marks.size(), 222u);
        std::vector<std::string> expected;
        for (int k = 0; k <= 22; ++k)
            if (HScale != 3 || k % 2 == 0)
                expected.push_back(std::to_string(k) + "kHz");
        EXPECT_EQ(Labels(marks), expected) << HScale;
        for (const ScaleMark& m : marks) {
            EXPECT_TRUE(m.HasTick);
            EXPECT_EQ(m.From.y, 2);
            EXPECT_EQ(m.To.x, m.From.x);
        }
        EXPECT_EQ(At(marks, 100).To.y, 5) << "short tick";
        EXPECT_EQ(At(marks, 1000).To.y, 8) << "long tick";
        EXPECT_EQ(At(marks, 0).At.x, 40);
        EXPECT_EQ(At(marks, 0).At.y, 10);
    }
    EXPECT_TRUE(At(FrequencyScaleMarks(3, 40), 1000).Label.empty());
    EXPECT_EQ(At(FrequencyScaleMarks(3, 40), 1000).To.y, 8);
}

TEST(FrequencyScaleMarks, LogarithmicScaleHasElevenLabelsAndThinsOutAboveFiveKilohertz) {
    const auto marks = FrequencyScaleMarks(-1, 40);
    const std::vector<std::string> expected{"100Hz", "200Hz", "500Hz", "1kHz",  "2kHz", "3kHz",
                                            "5kHz",  "7kHz",  "10kHz", "15kHz", "22kHz"};
    EXPECT_EQ(Labels(marks), expected);
    EXPECT_TRUE(At(marks, 0).HasTick);
    EXPECT_EQ(At(marks, 0).To.y, 8);
    EXPECT_TRUE(At(marks, 0).Label.empty());
    for (int f = 5100; f <= 5900; f += 100) {
        EXPECT_FALSE(At(marks, f).HasTick) << f;
        EXPECT_TRUE(At(marks, f).Label.empty()) << f;
    }
    EXPECT_TRUE(At(marks, 6000).HasTick);
    EXPECT_TRUE(At(marks, 6000).Label.empty());
    EXPECT_TRUE(At(marks, 4900).HasTick);
    EXPECT_FALSE(At(marks, 22100).HasTick);
    EXPECT_TRUE(At(marks, 22100).Label.empty());
}

class FrequencyImage : public ::testing::Test {
protected:
    void SetUp() override { image.resize(1600, 33); }
    bool Tick(int column, int lastRow) {
        const QImage& p = image.Bitmap()->Image();
        for (int y = 0; y < 10; ++y)
            if ((p.pixel(column, y) == Black) != (y >= 2 && y <= lastRow))
                return false;
        return true;
    }
    bool Blank(int column) { return Tick(column, 1); }
    TImage image{nullptr};
};

TEST_F(FrequencyImage, TicksArePaintedInTheMonochromeBitmap) {
    DrawFrequencyScale(image, 1, 40);
    EXPECT_TRUE(image.Bitmap()->Monochrome());
    EXPECT_TRUE(Tick(132, 7));
    EXPECT_TRUE(Tick(49, 4));
    EXPECT_TRUE(Blank(50));
    EXPECT_TRUE(Tick(1526, 7));

    DrawFrequencyScale(image, -1, 40);
    EXPECT_TRUE(Tick(770, 7));
    EXPECT_TRUE(Blank(132)) << "the linear scale is gone";
    for (int x = 747; x < 770; ++x)
        EXPECT_TRUE(Blank(x)) << x;
    int labelInk = 0;
    const QImage& p = image.Bitmap()->Image();
    for (int y = 10; y < 23; ++y)
        for (int x = 520; x < 560; ++x)
            labelInk += p.pixel(x, y) == Black;
    EXPECT_GT(labelInk, 5) << "1kHz under column 540";
}

TEST_F(FrequencyImage, AGrownBitmapIsPaintedToItsFullWidth) {
    image.Canvas();
    image.GrowBitmap(2000, 33);
    DrawFrequencyScale(image, 1, 40);
    EXPECT_TRUE(Tick(1600, 4)) << "16.8 kHz";
    EXPECT_TRUE(Tick(40 + 1578, 7)) << "17 kHz";
}

} // namespace
