// The escape-time generators beyond the window: the default Mandelbrot and Julia pictures at
// 4096 x 4096, the fast form on each instruction set against the reference form, and pictures
// one tile wide or high, where the work must still be shared by every core.
//
// Counters: `iter/s` counts the iterations each pixel needs (its byte: a pixel of n ran n
// iterations of the recurrence), `lane_iter/s` the iterations the registers really ran, lanes
// already done included (each register of the level runs as long as its slowest lane), and
// `busy` is process CPU time over wall time: 2 when both cores work to the end. The same counts
// per second of CPU time (`iter/cpu_s`, `lane_iter/cpu_s`) hold on a machine shared with other
// work: twice them is what two otherwise idle cores do.
//
// `cycles/reg_iter` is CPU time per register-iteration (one iteration of one register of the
// level, lanes already done included) in clock cycles of a core, the clock measured here on a
// chain of dependent integer adds (one a cycle). The level's arithmetic bound is what the core
// needs for one iteration's nine floating-point operations on one register (four products, four
// sums or differences, one compare: x doubled by a product) when nothing waits for anything:
// measured here on that mix of independent instructions at the level's register width
// (`bound_cycles`; the scalar level uses the 128-bit figure, one lane). `reg_bound_x` is
// cycles/reg_iter over it; `bound_x` the same for the iterations the picture needs, so the lanes a
// register runs after they are done and the cost of moving on to new pixels count against it.

#include "BenchCpu.h"
#include "fractals/FastEscape.h"
#include "fractals/FastEscapeKernels.h"
#include "fractals/Reference.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kSide = 4096;
const double kJuliaCX = static_cast<double>(-0.22375f);
const double kJuliaCY = static_cast<double>(0.76508f);

struct Picture
{
    int width;
    int height;
    bool julia;
    bool inside = false; // Mandelbrot: a window inside the main cardioid, every pixel 255
};

void Draw(const Picture &p, uint8_t *buffer)
{
    if (p.julia)
        fast::Julia(buffer, p.width, p.height, kJuliaCX, kJuliaCY, -1.5, 1.5, -1.5, 1.5);
    else if (p.inside)
        fast::Mandelbrot(buffer, p.width, p.height, -0.5, -0.1, -0.2, 0.2, 100.0);
    else
        fast::Mandelbrot(buffer, p.width, p.height, -2.25, 0.75, -1.5, 1.5, 100.0);
}

// The iterations the picture needs, and those its registers ran: a register holds `lanes`
// neighbouring pixels of a row, starting at a multiple of `lanes` inside its tile, and stops
// after its slowest lane; the 255th iteration is never run.
void CountIterations(const std::vector<uint8_t> &bytes, const Picture &p, int lanes, double &needed,
                     double &ran)
{
    needed = 0;
    ran = 0;
    for (int row = 0; row < p.height; ++row) {
        const uint8_t *line = bytes.data() + static_cast<size_t>(row) * p.width;
        for (int column = 0; column < p.width; column += lanes) {
            const int end = std::min(p.width, column + lanes);
            int slowest = 0;
            for (int i = column; i < end; ++i) {
                needed += line[i];
                slowest = std::max(slowest, std::min<int>(line[i], fast::kMaxIterations - 1));
            }
            ran += double(slowest) * lanes;
        }
    }
}

// Nine floating-point operations of an iteration, sixteen times, each writing a register no
// other reads: only the ports that take them set the pace. Three-operand forms, so no result
// waits for the one before it; the operands are zeros, never subnormal.
#define VELORINE_MIX(R, COMPARED)                                                                  \
    "vxorpd %%xmm14, %%xmm14, %%xmm14\n\tvxorpd %%xmm15, %%xmm15, %%xmm15\n\t.rept 16\n\t"         \
    "vmulpd %%" R "15, %%" R "14, %%" R "0\n\tvaddpd %%" R "15, %%" R "14, %%" R "1\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "2\n\tvsubpd %%" R "15, %%" R "14, %%" R "3\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "4\n\tvaddpd %%" R "15, %%" R "14, %%" R "5\n\t"           \
    "vmulpd %%" R "15, %%" R "14, %%" R "6\n\tvaddpd %%" R "15, %%" R "14, %%" R "7\n\t"           \
    "vcmppd $14, %%" R "15, %%" R "14, " COMPARED "\n\t.endr"

#define VELORINE_MIX_CLOBBERS                                                                      \
    "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm14", "xmm15"

__attribute__((target("avx"))) void Mix128(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_MIX("xmm", "%%xmm8")::: VELORINE_MIX_CLOBBERS);
}

__attribute__((target("avx"))) void Mix256(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_MIX("ymm", "%%ymm8")::: VELORINE_MIX_CLOBBERS);
}

__attribute__((target("avx512f"))) void Mix512(long loops)
{
    for (long i = 0; i < loops; ++i)
        asm volatile(VELORINE_MIX("zmm", "%%k1")::: VELORINE_MIX_CLOBBERS, "k1");
}

// Cycles for one group of the nine at the level's width; 0 where the processor lacks it.
double MeasureBoundCycles(fast::SimdLevel level)
{
    constexpr long kLoops = 2'000'000;
    const bool wide = level == fast::SimdLevel::Avx512;
    if (wide ? !__builtin_cpu_supports("avx512f") : !__builtin_cpu_supports("avx"))
        return 0;
    void (*mix)(long) = wide ? Mix512 : level == fast::SimdLevel::Avx2 ? Mix256 : Mix128;
    return MixCycles(mix, kLoops, 16.0 * kLoops);
}

// Measured once a level, like the clock: every benchmark of a level divides by the same bound.
double BoundCycles(fast::SimdLevel level)
{
    static double bounds[] = {-1, -1, -1, -1};
    double &bound = bounds[static_cast<int>(level)];
    if (bound < 0)
        bound = MeasureBoundCycles(level);
    return bound;
}

// state.range(0) is the instruction set; the label names it.
void TimeFast(benchmark::State &state, const Picture &p)
{
    const auto level = static_cast<fast::SimdLevel>(state.range(0));
    if (!fast::SetSimdLevel(level)) {
        state.SkipWithError("this processor lacks the instruction set");
        return;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(p.width) * p.height);
    double wall = 0;
    const double cpuStart = ProcessSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Draw(p, buffer.data());
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    const double cpu = ProcessSeconds() - cpuStart;
    double needed = 0;
    double ran = 0;
    CountIterations(buffer, p, fast::SimdLanes(level), needed, ran);
    const auto rate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["iter/s"] = benchmark::Counter(needed, rate);
    state.counters["lane_iter/s"] = benchmark::Counter(ran, rate);
    state.counters["busy"] = wall > 0 ? cpu / wall : 0;
    // What a core does while it runs, whatever else shares the machine.
    const double iterations = double(state.iterations());
    state.counters["iter/cpu_s"] = cpu > 0 ? needed * iterations / cpu : 0;
    state.counters["lane_iter/cpu_s"] = cpu > 0 ? ran * iterations / cpu : 0;
    const double registerIterations = ran * iterations / fast::SimdLanes(level);
    const double cycles = registerIterations > 0 ? cpu * ClockHz() / registerIterations : 0;
    state.counters["clock_GHz"] = ClockHz() * 1e-9;
    state.counters["cycles/reg_iter"] = cycles;
    const double bound = BoundCycles(level);
    if (bound > 0) {
        const double neededCycles
            = cpu * ClockHz() / (needed * iterations / fast::SimdLanes(level));
        state.counters["bound_cycles"] = bound;
        state.counters["reg_bound_x"] = cycles / bound;
        state.counters["bound_x"] = neededCycles / bound;
    }
    state.SetLabel(CpuLabel(level));
    fast::SetSimdLevel(fast::SupportedSimdLevel());
}

void BM_Size_Mandelbrot_Fast(benchmark::State &state)
{
    TimeFast(state, {kSide, kSide, false});
}

void BM_Size_Julia_Fast(benchmark::State &state)
{
    TimeFast(state, {kSide, kSide, true});
}

// Nothing but the recurrence: every register runs all 254 iterations, so this is the kernel's
// own speed, without the cost of moving on to new pixels.
void BM_Size_Inside_Fast(benchmark::State &state)
{
    TimeFast(state, {1024, 1024, false, true});
}

// One tile wide and one tile high: before tiles, the narrow one ran on one core.
void BM_Size_Narrow_Fast(benchmark::State &state)
{
    TimeFast(state, {fast::kTileWidth, 32768, false});
}

void BM_Size_Flat_Fast(benchmark::State &state)
{
    TimeFast(state, {32768, fast::kTileHeight, false});
}

void Milliseconds(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

void Levels(benchmark::internal::Benchmark *b)
{
    for (fast::SimdLevel level : {fast::SimdLevel::Scalar, fast::SimdLevel::Sse2,
                                  fast::SimdLevel::Avx2, fast::SimdLevel::Avx512})
        b->Arg(static_cast<int>(level));
    Milliseconds(b);
}

BENCHMARK(BM_Size_Mandelbrot_Fast)->Apply(Levels);
BENCHMARK(BM_Size_Julia_Fast)->Apply(Levels);
BENCHMARK(BM_Size_Inside_Fast)->Apply(Levels);
BENCHMARK(BM_Size_Narrow_Fast)->Apply(Levels);
BENCHMARK(BM_Size_Flat_Fast)->Apply(Levels);

// Two cores against one, on the widest level: `scaling` is the picture's wall time on one core
// (the process pinned to it, the helper threads too) over its time on two, `machine` the same
// for the arithmetic mix alone, one copy a core, where no work is shared out. A picture that
// scales worse than the mix loses to its split of work (tiles, their order, the last tile);
// one that scales like it, to the machine (a core shared with another thread, the clock).
bool PinTo(int cores)
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return false;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < cores; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &chosen);
            ++taken;
        }
    }
    return CPU_COUNT(&chosen) == cores && sched_setaffinity(0, sizeof chosen, &chosen) == 0;
}

double WallSeconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds for the mix of the active level's width on each of `cores` threads at once, one a
// core: two cores that share their vector units keep pace on narrow registers only.
double MixSeconds(int cores)
{
    constexpr long kLoops = 4'000'000;
    const fast::SimdLevel level = fast::ActiveSimdLevel();
    void (*mix)(long) = !__builtin_cpu_supports("avx") ? nullptr
        : level == fast::SimdLevel::Avx512             ? Mix512
        : level == fast::SimdLevel::Avx2               ? Mix256
                                                       : Mix128;
    if (!mix)
        return 0;
    return WallSeconds([&] {
        std::vector<std::thread> threads;
        for (int i = 0; i < cores; ++i)
            threads.emplace_back([=] {
                cpu_set_t one;
                CPU_ZERO(&one);
                int seen = 0;
                cpu_set_t allowed;
                sched_getaffinity(0, sizeof allowed, &allowed);
                for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
                    if (CPU_ISSET(cpu, &allowed) && seen++ == i)
                        CPU_SET(cpu, &one);
                }
                sched_setaffinity(0, sizeof one, &one);
                mix(kLoops);
            });
        for (std::thread &thread : threads)
            thread.join();
    });
}

void TimeScaling(benchmark::State &state, const Picture &p)
{
    cpu_set_t original;
    if (sched_getaffinity(0, sizeof original, &original) != 0 || CPU_COUNT(&original) < 2) {
        state.SkipWithError("fewer than two cores");
        return;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(p.width) * p.height);
    double one = 0;
    double two = 0;
    double mixOne = 0;
    double mixTwo = 0;
    for (auto _ : state) {
        // Turn about, so that a change of load falls on both alike.
        PinTo(1);
        one += WallSeconds([&] { Draw(p, buffer.data()); });
        sched_setaffinity(0, sizeof original, &original);
        two += WallSeconds([&] { Draw(p, buffer.data()); });
        mixOne += MixSeconds(1);
        mixTwo += MixSeconds(2);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    sched_setaffinity(0, sizeof original, &original);
    const double n = double(state.iterations());
    state.counters["one_core_ms"] = one / n * 1e3;
    state.counters["two_core_ms"] = two / n * 1e3;
    state.counters["scaling"] = two > 0 ? one / two : 0;
    // Both threads do a whole mix each: two cores that keep pace do twice the work in the time.
    state.counters["machine"] = mixTwo > 0 ? 2 * mixOne / mixTwo : 0;
    state.SetLabel(CpuLabel(fast::ActiveSimdLevel()));
}

void BM_Size_Scaling_Inside(benchmark::State &state)
{
    TimeScaling(state, {1024, 1024, false, true});
}

void BM_Size_Scaling_Mandelbrot(benchmark::State &state)
{
    TimeScaling(state, {kSide, kSide, false});
}

void BM_Size_Scaling_Julia(benchmark::State &state)
{
    TimeScaling(state, {kSide, kSide, true});
}

BENCHMARK(BM_Size_Scaling_Inside)->Apply(Milliseconds);
BENCHMARK(BM_Size_Scaling_Mandelbrot)->Apply(Milliseconds);
BENCHMARK(BM_Size_Scaling_Julia)->Apply(Milliseconds);

// The one-pixel-at-a-time form on one core, for the speed-up.
void TimeReference(benchmark::State &state, const Picture &p)
{
    std::vector<uint8_t> buffer(static_cast<size_t>(p.width) * p.height);
    for (auto _ : state) {
        if (p.julia)
            reference::Julia(buffer.data(), p.width, p.height, kJuliaCX, kJuliaCY, -1.5, 1.5, -1.5,
                             1.5);
        else
            reference::Mandelbrot(buffer.data(), p.width, p.height, -2.25, 0.75, -1.5, 1.5, 100.0);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}

void BM_Size_Mandelbrot_Reference(benchmark::State &state)
{
    TimeReference(state, {kSide, kSide, false});
}

void BM_Size_Julia_Reference(benchmark::State &state)
{
    TimeReference(state, {kSide, kSide, true});
}

BENCHMARK(BM_Size_Mandelbrot_Reference)->Apply(Milliseconds);
BENCHMARK(BM_Size_Julia_Reference)->Apply(Milliseconds);

} // namespace
