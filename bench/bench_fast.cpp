// The fast Mandelbrot, Julia, wallpaper and DLA forms on the pictures the commands draw; the
// reference forms' benchmarks (BM_Reference_*) sit beside them in the same binary.

#include "fractals/FastDla.h"
#include "fractals/FastEscape.h"
#include "fractals/FastWallpaper.h"
#include "fractals/FractalParams.h"
#include "fractals/Recipes.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Times one 512 x 512 escape-time picture; the label names the instruction set used.
template<class Render> void TimeEscape(benchmark::State &state, Render render)
{
    std::vector<uint8_t> buffer(512 * 512);
    for (auto _ : state) {
        render(buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(fast::SimdLevelName(fast::ActiveSimdLevel()));
}

void BM_Fast_Mandelbrot(benchmark::State &state)
{
    TimeEscape(state, [](uint8_t *buffer) {
        fast::Mandelbrot(buffer, 512, 512, -2.25, 0.75, -1.5, 1.5, 100.0);
    });
}
BENCHMARK(BM_Fast_Mandelbrot)->Unit(benchmark::kMillisecond);

void BM_Fast_Julia(benchmark::State &state)
{
    TimeEscape(state, [](uint8_t *buffer) {
        const recipe::PlaneArgs &r = recipe::kJuliaPlane;
        fast::Julia(buffer, 512, 512, kDefaultJuliaCX, kDefaultJuliaCY, r.dXMin, r.dXMax, r.dYMin,
                    r.dYMax);
    });
}
BENCHMARK(BM_Fast_Julia)->Unit(benchmark::kMillisecond);

// The DLA command's five passes from the seed the reference benchmark uses.
void BM_Fast_Dla(benchmark::State &state)
{
    constexpr int kSize = recipe::kPictureSize;
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        std::fill(buffer.begin(), buffer.end(), 0);
        recipe::SeedDla(buffer.data());
        for (double radius : recipe::kDlaRadii)
            fast::Dla(buffer.data(), kSize, kSize, recipe::kDlaParticles, radius, 7);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fast_Dla)->Unit(benchmark::kMillisecond);

void BM_Fast_Wallpaper(benchmark::State &state)
{
    constexpr int kSize = recipe::kPictureSize;
    const recipe::WallpaperArgs &r = recipe::kWallpaper;
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        fast::Wallpaper(buffer.data(), kSize, kSize, r.nUStart, r.nVStart, r.nSpan);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fast_Wallpaper)->Unit(benchmark::kMillisecond);

} // namespace
