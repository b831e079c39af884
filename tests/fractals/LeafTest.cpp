// The leaf's maps on the integer grid, and what the painter is asked to paint.

#include "fractals/Leaf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct PaintCall
{
    int column, row;
    uint32_t colour;
    bool operator==(const PaintCall &) const = default;
};

template<typename Source> std::vector<PaintCall> RecordLeaf(Source source)
{
    std::vector<PaintCall> calls;
    Leaf(
        [&calls](int column, int row, uint32_t colour) {
            calls.push_back({column, row, colour});
        },
        source);
    return calls;
}

// The leaf's own points, after the clear.
std::vector<PaintCall> LeafPoints(const LeafDraw &draw)
{
    std::vector<PaintCall> calls = RecordLeaf(draw);
    calls.erase(calls.begin(), calls.begin() + 512 * 512);
    return calls;
}

LeafPoint Repeat(int map, int times)
{
    LeafPoint p = kLeafStart;
    for (int i = 0; i < times; ++i)
        p = LeafStep(map, p);
    return p;
}

TEST(LeafTest, MapsOnTheGrid)
{
    EXPECT_EQ(LeafStep(1, kLeafStart), (LeafPoint {543, 231}));
    EXPECT_EQ(Repeat(0, 50), (LeafPoint {180, 400}));
    EXPECT_EQ(Repeat(1, 500), (LeafPoint {260, 94}));
    EXPECT_EQ(LeafStep(1, {260, 94}), (LeafPoint {260, 94}));
    EXPECT_EQ(Repeat(2, 500), (LeafPoint {162, 342}));
    EXPECT_EQ(Repeat(3, 500), (LeafPoint {180, 398}));
}

TEST(LeafTest, ClearsThenPaintsTheLeaf)
{
    const std::vector<PaintCall> calls = RecordLeaf(7u);
    ASSERT_GT(calls.size(), 512u * 512u);
    std::size_t k = 0;
    for (int column = 0; column < 512; ++column)
        for (int row = 0; row < 512; ++row, ++k)
            ASSERT_EQ(calls[k], (PaintCall {column, row, 255}));

    const std::size_t points = calls.size() - k;
    EXPECT_LE(points, 9970u);
    EXPECT_GT(points, 9000u);
    for (; k < calls.size(); ++k) {
        const PaintCall &c = calls[k];
        ASSERT_EQ(c.colour, 21u);
        ASSERT_TRUE(c.column >= 140 && c.column <= 300) << c.column;
        ASSERT_TRUE(c.row >= 100 && c.row <= 430) << c.row;
    }
}

TEST(LeafTest, SameSeedSameLeaf)
{
    EXPECT_EQ(RecordLeaf(99u), RecordLeaf(99u));
    EXPECT_NE(RecordLeaf(99u), RecordLeaf(100u));
}

TEST(LeafTest, ADrawThatAlwaysPicksOneMapPaintsOnlyItsFixedPoint)
{
    // A draw of 32767 (d = 100) has no map of its own: the first step takes map 0 and every
    // later one repeats it, settling on map 0's fixed point (180, 400). A draw of 16383
    // (d = 49) always takes map 1, whose fixed point is (260, 94). Both settle within the
    // 30 unpainted steps; a point (x, y) is painted at column x + 30, stored row 512 - y.
    const std::pair<int, PaintCall> cases[] = {{32767, {210, 112, 21}}, {16383, {290, 418, 21}}};
    for (const auto &[draw, fixed] : cases) {
        const std::vector<PaintCall> points = LeafPoints([draw = draw] { return draw; });
        ASSERT_EQ(points.size(), 9970u) << draw;
        EXPECT_EQ(std::count(points.begin(), points.end(), fixed), 9970) << draw;
    }
}

} // namespace
