// The escape kernel on four-lane AVX2 registers. AVX2 and BMI1 are enabled here, not the fused
// multiply-add instructions, so no product and sum can be fused: each lane rounds exactly as
// the one-pixel form does.

#include "fractals/TileQueue.h"

#include <immintrin.h>

// Everything below, the shared kernel included, is compiled for AVX2 and BMI1; nothing from the
// standard library follows, so no function compiled here can serve callers elsewhere.
#pragma GCC target("avx2,bmi")

namespace {

// For each set of lanes, what moves a register's lanes to and from the front: the 32-bit
// halves each lane takes, and all ones in the lanes of the set.
struct LaneMoves
{
    alignas(32) int expand[16][8]; // lane j of the set takes element i, its rank in the set
    alignas(32) int compress[16][8]; // element i takes the set's i-th lane
    alignas(32) long long mask[16][4];
    constexpr LaneMoves() : expand(), compress(), mask()
    {
        for (int lanes = 0; lanes < 16; ++lanes) {
            int rank = 0;
            for (int j = 0; j < 4; ++j) {
                const bool in = lanes >> j & 1;
                const int from = in ? rank : j;
                expand[lanes][2 * j] = 2 * from;
                expand[lanes][2 * j + 1] = 2 * from + 1;
                mask[lanes][j] = in ? -1 : 0;
                if (in) {
                    compress[lanes][2 * rank] = 2 * j;
                    compress[lanes][2 * rank + 1] = 2 * j + 1;
                    ++rank;
                }
            }
            for (int i = rank; i < 4; ++i) {
                compress[lanes][2 * i] = 2 * i;
                compress[lanes][2 * i + 1] = 2 * i + 1;
            }
        }
    }
};

constexpr LaneMoves kLaneMoves {};

struct Avx2Lanes
{
    using Vector = __m256d;
    static constexpr int kLanes = 4;

    static Vector Set(double v) { return _mm256_set1_pd(v); }
    static Vector Load(const double *p) { return _mm256_loadu_pd(p); }
    static void Store(double *p, Vector v) { _mm256_storeu_pd(p, v); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    // Greater, which is false for a sum that is not a number: such a lane never escapes.
    static unsigned Escaped(Vector sum, Vector bailout)
    {
        return static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(sum, bailout, _CMP_GT_OQ)));
    }
    static __m256d Mask(unsigned lanes)
    {
        return _mm256_load_pd(reinterpret_cast<const double *>(kLaneMoves.mask[lanes]));
    }
    static Vector Permute(Vector v, const int *order)
    {
        const __m256i halves = _mm256_load_si256(reinterpret_cast<const __m256i *>(order));
        return _mm256_castps_pd(_mm256_permutevar8x32_ps(_mm256_castpd_ps(v), halves));
    }
    // The lanes of `lanes`, lowest first, take p[0], p[1], ...; the others keep `old`. Reads four
    // entries.
    static Vector Expand(Vector old, unsigned lanes, const double *p)
    {
        return _mm256_blendv_pd(old, Permute(_mm256_loadu_pd(p), kLaneMoves.expand[lanes]),
                                Mask(lanes));
    }
    static Vector Zero(Vector old, unsigned lanes) { return _mm256_andnot_pd(Mask(lanes), old); }
    // The lanes of `lanes`, lowest first, to out[0], out[1], ...; writes four entries.
    static void Compress(Vector v, unsigned lanes, double *out)
    {
        _mm256_storeu_pd(out, Permute(v, kLaneMoves.compress[lanes]));
    }
    // Byte k of `bytes` into the low byte of lane k's bits.
    static Vector WithBytes(Vector v, uint64_t bytes)
    {
        const __m256i wide = _mm256_cvtepu8_epi64(_mm_cvtsi64_si128(static_cast<long long>(bytes)));
        return _mm256_or_pd(v, _mm256_castsi256_pd(wide));
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kAvx2Kernels = KernelsOf<Avx2Lanes, SimdLevel::Avx2>();

} // namespace fast
