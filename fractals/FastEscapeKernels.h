#pragma once
// What the per-instruction-set escape kernels share. Kept free of standard-library templates:
// the kernels are compiled for wider instruction sets than the rest of the program, and an
// inline function instantiated there could be picked by the linker for every caller.

#include <cstdint>

namespace fast {

// The picture is handed out in tiles of this many columns and rows; the column table is padded
// to a whole tile past the last column, so a kernel may compute whole registers beyond the edge.
inline constexpr int kTileWidth = 16;
inline constexpr int kTileHeight = 16;
inline constexpr int kMaxIterations = 255;

struct EscapeJob
{
    uint8_t *buffer;
    int width;
    int height;
    // Mandelbrot: the constant's real part per column and imaginary part per row, orbit from 0.
    // Julia: the orbit's start, real part per column and imaginary part per row.
    const double *columnValues;
    const double *rowValues;
    bool julia;
    double cx; // Julia constant
    double cy;
    double bailout;
};

// Columns [column, column + columns) of rows [row, row + rows), inside the picture.
struct Tile
{
    int column;
    int row;
    int columns;
    int rows;
};

// The tiles of one picture, shared by every thread drawing it.
class TileQueue;

// Takes the next tile nobody has taken; false when none is left.
bool NextTile(TileQueue &queue, Tile &tile);
// Counts pixels whose bytes are written, for the progress record.
void ReportFinished(TileQueue &queue, int64_t pixels);

// Draws tiles from the queue until it is empty, then returns with every taken pixel written.
using EscapeKernel = void (*)(const EscapeJob &job, TileQueue &queue);

void EscapeTilesScalar(const EscapeJob &job, TileQueue &queue);
void EscapeTilesSse2(const EscapeJob &job, TileQueue &queue);
void EscapeTilesAvx2(const EscapeJob &job, TileQueue &queue);
void EscapeTilesAvx512(const EscapeJob &job, TileQueue &queue);

} // namespace fast
