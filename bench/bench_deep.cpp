// The deep-zoom renderer. `BM_Deep_Loop` runs a picture whose deltas are too large for any
// linear approximation, so every iteration is one of the delta loop's, on each instruction set;
// `BM_Deep_Render` draws whole 1920 x 1080 pictures at three depths.
//
// Counters: `iter/s` the iterations the pixels' counts add up to, `loop_iter/s` those the delta
// loop ran (the rest a linear approximation skipped), `skipped` the share skipped, `busy` process
// CPU time over wall time (2 when both cores work to the end; less on a shared machine), and
// `loop_iter/cpu_s` the loop's iterations per second of CPU time.
//
// `cycles/reg_iter` is CPU time per iteration of one register of the level, in clock cycles of a
// core (the clock measured on a chain of dependent integer adds). The level's arithmetic bound
// is what the core needs for one iteration's floating-point operations on one register when
// nothing waits for anything, measured on that mix of independent instructions at the level's
// width (`bound_cycles`): with fused multiply-adds (AVX2, AVX-512) four sums, six fused and two
// plain products and three compares; without (scalar, SSE2, the scalar level at the 128-bit
// figure) ten sums, eight products and three compares. `bound_x` is cycles/reg_iter over it;
// the loads of each lane's orbit point and the scalar work between runs count against it.

#include "BenchCpu.h"
#include "fractals/DeepZoom.h"
#include "fractals/FastEscape.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace {

// One iteration's operations, eight times, each writing a register no other reads.
#define VELORINE_DEEP_FMA(R, C)                                                                    \
    "vxorpd %%xmm14, %%xmm14, %%xmm14\n\tvxorpd %%xmm15, %%xmm15, %%xmm15\n\t.rept 8\n\t"          \
    "vaddpd %%" R "15, %%" R "14, %%" R "0\n\tvaddpd %%" R "15, %%" R "14, %%" R "1\n\t"           \
    "vaddpd %%" R "15, %%" R "14, %%" R "2\n\tvaddpd %%" R "15, %%" R "14, %%" R "3\n\t"           \
    "vmovapd %%" R "14, %%" R "4\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "4\n\t"                \
    "vmovapd %%" R "14, %%" R "5\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "5\n\t"                \
    "vmovapd %%" R "14, %%" R "6\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "6\n\t"                \
    "vmovapd %%" R "14, %%" R "7\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "7\n\t"                \
    "vmovapd %%" R "14, %%" R "8\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "8\n\t"                \
    "vmovapd %%" R "14, %%" R "9\n\tvfmadd231pd %%" R "15, %%" R "14, %%" R "9\n\t"                \
    "vmulpd %%" R "15, %%" R "14, %%" R "10\n\tvmulpd %%" R "15, %%" R "14, %%" R "11\n\t"         \
    "vcmppd $14, %%" R "15, %%" R "14, " C "\n\tvcmppd $1, %%" R "15, %%" R "14, " C "\n\t"        \
    "vcmppd $1, %%" R "14, %%" R "15, " C "\n\t.endr"

#define VELORINE_DEEP_PLAIN(R, C)                                                                  \
    "vxorpd %%xmm14, %%xmm14, %%xmm14\n\tvxorpd %%xmm15, %%xmm15, %%xmm15\n\t.rept 8\n\t"          \
    "vaddpd %%" R "15, %%" R "14, %%" R "0\n\tvaddpd %%" R "15, %%" R "14, %%" R "1\n\t"           \
    "vaddpd %%" R "15, %%" R "14, %%" R "2\n\tvaddpd %%" R "15, %%" R "14, %%" R "3\n\t"           \
    "vaddpd %%" R "15, %%" R "14, %%" R "4\n\tvsubpd %%" R "15, %%" R "14, %%" R "5\n\t"           \
    "vaddpd %%" R "15, %%" R "14, %%" R "6\n\tvaddpd %%" R "15, %%" R "14, %%" R "7\n\t"           \
    "vaddpd %%" R "15, %%" R "14, %%" R "8\n\tvaddpd %%" R "15, %%" R "14, %%" R "9\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "0\n\tvmulpd %%" R "15, %%" R "14, %%" R "1\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "2\n\tvmulpd %%" R "15, %%" R "14, %%" R "3\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "4\n\tvmulpd %%" R "15, %%" R "14, %%" R "5\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "6\n\tvmulpd %%" R "15, %%" R "14, %%" R "7\n\t"           \
    "vcmppd $14, %%" R "15, %%" R "14, " C "\n\tvcmppd $1, %%" R "15, %%" R "14, " C "\n\t"        \
    "vcmppd $1, %%" R "14, %%" R "15, " C "\n\t.endr"

#define VELORINE_DEEP_CLOBBERS                                                                     \
    "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",       \
        "xmm11", "xmm12", "xmm14", "xmm15"

__attribute__((target("avx"))) void Plain128(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_DEEP_PLAIN("xmm", "%%xmm12")::: VELORINE_DEEP_CLOBBERS);
}

__attribute__((target("avx2,fma"))) void Fma256(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_DEEP_FMA("ymm", "%%ymm12")::: VELORINE_DEEP_CLOBBERS);
}

__attribute__((target("avx512f"))) void Fma512(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_DEEP_FMA("zmm", "%%k1")::: VELORINE_DEEP_CLOBBERS, "k1");
}

// Cycles for one iteration's operations at the level's width; 0 where the processor lacks it.
double BoundCycles(fast::SimdLevel level)
{
    static double bounds[] = {-1, -1, -1, -1};
    double &bound = bounds[static_cast<int>(level)];
    if (bound >= 0)
        return bound;
    bound = 0;
    void (*mix)(long) = nullptr;
    if (level == fast::SimdLevel::Avx512 && __builtin_cpu_supports("avx512f"))
        mix = Fma512;
    else if (level == fast::SimdLevel::Avx2 && __builtin_cpu_supports("fma"))
        mix = Fma256;
    else if (level <= fast::SimdLevel::Sse2 && __builtin_cpu_supports("avx"))
        mix = Plain128;
    if (!mix)
        return bound;
    constexpr long kLoops = 2'000'000;
    bound = MixCycles(mix, kLoops, 8.0 * kLoops);
    return bound;
}

struct Scene
{
    const char *re;
    const char *im;
    const char *width;
    int columns;
    int rows;
    uint32_t iterations;
};

void Time(benchmark::State &state, const Scene &scene, fast::SimdLevel level)
{
    if (!fast::SetSimdLevel(level)) {
        state.SkipWithError("this processor lacks the instruction set");
        return;
    }
    deep::Settings settings;
    settings.nIterations = scene.iterations;
    deep::Renderer renderer(scene.re, scene.im, scene.width, settings);
    std::vector<uint32_t> counts(static_cast<size_t>(scene.columns) * scene.rows);
    deep::Stats stats;
    double wall = 0;
    const double cpuStart = ProcessSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        renderer.Render(scene.width, scene.columns, scene.rows, counts.data(), nullptr, &stats);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(counts.data());
    }
    const double cpu = ProcessSeconds() - cpuStart;
    const double loop = double(stats.nIterations - stats.nSkipped);
    const auto rate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["iter/s"] = benchmark::Counter(double(stats.nIterations), rate);
    state.counters["loop_iter/s"] = benchmark::Counter(loop, rate);
    state.counters["skipped"] = double(stats.nSkipped) / double(stats.nIterations);
    state.counters["busy"] = wall > 0 ? cpu / wall : 0;
    const double runs = double(state.iterations());
    state.counters["loop_iter/cpu_s"] = cpu > 0 ? loop * runs / cpu : 0;
    const double cycles = cpu * ClockHz() / (loop * runs / fast::SimdLanes(level));
    state.counters["clock_GHz"] = ClockHz() * 1e-9;
    state.counters["cycles/reg_iter"] = cycles;
    const double bound = BoundCycles(level);
    if (bound > 0) {
        state.counters["bound_cycles"] = bound;
        state.counters["bound_x"] = cycles / bound;
    }
    state.SetLabel(CpuLabel(level));
    fast::SetSimdLevel(fast::SupportedSimdLevel());
}

// Deltas of 1e-5 never stay within a linear approximation's reach: all loop.
void BM_Deep_Loop(benchmark::State &state)
{
    Time(state,
         {"-0.743643887037158704752191506114774", "0.131825904205311970493132056385139", "1e-5",
          512, 512, 5000},
         static_cast<fast::SimdLevel>(state.range(0)));
}

const Scene kRenders[] = {
    {"-0.743643887037158704752191506114774", "0.131825904205311970493132056385139", "1e-28", 1920,
     1080, 50000},
    {"3e-300", "1", "1e-300", 1920, 1080, 10000},
    {"-2.0000000000000000000000000000001", "2e-1000", "1e-1000", 1920, 1080, 10000},
};

void BM_Deep_Render(benchmark::State &state)
{
    Time(state, kRenders[state.range(0)], fast::SupportedSimdLevel());
}

BENCHMARK(BM_Deep_Loop)
    ->Arg(static_cast<int>(fast::SimdLevel::Scalar))
    ->Arg(static_cast<int>(fast::SimdLevel::Sse2))
    ->Arg(static_cast<int>(fast::SimdLevel::Avx2))
    ->Arg(static_cast<int>(fast::SimdLevel::Avx512))
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Deep_Render)
    ->ArgName("scene")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
