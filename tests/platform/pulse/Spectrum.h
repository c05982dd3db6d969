// A double-precision reference for what the display would show: the Hann-windowed magnitude
// of each bin of a 4096-sample frame, and the bin (1 and up) with the largest one.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

inline int PeakBin(const std::int16_t* frame, std::size_t size = 4096) {
    std::vector<double> w(size);
    for (std::size_t i = 0; i < size; ++i)
        w[i] = frame[i] * (1 - std::cos(2 * std::numbers::pi * double(i) / double(size)));
    int best = 1;
    double bestPower = -1;
    for (std::size_t k = 1; k < size / 2; ++k) {
        // Recurrence over the samples keeps this O(n) per bin without a table.
        const double step = 2 * std::numbers::pi * double(k) / double(size);
        const double c = std::cos(step), s = std::sin(step);
        double re = 0, im = 0, cr = 1, ci = 0;
        for (std::size_t i = 0; i < size; ++i) {
            re += w[i] * cr;
            im -= w[i] * ci;
            const double nr = cr * c - ci * s;
            ci = cr * s + ci * c;
            cr = nr;
        }
        const double power = re * re + im * im;
        if (power > bestPower) {
            bestPower = power;
            best = int(k);
        }
    }
    return best;
}

// Power of one frequency in a run of samples, normalised per sample (Goertzel).
inline double TonePower(const std::int16_t* samples, std::size_t count, double hertz,
                        double rate = 44100) {
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hertz / rate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double s0 = samples[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return power / (double(count) * double(count));
}
