#include "fractals/Leaf.h"

#include "fractals/Random.h"

#include <cmath>

LeafPoint LeafStep(int map, LeafPoint p)
{
    const double X = p.x - 180;
    const double Y = 400 - p.y;
    double xn = 0.0;
    double yn = 0.0;
    switch (map) {
    case 0:
        xn = 0;
        yn = 0.16 * Y;
        break;
    case 1:
        xn = 0.85 * X + 0.04 * Y;
        yn = -0.04 * X + 0.85 * Y + 50;
        break;
    case 2:
        xn = 0.2 * X - 0.26 * Y;
        yn = 0.23 * X + 0.22 * Y + 50;
        break;
    default:
        xn = -0.15 * X + 0.28 * Y;
        yn = 0.26 * X + 0.24 * Y + 2;
        break;
    }
    // The orbit is contracting from a bounded start, so the values always fit an int.
    return {static_cast<int>(std::trunc(xn)) + 180, 400 - static_cast<int>(std::trunc(yn))};
}

void Leaf(const LeafPainter &paint, const LeafDraw &draw)
{
    for (int column = 0; column < 512; ++column)
        for (int row = 0; row < 512; ++row)
            paint(column, row, 255);

    LeafPoint p = kLeafStart;
    // A first draw of 100 has no previous map to repeat: it takes map 0.
    int map = 0;
    for (int n = 1; n <= 10000; ++n) {
        const int d = draw() * 100 / 32767;
        if (d == 0)
            map = 0;
        else if (d <= 81)
            map = 1;
        else if (d <= 90)
            map = 2;
        else if (d <= 99)
            map = 3;
        p = LeafStep(map, p);
        if (n > 30 && p.x < 482 && p.y < 512)
            paint(p.x + 30, 512 - p.y, 21);
    }
}

void Leaf(const LeafPainter &paint, uint32_t seed)
{
    Random random(seed);
    Leaf(paint, [&random] { return random.Next(); });
}

void Leaf(const LeafPainter &paint)
{
    Leaf(paint, Random::TimeSeed());
}
