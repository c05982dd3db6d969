// The fixed-point transform and the per-block analysis, with a single-precision FFTW transform of
// the same size as the yardstick.
#include "dsp/Analysis.h"
#include "dsp/fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

// A tone over noise, so every scale maps real values rather than the magnitude floor.
void FillBlocks(std::vector<std::int16_t>& previous, std::vector<std::int16_t>& current) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-300, 300);
    for (int n = 0; n < FrameSamples; ++n) {
        const double tone = 20000.0 * std::sin(2.0 * std::numbers::pi * 93.5 * n / FrameSamples);
        const auto v = static_cast<std::int16_t>(tone + noise(rng));
        (n < BlockSamples ? previous[n] : current[n - BlockSamples]) = v;
    }
}

// Cache-line aligned like AnalysisWork and like FFTW's own arrays.
struct alignas(64) Frame {
    FixedComplex points[FrameSamples];
};

std::unique_ptr<Frame> RandomFrame() {
    auto frame = std::make_unique<Frame>();
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::int32_t> value(-65534, 65534);
    for (auto& p : frame->points)
        p = {value(rng), 0};
    return frame;
}

void BM_Transform(benchmark::State& state) {
    const fft Fft(12);
    const auto input = RandomFrame();
    const auto output = std::make_unique<Frame>();
    for (auto _ : state) {
        Fft.Transform(input->points, output->points);
        benchmark::DoNotOptimize(output->points);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Transform);

// Each kernel on its own, to see what the vector paths buy.
void BM_TransformKernel(benchmark::State& state) {
    const auto kernel = static_cast<FftKernel>(state.range(0));
    if (!FftKernelSupported(kernel)) {
        state.SkipWithError("kernel not supported by this processor");
        return;
    }
    const fft Fft(12);
    const auto input = RandomFrame();
    const auto output = std::make_unique<Frame>();
    for (auto _ : state) {
        TransformWith(kernel, Fft, input->points, output->points);
        benchmark::DoNotOptimize(output->points);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TransformKernel)
    ->ArgName("kernel")
    ->Arg(static_cast<int>(FftKernel::Portable))
    ->Arg(static_cast<int>(FftKernel::Avx2))
    ->Arg(static_cast<int>(FftKernel::Avx512));

void BM_FftwReference(benchmark::State& state) {
    constexpr int n = 4096;
    auto* in = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * n));
    auto* out = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * n));
    const fftwf_plan plan = fftwf_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_MEASURE);
    // Planning with FFTW_MEASURE overwrites the arrays, so fill them afterwards.
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> value(-65534.0f, 65534.0f);
    for (int i = 0; i < n; ++i) {
        in[i][0] = value(rng);
        in[i][1] = 0.0f;
    }
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_FftwReference);

void BM_AnalyseBlock(benchmark::State& state) {
    const auto VScale = static_cast<std::int32_t>(state.range(0));
    const fft Fft(12);
    std::int32_t Window[FrameSamples];
    FillWindow(Window);
    std::vector<std::int16_t> previous(BlockSamples);
    std::vector<std::int16_t> current(BlockSamples);
    FillBlocks(previous, current);
    auto work = std::make_unique<AnalysisWork>();
    auto result = std::make_unique<AnalysisResult>();
    for (auto _ : state) {
        AnalyseBlock(previous.data(), current.data(), Window, Fft, VScale, *work, *result);
        benchmark::DoNotOptimize(result->DisplayValues);
        benchmark::ClobberMemory();
    }
}
// One code of each family: linear, square root, dB, dB HL.
BENCHMARK(BM_AnalyseBlock)->ArgName("VScale")->Arg(2)->Arg(-2)->Arg(100)->Arg(70);

} // namespace

BENCHMARK_MAIN();
