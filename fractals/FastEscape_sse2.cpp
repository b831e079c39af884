// The escape kernel on two-lane SSE2 registers, which every x86-64 processor has. SSE2 has no
// fused multiply-add, so each lane rounds exactly as the one-pixel form does.

#include <emmintrin.h>

namespace {

struct Sse2Lanes
{
    using Vector = __m128d;
    static constexpr int kLanes = 2;
    static constexpr int kGroups = 3;

    static Vector Set(double v) { return _mm_set1_pd(v); }
    static Vector AllSet() { return _mm_castsi128_pd(_mm_set1_epi32(-1)); }
    static Vector Load(const double *p) { return _mm_loadu_pd(p); }
    static void Store(double *p, Vector v) { _mm_store_pd(p, v); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    static Vector GreaterThan(Vector a, Vector b) { return _mm_cmpgt_pd(a, b); }
    static Vector And(Vector a, Vector b) { return _mm_and_pd(a, b); }
    static Vector AndNot(Vector a, Vector b) { return _mm_andnot_pd(a, b); } // ~a & b
    static Vector Select(Vector mask, Vector a, Vector b)
    {
        return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
    }
    static int AnySet(Vector mask) { return _mm_movemask_pd(mask); }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

void EscapeStripeSse2(const EscapeJob &job, int column)
{
    EscapeStripe<Sse2Lanes>(job, column);
}

} // namespace fast
