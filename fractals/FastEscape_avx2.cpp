// The escape kernel on four-lane AVX2 registers. Only AVX2 is enabled here, not the fused
// multiply-add instructions, so no product and sum can be fused: each lane rounds exactly as
// the one-pixel form does.

#include <immintrin.h>

// Everything below, the shared kernel included, is compiled for AVX2; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx2")

namespace {

struct Avx2Lanes
{
    using Vector = __m256d;
    using Mask = __m256d; // all ones in a lane still inside
    using Count = __m256i;
    static constexpr int kLanes = 4;
    static constexpr int kSlots = 3;

    static Vector Set(double v) { return _mm256_set1_pd(v); }
    static Vector Load(const double *p) { return _mm256_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    // Not-greater, so a lane whose sum is not a number stays inside.
    static Mask StillInside(Mask active, Vector sum, Vector bailout)
    {
        return _mm256_and_pd(_mm256_cmp_pd(sum, bailout, _CMP_NGT_UQ), active);
    }
    static Mask AllActive() { return _mm256_castsi256_pd(_mm256_set1_epi64x(-1)); }
    static Mask NoneActive() { return _mm256_setzero_pd(); }
    static unsigned Bits(Mask m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static bool Any(Mask m) { return _mm256_movemask_pd(m) != 0; }
    static Count CountZero() { return _mm256_setzero_si256(); }
    // An active lane is -1 as an integer.
    static Count CountActive(Count c, Mask active)
    {
        return _mm256_sub_epi64(c, _mm256_castpd_si256(active));
    }
    static void StoreCounts(long long *p, Count c)
    {
        _mm256_store_si256(reinterpret_cast<__m256i *>(p), c);
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

void EscapeTilesAvx2(const EscapeJob &job, TileQueue &queue)
{
    EscapeTiles<Avx2Lanes>(job, queue);
}

} // namespace fast
