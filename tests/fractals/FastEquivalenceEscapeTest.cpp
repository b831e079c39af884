// The vectorised, multi-core Mandelbrot and Julia forms against the one-pixel-at-a-time forms:
// byte for byte, on every instruction-set path this processor has.

#include "fractals/FastEscape.h"
#include "fractals/Reference.h"
#include "tests/fractals/EscapeWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

// A picture with guard bytes on both sides, so a write past either end shows.
class GuardedBuffer
{
public:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kFill = 0xA5;

    explicit GuardedBuffer(size_t size) : m_bytes(size + 2 * kGuard, kFill), m_size(size) { }
    uint8_t *Data() { return m_bytes.data() + kGuard; }
    std::vector<uint8_t> Picture() const
    {
        return {m_bytes.begin() + kGuard, m_bytes.begin() + static_cast<long>(kGuard + m_size)};
    }
    bool GuardsIntact() const
    {
        for (size_t i = 0; i < kGuard; ++i) {
            if (m_bytes[i] != kFill || m_bytes[kGuard + m_size + i] != kFill)
                return false;
        }
        return true;
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_size;
};

size_t Area(const Window &w)
{
    return w.width > 0 && w.height > 0 ? static_cast<size_t>(w.width) * w.height : 0;
}

// Deterministic spread of windows: small pictures of awkward sizes, every scale from a whole
// set down to a few ulps, mirrored axes, limits at and below zero.
std::vector<Window> SmallWindows()
{
    uint32_t state = 20240601;
    auto uniform = [&state](double low, double high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * (state >> 8) / static_cast<double>(1u << 24);
    };
    const int sizes[][2] = {{37, 23}, {64, 48}, {2, 2}, {3, 7}, {17, 5}, {9, 64}, {33, 31}, {8, 8}};
    const double bailouts[] = {100.0, 4.0, 2.0, 0.0, 1e-3, 1e6, 1e300, -1.0, 9.0, 100.0};
    std::vector<Window> windows;
    for (int i = 0; i < 120; ++i) {
        Window w {};
        w.width = sizes[i % 8][0];
        w.height = sizes[i % 8][1];
        const double span = std::pow(10.0, uniform(-13.0, 0.7));
        const double x = uniform(-2.0, 0.6);
        const double y = uniform(-1.2, 1.2);
        w.xMin = x - span;
        w.xMax = x + span * uniform(0.5, 1.5);
        w.yMin = y - span;
        w.yMax = y + span * uniform(0.5, 1.5);
        if (i % 5 == 1)
            std::swap(w.xMin, w.xMax);
        if (i % 7 == 2)
            std::swap(w.yMin, w.yMax);
        w.bailout = bailouts[i % 10];
        w.cx = uniform(-1.0, 0.5);
        w.cy = uniform(-1.0, 1.0);
        windows.push_back(w);
    }
    // Grid points that are exact binary numbers: squared moduli land exactly on the limit.
    windows.push_back({5, 5, -2.0, 2.0, -2.0, 2.0, 4.0, 0.0, 0.0});
    windows.push_back({9, 9, -2.0, 2.0, -2.0, 2.0, 2.0, 1.0, 0.0});
    windows.push_back({5, 3, -2.0, 2.0, 0.0, 0.0, 4.0, -2.0, 0.0});
    // Zero spans on one or both axes.
    windows.push_back({37, 23, -0.5, -0.5, -1.0, 1.0, 100.0, -0.8, 0.156});
    windows.push_back({37, 23, -0.5, -0.5, 0.25, 0.25, 100.0, 0.285, 0.01});
    // Orbits that overflow to infinity and beyond, where not-a-number must never escape.
    windows.push_back({37, 23, -1e300, 1e300, -1e300, 1e300, 1e308, 0.0, 0.0});
    windows.push_back({37, 23, -1e160, 1e160, -1e160, 1e160, 100.0, 1e160, -1e160});
    windows.push_back(
        {37, 23, -1.0, 1.0, -1.0, 1.0, std::numeric_limits<double>::infinity(), 0.0, 0.0});
    windows.push_back(
        {37, 23, -2.0, 1.0, -1.0, 1.0, std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0});
    // Spans of a few subnormal steps.
    windows.push_back({37, 23, -1e-310, 1e-310, -1e-310, 1e-310, 100.0, 0.0, 0.0});
    return windows;
}

// Each picture is computed once the reference way and compared with what every instruction-set
// path this processor has makes of it.
class FastEscapeEquivalence : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (fast::SimdLevel level : {fast::SimdLevel::Scalar, fast::SimdLevel::Sse2,
                                      fast::SimdLevel::Avx2, fast::SimdLevel::Avx512}) {
            if (fast::SetSimdLevel(level))
                m_levels.push_back(level);
            else
                std::printf("this processor has no %s\n", fast::SimdLevelName(level));
        }
        ASSERT_FALSE(m_levels.empty());
        ASSERT_EQ(m_levels.front(), fast::SimdLevel::Scalar);
    }
    void TearDown() override { fast::SetSimdLevel(fast::SupportedSimdLevel()); }

    template<typename Render>
    void ExpectSameOnEveryLevel(const Window &w, const std::vector<uint8_t> &expected,
                                Render render)
    {
        for (fast::SimdLevel level : m_levels) {
            ASSERT_TRUE(fast::SetSimdLevel(level));
            GuardedBuffer actual(Area(w));
            render(actual.Data());
            EXPECT_TRUE(actual.GuardsIntact()) << fast::SimdLevelName(level) << " " << Describe(w);
            EXPECT_TRUE(expected == actual.Picture())
                << fast::SimdLevelName(level) << " " << Describe(w);
        }
    }

    void ExpectSameMandelbrot(const Window &w)
    {
        GuardedBuffer expected(Area(w));
        reference::Mandelbrot(expected.Data(), w.width, w.height, w.xMin, w.xMax, w.yMin, w.yMax,
                              w.bailout);
        ExpectSameOnEveryLevel(w, expected.Picture(), [&w](uint8_t *out) {
            fast::Mandelbrot(out, w.width, w.height, w.xMin, w.xMax, w.yMin, w.yMax, w.bailout);
        });
    }

    void ExpectSameJulia(const Window &w)
    {
        GuardedBuffer expected(Area(w));
        reference::Julia(expected.Data(), w.width, w.height, w.cx, w.cy, w.xMin, w.xMax, w.yMin,
                         w.yMax);
        ExpectSameOnEveryLevel(w, expected.Picture(), [&w](uint8_t *out) {
            fast::Julia(out, w.width, w.height, w.cx, w.cy, w.xMin, w.xMax, w.yMin, w.yMax);
        });
    }

    std::vector<fast::SimdLevel> m_levels;
};

const double kJuliaCX = static_cast<double>(-0.22375f);
const double kJuliaCY = static_cast<double>(0.76508f);

TEST_F(FastEscapeEquivalence, MandelbrotMatchesOnSmallWindows)
{
    for (const Window &w : SmallWindows())
        ExpectSameMandelbrot(w);
}

TEST_F(FastEscapeEquivalence, JuliaMatchesOnSmallWindows)
{
    for (const Window &w : SmallWindows())
        ExpectSameJulia(w);
}

TEST_F(FastEscapeEquivalence, MandelbrotMatchesOnFullPictures)
{
    const Window windows[] = {
        {512, 512, -2.25, 0.75, -1.5, 1.5, 100.0, 0, 0},
        {512, 512, 0.75, -2.25, 1.5, -1.5, 100.0, 0, 0},
        {512, 512, -0.7436448, -0.7436438, 0.1318250, 0.1318260, 100.0, 0, 0},
        {512, 512, -1.25, -1.25 + 1e-13, 0.0, 1e-13, 4.0, 0, 0},
        {512, 512, -2.25, 0.75, -1.5, 1.5, -0.5, 0, 0},
        {511, 509, -2.0, 2.0, -2.0, 2.0, 4.0, 0, 0},
        {512, 512, -1e200, 1e200, -1e200, 1e200, 100.0, 0, 0},
    };
    for (const Window &w : windows)
        ExpectSameMandelbrot(w);
}

TEST_F(FastEscapeEquivalence, JuliaMatchesOnFullPictures)
{
    const Window windows[] = {
        {512, 512, -1.5, 1.5, -1.5, 1.5, 0, kJuliaCX, kJuliaCY},
        {512, 512, 1.5, -1.5, 1.5, -1.5, 0, kJuliaCX, kJuliaCY},
        {512, 512, -1.5, 1.5, -1.5, 1.5, 0, 0.0, 0.0},
        {512, 512, 0.1, 0.1 + 1e-9, 0.2, 0.2 + 1e-9, 0, kJuliaCX, kJuliaCY},
        {512, 512, 0.3, 0.3, -1.5, 1.5, 0, -0.8, 0.156},
        {509, 511, -2.0, 2.0, -2.0, 2.0, 0, -0.5, 0.5},
    };
    for (const Window &w : windows)
        ExpectSameJulia(w);
}

TEST_F(FastEscapeEquivalence, SizesBelowTwoWriteNothing)
{
    const int sizes[][2] = {{0, 0}, {1, 1}, {1, 64}, {64, 1}, {0, 10}, {-5, 10}, {10, -5}};
    for (fast::SimdLevel level : m_levels) {
        ASSERT_TRUE(fast::SetSimdLevel(level));
        for (const auto &size : sizes) {
            GuardedBuffer mandelbrot(0);
            GuardedBuffer julia(0);
            fast::Mandelbrot(mandelbrot.Data(), size[0], size[1], -2.25, 0.75, -1.5, 1.5, 100.0);
            fast::Julia(julia.Data(), size[0], size[1], kJuliaCX, kJuliaCY, -1.5, 1.5, -1.5, 1.5);
            // The guards cover the first 64 bytes of where a picture would start.
            EXPECT_TRUE(mandelbrot.GuardsIntact())
                << fast::SimdLevelName(level) << " " << size[0] << "x" << size[1];
            EXPECT_TRUE(julia.GuardsIntact())
                << fast::SimdLevelName(level) << " " << size[0] << "x" << size[1];
        }
    }
}

} // namespace
