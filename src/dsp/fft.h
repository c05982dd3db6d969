// A radix-2 decimation-in-time FFT on 32-bit fixed-point points: tables computed once,
// integer arithmetic only, 64-bit products shifted back by 16 bits.
#pragma once

#include <cstdint>

struct FixedComplex {
    std::int32_t re;
    std::int32_t im;
};

class fft {
public:
    explicit fft(std::int32_t order);
    ~fft();
    fft(const fft&) = delete;
    fft& operator=(const fft&) = delete;

    // input and output hold Size points each and must not overlap. Allocates nothing.
    void Transform(const FixedComplex* input, FixedComplex* output) const;

    std::int32_t Order;
    std::int32_t LastStage;
    std::int32_t Size;
    std::int32_t* BitReverse;
    std::int32_t* CosTable;
    std::int32_t* SinTable;
    std::int32_t TwiddleScale;
    std::int32_t TwiddleShift;
};
