// The leaf's maps on the integer grid, and what the painter is asked to paint.

#include "fractals/Leaf.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PaintCall
{
    int column, row;
    uint32_t colour;
    bool operator==(const PaintCall &) const = default;
};

std::vector<PaintCall> RecordLeaf(uint32_t seed)
{
    std::vector<PaintCall> calls;
    Leaf(
        [&calls](int column, int row, uint32_t colour) {
            calls.push_back({column, row, colour});
        },
        seed);
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
    const std::vector<PaintCall> calls = RecordLeaf(7);
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
    EXPECT_EQ(RecordLeaf(99), RecordLeaf(99));
    EXPECT_NE(RecordLeaf(99), RecordLeaf(100));
    // This seed's first draw is 32767, which picks no map of its own.
    const std::vector<PaintCall> first = RecordLeaf(4028364353u);
    EXPECT_GT(first.size(), 512u * 512u);
}

} // namespace
