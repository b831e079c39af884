#pragma once
// The delta loop written once for any register of `Lanes::kLanes` doubles: each instruction-set
// file supplies the few operations and includes this under its own target, so the code below is
// compiled for that instruction set only.
//
// Two loops. Pixels start in groups: a register of neighbours that share one place m in the
// reference orbit, so that one point read serves every lane (see Group below). Pixels whose
// group parted go on in the lane-by-lane loop, where a lane is one pixel with its own place in
// the orbit (pixels rebase and skip at different iterations), so the orbit's points are loaded
// lane by lane. Lanes::kGroupSlots groups, or Lanes::kSlots registers of the lane-by-lane loop,
// run side by side to hide the latency of the recurrence.
// A register of that loop runs plain iterations until one of its lanes needs the scalar code
// (it escaped, may skip a long stretch by approximation, or has counted down to the iteration
// limit or the orbit's end); then that register's lanes go back to memory, the lanes that asked
// are served, and it is loaded again while the others run on.
//
// One iteration, with z = Z_m + dz:
//   dz <- (2 Z_m + dz) dz + dc,  m <- m + 1,  z <- Z_m + dz,
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

template<class Lanes, bool kRebaseHere> void LaneTiles(Worker &worker)
{
    using V = typename Lanes::Vector;
    constexpr int kLanes = Lanes::kLanes;
    constexpr int kSlots = Lanes::kSlots;
    constexpr int kAll = kLanes * kSlots;
    constexpr unsigned long long kSlotBits = (1ull << kLanes) - 1;
    const DeepJob &job = *worker.job;
    const double *orbit = &job.orbit[0].re;
    const V bailout = Lanes::Set(job.bailout);

    Lane lanes[kAll];
    for (int k = 0; k < kAll; ++k) {
        lanes[k].pixel = -1;
        Service(worker, lanes[k]);
    }
    alignas(64) double dzr[kAll], dzi[kAll], dcr[kAll], dci[kAll];
    uint32_t left[kAll]; // iterations each lane may run before it must see the scalar code
    alignas(64) int64_t index[kAll];
    Register<Lanes> regs[kSlots];
    // Iterations before the register's first lane must see the scalar code: counted down in a
    // general register, which keeps the vector ports for the arithmetic.
    uint32_t togo[kSlots];
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
        uint32_t fewest = ~uint32_t(0);
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
            left[k] = toLimit < toEnd ? toLimit : toEnd;
            fewest = left[k] < fewest ? left[k] : fewest;
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
        togo[slot] = fewest > 0 ? fewest : 1; // every load runs at least one iteration
        loadedAt[slot] = step;
    };
    ForEachSlot<kSlots>(load);

    unsigned long long flags = 0;
    unsigned spentSlots = 0; // the registers whose first lane has run out of iterations
    auto iterate = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        const unsigned lanesFlags
            = Iterate<Lanes, kRebaseHere>(regs[slot], orbit, job.radii, bailout);
        flags |= (static_cast<unsigned long long>(lanesFlags) & (activeBits >> (slot * kLanes)))
            << (slot * kLanes);
        if (--togo[slot] == 0) [[unlikely]]
            spentSlots |= 1u << slot;
    };
    // Stores the register's lanes, gives the scalar code those that asked, and loads it again.
    auto serve = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        constexpr int at = slot * kLanes;
        const unsigned long long asked = flags >> at & kSlotBits;
        // A register whose count ran down holds a lane that ran out: those lanes ask too.
        const bool spent = spentSlots >> slot & 1;
        if (!asked && !spent)
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
            if ((asked >> (k - at) & 1) || (spent && left[k] <= steps))
                Service(worker, lane);
        }
        load(s);
    };
    while (activeBits) {
        do {
            flags = 0;
            ForEachSlot<kSlots>(iterate);
            ++step;
        } while (!flags && !spentSlots);
        ForEachSlot<kSlots>(serve);
        spentSlots = 0;
    }
    ReportProgress(worker);
}

// Neighbouring pixels started together mostly stay at the same point of the reference: they
// skip the same stretches and rebase at the same iteration. A group is a register of such
// pixels sharing one m and one n, so that each iteration reads one orbit point for all of its
// lanes, and its skips are taken in the registers. A group keeps going while its lanes agree;
// when they part (some rebase and some do not) or half of them have finished, the rest leave
// for the lane-by-lane loop through the worker's spill.
template<class Lanes> struct Group
{
    using V = typename Lanes::Vector;
    V dzr, dzi, dcr, dci;
    V zre, zim; // Z_m in every lane
};

// Runs groups until no pixel is left to start (false) or the spill is full (true).
template<class Lanes> bool GroupTiles(Worker &worker)
{
    using V = typename Lanes::Vector;
    constexpr int kLanes = Lanes::kLanes;
    constexpr int kSlots = Lanes::kGroupSlots;
    const DeepJob &job = *worker.job;
    const double *orbit = &job.orbit[0].re;
    const V bailout = Lanes::Set(job.bailout);
    const V two = Lanes::Set(2.0);
    auto norm = [&](V x, V y) __attribute__((always_inline))
    {
        return Lanes::MulAdd(x, x, Lanes::Mul(y, y));
    };

    Group<Lanes> groups[kSlots];
    uint32_t ms[kSlots], ns[kSlots]; // where the scalar code has a group
    const double *at[kSlots]; // where the loop has it
    uint32_t runs[kSlots]; // the iterations from there to the next point it must be looked at
    uint32_t offsets[kSlots]; // n - m, which the loop's iterations keep
    unsigned live[kSlots] = {}; // the lanes whose pixel is still running
    Lane pixels[kSlots][kLanes]; // each lane's pixel, its offset and, for the spill, its state
    bool full = false;
    alignas(64) double bufR[kLanes], bufI[kLanes], bufCr[kLanes], bufCi[kLanes];

    auto start = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        unsigned taken = 0;
        for (int k = 0; k < kLanes; ++k) {
            Lane &lane = pixels[slot][k];
            const bool has = !full && TakePixel(worker, lane);
            taken |= unsigned(has) << k;
            bufCr[k] = has ? lane.dcr : 0;
            bufCi[k] = has ? lane.dci : 0;
        }
        Group<Lanes> &g = groups[slot];
        g.dzr = g.dzi = Lanes::Set(0.0);
        g.dcr = Lanes::Load(bufCr);
        g.dci = Lanes::Load(bufCi);
        ms[slot] = ns[slot] = 0;
        at[slot] = orbit;
        offsets[slot] = 0;
        live[slot] = taken;
    };
    // The group's lanes go on one by one; the group starts new pixels.
    auto dissolve = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        const Group<Lanes> &g = groups[slot];
        Lanes::Store(bufR, g.dzr);
        Lanes::Store(bufI, g.dzi);
        for (int k = 0; k < kLanes; ++k) {
            if (!(live[slot] >> k & 1))
                continue;
            Lane lane = pixels[slot][k];
            lane.dzr = bufR[k];
            lane.dzi = bufI[k];
            lane.m = ms[slot];
            lane.n = ns[slot];
            lane.misses = 0;
            worker.spill[worker.spillCount++] = lane;
        }
        full = full || worker.spillCount >= kSpillRun;
        start(s);
    };
    auto finish = [&](auto s, unsigned lanes, uint32_t count) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        for (int k = 0; k < kLanes; ++k) {
            if (lanes >> k & 1) {
                job.counts[pixels[slot][k].pixel] = count;
                worker.stats.iterations += count;
                ++worker.finished;
            }
        }
        live[slot] &= ~lanes;
    };
    // dz <- A dz + B dc in every lane.
    auto apply = [&](Group<Lanes> & g, const BlaNode &node) __attribute__((always_inline))
    {
        const V ar = Lanes::Set(node.ar), ai = Lanes::Set(node.ai);
        const V br = Lanes::Set(node.br), bi = Lanes::Set(node.bi);
        const V x = Lanes::Sub(Lanes::Add(Lanes::Sub(Lanes::Mul(ar, g.dzr), Lanes::Mul(ai, g.dzi)),
                                          Lanes::Mul(br, g.dcr)),
                               Lanes::Mul(bi, g.dci));
        const V y = Lanes::Add(Lanes::Add(Lanes::Add(Lanes::Mul(ar, g.dzi), Lanes::Mul(ai, g.dzr)),
                                          Lanes::Mul(br, g.dci)),
                               Lanes::Mul(bi, g.dcr));
        g.dzr = x;
        g.dzi = y;
    };
    // Whether the approximation holds for every live lane of the group, whose deltas' squared
    // moduli are dd.
    auto holds = [&](auto s, V dd, const BlaNode &node) __attribute__((always_inline))
    {
        const unsigned lanes = live[decltype(s)::value];
        return node.doubles
            && (Lanes::Bits(Lanes::Less(dd, Lanes::Set(node.r2Double))) & lanes) == lanes;
    };
    // At the start of a periodic orbit's repeat: as many whole periods as hold for every lane.
    auto skipPeriods = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        Group<Lanes> &g = groups[slot];
        for (int k = job.periodLevels - 1; k >= 0; --k) {
            const BlaNode &node = job.periods[k];
            const uint64_t span = uint64_t(job.period) << k;
            while (ns[slot] + span <= job.iterations && holds(s, norm(g.dzr, g.dzi), node)) {
                apply(g, node);
                ns[slot] += static_cast<uint32_t>(span);
                worker.stats.skipped += span * unsigned(__builtin_popcount(live[slot]));
            }
        }
    };
    // The longest stored approximation that holds for every lane from the group's m, applied.
    auto skip = [&](auto s, V dd) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        Group<Lanes> &g = groups[slot];
        const BlaNode *best = nullptr;
        int bestLevel = 0;
        for (int level = kFirstLevel; level < job.levelCount; ++level) {
            const BlaNode *node = NodeAt(job, level, ms[slot], ns[slot]);
            if (!node || !holds(s, dd, *node))
                break;
            best = node;
            bestLevel = level;
        }
        if (!best)
            return false;
        apply(g, *best);
        const uint32_t span = uint32_t(1) << bestLevel;
        ms[slot] += span;
        ns[slot] += span;
        worker.stats.skipped += uint64_t(span) * unsigned(__builtin_popcount(live[slot]));
        return true;
    };
    // One iteration of a group's deltas from the reference point (zr, zi).
    auto step = [&](Group<Lanes> & g, V zr, V zi) __attribute__((always_inline))
    {
        // 2 Z_m + dz rather than Z_m + z: the delta is ready one sum before z is.
        const V tr = Lanes::MulAdd(two, zr, g.dzr);
        const V ti = Lanes::MulAdd(two, zi, g.dzi);
        const V nr = Lanes::MulAdd(tr, g.dzr, Lanes::NegMulAdd(ti, g.dzi, g.dcr));
        g.dzi = Lanes::MulAdd(tr, g.dzi, Lanes::MulAdd(ti, g.dzr, g.dci));
        g.dzr = nr;
    };
    // What the group's lanes do at its point: finish, rebase, part or skip; then back to the
    // loop, or a new group.
    auto serveHere = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        Group<Lanes> &g = groups[slot];
        for (;;) {
            if (!live[slot]) {
                start(s);
                if (!live[slot])
                    return;
            }
            const uint32_t m = ms[slot];
            const V zre = Lanes::Set(orbit[2 * m]);
            const V zim = Lanes::Set(orbit[2 * m + 1]);
            const V zr = Lanes::Add(zre, g.dzr);
            const V zi = Lanes::Add(zim, g.dzi);
            if (ns[slot] == job.iterations) {
                finish(s, live[slot], job.iterations);
                continue;
            }
            const V zz = norm(zr, zi);
            const V dd = norm(g.dzr, g.dzi);
            if (ns[slot] > 0) {
                const unsigned out = Lanes::Bits(Lanes::Less(bailout, zz)) & live[slot];
                if (out) {
                    finish(s, out, ns[slot]);
                    if (!live[slot])
                        continue;
                }
            }
            if (kLanes > 1 && 2 * __builtin_popcount(live[slot]) <= kLanes) {
                dissolve(s);
                continue;
            }
            if (m == job.last && job.period) {
                ms[slot] -= job.period; // the same point
                skipPeriods(s);
                continue;
            }
            if (m > 0) {
                const unsigned rebase
                    = m == job.last ? live[slot] : Lanes::Bits(Lanes::Less(zz, dd)) & live[slot];
                if (rebase == live[slot]) {
                    // z itself becomes every lane's delta from the orbit's start, and the
                    // first iteration from there is taken here: the next point is a start
                    // of every approximation, which the loop would stop at at once.
                    g.dzr = zr;
                    g.dzi = zi;
                    step(g, Lanes::Set(orbit[0]), Lanes::Set(orbit[1]));
                    ms[slot] = 1;
                    ++ns[slot];
                    continue;
                }
                if (rebase) {
                    dissolve(s);
                    continue;
                }
            }
            if (m == 0 || !skip(s, dd))
                return;
        }
    };

    // The loop runs a group on a pointer into the orbit until the point where it must be
    // looked at: its orbit's end, its iteration limit, or where an approximation worth stopping
    // for may start.
    auto resume = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        Group<Lanes> &g = groups[slot];
        const uint32_t m = ms[slot];
        const uint32_t toLimit = m + (job.iterations - ns[slot]);
        uint32_t end = job.last < toLimit ? job.last : toLimit;
        // Starts whose radius the largest delta already exceeds are passed by: deltas grow,
        // and a rebase stops the loop anyway. A few are looked at, so that one that shrank is
        // seen again before long.
        Lanes::Store(bufR, norm(g.dzr, g.dzi));
        double largest = 0;
        for (int k = 0; k < kLanes; ++k)
            largest = live[slot] >> k & 1 && bufR[k] > largest ? bufR[k] : largest;
        // The shortest approximation from a start has the widest radius.
        const Level &shortest = job.levels[job.levelCount > kFirstLevel ? kFirstLevel : 0];
        constexpr int kPer = 1 << (kExitLevel - kFirstLevel);
        uint32_t j = m == 0 ? 0 : ((m - 1) >> kExitLevel) + 1;
        for (int looked = 0; looked < 16 && (j << kExitLevel) + 1 < end; ++looked, ++j) {
            const int64_t i = int64_t(j) * kPer;
            if (i >= shortest.count || shortest.nodes[i].r2Double > largest)
                break;
        }
        const uint32_t next = (j << kExitLevel) + 1;
        const uint32_t stop = next < end ? next : end;
        at[slot] = orbit + 2 * size_t(m);
        g.zre = Lanes::Set(orbit[2 * size_t(m)]);
        g.zim = Lanes::Set(orbit[2 * size_t(m) + 1]);
        runs[slot] = stop - m;
        offsets[slot] = ns[slot] - m;
    };
    auto serve = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        ms[slot] = static_cast<uint32_t>((at[slot] - orbit) / 2);
        ns[slot] = ms[slot] + offsets[slot];
        serveHere(s);
        resume(s);
    };
    // Every group's run goes on from at[] by the same count of iterations, so that an iteration
    // costs no pointer of its own, and ends with the shortest run: no group is tested for its
    // stop.
    unsigned events[kSlots];
    uint32_t done = 0;
    auto iterate = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        Group<Lanes> &g = groups[slot];
        step(g, g.zre, g.zim);
        const double *p = at[slot] + 2 * size_t(done);
        g.zre = Lanes::Set(p[0]);
        g.zim = Lanes::Set(p[1]);
        const V zr = Lanes::Add(g.zre, g.dzr);
        const V zi = Lanes::Add(g.zim, g.dzi);
        const V zz = norm(zr, zi);
        const V dd = norm(g.dzr, g.dzi);
        events[slot] = Lanes::Bits(Lanes::Either(Lanes::Less(bailout, zz), Lanes::Less(zz, dd)))
            & live[slot];
    };
    auto serveIf = [&](auto s) __attribute__((always_inline))
    {
        constexpr int slot = decltype(s)::value;
        at[slot] += 2 * size_t(done);
        runs[slot] -= done;
        if (events[slot] || runs[slot] == 0)
            serve(s);
    };
    ForEachSlot<kSlots>(start);
    ForEachSlot<kSlots>(serve);
    static_assert(kLanes <= 8, "a group's lanes are bits of a byte");
    auto working = [&] {
        unsigned any = 0;
        for (int k = 0; k < kSlots; ++k)
            any |= live[k];
        return any != 0;
    };
    while (working()) {
        uint32_t run = runs[0];
        for (int k = 1; k < kSlots; ++k)
            run = runs[k] < run ? runs[k] : run;
        done = 0;
        unsigned any;
        do {
            ++done;
            ForEachSlot<kSlots>(iterate);
            any = 0;
            for (int k = 0; k < kSlots; ++k)
                any |= events[k];
        } while (!any && done < run);
        ForEachSlot<kSlots>(serveIf);
    }
    ReportProgress(worker);
    return full;
}

template<class Lanes> void DeepTiles(Worker &worker)
{
    if (worker.job->extended) {
        LaneTiles<Lanes, false>(worker);
        return;
    }
    for (;;) {
        worker.spillOnly = false;
        const bool more = GroupTiles<Lanes>(worker);
        worker.spillOnly = true;
        LaneTiles<Lanes, true>(worker);
        if (!more)
            return;
    }
}

} // namespace

} // namespace deep
