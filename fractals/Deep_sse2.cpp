// The delta loop on two-lane SSE2 registers, the baseline of every 64-bit x86 processor.

#include "fractals/DeepEngine.h"

#include <immintrin.h>

namespace {

struct Sse2Lanes
{
    using Vector = __m128d;
    using Index = __m128i;
    static constexpr int kLanes = 2;
    static constexpr int kSlots = 4;
    static constexpr int kGroupSlots = 4;

    static Vector Set(double v) { return _mm_set1_pd(v); }
    static Vector Load(const double *p) { return _mm_load_pd(p); }
    static void Store(double *p, Vector v) { _mm_store_pd(p, v); }
    static Index LoadIndex(const int64_t *p)
    {
        return _mm_load_si128(reinterpret_cast<const __m128i *>(p));
    }
    static Index Next(Index i) { return _mm_add_epi64(i, _mm_set1_epi64x(2)); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    static Vector MulAdd(Vector a, Vector b, Vector c) { return _mm_add_pd(_mm_mul_pd(a, b), c); }
    static Vector NegMulAdd(Vector a, Vector b, Vector c)
    {
        return _mm_sub_pd(c, _mm_mul_pd(a, b));
    }
    static unsigned Flags(Vector zz, Vector dd, Vector r2, Vector bailout)
    {
        return static_cast<unsigned>(
            _mm_movemask_pd(_mm_or_pd(_mm_cmpgt_pd(zz, bailout), _mm_cmplt_pd(dd, r2))));
    }
    static void StoreIndex(int64_t *p, Index i)
    {
        _mm_store_si128(reinterpret_cast<__m128i *>(p), i);
    }
    static Vector Less(Vector a, Vector b) { return _mm_cmplt_pd(a, b); }
    static unsigned Bits(Vector m) { return static_cast<unsigned>(_mm_movemask_pd(m)); }
    static Vector Either(Vector a, Vector b) { return _mm_or_pd(a, b); }
    static Vector Select(Vector m, Vector yes, Vector no)
    {
        return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no));
    }
    static Index ZeroWhere(Vector m, Index i) { return _mm_andnot_si128(_mm_castpd_si128(m), i); }
    // Each lane's point is one 16-byte load; two of them transposed.
    static void GatherPoints(const double *orbit, Index i, Vector &re, Vector &im)
    {
        const __m128d p0 = _mm_load_pd(orbit + _mm_cvtsi128_si64(i));
        const __m128d p1 = _mm_load_pd(orbit + _mm_cvtsi128_si64(_mm_unpackhi_epi64(i, i)));
        re = _mm_unpacklo_pd(p0, p1);
        im = _mm_unpackhi_pd(p0, p1);
    }
    static Vector At(Index i, int64_t modulus, int64_t residue)
    {
        const long long low = _mm_cvtsi128_si64(i);
        const long long high = _mm_cvtsi128_si64(_mm_unpackhi_epi64(i, i));
        return _mm_castsi128_pd(_mm_set_epi64x(-int64_t((high & (modulus - 1)) == residue),
                                               -int64_t((low & (modulus - 1)) == residue)));
    }
    static Index Block(Index i, int shift)
    {
        return _mm_srli_epi64(_mm_sub_epi64(i, _mm_set1_epi64x(2)), shift);
    }
    static Vector GatherWhere(Vector m, const double *base, Index i)
    {
        const int bits = _mm_movemask_pd(m);
        const long long low = _mm_cvtsi128_si64(i);
        const long long high = _mm_cvtsi128_si64(_mm_unpackhi_epi64(i, i));
        return _mm_set_pd(bits & 2 ? base[high] : 0.0, bits & 1 ? base[low] : 0.0);
    }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesSse2(Worker &worker)
{
    DeepTiles<Sse2Lanes>(worker);
}

} // namespace deep
