// The escape kernel on two-lane SSE2 registers, which every x86-64 processor has. SSE2 has no
// fused multiply-add, so each lane rounds exactly as the one-pixel form does.

#include <emmintrin.h>

namespace {

struct Sse2Lanes
{
    using Vector = __m128d;
    using Mask = __m128d; // all ones in a lane still inside
    using Count = __m128i;
    static constexpr int kLanes = 2;
    static constexpr int kSlots = 4;

    static Vector Set(double v) { return _mm_set1_pd(v); }
    static Vector Load(const double *p) { return _mm_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    // Not-greater, so a lane whose sum is not a number stays inside.
    static Mask StillInside(Mask active, Vector sum, Vector bailout)
    {
        return _mm_and_pd(_mm_cmpngt_pd(sum, bailout), active);
    }
    static Mask AllActive() { return _mm_castsi128_pd(_mm_set1_epi32(-1)); }
    static Mask NoneActive() { return _mm_setzero_pd(); }
    static unsigned Bits(Mask m) { return static_cast<unsigned>(_mm_movemask_pd(m)); }
    static bool Any(Mask m) { return _mm_movemask_pd(m) != 0; }
    static Count CountZero() { return _mm_setzero_si128(); }
    // An active lane is -1 as an integer.
    static Count CountActive(Count c, Mask active)
    {
        return _mm_sub_epi64(c, _mm_castpd_si128(active));
    }
    static void StoreCounts(long long *p, Count c)
    {
        _mm_store_si128(reinterpret_cast<__m128i *>(p), c);
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

void EscapeTilesSse2(const EscapeJob &job, TileQueue &queue)
{
    EscapeTiles<Sse2Lanes>(job, queue);
}

} // namespace fast
