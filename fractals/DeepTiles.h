#pragma once
// The tiles of one deep picture, shared by the threads drawing it.

#include "fractals/DeepEngine.h"
#include "fractals/TileQueue.h"

#include <cstdint>

namespace deep {

// The shared tile queue, handing its tiles to a worker's fields.
class DeepTileQueue
{
public:
    static constexpr int kSide = 16;

    DeepTileQueue(int columns, int rows, GeneratorProgress *pProgress)
        : m_tiles(columns, rows, kSide, kSide, pProgress)
    {
    }
    int64_t Tiles() const { return m_tiles.Tiles(); }

    // Gives the worker the next tile nobody has taken; false when none is left.
    bool Next(Worker &worker)
    {
        TileRect tile;
        if (!m_tiles.Next(tile))
            return false;
        worker.tileColumn = tile.column;
        worker.tileRow = tile.row;
        worker.tileColumns = tile.columns;
        worker.tileRows = tile.rows;
        worker.nextInTile = 0;
        return true;
    }
    void Finished(int64_t pixels) { m_tiles.Finished(pixels); }

private:
    TileQueue m_tiles;
};

} // namespace deep
