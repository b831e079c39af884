// The escape kernel on two-lane SSE2 registers, which every x86-64 processor has. SSE2 has no
// fused multiply-add, so each lane rounds exactly as the one-pixel form does.

#include <cstdint>
#include <emmintrin.h>

namespace {

struct Sse2Lanes
{
    using Vector = __m128d;
    static constexpr int kLanes = 2;

    static Vector Set(double v) { return _mm_set1_pd(v); }
    static Vector Load(const double *p) { return _mm_loadu_pd(p); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    // The lanes that have not escaped: not greater, which is true for a sum that is not a
    // number, so such a lane never escapes. The kernel keeps what is set, with no negation to
    // do, which without BMI1's and-not would cost an instruction.
    static uint64_t Stays(Vector sum, Vector bailout)
    {
        return static_cast<unsigned>(_mm_movemask_pd(_mm_cmpngt_pd(sum, bailout)));
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kSse2Kernels = KernelsOf<Sse2Lanes, SimdLevel::Sse2>();

} // namespace fast
