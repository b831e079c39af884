#pragma once
// The simulated leaf: a chaos game of four affine maps on the integer grid, painted through a
// callback so the view and the renderer can bind it to CDib::SetPixel.

#include <cstdint>
#include <functional>

// (column, stored row counted from the bottom, colour). Every call of the clear lies in
// 0..511; a leaf point is passed as computed, so the callback refuses what it cannot hold.
using LeafPainter = std::function<void(int column, int row, uint32_t colour)>;

struct LeafPoint
{
    int x; // grows to the right
    int y; // grows downwards
    bool operator==(const LeafPoint &) const = default;
};

inline constexpr LeafPoint kLeafStart {600, 240};

// One step of map 0 to 3 from p, truncated back to the grid.
LeafPoint LeafStep(int map, LeafPoint p);

// The source of the 0..32767 numbers each step's map is drawn from.
using LeafDraw = std::function<int()>;

// Paints 512 x 512 pixels with 255, then 10,000 steps from kLeafStart, every point after the
// first 30 painted with 21 at column x + 30, stored row 512 - y.
void Leaf(const LeafPainter &paint, const LeafDraw &draw);
// The same, drawing from the 0..32767 generator started at seed.
void Leaf(const LeafPainter &paint, uint32_t seed);
// The same, seeded with the current time in seconds.
void Leaf(const LeafPainter &paint);
