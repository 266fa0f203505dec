// Terrain heights, the append procedures and the segment selection.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "trackdoc/document_procs.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

class TerrainTest : public ::testing::Test {
protected:
    // A 3 x 3 grid spaced 10 apart: point (0, 0) at (-10, -10), (2, 2) at (10, 10).
    void SetUp() override {
        ClearTrackDocument();
        gHasTerrain = true;
        gTerrainWidth = 3;
        gTerrainDepth = 3;
        gTerrainSpacingX = 10.0f;
        gTerrainSpacingZ = 10.0f;
        gTerrainHeights.Resize(3, 3);
        const float h[3][3] = {{1, 2, 3}, {4, -3, 6}, {7, 8, 9}};  // [j][i]
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) gTerrainHeights(i, j) = h[j][i];
    }
    static float At(float x, float z) { return GetGroundHeightAt(MakeVector(x, 123.0f, z)); }
};

TEST_F(TerrainTest, CellHeightsWaterAndOutside) {
    EXPECT_EQ(GetTerrainCellHeight(0, 0), 1.0f);
    EXPECT_EQ(GetTerrainCellHeight(2, 1), 6.0f);
    EXPECT_EQ(GetTerrainCellHeight(1, 1), -3.0f);
    gHasWater = true;
    EXPECT_EQ(GetTerrainCellHeight(1, 1), 0.0f);
    for (auto [i, j] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {INT32_MAX, 0}, {0, INT32_MIN}})
        EXPECT_EQ(GetTerrainCellHeight(i, j), 0.0f);
    gHasTerrain = false;
    EXPECT_EQ(GetTerrainCellHeight(0, 0), 0.0f);
}

TEST_F(TerrainTest, GroundHeightOnGridPointsAndInsideCells) {
    EXPECT_FLOAT_EQ(At(-10, -10), 1.0f);
    EXPECT_FLOAT_EQ(At(10, 10), 9.0f);
    EXPECT_FLOAT_EQ(At(0, 10), 8.0f);
    EXPECT_FLOAT_EQ(At(10, -10), 3.0f);
    // On the diagonal of cell (0, 0): both triangles give the diagonal's line.
    EXPECT_FLOAT_EQ(At(-5, -5), (1.0f + -3.0f) / 2);
    // First triangle (u > v): corners (0,0)=1, (1,0)=2, (1,1)=-3.
    const float u = 0.7f, v = 0.2f;
    const float plane1 = 1 + u * (2 - 1) + v * (-3 - 2);
    EXPECT_NEAR(At(-10 + 10 * u, -10 + 10 * v), plane1, 1e-5);
    // Second triangle (u < v): corners (0,0)=1, (0,1)=4, (1,1)=-3.
    const float plane2 = 1 + u * (4 - 1) + v * (-3 - 4);  // u along Z here, v along X
    EXPECT_NEAR(At(-10 + 10 * v, -10 + 10 * u), plane2, 1e-5);
}

TEST_F(TerrainTest, WaterReadsNegativeCornersAsZero) {
    gHasWater = true;
    EXPECT_FLOAT_EQ(At(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(At(-5, -5), 0.5f);
}

TEST_F(TerrainTest, OutsideTheGridBlendsTowardsZeroThenIsZero) {
    // Half a cell beyond the last column: halfway between 9 and the missing 0.
    EXPECT_FLOAT_EQ(At(15, 10), 4.5f);
    EXPECT_FLOAT_EQ(At(-15, -10), 0.5f);
    EXPECT_EQ(At(100, 0), 0.0f);
    EXPECT_EQ(At(0, -100), 0.0f);
    EXPECT_EQ(At(3e38f, 0), 0.0f);
    EXPECT_EQ(At(-3e38f, 3e38f), 0.0f);
    EXPECT_EQ(At(std::numeric_limits<float>::infinity(), 0), 0.0f);
    EXPECT_EQ(At(std::numeric_limits<float>::quiet_NaN(), 0), 0.0f);
}

TEST_F(TerrainTest, DegenerateGridsReadAsFlatGround) {
    gTerrainSpacingX = 0.0f;
    EXPECT_EQ(At(0, 0), 0.0f);
    gTerrainSpacingX = 10.0f;
    gTerrainSpacingZ = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(At(0, 0), 0.0f);
    gTerrainSpacingZ = 1e-30f;  // the cell index of any ordinary point overflows
    EXPECT_EQ(At(0, 5), 0.0f);
    gTerrainSpacingZ = 10.0f;
    gTerrainWidth = 0;
    EXPECT_EQ(At(0, 0), 0.0f);
    gTerrainWidth = 3;
    gHasTerrain = false;
    EXPECT_EQ(At(0, 0), 0.0f);
    // A grid array smaller than the stated size is never read beyond.
    gHasTerrain = true;
    gTerrainWidth = 50;
    gTerrainDepth = 50;
    EXPECT_EQ(GetTerrainCellHeight(40, 40), 0.0f);
    EXPECT_FALSE(std::isnan(At(100, 100)));
    gTerrainHeights.Resize(-5, 2);  // a negative side holds no points
    EXPECT_EQ(gTerrainHeights.Columns, 1);
    EXPECT_EQ(gTerrainHeights.Rows, 3);
    EXPECT_EQ(gTerrainHeights.Values.size(), 3u);
}

TEST_F(TerrainTest, SingleGridPointIsCentredOnTheOrigin) {
    gTerrainWidth = 1;
    gTerrainDepth = 1;
    gTerrainHeights.Resize(1, 1);
    gTerrainHeights(0, 0) = 5.0f;
    EXPECT_FLOAT_EQ(At(0, 0), 5.0f);
    EXPECT_FLOAT_EQ(At(5, 0), 2.5f);
}

TEST(AppendProcedures, FreeNodesAndSupportBeams) {
    ClearTrackDocument();
    EXPECT_EQ(AddFreeNode(MakeVector(1, 2, 3)), 0);
    EXPECT_EQ(gFreeNodeCount, 1);
    EXPECT_EQ(AddFreeNode(MakeVector(4, 5, 6)), 1);
    EXPECT_EQ(gFreeNodeCount, 2);
    EXPECT_GE(gFreeNodes.size(), 2u);
    EXPECT_EQ(gFreeNodes[1].Y, 5.0f);
    EXPECT_EQ(gFreeNodes[0].Z, 3.0f);

    gTubes[0].Reserved = 99;  // whatever the spare record held
    EXPECT_EQ(AddSupportBeam(0, 1, TubeXLarge, 0.5f), 0);
    EXPECT_EQ(AddSupportBeam(1, 7, TubeWood2x2, -1.0f), 1);
    EXPECT_EQ(gTubeCount, 2);
    const SupportTube& t = gTubes[0];
    EXPECT_EQ(t.EndAKind, 2);
    EXPECT_EQ(t.EndBKind, 2);
    EXPECT_EQ(t.EndASegment, 0);
    EXPECT_EQ(t.EndBSegment, 0);
    EXPECT_EQ(t.EndAIndex, 0);
    EXPECT_EQ(t.EndBIndex, 1);
    EXPECT_EQ(t.TubeType, TubeXLarge);
    EXPECT_EQ(t.Reserved, 0);
    EXPECT_EQ(t.Rotation, 0.5f);
    EXPECT_EQ(gTubes[1].EndBIndex, 7);  // the free node is not checked
}

TEST(SegmentSelection, ClearSizesToTheSegmentCount) {
    ClearTrackDocument();
    gSegmentCount = 5;
    gSegmentSelected.assign(2, true);
    ClearSegmentSelection();
    ASSERT_EQ(gSegmentSelected.size(), 6u);
    for (int i = 0; i <= 5; ++i) EXPECT_FALSE(gSegmentSelected[i]);
    gSegmentSelected[3] = true;
    EXPECT_TRUE(IsSegmentSelected(3));
    EXPECT_FALSE(IsSegmentSelected(-1));
    EXPECT_FALSE(IsSegmentSelected(6));
    EXPECT_FALSE(IsSegmentSelected(1000));
}

}  // namespace
