// The fast Mandelbrot and Julia forms at picture sizes other than the window's: narrow, flat,
// odd and tile-edge sizes on every instruction-set path, byte for byte against the one-pixel
// forms at that size, and the progress record counting every pixel exactly once.

#include "fractals/FastEscape.h"
#include "fractals/FastEscapeKernels.h"
#include "fractals/Progress.h"
#include "fractals/Reference.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Size
{
    int width;
    int height;
};

// One and two tiles wide or high, a tile plus or minus one, single-register widths, and
// pictures far longer on one side than the other.
constexpr int kTileW = fast::kTileWidth;
constexpr int kTileH = fast::kTileHeight;
const Size kSizes[] = {{2, 2},
                       {3, 1000},
                       {1000, 3},
                       {kTileW + 1, 2 * kTileH + 1},
                       {4097, 3},
                       {3, 4097},
                       {kTileW, kTileH},
                       {kTileW - 1, 2 * kTileH - 1},
                       {2 * kTileW + 1, kTileH + 1},
                       {2, 300},
                       {9, 2},
                       {64, 48},
                       {65, 63}};

struct View
{
    const char *name;
    double xMin, xMax, yMin, yMax;
    double bailout; // Mandelbrot
    double cx, cy; // Julia
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kJuliaCX = static_cast<double>(-0.22375f);
const double kJuliaCY = static_cast<double>(0.76508f);

const View kMandelbrotViews[] = {
    {"default", -2.25, 0.75, -1.5, 1.5, 100.0, 0, 0},
    {"mirrored", 0.75, -2.25, 1.5, -1.5, 100.0, 0, 0},
    {"zoomed", -0.7436448, -0.7436438, 0.1318250, 0.1318260, 100.0, 0, 0},
    {"tiny span", -1.25, -1.25 + 1e-13, 0.0, 1e-13, 4.0, 0, 0},
    {"bailout 0", -2.25, 0.75, -1.5, 1.5, 0.0, 0, 0},
    {"bailout 1e300", -2.25, 0.75, -1.5, 1.5, 1e300, 0, 0},
    {"bailout not a number", -2.25, 0.75, -1.5, 1.5, kNaN, 0, 0},
    {"bailout below 0", -2.25, 0.75, -1.5, 1.5, -1.0, 0, 0},
};

const View kJuliaViews[] = {
    {"default", -1.5, 1.5, -1.5, 1.5, 0, kJuliaCX, kJuliaCY},
    {"mirrored", 1.5, -1.5, 1.5, -1.5, 0, kJuliaCX, kJuliaCY},
    {"c = 0", -1.5, 1.5, -1.5, 1.5, 0, 0.0, 0.0},
    {"dendrite zoomed", -0.1, 0.1, 0.9, 1.1, 0, 0.0, 1.0},
    {"c = -0.8 + 0.156i", -2.0, 2.0, -1.2, 1.2, 0, -0.8, 0.156},
};

std::string Describe(const char *kind, const View &view, const Size &size)
{
    return std::string(kind) + " " + view.name + " at " + std::to_string(size.width) + "x"
        + std::to_string(size.height) + " on " + fast::SimdLevelName(fast::ActiveSimdLevel());
}

size_t Area(const Size &size)
{
    return static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
}

// The picture sits between two guard runs, so a write past either end shows.
constexpr size_t kGuard = 64;
constexpr uint8_t kFill = 0xA5;

std::vector<uint8_t> Guarded(const Size &size)
{
    return std::vector<uint8_t>(Area(size) + 2 * kGuard, kFill);
}

std::vector<uint8_t> Inside(const std::vector<uint8_t> &guarded)
{
    return {guarded.begin() + kGuard, guarded.end() - kGuard};
}

bool GuardsIntact(const std::vector<uint8_t> &guarded)
{
    for (size_t i = 0; i < kGuard; ++i) {
        if (guarded[i] != kFill || guarded[guarded.size() - 1 - i] != kFill)
            return false;
    }
    return true;
}

class FastEscapeSizes : public ::testing::TestWithParam<fast::SimdLevel>
{
protected:
    void SetUp() override
    {
        if (!fast::SetSimdLevel(GetParam()))
            GTEST_SKIP() << "this processor has no " << fast::SimdLevelName(GetParam());
    }
    void TearDown() override { fast::SetSimdLevel(fast::SupportedSimdLevel()); }
};

TEST_P(FastEscapeSizes, MandelbrotMatchesReferenceAtEverySize)
{
    for (const Size &size : kSizes) {
        for (const View &v : kMandelbrotViews) {
            std::vector<uint8_t> expected(Area(size), kFill);
            reference::Mandelbrot(expected.data(), size.width, size.height, v.xMin, v.xMax, v.yMin,
                                  v.yMax, v.bailout);
            std::vector<uint8_t> actual = Guarded(size);
            fast::Mandelbrot(actual.data() + kGuard, size.width, size.height, v.xMin, v.xMax,
                             v.yMin, v.yMax, v.bailout);
            EXPECT_TRUE(GuardsIntact(actual)) << Describe("Mandelbrot", v, size);
            EXPECT_TRUE(Inside(actual) == expected) << Describe("Mandelbrot", v, size);
        }
    }
}

TEST_P(FastEscapeSizes, JuliaMatchesReferenceAtEverySize)
{
    for (const Size &size : kSizes) {
        for (const View &v : kJuliaViews) {
            std::vector<uint8_t> expected(Area(size), kFill);
            reference::Julia(expected.data(), size.width, size.height, v.cx, v.cy, v.xMin, v.xMax,
                             v.yMin, v.yMax);
            std::vector<uint8_t> actual = Guarded(size);
            fast::Julia(actual.data() + kGuard, size.width, size.height, v.cx, v.cy, v.xMin, v.xMax,
                        v.yMin, v.yMax);
            EXPECT_TRUE(GuardsIntact(actual)) << Describe("Julia", v, size);
            EXPECT_TRUE(Inside(actual) == expected) << Describe("Julia", v, size);
        }
    }
}

// Every pixel is counted once: the total is the picture, and the count reaches it exactly
// when the generator returns, whatever the size and however the work was split.
TEST_P(FastEscapeSizes, ProgressReachesTotalExactly)
{
    for (const Size &size : kSizes) {
        for (const double bailout : {100.0, -1.0}) {
            std::vector<uint8_t> picture(Area(size));
            GeneratorProgress mandelbrot;
            fast::Mandelbrot(picture.data(), size.width, size.height, -2.25, 0.75, -1.5, 1.5,
                             bailout, &mandelbrot);
            EXPECT_EQ(mandelbrot.Total(), int64_t(Area(size))) << size.width << "x" << size.height;
            EXPECT_EQ(mandelbrot.Done(), mandelbrot.Total()) << size.width << "x" << size.height;
        }
        std::vector<uint8_t> picture(Area(size));
        GeneratorProgress julia;
        fast::Julia(picture.data(), size.width, size.height, kJuliaCX, kJuliaCY, -1.5, 1.5, -1.5,
                    1.5, &julia);
        EXPECT_EQ(julia.Total(), int64_t(Area(size))) << size.width << "x" << size.height;
        EXPECT_EQ(julia.Done(), julia.Total()) << size.width << "x" << size.height;
    }
}

// A reader on another thread, as a progress bar is, never sees more done than the total nor
// the count going back.
TEST_P(FastEscapeSizes, ProgressSeenWhileDrawingOnlyGrowsToTotal)
{
    const Size size {256, 128};
    std::vector<uint8_t> picture(Area(size));
    GeneratorProgress progress;
    std::atomic<bool> drawing {true};
    bool overshot = false;
    bool wentBack = false;
    std::thread reader([&] {
        int64_t last = 0;
        while (drawing.load()) {
            const int64_t done = progress.Done();
            const int64_t total = progress.Total();
            overshot |= total > 0 && done > total;
            wentBack |= done < last;
            last = done;
            std::this_thread::yield();
        }
    });
    fast::Mandelbrot(picture.data(), size.width, size.height, -2.25, 0.75, -1.5, 1.5, 100.0,
                     &progress);
    drawing.store(false);
    reader.join();
    EXPECT_FALSE(overshot);
    EXPECT_FALSE(wentBack);
    EXPECT_EQ(progress.Done(), int64_t(Area(size)));
}

INSTANTIATE_TEST_SUITE_P(Paths, FastEscapeSizes,
                         ::testing::Values(fast::SimdLevel::Scalar, fast::SimdLevel::Sse2,
                                           fast::SimdLevel::Avx2, fast::SimdLevel::Avx512),
                         [](const auto &level) { return fast::SimdLevelName(level.param); });

} // namespace
