// The escape kernel on four-lane AVX2 registers. AVX2 and BMI1 are enabled here, not the fused
// multiply-add instructions, so no product and sum can be fused: each lane rounds exactly as
// the one-pixel form does.

#include "fractals/TileQueue.h"

#include <immintrin.h>

// Everything below, the shared kernel included, is compiled for AVX2 and BMI1; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx2,bmi")

namespace {

struct Avx2Lanes
{
    using Vector = __m256d;
    static constexpr int kLanes = 4;

    static Vector Set(double v) { return _mm256_set1_pd(v); }
    static Vector Load(const double *p) { return _mm256_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    // The lanes that have not escaped: not greater, which is true for a sum that is not a
    // number, so such a lane never escapes.
    static uint64_t Stays(Vector sum, Vector bailout)
    {
        return static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(sum, bailout, _CMP_NGT_UQ)));
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kAvx2Kernels = KernelsOf<Avx2Lanes, SimdLevel::Avx2>();

} // namespace fast
