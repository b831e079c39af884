// The escape kernel on two-lane SSE2 registers, which every x86-64 processor has. SSE2 has no
// fused multiply-add, so each lane rounds exactly as the one-pixel form does.

#include <emmintrin.h>
#include <stdint.h>

namespace {

struct Sse2Lanes
{
    using Vector = __m128d;
    static constexpr int kLanes = 2;

    static Vector Set(double v) { return _mm_set1_pd(v); }
    static Vector Load(const double *p) { return _mm_loadu_pd(p); }
    static void Store(double *p, Vector v) { _mm_storeu_pd(p, v); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    // Greater, which is false for a sum that is not a number: such a lane never escapes.
    static unsigned Escaped(Vector sum, Vector bailout)
    {
        return static_cast<unsigned>(_mm_movemask_pd(_mm_cmpgt_pd(sum, bailout)));
    }
    // All ones in the lanes of `lanes`.
    static __m128d Mask(unsigned lanes)
    {
        return _mm_castsi128_pd(_mm_set_epi64x(-static_cast<long long>(lanes >> 1 & 1),
                                               -static_cast<long long>(lanes & 1)));
    }
    // The lanes of `lanes`, lowest first, take p[0], p[1], ...; the others keep `old`.
    static Vector Expand(Vector old, unsigned lanes, const double *p)
    {
        // Lane 1 takes p[1] only when lane 0 takes p[0].
        const Vector loaded = _mm_loadh_pd(_mm_load_sd(p), p + (lanes & 1));
        const Vector mask = Mask(lanes);
        return _mm_or_pd(_mm_and_pd(mask, loaded), _mm_andnot_pd(mask, old));
    }
    static Vector Zero(Vector old, unsigned lanes) { return _mm_andnot_pd(Mask(lanes), old); }
    // The lanes of `lanes`, lowest first, to out[0], out[1], ...; may write two entries.
    static void Compress(Vector v, unsigned lanes, double *out)
    {
        _mm_storel_pd(out, v);
        _mm_storeh_pd(out + (lanes & 1), v);
    }
    // Byte k of `bytes` into the low byte of lane k's bits.
    static Vector WithBytes(Vector v, uint64_t bytes)
    {
        const __m128i wide = _mm_set_epi64x(static_cast<long long>(bytes >> 8 & 0xFF),
                                            static_cast<long long>(bytes & 0xFF));
        return _mm_or_pd(v, _mm_castsi128_pd(wide));
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kSse2Kernels = KernelsOf<Sse2Lanes, SimdLevel::Sse2>();

} // namespace fast
