// Painting one block: the trace on a design-size trace panel, the level bar, and the whole
// per-block path (analysis, lamp, bar, trace) on the offscreen platform.
#include "display/LevelMeter.h"
#include "display/Trace.h"
#include "dsp/Analysis.h"
#include "dsp/fft.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <random>

namespace {

// Panel1 at design size: white, no bevel.
struct TracePanel {
    TracePanel() {
        panel.SetBevelOuter(TBevelCut::bvNone);
        panel.SetColor(clWhite);
        panel.resize(688, 391);
        panel.Repaint();
    }
    TPanel panel{nullptr};
};

// A spectrum-like block: a noise floor with a few peaks that reach well up the panel.
std::array<std::int32_t, TraceBins> SpectrumValues() {
    std::array<std::int32_t, TraceBins> values{};
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> floor(0, 1500);
    for (int k = 0; k < TraceBins; ++k)
        values[k] = floor(rng) + (k % 97 == 5 ? 9000 : 0);
    return values;
}

void BM_DrawTrace(benchmark::State& state) {
    TracePanel target;
    const auto values = SpectrumValues();
    const auto HScale = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        DrawTrace(target.panel, values.data(), false, HScale, 32);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawTrace)->ArgName("HScale")->Arg(1)->Arg(-1);

void BM_DrawLevelMeter(benchmark::State& state) {
    TPanel bar(nullptr);
    bar.resize(291, 9);
    for (auto _ : state) {
        DrawLevelMeter(bar, 20000, -20000);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawLevelMeter);

// What one block message costs the GUI thread between the header wait and the hand-back.
void BM_BlockAnalysisAndPainting(benchmark::State& state) {
    TracePanel trace;
    TPanel bar(nullptr), lamp(nullptr);
    bar.resize(291, 9);
    lamp.resize(41, 9);
    const fft Fft(12);
    static std::int32_t Window[FrameSamples];
    FillWindow(Window);
    static std::int16_t previous[BlockSamples], current[BlockSamples];
    for (int n = 0; n < FrameSamples; ++n) {
        const double tone = 12000.0 * std::sin(2.0 * std::numbers::pi * 93.5 * n / FrameSamples);
        (n < BlockSamples ? previous[n] : current[n - BlockSamples]) = std::int16_t(tone);
    }
    auto work = std::make_unique<AnalysisWork>();
    auto result = std::make_unique<AnalysisResult>();
    const auto HScale = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        AnalyseBlock(previous, current, Window, Fft, 2, *work, *result);
        SetClipLamp(lamp, result->Clipping);
        DrawLevelMeter(bar, result->SampleMax, result->SampleMin);
        DrawTrace(trace.panel, result->DisplayValues, result->Clipping, HScale, 32);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlockAnalysisAndPainting)->ArgName("HScale")->Arg(1)->Arg(-1);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
