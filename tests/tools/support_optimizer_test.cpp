// Support Optimizer: straight same-type tubes merged at their free node, the
// angle limit, the "1 x 4" beams that never merge and end last, the clean-up
// after, and tubes naming missing records left alone.

#include "tools/support_optimizer.h"

#include <cmath>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

class SupportOptimizerTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
        gFreeNodeCount = 0;
        gFreeNodes.clear();
        gTubeCount = 0;
        gTubes.clear();
        gFooters[0].Position = MakeVector(0, 0, 0);
        gFooters[1].Position = MakeVector(30, 0, 0);
    }
    static int32_t Tube(int32_t kindA, int32_t a, int32_t kindB, int32_t b, int32_t type = TubeMedium) {
        const int32_t t = AddSupportBeam(0, 0, type, 0.25f);
        gTubes[t].EndAKind = kindA, gTubes[t].EndAIndex = a;
        gTubes[t].EndBKind = kindB, gTubes[t].EndBIndex = b;
        return t;
    }
    static int32_t Beam(int32_t a, int32_t b, int32_t type = TubeMedium) {
        return Tube(EndFreeNode, a, EndFreeNode, b, type);
    }
    // Two tubes meeting at free node 1 (the origin) at the given angle, from node 0 and to node 2.
    static void Bend(double degrees, int32_t type1 = TubeMedium, int32_t type2 = TubeMedium) {
        const double off = (180.0 - degrees) * kPi / 180.0;
        AddFreeNode(MakeVector(-10, 5, 0));
        AddFreeNode(MakeVector(0, 5, 0));
        AddFreeNode(MakeVector(static_cast<float>(10 * std::cos(off)), 5, static_cast<float>(10 * std::sin(off))));
        Beam(0, 1, type1);
        Beam(1, 2, type2);
    }
};

TEST_F(SupportOptimizerTest, OfferedFromThreeTubes) {
    EXPECT_FALSE(OptimizerOkEnabled(2));
    EXPECT_STREQ(OptimizerInfoText(2),
                 "There are not enough support tubes to optimize.  There must be at least 3 tubes.");
    EXPECT_TRUE(OptimizerOkEnabled(3));
    EXPECT_STREQ(OptimizerInfoText(3), "This will merge tubes that are in a straight line of the same type.");
}

TEST_F(SupportOptimizerTest, AStraightChainBecomesOneTubeAndTheNodesGo) {
    AddFreeNode(MakeVector(10, 0, 0));
    AddFreeNode(MakeVector(20, 0, 0));
    Tube(EndFooter, 0, EndFreeNode, 0);
    Beam(1, 0);  // reversed: the merge follows whichever ends meet
    Tube(EndFreeNode, 1, EndFooter, 1);
    ASSERT_TRUE(RunSupportOptimizer(true));
    ASSERT_EQ(gTubeCount, 1);
    const SupportTube& t = gTubes[0];
    EXPECT_EQ(t.EndAKind, EndFooter);
    EXPECT_EQ(t.EndAIndex, 0);
    EXPECT_EQ(t.EndBKind, EndFooter);
    EXPECT_EQ(t.EndBIndex, 1);
    EXPECT_EQ(t.Rotation, 0.25f) << "the kept tube keeps its own fields";
    EXPECT_EQ(gFreeNodeCount, 0);
    EXPECT_EQ(gFooterCount, 2);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildFooters);
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(SavesAndReloadsValid());
}

TEST_F(SupportOptimizerTest, OnlyNearlyStraightTubesMerge) {
    Bend(179.0);
    EXPECT_EQ(OptimizeTubes(), 0);
    EXPECT_EQ(gTubeCount, 2);
    SetUp();
    Bend(179.5);
    EXPECT_EQ(OptimizeTubes(), 1);
    ASSERT_EQ(gTubeCount, 1);
    EXPECT_EQ(gTubes[0].EndAIndex, 0);
    EXPECT_EQ(gTubes[0].EndBIndex, 2);
    EXPECT_EQ(gTubes[1].TubeType, 0) << "the freed record is zeroed";
    SetUp();
    Bend(180.0, TubeMedium, TubeLarge);
    EXPECT_EQ(OptimizeTubes(), 0) << "different types stay";
}

TEST_F(SupportOptimizerTest, OneByFourBeamsNeverMergeAndStandLast) {
    Bend(180.0, TubeWood1x4, TubeWood1x4);
    AddFreeNode(MakeVector(50, 5, 0));
    Beam(3, 2, TubeSmall);
    Bend(180.0, TubeWood1x4, TubeMedium);
    EXPECT_EQ(OptimizeTubes(), 0);
    ASSERT_EQ(gTubeCount, 5);
    const int32_t types[5] = {TubeSmall, TubeMedium, TubeWood1x4, TubeWood1x4, TubeWood1x4};
    for (int32_t t = 0; t < 5; ++t) EXPECT_EQ(gTubes[t].TubeType, types[t]) << t;
    EXPECT_EQ(gTubes[2].EndAIndex, 0) << "each group in its former order";
    EXPECT_EQ(gTubes[3].EndAIndex, 1);
    EXPECT_EQ(gTubes[4].EndBIndex, 1);
}

TEST_F(SupportOptimizerTest, ATubeAlreadyMergedAwayIsNeverMergedAgain) {
    // West from node 0 to node 1, east to node 2, and a second westward tube
    // from node 0 to node 3 overlapping the first.
    AddFreeNode(MakeVector(0, 5, 0));
    AddFreeNode(MakeVector(-10, 5, 0));
    AddFreeNode(MakeVector(10, 5, 0));
    AddFreeNode(MakeVector(-20, 5, 0));
    Beam(1, 0);
    Beam(0, 2);
    Beam(3, 0);
    EXPECT_EQ(OptimizeTubes(), 1);
    ASSERT_EQ(gTubeCount, 2);
    EXPECT_EQ(gTubes[0].EndAIndex, 1);
    EXPECT_EQ(gTubes[0].EndBIndex, 2);
    EXPECT_EQ(gTubes[1].EndAIndex, 3) << "the overlapping tube was merged into nothing, so it stays";
    EXPECT_EQ(gTubes[1].EndBIndex, 0);
}

TEST_F(SupportOptimizerTest, TubesNamingMissingRecordsAreLeftAlone) {
    Bend(180.0);
    gTubes[1].EndBIndex = 99;
    Tube(EndFreeNode, 1, EndFreeNode, -1);
    Tube(EndFreeNode, 1, EndFooter, 7);
    Tube(EndPrefabAnchor, 0, EndFreeNode, 1);
    EXPECT_EQ(OptimizeTubes(), 0);
    EXPECT_EQ(gTubeCount, 5);
    // The clean-up then drops them, and what stays is sound.
    RunSupportOptimizer(true);
    EXPECT_EQ(gTubeCount, 1);
    EXPECT_TRUE(EveryReferenceValid());
}

TEST_F(SupportOptimizerTest, FooterEndsStandOnTheGround) {
    gHasTerrain = true;
    gTerrainWidth = gTerrainDepth = 5;
    gTerrainSpacingX = gTerrainSpacingZ = 100.0f;
    gTerrainHeights.Resize(5, 5);
    for (float& h : gTerrainHeights.Values) h = 3.0f;
    AddFreeNode(MakeVector(10, 5, 0));
    Tube(EndFooter, 0, EndFreeNode, 0);
    const Vector3 d = TubeDirection(0, 1);
    EXPECT_TRUE(Near(d, MakeVector(10, 2, 0))) << "from the footer at ground height 3";
    EXPECT_TRUE(Near(TubeDirection(0, 2), MakeVector(-10, -2, 0)));
    Tube(EndPrefabAnchor, 0, EndFreeNode, 0);
    EXPECT_EQ(TubeDirection(1, 1).X, 999.0f);
}

}  // namespace
