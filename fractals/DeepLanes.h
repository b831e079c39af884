#pragma once
// The delta loop written once for any register of `Lanes::kLanes` doubles: each instruction-set
// file supplies the few operations and includes this under its own target, so the code below is
// compiled for that instruction set only.
//
// A lane is one pixel with its own place in the reference orbit (pixels rebase and skip at
// different iterations), so the orbit's points are loaded lane by lane. Lanes::kSlots
// registers run side by side to hide the latency of the recurrence. A register runs plain
// iterations until one of its lanes needs the scalar code (it escaped, may skip a long stretch
// by approximation, or has counted down to the iteration limit or the orbit's end); then that
// register's lanes go back to memory, the lanes that asked are served, and it is loaded again
// while the others run on.
//
// One iteration, with z = Z_m + dz held beside dz:
//   dz <- (Z_m + z) dz + dc,  m <- m + 1,  z <- Z_m + dz,
// then the tests |z|^2 > B (escaped), |z|^2 < |dz|^2 (rebase) and |dz|^2 < R^2 (skip).

#include "fractals/DeepEngine.h"
#include "fractals/SlotLoop.h"

namespace deep {

namespace {

template<class Lanes> struct Register
{
    using V = typename Lanes::Vector;
    using I = typename Lanes::Index;
    using Mask = decltype(Lanes::Less(V {}, V {}));
    V dzr, dzi, dcr, dci, zr, zi, zre, zim;
    I index; // the orbit point of each lane, in doubles from the orbit's start (two a point)
    // Where the next point is gathered from: one past index as it stood before the last
    // rebase, so that the gather need not wait for the rebase test. Rebased lanes take the
    // orbit's first point instead.
    I ahead;
    Mask rebased; // the lanes the last iteration rebased
};

// Rebasing in the registers, where the picture's deltas are all doubles: z becomes the delta
// from the orbit's start. On finer pictures a rebase goes to the scalar code, which may have to
// hold the new delta with an exponent of its own.
template<class Lanes, bool kRebaseHere>
[[gnu::always_inline]] inline unsigned Iterate(Register<Lanes> &r, const double *orbit,
                                               const double *radii, typename Lanes::Vector bailout)
{
    using V = typename Lanes::Vector;
    const V tr = Lanes::Add(r.zre, r.zr);
    const V ti = Lanes::Add(r.zim, r.zi);
    const V nr = Lanes::MulAdd(tr, r.dzr, Lanes::NegMulAdd(ti, r.dzi, r.dcr));
    const V ni = Lanes::MulAdd(tr, r.dzi, Lanes::MulAdd(ti, r.dzr, r.dci));
    r.index = Lanes::Next(r.index);
    V gre, gim;
    Lanes::GatherPoints(orbit, r.ahead, gre, gim);
    r.zre = Lanes::Select(r.rebased, Lanes::Set(orbit[2]), gre);
    r.zim = Lanes::Select(r.rebased, Lanes::Set(orbit[3]), gim);
    // Approximations worth stopping for start at one point in 2^kExitLevel: their radii are
    // gathered only when a lane stands on one.
    V r2 = Lanes::Set(0.0);
    const auto starts = Lanes::At(r.index, int64_t(2) << kExitLevel, 2);
    if (Lanes::Bits(starts)) [[unlikely]]
        r2 = Lanes::GatherWhere(starts, radii, Lanes::Block(r.index, kExitLevel + 1));
    r.ahead = Lanes::Next(r.index);
    r.zr = Lanes::Add(r.zre, nr);
    r.zi = Lanes::Add(r.zim, ni);
    r.dzr = nr;
    r.dzi = ni;
    const V zz = Lanes::MulAdd(r.zr, r.zr, Lanes::Mul(r.zi, r.zi));
    const V dd = Lanes::MulAdd(nr, nr, Lanes::Mul(ni, ni));
    const auto rebase = Lanes::Less(zz, dd);
    const unsigned flags = Lanes::Flags(zz, dd, r2, bailout);
    if constexpr (!kRebaseHere)
        return flags | Lanes::Bits(rebase);
    const V zero = Lanes::Set(0.0);
    r.dzr = Lanes::Select(rebase, r.zr, nr);
    r.dzi = Lanes::Select(rebase, r.zi, ni);
    r.zre = Lanes::Select(rebase, zero, r.zre);
    r.zim = Lanes::Select(rebase, zero, r.zim);
    r.index = Lanes::ZeroWhere(rebase, r.index);
    r.rebased = rebase;
    return flags;
}

template<class Lanes, bool kRebaseHere> void DeepTilesOn(Worker &worker)
{
    using V = typename Lanes::Vector;
    constexpr int kLanes = Lanes::kLanes;
    constexpr int kSlots = Lanes::kSlots;
    constexpr int kAll = kLanes * kSlots;
    constexpr unsigned long long kSlotBits = (1ull << kLanes) - 1;
    const DeepJob &job = *worker.job;
    const double *orbit = &job.orbit[0].re;
    const V bailout = Lanes::Set(job.bailout);
    const V one = Lanes::Set(1.0);
    const V half = Lanes::Set(0.5);

    Lane lanes[kAll];
    for (int k = 0; k < kAll; ++k) {
        lanes[k].pixel = -1;
        Service(worker, lanes[k]);
    }
    alignas(64) double dzr[kAll], dzi[kAll], dcr[kAll], dci[kAll], left[kAll];
    alignas(64) int64_t index[kAll];
    Register<Lanes> regs[kSlots];
    V lefts[kSlots]; // iterations each lane may run before it must see the scalar code
    uint32_t loadedAt[kSlots]; // the step at which each register was loaded
    uint32_t step = 0;
    unsigned long long activeBits = 0;

    // A register is loaded from its lanes, and only it is stored and loaded again when one of
    // its lanes needs the scalar code; the others run on. A lane without a pixel runs the
    // reference itself (no delta, no offset) from the orbit's start, so its loads stay inside
    // the orbit until its count runs out.
    auto load = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        constexpr int at = slot * kLanes;
        for (int k = at; k < at + kLanes; ++k) {
            const Lane &lane = lanes[k];
            const bool idle = lane.pixel < 0;
            dzr[k] = idle ? 0 : lane.dzr;
            dzi[k] = idle ? 0 : lane.dzi;
            dcr[k] = idle ? 0 : lane.dcr;
            dci[k] = idle ? 0 : lane.dci;
            index[k] = idle ? 0 : int64_t(lane.m) * 2;
            const uint32_t m = idle ? 0 : lane.m;
            const uint32_t toLimit = idle ? ~uint32_t(0) : job.iterations - lane.n;
            const uint32_t toEnd = job.last - m;
            left[k] = double(toLimit < toEnd ? toLimit : toEnd);
            if (idle)
                activeBits &= ~(1ull << k);
            else
                activeBits |= 1ull << k;
        }
        Register<Lanes> &r = regs[slot];
        r.dzr = Lanes::Load(dzr + at);
        r.dzi = Lanes::Load(dzi + at);
        r.dcr = Lanes::Load(dcr + at);
        r.dci = Lanes::Load(dci + at);
        r.index = Lanes::LoadIndex(index + at);
        Lanes::GatherPoints(orbit, r.index, r.zre, r.zim);
        r.ahead = Lanes::Next(r.index);
        r.rebased = Lanes::Less(r.zre, r.zre);
        r.zr = Lanes::Add(r.zre, r.dzr);
        r.zi = Lanes::Add(r.zim, r.dzi);
        lefts[slot] = Lanes::Load(left + at);
        loadedAt[slot] = step;
    };
    ForEachSlot<kSlots>(load);

    unsigned long long flags = 0;
    auto iterate = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        const unsigned lanesFlags
            = Iterate<Lanes, kRebaseHere>(regs[slot], orbit, job.radii, bailout);
        lefts[slot] = Lanes::Sub(lefts[slot], one);
        const unsigned spent = Lanes::Bits(Lanes::Less(lefts[slot], half));
        flags |= (static_cast<unsigned long long>(lanesFlags) & (activeBits >> (slot * kLanes)))
            << (slot * kLanes);
        flags |= static_cast<unsigned long long>(spent) << (slot * kLanes);
    };
    // Stores the register's lanes, gives the scalar code those that asked, and loads it again.
    auto serve = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        constexpr int at = slot * kLanes;
        const unsigned long long asked = flags >> at & kSlotBits;
        if (!asked)
            return;
        Register<Lanes> &r = regs[slot];
        Lanes::Store(dzr + at, r.dzr);
        Lanes::Store(dzi + at, r.dzi);
        Lanes::StoreIndex(index + at, r.index);
        const uint32_t steps = step - loadedAt[slot];
        for (int k = at; k < at + kLanes; ++k) {
            Lane &lane = lanes[k];
            if (lane.pixel < 0)
                continue;
            lane.dzr = dzr[k];
            lane.dzi = dzi[k];
            lane.m = static_cast<uint32_t>(index[k] / 2);
            lane.n += steps;
            if (asked >> (k - at) & 1)
                Service(worker, lane);
        }
        load(s);
    };
    while (activeBits) {
        do {
            flags = 0;
            ForEachSlot<kSlots>(iterate);
            ++step;
        } while (!flags);
        ForEachSlot<kSlots>(serve);
    }
    ReportProgress(worker);
}

template<class Lanes> void DeepTiles(Worker &worker)
{
    if (worker.job->extended)
        DeepTilesOn<Lanes, false>(worker);
    else
        DeepTilesOn<Lanes, true>(worker);
}

} // namespace

} // namespace deep
