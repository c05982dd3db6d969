#include "dsp/Analysis.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace {

constexpr std::int32_t SampleFullScale = 32767;
constexpr std::int32_t SampleFloor = -32768;
constexpr std::int32_t WindowShift = 15;
constexpr double MagnitudeFloor = 0.0001;
constexpr double ReferenceLevel = 1.0 / 16384.0; // 2^-14: a Magnitude of 16384 is 0 dB
constexpr double DisplayReference = 16384.0;
constexpr double BinHertz = 22050.0 / 2048.0;

bool IsLogarithmic(std::int32_t VScale) {
    return VScale > 40;
}
bool IsHearingLevel(std::int32_t VScale) {
    return VScale == 70 || VScale == 120;
}
constexpr std::int32_t SquareRootScale = -2;

// Truncates toward zero. Values below zero and beyond the 32-bit range (only reachable with scale
// codes outside the menu's) end at the nearest bound instead of becoming undefined.
std::int32_t ToDisplayValue(double value) {
    if (!(value > 0.0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

// The threshold depends only on the bin, so it is computed once, by the same function and from the
// same single-precision frequencies as a per-block call would use.
const float* BinThresholds() {
    static const auto table = [] {
        std::array<float, BinCount> t{};
        for (int j = 1; j < BinCount; ++j)
            t[j] = HearingThreshold(static_cast<float>(j * BinHertz));
        return t;
    }();
    return table.data();
}

float MagnitudeOf(const FixedComplex& point) {
    // Unsigned so that even two components of -2^31 cannot overflow the exact sum.
    const std::int64_t re = point.re;
    const std::int64_t im = point.im;
    const std::uint64_t sumOfSquares =
        static_cast<std::uint64_t>(re * re) + static_cast<std::uint64_t>(im * im);
    return static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)) * (1.0 / 4096.0));
}

} // namespace

void FillWindow(std::int32_t (&Window)[FrameSamples]) {
    for (int i = 0; i < FrameSamples; ++i)
        Window[i] = static_cast<std::int32_t>(
            (1.0 - std::cos(2.0 * std::numbers::pi * i / FrameSamples)) * 32767.0);
}

void BuildFrame(const std::int16_t* previous, const std::int16_t* current,
                const std::int32_t* Window, AnalysisWork& work, AnalysisResult& result) {
    std::int32_t sampleMax = SampleFloor;
    std::int32_t sampleMin = SampleFullScale;
    for (int i = 0; i < BlockSamples; ++i) {
        const std::int32_t p = previous[i];
        const std::int32_t c = current[i];
        // Window entries are at most 65534, so the 32-bit products cannot overflow.
        work.Frame[i] = {(p * Window[i]) >> WindowShift, 0};
        work.Frame[BlockSamples + i] = {(c * Window[BlockSamples + i]) >> WindowShift, 0};
        if (p > sampleMax)
            sampleMax = p;
        if (p < sampleMin)
            sampleMin = p;
        if (c > sampleMax)
            sampleMax = c;
        if (c < sampleMin)
            sampleMin = c;
    }
    result.SampleMax = sampleMax;
    result.SampleMin = sampleMin;
    result.Clipping = sampleMax == SampleFullScale || sampleMin == SampleFloor;
}

void TransformAndMap(const fft& Fft, std::int32_t VScale, AnalysisWork& work,
                     AnalysisResult& result) {
    // Any other size would read or write past the work arrays.
    if (Fft.Size != FrameSamples)
        throw std::invalid_argument("the analysis needs a 4096-point fft");
    Fft.Transform(work.Frame, work.Spectrum);

    if (IsLogarithmic(VScale)) {
        const bool hearingLevel = IsHearingLevel(VScale);
        const float* thresholds = hearingLevel ? BinThresholds() : nullptr;
        for (int j = 0; j < BinCount; ++j) {
            float magnitude = MagnitudeOf(work.Spectrum[j]);
            if (!(static_cast<double>(magnitude) >= MagnitudeFloor))
                magnitude = static_cast<float>(MagnitudeFloor);
            const double level = 20.0 * std::log10(static_cast<double>(magnitude) * ReferenceLevel);
            double value;
            if (hearingLevel) {
                if (j == 0) {
                    result.DisplayValues[0] = 0;
                    continue;
                }
                const double threshold = thresholds[j];
                value = (level - threshold) * DisplayReference / VScale + DisplayReference;
            } else {
                value = level * DisplayReference / VScale + DisplayReference;
            }
            result.DisplayValues[j] = ToDisplayValue(value);
        }
    } else if (VScale == SquareRootScale) {
        for (int j = 0; j < BinCount; ++j) {
            const float magnitude = MagnitudeOf(work.Spectrum[j]);
            result.DisplayValues[j] =
                ToDisplayValue(std::sqrt(static_cast<double>(magnitude)) * 128.0);
        }
    } else {
        const float scale = static_cast<float>(VScale);
        for (int j = 0; j < BinCount; ++j) {
            const float magnitude = MagnitudeOf(work.Spectrum[j]);
            result.DisplayValues[j] = ToDisplayValue(scale * magnitude);
        }
    }
}

void AnalyseBlock(const std::int16_t* previous, const std::int16_t* current,
                  const std::int32_t* Window, const fft& Fft, std::int32_t VScale,
                  AnalysisWork& work, AnalysisResult& result) {
    BuildFrame(previous, current, Window, work, result);
    TransformAndMap(Fft, VScale, work, result);
}

float HearingThreshold(float frequency) {
    const double k = static_cast<double>(frequency) * 0.001;
    const double d = k - 3.3;
    return static_cast<float>(3.64 * std::pow(k, -0.8) - 6.5 * std::exp(-0.6 * d * d) +
                              0.001 * std::pow(k, 4.0));
}
