#include "fractals/FastEscape.h"

#include "fractals/FastEscapeKernels.h"
#include "fractals/Progress.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace fast {

namespace {

SimdLevel DetectSimdLevel()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return SimdLevel::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return SimdLevel::Avx2;
    return SimdLevel::Sse2;
}

SimdLevel LevelFromEnvironment(SimdLevel supported)
{
    const char *value = std::getenv("VELORINE_SIMD");
    if (!value)
        return supported;
    for (SimdLevel level :
         {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
        if (std::string_view(value) == SimdLevelName(level) && level <= supported)
            return level;
    }
    return supported;
}

std::atomic<int> &ChosenLevel()
{
    static std::atomic<int> level {static_cast<int>(LevelFromEnvironment(SupportedSimdLevel()))};
    return level;
}

StripeKernel KernelFor(SimdLevel level)
{
    switch (level) {
    case SimdLevel::Avx512:
        return EscapeStripeAvx512;
    case SimdLevel::Avx2:
        return EscapeStripeAvx2;
    case SimdLevel::Sse2:
        return EscapeStripeSse2;
    case SimdLevel::Scalar:
        break;
    }
    return EscapeStripeScalar;
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

// Hands column stripes to every core in turn until none is left; returns when all are done.
void RunStripes(const EscapeJob &job, GeneratorProgress *pProgress)
{
    const StripeKernel kernel = KernelFor(ActiveSimdLevel());
    const int stripes = (job.width + kStripeWidth - 1) / kStripeWidth;
    std::atomic<int> next {0};
    auto work = [&] {
        for (int stripe; (stripe = next.fetch_add(1, std::memory_order_relaxed)) < stripes;) {
            const int column = stripe * kStripeWidth;
            kernel(job, column);
            if (pProgress)
                pProgress->Advance(int64_t(std::min(kStripeWidth, job.width - column))
                                   * job.height);
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned helpers = std::min(cores, static_cast<unsigned>(stripes)) - 1;
    std::vector<std::thread> threads;
    try {
        for (unsigned i = 0; i < helpers; ++i)
            threads.emplace_back(work);
    } catch (const std::system_error &) {
        // Fewer threads only means this one takes more stripes.
    }
    work();
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
    // Room for a whole stripe past the last column plus one kernel pass of overhang.
    const int padded = (width + kStripeWidth - 1) / kStripeWidth * kStripeWidth + kStripeWidth;
    const std::vector<double> columns = Samples(xMin, xMax, width, padded);
    const std::vector<double> rows = Samples(yMin, yMax, height, height);
    const EscapeJob job {buffer, width, height, columns.data(), rows.data(),
                         julia,  cx,    cy,     bailout};
    RunStripes(job, pProgress);
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
    switch (level) {
    case SimdLevel::Scalar:
        return "scalar";
    case SimdLevel::Sse2:
        return "sse2";
    case SimdLevel::Avx2:
        return "avx2";
    case SimdLevel::Avx512:
        return "avx512";
    }
    return "unknown";
}

void EscapeStripeScalar(const EscapeJob &job, int column)
{
    const int end = std::min(job.width, column + kStripeWidth);
    for (int i = column; i < end; ++i) {
        for (int j = 0; j < job.height; ++j) {
            double x = job.julia ? job.columnValues[i] : 0.0;
            double y = job.julia ? job.rowValues[j] : 0.0;
            const double cx = job.julia ? job.cx : job.columnValues[i];
            const double cy = job.julia ? job.cy : job.rowValues[j];
            int n = 0;
            for (;;) {
                const double nx = x * x - y * y + cx;
                const double ny = 2.0 * x * y + cy;
                ++n;
                if (n == kMaxIterations || nx * nx + ny * ny > job.bailout)
                    break;
                x = nx;
                y = ny;
            }
            job.buffer[static_cast<size_t>(j) * static_cast<size_t>(job.width)
                       + static_cast<size_t>(i)]
                = static_cast<uint8_t>(n);
        }
    }
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
