// Mandelbrot and Julia pictures: named pixels, mirrors, the escape limit and whole-picture hashes.

#include "FractalTestSupport.h"
#include "fractals/FractalParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

namespace {

Picture DefaultMandelbrot(FractalParams &params)
{
    Picture p = MakePicture();
    params.Mandelbrot(p.data(), kSize, kSize, params.m_dMandelXMin, params.m_dMandelXMax,
                      params.m_dMandelYMin, params.m_dMandelYMax, params.m_dMandelBailout);
    return p;
}

Picture JuliaPicture(double cx, double cy, double xMin = -1.5, double xMax = 1.5,
                     double yMin = -1.5, double yMax = 1.5)
{
    FractalParams params;
    Picture p = MakePicture();
    params.Julia(p.data(), kSize, kSize, cx, cy, xMin, xMax, yMin, yMax);
    return p;
}

// The number of pixels at which b differs from a mirrored left to right (flipColumns) or top
// to bottom.
int MirrorMismatches(const Picture &a, const Picture &b, bool flipColumns)
{
    int n = 0;
    for (int row = 0; row < kSize; ++row)
        for (int col = 0; col < kSize; ++col) {
            const uint8_t mirrored
                = flipColumns ? At(a, row, kSize - 1 - col) : At(a, kSize - 1 - row, col);
            n += At(b, row, col) != mirrored;
        }
    return n;
}

TEST(FractalParamsTest, DefaultsAndReset)
{
    FractalParams params;
    EXPECT_EQ(std::bit_cast<uint64_t>(params.m_dJuliaCX), 0xBFCCA3D700000000ull);
    EXPECT_EQ(std::bit_cast<uint64_t>(params.m_dJuliaCY), 0x3FE87B8900000000ull);
    EXPECT_EQ(params.m_dJuliaXMin, -1.5);
    EXPECT_EQ(params.m_dJuliaYMax, 1.5);
    EXPECT_EQ(params.m_dJuliaBailout, 100.0);

    params.m_dMandelXMin = -1;
    params.m_dMandelXMax = -0.5;
    params.m_dMandelYMin = 0.1;
    params.m_dMandelYMax = 0.2;
    params.m_dMandelBailout = 4;
    params.m_dJuliaCX = 7;
    for (int kind : {0, 3, 4, 5, 6, 7, 8, -1})
        params.Reset(kind);
    EXPECT_EQ(params.m_dMandelXMin, -1);
    EXPECT_EQ(params.m_dMandelBailout, 4);
    EXPECT_EQ(params.m_dJuliaCX, 7);

    params.Reset(1);
    EXPECT_EQ(params.m_dMandelXMin, -2.25);
    EXPECT_EQ(params.m_dMandelXMax, 0.75);
    EXPECT_EQ(params.m_dMandelYMin, -1.5);
    EXPECT_EQ(params.m_dMandelYMax, 1.5);
    EXPECT_EQ(params.m_dMandelBailout, 100.0);
    EXPECT_EQ(params.m_dJuliaCX, 7);
    params.Reset(2);
    EXPECT_EQ(params.m_dJuliaCX, kDefaultJuliaCX);
}

TEST(MandelbrotTest, DefaultWindow)
{
    FractalParams params;
    const Picture p = DefaultMandelbrot(params);
    EXPECT_EQ(At(p, 0, 0), 3);
    EXPECT_EQ(At(p, 255, 0), 4);
    EXPECT_EQ(At(p, 256, 383), 255);
    EXPECT_EQ(At(p, 511, 511), 3);
    EXPECT_EQ(At(p, 300, 450), 22);
    EXPECT_EQ(*std::min_element(p.begin(), p.end()), 3);
    EXPECT_EQ(Hash(p), 0x826db1c6299daee1ull) << std::hex << Hash(p);
}

TEST(MandelbrotTest, EscapeLimitAndSizes)
{
    FractalParams params;
    Picture p = MakePicture();
    params.Mandelbrot(p.data(), kSize, kSize, -2.25, 0.75, -1.5, 1.5, -0.5);
    EXPECT_EQ(Count(p, 0), p.size());

    // A squared modulus exactly at the limit does not escape: c = 1 reaches 1, 2, 5, 26.
    Picture small(4, 0xA5);
    params.Mandelbrot(small.data(), 2, 2, 1.0, 1.0, 0.0, 0.0, 25.0);
    EXPECT_EQ(small[0], 4);
    params.Mandelbrot(small.data(), 2, 2, 1.0, 1.0, 0.0, 0.0, 24.999);
    EXPECT_EQ(small[0], 3);

    Picture untouched(16, 0xA5);
    for (auto [w, h] : {std::pair {1, 8}, {8, 1}, {0, 0}, {-3, 5}}) {
        params.Mandelbrot(untouched.data(), w, h, -2, 1, -1, 1, 100);
        params.Julia(untouched.data(), w, h, 0.0, 0.0, -1, 1, -1, 1);
    }
    EXPECT_EQ(Count(untouched, 0xA5), untouched.size());
}

TEST(MandelbrotTest, ReversedBoundsMirrorExactly)
{
    FractalParams params;
    const Picture p = DefaultMandelbrot(params);
    Picture flippedY = MakePicture();
    params.Mandelbrot(flippedY.data(), kSize, kSize, -2.25, 0.75, 1.5, -1.5, 100.0);
    EXPECT_EQ(MirrorMismatches(p, flippedY, false), 0);
    Picture flippedX = MakePicture();
    params.Mandelbrot(flippedX.data(), kSize, kSize, 0.75, -2.25, -1.5, 1.5, 100.0);
    EXPECT_EQ(MirrorMismatches(p, flippedX, true), 0);
}

TEST(JuliaTest, DefaultConstant)
{
    const Picture p = JuliaPicture(kDefaultJuliaCX, kDefaultJuliaCY);
    EXPECT_EQ(At(p, 0, 0), 2);
    EXPECT_EQ(At(p, 511, 511), 2);
    EXPECT_EQ(At(p, 256, 256), 36);
    EXPECT_EQ(At(p, 255, 255), 36);
    EXPECT_EQ(At(p, 300, 300), 9);
    EXPECT_EQ(At(p, 300, 200), 37);
    EXPECT_EQ(At(p, 0, 256), 3);
    EXPECT_EQ(Count(p, 0), 0u);
    EXPECT_EQ(Hash(p), 0x54021fcffdfa655cull) << std::hex << Hash(p);
}

TEST(JuliaTest, ZeroConstantAndFarStart)
{
    const Picture p = JuliaPicture(0.0, 0.0);
    EXPECT_EQ(At(p, 256, 256), 255);
    EXPECT_EQ(At(p, 0, 0), 2);
    EXPECT_EQ(At(p, 256, 511), 3);

    // Starting outside the escape circle still makes one iteration.
    const Picture far = JuliaPicture(0.0, 0.0, 20, 30, 20, 30);
    EXPECT_EQ(*std::min_element(far.begin(), far.end()), 1);
}

TEST(JuliaTest, ReversedBoundsMirror)
{
    const Picture p = JuliaPicture(kDefaultJuliaCX, kDefaultJuliaCY);
    EXPECT_EQ(MirrorMismatches(
                  p, JuliaPicture(kDefaultJuliaCX, kDefaultJuliaCY, -1.5, 1.5, 1.5, -1.5), false),
              0);
    // x0 = xMin + i * dx rounds differently from the other end on a few columns.
    EXPECT_LE(MirrorMismatches(p, JuliaPicture(kDefaultJuliaCX, kDefaultJuliaCY, 1.5, -1.5), true),
              8);
}

} // namespace
