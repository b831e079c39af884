// The step-by-step generators with the arguments their commands pass.

#include "fractals/FractalParams.h"
#include "fractals/Kinds.h"
#include "fractals/Leaf.h"
#include "fractals/Recipes.h"
#include "fractals/Reference.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kSize = recipe::kPictureSize;

void Finish(std::vector<uint8_t> &buffer)
{
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
}

void BM_Reference_Mandelbrot(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        reference::Mandelbrot(buffer.data(), kSize, kSize, -2.25, 0.75, -1.5, 1.5, 100.0);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Mandelbrot)->Unit(benchmark::kMillisecond);

void BM_Reference_Julia(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    const recipe::PlaneArgs &r = recipe::kJuliaPlane;
    for (auto _ : state) {
        reference::Julia(buffer.data(), kSize, kSize, kDefaultJuliaCX, kDefaultJuliaCY, r.dXMin,
                         r.dXMax, r.dYMin, r.dYMax);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Julia)->Unit(benchmark::kMillisecond);

void BM_Reference_Martin(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    const int iterations = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const recipe::MartinArgs &r = recipe::kMartin;
        reference::Martin(buffer.data(), kSize, kSize, r.dA, r.dB, r.dC, iterations);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Martin)
    ->Arg(recipe::kMartin.nIterations)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

void BM_Reference_Mira(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        const recipe::MiraArgs &r = recipe::kMira;
        reference::Mira(buffer.data(), kSize, kSize, r.dA, r.dB, r.dSX, r.dSY, r.nX1, r.nY1, r.nX2,
                        r.nY2, r.nIterations);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Mira)->Unit(benchmark::kMillisecond);

void BM_Reference_Wallpaper(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        const recipe::WallpaperArgs &r = recipe::kWallpaper;
        reference::Wallpaper(buffer.data(), kSize, kSize, r.nUStart, r.nVStart, r.nSpan);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Wallpaper)->Unit(benchmark::kMillisecond);

// The DLA command's seed block and five passes from one fixed seed.
void BM_Reference_Dla(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    for (auto _ : state) {
        std::fill(buffer.begin(), buffer.end(), 0);
        recipe::SeedDla(buffer.data());
        for (const double radius : recipe::kDlaRadii)
            reference::Dla(buffer.data(), kSize, kSize, recipe::kDlaParticles, radius, 7);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Dla)->Unit(benchmark::kMillisecond);

// The leaf into a plain 512 x 512 array, so the painter costs what a SetPixel store costs.
void BM_Reference_Leaf(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kSize * kSize);
    const LeafPainter paint = [&buffer](int column, int row, uint32_t colour) {
        if (column >= 0 && column < kSize && row >= 0 && row < kSize)
            buffer[std::size_t(row) * kSize + column] = static_cast<uint8_t>(colour);
    };
    for (auto _ : state) {
        Leaf(paint, 7);
        Finish(buffer);
    }
}
BENCHMARK(BM_Reference_Leaf)->Unit(benchmark::kMillisecond);

// Every kind of the table that has a generator, through it with its default arguments at the
// window's size, as the renderer draws it: a new kind is measured as soon as it is a record.
const bool kKindsRegistered = [] {
    for (const kinds::Kind &kind : kinds::All()) {
        if (!kind.generate)
            continue;
        const kinds::Kind *k = &kind;
        benchmark::RegisterBenchmark(("BM_Kind/" + std::string(kind.pName)).c_str(),
                                     [k](benchmark::State &state) {
                                         std::vector<uint8_t> buffer(kSize * kSize);
                                         const std::vector<double> args = k->Defaults();
                                         for (auto _ : state) {
                                             std::fill(buffer.begin(), buffer.end(), 0);
                                             k->generate(buffer.data(), kSize, kSize, args, 7,
                                                         nullptr);
                                             Finish(buffer);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
