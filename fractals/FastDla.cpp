#include "fractals/FastDla.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace fast {

namespace {

constexpr uint32_t kMultiplier = 214013;
constexpr uint32_t kIncrement = 2531011;

// A step's direction is bits 16 and 17 of the generator's state, and the low 18 bits of the
// state run through one cycle of 2^18 values on their own. So the sum of any run of steps is a
// difference of two prefix sums along that cycle.
constexpr int kCycleBits = 18;
constexpr uint32_t kCycle = 1u << kCycleBits;
constexpr uint32_t kCycleMask = kCycle - 1;

// Distances to the cluster are kept up to this cap, so a walker jumps at most kCap - 1 steps.
constexpr int kCap = 48;
constexpr int kMaxJump = kCap - 1;

constexpr int kRowStep[4] = {1, 0, -1, 0};
constexpr int kColumnStep[4] = {0, 1, 0, -1};

struct Displacement
{
    int32_t row;
    int32_t column;
};

struct StepTables
{
    // position[s]: where the 18-bit state s stands in the cycle that starts at 0.
    std::vector<uint32_t> position;
    // prefix[i]: the sum of the steps drawn from cycle position 0 up to position i, run on
    // past the end of the cycle by one longest jump.
    std::vector<Displacement> prefix;
    // state after k draws = jumpMultiplier[k] * state + jumpIncrement[k].
    std::array<uint32_t, kMaxJump + 1> jumpMultiplier;
    std::array<uint32_t, kMaxJump + 1> jumpIncrement;
};

const StepTables &Tables()
{
    static const std::unique_ptr<const StepTables> tables = [] {
        auto built = std::make_unique<StepTables>();
        built->position.resize(kCycle);
        built->prefix.resize(kCycle + kMaxJump + 1);
        uint32_t state = 0;
        Displacement sum {0, 0};
        for (uint32_t i = 0; i < kCycle + kMaxJump; ++i) {
            if (i < kCycle)
                built->position[state] = i;
            built->prefix[i] = sum;
            state = (state * kMultiplier + kIncrement) & kCycleMask;
            const uint32_t direction = (state >> 16) & 3;
            sum.row += kRowStep[direction];
            sum.column += kColumnStep[direction];
        }
        built->prefix[kCycle + kMaxJump] = sum;
        uint32_t multiplier = 1;
        uint32_t increment = 0;
        for (int k = 0; k <= kMaxJump; ++k) {
            built->jumpMultiplier[static_cast<size_t>(k)] = multiplier;
            built->jumpIncrement[static_cast<size_t>(k)] = increment;
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

    // Draws `count` (1..kMaxJump) steps at once and returns their sum.
    Displacement Skip(int count)
    {
        const Displacement from = m_tables.prefix[m_nPosition];
        const Displacement to = m_tables.prefix[m_nPosition + static_cast<uint32_t>(count)];
        m_nState = m_tables.jumpMultiplier[static_cast<size_t>(count)] * m_nState
            + m_tables.jumpIncrement[static_cast<size_t>(count)];
        m_nPosition = (m_nPosition + static_cast<uint32_t>(count)) & kCycleMask;
        return {to.row - from.row, to.column - from.column};
    }

private:
    const StepTables &m_tables;
    uint32_t m_nState;
    uint32_t m_nPosition;
};

// City-block distance from every cell to the nearest occupied cell, capped at kCap. A free
// cell at distance 1 is where a walker sticks; one at distance d cannot stick within d - 1
// steps. Cells outside the buffer do not exist, which is the edge rule of the sticking test.
class DistanceMap
{
public:
    DistanceMap(const uint8_t *buffer, int height, int width)
        : m_nWidth(width)
        , m_nHeight(height)
        , m_distance(static_cast<size_t>(height) * static_cast<size_t>(width))
    {
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                int d = kCap;
                if (buffer[Index(r, c)] != 0)
                    d = 0;
                else {
                    if (r > 0)
                        d = std::min(d, At(r - 1, c) + 1);
                    if (c > 0)
                        d = std::min(d, At(r, c - 1) + 1);
                }
                m_distance[Index(r, c)] = static_cast<uint8_t>(d);
            }
        }
        for (int r = height - 1; r >= 0; --r) {
            for (int c = width - 1; c >= 0; --c) {
                int d = At(r, c);
                if (r + 1 < height)
                    d = std::min(d, At(r + 1, c) + 1);
                if (c + 1 < width)
                    d = std::min(d, At(r, c + 1) + 1);
                m_distance[Index(r, c)] = static_cast<uint8_t>(d);
            }
        }
        for (int k = 0; k < 2 * kCap - 1; ++k)
            m_ramp[static_cast<size_t>(k)] = static_cast<uint8_t>(std::abs(k - (kCap - 1)));
    }

    int At(int row, int column) const { return m_distance[Index(row, column)]; }

    // Lowers the distances around a cell that has just become occupied.
    void Occupy(int row, int column)
    {
        const int top = std::min(m_nHeight - 1, row + kCap - 1);
        for (int r = std::max(0, row - (kCap - 1)); r <= top; ++r) {
            const int rise = std::abs(r - row);
            const int span = kCap - 1 - rise;
            const int first = std::max(0, column - span);
            const int last = std::min(m_nWidth - 1, column + span);
            uint8_t *cells = &m_distance[Index(r, 0)];
            const uint8_t *ramp = &m_ramp[static_cast<size_t>(kCap - 1 - column)];
            const auto base = static_cast<uint8_t>(rise);
            for (int c = first; c <= last; ++c)
                cells[c] = std::min(cells[c], static_cast<uint8_t>(base + ramp[c]));
        }
    }

private:
    size_t Index(int row, int column) const
    {
        return static_cast<size_t>(row) * static_cast<size_t>(m_nWidth)
            + static_cast<size_t>(column);
    }

    int m_nWidth;
    int m_nHeight;
    std::vector<uint8_t> m_distance;
    std::array<uint8_t, 2 * kCap - 1> m_ramp {};
};

} // namespace

void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed)
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
    bool anyOccupied = false;
    for (int r = rowLow; r <= rowHigh && !anyOccupied; ++r) {
        const uint8_t *row = buffer + static_cast<size_t>(r) * static_cast<size_t>(width);
        anyOccupied = std::any_of(row + columnLow, row + columnHigh + 1,
                                  [](uint8_t cell) { return cell != 0; });
    }
    if (!anyOccupied)
        return;

    DistanceMap distance(buffer, height, width);
    Draws draws(seed, Tables());
    for (int p = 0; p < particles; ++p) {
        const int side8 = draws.Next() % 8;
        const int t = draws.Next() % d;
        int row = 0;
        int column = 0;
        switch (side8) {
        case 0:
            row = cr + t;
            column = cc - d;
            break;
        case 1:
            row = cr - d;
            column = cc + t;
            break;
        case 2:
            row = cr + t;
            column = cc + d;
            break;
        case 3:
            row = cr + d;
            column = cc + t;
            break;
        case 4:
            row = cr - t;
            column = cc - d;
            break;
        case 5:
            row = cr - d;
            column = cc - t;
            break;
        case 6:
            row = cr - t;
            column = cc + d;
            break;
        default:
            row = cr + d;
            column = cc - t;
            break;
        }
        if (buffer[static_cast<size_t>(row) * static_cast<size_t>(width)
                   + static_cast<size_t>(column)]
            != 0)
            continue;
        for (;;) {
            const int gap = distance.At(row, column);
            if (gap <= 1)
                break;
            // No clamp at the walk square's edge and no cluster within `reach` steps.
            const int reach = std::min(
                {gap - 1, rowHigh - row, row - rowLow, columnHigh - column, column - columnLow});
            if (reach > 0) {
                const Displacement moved = draws.Skip(reach);
                row += moved.row;
                column += moved.column;
            } else {
                const int m = draws.Next() & 3;
                row = std::clamp(row + kRowStep[m], rowLow, rowHigh);
                column = std::clamp(column + kColumnStep[m], columnLow, columnHigh);
            }
        }
        buffer[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)]
            = 255;
        distance.Occupy(row, column);
    }
}

} // namespace fast
