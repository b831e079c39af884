// The fast Mandelbrot, Julia, wallpaper and DLA forms on the pictures the commands draw; the reference
// forms' benchmarks (BM_Reference_*) sit beside them in the same binary.

#include "fractals/FastDla.h"
#include "fractals/FastEscape.h"
#include "fractals/FastWallpaper.h"

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
    const double cx = static_cast<double>(-0.22375f);
    const double cy = static_cast<double>(0.76508f);
    TimeEscape(state, [&](uint8_t *buffer) {
        fast::Julia(buffer, 512, 512, cx, cy, -1.5, 1.5, -1.5, 1.5);
    });
}
BENCHMARK(BM_Fast_Julia)->Unit(benchmark::kMillisecond);

// The DLA command's five passes from the seed the reference benchmark uses.
void BM_Fast_Dla(benchmark::State &state)
{
    std::vector<uint8_t> buffer(512 * 512);
    for (auto _ : state) {
        std::fill(buffer.begin(), buffer.end(), 0);
        for (int r = 254; r <= 257; ++r) {
            for (int c = 254; c <= 257; ++c)
                buffer[static_cast<size_t>(r) * 512 + c] = 255;
        }
        for (double radius : {0.12, 0.18, 0.24, 0.31, 0.37})
            fast::Dla(buffer.data(), 512, 512, 2000, radius, 7);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fast_Dla)->Unit(benchmark::kMillisecond);

void BM_Fast_Wallpaper(benchmark::State &state)
{
    std::vector<uint8_t> buffer(512 * 512);
    for (auto _ : state) {
        fast::Wallpaper(buffer.data(), 512, 512, 10, 10, 80);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fast_Wallpaper)->Unit(benchmark::kMillisecond);

} // namespace
