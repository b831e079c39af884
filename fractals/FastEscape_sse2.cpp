// The escape kernel on two-lane SSE2 registers, which every x86-64 processor has. SSE2 has no
// fused multiply-add, so each lane rounds exactly as the one-pixel form does.

#include "fractals/FastEscapeKernels.h"

#include <emmintrin.h>

namespace fast {

namespace {

constexpr int kLanes = 2;
constexpr int kGroups = 3; // registers in flight: hides the latency of the recurrence

void EscapeColumnsSse2(const EscapeJob &job, int column)
{
    const double *columns = job.columnValues + column;
    __m128d columnValue[kGroups];
    for (int g = 0; g < kGroups; ++g)
        columnValue[g] = _mm_loadu_pd(columns + g * kLanes);
    const __m128d bailout = _mm_set1_pd(job.bailout);
    const __m128d two = _mm_set1_pd(2.0);
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d allSet = _mm_castsi128_pd(_mm_set1_epi32(-1));
    int count = job.width - column;
    if (count > kLanes * kGroups)
        count = kLanes * kGroups;

    for (int row = 0; row < job.height; ++row) {
        const __m128d rowValue = _mm_set1_pd(job.rowValues[row]);
        __m128d x[kGroups], y[kGroups], cx[kGroups], cy[kGroups], xx[kGroups], yy[kGroups];
        __m128d n[kGroups], active[kGroups];
        for (int g = 0; g < kGroups; ++g) {
            if (job.julia) {
                x[g] = columnValue[g];
                y[g] = rowValue;
                cx[g] = _mm_set1_pd(job.cx);
                cy[g] = _mm_set1_pd(job.cy);
            } else {
                x[g] = y[g] = _mm_setzero_pd();
                cx[g] = columnValue[g];
                cy[g] = rowValue;
            }
            xx[g] = _mm_mul_pd(x[g], x[g]);
            yy[g] = _mm_mul_pd(y[g], y[g]);
            n[g] = _mm_set1_pd(kMaxIterations);
            active[g] = allSet;
        }
        __m128d iteration = _mm_setzero_pd();
        for (int i = 1; i < kMaxIterations; ++i) {
            iteration = _mm_add_pd(iteration, one);
            int anyActive = 0;
            for (int g = 0; g < kGroups; ++g) {
                const __m128d nx = _mm_add_pd(_mm_sub_pd(xx[g], yy[g]), cx[g]);
                const __m128d ny = _mm_add_pd(_mm_mul_pd(_mm_mul_pd(two, x[g]), y[g]), cy[g]);
                xx[g] = _mm_mul_pd(nx, nx);
                yy[g] = _mm_mul_pd(ny, ny);
                const __m128d escaped
                    = _mm_and_pd(_mm_cmpgt_pd(_mm_add_pd(xx[g], yy[g]), bailout), active[g]);
                n[g] = _mm_or_pd(_mm_and_pd(escaped, iteration), _mm_andnot_pd(escaped, n[g]));
                active[g] = _mm_andnot_pd(escaped, active[g]);
                anyActive |= _mm_movemask_pd(active[g]);
                x[g] = nx;
                y[g] = ny;
            }
            if (!anyActive)
                break;
        }
        alignas(16) double counts[kLanes * kGroups];
        for (int g = 0; g < kGroups; ++g)
            _mm_store_pd(counts + g * kLanes, n[g]);
        uint8_t *out = job.buffer + static_cast<long>(row) * job.width + column;
        for (int k = 0; k < count; ++k)
            out[k] = static_cast<uint8_t>(counts[k]);
    }
}

} // namespace

void EscapeStripeSse2(const EscapeJob &job, int column)
{
    for (int offset = 0; offset < kStripeWidth && column + offset < job.width;
         offset += kLanes * kGroups)
        EscapeColumnsSse2(job, column + offset);
}

} // namespace fast
