// The Move tool: direction vectors, Auto-Center, the boundary test of each
// move, the changed mark at every move, and the rebuilds at once or at Done.

#include <vector>

#include "core/app_state.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/scene_boundary.h"
#include "tools/track_move.h"

namespace {

const char* kMoveRefused =
    "Performing this move will cause the track to hit the Vortaxis Scene Boundry causing the track to deform.\r\n"
    "The move has been aborted!";

TrackMoveOptions Pending() {
    TrackMoveOptions o;
    o.UpdateModel = false;
    return o;
}

}  // namespace

using TrackMoveTest = ToolTest;

TEST(MoveVectorTest, ButtonsPointTheCompassWay) {
    EXPECT_TRUE(Same(MoveDirectionVector(MoveNorth, 2.5f), MakeVector(0, 0, -2.5f)));
    EXPECT_TRUE(Same(MoveDirectionVector(MoveSouth, 2.5f), MakeVector(0, 0, 2.5f)));
    EXPECT_TRUE(Same(MoveDirectionVector(MoveEast, 2.5f), MakeVector(2.5f, 0, 0)));
    EXPECT_TRUE(Same(MoveDirectionVector(MoveWest, 2.5f), MakeVector(-2.5f, 0, 0)));
    EXPECT_TRUE(Same(MoveDirectionVector(MoveUp, 2.5f), MakeVector(0, 2.5f, 0)));
    EXPECT_TRUE(Same(MoveDirectionVector(MoveDown, 2.5f), MakeVector(0, -2.5f, 0)));
    EXPECT_STREQ(kMoveDirectionCaptions[MoveAutoCenter], "Auto-Center");
}

TEST_F(TrackMoveTest, AutoCenterCentresATrackThatDoesNotContainTheOrigin) {
    // Wholly east of the origin, from x = 100 to x = 200, and south from z = 40 to 60.
    MakeLineTrack({100, 5, 40}, {50, 0, 10}, 2);
    const Vector3 v = AutoCenterVector();
    EXPECT_TRUE(Same(v, MakeVector(-150, 0, -50)));
    TrackMoveSession move;
    ASSERT_EQ(move.ApplyMove(v, TrackMoveOptions{}), MoveResult::Applied);
    EXPECT_TRUE(Same(gNodes[0].Position, MakeVector(-50, 5, -10)));
    EXPECT_TRUE(Same(gNodes[2].Position, MakeVector(50, 5, 10)));
    EXPECT_TRUE(Same(AutoCenterVector(), MakeVector(0, 0, 0)));
}

TEST_F(TrackMoveTest, AutoCenterOfASymmetricTrackStillCountsAsAMove) {
    MakeLineTrack({-20, 5, 0}, {20, 0, 0}, 2);
    TrackMoveSession move;
    ASSERT_EQ(move.Click(MoveAutoCenter, 10, Pending()), MoveResult::Applied);
    EXPECT_TRUE(Same(gNodes[0].Position, MakeVector(-20, 5, 0)));
    EXPECT_TRUE(move.TrackMoved());
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(TrackMoveTest, MovesNodesSupportsAndFootersAndMarksChangedAtOnce) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    const std::vector<TrackNode> before = gNodes;
    TrackMoveSession move;
    ASSERT_EQ(move.Click(MoveUp, 2.5, TrackMoveOptions{}), MoveResult::Applied);
    EXPECT_TRUE(gDocumentChanged) << "a move is never lost: the document is marked at once";
    for (int i = 0; i < gNodeCount; ++i) {
        EXPECT_EQ(gNodes[i].Position.Y, before[i].Position.Y + 2.5f);
        EXPECT_EQ(gNodes[i].ControlIn.Y, before[i].ControlIn.Y + 2.5f);
        EXPECT_EQ(gNodes[i].ControlOut.Y, before[i].ControlOut.Y + 2.5f);
        EXPECT_EQ(gNodes[i].Roll, before[i].Roll);
    }
    EXPECT_EQ(gFreeNodes[1].Y, 13.5f);
    EXPECT_EQ(gFooters[0].Position.Y, 2.5f) << "footers move in Y too";
    // Updated at once: the frames follow the track.
    EXPECT_TRUE(TrackPathFramesCurrent());
    EXPECT_EQ(redraws, 1);
    EXPECT_FALSE(move.ModelStale());

    TrackMoveOptions noSupports;
    noSupports.MoveSupports = false;
    ASSERT_EQ(move.Click(MoveWest, 4, noSupports), MoveResult::Applied);
    EXPECT_EQ(gNodes[0].Position.X, -4.0f);
    EXPECT_EQ(gFreeNodes[0].X, 3.0f);
    EXPECT_EQ(gFooters[0].Position.X, 3.0f);
}

TEST_F(TrackMoveTest, PointsExactlyOnTheBoundaryAreAllowedAndOneStepFurtherIsRefused) {
    // A flat track at y = 0 running east from x = 0: node 0 is the westmost path point.
    MakeLineTrack({0, 0, 0}, {20, 0, 0}, 3);
    TrackMoveSession move;
    ASSERT_EQ(move.Click(MoveUp, 100, TrackMoveOptions{}), MoveResult::Applied);
    ASSERT_EQ(move.Click(MoveUp, 50, TrackMoveOptions{}), MoveResult::Applied);
    EXPECT_EQ(HighestPathPoint(), 150.0f);
    EXPECT_EQ(move.Click(MoveUp, 0.1, TrackMoveOptions{}), MoveResult::Refused);
    ASSERT_EQ(move.Click(MoveWest, 100, TrackMoveOptions{}), MoveResult::Applied);
    ASSERT_EQ(move.Click(MoveWest, 100, TrackMoveOptions{}), MoveResult::Applied);
    ASSERT_EQ(move.Click(MoveWest, 20, TrackMoveOptions{}), MoveResult::Applied);
    EXPECT_EQ(gNodes[0].Position.X, -220.0f);
    EXPECT_EQ(move.Click(MoveWest, 0.1, TrackMoveOptions{}), MoveResult::Refused);
    EXPECT_EQ(prompts.Messages.size(), 2u);
}

TEST_F(TrackMoveTest, ARefusedMoveShowsItsMessageAndChangesNothing) {
    MakeLineTrack({0, 5, 0}, {0, 0, -20}, 3);
    const std::vector<TrackNode> nodes = gNodes;
    const std::vector<Vector3> freeNodes = gFreeNodes;
    const std::vector<TrackFooter> footers = gFooters;
    TrackMoveSession move;
    // Down by more than the lowest path point's height.
    EXPECT_EQ(move.Click(MoveDown, 5.1, TrackMoveOptions{}), MoveResult::Refused);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, kMoveRefused);
    EXPECT_EQ(prompts.Messages[0].Title, "Notice!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Information);
    for (size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_TRUE(Same(gNodes[i].Position, nodes[i].Position));
        EXPECT_TRUE(Same(gNodes[i].ControlIn, nodes[i].ControlIn));
        EXPECT_TRUE(Same(gNodes[i].ControlOut, nodes[i].ControlOut));
    }
    for (size_t i = 0; i < freeNodes.size(); ++i) EXPECT_TRUE(Same(gFreeNodes[i], freeNodes[i]));
    for (size_t i = 0; i < footers.size(); ++i) EXPECT_TRUE(Same(gFooters[i].Position, footers[i].Position));
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(move.TrackMoved());
    EXPECT_EQ(redraws, 0);
    // Done after nothing but a refusal: no rebuild, no changed mark.
    move.Done();
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_EQ(redraws, 0);
}

TEST_F(TrackMoveTest, PendingMovesCountInTheNextBoundaryTest) {
    MakeLineTrack({0, 0, 0}, {0, 0, -20}, 3);
    TrackMoveSession move;
    ASSERT_EQ(move.Click(MoveUp, 100, Pending()), MoveResult::Applied);
    EXPECT_TRUE(move.ModelStale());
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(redraws, 0) << "no rebuild while the model update is off";
    // The frames still stand at 0 m; with the pending 100 m another 60 m is too much.
    EXPECT_EQ(move.Click(MoveUp, 60, Pending()), MoveResult::Refused);
    EXPECT_EQ(gNodes[0].Position.Y, 100.0f);
    ASSERT_EQ(move.Click(MoveUp, 50, Pending()), MoveResult::Applied);
    EXPECT_EQ(move.Click(MoveUp, 0.1, Pending()), MoveResult::Refused);
    // Back down below the floor is refused as well.
    EXPECT_EQ(move.Click(MoveDown, 100, Pending()), MoveResult::Applied);
    EXPECT_EQ(move.Click(MoveDown, 50.1, Pending()), MoveResult::Refused);
    EXPECT_EQ(prompts.Messages.size(), 3u);

    // Done: one rebuild for all of them, and the changed mark.
    move.Done();
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(TrackPathFramesCurrent());
    EXPECT_NEAR(HighestPathPoint(), 50.0f, 1e-4f);
    EXPECT_FALSE(move.ModelStale());
    EXPECT_TRUE(gRemodelFlags.RebuildPath);
    EXPECT_FALSE(gRemodelFlags.RebuildGround);
}

TEST_F(TrackMoveTest, ARebuildMeanwhileEndsThePendingShift) {
    MakeLineTrack({0, 0, 0}, {0, 0, -20}, 3);
    TrackMoveSession move;
    ASSERT_EQ(move.Click(MoveUp, 100, Pending()), MoveResult::Applied);
    // Something else rebuilds the path (a tick of the update box, the modeler):
    // the frames are at 100 m now and must not be shifted again.
    ASSERT_EQ(move.Click(MoveUp, 20, TrackMoveOptions{}), MoveResult::Applied);
    EXPECT_NEAR(HighestPathPoint(), 120.0f, 1e-4f);
    EXPECT_FALSE(move.ModelStale());
    ASSERT_EQ(move.Click(MoveUp, 30, Pending()), MoveResult::Applied);
    EXPECT_EQ(move.Click(MoveUp, 0.1, Pending()), MoveResult::Refused);
}

TEST_F(TrackMoveTest, DoneWithoutPendingMovesClearsTheFlagsAndLeavesTheMarkAlone) {
    MakeLineTrack({0, 5, 0}, {0, 0, -20}, 2);
    {
        TrackMoveSession move;
        SetAllRemodelFlags();
        move.Done();
        EXPECT_TRUE(FlagsClear());
        EXPECT_FALSE(gDocumentChanged);
        EXPECT_EQ(redraws, 0);
    }
    {
        TrackMoveSession move;
        ASSERT_EQ(move.Click(MoveNorth, 1, TrackMoveOptions{}), MoveResult::Applied);
        EXPECT_EQ(redraws, 1);
        EXPECT_TRUE(gDocumentChanged);
        gDocumentChanged = false;  // saved meanwhile
        move.Done();
        EXPECT_TRUE(FlagsClear());
        EXPECT_FALSE(gDocumentChanged) << "a document saved after the last move stays saved";
        EXPECT_EQ(redraws, 1) << "nothing pending, nothing rebuilt";
    }
}
