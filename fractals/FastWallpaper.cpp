#include "fractals/FastWallpaper.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace fast {

void Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart, int span)
{
    if (height <= 0 || width <= 0)
        return;
    static constexpr uint8_t kIndex[3] = {0, 128, 255};
    // v * v depends on the column only; the same product the per-pixel form computes.
    std::vector<double> vSquares(static_cast<std::size_t>(width));
    for (int j = 0; j < width; ++j) {
        const double v = static_cast<double>(j) * span / width + vStart;
        vSquares[static_cast<std::size_t>(j)] = v * v;
    }
    // Below 2^63 the truncated sum is an exact int64, whose remainder equals fmod's.
    constexpr double kIntegerLimit = 9223372036854775808.0;
    for (int i = 0; i < height; ++i) {
        const double u = static_cast<double>(i) * span / height + uStart;
        const double u2 = u * u;
        uint8_t *row = buffer + static_cast<std::size_t>(i) * width;
        for (int j = 0; j < width; ++j) {
            const double s = u2 + vSquares[static_cast<std::size_t>(j)];
            const int k = s < kIntegerLimit
                ? static_cast<int>(static_cast<int64_t>(s) % 3)
                : static_cast<int>(std::fmod(std::trunc(s), 3.0));
            row[j] = kIndex[k];
        }
    }
}

} // namespace fast
