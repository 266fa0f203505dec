// Reading selection hit records, sizing their buffer, scaling mouse points.
#include <gtest/gtest.h>

#include <vector>

#include "model/render/pick_hits.h"

namespace {

// Hit records with one name each: (min depth, name).
std::vector<uint32_t> Records(std::initializer_list<std::pair<uint32_t, uint32_t>> hits) {
    std::vector<uint32_t> b;
    for (const auto& [depth, name] : hits) {
        b.push_back(1);
        b.push_back(depth);
        b.push_back(depth + 5);
        b.push_back(name);
    }
    return b;
}

TEST(PickHitsTest, SmallestMinimumDepthWins) {
    const auto b = Records({{900, 4}, {300, 7}, {500, 2}});
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 3), 7);
}

TEST(PickHitsTest, DepthsCompareUnsigned) {
    const auto b = Records({{0x80000000u, 1}, {0x7FFFFFFFu, 2}, {0xFFFFFFFFu, 3}});
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 3), 2);
}

TEST(PickHitsTest, EqualDepthsKeepTheEarlierRecord) {
    const auto b = Records({{100, 5}, {100, 6}});
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 2), 5);
}

TEST(PickHitsTest, NonPickableNearestGivesMinusOne) {
    const auto b = Records({{500, 3}, {200, NotPickableName}});
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 2), -1);
    const auto above = Records({{10, 12345}});
    EXPECT_EQ(NearestPickedSegment(above.data(), above.size(), 1), -1);
    const auto zero = Records({{10, 0}});
    EXPECT_EQ(NearestPickedSegment(zero.data(), zero.size(), 1), 0);
}

TEST(PickHitsTest, NoHitsAndOverflowAreNotRead) {
    const auto b = Records({{1, 3}});
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 0), -1);
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), -1), -1);
    EXPECT_EQ(NearestPickedSegment(nullptr, 0, 3), -1);
}

TEST(PickHitsTest, RecordsBeyondTheBufferAreIgnored) {
    auto b = Records({{50, 1}, {10, 2}});
    // A hit count larger than the buffer holds: only whole records are read.
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 9), 2);
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size() - 1, 2), 1);
}

TEST(PickHitsTest, TheLastNameOfADeeperStackIsThePrimitivesName) {
    const std::vector<uint32_t> b = {2, 40, 50, NotPickableName, 6, 1, 90, 95, 1};
    EXPECT_EQ(NearestPickedSegment(b.data(), b.size(), 2), 6);
}

TEST(PickHitsTest, BufferHoldsARecordPerNameChange) {
    EXPECT_EQ(PickBufferWords(0), 2048u);
    EXPECT_EQ(PickBufferWords(-5), 2048u);
    EXPECT_EQ(PickBufferWords(511), 2048u);
    EXPECT_EQ(PickBufferWords(512), 2052u);
    EXPECT_EQ(PickBufferWords(20003), 80016u);
}

TEST(PickHitsTest, MousePointsScaleToViewportPixels) {
    ViewportPoint p = ScaleMouseToViewport(100, 50, 400, 300, 800, 600);
    EXPECT_EQ(p.X, 200);
    EXPECT_EQ(p.Y, 100);
    p = ScaleMouseToViewport(101, 33, 400, 300, 600, 450);  // 1.5: 151.5 -> 152, 49.5 -> 50
    EXPECT_EQ(p.X, 152);
    EXPECT_EQ(p.Y, 50);
    p = ScaleMouseToViewport(7, 9, 640, 480, 640, 480);
    EXPECT_EQ(p.X, 7);
    EXPECT_EQ(p.Y, 9);
    p = ScaleMouseToViewport(7, 9, 0, 0, 640, 480);  // no window size yet
    EXPECT_EQ(p.X, 7);
    EXPECT_EQ(p.Y, 9);
}

}  // namespace
