#include "dsp/fft.h"

#include <cmath>
#include <memory>
#include <new>
#include <numbers>
#include <stdexcept>

#if defined(__x86_64__)
// GCC 12's AVX-512 headers trip -Wmaybe-uninitialized on their own undefined-vector placeholders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
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

// The stages below share these rules: the nesting is that of the portable loops (stage, then
// twiddle index j, then group g), with j taken eight, four or two at a time where the span allows
// and g two or four at a time where it does not. Butterflies of one stage touch disjoint points,
// so the results are those of the portable loops exactly. They require Order >= 3 and
// TwiddleShift == 16.

// Stage 0: span 1, one twiddle, butterflies on neighbouring points.
__attribute__((target("avx2"))) inline void Stage0Avx2(const fft& f,
                                                       FixedComplex* __restrict output) {
    const __m256i wc = _mm256_set1_epi64x(f.CosTable[0]);
    const __m256i ws = _mm256_set1_epi64x(f.SinTable[0]);
    for (std::int32_t g = 0; g < f.Size / 2; g += 4) {
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
__attribute__((target("avx2"))) inline void Stage1Avx2(const fft& f,
                                                       FixedComplex* __restrict output) {
    const std::int32_t stride = 1 << (f.LastStage - 1);
    const __m256i wc =
        _mm256_setr_epi64x(f.CosTable[0], f.CosTable[stride], f.CosTable[0], f.CosTable[stride]);
    const __m256i ws =
        _mm256_setr_epi64x(f.SinTable[0], f.SinTable[stride], f.SinTable[0], f.SinTable[stride]);
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
__attribute__((target("avx2"))) inline void Stage2Avx2(const fft& f,
                                                       FixedComplex* __restrict output) {
    const std::int32_t stride = 1 << (f.LastStage - 2);
    const __m256i wc = Twiddles4(f.CosTable, 0, stride);
    const __m256i ws = Twiddles4(f.SinTable, 0, stride);
    for (std::int32_t g = 0; g < stride; ++g) {
        FixedComplex* at = output + 8 * g;
        __m256i a = Load4(at);
        __m256i b = Load4(at + 4);
        Butterfly4(a, b, wc, ws);
        Store4(at, a);
        Store4(at + 4, b);
    }
}

__attribute__((target("avx2"))) void StagesAvx2(const fft& f, FixedComplex* __restrict output) {
    Stage0Avx2(f, output);
    Stage1Avx2(f, output);
    if (f.LastStage >= 2)
        Stage2Avx2(f, output);
    // Span >= 8: eight j at a time, so each group's points fill whole cache lines.
    for (std::int32_t s = 3; s <= f.LastStage; ++s) {
        const std::int32_t span = 1 << s;
        const std::int32_t stride = 1 << (f.LastStage - s);
        for (std::int32_t j = 0; j < span; j += 8) {
            const __m256i wc0 = Twiddles4(f.CosTable, j, stride);
            const __m256i ws0 = Twiddles4(f.SinTable, j, stride);
            const __m256i wc1 = Twiddles4(f.CosTable, j + 4, stride);
            const __m256i ws1 = Twiddles4(f.SinTable, j + 4, stride);
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

#define QUORVANE_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))

// Eight butterflies at once, as Butterfly4. One word permute takes bits 16..47 of each difference
// and each sum into place.
QUORVANE_AVX512 inline void Butterfly8(__m512i& a, __m512i& b, __m512i wc, __m512i ws,
                                       __m512i pick) {
    const __m512i bim = _mm512_srli_epi64(b, 32);
    const __m512i d = _mm512_sub_epi64(_mm512_mul_epi32(wc, b), _mm512_mul_epi32(ws, bim));
    const __m512i s = _mm512_add_epi64(_mm512_mul_epi32(ws, b), _mm512_mul_epi32(wc, bim));
    const __m512i t = _mm512_permutex2var_epi16(d, pick, s);
    const __m512i p = _mm512_add_epi32(a, t);
    b = _mm512_sub_epi32(a, t);
    a = p;
}

QUORVANE_AVX512 inline __m512i Load8(const FixedComplex* at) {
    return _mm512_loadu_si512(at);
}

QUORVANE_AVX512 inline void Store8(FixedComplex* at, __m512i v) {
    _mm512_storeu_si512(at, v);
}

// Twiddles stride * j to stride * (j + 7), one per 64-bit lane (the high halves are don't-cares).
// Gathers are slow on some processors, so the short strides pick entries out of whole lines.
QUORVANE_AVX512 inline __m512i Twiddles8(const std::int32_t* __restrict table, std::int32_t j,
                                         std::int32_t stride) {
    const std::int32_t* from = table + stride * j;
    switch (stride) {
    case 1:
        return _mm512_cvtepi32_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from)));
    case 2:
        return _mm512_loadu_si512(from);
    case 4: {
        const __m512i every4 =
            _mm512_setr_epi32(0, 0, 4, 0, 8, 0, 12, 0, 16, 0, 20, 0, 24, 0, 28, 0);
        return _mm512_permutex2var_epi32(_mm512_loadu_si512(from), every4,
                                         _mm512_loadu_si512(from + 16));
    }
    case 8: {
        // Entries 0, 8, 16, 24 of each pair of lines, placed in the lower or the upper half.
        const __m512i every8 =
            _mm512_setr_epi32(0, 0, 8, 0, 16, 0, 24, 0, 0, 0, 8, 0, 16, 0, 24, 0);
        const __m512i low = _mm512_permutex2var_epi32(_mm512_loadu_si512(from), every8,
                                                      _mm512_loadu_si512(from + 16));
        const __m512i high = _mm512_permutex2var_epi32(_mm512_loadu_si512(from + 32), every8,
                                                       _mm512_loadu_si512(from + 48));
        return _mm512_mask_blend_epi32(0xFF00, low, high);
    }
    default:
        return _mm512_inserti64x4(_mm512_castsi256_si512(Twiddles4(table, j, stride)),
                                  Twiddles4(table, j + 4, stride), 1);
    }
}

// Stage 0 on sixteen points: even points against odd ones.
QUORVANE_AVX512 void Stage0Avx512(const fft& f, FixedComplex* __restrict output, __m512i pick) {
    const __m512i wc = _mm512_set1_epi64(f.CosTable[0]);
    const __m512i ws = _mm512_set1_epi64(f.SinTable[0]);
    const __m512i even = _mm512_setr_epi64(0, 2, 4, 6, 8, 10, 12, 14);
    const __m512i odd = _mm512_setr_epi64(1, 3, 5, 7, 9, 11, 13, 15);
    const __m512i low = _mm512_setr_epi64(0, 8, 1, 9, 2, 10, 3, 11);
    const __m512i high = _mm512_setr_epi64(4, 12, 5, 13, 6, 14, 7, 15);
    for (std::int32_t g = 0; g < f.Size / 2; g += 8) {
        const __m512i x = Load8(output + 2 * g);
        const __m512i y = Load8(output + 2 * g + 8);
        __m512i a = _mm512_permutex2var_epi64(x, even, y);
        __m512i b = _mm512_permutex2var_epi64(x, odd, y);
        Butterfly8(a, b, wc, ws, pick);
        Store8(output + 2 * g, _mm512_permutex2var_epi64(a, low, b));
        Store8(output + 2 * g + 8, _mm512_permutex2var_epi64(a, high, b));
    }
}

// Stage 1: span 2, j = 0 and 1 together, four groups at a time.
QUORVANE_AVX512 void Stage1Avx512(const fft& f, FixedComplex* __restrict output, __m512i pick) {
    const std::int32_t stride = 1 << (f.LastStage - 1);
    const std::int64_t c0 = f.CosTable[0], c1 = f.CosTable[stride];
    const std::int64_t s0 = f.SinTable[0], s1 = f.SinTable[stride];
    const __m512i wc = _mm512_setr_epi64(c0, c1, c0, c1, c0, c1, c0, c1);
    const __m512i ws = _mm512_setr_epi64(s0, s1, s0, s1, s0, s1, s0, s1);
    const __m512i first = _mm512_setr_epi64(0, 1, 4, 5, 8, 9, 12, 13);
    const __m512i second = _mm512_setr_epi64(2, 3, 6, 7, 10, 11, 14, 15);
    const __m512i low = _mm512_setr_epi64(0, 1, 8, 9, 2, 3, 10, 11);
    const __m512i high = _mm512_setr_epi64(4, 5, 12, 13, 6, 7, 14, 15);
    for (std::int32_t g = 0; g < stride; g += 4) {
        const __m512i x = Load8(output + 4 * g);
        const __m512i y = Load8(output + 4 * g + 8);
        __m512i a = _mm512_permutex2var_epi64(x, first, y);
        __m512i b = _mm512_permutex2var_epi64(x, second, y);
        Butterfly8(a, b, wc, ws, pick);
        Store8(output + 4 * g, _mm512_permutex2var_epi64(a, low, b));
        Store8(output + 4 * g + 8, _mm512_permutex2var_epi64(a, high, b));
    }
}

// Stage 2: span 4, two groups at a time.
QUORVANE_AVX512 void Stage2Avx512(const fft& f, FixedComplex* __restrict output, __m512i pick) {
    const std::int32_t stride = 1 << (f.LastStage - 2);
    const __m256i wc4 = Twiddles4(f.CosTable, 0, stride);
    const __m256i ws4 = Twiddles4(f.SinTable, 0, stride);
    const __m512i wc = _mm512_inserti64x4(_mm512_castsi256_si512(wc4), wc4, 1);
    const __m512i ws = _mm512_inserti64x4(_mm512_castsi256_si512(ws4), ws4, 1);
    for (std::int32_t g = 0; g < stride; g += 2) {
        const __m512i x = Load8(output + 8 * g);
        const __m512i y = Load8(output + 8 * g + 8);
        __m512i a = _mm512_shuffle_i64x2(x, y, 0x44);
        __m512i b = _mm512_shuffle_i64x2(x, y, 0xEE);
        Butterfly8(a, b, wc, ws, pick);
        Store8(output + 8 * g, _mm512_shuffle_i64x2(a, b, 0x44));
        Store8(output + 8 * g + 8, _mm512_shuffle_i64x2(a, b, 0xEE));
    }
}

// Requires Order >= 4.
QUORVANE_AVX512 void StagesAvx512(const fft& f, FixedComplex* __restrict output) {
    // Words 1 and 2 of each 64-bit lane of the differences, then those of the sums.
    alignas(64) static constexpr std::uint16_t words[32] = {
        1,  2,  33, 34, 5,  6,  37, 38, 9,  10, 41, 42, 13, 14, 45, 46,
        17, 18, 49, 50, 21, 22, 53, 54, 25, 26, 57, 58, 29, 30, 61, 62};
    const __m512i pick = _mm512_load_si512(words);
    Stage0Avx512(f, output, pick);
    Stage1Avx512(f, output, pick);
    Stage2Avx512(f, output, pick);
    for (std::int32_t s = 3; s <= f.LastStage; ++s) {
        const std::int32_t span = 1 << s;
        const std::int32_t stride = 1 << (f.LastStage - s);
        for (std::int32_t j = 0; j < span; j += 8) {
            const __m512i wc = Twiddles8(f.CosTable, j, stride);
            const __m512i ws = Twiddles8(f.SinTable, j, stride);
            FixedComplex* __restrict at = output + j;
            for (std::int32_t g = 0; g < stride; ++g, at += 2 * span) {
                __m512i a = Load8(at);
                __m512i b = Load8(at + span);
                Butterfly8(a, b, wc, ws, pick);
                Store8(at, a);
                Store8(at + span, b);
            }
        }
    }
}

#undef QUORVANE_AVX512

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

bool HasAvx512() {
    static const bool has = __builtin_cpu_supports("avx512f") &&
                            __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vl");
    return has;
}

#endif

// Tables start on a cache line so the vector loads of twiddles never straddle two.
constexpr std::align_val_t TableAlignment{64};

void FreeTable(std::int32_t* table) {
    ::operator delete[](table, TableAlignment);
}

struct TableDeleter {
    void operator()(std::int32_t* table) const { FreeTable(table); }
};

std::unique_ptr<std::int32_t[], TableDeleter> AllocateTable(std::int32_t size) {
    return std::unique_ptr<std::int32_t[], TableDeleter>(
        new (TableAlignment) std::int32_t[static_cast<std::size_t>(size)]);
}

} // namespace

fft::fft(std::int32_t order) {
    if (order < 1 || order > 30)
        throw std::invalid_argument("fft order must lie between 1 and 30");
    Order = order;
    LastStage = order - 1;
    Size = 1 << order;
    TwiddleShift = 16;
    TwiddleScale = 1 << TwiddleShift;

    auto reverse = AllocateTable(Size);
    auto cosines = AllocateTable(Size);
    auto sines = AllocateTable(Size);

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
    FreeTable(BitReverse);
    FreeTable(CosTable);
    FreeTable(SinTable);
}

bool FftKernelSupported(FftKernel kernel) {
    switch (kernel) {
    case FftKernel::Portable:
        return true;
#ifdef QUORVANE_FFT_X86
    case FftKernel::Avx2:
        return HasAvx2();
    case FftKernel::Avx512:
        return HasAvx512();
#endif
    default:
        return false;
    }
}

void TransformWith(FftKernel kernel, const fft& f, const FixedComplex* input,
                   FixedComplex* output) {
#ifdef QUORVANE_FFT_X86
    const bool vector = f.Order >= 3 && f.TwiddleShift == 16 && FftKernelSupported(kernel);
    if (vector && kernel != FftKernel::Portable) {
        if (f.Order >= 4)
            BitReversedCopyAvx2(f, input, output);
        else
            BitReversedCopy(f, input, output);
        if (kernel == FftKernel::Avx512 && f.Order >= 4)
            StagesAvx512(f, output);
        else
            StagesAvx2(f, output);
        return;
    }
#else
    (void)kernel;
#endif
    BitReversedCopy(f, input, output);
    StagesPortable(f, output);
}

FftKernel BestFftKernel() {
    static const FftKernel best = FftKernelSupported(FftKernel::Avx512) ? FftKernel::Avx512
                                  : FftKernelSupported(FftKernel::Avx2) ? FftKernel::Avx2
                                                                        : FftKernel::Portable;
    return best;
}

void fft::Transform(const FixedComplex* input, FixedComplex* output) const {
    TransformWith(BestFftKernel(), *this, input, output);
}
