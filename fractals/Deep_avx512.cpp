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
    // A group keeps no index or gathered point, so more of them fit the 32 registers.
    static constexpr int kGroupSlots = 5;

    static Vector Set(double v) { return _mm512_set1_pd(v); }
    static Vector Load(const double *p) { return _mm512_load_pd(p); }
    static void Store(double *p, Vector v) { _mm512_store_pd(p, v); }
    static Index LoadIndex(const int64_t *p) { return _mm512_load_si512(p); }
    static Index Next(Index i) { return _mm512_add_epi64(i, _mm512_set1_epi64(2)); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm512_sub_pd(a, b); }
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
    static __mmask8 Either(__mmask8 a, __mmask8 b) { return static_cast<__mmask8>(a | b); }
    static Vector Select(__mmask8 m, Vector yes, Vector no)
    {
        return _mm512_mask_blend_pd(m, no, yes);
    }
    static Index ZeroWhere(__mmask8 m, Index i)
    {
        return _mm512_maskz_mov_epi64(static_cast<__mmask8>(~m), i);
    }
    // Each lane's point is one 16-byte load, transposed into the parts; cheaper than two
    // gathers.
    static void GatherPoints(const double *orbit, Index i, Vector &re, Vector &im)
    {
        alignas(64) int64_t at[8];
        _mm512_store_si512(at, i);
        auto pair = [&](int a, int b) {
            return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(orbit + at[a])),
                                        _mm_load_pd(orbit + at[b]), 1);
        };
        const __m512d even = _mm512_insertf64x4(_mm512_castpd256_pd512(pair(0, 2)), pair(4, 6), 1);
        const __m512d odd = _mm512_insertf64x4(_mm512_castpd256_pd512(pair(1, 3)), pair(5, 7), 1);
        re = _mm512_unpacklo_pd(even, odd);
        im = _mm512_unpackhi_pd(even, odd);
    }
    static __mmask8 At(Index i, int64_t modulus, int64_t residue)
    {
        const __m512i at = _mm512_and_si512(i, _mm512_set1_epi64(modulus - 1));
        return _mm512_cmpeq_epi64_mask(at, _mm512_set1_epi64(residue));
    }
    static Index Block(Index i, int shift)
    {
        return _mm512_srli_epi64(_mm512_sub_epi64(i, _mm512_set1_epi64(2)),
                                 static_cast<unsigned>(shift));
    }
    static Vector GatherWhere(__mmask8 m, const double *base, Index i)
    {
        return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), m, i, base, 8);
    }
};

// The same, but each lane's point comes by two gathers. On Intel's cores the inserts and unpacks
// of the transposed loads all queue for the one port that shuffles 512-bit registers, a port the
// arithmetic needs too; where gathers are fast, two of them cost less.
struct Avx512GatherLanes : Avx512Lanes
{
    static void GatherPoints(const double *orbit, Index i, Vector &re, Vector &im)
    {
        re = _mm512_i64gather_pd(i, orbit, 8);
        im = _mm512_i64gather_pd(i, orbit + 1, 8);
    }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesAvx512(Worker &worker)
{
    DeepTiles<Avx512Lanes>(worker);
}

void DeepTilesAvx512Gathered(Worker &worker)
{
    DeepTiles<Avx512GatherLanes>(worker);
}

} // namespace deep
