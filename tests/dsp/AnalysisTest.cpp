#include "dsp/Analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::int32_t AllScaleCodes[] = {1, 2, 4, 8, 16, 32, -2, 100, 130, 70, 120};

class Analysis : public ::testing::Test {
protected:
    Analysis() : previous(BlockSamples, 0), current(BlockSamples, 0) { FillWindow(Window); }

    // Sample n of the frame: the first half is the previous block, the second the current one.
    void SetFrameSample(int n, std::int16_t value) {
        (n < BlockSamples ? previous[n] : current[n - BlockSamples]) = value;
    }

    void FillFrame(std::int16_t (*sample)(int)) {
        for (int n = 0; n < FrameSamples; ++n)
            SetFrameSample(n, sample(n));
    }

    const AnalysisResult& Analyse(std::int32_t VScale) {
        AnalyseBlock(previous.data(), current.data(), Window, Fft, VScale, *work, result);
        return result;
    }

    fft Fft{12};
    std::int32_t Window[FrameSamples];
    std::vector<std::int16_t> previous;
    std::vector<std::int16_t> current;
    std::unique_ptr<AnalysisWork> work = std::make_unique<AnalysisWork>();
    AnalysisResult result{};
};

std::int16_t FullScaleSine(int n) {
    return static_cast<std::int16_t>(32767.0 * std::sin(2.0 * std::numbers::pi * 100 * n / 4096));
}

TEST_F(Analysis, WindowEntries) {
    struct Entry {
        int index;
        std::int32_t value;
    };
    for (const Entry& e :
         {Entry{0, 0}, Entry{1, 0}, Entry{5, 0}, Entry{6, 1}, Entry{1024, 32766},
          Entry{2048, 65534}, Entry{3072, 32767}, Entry{4090, 1}, Entry{4091, 0}, Entry{4095, 0}}) {
        EXPECT_EQ(Window[e.index], e.value) << e.index;
    }
    for (int i = 1; i < FrameSamples; ++i) {
        if (i != 1024 && i != 3072) {
            ASSERT_EQ(Window[i], Window[FrameSamples - i]) << i;
        }
    }
}

TEST_F(Analysis, SilenceIsZeroOnEveryScale) {
    for (std::int32_t code : AllScaleCodes) {
        const AnalysisResult& r = Analyse(code);
        EXPECT_EQ(r.SampleMax, 0);
        EXPECT_EQ(r.SampleMin, 0);
        EXPECT_FALSE(r.Clipping);
        for (int j = 0; j < BinCount; ++j)
            ASSERT_EQ(r.DisplayValues[j], 0) << "code=" << code << " bin=" << j;
    }
}

TEST_F(Analysis, ConstantInputOnTimesOne) {
    FillFrame([](int) -> std::int16_t { return 1000; });
    const AnalysisResult& r = Analyse(1);
    const std::int32_t expected[] = {999, 499, 0, 0};
    for (int j = 0; j < BinCount; ++j)
        ASSERT_EQ(r.DisplayValues[j], j < 4 ? expected[j] : 0) << j;
    EXPECT_FALSE(r.Clipping);
}

TEST_F(Analysis, FullScaleSineOnABin) {
    FillFrame(FullScaleSine);
    struct Case {
        std::int32_t code;
        int bin;
        std::int32_t value;
    };
    for (const Case& c :
         {Case{1, 98, 0}, Case{1, 99, 8190}, Case{1, 100, 16381}, Case{1, 101, 8190},
          Case{1, 102, 0}, Case{100, 100, 16383}, Case{70, 100, 15658}}) {
        const AnalysisResult& r = Analyse(c.code);
        EXPECT_EQ(r.DisplayValues[c.bin], c.value) << "code=" << c.code << " bin=" << c.bin;
        EXPECT_EQ(r.SampleMax, 32767);
        EXPECT_TRUE(r.Clipping);
    }
}

// Linear codes magnify the same magnitude (about 16381.x at the tone's bin); the square root of
// it is just below 128 * 128.
TEST_F(Analysis, FullScaleSineOnMagnifiedAndSquareRootScales) {
    FillFrame(FullScaleSine);
    for (std::int32_t code : {1, 2, 4, 8, 16, 32}) {
        const std::int32_t v = Analyse(code).DisplayValues[100];
        EXPECT_GE(v, 16381 * code) << code;
        EXPECT_LT(v, 16382 * code) << code;
    }
    const std::int32_t root = Analyse(-2).DisplayValues[100];
    EXPECT_GE(root, static_cast<std::int32_t>(std::sqrt(16381.0) * 128));
    EXPECT_LT(root, 16384);
}

TEST(HearingThreshold, KnownPoints) {
    struct Case {
        float hertz;
        float dB;
    };
    for (const Case& c : {Case{1000.0f, 3.37f}, Case{3300.0f, -4.98f}, Case{10.77f, 136.6f},
                          Case{20000.0f, 160.3f}})
        EXPECT_NEAR(HearingThreshold(c.hertz), c.dB, 0.05f) << c.hertz;
}

TEST_F(Analysis, FrameValuesAtTheExtremes) {
    struct Case {
        int n;
        std::int16_t sample;
        std::int32_t real;
    };
    for (const Case& c : {Case{2048, -32768, -65534}, Case{2048, 32767, 65532}, Case{6, -1, -1},
                          Case{6, 1, 0}, Case{4089, -1, -1}, Case{1024, -3, -3}}) {
        SetFrameSample(c.n, c.sample);
        BuildFrame(previous.data(), current.data(), Window, *work, result);
        EXPECT_EQ(work->Frame[c.n].re, c.real) << c.n << ' ' << c.sample;
        EXPECT_EQ(work->Frame[c.n].im, 0);
        SetFrameSample(c.n, 0);
    }
}

TEST_F(Analysis, ClippingOnlyAtFullScale) {
    struct Case {
        int n;
        std::int16_t sample;
        bool clipping;
    };
    for (const Case& c :
         {Case{0, 32767, true}, Case{4095, -32768, true}, Case{2047, -32768, true},
          Case{3000, 32767, true}, Case{10, -32767, false}, Case{2500, 32766, false}}) {
        SetFrameSample(c.n, c.sample);
        BuildFrame(previous.data(), current.data(), Window, *work, result);
        EXPECT_EQ(result.Clipping, c.clipping) << c.n << ' ' << c.sample;
        EXPECT_EQ(result.SampleMax, c.sample > 0 ? c.sample : 0);
        EXPECT_EQ(result.SampleMin, c.sample < 0 ? c.sample : 0);
        SetFrameSample(c.n, 0);
    }
}

TEST_F(Analysis, HearingLevelBinZeroIsAlwaysZero) {
    FillFrame([](int n) -> std::int16_t { return static_cast<std::int16_t>(30000 - n % 7); });
    ASSERT_GT(Analyse(100).DisplayValues[0], 0);
    for (std::int32_t code : {70, 120}) {
        EXPECT_EQ(Analyse(code).DisplayValues[0], 0) << code;
    }
}

TEST_F(Analysis, RefusesATransformOfAnotherSize) {
    for (std::int32_t order : {11, 13}) {
        const fft other(order);
        EXPECT_THROW(TransformAndMap(other, 1, *work, result), std::invalid_argument) << order;
    }
}

} // namespace
