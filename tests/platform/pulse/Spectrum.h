// What the display would show for a recorded frame: the program's own analysis of 4096
// samples (as the previous and the current block), and the bin (1 and up) with the largest
// display value.
#pragma once

#include "dsp/Analysis.h"

#include <algorithm>
#include <cstdint>
#include <memory>

inline int PeakBin(const std::int16_t* frame) {
    static const fft Fft(12);
    static const auto Window = [] {
        auto w = std::make_unique<std::int32_t[]>(FrameSamples);
        FillWindow(*reinterpret_cast<std::int32_t(*)[FrameSamples]>(w.get()));
        return w;
    }();
    auto work = std::make_unique<AnalysisWork>();
    auto result = std::make_unique<AnalysisResult>();
    BuildFrame(frame, frame + BlockSamples, Window.get(), *work, *result);
    TransformAndMap(Fft, 1, *work, *result);
    const std::int32_t* values = result->DisplayValues;
    return int(std::max_element(values + 1, values + BinCount) - values);
}
