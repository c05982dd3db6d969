// One recorded block and the one before it, turned into what the display draws: a Hann-windowed
// 4096-sample frame, its extremes, whether it clipped, and one display value per bin.
#pragma once

#include "dsp/fft.h"

#include <cstdint>

constexpr int BlockSamples = 2048;
constexpr int FrameSamples = 4096;
constexpr int BinCount = 2048;

// Entry i = (1 - cos(2 pi i / 4096)) * 32767, truncated.
void FillWindow(std::int32_t (&Window)[FrameSamples]);

// Working storage of one analysis; the caller keeps it (on the stack or in fixed storage).
// Aligned to cache lines, which the vector paths of the transform run best on.
struct AnalysisWork {
    alignas(64) FixedComplex Frame[FrameSamples];
    alignas(64) FixedComplex Spectrum[FrameSamples];
};

struct AnalysisResult {
    std::int32_t DisplayValues[BinCount];
    std::int32_t SampleMax;
    std::int32_t SampleMin;
    bool Clipping;
};

// Steps 1-3: the windowed frame, the extremes and the clipping state.
void BuildFrame(const std::int16_t* previous, const std::int16_t* current,
                const std::int32_t* Window, AnalysisWork& work, AnalysisResult& result);
// Steps 4-5: the one transform and the mapping of every bin under VScale.
void TransformAndMap(const fft& Fft, std::int32_t VScale, AnalysisWork& work,
                     AnalysisResult& result);
// Both, in order.
void AnalyseBlock(const std::int16_t* previous, const std::int16_t* current,
                  const std::int32_t* Window, const fft& Fft, std::int32_t VScale,
                  AnalysisWork& work, AnalysisResult& result);

// Terhardt's threshold in quiet, in dB, for a frequency in hertz (> 0).
float HearingThreshold(float frequency);
