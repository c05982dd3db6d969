// Hostile block pairs under every scale code, menu codes and others: display values never go
// negative, the extremes are the true extremes, and nothing trips the sanitizers.
#include "dsp/Analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

enum class Kind { Extremes, AlternatingFullScale, Noise, SparseClicks, Silence };

void Fill(Kind kind, std::mt19937& rng, std::vector<std::int16_t>& block) {
    std::uniform_int_distribution<int> any(-32768, 32767);
    std::bernoulli_distribution coin(0.5);
    std::uniform_int_distribution<int> rare(0, 200);
    for (std::size_t i = 0; i < block.size(); ++i) {
        int v = 0;
        switch (kind) {
        case Kind::Extremes:
            v = coin(rng) ? 32767 : -32768;
            break;
        case Kind::AlternatingFullScale:
            v = i % 2 ? -32768 : 32767;
            break;
        case Kind::Noise:
            v = any(rng);
            break;
        case Kind::SparseClicks:
            v = rare(rng) == 0 ? any(rng) : 0;
            break;
        case Kind::Silence:
            break;
        }
        block[i] = static_cast<std::int16_t>(v);
    }
}

TEST(AnalysisBadInput, RandomBlockPairsNeverGiveNegativeValues) {
    constexpr std::int32_t codes[] = {1,
                                      2,
                                      4,
                                      8,
                                      16,
                                      32,
                                      -2,
                                      100,
                                      130,
                                      70,
                                      120,
                                      0,
                                      -1,
                                      3,
                                      40,
                                      41,
                                      1000,
                                      std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max()};
    constexpr Kind kinds[] = {Kind::Extremes, Kind::AlternatingFullScale, Kind::Noise,
                              Kind::SparseClicks, Kind::Silence};
    const fft Fft(12);
    std::int32_t Window[FrameSamples];
    FillWindow(Window);
    auto work = std::make_unique<AnalysisWork>();
    AnalysisResult result{};
    std::vector<std::int16_t> previous(BlockSamples);
    std::vector<std::int16_t> current(BlockSamples);
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kinds) - 1);

    for (int pair = 0; pair < 40; ++pair) {
        Fill(kinds[pick(rng)], rng, previous);
        Fill(kinds[pick(rng)], rng, current);
        const auto [lo1, hi1] = std::minmax_element(previous.begin(), previous.end());
        const auto [lo2, hi2] = std::minmax_element(current.begin(), current.end());
        const std::int32_t max = std::max(*hi1, *hi2);
        const std::int32_t min = std::min(*lo1, *lo2);
        for (std::int32_t code : codes) {
            AnalyseBlock(previous.data(), current.data(), Window, Fft, code, *work, result);
            ASSERT_EQ(result.SampleMax, max) << "pair " << pair;
            ASSERT_EQ(result.SampleMin, min) << "pair " << pair;
            ASSERT_EQ(result.Clipping, max == 32767 || min == -32768) << "pair " << pair;
            for (int j = 0; j < BinCount; ++j)
                ASSERT_GE(result.DisplayValues[j], 0)
                    << "pair " << pair << " code " << code << " bin " << j;
        }
    }
}

} // namespace
