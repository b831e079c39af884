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
    static constexpr int kLanes = 4;
    static constexpr int kGroups = 2;

    static Vector Set(double v) { return _mm256_set1_pd(v); }
    static Vector AllSet() { return _mm256_castsi256_pd(_mm256_set1_epi64x(-1)); }
    static Vector Load(const double *p) { return _mm256_loadu_pd(p); }
    static void Store(double *p, Vector v) { _mm256_store_pd(p, v); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    static Vector GreaterThan(Vector a, Vector b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static Vector And(Vector a, Vector b) { return _mm256_and_pd(a, b); }
    static Vector AndNot(Vector a, Vector b) { return _mm256_andnot_pd(a, b); } // ~a & b
    static Vector Select(Vector mask, Vector a, Vector b) { return _mm256_blendv_pd(b, a, mask); }
    static int AnySet(Vector mask) { return _mm256_movemask_pd(mask); }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

void EscapeStripeAvx2(const EscapeJob &job, int column)
{
    EscapeStripe<Avx2Lanes>(job, column);
}

} // namespace fast
