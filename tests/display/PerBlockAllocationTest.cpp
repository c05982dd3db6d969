// The per-block painting allocates nothing from the heap. This binary replaces the global
// allocation functions to count what happens while a block is painted.
#include "display/LevelMeter.h"
#include "display/Trace.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <new>

namespace {
bool counting = false;
long allocations = 0;
} // namespace

void* operator new(std::size_t size) {
    if (counting)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(PerBlockPainting, AllocatesNothing) {
    TPanel trace(nullptr), bar(nullptr), lamp(nullptr);
    trace.SetBevelOuter(TBevelCut::bvNone);
    trace.SetColor(clWhite);
    trace.resize(688, 391);
    bar.resize(291, 9);
    lamp.resize(41, 9);
    // First use sizes the surfaces; that is not per block.
    trace.Surface();
    bar.Surface();
    lamp.Surface();
    std::array<std::int32_t, TraceBins> values{};
    for (int k = 0; k < TraceBins; ++k)
        values[k] = (k * 131) % 20000;

    counting = true;
    for (std::int32_t HScale : {1, 2, 3, -1}) {
        for (bool clipping : {false, true}) {
            SetClipLamp(lamp, clipping);
            DrawLevelMeter(bar, clipping ? 32767 : 1000, -1000);
            DrawTrace(trace, values.data(), clipping, HScale, 32);
        }
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(trace.Surface().pixel(0, 390), qRgb(255, 0, 0)) << "the blocks were painted";
}

} // namespace
