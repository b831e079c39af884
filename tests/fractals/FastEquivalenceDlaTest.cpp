// The fast DLA against the step-by-step walk: the same cluster cell for cell, from the same seed.

#include "fractals/FastDla.h"
#include "fractals/Recipes.h"
#include "fractals/Reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// A cleared picture with a 4 x 4 block at its centre, as the DLA command starts its own.
std::vector<uint8_t> SeededPicture(int height, int width)
{
    std::vector<uint8_t> picture(static_cast<size_t>(height) * width, 0);
    for (int r = height / 2 - 2; r < height / 2 + 2; ++r) {
        for (int c = width / 2 - 2; c < width / 2 + 2; ++c)
            picture[static_cast<size_t>(r) * width + c] = 255;
    }
    return picture;
}

int Occupied(const std::vector<uint8_t> &picture)
{
    int count = 0;
    for (uint8_t cell : picture)
        count += cell != 0;
    return count;
}

class FastDlaEquivalence : public ::testing::TestWithParam<uint32_t>
{
protected:
    // Runs both forms on copies of `picture` and expects the same result; returns it.
    static std::vector<uint8_t> ExpectSame(const std::vector<uint8_t> &picture, int height,
                                           int width, int particles, double radius, uint32_t seed)
    {
        std::vector<uint8_t> expected = picture;
        std::vector<uint8_t> actual = picture;
        reference::Dla(expected.data(), height, width, particles, radius, seed);
        fast::Dla(actual.data(), height, width, particles, radius, seed);
        EXPECT_TRUE(expected == actual) << height << "x" << width << " particles " << particles
                                        << " radius " << radius << " seed " << seed;
        return actual;
    }
};

TEST_P(FastDlaEquivalence, CommandPassesGrowTheSameCluster)
{
    constexpr int kSide = recipe::kPictureSize;
    std::vector<uint8_t> picture(std::size_t(kSide) * kSide, 0);
    recipe::SeedDla(picture.data());
    uint32_t seed = GetParam();
    for (double radius : recipe::kDlaRadii)
        picture = ExpectSame(picture, kSide, kSide, recipe::kDlaParticles, radius, seed += 7919u);
    EXPECT_GT(Occupied(picture), 16 + recipe::kDlaParticles);
}

TEST_P(FastDlaEquivalence, SmallPicturesAndSquaresAtTheEdge)
{
    const uint32_t seed = GetParam();
    // 64 rows: half-side 31 puts the walk square on every edge of the buffer.
    struct Case
    {
        int height, width, particles;
        double radius;
    };
    const Case cases[]
        = {{64, 64, 400, 31.0}, {64, 64, 300, 0.2}, {48, 64, 300, 0.45}, {37, 23, 150, 10.0},
           {23, 37, 150, 0.4},  {7, 7, 30, 2.0},    {5, 5, 20, 1.0 / 5}, {64, 48, 200, 23.0}};
    for (const Case &c : cases) {
        std::vector<uint8_t> picture = SeededPicture(c.height, c.width);
        picture = ExpectSame(picture, c.height, c.width, c.particles, c.radius, seed);
        ExpectSame(picture, c.height, c.width, c.particles, c.radius, seed ^ 0x9E3779B9u);
    }
}

TEST_P(FastDlaEquivalence, ClutterOfAnyNonZeroValue)
{
    // Scattered cells of assorted values, some on the buffer's edge: all count as occupied.
    std::vector<uint8_t> picture(64 * 64, 0);
    uint32_t state = GetParam();
    for (int i = 0; i < 40; ++i) {
        state = state * 1664525u + 1013904223u;
        picture[(state >> 8) % picture.size()] = static_cast<uint8_t>(1 + (state >> 3) % 254);
    }
    picture[0] = 7;
    picture[63] = 128;
    picture[63 * 64 + 5] = 1;
    ExpectSame(picture, 64, 64, 500, 31.0, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Seeds, FastDlaEquivalence,
                         ::testing::Values(0u, 1u, 1733011200u, 0xFFFFFFFFu, 123456789u));

TEST(FastDlaRefusals, LeaveThePictureAsItWas)
{
    struct Case
    {
        int height, width, particles;
        double radius;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {64, 64, 100, 0.01}, // half-side 0
        {64, 64, 100, 0.99}, // walk square past the buffer
        {64, 64, 100, 32.0}, // one row past the low edge
        {64, 64, 100, -3.0}, {64, 64, 100, nan}, {64, 64, 100, 1e300},
        {64, 64, 0, 0.2},    {64, 64, -5, 0.2},  {64, 40, 100, 25.0},
    };
    const std::vector<uint8_t> seeded = SeededPicture(64, 64);
    for (const Case &c : cases) {
        const std::vector<uint8_t> before(seeded.begin(),
                                          seeded.begin() + static_cast<long>(c.height) * c.width);
        std::vector<uint8_t> picture = before;
        fast::Dla(picture.data(), c.height, c.width, c.particles, c.radius, 42);
        EXPECT_TRUE(picture == before) << "radius " << c.radius << " particles " << c.particles;
        reference::Dla(picture.data(), c.height, c.width, c.particles, c.radius, 42);
        EXPECT_TRUE(picture == before) << "radius " << c.radius << " particles " << c.particles;
    }
    // Nothing occupied inside the walk square: a walker would never stick.
    std::vector<uint8_t> empty(64 * 64, 0);
    empty[0] = 255; // outside the square of half-side 10
    fast::Dla(empty.data(), 64, 64, 100, 10.0, 42);
    EXPECT_EQ(Occupied(empty), 1);
}

} // namespace
