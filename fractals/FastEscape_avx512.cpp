// The escape kernel on eight-lane AVX-512 registers. Every product and sum carries an explicit
// round-to-nearest, which the compiler can never fuse into a multiply-add, so the lanes round
// exactly as the one-pixel form does.

#include <immintrin.h>

// Everything below, the shared kernel included, is compiled for AVX-512; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx512f")
// The rounding intrinsics start from _mm512_undefined_pd, which this compiler reports as
// uninitialised wherever they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

namespace {

struct Avx512Lanes
{
    static constexpr int kRound = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
    using Vector = __m512d;
    using Mask = __mmask8; // a set bit for a lane still inside
    using Count = __m512i;
    static constexpr int kLanes = 8;
    static constexpr int kSlots = 5;

    static Vector Set(double v) { return _mm512_set1_pd(v); }
    static Vector Load(const double *p) { return _mm512_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_round_pd(a, b, kRound); }
    static Vector Sub(Vector a, Vector b) { return _mm512_sub_round_pd(a, b, kRound); }
    static Vector Mul(Vector a, Vector b) { return _mm512_mul_round_pd(a, b, kRound); }
    // Not-greater, so a lane whose sum is not a number stays inside.
    static Mask StillInside(Mask active, Vector sum, Vector bailout)
    {
        return _mm512_mask_cmp_pd_mask(active, sum, bailout, _CMP_NGT_UQ);
    }
    static Mask AllActive() { return 0xFF; }
    static Mask NoneActive() { return 0; }
    static unsigned Bits(Mask m) { return m; }
    static bool Any(Mask m) { return m != 0; }
    static Count CountZero() { return _mm512_setzero_si512(); }
    static Count CountActive(Count c, Mask active)
    {
        return _mm512_mask_add_epi64(c, active, c, _mm512_set1_epi64(1));
    }
    static void StoreCounts(long long *p, Count c) { _mm512_store_si512(p, c); }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

void EscapeTilesAvx512(const EscapeJob &job, TileQueue &queue)
{
    EscapeTiles<Avx512Lanes>(job, queue);
}

} // namespace fast
