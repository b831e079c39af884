#pragma once
// What the per-instruction-set escape kernels share. Kept free of standard-library templates:
// the kernels are compiled for wider instruction sets than the rest of the program, and an
// inline function instantiated there could be picked by the linker for every caller. The tile
// queue is the exception: each kernel file includes it before it picks its instruction set, and
// the kernels reach it only through the two functions below.

#include "fractals/FastEscape.h"
#include "fractals/TileQueue.h"

#include <cstdint>

namespace fast {

// The picture is handed out in tiles of this many columns and rows; the column table is padded
// to a whole tile past the last column, so a kernel may compute whole registers beyond the edge.
// Large and wide: taking a tile is an atomic add that both cores contend for, and a tile's row
// of counts spans whole cache lines, so two cores seldom write the same line; 4,096 pixels are
// still little enough that the last tiles share out evenly.
inline constexpr int kTileWidth = 256;
inline constexpr int kTileHeight = 16;
inline constexpr int kMaxIterations = 255;

struct EscapeJob
{
    uint8_t *buffer;
    int width;
    int height;
    // Mandelbrot: the constant's real part per column and imaginary part per row, orbit from 0.
    // Julia: the orbit's start, real part per column and imaginary part per row.
    const double *columnValues;
    const double *rowValues;
    bool julia;
    double cx; // Julia constant
    double cy;
    double bailout;
};

using Tile = ::TileRect;

// Takes the next tile nobody has taken; false when none is left.
bool NextTile(TileQueue &queue, Tile &tile);
// Counts pixels whose bytes are written, for the progress record.
void ReportFinished(TileQueue &queue, int64_t pixels);

// Draws tiles from the queue until it is empty, then returns with every taken pixel written.
using EscapeKernel = void (*)(const EscapeJob &job, TileQueue &queue);

// The kinds of core a level's kernel is tuned for, told apart at run time.
enum class CoreKind {
    Other = 0, // Intel, and any core not named below: adds and products share pipes
    Zen = 1, // AMD Zen 1 to 4: separate add and multiply pipes, adds of 3 cycles
    Zen5 = 2, // AMD Zen 5: the same pipes, adds of 2 cycles, whole 512-bit registers
};
inline constexpr int kCoreKinds = 3;
const char *CoreKindName(CoreKind core);

// What a kernel is compiled for: the registers run side by side and the iterations between two
// tests whether a register moves on (1 or 2).
struct Tuning
{
    int slots;
    int testEvery;
};

// The tuning of each level's kernel on each kind of core, for either picture; indexed by
// SimdLevel, then CoreKind. A level's file compiles a kernel for each entry of its row.
struct LevelTunings
{
    Tuning mandelbrot[kCoreKinds];
    Tuning julia[kCoreKinds];
};
inline constexpr LevelTunings kLevelTunings[] = {
    // scalar: Other, Zen, Zen5 (Other measured on an Intel core with AVX-512, three vector
    // ports of 256 bits and two of 512)
    {{{4, 2}, {4, 2}, {4, 2}}, {{3, 2}, {4, 2}, {4, 2}}},
    // sse2
    {{{3, 2}, {6, 2}, {6, 2}}, {{3, 2}, {3, 2}, {3, 2}}},
    // avx2: on Zen, more slots hide the 3-cycle adds
    {{{4, 2}, {5, 2}, {5, 2}}, {{3, 2}, {4, 2}, {4, 2}}},
    // avx512
    {{{4, 2}, {5, 2}, {5, 2}}, {{4, 2}, {5, 2}, {5, 2}}},
};

// A level's kernel for each kind of core.
struct LevelKernels
{
    EscapeKernel of[kCoreKinds];
};
extern const LevelKernels kScalarKernels;
extern const LevelKernels kSse2Kernels;
extern const LevelKernels kAvx2Kernels;
extern const LevelKernels kAvx512Kernels;

} // namespace fast
