// Node Smoother: straight tracks and a level circle stay, the application
// choices hold the nodes they name, an open track's ends stay, degenerate
// geometry never writes an undefined number, and the result saves and loads.

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/node_smoother.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_file.h"

namespace {

constexpr double kTau = 6.283185307179586;

// A closed circuit of n nodes round (0, y, 0) with radius r; each node at
// height y + wave * sin(2a), its handles along the tangent, their lengths
// varied by `uneven` to give the smoother work.
void MakeRing(int n, float r, float y, float wave, float uneven) {
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, n, true);
    const double step = kTau / n;
    const double h = 4.0 / 3.0 * std::tan(step / 4.0) * r;
    for (int i = 0; i < n; ++i) {
        const double a = step * i;
        const Vector3 p = MakeVector(float(r * std::cos(a)), float(y + wave * std::sin(2 * a)), float(r * std::sin(a)));
        const double slope = wave * 2 * std::cos(2 * a) / r;
        const double hin = h * (1.0 + uneven * (i % 3)), hout = h * (1.0 - uneven * (i % 2));
        const Vector3 t = MakeVector(float(-std::sin(a)), float(slope), float(std::cos(a)));
        gNodes[i] = Node(p, MakeVector(float(p.X - t.X * hin), float(p.Y - t.Y * hin), float(p.Z - t.Z * hin)),
                         MakeVector(float(p.X + t.X * hout), float(p.Y + t.Y * hout), float(p.Z + t.Z * hout)),
                         0.05f * float(i));
        gNodes[i].NodeFlag3 = true;
    }
}

bool SameNode(const TrackNode& a, const TrackNode& b) {
    return Same(a.Position, b.Position) && Same(a.ControlIn, b.ControlIn) && Same(a.ControlOut, b.ControlOut) &&
           a.Roll == b.Roll && a.RollEasing == b.RollEasing && a.StrictRoll == b.StrictRoll;
}

bool Finite(const Vector3& v) { return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z); }

NodeSmootherOptions AllOptions(SmootherApplication application = SmootherApplication::EntireTrack) {
    NodeSmootherOptions o;
    o.Application = application;
    o.PreserveStraightBunnyhills = o.PreferEqualLengths = o.Depump = true;
    return o;
}

}  // namespace

using NodeSmootherTest = ToolTest;

TEST_F(NodeSmootherTest, StraightTrackStaysBitForBitAndOnlyFlagsClear) {
    MakeLineTrack({-50, 10, 40}, {7, 1.5f, -20}, 5);
    for (int i = 0; i < gNodeCount; ++i) gNodes[i].NodeFlag3 = true;
    const std::vector<TrackNode> before = gNodes;
    ASSERT_TRUE(RunNodeSmoother(AllOptions()));
    for (int i = 0; i < gNodeCount; ++i) {
        EXPECT_TRUE(SameNode(gNodes[i], before[i])) << "node " << i;
        EXPECT_FALSE(gNodes[i].NodeFlag3);
    }
    EXPECT_TRUE(gRemodelFlags.RebuildPath && gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildPrefabs &&
                !gRemodelFlags.RebuildFooters && !gRemodelFlags.Recolor);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(NodeSmootherTest, LevelCircleStaysInPlace) {
    for (const NodeSmootherOptions& options : {NodeSmootherOptions{}, AllOptions()}) {
        MakeRing(8, 50.0f, 20.0f, 0.0f, 0.0f);
        const std::vector<TrackNode> before = gNodes;
        SmoothNodes(options);
        for (int i = 0; i < 8; ++i) {
            EXPECT_TRUE(Near(gNodes[i].Position, before[i].Position, 1e-3f)) << "node " << i;
            EXPECT_NEAR(gNodes[i].ControlIn.Y, 20.0f, 1e-4f);
            EXPECT_NEAR(gNodes[i].ControlOut.Y, 20.0f, 1e-4f);
            // The handles stay on the tangent, within the depump's slight shortening.
            EXPECT_NEAR(VectorDistance(gNodes[i].Position, gNodes[i].ControlOut),
                        VectorDistance(before[i].Position, before[i].ControlOut), 0.1f);
            EXPECT_EQ(gNodes[i].Roll, before[i].Roll);
        }
    }
}

TEST_F(NodeSmootherTest, UnevenRingIsSmoothedAndSavedAndLoaded) {
    MakeRing(8, 60.0f, 30.0f, 6.0f, 0.4f);
    const std::vector<TrackNode> before = gNodes;
    ASSERT_TRUE(RunNodeSmoother(AllOptions()));
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(SameNode(gNodes[i], before[i])) << "node " << i;
        EXPECT_TRUE(Near(gNodes[i].Position, before[i].Position, 10.0f)) << "node " << i;
    }
    const std::vector<TrackNode> smoothed = gNodes;
    const std::string path = TestTempFile("gw_node_smoother_test.vxtrack");
    ASSERT_TRUE(SaveTrackFile(path));
    ASSERT_TRUE(LoadTrackFile(path));
    std::filesystem::remove(path);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(SameNode(gNodes[i], smoothed[i])) << "node " << i;
}

TEST_F(NodeSmootherTest, OnlySelectedSegmentsMoveTheirStartNodes) {
    MakeRing(8, 60.0f, 30.0f, 6.0f, 0.4f);
    const std::vector<TrackNode> before = gNodes;
    gSegmentSelected.assign(9, false);
    gSegmentSelected[2] = true;
    NodeSmootherOptions options;
    options.Application = SmootherApplication::OnlySelected;
    options.PreferEqualLengths = true;
    SmoothNodes(options);
    for (int i = 0; i < 8; ++i) {
        if (i != 2) {
            EXPECT_TRUE(SameNode(gNodes[i], before[i])) << "node " << i;
        }
    }
    EXPECT_FALSE(SameNode(gNodes[2], before[2]));

    // With Depump the segment's end node may change its incoming handle, nothing else.
    MakeRing(8, 60.0f, 30.0f, 6.0f, 0.4f);
    SmoothNodes(AllOptions(SmootherApplication::OnlySelected));
    for (int i = 0; i < 8; ++i) {
        if (i == 2) continue;
        EXPECT_TRUE(Same(gNodes[i].Position, before[i].Position)) << "node " << i;
        EXPECT_TRUE(Same(gNodes[i].ControlOut, before[i].ControlOut)) << "node " << i;
        if (i != 3) {
            EXPECT_TRUE(Same(gNodes[i].ControlIn, before[i].ControlIn)) << "node " << i;
        }
    }

    // Preserving the selection holds the selected segments' start nodes (a
    // depump would still resize the incoming handle of a held node).
    MakeRing(8, 60.0f, 30.0f, 6.0f, 0.4f);
    gSegmentSelected[5] = true;
    options.Application = SmootherApplication::PreservingSelected;
    SmoothNodes(options);
    EXPECT_TRUE(SameNode(gNodes[2], before[2]));
    EXPECT_TRUE(SameNode(gNodes[5], before[5]));
    EXPECT_FALSE(SameNode(gNodes[3], before[3]));
}

TEST_F(NodeSmootherTest, OpenTrackKeepsItsEnds) {
    MakeRing(8, 60.0f, 30.0f, 6.0f, 0.4f);
    gClosedCircuit = false;
    gSegmentCount = 7;
    const std::vector<TrackNode> before = gNodes;
    SmoothNodes(AllOptions());
    EXPECT_TRUE(SameNode(gNodes[0], before[0]));
    EXPECT_TRUE(SameNode(gNodes[7], before[7]));
    EXPECT_FALSE(SameNode(gNodes[3], before[3]));
}

TEST_F(NodeSmootherTest, DegenerateGeometryNeverWritesAnUndefinedNumber) {
    // Nodes on top of each other with handles of zero length, handles that
    // meet their neighbours' handles, and a sharp reversal.
    MakeRing(6, 40.0f, 20.0f, 0.0f, 0.0f);
    gNodes[1].ControlIn = gNodes[1].ControlOut = gNodes[1].Position;
    gNodes[2] = gNodes[1];
    gNodes[3].ControlIn = gNodes[2].ControlOut;
    gNodes[4].ControlOut = gNodes[4].ControlIn;
    gNodes[5].ControlIn = gNodes[5].ControlOut = gNodes[0].ControlIn = gNodes[0].ControlOut = gNodes[0].Position;
    ASSERT_TRUE(RunNodeSmoother(AllOptions()));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Finite(gNodes[i].Position) && Finite(gNodes[i].ControlIn) && Finite(gNodes[i].ControlOut))
            << "node " << i;

    // Every point of the track in one place; then a track of one node.
    MakeRing(4, 40.0f, 20.0f, 0.0f, 0.0f);
    for (int i = 0; i < 4; ++i) gNodes[i] = Node({1, 2, 3}, {1, 2, 3}, {1, 2, 3});
    SmoothNodes(AllOptions());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Same(gNodes[i].ControlOut, MakeVector(1, 2, 3)));
    MakeLineTrack({0, 10, 0}, {0, 0, -10}, 0);
    gNodes[0].NodeFlag3 = true;
    SmoothNodes(NodeSmootherOptions{});
    EXPECT_FALSE(gNodes[0].NodeFlag3);
}

TEST(NodeSmootherBoxesTest, DepumpOnlyWithEqualLengths) {
    EXPECT_FALSE(SmootherBoxesAfterClick(false, true).DepumpEnabled);
    EXPECT_FALSE(SmootherBoxesAfterClick(false, true).DepumpChecked);
    EXPECT_TRUE(SmootherBoxesAfterClick(true, false).DepumpEnabled);
    EXPECT_TRUE(SmootherBoxesAfterClick(true, true).DepumpChecked);
}
