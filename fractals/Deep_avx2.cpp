// The delta loop on four-lane AVX2 registers, with fused multiply-adds (the deep pictures owe
// no byte-for-byte match to another form) and the orbit's points gathered lane by lane.

#include "fractals/DeepEngine.h"

#include <immintrin.h>

// Everything below, the shared loop included, is compiled for AVX2 and FMA; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx2,fma")

namespace {

struct Avx2Lanes
{
    using Vector = __m256d;
    using Index = __m256i;
    static constexpr int kLanes = 4;
    static constexpr int kSlots = 3;
    static constexpr int kGroupSlots = 3;

    static Vector Set(double v) { return _mm256_set1_pd(v); }
    static Vector Load(const double *p) { return _mm256_load_pd(p); }
    static void Store(double *p, Vector v) { _mm256_store_pd(p, v); }
    static Index LoadIndex(const int64_t *p)
    {
        return _mm256_load_si256(reinterpret_cast<const __m256i *>(p));
    }
    static Index Next(Index i) { return _mm256_add_epi64(i, _mm256_set1_epi64x(2)); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    static Vector MulAdd(Vector a, Vector b, Vector c) { return _mm256_fmadd_pd(a, b, c); }
    static Vector NegMulAdd(Vector a, Vector b, Vector c) { return _mm256_fnmadd_pd(a, b, c); }
    static unsigned Flags(Vector zz, Vector dd, Vector r2, Vector bailout)
    {
        return static_cast<unsigned>(_mm256_movemask_pd(_mm256_or_pd(
            _mm256_cmp_pd(zz, bailout, _CMP_GT_OQ), _mm256_cmp_pd(dd, r2, _CMP_LT_OQ))));
    }
    static void StoreIndex(int64_t *p, Index i)
    {
        _mm256_store_si256(reinterpret_cast<__m256i *>(p), i);
    }
    static Vector Less(Vector a, Vector b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static unsigned Bits(Vector m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static Vector Either(Vector a, Vector b) { return _mm256_or_pd(a, b); }
    static Vector Select(Vector m, Vector yes, Vector no) { return _mm256_blendv_pd(no, yes, m); }
    static Index ZeroWhere(Vector m, Index i)
    {
        return _mm256_andnot_si256(_mm256_castpd_si256(m), i);
    }
    // Each lane's point is one 16-byte load, transposed into the parts; cheaper than two
    // gathers.
    static void GatherPoints(const double *orbit, Index i, Vector &re, Vector &im)
    {
        alignas(32) int64_t at[4];
        _mm256_store_si256(reinterpret_cast<__m256i *>(at), i);
        const __m256d p02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(orbit + at[0])),
                                                 _mm_load_pd(orbit + at[2]), 1);
        const __m256d p13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(orbit + at[1])),
                                                 _mm_load_pd(orbit + at[3]), 1);
        re = _mm256_unpacklo_pd(p02, p13);
        im = _mm256_unpackhi_pd(p02, p13);
    }
    static Vector At(Index i, int64_t modulus, int64_t residue)
    {
        const __m256i at = _mm256_and_si256(i, _mm256_set1_epi64x(modulus - 1));
        return _mm256_castsi256_pd(_mm256_cmpeq_epi64(at, _mm256_set1_epi64x(residue)));
    }
    static Index Block(Index i, int shift)
    {
        return _mm256_srli_epi64(_mm256_sub_epi64(i, _mm256_set1_epi64x(2)), shift);
    }
    static Vector GatherWhere(Vector m, const double *base, Index i)
    {
        return _mm256_mask_i64gather_pd(_mm256_setzero_pd(), base, i, m, 8);
    }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesAvx2(Worker &worker)
{
    DeepTiles<Avx2Lanes>(worker);
}

} // namespace deep
