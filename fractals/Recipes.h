#pragma once
// What each render command hands its generator, written once: the window, the renderer, the
// tests and the benchmarks all draw from here, so they cannot drift apart. Every recipe is for
// the commands' square picture of kPictureSize pixels a side.

#include <array>
#include <cstddef>
#include <cstdint>

namespace recipe {

inline constexpr int kPictureSize = 512;
inline constexpr int kOrbitIterations = 600000;

// The Julia command's plane; its constant is the document's.
struct PlaneArgs
{
    double dXMin;
    double dXMax;
    double dYMin;
    double dYMax;
};
inline constexpr PlaneArgs kJuliaPlane {-1.5, 1.5, -1.5, 1.5};

struct MartinArgs
{
    double dA;
    double dB;
    double dC;
    int nIterations;
};
inline constexpr MartinArgs kMartin {10.0, 100.0, -10.0, kOrbitIterations};

struct MiraArgs
{
    double dA;
    double dB;
    double dSX;
    double dSY;
    int nX1;
    int nY1;
    int nX2;
    int nY2;
    int nIterations;
};
inline constexpr MiraArgs kMira {-0.25, 0.998, 3.0, 0.0, -16, -12, 16, 12, kOrbitIterations};

struct WallpaperArgs
{
    int nUStart;
    int nVStart;
    int nSpan;
};
inline constexpr WallpaperArgs kWallpaper {10, 10, 80};

// The DLA command grows its cluster from a 4 x 4 block of 255 at the centre in five passes of
// 2000 particles, each pass with a wider walk square.
inline constexpr int kDlaSeedFirst = kPictureSize / 2 - 2;
inline constexpr int kDlaSeedSide = 4;
inline constexpr int kDlaParticles = 2000;
inline constexpr std::array<double, 5> kDlaRadii {0.12, 0.18, 0.24, 0.31, 0.37};

// Writes the seed block into a kPictureSize square buffer.
inline void SeedDla(uint8_t *buffer)
{
    for (int row = kDlaSeedFirst; row < kDlaSeedFirst + kDlaSeedSide; ++row)
        for (int col = kDlaSeedFirst; col < kDlaSeedFirst + kDlaSeedSide; ++col)
            buffer[std::size_t(row) * kPictureSize + std::size_t(col)] = 255;
}

} // namespace recipe
