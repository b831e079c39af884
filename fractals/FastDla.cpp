#include "fractals/FastDla.h"

#include "fractals/Progress.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include <emmintrin.h>

namespace fast {

namespace {

constexpr uint32_t kMultiplier = 214013;
constexpr uint32_t kIncrement = 2531011;

// A step's direction is bits 16 and 17 of the generator's state, and the low 18 bits of the
// state run through one cycle of 2^18 values on their own. So the sum of any run of steps is a
// difference of two prefix sums along that cycle, and so are its highest and lowest points.
constexpr int kCycleBits = 18;
constexpr uint32_t kCycle = 1u << kCycleBits;
constexpr uint32_t kCycleMask = kCycle - 1;

// Distances to the cluster are kept up to this cap, so a walker jumps at most kCap - 1 steps.
constexpr int kCap = 64;
constexpr int kMaxJump = kCap - 1;
static_assert(kCap <= 64, "the row update counts lanes in signed bytes");
constexpr int kVectorWidth = 8; // int16 lanes of an SSE2 register
// Prefix sums run on past the cycle by one longest jump, rounded up to whole registers.
constexpr uint32_t kPrefixLength = kCycle + (kMaxJump + kVectorWidth) / kVectorWidth * kVectorWidth;

constexpr int kRowStep[4] = {1, 0, -1, 0};
constexpr int kColumnStep[4] = {0, 1, 0, -1};

struct StepTables
{
    // position[s]: where the 18-bit state s stands in the cycle that starts at 0.
    std::vector<uint32_t> position;
    // Sums of the row and column steps drawn from cycle position 0 up to position i, kept
    // modulo 2^16: only differences over one jump are ever used.
    std::vector<int16_t> rowPrefix;
    std::vector<int16_t> columnPrefix;
    // state after k draws = jumpMultiplier[k] * state + jumpIncrement[k].
    std::array<uint32_t, kMaxJump + 1> jumpMultiplier;
    std::array<uint32_t, kMaxJump + 1> jumpIncrement;
};

const StepTables &Tables()
{
    static const std::unique_ptr<const StepTables> tables = [] {
        auto built = std::make_unique<StepTables>();
        built->position.resize(kCycle);
        built->rowPrefix.resize(kPrefixLength);
        built->columnPrefix.resize(kPrefixLength);
        uint32_t state = 0;
        int16_t row = 0;
        int16_t column = 0;
        for (uint32_t i = 0; i < kPrefixLength; ++i) {
            if (i < kCycle)
                built->position[state] = i;
            built->rowPrefix[i] = row;
            built->columnPrefix[i] = column;
            state = (state * kMultiplier + kIncrement) & kCycleMask;
            const uint32_t direction = (state >> 16) & 3;
            row = static_cast<int16_t>(row + kRowStep[direction]);
            column = static_cast<int16_t>(column + kColumnStep[direction]);
        }
        uint32_t multiplier = 1;
        uint32_t increment = 0;
        for (size_t k = 0; k <= kMaxJump; ++k) {
            built->jumpMultiplier[k] = multiplier;
            built->jumpIncrement[k] = increment;
            multiplier *= kMultiplier;
            increment = increment * kMultiplier + kIncrement;
        }
        return built;
    }();
    return *tables;
}

// The 0..32767 sequence, which also knows where its low bits stand in their cycle.
class Draws
{
public:
    Draws(uint32_t seed, const StepTables &tables)
        : m_tables(tables), m_nState(seed), m_nPosition(tables.position[seed & kCycleMask])
    {
    }

    int Next()
    {
        m_nState = m_nState * kMultiplier + kIncrement;
        m_nPosition = (m_nPosition + 1) & kCycleMask;
        return static_cast<int>((m_nState >> 16) & 0x7FFF);
    }

    // The prefix sums of the steps still to be drawn, from the current position.
    const int16_t *RowSteps() const { return &m_tables.rowPrefix[m_nPosition]; }
    const int16_t *ColumnSteps() const { return &m_tables.columnPrefix[m_nPosition]; }

    // Draws `count` (0..kMaxJump) numbers at once.
    void Skip(int count)
    {
        m_nState = m_tables.jumpMultiplier[static_cast<size_t>(count)] * m_nState
            + m_tables.jumpIncrement[static_cast<size_t>(count)];
        m_nPosition = (m_nPosition + static_cast<uint32_t>(count)) & kCycleMask;
    }

private:
    const StepTables &m_tables;
    uint32_t m_nState;
    uint32_t m_nPosition;
};

struct Extremes
{
    int highest;
    int lowest;
};

// The highest and lowest of prefix[0..count] - prefix[0], count at most kMaxJump.
[[gnu::noinline]] Extremes RunExtremes(const int16_t *prefix, int count)
{
    const __m128i base = _mm_set1_epi16(prefix[0]);
    const __m128i last = _mm_set1_epi16(static_cast<int16_t>(count));
    __m128i index = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    __m128i highest = _mm_setzero_si128();
    __m128i lowest = _mm_setzero_si128();
    for (int i = 0; i <= count; i += kVectorWidth) {
        const __m128i values
            = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(prefix + i)), base);
        // Entries past the run count as 0, which the run's first entry is anyway.
        const __m128i inside = _mm_cmpgt_epi16(_mm_add_epi16(last, _mm_set1_epi16(1)), index);
        const __m128i kept = _mm_and_si128(values, inside);
        highest = _mm_max_epi16(highest, kept);
        lowest = _mm_min_epi16(lowest, kept);
        index = _mm_add_epi16(index, _mm_set1_epi16(kVectorWidth));
    }
    highest = _mm_max_epi16(highest, _mm_srli_si128(highest, 8));
    highest = _mm_max_epi16(highest, _mm_srli_si128(highest, 4));
    highest = _mm_max_epi16(highest, _mm_srli_si128(highest, 2));
    lowest = _mm_min_epi16(lowest, _mm_srli_si128(lowest, 8));
    lowest = _mm_min_epi16(lowest, _mm_srli_si128(lowest, 4));
    lowest = _mm_min_epi16(lowest, _mm_srli_si128(lowest, 2));
    return {static_cast<int16_t>(_mm_cvtsi128_si32(highest)),
            static_cast<int16_t>(_mm_cvtsi128_si32(lowest))};
}

// Where `count` steps along one axis lead from `at`, the walk held inside [low, high] by
// refused steps. The caller guarantees that the farther bound is at least `count` away, so
// only the nearer one can refuse a step; a walk held at a bound h then ends at
// h + S - max(h - at, highest prefix) (Lindley's recursion), and likewise at the low bound.
inline int AlongAxis(int at, const int16_t *prefix, int count, int low, int high)
{
    const int sum = static_cast<int16_t>(prefix[count] - prefix[0]);
    if (count <= at - low && count <= high - at)
        return at + sum;
    const Extremes run = RunExtremes(prefix, count);
    if (high - at < at - low)
        return high + sum - std::max(high - at, run.highest);
    return low + sum + std::max(at - low, -run.lowest);
}

// City-block distance from every cell to the nearest occupied cell, capped at kCap. A free
// cell at distance 1 is where a walker sticks; one at distance d cannot stick within d - 1
// steps. Cells outside the buffer do not exist, which is the edge rule of the sticking test.
// Only the cells within kCap of the walk square are kept: no other is ever read.
class DistanceMap
{
public:
    DistanceMap(const uint8_t *buffer, int height, int width, int rowLow, int rowHigh,
                int columnLow, int columnHigh)
        : m_nWidth(width)
        , m_nFirstRow(std::max(0, rowLow - kCap))
        , m_nLastRow(std::min(height - 1, rowHigh + kCap))
        , m_nFirstColumn(std::max(0, columnLow - kCap))
        , m_nLastColumn(std::min(width - 1, columnHigh + kCap))
        // One register of slack past the last cell for the row updates' whole-register loads.
        , m_distance(static_cast<size_t>(height) * static_cast<size_t>(width) + kVectorBytes)
    {
        for (int r = m_nFirstRow; r <= m_nLastRow; ++r) {
            for (int c = m_nFirstColumn; c <= m_nLastColumn; ++c) {
                int d = kCap;
                if (buffer[Index(r, c)] != 0)
                    d = 0;
                else {
                    if (r > m_nFirstRow)
                        d = std::min(d, At(r - 1, c) + 1);
                    if (c > m_nFirstColumn)
                        d = std::min(d, At(r, c - 1) + 1);
                }
                m_distance[Index(r, c)] = static_cast<uint8_t>(d);
            }
        }
        for (int r = m_nLastRow; r >= m_nFirstRow; --r) {
            for (int c = m_nLastColumn; c >= m_nFirstColumn; --c) {
                int d = At(r, c);
                if (r < m_nLastRow)
                    d = std::min(d, At(r + 1, c) + 1);
                if (c < m_nLastColumn)
                    d = std::min(d, At(r, c + 1) + 1);
                m_distance[Index(r, c)] = static_cast<uint8_t>(d);
            }
        }
        // |k - (kCap - 1)|, then 255 to pad the last register.
        m_ramp.fill(255);
        for (int k = 0; k < 2 * kCap - 1; ++k)
            m_ramp[static_cast<size_t>(k)] = static_cast<uint8_t>(std::abs(k - (kCap - 1)));
    }

    int At(int row, int column) const { return m_distance[Index(row, column)]; }

    // Lowers the distances around a cell that has just become occupied.
    void Occupy(int row, int column)
    {
        const int top = std::min(m_nLastRow, row + kCap - 1);
        for (int r = std::max(m_nFirstRow, row - (kCap - 1)); r <= top; ++r) {
            const int rise = std::abs(r - row);
            const int span = kCap - 1 - rise;
            const int first = std::max(m_nFirstColumn, column - span);
            const int count = std::min(m_nLastColumn, column + span) - first + 1;
            uint8_t *cells = &m_distance[Index(r, first)];
            const uint8_t *ramp = &m_ramp[static_cast<size_t>(kCap - 1 - (column - first))];
            const __m128i base = _mm_set1_epi8(static_cast<char>(rise));
            const __m128i lanes
                = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
            for (int c = 0; c < count; c += kVectorBytes) {
                // Lanes past the span (or past the kept columns) compare with 255: unchanged.
                const __m128i outside
                    = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(c - count + 1)),
                                     _mm_sub_epi8(_mm_setzero_si128(), lanes));
                const __m128i near = _mm_or_si128(
                    _mm_adds_epu8(base,
                                  _mm_loadu_si128(reinterpret_cast<const __m128i *>(ramp + c))),
                    outside);
                auto *target = reinterpret_cast<__m128i *>(cells + c);
                _mm_storeu_si128(target, _mm_min_epu8(_mm_loadu_si128(target), near));
            }
        }
    }

private:
    static constexpr int kVectorBytes = 16;

    size_t Index(int row, int column) const
    {
        return static_cast<size_t>(row) * static_cast<size_t>(m_nWidth)
            + static_cast<size_t>(column);
    }

    int m_nWidth;
    int m_nFirstRow;
    int m_nLastRow;
    int m_nFirstColumn;
    int m_nLastColumn;
    std::vector<uint8_t> m_distance;
    std::array<uint8_t, 2 * kCap - 1 + kVectorBytes> m_ramp {};
};

bool AnyOccupied(const uint8_t *buffer, int width, int rowLow, int rowHigh, int columnLow,
                 int columnHigh)
{
    for (int r = rowLow; r <= rowHigh; ++r) {
        const uint8_t *row = buffer + static_cast<size_t>(r) * static_cast<size_t>(width);
        if (std::any_of(row + columnLow, row + columnHigh + 1,
                        [](uint8_t cell) { return cell != 0; }))
            return true;
    }
    return false;
}

} // namespace

void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed,
         GeneratorProgress *pProgress)
{
    if (!buffer || height <= 0 || width <= 0 || particles <= 0)
        return;
    const double side = radius <= 1.0 ? radius * height : radius;
    if (!(side >= 1.0) || side > height || side > width)
        return;
    const int d = static_cast<int>(side);
    const int cr = height / 2;
    const int cc = width / 2;
    const int rowLow = cr - d - 1;
    const int rowHigh = cr + d;
    const int columnLow = cc - d - 1;
    const int columnHigh = cc + d;
    if (rowLow < 0 || rowHigh >= height || columnLow < 0 || columnHigh >= width)
        return;
    if (!AnyOccupied(buffer, width, rowLow, rowHigh, columnLow, columnHigh))
        return;

    auto cell = [buffer, width](int row, int column) -> uint8_t & {
        return buffer[static_cast<size_t>(row) * static_cast<size_t>(width)
                      + static_cast<size_t>(column)];
    };
    DistanceMap distance(buffer, height, width, rowLow, rowHigh, columnLow, columnHigh);
    Draws draws(seed, Tables());
    if (pProgress)
        pProgress->Start(particles);
    for (int p = 0; p < particles; ++p) {
        // The particle before this one is done, stuck or refused at its launch cell.
        if (pProgress && p > 0)
            pProgress->Advance(1);
        const int side8 = draws.Next() % 8;
        const int t = draws.Next() % d;
        const int launchRow[8] = {cr + t, cr - d, cr + t, cr + d, cr - t, cr - d, cr - t, cr + d};
        const int launchColumn[8]
            = {cc - d, cc + t, cc + d, cc + t, cc - d, cc - t, cc + d, cc - t};
        int row = launchRow[side8];
        int column = launchColumn[side8];
        if (cell(row, column) != 0)
            continue;
        for (;;) {
            const int gap = distance.At(row, column);
            if (gap <= 1)
                break;
            // No cluster within `reach` steps, and at most the nearer bound of each axis can
            // refuse a step.
            const int reach = std::min(gap - 1,
                                       std::min(std::max(rowHigh - row, row - rowLow),
                                                std::max(columnHigh - column, column - columnLow)));
            row = AlongAxis(row, draws.RowSteps(), reach, rowLow, rowHigh);
            column = AlongAxis(column, draws.ColumnSteps(), reach, columnLow, columnHigh);
            draws.Skip(reach);
        }
        cell(row, column) = 255;
        distance.Occupy(row, column);
    }
    if (pProgress)
        pProgress->Advance(1);
}

} // namespace fast
