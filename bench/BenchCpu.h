#pragma once
// What the benchmarks measure the processor with: its name beside each level's figures, its
// clock, CPU time, and the best time of a mix of instructions.

#include "fractals/FastEscape.h"

#include <algorithm>
#include <ctime>
#include <string>

// The processor and the tuning beside each level's figures: "avx2 AuthenticAMD 25/1 zen".
inline std::string CpuLabel(fast::SimdLevel level)
{
    const fast::CpuCore &core = fast::HostCore();
    return std::string(fast::SimdLevelName(level)) + " " + core.vendor + " "
        + std::to_string(core.family) + "/" + std::to_string(core.model) + " "
        + fast::CoreKindName(fast::ActiveCoreKind());
}

inline double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

inline double ProcessSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Cycles a second of this thread's CPU time, from a chain of dependent register adds (one a
// cycle; a chain of adds of a constant is no measure, as some cores fold those when renaming).
inline double ClockHz()
{
    static const double hz = [] {
        constexpr long kAdds = 200'000'000;
        long value = 0;
        const long one = 1;
        const double start = ThreadSeconds();
        for (long i = 0; i < kAdds; i += 8)
            asm volatile("add %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\t"
                         "add %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0"
                         : "+r"(value)
                         : "r"(one));
        return double(kAdds) / (ThreadSeconds() - start);
    }();
    return hz;
}

// Cycles for one of the `groups` groups of instructions mix(loops) runs, the best of three.
inline double MixCycles(void (*mix)(long), long loops, double groups)
{
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        const double start = ThreadSeconds();
        mix(loops);
        const double cycles = (ThreadSeconds() - start) * ClockHz() / groups;
        best = round == 0 ? cycles : std::min(best, cycles);
    }
    return best;
}
