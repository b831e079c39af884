// The escape kernel on eight-lane AVX-512 registers. Every product and sum carries an explicit
// round-to-nearest, which the compiler can never fuse into a multiply-add, so the lanes round
// exactly as the one-pixel form does.

#include "fractals/TileQueue.h"

#include <immintrin.h>

// Everything below, the shared kernel included, is compiled for AVX-512 and BMI1; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx512f,bmi")
// The rounding intrinsics start from _mm512_undefined_pd, which this compiler reports as
// uninitialised wherever they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

namespace {

struct Avx512Lanes
{
    static constexpr int kRound = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
    using Vector = __m512d;
    static constexpr int kLanes = 8;

    static Vector Set(double v) { return _mm512_set1_pd(v); }
    static Vector Load(const double *p) { return _mm512_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_round_pd(a, b, kRound); }
    static Vector Sub(Vector a, Vector b) { return _mm512_sub_round_pd(a, b, kRound); }
    static Vector Mul(Vector a, Vector b) { return _mm512_mul_round_pd(a, b, kRound); }
    // The lanes that have not escaped: not greater, which is true for a sum that is not a
    // number, so such a lane never escapes.
    static uint64_t Stays(Vector sum, Vector bailout)
    {
        return _mm512_cmp_pd_mask(sum, bailout, _CMP_NGT_UQ);
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kAvx512Kernels = KernelsOf<Avx512Lanes, SimdLevel::Avx512>();

} // namespace fast
