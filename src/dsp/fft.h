// A radix-2 decimation-in-time FFT on 32-bit fixed-point points: tables computed once,
// integer arithmetic only, 64-bit products shifted back by 16 bits.
#pragma once

#include <cstdint>

struct FixedComplex {
    std::int32_t re;
    std::int32_t im;
};

// The fixed-point rules of the transform, kept in one place so the vector paths and the tests
// can be held against them.
namespace fixedpoint {

// 32 x 32 -> 64-bit signed product; cannot overflow.
constexpr std::int64_t Product(std::int32_t a, std::int32_t b) {
    return static_cast<std::int64_t>(a) * b;
}

// Arithmetic shift: rounds toward minus infinity, so -1 stays -1.
constexpr std::int64_t ShiftDown(std::int64_t value, std::int32_t shift) {
    return value >> shift;
}

// The low 32 bits of a wide value, as a signed number.
constexpr std::int32_t Low32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// 32-bit additions wrap without saturating; done unsigned so overflow is defined.
constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

} // namespace fixedpoint

class fft {
public:
    // order is the base-2 logarithm of the number of points, 1 to 30.
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

// The loops Transform can run: plain ones everywhere, vector ones where the processor has the
// instructions. Transform picks the widest; tests pin each in turn. All give the same bits.
enum class FftKernel { Portable, Avx2, Avx512 };

bool FftKernelSupported(FftKernel kernel);
FftKernel BestFftKernel();
// Runs the transform with kernel, or with the portable loops where kernel is not supported.
void TransformWith(FftKernel kernel, const fft& f, const FixedComplex* input, FixedComplex* output);
