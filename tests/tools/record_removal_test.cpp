// Removing support records with every reference renumbered, on small
// documents made by hand.

#include <vector>

#include "tests/tools/tool_test_support.h"
#include "tools/record_removal.h"
#include "trackdoc/segment_selection.h"

namespace {

using RecordRemovalTest = ToolTest;

SupportTube Tube(int32_t aKind, int32_t aIndex, int32_t bKind, int32_t bIndex, int32_t type = 0, int32_t aSeg = 0,
                 int32_t bSeg = 0) {
    SupportTube t;
    t.EndAKind = aKind, t.EndAIndex = aIndex, t.EndASegment = aSeg;
    t.EndBKind = bKind, t.EndBIndex = bIndex, t.EndBSegment = bSeg;
    t.TubeType = type;
    return t;
}

void SetTubes(const std::vector<SupportTube>& tubes) {
    gTubes = tubes;
    gTubeCount = static_cast<int32_t>(tubes.size());
    gTubes.push_back(SupportTube{});
}

void SetFreeNodes(int n) {
    gFreeNodeCount = n;
    gFreeNodes.assign(static_cast<size_t>(n) + 1, Vector3{});
    for (int i = 0; i < n; ++i) gFreeNodes[i] = MakeVector(float(i), 0, 0);
}

std::vector<int32_t> Ends() {
    std::vector<int32_t> ends;
    for (int32_t i = 0; i < gTubeCount; ++i) ends.push_back(gTubes[i].EndAIndex), ends.push_back(gTubes[i].EndBIndex);
    return ends;
}

std::vector<int32_t> Types() {
    std::vector<int32_t> types;
    for (int32_t i = 0; i < gTubeCount; ++i) types.push_back(gTubes[i].TubeType);
    return types;
}

}  // namespace

TEST_F(RecordRemovalTest, UnusedFreeNodeGoesAndLaterReferencesMoveDown) {
    SetFreeNodes(5);
    SetTubes({Tube(2, 0, 2, 3), Tube(2, 4, 1, 0), Tube(1, 2, 2, 1)});  // the footer end names index 2 too
    gCatwalkCount = 1;
    gCatwalks = {{4, 3, 1, 0}, {}};
    gFooterCount = 3;
    gFooters.assign(4, TrackFooter{});
    EXPECT_EQ(RemoveUnusedFreeNodes(), 1);
    EXPECT_EQ(gFreeNodeCount, 4);
    EXPECT_EQ(gFreeNodes.size(), 6u);  // the list keeps its size; the freed record is zero
    EXPECT_EQ(gFreeNodes[2].X, 3.0f);
    EXPECT_EQ(gFreeNodes[3].X, 4.0f);
    EXPECT_TRUE(Same(gFreeNodes[4], Vector3{}));
    EXPECT_EQ(Ends(), (std::vector<int32_t>{0, 2, 3, 0, 2, 1}));
    EXPECT_EQ(gCatwalks[0].Corner1, 3);
    EXPECT_EQ(gCatwalks[0].Corner2, 2);
    EXPECT_EQ(gCatwalks[0].Corner3, 1);
    EXPECT_EQ(gCatwalks[0].Corner4, 0);

    // Nothing unused: nothing moves.
    EXPECT_EQ(RemoveUnusedFreeNodes(), 0);
    EXPECT_EQ(gFreeNodeCount, 4);
    EXPECT_EQ(Ends(), (std::vector<int32_t>{0, 2, 3, 0, 2, 1}));
}

TEST_F(RecordRemovalTest, ACatwalkCornerKeepsAFreeNodeAndOrphanReferencesKeepNothing) {
    SetFreeNodes(4);
    // Node 1 is named only by a catwalk; the tube ends past the count and below 0 name nothing.
    SetTubes({Tube(2, 3, 2, 7), Tube(2, -1, 2, 3)});
    gCatwalkCount = 1;
    gCatwalks = {{1, 1, 3, 9}, {}};
    EXPECT_EQ(RemoveUnusedFreeNodes(), 2);  // nodes 0 and 2
    EXPECT_EQ(gFreeNodeCount, 2);
    EXPECT_EQ(gFreeNodes[0].X, 1.0f);
    EXPECT_EQ(gFreeNodes[1].X, 3.0f);
    EXPECT_EQ(Ends(), (std::vector<int32_t>{1, 7, -1, 1}));
    EXPECT_EQ(gCatwalks[0].Corner1, 0);
    EXPECT_EQ(gCatwalks[0].Corner3, 1);
    EXPECT_EQ(gCatwalks[0].Corner4, 9);
    // What names nothing goes with the orphan clean-ups.
    EXPECT_EQ(RemoveOrphanBeams(), 2);
    EXPECT_EQ(gTubeCount, 0);
}

TEST_F(RecordRemovalTest, UnusedFootersGoAndOnlyFooterEndsAreRenumbered) {
    gFooterCount = 3;
    gFooters.assign(4, TrackFooter{});
    for (int i = 0; i < 3; ++i) gFooters[i].Position = MakeVector(float(i), 0, 0);
    SetFreeNodes(3);
    SetTubes({Tube(1, 2, 2, 2), Tube(2, 1, 1, 2)});
    gCatwalkCount = 1;
    gCatwalks = {{2, 2, 2, 2}, {}};
    EXPECT_EQ(RemoveUnusedFooters(), 2);
    EXPECT_EQ(gFooterCount, 1);
    EXPECT_EQ(gFooters[0].Position.X, 2.0f);
    EXPECT_EQ(Ends(), (std::vector<int32_t>{0, 2, 1, 0}));
    EXPECT_EQ(gCatwalks[0].Corner1, 2);

    gFooterCount = 0;
    gFreeNodeCount = 0;
    gTubeCount = 0;
    EXPECT_EQ(RemoveUnusedFooters(), 0);
    EXPECT_EQ(RemoveUnusedFreeNodes(), 0);
}

TEST_F(RecordRemovalTest, OrphanBeams) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 2);  // two free nodes, two footers
    gRascGroups[1].ItemCount = 1;
    gRascGroups[1].Items = {{2, 0.5f}, {}};
    SetTubes({Tube(2, 0, 1, 1, 0),          // sound
              Tube(2, 1, 1, 2, 1),          // B names footer gFooterCount
              Tube(0, 9, 2, 0, 2),          // kind 0 is never an orphan
              Tube(5, 9, 4, -3, 3),         // nor is kind 5 or 4
              Tube(3, 0, 2, 0, 4, 1),       // sound support
              Tube(3, 1, 2, 0, 5, 1),       // item past the group's count
              Tube(3, 0, 2, 0, 6, 2),       // segment past the segment count
              Tube(2, 0, 3, 0, 7, 0, -1),   // negative segment
              Tube(2, -1, 2, 0, 8)});       // negative index
    EXPECT_EQ(RemoveOrphanBeams(), 5);
    EXPECT_EQ(Types(), (std::vector<int32_t>{0, 2, 3, 4}));
    EXPECT_EQ(RemoveOrphanBeams(), 0);
}

TEST_F(RecordRemovalTest, BeamsOfTypeAndOfAPrefabricatedSupport) {
    SetTubes({Tube(2, 0, 2, 1, 2), Tube(3, 0, 3, 1, 0, 4, 5), Tube(2, 0, 3, 1, 1, 0, 5), Tube(2, 0, 2, 1, 2)});
    EXPECT_EQ(RemoveBeamsOfType(2), 2);
    EXPECT_EQ(Types(), (std::vector<int32_t>{0, 1}));
    EXPECT_TRUE(gTubes[2].TubeType == 0 && gTubes[2].EndAKind == 0 && gTubes[3].EndBKind == 0);  // zero records
    EXPECT_EQ(RemoveBeamsOfPrefab(5, 1), 2);  // both ends checked: the second tube names it at B only
    EXPECT_EQ(gTubeCount, 0);
    EXPECT_EQ(RemoveBeamsOfType(2), 0);
}

TEST_F(RecordRemovalTest, RemovedStyleKeepsTheOtherStylesTubeEndsRight) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 2);
    gRascGroups[0].ItemCount = 3;
    gRascGroups[0].Items = {{5, 0.1f}, {2, 0.5f}, {5, 0.9f}, {}};
    gRascGroups[1].ItemCount = 2;
    gRascGroups[1].Items = {{5, 0.2f}, {3, 0.6f}, {}};
    SetTubes({Tube(3, 0, 2, 0, 0, 0),      // on the first style-5 support
              Tube(3, 1, 2, 0, 1, 0),      // on the style-2 support
              Tube(2, 1, 3, 2, 2, 0, 0),   // B on the second style-5 support
              Tube(3, 1, 3, 1, 3, 1, 0),   // A on segment 1's style-3 support, B on segment 0's style 2
              Tube(3, 0, 2, 0, 4, 1)});    // on segment 1's style-5 support
    EXPECT_EQ(RemovePrefabsOfStyle(5), 3);
    EXPECT_EQ(gRascGroups[0].ItemCount, 1);
    EXPECT_EQ(gRascGroups[0].Items.size(), 4u);
    EXPECT_EQ(gRascGroups[0].Items[0].Style, 2);
    EXPECT_EQ(gRascGroups[0].Items[0].Position, 0.5f);
    EXPECT_EQ(gRascGroups[0].Items[1].Style, 0);  // zero records past the count
    EXPECT_EQ(gRascGroups[1].ItemCount, 1);
    EXPECT_EQ(gRascGroups[1].Items[0].Style, 3);
    EXPECT_EQ(Types(), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(gTubes[0].EndAIndex, 0);
    EXPECT_EQ(gTubes[1].EndAIndex, 0);
    EXPECT_EQ(gTubes[1].EndASegment, 1);
    EXPECT_EQ(gTubes[1].EndBIndex, 0);
    EXPECT_EQ(RemoveOrphanBeams(), 0);

    EXPECT_EQ(RemovePrefabsOfStyle(2), 1);
    EXPECT_EQ(gRascGroups[0].ItemCount, 0);  // its only support went
    EXPECT_EQ(gTubeCount, 0);
}

TEST_F(RecordRemovalTest, RemovingTheTrackEmptiesGroupsAndSelection) {
    MakeLineTrack({0, 0, 0}, {10, 0, 0}, 3);
    gRascGroups[2].ItemCount = 1;
    gRascGroups[2].Items = {{2, 0.5f}, {}};
    ClearSegmentSelection();
    gSegmentSelected[1] = true;
    SetTubes({Tube(3, 0, 2, 0, 2, 2), Tube(2, 0, 1, 1)});
    RemoveTrackRecords();
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gSegmentCount, 0);
    EXPECT_EQ(gRascGroupCount, 3);  // the groups stay, emptied
    EXPECT_EQ(gRascGroups[2].ItemCount, 0);
    EXPECT_FALSE(IsSegmentSelected(1));
    EXPECT_EQ(RemoveOrphanBeams(), 1);
    EXPECT_EQ(gTubes[0].EndAKind, 2);
}
