// The wallpaper rings and the DLA walk: values, symmetry, bounds, growth and refusals.

#include "FractalTestSupport.h"
#include "fractals/FractalParams.h"
#include "fractals/Random.h"
#include "fractals/Recipes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(RandomTest, SequenceFromASeed)
{
    Random random(1);
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    EXPECT_EQ(random.Next(), 26500);
    Random a(123456789), b(123456789);
    for (int i = 0; i < 1000; ++i) {
        const int n = a.Next();
        ASSERT_EQ(n, b.Next());
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 32767);
    }
}

TEST(WallpaperTest, TheCommandsPicture)
{
    const recipe::WallpaperArgs &r = recipe::kWallpaper;
    Picture p = MakePicture();
    FractalParams().Wallpaper(p.data(), kSize, kSize, r.nUStart, r.nVStart, r.nSpan);
    EXPECT_EQ(At(p, 0, 0), 255);
    EXPECT_EQ(At(p, 0, 5), 0);
    EXPECT_EQ(At(p, 0, 7), 128);
    EXPECT_EQ(At(p, 256, 256), 255);
    EXPECT_EQ(At(p, 511, 511), 0);
    EXPECT_EQ(Count(p, 0) + Count(p, 128) + Count(p, 255), p.size());
    for (int row = 0; row < kSize; ++row)
        for (int col = 0; col < row; ++col)
            ASSERT_EQ(At(p, row, col), At(p, col, row)) << row << "," << col;
}

TEST(WallpaperTest, ArgumentsBeyondTheIntRange)
{
    const int hi = std::numeric_limits<int>::max();
    const int lo = std::numeric_limits<int>::min();
    for (auto [u, v, span] : {std::tuple {hi, hi, hi}, {lo, lo, lo}, {lo, hi, -7}}) {
        Picture p = MakePicture();
        FractalParams().Wallpaper(p.data(), kSize, kSize, u, v, span);
        EXPECT_EQ(Count(p, 0) + Count(p, 128) + Count(p, 255), p.size());
    }
    const recipe::WallpaperArgs &r = recipe::kWallpaper;
    Picture untouched(16, 0xA5);
    FractalParams().Wallpaper(untouched.data(), 0, 4, r.nUStart, r.nVStart, r.nSpan);
    FractalParams().Wallpaper(untouched.data(), 4, -4, r.nUStart, r.nVStart, r.nSpan);
    EXPECT_EQ(Count(untouched, 0xA5), untouched.size());
}

// The DLA command's starting picture: all free but its seed block.
Picture SeededPicture()
{
    Picture p = MakePicture(0);
    recipe::SeedDla(p.data());
    return p;
}

TEST(DlaTest, TheCommandsSeedIsTheCentralFourByFourBlock)
{
    const Picture p = SeededPicture();
    EXPECT_EQ(Count(p, 255), 16u);
    for (int row = 254; row <= 257; ++row)
        for (int col = 254; col <= 257; ++col)
            EXPECT_EQ(At(p, row, col), 255) << row << "," << col;
}

TEST(DlaTest, StaysInsideTheWalkSquare)
{
    // The command's first pass.
    Picture p = SeededPicture();
    FractalParams().Dla(p.data(), kSize, kSize, recipe::kDlaParticles, recipe::kDlaRadii[0], 7);
    const std::size_t grown = Count(p, 255) - 16;
    EXPECT_GT(grown, 0u);
    EXPECT_LE(grown, std::size_t(recipe::kDlaParticles));
    EXPECT_EQ(Count(p, 0) + Count(p, 255), p.size());
    for (int row = 0; row < kSize; ++row)
        for (int col = 0; col < kSize; ++col)
            if (At(p, row, col) != 0) {
                ASSERT_TRUE(row >= 194 && row <= 317 && col >= 194 && col <= 317)
                    << row << "," << col;
            }
}

TEST(DlaTest, GrowthIsBoundedAndOnlyAddsCells)
{
    Picture p = SeededPicture();
    p[std::size_t(256) * kSize + 300] = 9; // any non-zero byte is occupied and stays as it is
    FractalParams params;
    for (double radius : {0.12, 0.18}) {
        const Picture before = p;
        params.Dla(p.data(), kSize, kSize, 300, radius, 42);
        std::size_t added = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            if (before[i] != 0)
                ASSERT_EQ(p[i], before[i]);
            else if (p[i] != 0) {
                ASSERT_EQ(p[i], 255);
                ++added;
            }
        }
        EXPECT_GT(added, 0u);
        EXPECT_LE(added, 300u);
    }
}

TEST(DlaTest, SameSeedSamePicture)
{
    Picture a = SeededPicture();
    Picture b = SeededPicture();
    Picture c = SeededPicture();
    FractalParams params;
    for (double radius : {0.12, 0.18, 0.24}) {
        params.Dla(a.data(), kSize, kSize, 500, radius, 1234);
        params.Dla(b.data(), kSize, kSize, 500, radius, 1234);
        params.Dla(c.data(), kSize, kSize, 500, radius, 1235);
    }
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST(DlaTest, LaunchCellsNextToTheClusterAndOnIt)
{
    // Half-side 5 in pixels: the ring just inside the launch square is occupied, so every
    // particle sticks on its launch cell.
    constexpr int D = 5;
    constexpr int c = kSize / 2;
    Picture p = MakePicture(0);
    for (int row = c - D + 1; row <= c + D - 1; ++row)
        for (int col = c - D + 1; col <= c + D - 1; ++col)
            p[std::size_t(row) * kSize + col] = 255;
    FractalParams params;
    params.Dla(p.data(), kSize, kSize, 100, D, 3);
    for (int row = 0; row < kSize; ++row)
        for (int col = 0; col < kSize; ++col) {
            const bool inside = std::abs(row - c) < D && std::abs(col - c) < D;
            const bool border = std::max(std::abs(row - c), std::abs(col - c)) == D;
            if (!inside && At(p, row, col) != 0) {
                ASSERT_TRUE(border) << row << "," << col;
                // Corners are never launch cells.
                ASSERT_FALSE(std::abs(row - c) == D && std::abs(col - c) == D);
            }
        }
    EXPECT_GT(Count(p, 255), std::size_t(9 * 9));

    // With the whole border occupied every particle is dropped.
    for (int i = -D; i <= D; ++i)
        for (auto [row, col] :
             {std::pair {c - D, c + i}, {c + D, c + i}, {c + i, c - D}, {c + i, c + D}})
            p[std::size_t(row) * kSize + col] = 255;
    const Picture full = p;
    params.Dla(p.data(), kSize, kSize, 100, D, 4);
    EXPECT_EQ(p, full);
}

TEST(DlaTest, RefusesWalksThatCannotEnd)
{
    FractalParams params;
    // Nothing occupied inside the walk square (here the only cell lies just outside it).
    Picture empty = MakePicture(0);
    empty[std::size_t(256) * kSize + 256 + 62] = 255;
    const Picture emptyBefore = empty;
    params.Dla(empty.data(), kSize, kSize, 10, 0.12, 1);
    EXPECT_EQ(empty, emptyBefore);

    const Picture seeded = SeededPicture();
    for (double radius :
         {0.0, 0.001, -3.0, 0.6, 256.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity()}) {
        Picture p = seeded;
        params.Dla(p.data(), kSize, kSize, 10, radius, 1);
        EXPECT_EQ(p, seeded) << radius;
    }
    // The largest square that fits a 16 x 16 buffer, half-side 7, walks all of it; 8 does not fit.
    Picture small(16 * 16, 0);
    small[8 * 16 + 8] = 255;
    const Picture smallBefore = small;
    params.Dla(small.data(), 16, 16, 5, 8.0, 1);
    EXPECT_EQ(small, smallBefore);
    params.Dla(small.data(), 16, 16, 5, 7.0, 1);
    EXPECT_NE(small, smallBefore);

    Picture untouched(64, 0);
    params.Dla(untouched.data(), 0, 8, 10, 0.5, 1);
    params.Dla(untouched.data(), 8, 0, 10, 0.5, 1);
    EXPECT_EQ(Count(untouched, 0), untouched.size());
}

} // namespace
