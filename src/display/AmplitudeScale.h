// The amplitude scale left of the trace: ticks every 1024 sample units (labelled in k) for the
// linear scales, every 10 dB for the dB scales, nothing for the square-root scale.
#pragma once

#include "display/ScaleMarks.h"
#include "platform/vcl/ExtCtrls.h"

#include <cstdint>
#include <vector>

// The marks for a control W x H, labels right-aligned with their tops at At.
std::vector<ScaleMark> AmplitudeScaleMarks(std::int32_t VScale, std::int32_t PixelDivisor,
                                           std::int32_t W, std::int32_t H);

// Repaints the image's bitmap (made at the control's size on first use) for VScale.
void DrawAmplitudeScale(TImage& image, std::int32_t VScale, std::int32_t PixelDivisor);
