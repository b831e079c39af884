#pragma once
// The deep picture the slow way: every pixel's own orbit on MPFR, no reference, no deltas, no
// approximation. The tests hold the renderer's counts against it.

#include <mpfr.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace oracle {

// Counts of a columns x rows picture, row 0 the lowest imaginary part, computed with `bits`
// bits, on every core.
inline std::vector<uint32_t> Counts(const std::string &re, const std::string &im,
                                    const std::string &width, int columns, int rows,
                                    uint32_t iterations, double bailout, long bits)
{
    std::vector<uint32_t> counts(static_cast<size_t>(columns) * rows);
    std::atomic<int64_t> next {0};
    auto work = [&] {
        mpfr_t cr0, ci0, d, cr, ci, zr, zi, zr2, zi2, t;
        for (mpfr_ptr x : {cr0, ci0, d, cr, ci, zr, zi, zr2, zi2, t})
            mpfr_init2(x, bits);
        mpfr_set_str(cr0, re.c_str(), 10, MPFR_RNDN);
        mpfr_set_str(ci0, im.c_str(), 10, MPFR_RNDN);
        mpfr_set_str(d, width.c_str(), 10, MPFR_RNDN);
        mpfr_div_si(d, d, columns - 1, MPFR_RNDN);
        for (int64_t p; (p = next.fetch_add(1)) < int64_t(counts.size());) {
            const long i = static_cast<long>(p % columns);
            const long j = static_cast<long>(p / columns);
            // c = centre + (2i - (columns - 1)) d / 2, likewise for the rows
            mpfr_mul_si(cr, d, 2 * i - (columns - 1), MPFR_RNDN);
            mpfr_div_2ui(cr, cr, 1, MPFR_RNDN);
            mpfr_add(cr, cr, cr0, MPFR_RNDN);
            mpfr_mul_si(ci, d, 2 * j - (rows - 1), MPFR_RNDN);
            mpfr_div_2ui(ci, ci, 1, MPFR_RNDN);
            mpfr_add(ci, ci, ci0, MPFR_RNDN);
            mpfr_set_ui(zr, 0, MPFR_RNDN);
            mpfr_set_ui(zi, 0, MPFR_RNDN);
            uint32_t n = 0;
            for (;;) {
                mpfr_sqr(zr2, zr, MPFR_RNDN);
                mpfr_sqr(zi2, zi, MPFR_RNDN);
                mpfr_mul(t, zr, zi, MPFR_RNDN);
                mpfr_mul_2ui(t, t, 1, MPFR_RNDN);
                mpfr_add(zi, t, ci, MPFR_RNDN);
                mpfr_sub(zr, zr2, zi2, MPFR_RNDN);
                mpfr_add(zr, zr, cr, MPFR_RNDN);
                ++n;
                if (n == iterations)
                    break;
                mpfr_sqr(zr2, zr, MPFR_RNDN);
                mpfr_sqr(zi2, zi, MPFR_RNDN);
                mpfr_add(t, zr2, zi2, MPFR_RNDN);
                if (mpfr_cmp_d(t, bailout) > 0)
                    break;
            }
            counts[static_cast<size_t>(p)] = n;
        }
        for (mpfr_ptr x : {cr0, ci0, d, cr, ci, zr, zi, zr2, zi2, t})
            mpfr_clear(x);
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned k = 1; k < cores; ++k)
        threads.emplace_back(work);
    work();
    for (std::thread &thread : threads)
        thread.join();
    return counts;
}

} // namespace oracle
