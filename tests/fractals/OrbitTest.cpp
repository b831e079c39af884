// Martin and Mira orbits: the first plotted points, counts, saturation and inputs that overflow.

#include "FractalTestSupport.h"
#include "fractals/FractalParams.h"
#include "fractals/Recipes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace {

using Cells = std::set<std::pair<int, int>>;

// (row, column) of every byte that holds value, or of every byte other than value.
Cells CellsWhere(const Picture &p, uint8_t value, bool equal = true)
{
    Cells cells;
    for (int row = 0; row < kSize; ++row)
        for (int col = 0; col < kSize; ++col)
            if ((At(p, row, col) == value) == equal)
                cells.insert({row, col});
    return cells;
}

Picture MartinPicture(double a, double b, double c, int iterations)
{
    Picture p = MakePicture();
    FractalParams().Martin(p.data(), kSize, kSize, a, b, c, iterations);
    return p;
}

Picture MiraPicture(double a, double b, double sx, double sy, int x1, int y1, int x2, int y2,
                    int iterations)
{
    Picture p = MakePicture();
    FractalParams().Mira(p.data(), kSize, kSize, a, b, sx, sy, x1, y1, x2, y2, iterations);
    return p;
}

// The Martin command's coefficients over `iterations` steps.
Picture MartinSteps(int iterations)
{
    const recipe::MartinArgs &r = recipe::kMartin;
    return MartinPicture(r.dA, r.dB, r.dC, iterations);
}

// The Mira command's coefficients and scale with other corners and steps.
Picture MiraWith(int x1, int y1, int x2, int y2, int iterations)
{
    const recipe::MiraArgs &r = recipe::kMira;
    return MiraPicture(r.dA, r.dB, r.dSX, r.dSY, x1, y1, x2, y2, iterations);
}

// The Mira command's picture after `iterations` steps.
Picture MiraSteps(int iterations)
{
    const recipe::MiraArgs &r = recipe::kMira;
    return MiraWith(r.nX1, r.nY1, r.nX2, r.nY2, iterations);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(MartinTest, FirstPointsOfTheCommand)
{
    const std::pair<int, int> expected[] = {{256, 266}, {266, 266}, {235, 256}, {302, 287}};
    for (int n = 1; n <= 4; ++n) {
        const Cells now = CellsWhere(MartinSteps(n), 0, false);
        ASSERT_EQ(now.size(), std::size_t(n));
        EXPECT_TRUE(now.count(expected[n - 1])) << "point " << n;
    }
    const Picture full = MartinSteps(recipe::kMartin.nIterations);
    EXPECT_GT(CellsWhere(full, 0, false).size(), 1000u);
}

TEST(MartinTest, SaturatesAndClears)
{
    // The orbit of zero coefficients stays at the origin.
    Picture p = MartinPicture(0, 0, 0, 300);
    EXPECT_EQ(At(p, 256, 256), 255);
    EXPECT_EQ(Count(p, 0), p.size() - 1);
    p = MartinPicture(0, 0, 0, 44);
    EXPECT_EQ(At(p, 256, 256), 44);

    for (int iterations : {0, -1, std::numeric_limits<int>::min()})
        EXPECT_EQ(Count(MartinSteps(iterations), 0), p.size());

    Picture untouched(64, 0xA5);
    FractalParams().Martin(untouched.data(), 0, 8, 1, 2, 3, 100);
    FractalParams().Martin(untouched.data(), 8, -1, 1, 2, 3, 100);
    EXPECT_EQ(Count(untouched, 0xA5), untouched.size());
}

TEST(MartinTest, NonFiniteAndHugeCoordinatesLeaveNoMark)
{
    for (double v : {kNaN, kInf, -kInf}) {
        EXPECT_EQ(Count(MartinPicture(v, 100, -10, 1000), 0), std::size_t(kSize) * kSize);
        EXPECT_LE(CellsWhere(MartinPicture(10, v, -10, 1000), 0, false).size(), 2u);
        EXPECT_LE(CellsWhere(MartinPicture(10, 100, v, 1000), 0, false).size(), 2u);
    }
    // Points far beyond the int range still count as steps.
    EXPECT_EQ(Count(MartinPicture(-1e300, 1e300, 1e300, 1000), 0), std::size_t(kSize) * kSize);
    // With a = -1000 most points land outside the picture: only the 1487 steps inside mark a
    // cell, 1424 cells in all.
    const Picture far = MartinPicture(-1000, 100, -10, 10000);
    std::size_t marks = 0;
    for (uint8_t v : far)
        marks += v;
    EXPECT_EQ(marks, 1487u);
    EXPECT_EQ(CellsWhere(far, 0, false).size(), 1424u);
}

TEST(MiraTest, TheCommandsPicture)
{
    EXPECT_EQ(CellsWhere(MiraSteps(1), 255), (Cells {{288, 230}}));
    EXPECT_EQ(CellsWhere(MiraSteps(2), 255), (Cells {{288, 230}, {264, 219}}));

    const int steps = recipe::kMira.nIterations;
    const Picture p = MiraSteps(steps);
    EXPECT_EQ(Count(p, 255), 5729u);
    EXPECT_EQ(Count(p, 1) + Count(p, 255), p.size());
    EXPECT_EQ(p, MiraWith(16, 12, -16, -12, steps));
    // Only the spans count: the origin stays at the centre.
    EXPECT_EQ(p, MiraWith(-10, -20, 22, 4, steps));
}

TEST(MiraTest, FixedPointOfAZeroB)
{
    const Picture p = MiraPicture(-0.2, 0, 10, 0, -24, -18, 24, 18, recipe::kOrbitIterations);
    const Cells expected {{279, 140}, {275, 249}, {273, 253}, {272, 255},
                          {271, 255}, {271, 256}, {270, 256}};
    EXPECT_EQ(CellsWhere(p, 255), expected);
}

TEST(MiraTest, EmptyAndHostileInputs)
{
    const std::size_t all = std::size_t(kSize) * kSize;
    EXPECT_EQ(Count(MiraWith(5, -12, 5, 12, 1000), 1), all);
    EXPECT_EQ(Count(MiraWith(-16, 7, 16, 7, 1000), 1), all);
    EXPECT_EQ(Count(MiraSteps(0), 1), all);
    EXPECT_EQ(Count(MiraSteps(-5), 1), all);
    EXPECT_EQ(Count(MiraPicture(kNaN, 0.998, 3, 0, -16, -12, 16, 12, 1000), 1), all);
    EXPECT_EQ(Count(MiraPicture(-0.25, kInf, kInf, kInf, -16, -12, 16, 12, 1000), 1), all);
    // Extreme corners: a span wider than the int range, and a tiny one sending points far out.
    const int lo = std::numeric_limits<int>::min();
    const int hi = std::numeric_limits<int>::max();
    const Picture wide = MiraWith(lo, lo, hi, hi, 1000);
    EXPECT_EQ(Count(wide, 1) + Count(wide, 255), all);
    const Picture narrow = MiraPicture(-0.25, 0.998, 1e9, 1e9, 0, 0, 1, 1, 1000);
    EXPECT_EQ(Count(narrow, 1) + Count(narrow, 255), all);

    Picture untouched(64, 0xA5);
    const recipe::MiraArgs &r = recipe::kMira;
    FractalParams().Mira(untouched.data(), -1, 8, r.dA, r.dB, r.dSX, r.dSY, r.nX1, r.nY1, r.nX2,
                         r.nY2, 10);
    EXPECT_EQ(Count(untouched, 0xA5), untouched.size());
}

} // namespace
