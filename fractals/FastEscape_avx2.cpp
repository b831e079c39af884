// The escape kernel on four-lane AVX2 registers. The fused multiply-add instructions are not
// enabled here, so no product and sum can be fused: each lane rounds as the one-pixel form does.

#include "fractals/FastEscapeKernels.h"

#include <immintrin.h>

namespace fast {

namespace {

constexpr int kLanes = 4;
constexpr int kGroups = 2; // registers in flight: hides the latency of the recurrence

__attribute__((target("avx2"))) void EscapeColumnsAvx2(const EscapeJob &job, int column)
{
    const double *columns = job.columnValues + column;
    __m256d columnValue[kGroups];
    for (int g = 0; g < kGroups; ++g)
        columnValue[g] = _mm256_loadu_pd(columns + g * kLanes);
    const __m256d bailout = _mm256_set1_pd(job.bailout);
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d allSet = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    int count = job.width - column;
    if (count > kLanes * kGroups)
        count = kLanes * kGroups;

    for (int row = 0; row < job.height; ++row) {
        const __m256d rowValue = _mm256_set1_pd(job.rowValues[row]);
        __m256d x[kGroups], y[kGroups], cx[kGroups], cy[kGroups], xx[kGroups], yy[kGroups];
        __m256d n[kGroups], active[kGroups];
        for (int g = 0; g < kGroups; ++g) {
            if (job.julia) {
                x[g] = columnValue[g];
                y[g] = rowValue;
                cx[g] = _mm256_set1_pd(job.cx);
                cy[g] = _mm256_set1_pd(job.cy);
            } else {
                x[g] = y[g] = _mm256_setzero_pd();
                cx[g] = columnValue[g];
                cy[g] = rowValue;
            }
            xx[g] = _mm256_mul_pd(x[g], x[g]);
            yy[g] = _mm256_mul_pd(y[g], y[g]);
            n[g] = _mm256_set1_pd(kMaxIterations);
            active[g] = allSet;
        }
        __m256d iteration = _mm256_setzero_pd();
        for (int i = 1; i < kMaxIterations; ++i) {
            iteration = _mm256_add_pd(iteration, one);
            int anyActive = 0;
            for (int g = 0; g < kGroups; ++g) {
                const __m256d nx = _mm256_add_pd(_mm256_sub_pd(xx[g], yy[g]), cx[g]);
                const __m256d ny
                    = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(two, x[g]), y[g]), cy[g]);
                xx[g] = _mm256_mul_pd(nx, nx);
                yy[g] = _mm256_mul_pd(ny, ny);
                const __m256d escaped = _mm256_and_pd(
                    _mm256_cmp_pd(_mm256_add_pd(xx[g], yy[g]), bailout, _CMP_GT_OQ), active[g]);
                n[g] = _mm256_blendv_pd(n[g], iteration, escaped);
                active[g] = _mm256_andnot_pd(escaped, active[g]);
                anyActive |= _mm256_movemask_pd(active[g]);
                x[g] = nx;
                y[g] = ny;
            }
            if (!anyActive)
                break;
        }
        alignas(32) double counts[kLanes * kGroups];
        for (int g = 0; g < kGroups; ++g)
            _mm256_store_pd(counts + g * kLanes, n[g]);
        uint8_t *out = job.buffer + static_cast<long>(row) * job.width + column;
        for (int k = 0; k < count; ++k)
            out[k] = static_cast<uint8_t>(counts[k]);
    }
}

} // namespace

__attribute__((target("avx2"))) void EscapeStripeAvx2(const EscapeJob &job, int column)
{
    for (int offset = 0; offset < kStripeWidth && column + offset < job.width;
         offset += kLanes * kGroups)
        EscapeColumnsAvx2(job, column + offset);
}

} // namespace fast
