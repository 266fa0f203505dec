// Terrain Poly Reducer: the counts the dialog shows, the range, the sampled
// points, the spacing that keeps the terrain's extent, and save and load.

#include <filesystem>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/terrain_poly_reducer.h"
#include "trackdoc/track_file.h"

namespace {

// A terrain of w by d points, height(i, j) = i + 1000 j.
void MakeTerrain(int32_t w, int32_t d, float spacing) {
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 2);
    gHasTerrain = gHasWater = true;
    gTerrainText1 = "ground.bmp";
    gTerrainWidth = w;
    gTerrainDepth = d;
    gTerrainSpacingX = gTerrainSpacingZ = spacing;
    gTerrainHeights.Resize(w, d);
    for (int32_t j = 0; j < d; ++j)
        for (int32_t i = 0; i < w; ++i) gTerrainHeights(i, j) = float(i) + 1000.0f * float(j);
}

}  // namespace

using TerrainPolyReducerTest = ToolTest;

TEST_F(TerrainPolyReducerTest, CountsProposalAndRange) {
    MakeTerrain(1024, 1024, 1.0f);
    EXPECT_EQ(CurrentTerrainGridText(), "1024 x 1024");
    EXPECT_EQ(CurrentTerrainPolysText(), "2093058");  // the test's C locale groups no digits
    EXPECT_EQ(ProposedTerrainWidth(), 512);
    EXPECT_EQ(TerrainCountsFor(512, 512).NewPolys, "522242");
    EXPECT_EQ(TerrainCountsFor(512, 512).SavedPolys, "1570816");
    EXPECT_EQ(TerrainCountsFor(32, 512).NewPolys, "31682");
    for (double bad : {31.0, 513.0, 0.0}) {
        EXPECT_EQ(TerrainCountsFor(bad, 100).NewPolys, "-") << bad;
        EXPECT_EQ(TerrainCountsFor(100, bad).SavedPolys, "-") << bad;
    }
    EXPECT_EQ(TerrainPolyCount(100000, 100000), 19999600002) << "no 32-bit wrap";
    gTerrainWidth = 601;
    EXPECT_EQ(ProposedTerrainWidth(), 300);
}

TEST_F(TerrainPolyReducerTest, HalfSizeTakesEverySecondPointAndKeepsTheExtent) {
    MakeTerrain(1024, 1024, 1.0f);
    ASSERT_TRUE(RunTerrainPolyReducer(512, 512));
    const std::string path = TestTempFile("gw_terrain_reducer_test.vxtrack");
    ASSERT_TRUE(SaveTrackFile(path));
    ASSERT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
    EXPECT_EQ(gTerrainWidth, 512);
    EXPECT_EQ(gTerrainDepth, 512);
    EXPECT_EQ(gTerrainSpacingX, 2.0f);
    EXPECT_EQ(gTerrainSpacingZ, 2.0f);
    EXPECT_EQ(gTerrainHeights(1, 0), 2.0f);
    EXPECT_EQ(gTerrainHeights(3, 5), 10006.0f);
    EXPECT_EQ(gTerrainHeights(511, 511), 1023022.0f);
    EXPECT_TRUE(gHasTerrain && gHasWater);
    EXPECT_EQ(gTerrainText1, "ground.bmp");
    EXPECT_TRUE(gRemodelFlags.RebuildGround && gRemodelFlags.RebuildPrefabs && !gRemodelFlags.RebuildPath);
}

TEST_F(TerrainPolyReducerTest, FractionalStepsGrowingGridsAndBadInput) {
    MakeTerrain(601, 100, 2.0f);  // 300 points keep the 1202 m extent
    EXPECT_EQ(TerrainStep(601, 300), 2.003333f);
    EXPECT_EQ(TerrainSourceIndex(3, TerrainStep(1000, 300), 1000), 10) << "3 x 3.333333 takes point 10";
    ASSERT_TRUE(ReduceTerrain(300, 200));
    EXPECT_FLOAT_EQ(gTerrainSpacingX, 601.0f * 2.0f / 300.0f);
    EXPECT_FLOAT_EQ(gTerrainSpacingZ, 1.0f);
    EXPECT_EQ(gTerrainHeights(299, 0), 598.0f);
    EXPECT_EQ(gTerrainHeights(0, 3), 1000.0f) << "step 0.5 takes each old row twice";
    EXPECT_EQ(gTerrainHeights(0, 199), 99000.0f);
    EXPECT_EQ(gTerrainHeights(300, 3), 0.0f) << "the spare column stays 0";

    EXPECT_FALSE(RunTerrainPolyReducer(31, 50));
    EXPECT_FALSE(RunTerrainPolyReducer(50, 513));
    EXPECT_EQ(gTerrainWidth, 300);
    EXPECT_FALSE(gDocumentChanged);

    ClearTrackDocument();  // no terrain: a flat grid of the chosen size
    EXPECT_EQ(CurrentTerrainPolysText(), "0");
    ASSERT_TRUE(ReduceTerrain(64, 32));
    EXPECT_EQ(gTerrainSpacingX, 16.0f);
    EXPECT_EQ(gTerrainSpacingZ, 32.0f);
    EXPECT_EQ(gTerrainHeights(10, 10), 0.0f);
}
