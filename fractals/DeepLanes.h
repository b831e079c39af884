#pragma once
// The delta loop written once for any register of `Lanes::kLanes` doubles: each instruction-set
// file supplies the few operations and includes this under its own target, so the code below is
// compiled for that instruction set only.
//
// A lane is one pixel with its own place in the reference orbit (pixels rebase and skip at
// different iterations), so the orbit's points are gathered lane by lane. Lanes::kSlots
// registers run side by side to hide the latency of the recurrence. The registers run plain
// iterations together until a lane needs the scalar code (it escaped, must rebase, may skip by
// approximation, or reaches the iteration limit or the orbit's end); then every lane's state
// goes back to memory, the lanes that asked are served, and the registers start again.
//
// One iteration, with z = Z_m + dz held beside dz:
//   dz <- (Z_m + z) dz + dc,  m <- m + 1,  z <- Z_m + dz,
// then the tests |z|^2 > B (escaped), |z|^2 < |dz|^2 (rebase) and |dz|^2 < R^2 (skip). The
// orbit's last point has an infinite R^2, so a lane reaching it always goes to the scalar code.

#include "fractals/DeepEngine.h"

namespace deep {

namespace {

template<class Lanes> struct Register
{
    using V = typename Lanes::Vector;
    using I = typename Lanes::Index;
    V dzr, dzi, dcr, dci, zr, zi, zre, zim;
    I index; // the orbit point of each lane, in doubles from the orbit's start
};

// Rebasing in the registers, where the picture's deltas are all doubles: z becomes the delta
// from the orbit's start. On finer pictures a rebase goes to the scalar code, which may have to
// hold the new delta with an exponent of its own.
template<class Lanes>
[[gnu::always_inline]] inline unsigned Iterate(Register<Lanes> &r, const double *orbit,
                                               typename Lanes::Vector bailout, bool rebaseHere,
                                               uint64_t &rebases)
{
    using V = typename Lanes::Vector;
    const V tr = Lanes::Add(r.zre, r.zr);
    const V ti = Lanes::Add(r.zim, r.zi);
    const V nr = Lanes::MulAdd(tr, r.dzr, Lanes::NegMulAdd(ti, r.dzi, r.dcr));
    const V ni = Lanes::MulAdd(tr, r.dzi, Lanes::MulAdd(ti, r.dzr, r.dci));
    r.index = Lanes::Next(r.index);
    r.zre = Lanes::Gather(orbit, r.index);
    r.zim = Lanes::Gather(orbit + 1, r.index);
    const V r2 = Lanes::Gather(orbit + 2, r.index);
    r.zr = Lanes::Add(r.zre, nr);
    r.zi = Lanes::Add(r.zim, ni);
    r.dzr = nr;
    r.dzi = ni;
    const V zz = Lanes::MulAdd(r.zr, r.zr, Lanes::Mul(r.zi, r.zi));
    const V dd = Lanes::MulAdd(nr, nr, Lanes::Mul(ni, ni));
    const auto rebase = Lanes::Less(zz, dd);
    const unsigned flags = Lanes::Flags(zz, dd, r2, bailout);
    if (!rebaseHere)
        return flags | Lanes::Bits(rebase);
    const V zero = Lanes::Set(0.0);
    r.dzr = Lanes::Select(rebase, r.zr, nr);
    r.dzi = Lanes::Select(rebase, r.zi, ni);
    r.zre = Lanes::Select(rebase, zero, r.zre);
    r.zim = Lanes::Select(rebase, zero, r.zim);
    r.index = Lanes::ZeroWhere(rebase, r.index);
    rebases += static_cast<uint64_t>(__builtin_popcount(Lanes::Bits(rebase)));
    return flags;
}

template<int kIndex> struct SlotIndex
{
    static constexpr int value = kIndex;
};

// Calls body(0) .. body(kCount - 1) with each index a constant, so that a register's fields
// are named at compile time and can live in registers.
template<int kCount, class Body> [[gnu::always_inline]] inline void ForEachSlot(Body &body)
{
    if constexpr (kCount > 0) {
        ForEachSlot<kCount - 1>(body);
        body(SlotIndex<kCount - 1>());
    }
}

template<class Lanes> void DeepTiles(Worker &worker)
{
    using V = typename Lanes::Vector;
    constexpr int kLanes = Lanes::kLanes;
    constexpr int kSlots = Lanes::kSlots;
    constexpr int kAll = kLanes * kSlots;
    const DeepJob &job = *worker.job;
    const double *orbit = &job.orbit[0].re;
    const V bailout = Lanes::Set(job.bailout);
    const bool rebaseHere = !job.extended;
    uint64_t rebases = 0;

    Lane lanes[kAll];
    for (int k = 0; k < kAll; ++k) {
        lanes[k].pixel = -1;
        Service(worker, lanes[k]);
    }
    alignas(64) double dzr[kAll], dzi[kAll], dcr[kAll], dci[kAll];
    alignas(64) int64_t index[kAll];
    for (;;) {
        // Plain iterations every lane may run before one of them meets its limit; lanes without
        // a pixel take an active lane's place, so that their loads stay inside the orbit.
        uint32_t budget = ~uint32_t(0);
        int active = -1;
        unsigned long long activeBits = 0;
        for (int k = 0; k < kAll; ++k) {
            if (lanes[k].pixel < 0)
                continue;
            const uint32_t left = job.iterations - lanes[k].n;
            budget = left < budget ? left : budget;
            active = k;
            activeBits |= 1ull << k;
        }
        if (active < 0)
            break;
        for (int k = 0; k < kAll; ++k) {
            const Lane &lane = lanes[k].pixel < 0 ? lanes[active] : lanes[k];
            const bool idle = lanes[k].pixel < 0;
            dzr[k] = idle ? 0 : lane.dzr;
            dzi[k] = idle ? 0 : lane.dzi;
            dcr[k] = idle ? 0 : lane.dcr;
            dci[k] = idle ? 0 : lane.dci;
            index[k] = int64_t(lane.m) * 4;
        }
        Register<Lanes> regs[kSlots];
        auto load = [&](auto s) __attribute__((always_inline))
        {
            constexpr int at = decltype(s)::value * kLanes;
            Register<Lanes> &r = regs[decltype(s)::value];
            r.dzr = Lanes::Load(dzr + at);
            r.dzi = Lanes::Load(dzi + at);
            r.dcr = Lanes::Load(dcr + at);
            r.dci = Lanes::Load(dci + at);
            r.index = Lanes::LoadIndex(index + at);
            r.zre = Lanes::Gather(orbit, r.index);
            r.zim = Lanes::Gather(orbit + 1, r.index);
            r.zr = Lanes::Add(r.zre, r.dzr);
            r.zi = Lanes::Add(r.zim, r.dzi);
        };
        ForEachSlot<kSlots>(load);
        unsigned long long flags = 0;
        uint32_t steps = 0;
        auto iterate = [&](auto s) __attribute__((always_inline))
        {
            constexpr int slot = decltype(s)::value;
            flags |= static_cast<unsigned long long>(
                         Iterate<Lanes>(regs[slot], orbit, bailout, rebaseHere, rebases))
                << (slot * kLanes);
        };
        do {
            flags = 0;
            ForEachSlot<kSlots>(iterate);
            ++steps;
        } while (steps < budget && !(flags & activeBits));
        auto store = [&](auto s) __attribute__((always_inline))
        {
            constexpr int at = decltype(s)::value * kLanes;
            Lanes::Store(dzr + at, regs[decltype(s)::value].dzr);
            Lanes::Store(dzi + at, regs[decltype(s)::value].dzi);
            Lanes::StoreIndex(index + at, regs[decltype(s)::value].index);
        };
        ForEachSlot<kSlots>(store);
        for (int k = 0; k < kAll; ++k) {
            Lane &lane = lanes[k];
            if (lane.pixel < 0)
                continue;
            lane.dzr = dzr[k];
            lane.dzi = dzi[k];
            lane.m = static_cast<uint32_t>(index[k] / 4);
            lane.n += steps;
            if ((flags >> k & 1) || lane.n == job.iterations || lane.m == job.last)
                Service(worker, lane);
        }
    }
    worker.stats.rebases += rebases;
    ReportProgress(worker);
}

} // namespace

} // namespace deep
