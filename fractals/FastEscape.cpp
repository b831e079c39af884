#include "fractals/FastEscape.h"

#include "fractals/FastEscapeKernels.h"
#include "fractals/Progress.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace fast {

// Tiles numbered row band by row band, left to right, taken in that order by any thread.
class TileQueue
{
public:
    TileQueue(int width, int height, GeneratorProgress *pProgress)
        : m_nWidth(width)
        , m_nHeight(height)
        , m_nAcross((width + kTileWidth - 1) / kTileWidth)
        , m_nTiles(int64_t(m_nAcross) * ((height + kTileHeight - 1) / kTileHeight))
        , m_pProgress(pProgress)
    {
    }
    int64_t Tiles() const { return m_nTiles; }

    bool Next(Tile &tile)
    {
        const int64_t index = m_nNext.fetch_add(1, std::memory_order_relaxed);
        if (index >= m_nTiles)
            return false;
        tile.column = static_cast<int>(index % m_nAcross) * kTileWidth;
        tile.row = static_cast<int>(index / m_nAcross) * kTileHeight;
        tile.columns = std::min(kTileWidth, m_nWidth - tile.column);
        tile.rows = std::min(kTileHeight, m_nHeight - tile.row);
        return true;
    }
    void Finished(int64_t pixels)
    {
        if (m_pProgress)
            m_pProgress->Advance(pixels);
    }

private:
    const int m_nWidth;
    const int m_nHeight;
    const int m_nAcross;
    const int64_t m_nTiles;
    GeneratorProgress *const m_pProgress;
    std::atomic<int64_t> m_nNext {0};
};

bool NextTile(TileQueue &queue, Tile &tile)
{
    return queue.Next(tile);
}

void ReportFinished(TileQueue &queue, int64_t pixels)
{
    queue.Finished(pixels);
}

namespace {

SimdLevel DetectSimdLevel()
{
    __builtin_cpu_init();
    // The wider kernels also use BMI1's and-not, which every such processor has.
    if (!__builtin_cpu_supports("bmi"))
        return SimdLevel::Sse2;
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

EscapeKernel KernelFor(SimdLevel level)
{
    switch (level) {
    case SimdLevel::Avx512:
        return EscapeTilesAvx512;
    case SimdLevel::Avx2:
        return EscapeTilesAvx2;
    case SimdLevel::Sse2:
        return EscapeTilesSse2;
    case SimdLevel::Scalar:
        break;
    }
    return EscapeTilesScalar;
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
    const EscapeKernel kernel = KernelFor(ActiveSimdLevel());
    TileQueue queue(job.width, job.height, pProgress);
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
