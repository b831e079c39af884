// The fast ring pattern against the step-by-step form, byte for byte.

#include "fractals/FastWallpaper.h"
#include "fractals/Recipes.h"
#include "fractals/Reference.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <vector>

namespace {

void ExpectSame(int height, int width, int uStart, int vStart, int span)
{
    const std::size_t size = static_cast<std::size_t>(height) * width;
    // Guard bytes on both sides catch a write past either end.
    std::vector<uint8_t> expected(size + 32, 7);
    std::vector<uint8_t> actual(size + 32, 7);
    reference::Wallpaper(expected.data() + 16, height, width, uStart, vStart, span);
    fast::Wallpaper(actual.data() + 16, height, width, uStart, vStart, span);
    EXPECT_TRUE(expected == actual)
        << height << "x" << width << " u " << uStart << " v " << vStart << " span " << span;
}

TEST(FastWallpaperEquivalence, TheCommandsPicture)
{
    const recipe::WallpaperArgs &r = recipe::kWallpaper;
    ExpectSame(recipe::kPictureSize, recipe::kPictureSize, r.nUStart, r.nVStart, r.nSpan);
}

TEST(FastWallpaperEquivalence, ExtremeCornersAndSpansPastTheIntegerRange)
{
    // Sums near and past 2^63 take the remainder of the double itself.
    for (int u : {INT_MIN, -303700049, 0, 303700049, INT_MAX}) {
        for (int span : {INT_MIN, -1, 0, 1, 80, INT_MAX})
            ExpectSame(17, 13, u, u, span);
    }
    ExpectSame(64, 48, INT_MAX, INT_MIN, INT_MAX);
}

TEST(FastWallpaperEquivalence, ManyRandomWindows)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> small(-5000, 5000);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> size(1, 70);
    for (int n = 0; n < 150; ++n) {
        const bool wide = n % 3 == 0;
        ExpectSame(size(random), size(random), wide ? any(random) : small(random),
                   wide ? any(random) : small(random), wide ? any(random) : small(random));
    }
}

TEST(FastWallpaperEquivalence, EmptySizesWriteNothing)
{
    const recipe::WallpaperArgs &r = recipe::kWallpaper;
    std::vector<uint8_t> buffer(16, 7);
    fast::Wallpaper(buffer.data(), 0, 4, r.nUStart, r.nVStart, r.nSpan);
    fast::Wallpaper(buffer.data(), 4, -1, r.nUStart, r.nVStart, r.nSpan);
    EXPECT_EQ(buffer, std::vector<uint8_t>(16, 7));
}

} // namespace
