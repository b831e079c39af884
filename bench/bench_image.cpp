// The image road of every render: composing temp.bmp and loading it back, and one repaint of
// an 8-bit picture stretched onto a window-sized image.

#include "image/CDib.h"
#include "platform/CDC.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

namespace {

std::vector<uint8_t> Pattern()
{
    std::vector<uint8_t> buffer(512 * 512);
    for (size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = uint8_t((i % 512) ^ (i / 512));
    return buffer;
}

std::string Scratch(const char *name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_ComposeThenLoad(benchmark::State &state)
{
    const std::string palette = Scratch("velorine-bench.rgb");
    const std::string picture = Scratch("velorine-bench.bmp");
    CDib composer;
    composer.WriteDefaultPalette(palette.c_str());
    const auto buffer = Pattern();
    CDib view;
    for (auto _ : state) {
        CDib temp;
        temp.Compose(picture.c_str(), palette.c_str(), buffer.data());
        benchmark::DoNotOptimize(view.Load(picture.c_str()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 263222);
    std::filesystem::remove(palette);
    std::filesystem::remove(picture);
}
BENCHMARK(BM_ComposeThenLoad);

void BM_DrawStretched8Bit(benchmark::State &state)
{
    const std::string palette = Scratch("velorine-bench-draw.rgb");
    const std::string picture = Scratch("velorine-bench-draw.bmp");
    CDib dib;
    dib.WriteDefaultPalette(palette.c_str());
    const auto buffer = Pattern();
    dib.Compose(picture.c_str(), palette.c_str(), buffer.data());
    dib.Load(picture.c_str());
    QImage target(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        CDC dc(&painter, &target);
        dib.DrawStretched(&dc, 0, 0, 800, 600);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 800 * 600);
    std::filesystem::remove(palette);
    std::filesystem::remove(picture);
}
BENCHMARK(BM_DrawStretched8Bit);

} // namespace
