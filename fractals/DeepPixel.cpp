// The scalar side of the delta loop: everything a pixel does besides the plain iterations the
// vector loops run. A pixel's delta lives in doubles while it is large enough for them and in
// an extended-exponent number while it is not (only on pictures finer than doubles reach).

#include "fractals/DeepEngine.h"
#include "fractals/DeepTiles.h"

#include <cmath>

namespace deep {

namespace {

// Missed approximations after which a pixel goes to the vector loop.
constexpr uint32_t kScalarMisses = 0;

// The delta of one pixel while the scalar code holds it.
struct Delta
{
    bool extended = false;
    double x = 0; // in doubles
    double y = 0;
    XComplex big; // extended

    XComplex AsExtended() const { return extended ? big : XComplex::Of(x, y); }
    // Holds (x, y) as doubles unless the picture needs an exponent beyond theirs.
    void Set(double re, double im, bool extendedPicture)
    {
        const double tiny = 0x1p-900;
        if (extendedPicture && std::fabs(re) < tiny && std::fabs(im) < tiny) {
            extended = true;
            big = XComplex::Of(re, im);
        } else {
            extended = false;
            x = re;
            y = im;
        }
    }
    // Holds d in whichever form its size calls for on this picture.
    void Set(const XComplex &d, bool extendedPicture)
    {
        extended = extendedPicture && d.e < kExtendedBelow;
        if (extended) {
            big = d;
        } else {
            x = d.Re();
            y = d.Im();
        }
    }
};

bool NextPixel(Worker &worker, Lane &lane)
{
    if (worker.spillOnly) {
        if (worker.spillCount == 0) {
            lane.pixel = -1;
            return false;
        }
        lane = worker.spill[--worker.spillCount];
        return true;
    }
    return TakePixel(worker, lane);
}

} // namespace

bool TakePixel(Worker &worker, Lane &lane)
{
    const DeepJob &job = *worker.job;
    if (worker.nextInTile == worker.tileColumns * worker.tileRows) {
        ReportProgress(worker);
        if (!job.queue->Next(worker)) {
            lane.pixel = -1;
            return false;
        }
    }
    const int k = worker.nextInTile++;
    const int column = worker.tileColumn + k % worker.tileColumns;
    const int row = worker.tileRow + k / worker.tileColumns;
    lane.pixel = int64_t(row) * job.columns + column;
    // (i - (columns - 1) / 2) d, with the halves kept exact as odd integers times d / 2.
    lane.dc
        = XComplex::Of(2.0 * column - (job.columns - 1), 2.0 * row - (job.rows - 1)) * job.halfStep;
    lane.dcr = lane.dc.Re();
    lane.dci = lane.dc.Im();
    lane.dzr = lane.dzi = 0;
    lane.m = lane.n = lane.misses = 0;
    return true;
}

namespace {

void Finish(Worker &worker, Lane &lane, uint32_t count)
{
    worker.job->counts[lane.pixel] = count;
    worker.stats.iterations += count;
    ++worker.finished;
    lane.pixel = -1;
}

// dz <- A dz + B dc.
void Apply(const DeepJob &job, const Lane &lane, const BlaNode &node, Delta &delta)
{
    if (node.doubles && !delta.extended) {
        const double x
            = node.ar * delta.x - node.ai * delta.y + node.br * lane.dcr - node.bi * lane.dci;
        const double y
            = node.ar * delta.y + node.ai * delta.x + node.br * lane.dci + node.bi * lane.dcr;
        delta.Set(x, y, job.extended);
    } else {
        delta.Set(node.a * delta.AsExtended() + node.b * lane.dc, job.extended);
    }
}

// At the start of a periodic orbit's repeat: as many whole periods as hold, longest first.
void SkipPeriods(Worker &worker, Lane &lane, Delta &delta)
{
    const DeepJob &job = *worker.job;
    for (int k = job.periodLevels - 1; k >= 0; --k) {
        const BlaNode &node = job.periods[k];
        const uint64_t span = uint64_t(job.period) << k;
        while (lane.n + span <= job.iterations
               && (delta.extended ? delta.big.Norm() < node.r2
                                  : delta.x * delta.x + delta.y * delta.y < node.r2Double)) {
            Apply(job, lane, node, delta);
            lane.n += static_cast<uint32_t>(span);
            worker.stats.skipped += span;
        }
    }
}

// The longest stored approximation that holds from the lane's iteration on, applied; false
// when none does.
bool Skip(Worker &worker, Lane &lane, Delta &delta)
{
    const DeepJob &job = *worker.job;
    if (lane.m == 0)
        return false;
    const double norm = delta.extended ? 0 : delta.x * delta.x + delta.y * delta.y;
    const XReal bigNorm = delta.extended ? delta.big.Norm() : XReal();
    const BlaNode *best = nullptr;
    int bestLevel = 0;
    // A longer approximation from the same start never holds where a shorter one does not.
    for (int level = kFirstLevel; level < job.levelCount; ++level) {
        const BlaNode *node = NodeAt(job, level, lane.m, lane.n);
        if (!node || (delta.extended ? !(bigNorm < node->r2) : !(norm < node->r2Double)))
            break;
        best = node;
        bestLevel = level;
    }
    if (!best)
        return false;
    Apply(job, lane, *best, delta);
    const uint32_t span = uint32_t(1) << bestLevel;
    lane.m += span;
    lane.n += span;
    worker.stats.skipped += span;
    return true;
}

// True when the lane is ready for the vector loop; false when its pixel is finished.
bool Advance(Worker &worker, Lane &lane)
{
    const DeepJob &job = *worker.job;
    Delta delta;
    if (job.extended && lane.n == 0)
        delta.Set(XComplex(), true);
    else
        delta.Set(lane.dzr, lane.dzi, job.extended);
    for (;;) {
        if (lane.n == job.iterations) {
            Finish(worker, lane, job.iterations);
            return false;
        }
        if (lane.m == job.last && job.period) {
            lane.m -= job.period; // the same point
            SkipPeriods(worker, lane, delta);
            if (lane.n == job.iterations)
                continue;
        }
        const OrbitPoint &z = job.orbit[lane.m];
        if (!delta.extended) {
            const double zr = z.re + delta.x;
            const double zi = z.im + delta.y;
            const double zz = zr * zr + zi * zi;
            if (lane.n > 0 && zz > job.bailout) {
                Finish(worker, lane, lane.n);
                return false;
            }
            if (lane.m > 0 && (lane.m == job.last || zz < delta.x * delta.x + delta.y * delta.y)) {
                // z itself becomes the delta from the orbit's start, which is no larger.
                delta.Set(zr, zi, job.extended);
                lane.m = 0;
            }
        } else {
            const XComplex &d = delta.big;
            const double zr = z.re + d.Re();
            const double zi = z.im + d.Im();
            const double zz = zr * zr + zi * zi;
            if (lane.n > 0 && zz > job.bailout) {
                Finish(worker, lane, lane.n);
                return false;
            }
            if (lane.m > 0 && (lane.m == job.last || XReal::Of(zz) < d.Norm())) {
                delta.Set(XComplex::Of(z.re, z.im) + d, true);
                lane.m = 0;
            }
        }
        if (Skip(worker, lane, delta)) {
            lane.misses = 0;
            continue;
        }
        if (lane.m > 0 && ((lane.m - 1) & ((uint32_t(1) << kFirstLevel) - 1)) == 0)
            ++lane.misses;
        if (!delta.extended) {
            if (lane.misses > kScalarMisses) {
                lane.dzr = delta.x;
                lane.dzi = delta.y;
                return true;
            }
            // A pixel between approximations: leaving for the vector loop would bring it back
            // within a few iterations, and every lane with it.
            const OrbitPoint &here = job.orbit[lane.m]; // a rebase may have moved it
            const double tr = 2 * here.re + delta.x;
            const double ti = 2 * here.im + delta.y;
            const double x = tr * delta.x - ti * delta.y + lane.dcr;
            const double y = tr * delta.y + ti * delta.x + lane.dci;
            delta.Set(x, y, job.extended);
            ++lane.m;
            ++lane.n;
            continue;
        }
        // dz <- (2 Z + dz) dz + dc
        const XComplex &d = delta.big;
        const OrbitPoint &here = job.orbit[lane.m];
        const XComplex twice = XComplex::Of(2 * here.re, 2 * here.im) + d;
        delta.Set(twice * d + lane.dc, true);
        ++lane.m;
        ++lane.n;
    }
}

} // namespace

void ReportProgress(Worker &worker)
{
    worker.job->queue->Finished(worker.finished);
    worker.finished = 0;
}

void Service(Worker &worker, Lane &lane)
{
    for (;;) {
        if (lane.pixel < 0 && !NextPixel(worker, lane))
            return;
        if (Advance(worker, lane))
            return;
    }
}

} // namespace deep
