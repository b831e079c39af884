// The escape kernel on eight-lane AVX-512 registers. Every product and sum carries an explicit
// round-to-nearest, which the compiler can never fuse into a multiply-add, so the lanes round
// exactly as the one-pixel form does.

#include "fractals/FastEscapeKernels.h"

#include <immintrin.h>

// The rounding intrinsics start from _mm512_undefined_pd, which this compiler reports as
// possibly uninitialised wherever they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace fast {

namespace {

constexpr int kRound = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
constexpr int kLanes = 8;

// Eight pixels of one row in flight. Three slots run side by side to hide the recurrence's
// latency; each moves on to its next eight pixels as soon as its own lanes are done, so a slow
// neighbour never holds up the other.
struct Slot
{
    __m512d x, y, xx, yy, cx, cy;
    __m512d counts; // the escape iteration, 255 until a lane escapes
    __m512d iteration;
    __mmask8 active;
    int step; // iterations made so far
    int group; // row * 2 + half of the stripe; negative when the slot has run out of work
};

struct Stripe
{
    const EscapeJob *job;
    int column;
    int halves; // 1 or 2 groups of eight columns inside the picture
    int groups;
    int next;
};

__attribute__((target("avx512f"), always_inline)) inline void Start(Slot &slot, Stripe &stripe)
{
    const EscapeJob &job = *stripe.job;
    if (stripe.next >= stripe.groups) {
        slot.group = -1;
        slot.active = 0;
        return;
    }
    slot.group = stripe.next++;
    const int row = slot.group / stripe.halves;
    const int half = slot.group % stripe.halves;
    const __m512d columnValue = _mm512_loadu_pd(job.columnValues + stripe.column + half * kLanes);
    const __m512d rowValue = _mm512_set1_pd(job.rowValues[row]);
    if (job.julia) {
        slot.x = columnValue;
        slot.y = rowValue;
        slot.cx = _mm512_set1_pd(job.cx);
        slot.cy = _mm512_set1_pd(job.cy);
    } else {
        slot.x = slot.y = _mm512_setzero_pd();
        slot.cx = columnValue;
        slot.cy = rowValue;
    }
    slot.xx = _mm512_mul_round_pd(slot.x, slot.x, kRound);
    slot.yy = _mm512_mul_round_pd(slot.y, slot.y, kRound);
    slot.counts = _mm512_set1_pd(kMaxIterations);
    slot.iteration = _mm512_setzero_pd();
    slot.active = 0xFF;
    slot.step = 0;
}

__attribute__((target("avx512f"), always_inline)) inline void Step(Slot &slot, __m512d bailout)
{
    const __m512d two = _mm512_set1_pd(2.0);
    slot.iteration = _mm512_add_round_pd(slot.iteration, _mm512_set1_pd(1.0), kRound);
    ++slot.step;
    const __m512d nx
        = _mm512_add_round_pd(_mm512_sub_round_pd(slot.xx, slot.yy, kRound), slot.cx, kRound);
    const __m512d ny = _mm512_add_round_pd(
        _mm512_mul_round_pd(_mm512_mul_round_pd(two, slot.x, kRound), slot.y, kRound), slot.cy,
        kRound);
    slot.xx = _mm512_mul_round_pd(nx, nx, kRound);
    slot.yy = _mm512_mul_round_pd(ny, ny, kRound);
    const __mmask8 escaped = _mm512_mask_cmp_pd_mask(
        slot.active, _mm512_add_round_pd(slot.xx, slot.yy, kRound), bailout, _CMP_GT_OQ);
    slot.counts = _mm512_mask_mov_pd(slot.counts, escaped, slot.iteration);
    slot.active = static_cast<__mmask8>(slot.active & ~escaped);
    slot.x = nx;
    slot.y = ny;
}

__attribute__((target("avx512f"), always_inline)) inline void Finish(const Slot &slot,
                                                                     const Stripe &stripe)
{
    const EscapeJob &job = *stripe.job;
    const int row = slot.group / stripe.halves;
    const int column = stripe.column + slot.group % stripe.halves * kLanes;
    alignas(64) double counts[kLanes];
    _mm512_store_pd(counts, slot.counts);
    const int count = job.width - column < kLanes ? job.width - column : kLanes;
    uint8_t *out = job.buffer + static_cast<long>(row) * job.width + column;
    for (int k = 0; k < count; ++k)
        out[k] = static_cast<uint8_t>(counts[k]);
}

// The 255th iteration is never tested: lanes still active then keep 255.
__attribute__((target("avx512f"), always_inline)) inline void Advance(Slot &slot, Stripe &stripe)
{
    if (slot.active == 0 || slot.step == kMaxIterations - 1) {
        if (slot.group >= 0)
            Finish(slot, stripe);
        Start(slot, stripe);
    }
}

} // namespace

__attribute__((target("avx512f"))) void EscapeStripeAvx512(const EscapeJob &job, int column)
{
    Stripe stripe {&job, column, job.width - column > kLanes ? 2 : 1, 0, 0};
    stripe.groups = stripe.halves * job.height;
    const __m512d bailout = _mm512_set1_pd(job.bailout);
    // Three named slots rather than an array: the compiler keeps them in registers.
    Slot a, b, c;
    Start(a, stripe);
    Start(b, stripe);
    Start(c, stripe);
    while (a.group >= 0 || b.group >= 0 || c.group >= 0) {
        Step(a, bailout);
        Step(b, bailout);
        Step(c, bailout);
        Advance(a, stripe);
        Advance(b, stripe);
        Advance(c, stripe);
    }
}

} // namespace fast
