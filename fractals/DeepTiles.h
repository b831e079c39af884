#pragma once
// The tiles of one deep picture, shared by the threads drawing it.

#include "fractals/DeepEngine.h"
#include "fractals/Progress.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace deep {

class DeepTileQueue
{
public:
    static constexpr int kSide = 16;

    DeepTileQueue(int columns, int rows, GeneratorProgress *pProgress)
        : m_nColumns(columns)
        , m_nRows(rows)
        , m_nAcross((columns + kSide - 1) / kSide)
        , m_nTiles(int64_t(m_nAcross) * ((rows + kSide - 1) / kSide))
        , m_pProgress(pProgress)
    {
    }
    int64_t Tiles() const { return m_nTiles; }

    // Gives the worker the next tile nobody has taken; false when none is left.
    bool Next(Worker &worker)
    {
        const int64_t index = m_nNext.fetch_add(1, std::memory_order_relaxed);
        if (index >= m_nTiles)
            return false;
        worker.tileColumn = static_cast<int>(index % m_nAcross) * kSide;
        worker.tileRow = static_cast<int>(index / m_nAcross) * kSide;
        worker.tileColumns = std::min(kSide, m_nColumns - worker.tileColumn);
        worker.tileRows = std::min(kSide, m_nRows - worker.tileRow);
        worker.nextInTile = 0;
        return true;
    }
    void Finished(int64_t pixels)
    {
        if (m_pProgress && pixels)
            m_pProgress->Advance(pixels);
    }

private:
    const int m_nColumns;
    const int m_nRows;
    const int m_nAcross;
    const int64_t m_nTiles;
    GeneratorProgress *const m_pProgress;
    std::atomic<int64_t> m_nNext {0};
};

} // namespace deep
