#pragma once
// The escape kernel written once for any register of `Lanes::kLanes` doubles: each
// instruction-set file supplies the few operations and includes this under its own target, so
// the code below is compiled for that instruction set only.
//
// A register holds kLanes neighbouring pixels of one row. Several registers, the slots, run side
// by side to hide the latency of the recurrence; each moves on to its next pixels as soon as its
// own lanes are done, so a slow neighbour never holds up the others, and the tiles a thread
// takes flow through the slots without draining them in between.
//
// An iteration costs the arithmetic, one compare and a few integer operations: which lanes are
// still inside is a bit set, and each lane's count is a byte of one integer that grows by one
// while the lane is inside, without a branch, so a lane escaping costs no mispredicted jump.
// How many slots and how often they test whether to move on differ between
// cores (a Tuning of the level table); tested every second iteration, a register whose lanes
// are all out by the first of the two runs one iteration for nothing, and counts nothing in it.

#include "fractals/FastEscapeKernels.h"
#include "fractals/SlotLoop.h"

namespace fast {

namespace {

static_assert(kMaxIterations < 256, "a lane's count is one byte");

// Iterations a register runs before its lanes still inside count 255: the 255th is never tested.
// Even, so that a test every second iteration meets it.
constexpr int kLastIteration = kMaxIterations - 1;
static_assert(kLastIteration % 2 == 0, "tested every second iteration");
// The iterations left of a slot whose thread has no work left: counted down, never to 0.
constexpr int kIdle = -1;

// One in the byte of each lane whose bit is set, the other bytes 0.
template<int kLanes> struct LaneBytes
{
    static_assert(kLanes <= 8, "one byte a lane in 64 bits");
    uint64_t of[1 << kLanes];
    constexpr LaneBytes() : of()
    {
        for (int bits = 0; bits < (1 << kLanes); ++bits) {
            for (int lane = 0; lane < kLanes; ++lane) {
                if (bits >> lane & 1)
                    of[bits] |= uint64_t(1) << (8 * lane);
            }
        }
    }
};

template<int kLanes> constexpr LaneBytes<kLanes> kLaneBytes {};

// What the slots hold, each field an array over the slots: the slots are visited with constant
// indices, so every field can live in a register.
template<class Lanes, int kSlots> struct Slots
{
    using V = typename Lanes::Vector;
    // Of z = x + iy, only what the next iteration reads: 2x, y and x*x - y*y. Three registers a
    // slot instead of four leaves room for more slots before any spills.
    V twiceX[kSlots], y[kSlots], squares[kSlots];
    V cx[kSlots], cy[kSlots]; // Mandelbrot only: the Julia constant is shared by every slot
    uint64_t inside[kSlots]; // a set bit for each lane that has not escaped
    uint64_t counts[kSlots]; // a byte a lane: the iterations it ran inside
    int left[kSlots]; // iterations before the last
    int row[kSlots];
    int column[kSlots];
};

// Hands out the register-wide groups of the tiles this thread takes, row by row in each tile.
struct Feeder
{
    const EscapeJob &job;
    TileQueue &queue;
    Tile tile;
    int row; // the next group inside the tile
    int column;
    int64_t finished; // pixels written since the last report
    int working; // slots that hold pixels
};

template<class Lanes, bool kJulia, int kSlots>
[[gnu::always_inline]] inline void Start(Slots<Lanes, kSlots> &slots, int s, Feeder &feeder)
{
    if (feeder.row == feeder.tile.rows) {
        if (feeder.finished) {
            ReportFinished(feeder.queue, feeder.finished);
            feeder.finished = 0;
        }
        if (!NextTile(feeder.queue, feeder.tile)) {
            slots.inside[s] = 0;
            slots.left[s] = kIdle;
            --feeder.working;
            return;
        }
        feeder.row = 0;
        feeder.column = 0;
    }
    const int row = feeder.tile.row + feeder.row;
    const int column = feeder.tile.column + feeder.column;
    feeder.column += Lanes::kLanes;
    if (feeder.column >= feeder.tile.columns) {
        feeder.column = 0;
        ++feeder.row;
    }
    const auto columnValue = Lanes::Load(feeder.job.columnValues + column);
    const auto rowValue = Lanes::Set(feeder.job.rowValues[row]);
    if constexpr (kJulia) {
        slots.twiceX[s] = Lanes::Add(columnValue, columnValue);
        slots.y[s] = rowValue;
        slots.squares[s]
            = Lanes::Sub(Lanes::Mul(columnValue, columnValue), Lanes::Mul(rowValue, rowValue));
    } else {
        slots.twiceX[s] = slots.y[s] = slots.squares[s] = Lanes::Set(0.0);
        slots.cx[s] = columnValue;
        slots.cy[s] = rowValue;
    }
    slots.inside[s] = (1u << Lanes::kLanes) - 1;
    slots.left[s] = kLastIteration;
    slots.counts[s] = 0;
    slots.row[s] = row;
    slots.column[s] = column;
}

// A lane still inside after the last tested iteration counts one more, 255.
template<class Lanes, int kSlots>
[[gnu::always_inline]] inline void Finish(const Slots<Lanes, kSlots> &slots, int s, Feeder &feeder)
{
    const uint64_t counts = slots.counts[s] + kLaneBytes<Lanes::kLanes>.of[slots.inside[s]];
    const int left = feeder.job.width - slots.column[s];
    const int lanes = left < Lanes::kLanes ? left : Lanes::kLanes;
    uint8_t *out = feeder.job.buffer + static_cast<int64_t>(slots.row[s]) * feeder.job.width
        + slots.column[s];
    if (lanes == Lanes::kLanes) {
        // Little-endian: byte k is lane k.
        __builtin_memcpy(out, &counts, Lanes::kLanes);
    } else {
        for (int k = 0; k < lanes; ++k)
            out[k] = static_cast<uint8_t>(counts >> (8 * k));
    }
    feeder.finished += lanes;
}

// What every slot shares.
template<class Lanes> struct Consts
{
    using V = typename Lanes::Vector;
    V bailout;
    V juliaCx;
    V juliaCy;
};

// One iteration of the recurrence, in the one-pixel form's order: x*x - y*y + cx, 2*x*y + cy.
// x + x is 2*x exactly; the compiler makes the product 2 * x a sum in any case.
template<class Lanes, bool kJulia, Tuning kTuning, int kSlots>
[[gnu::always_inline]] inline void Iterate(Slots<Lanes, kSlots> &slots, int s,
                                           const Consts<Lanes> &k)
{
    using V = typename Lanes::Vector;
    const V nx = Lanes::Add(slots.squares[s], kJulia ? k.juliaCx : slots.cx[s]);
    const V ny
        = Lanes::Add(Lanes::Mul(slots.twiceX[s], slots.y[s]), kJulia ? k.juliaCy : slots.cy[s]);
    const V xx = Lanes::Mul(nx, nx);
    const V yy = Lanes::Mul(ny, ny);
    slots.squares[s] = Lanes::Sub(xx, yy);
    slots.twiceX[s] = Lanes::Add(nx, nx);
    slots.y[s] = ny;
    slots.counts[s] += kLaneBytes<Lanes::kLanes>.of[slots.inside[s]];
    slots.inside[s] &= Lanes::Stays(Lanes::Add(xx, yy), k.bailout);
}

// Whether slot s moves on, after the iterations since its last test.
template<class Lanes, bool kJulia, Tuning kTuning, int kSlots>
[[gnu::always_inline]] inline void Test(Slots<Lanes, kSlots> &slots, int s, Feeder &feeder)
{
    static_assert(kLastIteration % kTuning.testEvery == 0, "the test meets the last iteration");
    slots.left[s] -= kTuning.testEvery;
    if (__builtin_expect(slots.inside[s] == 0 || slots.left[s] == 0, 0)) {
        if (slots.left[s] < 0)
            return;
        Finish(slots, s, feeder);
        Start<Lanes, kJulia>(slots, s, feeder);
    }
}

// Out of line, one function a picture kind and tuning, so that each inner loop is compiled (and
// can be read by scripts/mca.sh) on its own.
template<class Lanes, bool kJulia, Tuning kTuning>
[[gnu::noinline]] void EscapeTilesOf(const EscapeJob &job, TileQueue &queue)
{
    constexpr int kSlots = kTuning.slots;
    Feeder feeder {job, queue, {0, 0, 0, 0}, 0, 0, 0, kSlots};
    const Consts<Lanes> k {Lanes::Set(job.bailout), Lanes::Set(job.cx), Lanes::Set(job.cy)};
    Slots<Lanes, kSlots> slots {};
    auto start = [&](auto s) __attribute__((always_inline))
    {
        Start<Lanes, kJulia>(slots, s.value, feeder);
    };
    auto iterate = [&](auto s) __attribute__((always_inline))
    {
        Iterate<Lanes, kJulia, kTuning>(slots, s.value, k);
    };
    auto test = [&](auto s) __attribute__((always_inline))
    {
        Test<Lanes, kJulia, kTuning>(slots, s.value, feeder);
    };
    ForEachSlot<kSlots>(start);
    // Every slot's iteration before any slot's next, with no branch between them: the core's
    // schedulers then always hold independent work, not one slot's chain of dependent operations.
    while (feeder.working > 0) {
        for (int i = 0; i < kTuning.testEvery; ++i)
            ForEachSlot<kSlots>(iterate);
        ForEachSlot<kSlots>(test);
    }
    ReportFinished(queue, feeder.finished);
}

template<class Lanes, SimdLevel kLevel, CoreKind kCore>
void EscapeTiles(const EscapeJob &job, TileQueue &queue)
{
    constexpr const LevelTunings &tunings = kLevelTunings[static_cast<int>(kLevel)];
    if (job.julia)
        EscapeTilesOf<Lanes, true, tunings.julia[static_cast<int>(kCore)]>(job, queue);
    else
        EscapeTilesOf<Lanes, false, tunings.mandelbrot[static_cast<int>(kCore)]>(job, queue);
}

// A level's kernel for every kind of core, for the level table.
template<class Lanes, SimdLevel kLevel> constexpr LevelKernels KernelsOf()
{
    static_assert(kCoreKinds == 3, "one kernel a kind of core");
    return {{EscapeTiles<Lanes, kLevel, CoreKind(0)>, EscapeTiles<Lanes, kLevel, CoreKind(1)>,
             EscapeTiles<Lanes, kLevel, CoreKind(2)>}};
}

} // namespace

} // namespace fast
