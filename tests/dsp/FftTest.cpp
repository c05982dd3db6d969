#include "dsp/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

static bool operator==(const FixedComplex& a, const FixedComplex& b) {
    return a.re == b.re && a.im == b.im;
}

static std::ostream& operator<<(std::ostream& os, const FixedComplex& p) {
    return os << '(' << p.re << ", " << p.im << ')';
}

namespace {

using Points = std::vector<FixedComplex>;

Points Transformed(const fft& f, const Points& input) {
    Points output(f.Size, FixedComplex{12345, -54321}); // every point must be overwritten
    f.Transform(input.data(), output.data());
    return output;
}

// A plain model of the transform written from the rules: bit-reversed copy, then every stage in
// 64-bit arithmetic with the 32-bit wrap done by hand.
Points Model(const fft& f, const Points& input) {
    const std::int32_t n = f.Size;
    Points out(n);
    for (std::int32_t i = 0; i < n; ++i) {
        std::int32_t r = 0;
        for (std::int32_t b = 0; b < f.Order; ++b)
            r |= ((i >> b) & 1) << (f.Order - 1 - b);
        out[i] = input[r];
    }
    auto wrap = [](std::int64_t v) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFF));
    };
    for (std::int32_t span = 1; span < n; span *= 2) {
        const std::int32_t stride = n / (2 * span);
        for (std::int32_t j = 0; j < span; ++j) {
            const std::int64_t wc = f.CosTable[stride * j];
            const std::int64_t ws = f.SinTable[stride * j];
            for (std::int32_t g = 0; g < stride; ++g) {
                FixedComplex& a = out[2 * span * g + j];
                FixedComplex& b = out[2 * span * g + j + span];
                const std::int64_t tr = wrap((wc * b.re - ws * b.im) >> 16);
                const std::int64_t ti = wrap((ws * b.re + wc * b.im) >> 16);
                const FixedComplex p{wrap(a.re + tr), wrap(a.im + ti)};
                b = {wrap(a.re - tr), wrap(a.im - ti)};
                a = p;
            }
        }
    }
    return out;
}

Points Random(std::int32_t n, std::int32_t limit, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::int32_t> value(-limit, limit);
    Points p(n);
    for (auto& x : p)
        x = {value(rng), value(rng)};
    return p;
}

TEST(FixedPoint, RulesOnRawValues) {
    using namespace fixedpoint;
    constexpr std::int32_t min32 = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t max32 = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(Product(min32, min32), std::int64_t{1} << 62);
    EXPECT_EQ(Product(max32, -65536), -(std::int64_t{max32} << 16));
    EXPECT_EQ(ShiftDown(-1, 16), -1);
    EXPECT_EQ(ShiftDown(-65537, 16), -2);
    EXPECT_EQ(ShiftDown(65537, 16), 1);
    EXPECT_EQ(Low32((std::int64_t{1} << 32) + 5), 5);
    EXPECT_EQ(Low32(std::int64_t{max32} + 1), min32);
    EXPECT_EQ(WrapAdd(max32, 1), min32);
    EXPECT_EQ(WrapSub(min32, 1), max32);
    EXPECT_EQ(WrapAdd(-7, 3), -4);
}

TEST(Fft, Fields) {
    const fft f(12);
    EXPECT_EQ(f.Order, 12);
    EXPECT_EQ(f.LastStage, 11);
    EXPECT_EQ(f.Size, 4096);
    EXPECT_EQ(f.TwiddleScale, 65536);
    EXPECT_EQ(f.TwiddleShift, 16);
}

TEST(Fft, RejectsOrdersOutsideRange) {
    EXPECT_THROW(fft(0), std::invalid_argument);
    EXPECT_THROW(fft(-3), std::invalid_argument);
    EXPECT_THROW(fft(31), std::invalid_argument);
}

TEST(Fft, OrderThreeTables) {
    const fft f(3);
    const std::int32_t reverse[] = {0, 4, 2, 6, 1, 5, 3, 7};
    const std::int32_t cosines[] = {65536, 46340, 0, -46340, -65535, -46340, 0, 46340};
    const std::int32_t sines[] = {0, 46340, 65535, 46340, 0, -46340, -65535, -46340};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.BitReverse[i], reverse[i]) << i;
        EXPECT_EQ(f.CosTable[i], cosines[i]) << i;
        EXPECT_EQ(f.SinTable[i], sines[i]) << i;
    }
}

TEST(Fft, OrderTwelveTableEntries) {
    const fft f(12);
    struct Entry {
        int index;
        std::int32_t cosine;
        std::int32_t sine;
    };
    for (const Entry& e : {Entry{0, 65536, 0}, Entry{1, 65535, 100}, Entry{512, 46340, 46340},
                           Entry{1024, 0, 65535}}) {
        EXPECT_EQ(f.CosTable[e.index], e.cosine) << e.index;
        EXPECT_EQ(f.SinTable[e.index], e.sine) << e.index;
    }
    for (int bit = 0; bit < 12; ++bit)
        EXPECT_EQ(f.BitReverse[1 << bit], 1 << (11 - bit)) << bit;
    for (int i = 0; i < f.Size; ++i)
        ASSERT_EQ(f.BitReverse[f.BitReverse[i]], i) << i;
}

TEST(Fft, ZerosGiveZeros) {
    const fft f(12);
    const Points out = Transformed(f, Points(f.Size, FixedComplex{0, 0}));
    for (int k = 0; k < f.Size; ++k)
        ASSERT_EQ(out[k], (FixedComplex{0, 0})) << k;
}

TEST(Fft, ImpulseAtZeroIsFlat) {
    const fft f(12);
    for (std::int32_t v : {65534, -65534, 1, -1, 40000}) {
        Points in(f.Size, FixedComplex{0, 0});
        in[0] = {v, 0};
        const Points out = Transformed(f, in);
        for (int k = 0; k < f.Size; ++k)
            ASSERT_EQ(out[k], (FixedComplex{v, 0})) << "v=" << v << " k=" << k;
    }
}

TEST(Fft, ImpulseAtOneGivesTheTablesWithPositiveExponent) {
    const fft f(12);
    Points in(f.Size, FixedComplex{0, 0});
    in[1] = {65536, 0};
    const Points out = Transformed(f, in);
    EXPECT_EQ(out[1], (FixedComplex{65535, 100}));
    EXPECT_EQ(out[1024], (FixedComplex{0, 65535}));
    EXPECT_EQ(out[2048], (FixedComplex{-65536, 0}));
    const int half = f.Size / 2;
    for (int k = 0; k < half; ++k) {
        ASSERT_EQ(out[k], (FixedComplex{f.CosTable[k], f.SinTable[k]})) << k;
        ASSERT_EQ(out[k + half], (FixedComplex{-f.CosTable[k], -f.SinTable[k]})) << k;
    }
}

TEST(Fft, ConstantAndAlternatingInputsConcentrateInOneBin) {
    const fft f(12);
    struct Case {
        std::int32_t v;
        bool alternating;
        int bin;
    };
    for (const Case& c : {Case{65534, false, 0}, Case{-65534, false, 0}, Case{3, false, 0},
                          Case{65534, true, 2048}, Case{-1000, true, 2048}}) {
        Points in(f.Size);
        for (int n = 0; n < f.Size; ++n)
            in[n] = {c.alternating && n % 2 ? -c.v : c.v, 0};
        const Points out = Transformed(f, in);
        for (int k = 0; k < f.Size; ++k) {
            const FixedComplex expected =
                k == c.bin ? FixedComplex{f.Size * c.v, 0} : FixedComplex{0, 0};
            ASSERT_EQ(out[k], expected) << "v=" << c.v << " k=" << k;
        }
    }
    Points in(f.Size, FixedComplex{65534, 0});
    EXPECT_EQ(Transformed(f, in)[0], (FixedComplex{268427264, 0}));
}

// Random points, small and large enough to wrap, for orders on every path: each kernel the
// processor has must match the plain rules bit for bit.
TEST(Fft, EveryKernelMatchesTheArithmeticRulesExactly) {
    struct Case {
        std::int32_t order;
        std::int32_t limit;
    };
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    std::uint32_t seed = 1;
    for (const Case& c :
         {Case{1, 65534}, Case{2, 65534}, Case{3, 65534}, Case{4, big}, Case{5, 65534},
          Case{8, big}, Case{12, 65534}, Case{12, big}, Case{13, 1 << 20}}) {
        const fft f(c.order);
        const Points in = Random(f.Size, c.limit, seed++);
        const Points expected = Model(f, in);
        for (FftKernel kernel : {FftKernel::Portable, FftKernel::Avx2, FftKernel::Avx512}) {
            if (!FftKernelSupported(kernel))
                continue;
            Points out(f.Size, FixedComplex{12345, -54321});
            TransformWith(kernel, f, in.data(), out.data());
            for (int k = 0; k < f.Size; ++k)
                ASSERT_EQ(out[k], expected[k])
                    << "kernel=" << static_cast<int>(kernel) << " order=" << c.order
                    << " limit=" << c.limit << " k=" << k;
        }
        EXPECT_EQ(Transformed(f, in), expected) << "order=" << c.order;
    }
}

// Signal-to-noise ratio in dB of out against a double-precision DFT with the given sign of the
// exponent.
double SnrAgainstDft(const Points& in, const Points& out, int sign) {
    const int n = static_cast<int>(in.size());
    std::vector<double> c(n), s(n);
    for (int i = 0; i < n; ++i) {
        c[i] = std::cos(2.0 * std::numbers::pi * i / n);
        s[i] = sign * std::sin(2.0 * std::numbers::pi * i / n);
    }
    double signal = 0.0;
    double noise = 0.0;
    for (int k = 0; k < n; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (int m = 0; m < n; ++m) {
            const int t = static_cast<int>((static_cast<std::int64_t>(m) * k) % n);
            re += in[m].re * c[t] - in[m].im * s[t];
            im += in[m].re * s[t] + in[m].im * c[t];
        }
        signal += re * re + im * im;
        const double dr = out[k].re - re;
        const double di = out[k].im - im;
        noise += dr * dr + di * di;
    }
    return 10.0 * std::log10(signal / noise);
}

TEST(Fft, CloseToDoublePrecisionDftWithPositiveExponent) {
    const fft f(12);
    const Points in = Random(f.Size, 65534, 2024);
    const Points out = Transformed(f, in);
    EXPECT_GT(SnrAgainstDft(in, out, +1), 80.0);
    EXPECT_LT(SnrAgainstDft(in, out, -1), 10.0);
}

} // namespace
