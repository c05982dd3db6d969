// The frequency scale under the trace: ticks every 100 Hz from 0 to 22,100 Hz in the columns
// where the trace draws those frequencies, labelled in kHz (linear) or at eleven frequencies
// (logarithmic).
#pragma once

#include "display/ScaleMarks.h"
#include "platform/vcl/ExtCtrls.h"

#include <cstdint>
#include <vector>

// Trace column of frequency f (a multiple of 100 Hz) under HScale 1, 2, 3 or -1.
std::int32_t FrequencyColumn(std::int32_t f, std::int32_t HScale);

// The marks, columns offset by x0 (the width of the amplitude scale); labels centred on At.
std::vector<ScaleMark> FrequencyScaleMarks(std::int32_t HScale, std::int32_t x0);

// Repaints the image's bitmap (made at the control's size on first use) for HScale; x0 is the
// width of the amplitude scale's control.
void DrawFrequencyScale(TImage& image, std::int32_t HScale, std::int32_t x0);
