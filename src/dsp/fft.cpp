#include "dsp/fft.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUORVANE_FFT_X86 1
#endif

namespace {

using namespace fixedpoint;

// The butterfly exactly as the fixed-point rules give it; the vector path must match it bit for
// bit.
inline void Butterfly(FixedComplex& a, FixedComplex& b, std::int32_t Wc, std::int32_t Ws,
                      std::int32_t shift) {
    const std::int32_t tr = Low32(ShiftDown(Product(Wc, b.re) - Product(Ws, b.im), shift));
    const std::int32_t ti = Low32(ShiftDown(Product(Ws, b.re) + Product(Wc, b.im), shift));
    const FixedComplex p{WrapAdd(a.re, tr), WrapAdd(a.im, ti)};
    const FixedComplex q{WrapSub(a.re, tr), WrapSub(a.im, ti)};
    a = p;
    b = q;
}

void BitReversedCopy(const fft& f, const FixedComplex* __restrict input,
                     FixedComplex* __restrict output) {
    const std::int32_t* __restrict reverse = f.BitReverse;
    for (std::int32_t i = 0; i < f.Size; ++i)
        output[i] = input[reverse[i]];
}

void StagesPortable(const fft& f, FixedComplex* __restrict output) {
    const std::int32_t* __restrict cosTable = f.CosTable;
    const std::int32_t* __restrict sinTable = f.SinTable;
    const std::int32_t shift = f.TwiddleShift;
    for (std::int32_t s = 0; s <= f.LastStage; ++s) {
        const std::int32_t span = 1 << s;
        const std::int32_t stride = 1 << (f.LastStage - s);
        for (std::int32_t j = 0; j < span; ++j) {
            const std::int32_t Wc = cosTable[stride * j];
            const std::int32_t Ws = sinTable[stride * j];
            for (std::int32_t g = 0; g < stride; ++g) {
                const std::int32_t p = 2 * span * g + j;
                Butterfly(output[p], output[p + span], Wc, Ws, shift);
            }
        }
    }
}

#ifdef QUORVANE_FFT_X86

// Four butterflies at once. a and b hold four points each; wc and ws hold one twiddle per point
// in the low half of each 64-bit lane (vpmuldq reads only those, sign-extended). Only bits 16..47
// of the 64-bit sums survive into tr and ti, so logical shifts give the same bits as the
// arithmetic shift of the scalar rule.
__attribute__((target("avx2"))) inline void Butterfly4(__m256i& a, __m256i& b, __m256i wc,
                                                       __m256i ws) {
    const __m256i bre = b;
    const __m256i bim = _mm256_srli_epi64(b, 32);
    const __m256i d = _mm256_sub_epi64(_mm256_mul_epi32(wc, bre), _mm256_mul_epi32(ws, bim));
    const __m256i s = _mm256_add_epi64(_mm256_mul_epi32(ws, bre), _mm256_mul_epi32(wc, bim));
    const __m256i t = _mm256_blend_epi32(_mm256_srli_epi64(d, 16), _mm256_slli_epi64(s, 16), 0xAA);
    const __m256i p = _mm256_add_epi32(a, t);
    b = _mm256_sub_epi32(a, t);
    a = p;
}

__attribute__((target("avx2"))) inline __m256i Load4(const FixedComplex* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

__attribute__((target("avx2"))) inline void Store4(FixedComplex* at, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
}

// The copy as 4 x 4 transposes: with i = (high 2 bits, middle, low 2 bits), the 16 outputs of
// one middle part come from 4 contiguous runs of 4 inputs, whose start BitReverse gives.
// Requires Order >= 4.
__attribute__((target("avx2"))) void BitReversedCopyAvx2(const fft& f,
                                                         const FixedComplex* __restrict input,
                                                         FixedComplex* __restrict output) {
    const std::int32_t quarter = f.Size / 4;
    for (std::int32_t mid = 0; mid < quarter / 4; ++mid) {
        const std::int32_t base = f.BitReverse[4 * mid];
        // Row k holds the inputs whose output's low 2 bits are k, reversed: rows 0, 2, 1, 3.
        const __m256i a0 = Load4(input + base);
        const __m256i a1 = Load4(input + 2 * quarter + base);
        const __m256i a2 = Load4(input + quarter + base);
        const __m256i a3 = Load4(input + 3 * quarter + base);
        const __m256i t0 = _mm256_unpacklo_epi64(a0, a1);
        const __m256i t1 = _mm256_unpackhi_epi64(a0, a1);
        const __m256i t2 = _mm256_unpacklo_epi64(a2, a3);
        const __m256i t3 = _mm256_unpackhi_epi64(a2, a3);
        FixedComplex* at = output + 4 * mid;
        Store4(at, _mm256_permute2x128_si256(t0, t2, 0x20));
        Store4(at + quarter, _mm256_permute2x128_si256(t0, t2, 0x31));
        Store4(at + 2 * quarter, _mm256_permute2x128_si256(t1, t3, 0x20));
        Store4(at + 3 * quarter, _mm256_permute2x128_si256(t1, t3, 0x31));
    }
}

// Twiddles stride * j to stride * (j + 3), one per 64-bit lane.
__attribute__((target("avx2"))) inline __m256i Twiddles4(const std::int32_t* __restrict table,
                                                         std::int32_t j, std::int32_t stride) {
    if (stride == 1)
        return _mm256_cvtepi32_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + j)));
    // Entries 2j, 2j + 2, ... already sit in the low halves of the 64-bit lanes.
    if (stride == 2)
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table + 2 * j));
    const std::int32_t t = stride * j;
    return _mm256_setr_epi64x(table[t], table[t + stride], table[t + 2 * stride],
                              table[t + 3 * stride]);
}

// Requires Order >= 3 and TwiddleShift == 16. Same nesting as the portable loops: stage, then
// twiddle index j, then group g; j is taken eight, four or two at a time where the span allows,
// and g two or four at a time where it does not. Butterflies of one stage touch disjoint points,
// so the results are those of the portable loops exactly.
__attribute__((target("avx2"))) void StagesAvx2(const fft& f, FixedComplex* __restrict output) {
    const std::int32_t* __restrict cosTable = f.CosTable;
    const std::int32_t* __restrict sinTable = f.SinTable;
    const std::int32_t half = f.Size / 2;

    // Stage 0: span 1, one twiddle, butterflies on neighbouring points.
    {
        const __m256i wc = _mm256_set1_epi64x(cosTable[0]);
        const __m256i ws = _mm256_set1_epi64x(sinTable[0]);
        for (std::int32_t g = 0; g < half; g += 4) {
            const __m256i x = Load4(output + 2 * g);
            const __m256i y = Load4(output + 2 * g + 4);
            __m256i a = _mm256_unpacklo_epi64(x, y);
            __m256i b = _mm256_unpackhi_epi64(x, y);
            Butterfly4(a, b, wc, ws);
            Store4(output + 2 * g, _mm256_unpacklo_epi64(a, b));
            Store4(output + 2 * g + 4, _mm256_unpackhi_epi64(a, b));
        }
    }

    // Stage 1: span 2, j = 0 and 1 together.
    {
        const std::int32_t stride = 1 << (f.LastStage - 1);
        const __m256i wc =
            _mm256_setr_epi64x(cosTable[0], cosTable[stride], cosTable[0], cosTable[stride]);
        const __m256i ws =
            _mm256_setr_epi64x(sinTable[0], sinTable[stride], sinTable[0], sinTable[stride]);
        for (std::int32_t g = 0; g < stride; g += 2) {
            const __m256i x = Load4(output + 4 * g);
            const __m256i y = Load4(output + 4 * g + 4);
            __m256i a = _mm256_permute2x128_si256(x, y, 0x20);
            __m256i b = _mm256_permute2x128_si256(x, y, 0x31);
            Butterfly4(a, b, wc, ws);
            Store4(output + 4 * g, _mm256_permute2x128_si256(a, b, 0x20));
            Store4(output + 4 * g + 4, _mm256_permute2x128_si256(a, b, 0x31));
        }
    }

    // Stage 2: span 4, the four j of a group are contiguous.
    if (f.LastStage >= 2) {
        const std::int32_t stride = 1 << (f.LastStage - 2);
        const __m256i wc = Twiddles4(cosTable, 0, stride);
        const __m256i ws = Twiddles4(sinTable, 0, stride);
        for (std::int32_t g = 0; g < stride; ++g) {
            FixedComplex* at = output + 8 * g;
            __m256i a = Load4(at);
            __m256i b = Load4(at + 4);
            Butterfly4(a, b, wc, ws);
            Store4(at, a);
            Store4(at + 4, b);
        }
    }

    // Stages 3 and up: span >= 8, eight j at a time, so each group's points fill whole lines.
    for (std::int32_t s = 3; s <= f.LastStage; ++s) {
        const std::int32_t span = 1 << s;
        const std::int32_t stride = 1 << (f.LastStage - s);
        for (std::int32_t j = 0; j < span; j += 8) {
            const __m256i wc0 = Twiddles4(cosTable, j, stride);
            const __m256i ws0 = Twiddles4(sinTable, j, stride);
            const __m256i wc1 = Twiddles4(cosTable, j + 4, stride);
            const __m256i ws1 = Twiddles4(sinTable, j + 4, stride);
            FixedComplex* __restrict at = output + j;
            for (std::int32_t g = 0; g < stride; ++g, at += 2 * span) {
                __m256i a0 = Load4(at);
                __m256i a1 = Load4(at + 4);
                __m256i b0 = Load4(at + span);
                __m256i b1 = Load4(at + span + 4);
                Butterfly4(a0, b0, wc0, ws0);
                Butterfly4(a1, b1, wc1, ws1);
                Store4(at, a0);
                Store4(at + 4, a1);
                Store4(at + span, b0);
                Store4(at + span + 4, b1);
            }
        }
    }
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

} // namespace

fft::fft(std::int32_t order) {
    if (order < 1 || order > 30)
        throw std::invalid_argument("fft order must lie between 1 and 30");
    Order = order;
    LastStage = order - 1;
    Size = 1 << order;
    TwiddleShift = 16;
    TwiddleScale = 1 << TwiddleShift;

    auto reverse = std::make_unique<std::int32_t[]>(Size);
    auto cosines = std::make_unique<std::int32_t[]>(Size);
    auto sines = std::make_unique<std::int32_t[]>(Size);

    for (std::int32_t i = 0; i < Size; ++i) {
        std::int32_t r = 0;
        std::int32_t b = i;
        for (std::int32_t n = 0; n < Order; ++n) {
            r = 2 * r + (b & 1);
            b >>= 1;
        }
        reverse[i] = r;
    }

    // The step is rounded to single precision on purpose: the tables carry that rounding.
    const float step = static_cast<float>(2.0 * std::numbers::pi / Size);
    for (std::int32_t i = 0; i < Size; ++i) {
        const double angle = static_cast<double>(i) * static_cast<double>(step);
        cosines[i] = static_cast<std::int32_t>(std::cos(angle) * TwiddleScale);
        sines[i] = static_cast<std::int32_t>(std::sin(angle) * TwiddleScale);
    }

    BitReverse = reverse.release();
    CosTable = cosines.release();
    SinTable = sines.release();
}

fft::~fft() {
    delete[] BitReverse;
    delete[] CosTable;
    delete[] SinTable;
}

void TransformPortable(const fft& f, const FixedComplex* input, FixedComplex* output) {
    BitReversedCopy(f, input, output);
    StagesPortable(f, output);
}

void fft::Transform(const FixedComplex* input, FixedComplex* output) const {
#ifdef QUORVANE_FFT_X86
    if (Order >= 3 && TwiddleShift == 16 && HasAvx2()) {
        if (Order >= 4)
            BitReversedCopyAvx2(*this, input, output);
        else
            BitReversedCopy(*this, input, output);
        StagesAvx2(*this, output);
        return;
    }
#endif
    TransformPortable(*this, input, output);
}
