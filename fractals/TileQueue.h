#pragma once
// A picture cut into tiles that the threads drawing it take one at a time, so that a thread done
// early takes more of them and none waits for another.

#include "fractals/Progress.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

// Columns [column, column + columns) of rows [row, row + rows), inside the picture.
struct TileRect
{
    int column;
    int row;
    int columns;
    int rows;
};

// Tiles numbered row band by row band, left to right, taken in that order by any thread.
class TileQueue
{
public:
    TileQueue(int width, int height, int tileWidth, int tileHeight, GeneratorProgress *pProgress)
        : m_nWidth(width)
        , m_nHeight(height)
        , m_nTileWidth(tileWidth)
        , m_nTileHeight(tileHeight)
        , m_nAcross((width + tileWidth - 1) / tileWidth)
        , m_nTiles(int64_t(m_nAcross) * ((height + tileHeight - 1) / tileHeight))
        , m_pProgress(pProgress)
    {
    }
    int64_t Tiles() const { return m_nTiles; }

    // The next tile nobody has taken; false when none is left.
    bool Next(TileRect &tile)
    {
        const int64_t index = m_nNext.fetch_add(1, std::memory_order_relaxed);
        if (index >= m_nTiles)
            return false;
        tile.column = static_cast<int>(index % m_nAcross) * m_nTileWidth;
        tile.row = static_cast<int>(index / m_nAcross) * m_nTileHeight;
        tile.columns = std::min(m_nTileWidth, m_nWidth - tile.column);
        tile.rows = std::min(m_nTileHeight, m_nHeight - tile.row);
        return true;
    }
    // Counts pixels whose values are written, for the progress record.
    void Finished(int64_t pixels)
    {
        if (m_pProgress && pixels)
            m_pProgress->Advance(pixels);
    }

private:
    const int m_nWidth;
    const int m_nHeight;
    const int m_nTileWidth;
    const int m_nTileHeight;
    const int m_nAcross;
    const int64_t m_nTiles;
    GeneratorProgress *const m_pProgress;
    std::atomic<int64_t> m_nNext {0};
};
