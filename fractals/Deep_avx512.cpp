// The delta loop on eight-lane AVX-512 registers, with fused multiply-adds and the orbit's
// points gathered lane by lane.

#include "fractals/DeepEngine.h"

#include <immintrin.h>

// Everything below, the shared loop included, is compiled for AVX-512; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx512f")
// The gather and compare intrinsics start from undefined registers, which this compiler
// reports as uninitialised wherever they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

namespace {

struct Avx512Lanes
{
    using Vector = __m512d;
    using Index = __m512i;
    static constexpr int kLanes = 8;
    static constexpr int kSlots = 3;

    static Vector Set(double v) { return _mm512_set1_pd(v); }
    static Vector Load(const double *p) { return _mm512_load_pd(p); }
    static void Store(double *p, Vector v) { _mm512_store_pd(p, v); }
    static Index LoadIndex(const int64_t *p) { return _mm512_load_si512(p); }
    static Index Next(Index i) { return _mm512_add_epi64(i, _mm512_set1_epi64(4)); }
    static Vector Gather(const double *base, Index i) { return _mm512_i64gather_pd(i, base, 8); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm512_mul_pd(a, b); }
    static Vector MulAdd(Vector a, Vector b, Vector c) { return _mm512_fmadd_pd(a, b, c); }
    static Vector NegMulAdd(Vector a, Vector b, Vector c) { return _mm512_fnmadd_pd(a, b, c); }
    static unsigned Flags(Vector zz, Vector dd, Vector r2, Vector bailout)
    {
        return _mm512_cmp_pd_mask(zz, bailout, _CMP_GT_OQ) | _mm512_cmp_pd_mask(dd, r2, _CMP_LT_OQ);
    }
    static void StoreIndex(int64_t *p, Index i) { _mm512_store_si512(p, i); }
    static __mmask8 Less(Vector a, Vector b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static unsigned Bits(__mmask8 m) { return m; }
    static Vector Select(__mmask8 m, Vector yes, Vector no)
    {
        return _mm512_mask_blend_pd(m, no, yes);
    }
    static Index ZeroWhere(__mmask8 m, Index i)
    {
        return _mm512_maskz_mov_epi64(static_cast<__mmask8>(~m), i);
    }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesAvx512(Worker &worker)
{
    DeepTiles<Avx512Lanes>(worker);
}

} // namespace deep
