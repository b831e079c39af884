#pragma once
// What the deep-zoom renderer's parts share: the reference orbit as the delta loops read it, the
// table of linear approximations, and one pixel's state as it moves between the vector loop of
// an instruction set and the scalar code that starts, skips, rebases and finishes pixels.
// Kept free of standard-library templates: the vector loops are compiled for wider instruction
// sets than the rest of the program, and an inline function instantiated there could be picked
// by the linker for every caller.

#include "fractals/DeepNumbers.h"

#include <cstdint>

class GeneratorProgress;

namespace deep {

// One point of the reference orbit: 16 bytes, one load for a vector lane.
struct alignas(16) OrbitPoint
{
    double re;
    double im;
};

// dz -> A dz + B dc over 2^level iterations, valid while |dz| stays below R.
struct BlaNode
{
    XComplex a;
    XComplex b;
    XReal r2; // R^2
    double r2Double; // R^2 as a double, 0 where it underflows
    // A and B as doubles, for pictures whose offsets doubles hold; doubles false where the
    // coefficients overflow them.
    double ar, ai, br, bi;
    bool doubles;
};

// The shortest approximation kept spans 2^kFirstLevel iterations; shorter ones would cost as
// much as the iterations they skip and take most of the table's memory.
inline constexpr int kFirstLevel = 4;
// The shortest approximation worth stopping a vector loop for: every lane of it goes back to
// memory and the loop starts again, which costs about as much as this many plain iterations.
inline constexpr int kExitLevel = 6;

// Deltas below this are held with an exponent of their own on pictures too fine for doubles.
inline constexpr int kExtendedBelow = -900;

struct Level
{
    const BlaNode *nodes; // node j starts at reference iteration 1 + j * 2^level
    int64_t count;
};

class DeepTileQueue;

// Everything a thread needs to draw its share of one picture; read-only while it draws.
struct DeepJob
{
    const OrbitPoint *orbit; // Z_0 .. Z_last
    // radii[j]: the squared radius within which the approximation of 2^kExitLevel iterations
    // from reference iteration 1 + j * 2^kExitLevel holds, for deltas held in doubles.
    const double *radii;
    uint32_t last; // the reference's last point: escaped, the iteration limit, or periodic
    // 0, or a whole number of cycles of a reference that came back exactly to a point it had
    // passed: point last is then point last - period, and a pixel there goes on from that one
    // instead of rebasing.
    uint32_t period;
    // periods[k]: the approximation of 2^k whole periods from point last - period.
    const BlaNode *periods;
    int periodLevels;
    const Level *levels; // levels[l] for l = kFirstLevel .. levelCount - 1
    int levelCount;
    uint32_t iterations;
    double bailout;
    bool extended; // the pixels' offsets from the centre need more exponent than a double has
    XReal halfStep; // half the distance between neighbouring pixels
    int columns;
    int rows;
    uint32_t *counts;
    DeepTileQueue *queue;
};

// The approximation of 2^level iterations from reference iteration m, for a pixel after n; null
// where none starts there or it would pass the iteration limit.
inline const BlaNode *NodeAt(const DeepJob &job, int level, uint32_t m, uint32_t n)
{
    const uint32_t from = m - 1;
    if (m == 0 || (from & ((uint32_t(1) << level) - 1)))
        return nullptr;
    const int64_t j = from >> level;
    if (j >= job.levels[level].count || uint64_t(n) + (uint64_t(1) << level) > job.iterations)
        return nullptr;
    return &job.levels[level].nodes[j];
}

// One pixel in flight. While it is in the vector loop, the delta is in doubles and
// z = Z_m + dz after n iterations.
struct Lane
{
    double dzr;
    double dzi;
    double dcr; // the pixel's offset from the centre, as doubles (zero where they underflow)
    double dci;
    XComplex dc;
    uint32_t m;
    uint32_t n;
    // Approximations that did not hold in a row, counted where one could start; while few,
    // the pixel is still mostly skipping and the scalar code keeps it.
    uint32_t misses;
    int64_t pixel; // index into counts; -1 when the thread has no pixel left for this lane
};

// What one thread did.
struct WorkerStats
{
    uint64_t iterations = 0;
    uint64_t skipped = 0;
};

// A thread's source of pixels and its counters, on cache lines of its own: the threads
// update them all the time.
struct alignas(64) Worker
{
    const DeepJob *job;
    int tileColumn;
    int tileRow;
    int tileColumns;
    int tileRows;
    int nextInTile; // tileColumns * tileRows when the tile is used up
    int64_t finished; // pixels written since the last progress report
    WorkerStats stats;
    // Pixels that left a group to go on lane by lane, and whether the lanes take only those.
    Lane *spill;
    int spillCount;
    bool spillOnly;
};

// Lanes a worker can hold back for the lane-by-lane loop before it must run it; the worker
// needs room for this many plus every lane of its groups.
inline constexpr int kSpillRun = 4096;
inline constexpr int kSpillRoom = kSpillRun + 64;

// Moves the lane on until its next iteration is one the vector loop can run: finishes its pixel
// and takes the next, skips iterations by approximation, rebases, or runs the iterations whose
// delta is too small for a double. Leaves pixel -1 when the thread's work is done.
void Service(Worker &worker, Lane &lane);
// The next pixel of the worker's tiles, at its start; false when none is left.
bool TakePixel(Worker &worker, Lane &lane);
// Passes the pixels finished since the last report on to the progress record.
void ReportProgress(Worker &worker);

// Draws pixels until the queue is empty, on one instruction set.
using DeepKernel = void (*)(Worker &worker);
void DeepTilesScalar(Worker &worker);
void DeepTilesSse2(Worker &worker);
void DeepTilesAvx2(Worker &worker);
void DeepTilesAvx512(Worker &worker);
// The same with the orbit's points gathered, for cores whose gathers are fast.
void DeepTilesAvx512Gathered(Worker &worker);

} // namespace deep
