// Shuttle Builder and Backwards Rebuilder: the new order, the mirrored nodes,
// the type speeds ridden backwards, supports and tube ends following their
// segments, and the results through save and load.

#include <cstring>
#include <filesystem>

#include "core/app_state.h"
#include "tests/tools/remodel_flag_check.h"
#include "tests/tools/tool_test_support.h"
#include "tools/tool_table.h"
#include "tools/track_reorder.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

bool IsMirror(const TrackNode& m, const TrackNode& of) {
    return Same(m.Position, of.Position) && Same(m.ControlIn, of.ControlOut) && Same(m.ControlOut, of.ControlIn) &&
           m.Roll == -of.Roll && m.RollEasing == of.RollEasing && m.StrictRoll == of.StrictRoll;
}

void AddSupport(int segment, float position) {
    RascGroup& g = gRascGroups[segment];
    g.Items.resize(static_cast<size_t>(g.ItemCount) + 2);
    g.Items[g.ItemCount++] = RascItem{PrefabSimple, position};
}

SupportTube PrefabTube(int32_t item, int32_t segment) {
    SupportTube t;
    t.EndAKind = EndPrefabAnchor;
    t.EndAIndex = item;
    t.EndASegment = segment;
    t.EndBKind = EndFooter;
    return t;
}

void SaveAndLoad() {
    const std::string path = TestTempFile("gw_track_reorder_test.vxtrack");
    ASSERT_TRUE(SaveTrackFile(path));
    ASSERT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
}

}  // namespace

using ShuttleBuilderTest = ToolTest;
using BackwardsRebuilderTest = ToolTest;

TEST_F(ShuttleBuilderTest, TwoNodeTrackBecomesAClosedOutAndBackCircuit) {
    MakeLineTrack({0, 10, 0}, {0, 5, -20}, 1);
    gNodes[1].StrictRoll = true;
    gSegments[0].SegmentType = SegmentLift;
    gSegments[1].SpineColor = 0x123456;  // stale contents of the spare record
    gSegmentSelected = {true, false};
    const TrackNode n0 = gNodes[0], n1 = gNodes[1];
    ASSERT_TRUE(RunShuttleBuilder());
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(gSegmentCount, 4);
    EXPECT_EQ(gRascGroupCount, 4);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(IsMirror(gNodes[2], n1));
    EXPECT_TRUE(IsMirror(gNodes[3], n0));
    EXPECT_EQ(gSegments[0].SegmentType, SegmentLift);
    for (int s = 1; s < 4; ++s) EXPECT_EQ(gSegments[s].SpineColor, 0) << "a zeroed normal segment " << s;
    EXPECT_EQ(gSegmentSelected, std::vector<bool>(5, false));
    EXPECT_TRUE(FlagsAre(AllFlagsButGround()));
    EXPECT_TRUE(gDocumentChanged);
    SaveAndLoad();
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(IsMirror(gNodes[3], n0));

    // A circuit now: refused with the dialog's message, nothing changed.
    EXPECT_STREQ(ShuttleInfoText(), "A shuttle coaster can only be made from a non-circut track.");
    EXPECT_FALSE(ShuttleOkEnabled());
    EXPECT_FALSE(RunShuttleBuilder());
    EXPECT_EQ(gNodeCount, 4);
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 0);
    EXPECT_STREQ(ShuttleInfoText(), kShuttleTooShortText);
    EXPECT_FALSE(RunShuttleBuilder()) << "one node is too few";
}

TEST_F(BackwardsRebuilderTest, SpeedsOfEachSegmentTypeRiddenBackwards) {
    TrackSegment s;
    s.SegmentType = SegmentStation;
    s.Station = {};
    s.Station.WheelSpeed = 2.0f;
    s.Station.WheelAccel = 3.0f;
    s.Station.MainBrakeDecel = 4.0f;
    ReverseSegmentSpeeds(s);
    EXPECT_EQ(s.Station.WheelSpeed, -0.1f);
    EXPECT_EQ(s.Station.WheelAccel, -3.0f);
    EXPECT_EQ(s.Station.MainBrakeDecel, 3.0f);

    s.SegmentType = SegmentLift;
    s.Lift.MotorSpeed = 5.0f;
    s.Lift.MotorAccel = 1.0f;
    ReverseSegmentSpeeds(s);
    uint32_t accel, decel;
    std::memcpy(&accel, &s.Lift.MotorAccel, 4);
    std::memcpy(&decel, &s.Lift.MotorDecel, 4);
    EXPECT_EQ(s.Lift.MotorSpeed, -8.5f);
    EXPECT_EQ(accel, 0xC29D1100u);
    EXPECT_EQ(decel, 0xC19D1100u);
    EXPECT_EQ(s.Station.WheelSpeed, -0.1f) << "only the segment's own type block changes";

    s.SegmentType = SegmentTransport;
    s.Transport.MotorSpeed = 10.0f;
    s.Transport.MotorAccel = 2.0f;
    ReverseSegmentSpeeds(s);
    EXPECT_EQ(s.Transport.MotorSpeed, -3.0f);
    EXPECT_EQ(s.Transport.MotorAccel, -1.0f);

    s.SegmentType = SegmentBrake;
    s.Brake.WheelSpeed = 3.0f;
    s.Brake.WheelAccel = 5.0f;
    ReverseSegmentSpeeds(s);
    EXPECT_EQ(s.Brake.WheelSpeed, static_cast<float>(-3.0 * 0.1));
    EXPECT_EQ(s.Brake.WheelAccel, -0.5f);
}

TEST_F(BackwardsRebuilderTest, CircuitReversesNodesSegmentsSupportsAndTubeEnds) {
    MakeLineTrack({0, 10, 0}, {0, 0, -5}, 10, true);
    for (int s = 0; s < 10; ++s) gSegments[s].SpineColor = s;
    gSegments[3].SegmentType = SegmentLift;
    gSegments[3].Lift.MotorSpeed = 5.0f;
    gSegments[9].SegmentType = SegmentStation;  // the closing segment
    gSegments[9].Station.WheelSpeed = 2.0f;
    AddSupport(3, 0.9f);
    AddSupport(3, 0.25f);
    AddSupport(9, 0.3f);
    gTubeCount = 3;
    gTubes = {PrefabTube(1, 3), PrefabTube(0, 9), PrefabTube(0, 42), SupportTube{}};
    gSegmentSelected.assign(11, false);
    gSegmentSelected[3] = true;
    gTrainCount = 3;
    gTrains.assign(4, TrainEntry{});
    const std::vector<TrackNode> before(gNodes.begin(), gNodes.begin() + 10);

    ASSERT_TRUE(RunBackwardsRebuilder());
    SaveAndLoad();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(IsMirror(gNodes[i], before[9 - i])) << "node " << i;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(gSegments[i].SpineColor, 8 - i) << "segment " << i;
    EXPECT_EQ(gSegments[5].Lift.MotorSpeed, -8.5f);
    EXPECT_EQ(gSegments[9].Station.WheelSpeed, 2.0f) << "the closing segment keeps its record";
    ASSERT_EQ(gRascGroups[5].ItemCount, 2);
    EXPECT_FLOAT_EQ(gRascGroups[5].Items[0].Position, 0.1f);
    EXPECT_EQ(gRascGroups[5].Items[1].Position, 0.75f);
    EXPECT_EQ(gRascGroups[9].Items[0].Position, 0.3f);
    EXPECT_EQ(gTubes[0].EndASegment, 5);
    EXPECT_EQ(gTubes[0].EndAIndex, 1);
    EXPECT_EQ(gTubes[1].EndASegment, 9);
    EXPECT_EQ(gTubes[2].EndASegment, 42) << "an end naming no segment is left alone";
    EXPECT_TRUE(IsSegmentSelected(5) && !IsSegmentSelected(3));
    EXPECT_EQ(gTrainCount, 1);
    EXPECT_TRUE(FlagsAre(AllFlagsButGround()));

    // Twice: the old order again, the type values changed twice.
    RebuildBackwards();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(Same(gNodes[i].ControlIn, before[i].ControlIn)) << "node " << i;
    EXPECT_EQ(gSegments[4].SpineColor, 4);
    EXPECT_FLOAT_EQ(gSegments[3].Lift.MotorSpeed, 8.5f * 1.7f);
    EXPECT_EQ(gTubes[0].EndASegment, 3);
}

TEST_F(BackwardsRebuilderTest, OpenTrackKeepsEachSegmentBetweenItsOwnNodes) {
    MakeLineTrack({0, 10, 0}, {0, 0, -5}, 4);  // 5 nodes, 4 segments
    for (int s = 0; s < 4; ++s) gSegments[s].SpineColor = s;
    AddSupport(0, 0.2f);
    gTubeCount = 1;
    gTubes = {PrefabTube(0, 0), SupportTube{}};
    gSegmentSelected = {false, false, false, true, false};
    ASSERT_TRUE(RunBackwardsRebuilder());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gSegments[i].SpineColor, 3 - i) << "segment " << i;
    EXPECT_EQ(gRascGroups[3].Items[0].Position, 0.8f);
    EXPECT_EQ(gTubes[0].EndASegment, 3);
    EXPECT_TRUE(IsSegmentSelected(0) && !IsSegmentSelected(3));
}
