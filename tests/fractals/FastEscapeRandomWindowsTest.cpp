// The fast Mandelbrot and Julia forms against the one-pixel forms on 3,000 random small windows,
// on every instruction-set level this processor has and under every core kind's tuning (each
// tuning runs on any core, so one machine checks them all): byte for byte.

#include "fractals/FastEscape.h"
#include "fractals/FastEscapeKernels.h"
#include "fractals/Reference.h"
#include "tests/fractals/EscapeWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kBlocks = 10;
constexpr int kWindowsPerBlock = 300; // 3,000 in all

// Sizes around every register width and tile edge; spans from the whole set down to a few ulps
// about points near its edge, where neighbouring lanes escape far apart; axes either way round.
Window RandomWindow(std::mt19937_64 &random)
{
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto whole = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Window w {};
    w.width = whole(2, 40);
    w.height = whole(2, 24);
    const double span = std::pow(10.0, uniform(-14.0, 0.5));
    const double x = uniform(-2.0, 0.5);
    const double y = uniform(-1.2, 1.2);
    w.xMin = x - span;
    w.xMax = x + span * uniform(0.2, 2.0);
    w.yMin = y - span * uniform(0.2, 2.0);
    w.yMax = y + span;
    if (whole(0, 3) == 0)
        std::swap(w.xMin, w.xMax);
    if (whole(0, 3) == 0)
        std::swap(w.yMin, w.yMax);
    const double bailouts[] = {100.0, 4.0, 2.0, 1e-3, 0.0, 1e6, 9.0, 100.0};
    w.bailout = bailouts[whole(0, 7)];
    w.cx = uniform(-1.0, 0.5);
    w.cy = uniform(-1.0, 1.0);
    return w;
}

class FastEscapeRandomWindows : public ::testing::TestWithParam<int>
{
protected:
    void TearDown() override
    {
        fast::SetSimdLevel(fast::SupportedSimdLevel());
        fast::SetCoreKind(fast::HostCore().kind);
    }
};

// Each window runs under one core kind's tuning, taken in turn, on every level.
TEST_P(FastEscapeRandomWindows, AgreeWithTheOnePixelForms)
{
    std::mt19937_64 random(20261208u + static_cast<unsigned>(GetParam()));
    std::vector<fast::SimdLevel> levels;
    for (int level = 0; level <= static_cast<int>(fast::SupportedSimdLevel()); ++level)
        levels.push_back(static_cast<fast::SimdLevel>(level));
    for (int i = 0; i < kWindowsPerBlock; ++i) {
        const Window w = RandomWindow(random);
        const auto core = static_cast<fast::CoreKind>(i % fast::kCoreKinds);
        fast::SetCoreKind(core);
        const size_t area = static_cast<size_t>(w.width) * w.height;
        std::vector<uint8_t> mandelbrot(area);
        std::vector<uint8_t> julia(area);
        reference::Mandelbrot(mandelbrot.data(), w.width, w.height, w.xMin, w.xMax, w.yMin, w.yMax,
                              w.bailout);
        reference::Julia(julia.data(), w.width, w.height, w.cx, w.cy, w.xMin, w.xMax, w.yMin,
                         w.yMax);
        for (fast::SimdLevel level : levels) {
            ASSERT_TRUE(fast::SetSimdLevel(level));
            std::vector<uint8_t> actual(area);
            fast::Mandelbrot(actual.data(), w.width, w.height, w.xMin, w.xMax, w.yMin, w.yMax,
                             w.bailout);
            ASSERT_EQ(mandelbrot, actual) << "Mandelbrot " << fast::SimdLevelName(level) << " "
                                          << fast::CoreKindName(core) << " " << Describe(w);
            fast::Julia(actual.data(), w.width, w.height, w.cx, w.cy, w.xMin, w.xMax, w.yMin,
                        w.yMax);
            ASSERT_EQ(julia, actual) << "Julia " << fast::SimdLevelName(level) << " "
                                     << fast::CoreKindName(core) << " " << Describe(w);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, FastEscapeRandomWindows, ::testing::Range(0, kBlocks));

} // namespace
