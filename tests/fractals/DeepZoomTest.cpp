// The deep-zoom renderer against each pixel's own orbit on MPFR, at depths from doubles' reach
// to far past it, and against the window's Mandelbrot picture where the two meet.

#include "fractals/DeepZoom.h"
#include "fractals/FastEscape.h"
#include "fractals/FastEscapeKernels.h"
#include "fractals/FractalParams.h"
#include "tests/fractals/DeepOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Location
{
    const char *name;
    const char *re;
    const char *im;
    const char *width;
    int columns;
    int rows;
    uint32_t iterations;
    long oracleBits; // enough to tell the pixels apart, with a wide margin
};

void PrintTo(const Location &l, std::ostream *os)
{
    *os << l.name;
}

// The largest group of differing pixels that touch each other (sides or corners).
int LargestBlob(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b, int columns,
                int rows)
{
    std::vector<char> seen(a.size(), 0);
    int largest = 0;
    for (size_t start = 0; start < a.size(); ++start) {
        if (a[start] == b[start] || seen[start])
            continue;
        int size = 0;
        std::vector<size_t> stack {start};
        seen[start] = 1;
        while (!stack.empty()) {
            const size_t p = stack.back();
            stack.pop_back();
            ++size;
            const int i = static_cast<int>(p % columns);
            const int j = static_cast<int>(p / columns);
            for (int dj = -1; dj <= 1; ++dj) {
                for (int di = -1; di <= 1; ++di) {
                    if (i + di < 0 || i + di >= columns || j + dj < 0 || j + dj >= rows)
                        continue;
                    const size_t q = static_cast<size_t>(j + dj) * columns + (i + di);
                    if (a[q] != b[q] && !seen[q]) {
                        seen[q] = 1;
                        stack.push_back(q);
                    }
                }
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

class DeepAccuracy : public ::testing::TestWithParam<Location>
{
};

// Pictures small enough for the oracle; each centre has structure at every depth (the
// seahorse valley's spiral, the Misiurewicz points i and -2 and points just beside them), and
// the finest ones need deltas beyond a double's exponent.
const Location kLocations[] = {
    {"SeahorseValley1e5", "-0.743643887037158704752191506114774",
     "0.131825904205311970493132056385139", "1e-5", 48, 48, 5000, 128},
    {"SeahorseValley1e30", "-0.743643887037158704752191506114774",
     "0.131825904205311970493132056385139", "1e-30", 20, 16, 50000, 220},
    {"BesideI1e100", "0", "1", "1e-100", 32, 32, 5000, 460},
    {"BesideI1e300", "3e-300", "1", "1e-300", 32, 32, 5000, 1120},
    {"RealMisiurewicz1e300", "-1.5436890126920764", "0", "1e-300", 24, 24, 5000, 1120},
    {"BesideI1e1000", "0", "1", "1e-1000", 20, 16, 5000, 3460},
    {"BesideMinusTwo1e1000", "-2.0000000000000000000000000000001", "2e-1000", "1e-1000", 16, 16,
     5000, 3460},
    // A reference that escapes within a few iterations: no approximation is long enough to keep.
    {"OutsideTheSet", "0.3", "0", "1e-3", 24, 24, 1000, 128},
};

TEST_P(DeepAccuracy, CountsMatchEachPixelsOwnOrbit)
{
    const Location &l = GetParam();
    deep::Settings settings;
    settings.nIterations = l.iterations;
    deep::Renderer renderer(l.re, l.im, l.width, settings);
    std::vector<uint32_t> counts(static_cast<size_t>(l.columns) * l.rows, 0);
    deep::Stats stats;
    renderer.Render(l.width, l.columns, l.rows, counts.data(), nullptr, &stats);
    const std::vector<uint32_t> exact
        = oracle::Counts(l.re, l.im, l.width, l.columns, l.rows, l.iterations, 100.0, l.oracleBits);
    size_t same = 0;
    size_t escapeDiffers = 0;
    uint64_t total = 0;
    for (size_t p = 0; p < counts.size(); ++p) {
        same += counts[p] == exact[p];
        escapeDiffers += (counts[p] == l.iterations) != (exact[p] == l.iterations);
        total += counts[p];
    }
    const double pixels = double(counts.size());
    EXPECT_GE(same / pixels, 0.995);
    EXPECT_LE(escapeDiffers / pixels, 0.001);
    EXPECT_LE(LargestBlob(counts, exact, l.columns, l.rows), 2);
    EXPECT_EQ(stats.nIterations, total);
    EXPECT_LE(stats.nSkipped, stats.nIterations);
}

INSTANTIATE_TEST_SUITE_P(Depths, DeepAccuracy, ::testing::ValuesIn(kLocations),
                         [](const auto &test) { return std::string(test.param.name); });

// A centre inside the main cardioid, whose orbit comes back exactly to its fixed point: only a
// short stretch of it is stored, and every pixel goes round it, skipping whole repeats, to a
// limit of 10^8 that a stored orbit would need gigabytes for. The widths take the pixels
// through the grouped loop (doubles) and the scalar one (extended exponents).
TEST(DeepPeriodic, InsidePixelsGoRoundARepeatingReference)
{
    constexpr uint32_t kLimit = 100'000'000;
    for (const char *width : {"1e-20", "1e-400"}) {
        deep::Settings settings;
        settings.nIterations = kLimit;
        deep::Renderer renderer("-0.1", "0.1", width, settings);
        std::vector<uint32_t> counts(24 * 16, 0);
        deep::Stats stats;
        renderer.Render(width, 24, 16, counts.data(), nullptr, &stats);
        EXPECT_EQ(std::count(counts.begin(), counts.end(), kLimit), std::ptrdiff_t(counts.size()))
            << width;
        EXPECT_EQ(stats.nIterations, uint64_t(kLimit) * counts.size());
        EXPECT_GT(double(stats.nSkipped), 0.999 * double(stats.nIterations)) << width;
    }
}

// Every instruction set draws the same picture, but for the roundings that fused
// multiply-adds change. The picture is large and chaotic enough that many pixels leave their
// group of neighbours and wait, more than a worker holds back at once, for the lane-by-lane
// loop: each must still be written exactly once.
TEST(DeepLevels, EveryInstructionSetDrawsThePicture)
{
    const Location &l = kLocations[0];
    constexpr int kColumns = 256;
    constexpr int kRows = 192;
    deep::Settings settings;
    settings.nIterations = l.iterations;
    deep::Renderer renderer(l.re, l.im, l.width, settings);
    const size_t pixels = static_cast<size_t>(kColumns) * kRows;
    std::vector<uint32_t> scalar(pixels);
    ASSERT_TRUE(fast::SetSimdLevel(fast::SimdLevel::Scalar));
    renderer.Render(l.width, kColumns, kRows, scalar.data());
    for (fast::SimdLevel level :
         {fast::SimdLevel::Sse2, fast::SimdLevel::Avx2, fast::SimdLevel::Avx512}) {
        if (!fast::SetSimdLevel(level))
            continue;
        std::vector<uint32_t> counts(pixels, 0); // no count is 0
        deep::Stats stats;
        renderer.Render(l.width, kColumns, kRows, counts.data(), nullptr, &stats);
        size_t same = 0;
        uint64_t total = 0;
        for (size_t p = 0; p < pixels; ++p) {
            same += counts[p] == scalar[p];
            total += counts[p];
        }
        EXPECT_EQ(std::count(counts.begin(), counts.end(), 0u), 0) << fast::SimdLevelName(level);
        EXPECT_EQ(stats.nIterations, total) << fast::SimdLevelName(level);
        EXPECT_GE(same / double(pixels), 0.995) << fast::SimdLevelName(level);
        // A level's kernels for different cores read the same points in different ways.
        for (int kind = 0; kind < fast::kCoreKinds; ++kind) {
            fast::SetCoreKind(fast::CoreKind(kind));
            std::vector<uint32_t> again(pixels, 0);
            renderer.Render(l.width, kColumns, kRows, again.data());
            EXPECT_EQ(again, counts) << fast::SimdLevelName(level) << " "
                                     << fast::CoreKindName(fast::CoreKind(kind));
        }
        fast::SetCoreKind(fast::HostCore().kind);
    }
    fast::SetSimdLevel(fast::SupportedSimdLevel());
}

// At 255 iterations the deep kind's palette indices are the window's start-up picture, but for
// pixels whose orbits pass so close to the escape limit that the window's doubles and the
// deltas round to different sides of it.
TEST(DeepWindow, StartUpPictureAtTheWindowsIterations)
{
    constexpr int kSide = 512;
    FractalParams params;
    std::vector<uint8_t> window(kSide * kSide);
    params.Mandelbrot(window.data(), kSide, kSide, params.m_dMandelXMin, params.m_dMandelXMax,
                      params.m_dMandelYMin, params.m_dMandelYMax, params.m_dMandelBailout);
    deep::Settings settings;
    settings.nIterations = 255;
    deep::Renderer renderer("-0.75", "0", "3", settings);
    std::vector<uint32_t> counts(kSide * kSide);
    renderer.Render("3", kSide, kSide, counts.data());
    int differ = 0;
    for (size_t p = 0; p < counts.size(); ++p)
        differ += deep::PaletteIndex(counts[p], 255) != window[p];
    RecordProperty("differing_pixels", differ);
    EXPECT_LE(differ, 12);
}

TEST(DeepNumbers, DecimalsAreCheckedAndWidthsInterpolated)
{
    for (const char *good : {"-0.75", "1e-1000", "+3.", ".5E+2", "0", "12345678901234567890"})
        EXPECT_EQ(deep::DecimalError(good), "") << good;
    for (const char *bad : {"", "-", ".", "1e", "1e+", "0x10", "1,5", " 1", "1 ", "inf", "nan",
                            "1e999999999999", "--1", "1.2.3"})
        EXPECT_NE(deep::DecimalError(bad), "") << bad;
    EXPECT_EQ(deep::FrameWidth("3", "1e-50", 0, 11), "3");
    EXPECT_EQ(deep::FrameWidth("3", "1e-50", 10, 11), "1e-50");
    EXPECT_EQ(deep::FrameWidth("1", "1e-1000", 1, 3), "1.00000000000000000000e-500");
    EXPECT_EQ(deep::FrameWidth("4", "1", 1, 3), "2.00000000000000000000e0");
    EXPECT_THROW(deep::FrameWidth("1", "0", 1, 3), deep::BadNumber);
    EXPECT_THROW(deep::FrameWidth("1", "2", 3, 3), deep::BadNumber);
    EXPECT_THROW(deep::Renderer("x", "0", "1", deep::Settings()), deep::BadNumber);
    EXPECT_THROW(deep::Renderer("0", "0", "-1", deep::Settings()), deep::BadNumber);
    deep::Settings none;
    none.nIterations = 0;
    EXPECT_THROW(deep::Renderer("0", "0", "1", none), deep::BadNumber);
    deep::Renderer renderer("0", "0", "1e-10", deep::Settings());
    std::vector<uint32_t> counts(4);
    EXPECT_THROW(renderer.Render("1e-20", 2, 2, counts.data()), deep::BadNumber);
    EXPECT_THROW(renderer.Render("0", 2, 2, counts.data()), deep::BadNumber);
}

} // namespace
