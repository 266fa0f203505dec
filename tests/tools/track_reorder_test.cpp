// Shuttle Builder and Backwards Rebuilder: the new node and segment order, the
// mirrored nodes, the speeds of the segment types ridden backwards, supports
// and tube ends following their segments, and the results through save and load.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/remodel_flag_check.h"
#include "tests/tools/tool_test_support.h"
#include "tools/tool_table.h"
#include "tools/track_reorder.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

bool IsMirror(const TrackNode& m, const TrackNode& of) {
    return Same(m.Position, of.Position) && Same(m.ControlIn, of.ControlOut) && Same(m.ControlOut, of.ControlIn) &&
           m.Roll == -of.Roll && m.RollEasing == of.RollEasing && m.StrictRoll == of.StrictRoll &&
           m.NodeFlag3 == of.NodeFlag3;
}

bool ZeroedNormal(const TrackSegment& s) {
    return s.SegmentType == 0 && s.SpineColor == 0 && s.RailColor == 0 && s.TieColor == 0 && s.SpineStyle == 0 &&
           !s.CustomColors && !s.Tunnel && s.Station.WheelSpeed == 0 && s.Lift.MotorSpeed == 0;
}

void AddSupport(int segment, float position, int32_t style = PrefabSimple) {
    RascGroup& g = gRascGroups[segment];
    g.Items.resize(static_cast<size_t>(g.ItemCount) + 2);
    g.Items[g.ItemCount] = RascItem{style, position};
    ++g.ItemCount;
}

SupportTube Tube(int32_t kindA, int32_t indexA, int32_t segmentA, int32_t kindB, int32_t indexB, int32_t segmentB) {
    SupportTube t;
    t.EndAKind = kindA;
    t.EndAIndex = indexA;
    t.EndASegment = segmentA;
    t.EndBKind = kindB;
    t.EndBIndex = indexB;
    t.EndBSegment = segmentB;
    return t;
}

std::string SavedAndLoaded(const char* name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    EXPECT_TRUE(SaveTrackFile(path));
    EXPECT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
    return path;
}

}  // namespace

using ShuttleBuilderTest = ToolTest;
using BackwardsRebuilderTest = ToolTest;

TEST_F(ShuttleBuilderTest, TwoNodeTrackBecomesAClosedOutAndBackCircuit) {
    MakeLineTrack({0, 10, 0}, {0, 5, -20}, 1);
    gNodes[0].RollEasing = true;
    gNodes[1].StrictRoll = true;
    gSegments[0].SegmentType = SegmentLift;
    gSegments[0].Lift.MotorSpeed = 4.0f;
    gSegments[0].Tunnel = true;
    gSegments[1].SpineColor = 0x123456;  // stale contents of the spare record
    AddSupport(0, 0.5f);
    gSegmentSelected = {true, false};
    const TrackNode n0 = gNodes[0], n1 = gNodes[1];
    EXPECT_STREQ(ShuttleInfoText(), kShuttleInfoText);
    ASSERT_TRUE(ShuttleOkEnabled());

    ASSERT_TRUE(RunShuttleBuilder());
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(gSegmentCount, 4);
    EXPECT_EQ(gRascGroupCount, 4);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(Same(gNodes[0].Position, n0.Position) && Same(gNodes[1].ControlIn, n1.ControlIn));
    EXPECT_TRUE(IsMirror(gNodes[2], n1));
    EXPECT_TRUE(IsMirror(gNodes[3], n0));
    EXPECT_EQ(gSegments[0].SegmentType, SegmentLift);
    EXPECT_TRUE(gSegments[0].Tunnel);
    EXPECT_EQ(gRascGroups[0].ItemCount, 1);
    for (int s = 1; s < 4; ++s) {
        EXPECT_TRUE(ZeroedNormal(gSegments[s])) << "segment " << s;
        EXPECT_EQ(gRascGroups[s].ItemCount, 0) << "segment " << s;
    }
    EXPECT_EQ(gSegmentSelected.size(), 5u);
    for (bool selected : gSegmentSelected) EXPECT_FALSE(selected);
    EXPECT_TRUE(FlagsAre(AllFlagsButGround()));
    EXPECT_TRUE(gDocumentChanged);

    // A circuit now: the next opening refuses it.
    EXPECT_STREQ(ShuttleInfoText(), kShuttleRefusalText);
    EXPECT_FALSE(ShuttleOkEnabled());

    SavedAndLoaded("gw_shuttle_builder_test.vxtrack");
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(gSegmentCount, 4);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_TRUE(IsMirror(gNodes[2], n1));
    EXPECT_TRUE(IsMirror(gNodes[3], n0));
    EXPECT_TRUE(ZeroedNormal(gSegments[1]));
}

TEST_F(ShuttleBuilderTest, RefusesACircuitAndATrackOfOneNode) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 3, true);
    EXPECT_STREQ(ShuttleInfoText(), "A shuttle coaster can only be made from a non-circut track.");
    EXPECT_FALSE(ShuttleOkEnabled());
    EXPECT_FALSE(RunShuttleBuilder());
    EXPECT_EQ(gNodeCount, 3);
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear());

    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 0);
    EXPECT_EQ(gNodeCount, 1);
    EXPECT_STREQ(ShuttleInfoText(), kShuttleTooShortText);
    EXPECT_FALSE(RunShuttleBuilder());
    EXPECT_EQ(gNodeCount, 1);
    EXPECT_FALSE(gClosedCircuit);
}

TEST_F(BackwardsRebuilderTest, SpeedsOfEachSegmentTypeRiddenBackwards) {
    TrackSegment station;
    station.SegmentType = SegmentStation;
    station.Station.WheelSpeed = 2.0f;
    station.Station.WheelAccel = 3.0f;
    station.Station.MainBrakeDecel = 4.0f;
    station.Station.WheelDecel = 6.0f;
    ReverseSegmentSpeeds(station);
    EXPECT_EQ(station.Station.WheelSpeed, -0.1f);
    EXPECT_EQ(station.Station.WheelAccel, -3.0f);
    EXPECT_EQ(station.Station.MainBrakeDecel, 3.0f);
    EXPECT_EQ(station.Station.WheelDecel, 6.0f);

    TrackSegment lift;
    lift.SegmentType = SegmentLift;
    lift.Lift.MotorSpeed = 5.0f;
    lift.Lift.MotorAccel = 1.0f;
    lift.Lift.MotorDecel = 2.0f;
    ReverseSegmentSpeeds(lift);
    EXPECT_EQ(lift.Lift.MotorSpeed, -8.5f);
    EXPECT_EQ(Bits(lift.Lift.MotorAccel), 0xC29D1100u);
    EXPECT_EQ(Bits(lift.Lift.MotorDecel), 0xC19D1100u);

    TrackSegment transport;
    transport.SegmentType = SegmentTransport;
    transport.Transport.MotorSpeed = 10.0f;
    transport.Transport.MotorAccel = 2.0f;
    transport.Transport.MotorDecel = 7.0f;
    ReverseSegmentSpeeds(transport);
    EXPECT_EQ(transport.Transport.MotorSpeed, -3.0f);
    EXPECT_EQ(transport.Transport.MotorAccel, -1.0f);
    EXPECT_EQ(transport.Transport.MotorDecel, 7.0f);

    TrackSegment brake;
    brake.SegmentType = SegmentBrake;
    brake.Brake.WheelSpeed = 3.0f;
    brake.Brake.WheelAccel = 5.0f;
    brake.Brake.BrakeDecel = 8.0f;
    ReverseSegmentSpeeds(brake);
    EXPECT_EQ(brake.Brake.WheelSpeed, static_cast<float>(-3.0 * 0.1));
    EXPECT_EQ(brake.Brake.WheelAccel, -0.5f);
    EXPECT_EQ(brake.Brake.BrakeDecel, 8.0f);

    TrackSegment normal;
    normal.Station.WheelSpeed = 2.0f;
    normal.Lift.MotorSpeed = 5.0f;
    ReverseSegmentSpeeds(normal);
    EXPECT_EQ(normal.Station.WheelSpeed, 2.0f);
    EXPECT_EQ(normal.Lift.MotorSpeed, 5.0f);
}

TEST_F(BackwardsRebuilderTest, CircuitReversesNodesSegmentsSupportsAndTubeEnds) {
    MakeLineTrack({0, 10, 0}, {0, 0, -5}, 10, true);
    for (int s = 0; s < 10; ++s) gSegments[s].SpineColor = s;
    gSegments[3].SegmentType = SegmentLift;
    gSegments[3].Lift.MotorSpeed = 5.0f;
    gSegments[9].SegmentType = SegmentStation;  // the closing segment
    gSegments[9].Station.WheelSpeed = 2.0f;
    AddSupport(3, 0.9f, PrefabComplex);
    AddSupport(3, 0.25f);
    AddSupport(9, 0.3f);
    gTubeCount = 3;
    gTubes = {Tube(EndPrefabAnchor, 1, 3, EndFooter, 0, 0), Tube(EndFreeNode, 1, 0, EndPrefabAnchor, 0, 9),
              Tube(EndPrefabAnchor, 0, 42, EndFreeNode, 0, 0), SupportTube{}};
    gSegmentSelected.assign(11, false);
    gSegmentSelected[3] = true;
    gTrainCount = 3;
    gTrains.assign(4, TrainEntry{});
    const std::vector<TrackNode> before(gNodes.begin(), gNodes.begin() + 10);

    ASSERT_TRUE(RunBackwardsRebuilder());
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(IsMirror(gNodes[i], before[9 - i])) << "node " << i;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(gSegments[i].SpineColor, 8 - i) << "segment " << i;
    EXPECT_EQ(gSegments[9].SpineColor, 9);
    EXPECT_EQ(gSegments[5].SegmentType, SegmentLift);
    EXPECT_EQ(gSegments[5].Lift.MotorSpeed, -8.5f);
    EXPECT_EQ(gSegments[9].Station.WheelSpeed, 2.0f) << "the closing segment keeps its record";
    // Supports at 1 - p, in the same item order; the closing segment's stay.
    ASSERT_EQ(gRascGroups[5].ItemCount, 2);
    EXPECT_EQ(gRascGroups[5].Items[0].Style, PrefabComplex);
    EXPECT_FLOAT_EQ(gRascGroups[5].Items[0].Position, 0.1f);
    EXPECT_EQ(gRascGroups[5].Items[1].Position, 0.75f);
    EXPECT_EQ(gRascGroups[3].ItemCount, 0);
    ASSERT_EQ(gRascGroups[9].ItemCount, 1);
    EXPECT_EQ(gRascGroups[9].Items[0].Position, 0.3f);
    // Tube ends follow their supports; other ends and a dangling segment stay.
    EXPECT_EQ(gTubes[0].EndASegment, 5);
    EXPECT_EQ(gTubes[0].EndAIndex, 1);
    EXPECT_EQ(gTubes[0].EndBKind, EndFooter);
    EXPECT_EQ(gTubes[1].EndBSegment, 9);
    EXPECT_EQ(gTubes[1].EndAIndex, 1);
    EXPECT_EQ(gTubes[2].EndASegment, 42);
    EXPECT_TRUE(IsSegmentSelected(5));
    EXPECT_FALSE(IsSegmentSelected(3));
    EXPECT_EQ(gTrainCount, 1);
    EXPECT_TRUE(FlagsAre(AllFlagsButGround()));
    EXPECT_TRUE(gDocumentChanged);

    SavedAndLoaded("gw_backwards_rebuilder_test.vxtrack");
    EXPECT_EQ(gTrainCount, 1);
    EXPECT_EQ(gRascGroups[5].Items[1].Position, 0.75f);
    EXPECT_EQ(gTubes[0].EndASegment, 5);
    EXPECT_EQ(gSegments[5].Lift.MotorSpeed, -8.5f);
    EXPECT_TRUE(IsMirror(gNodes[0], before[9]));

    // Twice: the old order again, the type values changed twice.
    RebuildBackwards();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(Same(gNodes[i].ControlIn, before[i].ControlIn)) << "node " << i;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(gSegments[i].SpineColor, i);
    EXPECT_FLOAT_EQ(gSegments[3].Lift.MotorSpeed, 8.5f * 1.7f);
    EXPECT_FLOAT_EQ(gRascGroups[3].Items[1].Position, 0.25f);
    EXPECT_EQ(gTubes[0].EndASegment, 3);
}

TEST_F(BackwardsRebuilderTest, OpenTrackKeepsEachSegmentBetweenItsOwnNodes) {
    MakeLineTrack({0, 10, 0}, {0, 0, -5}, 4);  // 5 nodes, 4 segments
    for (int s = 0; s < 4; ++s) gSegments[s].SpineColor = s;
    gSegments[3].SegmentType = SegmentBrake;
    gSegments[3].Brake.WheelSpeed = 3.0f;
    AddSupport(0, 0.2f);
    gTubeCount = 1;
    gTubes = {Tube(EndPrefabAnchor, 0, 0, EndFreeNode, 0, 0), SupportTube{}};
    gSegmentSelected = {false, false, false, true, false};
    ASSERT_TRUE(RunBackwardsRebuilder());
    EXPECT_FALSE(gClosedCircuit);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gSegments[i].SpineColor, 3 - i) << "segment " << i;
    EXPECT_EQ(gSegments[0].Brake.WheelSpeed, static_cast<float>(-3.0 * 0.1));
    ASSERT_EQ(gRascGroups[3].ItemCount, 1);
    EXPECT_EQ(gRascGroups[3].Items[0].Position, 0.8f);
    EXPECT_EQ(gTubes[0].EndASegment, 3);
    EXPECT_TRUE(IsSegmentSelected(0));
    EXPECT_FALSE(IsSegmentSelected(3));
    EXPECT_EQ(BackwardsSegmentMap(4, false), (std::vector<int32_t>{3, 2, 1, 0}));
    EXPECT_EQ(BackwardsSegmentMap(4, true), (std::vector<int32_t>{2, 1, 0, 3}));
}
