// Scale, Rotate and Mirror of the open track, and the scene-boundary test
// with the rule that stale path frames are rebuilt before they are read.

#include <cmath>
#include <vector>

#include "core/app_state.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/scene_boundary.h"
#include "tools/tool_table.h"
#include "tools/track_transforms.h"

namespace {

struct TrackSnapshot {
    std::vector<TrackNode> nodes;
    std::vector<Vector3> freeNodes;
    std::vector<TrackFooter> footers;
    std::vector<SceneryTree> trees;
};

TrackSnapshot Snapshot() { return {gNodes, gFreeNodes, gFooters, gTrees}; }

bool SameNodes(const std::vector<TrackNode>& a, const std::vector<TrackNode>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i].Position, b[i].Position) || !Same(a[i].ControlIn, b[i].ControlIn) ||
            !Same(a[i].ControlOut, b[i].ControlOut) || a[i].Roll != b[i].Roll)
            return false;
    return true;
}

bool Unchanged(const TrackSnapshot& s) {
    if (!SameNodes(s.nodes, gNodes) || s.freeNodes.size() != gFreeNodes.size() || s.footers.size() != gFooters.size())
        return false;
    for (size_t i = 0; i < s.freeNodes.size(); ++i)
        if (!Same(s.freeNodes[i], gFreeNodes[i])) return false;
    for (size_t i = 0; i < s.footers.size(); ++i)
        if (!Same(s.footers[i].Position, gFooters[i].Position)) return false;
    return true;
}

bool FlagsAllButGround() {
    const RemodelFlags& f = gRemodelFlags;
    return f.RebuildPath && f.RebuildTrack && f.RebuildTubes && f.RebuildFooters && !f.RebuildGround && f.Recolor &&
           f.RebuildTunnels && f.RebuildPrefabs;
}

}  // namespace

using TrackScaleTest = ToolTest;
using TrackRotateTest = ToolTest;
using TrackMirrorTest = ToolTest;
using SceneBoundaryTest = ToolTest;

TEST(SceneBoxTest, BothEndsOfEveryAxisAreInside) {
    EXPECT_TRUE(InSceneBox({-220, 0, -220}));
    EXPECT_TRUE(InSceneBox({220, 150, 220}));
    EXPECT_FALSE(InSceneBox({220.0001f, 10, 0}));
    EXPECT_FALSE(InSceneBox({-220.0001f, 10, 0}));
    EXPECT_FALSE(InSceneBox({0, -0.0001f, 0}));
    EXPECT_FALSE(InSceneBox({0, 150.0001f, 0}));
    EXPECT_FALSE(InSceneBox({0, 10, 220.0001f}));
    EXPECT_FALSE(InSceneBox({0, 10, -220.0001f}));
}

TEST_F(SceneBoundaryTest, MissingFramesAreBuiltBeforeTheyAreRead) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 3);
    EXPECT_FALSE(TrackPathFramesCurrent());
    ASSERT_TRUE(EnsureTrackPathCurrent());
    EXPECT_TRUE(TrackPathFramesCurrent());
    EXPECT_EQ(gSpineInfoSegmentCount, 3);
    EXPECT_FLOAT_EQ(gPathMatrixArray[0].Frames[0].Frame(2, 3), 0.0f);
    // Any change of the track makes them stale again.
    gNodes[2].Position.Y += 1.0f;
    EXPECT_FALSE(TrackPathFramesCurrent());
    ASSERT_TRUE(EnsureTrackPathCurrent());
    gNodes[1].Roll = 0.5f;
    EXPECT_FALSE(TrackPathFramesCurrent());
    ASSERT_TRUE(EnsureTrackPathCurrent());
    gClosedCircuit = true;
    EXPECT_FALSE(TrackPathFramesCurrent());
}

TEST_F(TrackScaleTest, ScalesNodesSupportsAndPutsFootersOnTheGround) {
    MakeLineTrack({2, 10, -4}, {0, 0, -20}, 3);
    const TrackSnapshot before = Snapshot();
    TrackScaleOptions options;
    options.Percent[0] = 50;
    options.Percent[1] = 200;
    options.Percent[2] = 300;
    ASSERT_TRUE(RunTrackScale(options));
    EXPECT_TRUE(prompts.Messages.empty());
    for (int i = 0; i < gNodeCount; ++i) {
        const TrackNode& b = before.nodes[i];
        EXPECT_TRUE(Same(gNodes[i].Position, MakeVector(b.Position.X * 0.5f, b.Position.Y * 2, b.Position.Z * 3)));
        EXPECT_TRUE(Same(gNodes[i].ControlIn, MakeVector(b.ControlIn.X * 0.5f, b.ControlIn.Y * 2, b.ControlIn.Z * 3)));
        EXPECT_TRUE(
            Same(gNodes[i].ControlOut, MakeVector(b.ControlOut.X * 0.5f, b.ControlOut.Y * 2, b.ControlOut.Z * 3)));
        EXPECT_EQ(gNodes[i].Roll, b.Roll);
    }
    EXPECT_TRUE(Same(gFreeNodes[1], MakeVector(-0.5f, 22, -12)));
    EXPECT_TRUE(Same(gFooters[0].Position, MakeVector(2.5f, 0, -12)));
    EXPECT_TRUE(Same(gFooters[1].Position, MakeVector(-0.5f, 0, -9)));
    EXPECT_TRUE(FlagsAllButGround());
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(TrackScaleTest, HundredPercentStillGroundsTheFootersAndMarksChanged) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    const TrackSnapshot before = Snapshot();
    ASSERT_TRUE(RunTrackScale(TrackScaleOptions{}));
    EXPECT_TRUE(SameNodes(before.nodes, gNodes));
    EXPECT_TRUE(Same(gFooters[1].Position, MakeVector(-3, 0, 1)));
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(TrackScaleTest, SupportsStayWhenTheOptionIsClear) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    const TrackSnapshot before = Snapshot();
    TrackScaleOptions options;
    options.Percent[0] = 150;
    options.ScaleSupports = false;
    ASSERT_TRUE(RunTrackScale(options));
    EXPECT_TRUE(Same(gFreeNodes[0], before.freeNodes[0]));
    EXPECT_TRUE(Same(gFooters[1].Position, before.footers[1].Position));
}

TEST_F(TrackScaleTest, RefusedAboveTheSceneBoxWithItsMessageAndNothingChanges) {
    // The highest path point at 80 m: doubling puts it at 160 m.
    MakeLineTrack({0, 80, 0}, {0, 0, -20}, 3);
    const TrackSnapshot before = Snapshot();
    TrackScaleOptions options;
    options.Percent[1] = 200;
    EXPECT_FALSE(RunTrackScale(options));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Performing this scale will cause the track to hit the Vortaxis Scene Boundry causing the track to "
              "deform.\r\nThe scale has been aborted!");
    EXPECT_EQ(prompts.Messages[0].Title, "Notice!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Information);
    EXPECT_TRUE(Unchanged(before));
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);

    // At 74 m the doubled track stays below 150 m.
    MakeLineTrack({0, 74, 0}, {0, 0, -20}, 3);
    prompts.Messages.clear();
    EXPECT_TRUE(RunTrackScale(options));
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(TrackScaleTest, StaleFramesAreRebuiltBeforeTheBoundaryTest) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 3);
    ASSERT_TRUE(EnsureTrackPathCurrent());
    // The track changes behind the builder's back: the frames still say 10 m.
    for (int i = 0; i < gNodeCount; ++i) {
        gNodes[i].Position.Y += 90.0f;
        gNodes[i].ControlIn.Y += 90.0f;
        gNodes[i].ControlOut.Y += 90.0f;
    }
    TrackScaleOptions options;
    options.Percent[1] = 200;
    EXPECT_FALSE(RunTrackScale(options)) << "200 m is outside, whatever the old frames say";
    EXPECT_EQ(prompts.Messages.size(), 1u);
    EXPECT_NEAR(HighestPathPoint(), 100.0f, 1e-3f);
}

TEST_F(TrackRotateTest, NinetyDegreesCounterClockWiseTurnsEastToNorth) {
    MakeLineTrack({10, 5, 0}, {10, 0, 0}, 2);
    const TrackSnapshot before = Snapshot();
    TrackRotateOptions options;
    options.Degrees = 90;
    options.ClockWise = false;
    ASSERT_TRUE(RunTrackRotate(options));
    // (x, y, z) -> (z, y, -x): east (+X) becomes north (-Z).
    for (int i = 0; i < gNodeCount; ++i) {
        const Vector3 p = before.nodes[i].Position;
        EXPECT_TRUE(Near(gNodes[i].Position, MakeVector(p.Z, p.Y, -p.X)));
        const Vector3 c = before.nodes[i].ControlOut;
        EXPECT_TRUE(Near(gNodes[i].ControlOut, MakeVector(c.Z, c.Y, -c.X)));
        EXPECT_EQ(gNodes[i].Roll, before.nodes[i].Roll);
    }
    EXPECT_TRUE(Near(gNodes[2].Position, MakeVector(0, 5, -30)));
    EXPECT_TRUE(Near(gFreeNodes[0], MakeVector(0, 5, -13)));
    EXPECT_TRUE(Near(gFooters[1].Position, MakeVector(1, 2, -7)));
    EXPECT_TRUE(FlagsAllButGround());
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(TrackRotateTest, ClockWiseTurnsEastToSouthAndSupportsCanStay) {
    MakeLineTrack({10, 5, 0}, {10, 0, 0}, 2);
    const TrackSnapshot before = Snapshot();
    TrackRotateOptions options;
    options.Degrees = 90;
    options.RotateSupports = false;
    ASSERT_TRUE(RunTrackRotate(options));
    EXPECT_TRUE(Near(gNodes[0].Position, MakeVector(0, 5, 10)));
    EXPECT_TRUE(Same(gFreeNodes[0], before.freeNodes[0]));
    EXPECT_TRUE(Same(gFooters[0].Position, before.footers[0].Position));
}

TEST_F(TrackRotateTest, AFullTurnLeavesTheTrackWhereItWas) {
    MakeLineTrack({10, 5, -30}, {7, 1, 12}, 3);
    const TrackSnapshot before = Snapshot();
    TrackRotateOptions options;
    options.Degrees = 360;
    ASSERT_TRUE(RunTrackRotate(options));
    for (int i = 0; i < gNodeCount; ++i) EXPECT_TRUE(Near(gNodes[i].Position, before.nodes[i].Position, 1e-4f));
    // The two directions are turns of opposite sign: clock-wise 30 equals
    // counter-clock-wise 30 followed by clock-wise 60.
    const std::vector<TrackNode> start = gNodes;
    options.Degrees = 30;
    RunTrackRotate(options);
    const std::vector<TrackNode> clockWise = gNodes;
    gNodes = start;
    options.ClockWise = false;
    RunTrackRotate(options);
    options.ClockWise = true;
    options.Degrees = 60;
    RunTrackRotate(options);
    for (int i = 0; i < gNodeCount; ++i) EXPECT_TRUE(Near(gNodes[i].Position, clockWise[i].Position, 1e-4f));
}

TEST_F(TrackMirrorTest, XThenZEqualsAHalfTurn) {
    MakeLineTrack({10, 5, -30}, {7, 1, 12}, 3);
    const TrackSnapshot before = Snapshot();
    TrackMirrorOptions mirror;
    mirror.MirrorX = mirror.MirrorZ = true;
    ASSERT_TRUE(RunTrackMirror(mirror));
    const TrackSnapshot mirrored = Snapshot();
    for (int i = 0; i < gNodeCount; ++i) {
        const Vector3 p = before.nodes[i].Position;
        EXPECT_TRUE(Same(gNodes[i].Position, MakeVector(-p.X, p.Y, -p.Z)));
        EXPECT_EQ(gNodes[i].Roll, before.nodes[i].Roll);
    }
    EXPECT_TRUE(Same(gFooters[1].Position, MakeVector(-7, 2, 29)));
    EXPECT_TRUE(FlagsAllButGround());

    gNodes = before.nodes;
    gFreeNodes = before.freeNodes;
    gFooters = before.footers;
    TrackRotateOptions half;
    half.Degrees = 180;
    RunTrackRotate(half);
    for (int i = 0; i < gNodeCount; ++i) {
        EXPECT_TRUE(Near(gNodes[i].Position, mirrored.nodes[i].Position));
        EXPECT_TRUE(Near(gNodes[i].ControlIn, mirrored.nodes[i].ControlIn));
        EXPECT_TRUE(Near(gNodes[i].ControlOut, mirrored.nodes[i].ControlOut));
    }
    for (int i = 0; i < gFooterCount; ++i)
        EXPECT_TRUE(Near(gFooters[i].Position, mirrored.footers[i].Position));
}

TEST_F(TrackMirrorTest, OneAxisAndTheSupportsOption) {
    MakeLineTrack({10, 5, -30}, {7, 1, 12}, 2);
    const TrackSnapshot before = Snapshot();
    TrackMirrorOptions mirror;
    mirror.MirrorZ = true;
    mirror.MirrorSupports = false;
    ASSERT_TRUE(RunTrackMirror(mirror));
    EXPECT_TRUE(Same(gNodes[1].ControlIn, MakeVector(before.nodes[1].ControlIn.X, before.nodes[1].ControlIn.Y,
                                                     -before.nodes[1].ControlIn.Z)));
    EXPECT_TRUE(Same(gFreeNodes[0], before.freeNodes[0]));
    EXPECT_TRUE(Same(gFooters[0].Position, before.footers[0].Position));
}

TEST_F(TrackMirrorTest, OkNeedsOneBoxTicked) {
    EXPECT_FALSE(MirrorOkEnabled(false, false));
    EXPECT_TRUE(MirrorOkEnabled(true, false));
    EXPECT_TRUE(MirrorOkEnabled(false, true));
    EXPECT_TRUE(MirrorOkEnabled(true, true));
    MakeLineTrack({10, 5, -30}, {7, 1, 12}, 2);
    EXPECT_FALSE(RunTrackMirror(TrackMirrorOptions{}));
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
}
