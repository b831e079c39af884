#include "fractals/Reference.h"

#include "fractals/Progress.h"
#include "fractals/Random.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

// trunc(v) as an int when it is finite and fits; a coordinate that does not fit has no pixel.
bool TruncToInt(double v, long long &out)
{
    if (!std::isfinite(v))
        return false;
    const double t = std::trunc(v);
    if (t < -2147483648.0 || t > 2147483647.0)
        return false;
    out = static_cast<long long>(t);
    return true;
}

// The cell a plane point falls in (truncated toward zero, origin at cr, cc), or null.
uint8_t *Cell(uint8_t *buffer, int height, int width, double rowCoord, double colCoord, int cr,
              int cc)
{
    long long row = 0;
    long long col = 0;
    if (!TruncToInt(rowCoord, row) || !TruncToInt(colCoord, col))
        return nullptr;
    row += cr;
    col += cc;
    if (row < 0 || row >= height || col < 0 || col >= width)
        return nullptr;
    return buffer + static_cast<std::size_t>(row) * static_cast<std::size_t>(width)
        + static_cast<std::size_t>(col);
}

std::size_t Area(int height, int width)
{
    return static_cast<std::size_t>(height) * static_cast<std::size_t>(width);
}

// Reports an orbit's steps in blocks, so counting costs nothing next to the steps themselves.
class StepCounter
{
public:
    StepCounter(GeneratorProgress *pProgress, int iterations) : m_pProgress(pProgress)
    {
        if (m_pProgress)
            m_pProgress->Start(iterations > 0 ? iterations : 0);
    }
    ~StepCounter()
    {
        if (m_pProgress && m_nPending > 0)
            m_pProgress->Advance(m_nPending);
    }
    StepCounter(const StepCounter &) = delete;
    StepCounter &operator=(const StepCounter &) = delete;

    void Step()
    {
        if (++m_nPending == kBlock && m_pProgress) {
            m_pProgress->Advance(kBlock);
            m_nPending = 0;
        }
    }

private:
    static constexpr int64_t kBlock = 1 << 16;
    GeneratorProgress *m_pProgress;
    int64_t m_nPending = 0;
};

} // namespace

namespace reference {

void Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
                double yMax, double bailout)
{
    if (width < 2 || height < 2)
        return;
    const double dx = (xMax - xMin) / (width - 1);
    const double dy = (yMax - yMin) / (height - 1);
    for (int i = 0; i < width; ++i) {
        const double cx = xMin + i * dx;
        for (int j = 0; j < height; ++j) {
            const double cy = yMin + j * dy;
            int n = 0;
            if (!(0 > bailout)) {
                double x = 0.0;
                double y = 0.0;
                for (;;) {
                    const double xn = x * x - y * y + cx;
                    const double yn = 2 * x * y + cy;
                    ++n;
                    if (n == 255 || xn * xn + yn * yn > bailout)
                        break;
                    x = xn;
                    y = yn;
                }
            }
            buffer[static_cast<std::size_t>(j) * width + i] = static_cast<uint8_t>(n);
        }
    }
}

void Julia(uint8_t *buffer, int width, int height, const double &cx, const double &cy, double xMin,
           double xMax, double yMin, double yMax)
{
    if (width < 2 || height < 2)
        return;
    const double cRe = cx;
    const double cIm = cy;
    const double dx = (xMax - xMin) / (width - 1);
    const double dy = (yMax - yMin) / (height - 1);
    for (int i = 0; i < width; ++i) {
        const double x0 = xMin + i * dx;
        for (int j = 0; j < height; ++j) {
            double x = x0;
            double y = yMin + j * dy;
            int n = 0;
            for (;;) {
                const double xn = x * x - y * y + cRe;
                const double yn = 2 * x * y + cIm;
                ++n;
                if (n == 255 || xn * xn + yn * yn > 100.0)
                    break;
                x = xn;
                y = yn;
            }
            buffer[static_cast<std::size_t>(j) * width + i] = static_cast<uint8_t>(n);
        }
    }
}

void Martin(uint8_t *buffer, int height, int width, double a, double b, double c, int iterations,
            GeneratorProgress *pProgress)
{
    if (height <= 0 || width <= 0)
        return;
    StepCounter steps(pProgress, iterations);
    std::memset(buffer, 0, Area(height, width));
    const int cr = height / 2;
    const int cc = width / 2;
    double x = 0.0;
    double y = 0.0;
    for (int it = 0; it < iterations; ++it) {
        // The zero band lies on the non-negative side only.
        const double s = x < 0 ? -1.0 : (x < 0.00001 ? 0.0 : 1.0);
        const double xn = y - s * std::sqrt(std::fabs(b * x - c));
        const double yn = a - x;
        x = xn;
        y = yn;
        if (uint8_t *cell = Cell(buffer, height, width, x, y, cr, cc); cell && *cell < 255)
            ++*cell;
        steps.Step();
    }
}

void Mira(uint8_t *buffer, int height, int width, double a, double b, double sx, double sy, int x1,
          int y1, int x2, int y2, int iterations, GeneratorProgress *pProgress)
{
    if (height <= 0 || width <= 0)
        return;
    StepCounter steps(pProgress, iterations);
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    std::memset(buffer, 1, Area(height, width));
    const int cr = height / 2;
    const int cc = width / 2;
    // In 64 bits: the span of two extreme ints does not fit an int.
    const double spanX = static_cast<double>(static_cast<long long>(x2) - x1);
    const double spanY = static_cast<double>(static_cast<long long>(y2) - y1);
    const auto F = [a](double u) { return a + 2 * (1 - a) * u * u / (u * u + 1); };
    double x = sx;
    double y = sy;
    for (int it = 0; it < iterations; ++it) {
        const double xn = b * y + F(x);
        const double yn = -x + F(xn);
        x = xn;
        y = yn;
        if (uint8_t *cell
            = Cell(buffer, height, width, x / spanX * height, y / spanY * width, cr, cc))
            *cell = 255;
        steps.Step();
    }
}

void Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart, int span)
{
    if (height <= 0 || width <= 0)
        return;
    static constexpr uint8_t kIndex[3] = {0, 128, 255};
    for (int i = 0; i < height; ++i) {
        const double u = static_cast<double>(i) * span / height + uStart;
        const double u2 = u * u;
        uint8_t *row = buffer + static_cast<std::size_t>(i) * width;
        for (int j = 0; j < width; ++j) {
            const double v = static_cast<double>(j) * span / width + vStart;
            const double s = u2 + v * v;
            // The remainder on the double itself: s may pass the int range.
            const int k = static_cast<int>(std::fmod(std::trunc(s), 3.0));
            row[j] = kIndex[k];
        }
    }
}

void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed)
{
    if (height <= 0 || width <= 0)
        return;
    const double half = radius <= 1 ? std::trunc(radius * height) : std::trunc(radius);
    const int cr = height / 2;
    const int cc = width / 2;
    // The walk square, rows cr - D - 1 to cr + D and likewise for columns, must lie inside.
    if (!(half >= 1) || half > cr - 1.0 || half > cc - 1.0 || cr + half >= height
        || cc + half >= width)
        return;
    const int D = static_cast<int>(half);

    const auto at = [buffer, width](int row, int col) -> uint8_t & {
        return buffer[static_cast<std::size_t>(row) * width + col];
    };
    bool occupied = false;
    for (int row = cr - D - 1; row <= cr + D && !occupied; ++row)
        for (int col = cc - D - 1; col <= cc + D && !occupied; ++col)
            occupied = at(row, col) != 0;
    if (!occupied)
        return;

    Random random(seed);
    for (int p = 0; p < particles; ++p) {
        const int k = random.Next() % 8;
        const int t = random.Next() % D;
        // The launch table: one half of one side of the launch square for each k.
        const int rows[8] = {cr + t, cr - D, cr + t, cr + D, cr - t, cr - D, cr - t, cr + D};
        const int cols[8] = {cc - D, cc + t, cc + D, cc + t, cc - D, cc - t, cc + D, cc - t};
        int row = rows[k];
        int col = cols[k];
        if (at(row, col) != 0)
            continue;
        for (;;) {
            // A neighbour beyond the buffer's edge is the particle's own, free, cell.
            const bool sticks = (row + 1 < height && at(row + 1, col) != 0)
                || (row > 0 && at(row - 1, col) != 0) || (col + 1 < width && at(row, col + 1) != 0)
                || (col > 0 && at(row, col - 1) != 0);
            if (sticks) {
                at(row, col) = 255;
                break;
            }
            switch (random.Next() % 4) {
            case 0:
                if (row <= cr + D - 1)
                    ++row;
                break;
            case 1:
                if (col <= cc + D - 1)
                    ++col;
                break;
            case 2:
                if (row >= cr - D)
                    --row;
                break;
            default:
                if (col >= cc - D)
                    --col;
                break;
            }
        }
    }
}

} // namespace reference
