#include "fractals/FastEscape.h"

#include "fractals/FastEscapeKernels.h"
#include "fractals/Progress.h"

#include <algorithm>
#include <atomic>
#include <cpuid.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace fast {

bool NextTile(TileQueue &queue, Tile &tile)
{
    return queue.Next(tile);
}

void ReportFinished(TileQueue &queue, int64_t pixels)
{
    queue.Finished(pixels);
}

namespace {

// What a level needs of the processor. The wider kernels also use BMI1's and-not, which every
// such processor has.
bool Always()
{
    return true;
}

bool HasAvx2()
{
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
}

bool HasAvx512()
{
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("bmi");
}

// The levels, narrowest first, in SimdLevel's order; their tunings are kLevelTunings' rows.
struct Level
{
    SimdLevel level;
    const char *name;
    int lanes;
    bool (*runs)();
    const LevelKernels &kernels;
};

const Level kLevels[] = {
    {SimdLevel::Scalar, "scalar", 1, Always, kScalarKernels},
    {SimdLevel::Sse2, "sse2", 2, Always, kSse2Kernels},
    {SimdLevel::Avx2, "avx2", 4, HasAvx2, kAvx2Kernels},
    {SimdLevel::Avx512, "avx512", 8, HasAvx512, kAvx512Kernels},
};
static_assert(std::size(kLevels) == std::size(kLevelTunings), "a tuning row a level");

const Level &LevelOf(SimdLevel level)
{
    return kLevels[static_cast<int>(level)];
}

SimdLevel DetectSimdLevel()
{
    __builtin_cpu_init();
    SimdLevel widest = SimdLevel::Scalar;
    for (const Level &level : kLevels) {
        if (level.runs())
            widest = level.level;
    }
    return widest;
}

SimdLevel LevelFromEnvironment(SimdLevel supported)
{
    const char *value = std::getenv("VELORINE_SIMD");
    if (!value)
        return supported;
    for (const Level &level : kLevels) {
        if (std::string_view(value) == level.name && level.level <= supported)
            return level.level;
    }
    return supported;
}

std::atomic<int> &ChosenLevel()
{
    static std::atomic<int> level {static_cast<int>(LevelFromEnvironment(SupportedSimdLevel()))};
    return level;
}

std::atomic<int> &ChosenCore()
{
    static std::atomic<int> core = [] {
        const char *value = std::getenv("VELORINE_CORE");
        for (int kind = 0; value && kind < kCoreKinds; ++kind) {
            if (std::string_view(value) == CoreKindName(CoreKind(kind)))
                return kind;
        }
        return static_cast<int>(HostCore().kind);
    }();
    return core;
}

// Samples edge to edge: the first and last entries are exactly `from` and `to`. Padded past
// `count` with the last sample, so a kernel may compute whole registers beyond the edge.
std::vector<double> Samples(double from, double to, int count, int padded)
{
    const double step = (to - from) / (count - 1);
    std::vector<double> samples(static_cast<size_t>(padded));
    for (int i = 0; i < count; ++i)
        samples[static_cast<size_t>(i)] = from + i * step;
    std::fill(samples.begin() + count, samples.end(), samples[static_cast<size_t>(count - 1)]);
    return samples;
}

// Hands the kernel of the active level to every core; returns when all tiles are done.
void RunTiles(const EscapeJob &job, GeneratorProgress *pProgress)
{
    const EscapeKernel kernel
        = LevelOf(ActiveSimdLevel()).kernels.of[static_cast<int>(ActiveCoreKind())];
    TileQueue queue(job.width, job.height, kTileWidth, kTileHeight, pProgress);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned helpers = static_cast<unsigned>(std::min<int64_t>(cores, queue.Tiles())) - 1;
    std::vector<std::thread> threads;
    try {
        for (unsigned i = 0; i < helpers; ++i)
            threads.emplace_back(kernel, std::cref(job), std::ref(queue));
    } catch (const std::system_error &) {
        // Fewer threads only means this one takes more tiles.
    }
    kernel(job, queue);
    for (std::thread &thread : threads)
        thread.join();
}

void Render(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
            double yMax, bool julia, double cx, double cy, double bailout,
            GeneratorProgress *pProgress)
{
    if (width < 2 || height < 2)
        return;
    const int64_t pixels = int64_t(width) * height;
    if (pProgress)
        pProgress->Start(pixels);
    if (0 > bailout) {
        std::memset(buffer, 0, static_cast<size_t>(width) * static_cast<size_t>(height));
        if (pProgress)
            pProgress->Advance(pixels);
        return;
    }
    // Registers never reach past the tile they belong to.
    const int padded = (width + kTileWidth - 1) / kTileWidth * kTileWidth;
    const std::vector<double> columns = Samples(xMin, xMax, width, padded);
    const std::vector<double> rows = Samples(yMin, yMax, height, height);
    const EscapeJob job {buffer, width, height, columns.data(), rows.data(),
                         julia,  cx,    cy,     bailout};
    RunTiles(job, pProgress);
}

} // namespace

SimdLevel SupportedSimdLevel()
{
    static const SimdLevel level = DetectSimdLevel();
    return level;
}

SimdLevel ActiveSimdLevel()
{
    return static_cast<SimdLevel>(ChosenLevel().load(std::memory_order_relaxed));
}

bool SetSimdLevel(SimdLevel level)
{
    if (level > SupportedSimdLevel())
        return false;
    ChosenLevel().store(static_cast<int>(level), std::memory_order_relaxed);
    return true;
}

const char *SimdLevelName(SimdLevel level)
{
    const int index = static_cast<int>(level);
    return index >= 0 && index < int(std::size(kLevels)) ? kLevels[index].name : "unknown";
}

int SimdLanes(SimdLevel level)
{
    return LevelOf(level).lanes;
}

const CpuCore &HostCore()
{
    static const CpuCore core = [] {
        CpuCore found {};
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(0, &a, &b, &c, &d))
            return found;
        std::memcpy(found.vendor, &b, 4);
        std::memcpy(found.vendor + 4, &d, 4);
        std::memcpy(found.vendor + 8, &c, 4);
        if (!__get_cpuid(1, &a, &b, &c, &d))
            return found;
        // The extended fields count only past the base ones' last value.
        const unsigned baseFamily = (a >> 8) & 0xF;
        found.family
            = static_cast<int>(baseFamily == 0xF ? baseFamily + ((a >> 20) & 0xFF) : baseFamily);
        found.model = static_cast<int>(baseFamily == 0xF || baseFamily == 6
                                           ? ((a >> 4) & 0xF) | ((a >> 12) & 0xF0)
                                           : (a >> 4) & 0xF);
        if (std::string_view(found.vendor) == "AuthenticAMD") {
            if (found.family >= 0x1A)
                found.kind = CoreKind::Zen5;
            else if (found.family >= 0x17)
                found.kind = CoreKind::Zen;
        }
        return found;
    }();
    return core;
}

CoreKind ActiveCoreKind()
{
    return static_cast<CoreKind>(ChosenCore().load(std::memory_order_relaxed));
}

void SetCoreKind(CoreKind core)
{
    ChosenCore().store(static_cast<int>(core), std::memory_order_relaxed);
}

const char *CoreKindName(CoreKind core)
{
    switch (core) {
    case CoreKind::Zen:
        return "zen";
    case CoreKind::Zen5:
        return "zen5";
    case CoreKind::Other:
        break;
    }
    return "other";
}

void Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
                double yMax, double bailout, GeneratorProgress *pProgress)
{
    Render(buffer, width, height, xMin, xMax, yMin, yMax, false, 0.0, 0.0, bailout, pProgress);
}

void Julia(uint8_t *buffer, int width, int height, const double &cx, const double &cy, double xMin,
           double xMax, double yMin, double yMax, GeneratorProgress *pProgress)
{
    const double constantX = cx;
    const double constantY = cy;
    Render(buffer, width, height, xMin, xMax, yMin, yMax, true, constantX, constantY, 100.0,
           pProgress);
}

} // namespace fast
