#pragma once
// The escape kernel written once for any register of `Lanes::kLanes` doubles: each
// instruction-set file supplies the few operations and includes this under its own target, so
// the code below is compiled for that instruction set only.
//
// A register holds kLanes neighbouring pixels of one row. Lanes::kSlots registers run side by
// side to hide the latency of the recurrence; each moves on to its next pixels as soon as its
// own lanes are done, so a slow neighbour never holds up the others, and the tiles a thread
// takes flow through the slots without draining them in between.

#include "fractals/FastEscapeKernels.h"

namespace fast {

namespace {

template<class Lanes> struct Slot
{
    using V = typename Lanes::Vector;
    V x, y, xx, yy;
    V cx, cy; // Mandelbrot only: the Julia constant is shared by every slot
    typename Lanes::Count counts; // iterations run while each lane was active
    typename Lanes::Mask active;
    int step;
    int row; // negative once the slot has run out of work
    int column;
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
};

template<class Lanes, bool kJulia> inline void Start(Slot<Lanes> &slot, Feeder &feeder)
{
    if (feeder.row == feeder.tile.rows) {
        if (feeder.finished) {
            ReportFinished(feeder.queue, feeder.finished);
            feeder.finished = 0;
        }
        if (!NextTile(feeder.queue, feeder.tile)) {
            slot.row = -1;
            slot.active = Lanes::NoneActive();
            return;
        }
        feeder.row = 0;
        feeder.column = 0;
    }
    slot.row = feeder.tile.row + feeder.row;
    slot.column = feeder.tile.column + feeder.column;
    feeder.column += Lanes::kLanes;
    if (feeder.column >= feeder.tile.columns) {
        feeder.column = 0;
        ++feeder.row;
    }
    const auto columnValue = Lanes::Load(feeder.job.columnValues + slot.column);
    const auto rowValue = Lanes::Set(feeder.job.rowValues[slot.row]);
    if constexpr (kJulia) {
        slot.x = columnValue;
        slot.y = rowValue;
    } else {
        slot.x = slot.y = Lanes::Set(0.0);
        slot.cx = columnValue;
        slot.cy = rowValue;
    }
    slot.xx = Lanes::Mul(slot.x, slot.x);
    slot.yy = Lanes::Mul(slot.y, slot.y);
    slot.counts = Lanes::CountZero();
    slot.active = Lanes::AllActive();
    slot.step = 0;
}

// One iteration of the recurrence, in the one-pixel form's order: x*x - y*y + cx, 2*x*y + cy.
template<class Lanes, bool kJulia, class V>
inline void Step(Slot<Lanes> &slot, V two, V bailout, V juliaCx, V juliaCy)
{
    ++slot.step;
    slot.counts = Lanes::CountActive(slot.counts, slot.active);
    const V nx = Lanes::Add(Lanes::Sub(slot.xx, slot.yy), kJulia ? juliaCx : slot.cx);
    const V ny
        = Lanes::Add(Lanes::Mul(Lanes::Mul(two, slot.x), slot.y), kJulia ? juliaCy : slot.cy);
    slot.xx = Lanes::Mul(nx, nx);
    slot.yy = Lanes::Mul(ny, ny);
    slot.active = Lanes::StillInside(slot.active, Lanes::Add(slot.xx, slot.yy), bailout);
    slot.x = nx;
    slot.y = ny;
}

// The 255th iteration is never tested: a lane still active has counted 254, and one more
// count makes the 255 it keeps.
template<class Lanes> inline void Finish(const Slot<Lanes> &slot, Feeder &feeder)
{
    alignas(64) long long counts[Lanes::kLanes];
    Lanes::StoreCounts(counts, Lanes::CountActive(slot.counts, slot.active));
    const int left = feeder.job.width - slot.column;
    uint8_t *out
        = feeder.job.buffer + static_cast<int64_t>(slot.row) * feeder.job.width + slot.column;
    if (left >= Lanes::kLanes) {
        for (int k = 0; k < Lanes::kLanes; ++k)
            out[k] = static_cast<uint8_t>(counts[k]);
        feeder.finished += Lanes::kLanes;
    } else {
        for (int k = 0; k < left; ++k)
            out[k] = static_cast<uint8_t>(counts[k]);
        feeder.finished += left;
    }
}

template<class Lanes, bool kJulia> inline void Advance(Slot<Lanes> &slot, Feeder &feeder)
{
    if (slot.row >= 0 && (!Lanes::Any(slot.active) || slot.step == kMaxIterations - 1)) {
        Finish(slot, feeder);
        Start<Lanes, kJulia>(slot, feeder);
    }
}

template<class Lanes, bool kJulia> void EscapeTilesOf(const EscapeJob &job, TileQueue &queue)
{
    using V = typename Lanes::Vector;
    constexpr int kSlots = Lanes::kSlots;
    Feeder feeder {job, queue, {0, 0, 0, 0}, 0, 0, 0};
    V two = Lanes::Set(2.0);
    // Hidden from the optimiser, which would make 2 * x into x + x: as exact, but the adders
    // already carry five of an iteration's operations and the multipliers only three.
    asm("" : "+v"(two));
    const V bailout = Lanes::Set(job.bailout);
    const V juliaCx = Lanes::Set(job.cx);
    const V juliaCy = Lanes::Set(job.cy);
    Slot<Lanes> slots[kSlots] {};
#pragma GCC unroll 8
    for (int s = 0; s < kSlots; ++s)
        Start<Lanes, kJulia>(slots[s], feeder);
    for (;;) {
#pragma GCC unroll 8
        for (int s = 0; s < kSlots; ++s)
            Step<Lanes, kJulia>(slots[s], two, bailout, juliaCx, juliaCy);
        bool working = false;
#pragma GCC unroll 8
        for (int s = 0; s < kSlots; ++s) {
            Advance<Lanes, kJulia>(slots[s], feeder);
            working |= slots[s].row >= 0;
        }
        if (!working)
            break;
    }
    ReportFinished(queue, feeder.finished);
}

template<class Lanes> void EscapeTiles(const EscapeJob &job, TileQueue &queue)
{
    if (job.julia)
        EscapeTilesOf<Lanes, true>(job, queue);
    else
        EscapeTilesOf<Lanes, false>(job, queue);
}

} // namespace

} // namespace fast
