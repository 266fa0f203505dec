// Removing support records with every reference renumbered, on small
// documents made by hand.

#include <random>
#include <tuple>
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

namespace {

// The removal as the procedure is written down: every marked support's tubes
// in a pass of their own, then the group compacted and its kind-3 ends
// renumbered. The one-pass removal must leave exactly this.
void RemovePrefabsOneByOne(const std::vector<int32_t>& styles) {
    for (int32_t style : styles) {
        const int32_t groups = std::clamp<int32_t>(gRascGroupCount, 0, static_cast<int32_t>(gRascGroups.size()));
        for (int32_t s = 0; s < groups; ++s) {
            RascGroup& group = gRascGroups[s];
            const int32_t n = std::clamp<int32_t>(group.ItemCount, 0, static_cast<int32_t>(group.Items.size()));
            std::vector<int32_t> map(static_cast<size_t>(n));
            int32_t kept = 0;
            for (int32_t k = 0; k < n; ++k) {
                if (group.Items[k].Style == style) {
                    RemoveBeamsOfPrefab(s, k);
                    map[k] = -1;
                } else {
                    map[k] = kept;
                    group.Items[kept++] = group.Items[k];
                }
            }
            if (kept == n) continue;
            for (int32_t k = kept; k < n; ++k) group.Items[k] = RascItem{};
            group.ItemCount = kept;
            for (int32_t t = 0; t < gTubeCount; ++t) {
                SupportTube& tube = gTubes[t];
                if (tube.EndAKind == 3 && tube.EndASegment == s && tube.EndAIndex >= 0 && tube.EndAIndex < n)
                    tube.EndAIndex = map[tube.EndAIndex];
                if (tube.EndBKind == 3 && tube.EndBSegment == s && tube.EndBIndex >= 0 && tube.EndBIndex < n)
                    tube.EndBIndex = map[tube.EndBIndex];
            }
        }
    }
}

auto Fields(const SupportTube& t) {
    return std::make_tuple(t.EndAKind, t.EndAIndex, t.EndASegment, t.EndBKind, t.EndBIndex, t.EndBSegment, t.TubeType,
                           t.Reserved, t.Rotation);
}

struct SupportRecords {
    std::vector<RascGroup> Groups;
    int32_t GroupCount;
    std::vector<SupportTube> Tubes;
    int32_t TubeCount;
    static SupportRecords Now() { return {gRascGroups, gRascGroupCount, gTubes, gTubeCount}; }
    void Restore() const {
        gRascGroups = Groups, gRascGroupCount = GroupCount, gTubes = Tubes, gTubeCount = TubeCount;
    }
};

::testing::AssertionResult SameRecords(const SupportRecords& a, const SupportRecords& b) {
    if (a.TubeCount != b.TubeCount || a.Tubes.size() != b.Tubes.size() || a.Groups.size() != b.Groups.size())
        return ::testing::AssertionFailure() << "counts differ";
    for (size_t i = 0; i < a.Tubes.size(); ++i)
        if (Fields(a.Tubes[i]) != Fields(b.Tubes[i])) return ::testing::AssertionFailure() << "tube " << i;
    for (size_t s = 0; s < a.Groups.size(); ++s) {
        const RascGroup &g = a.Groups[s], &h = b.Groups[s];
        if (g.ItemCount != h.ItemCount || g.Items.size() != h.Items.size())
            return ::testing::AssertionFailure() << "group " << s;
        for (size_t k = 0; k < g.Items.size(); ++k)
            if (g.Items[k].Style != h.Items[k].Style || g.Items[k].Position != h.Items[k].Position)
                return ::testing::AssertionFailure() << "group " << s << " item " << k;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

// Random support groups and tubes, odd ones among them: ends of every kind,
// indices and segments past the lists or negative, a group count past the
// groups held, an ItemCount past the items held, styles that repeat.
TEST_F(RecordRemovalTest, OnePassRemovalLeavesWhatRemovingSupportBySupportLeaves) {
    std::mt19937 random(5);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int trial = 0; trial < 300; ++trial) {
        const int groups = pick(0, 6);
        gRascGroups.assign(static_cast<size_t>(groups), RascGroup{});
        gRascGroupCount = groups + pick(-1, 1);
        for (RascGroup& g : gRascGroups) {
            const int n = pick(0, 7);
            for (int k = 0; k < n; ++k) g.Items.push_back(RascItem{pick(-1, 7), float(k)});
            g.ItemCount = std::max(0, n - 1 + pick(-1, 2));
        }
        std::vector<SupportTube> tubes;
        for (int t = pick(0, 40); t > 0; --t)
            tubes.push_back(SupportTube{pick(0, 4), pick(-1, 8), pick(-1, groups), pick(0, 4), pick(-1, 8),
                                        pick(-1, groups), pick(0, 9), pick(0, 1), float(t)});
        SetTubes(tubes);
        std::vector<int32_t> styles;
        for (int k = pick(1, 3); k > 0; --k) styles.push_back(pick(-1, 7));
        const SupportRecords before = SupportRecords::Now();

        RemovePrefabsOneByOne(styles);
        const SupportRecords expected = SupportRecords::Now();
        before.Restore();
        RemovePrefabsOfStyles(styles);
        ASSERT_TRUE(SameRecords(SupportRecords::Now(), expected)) << "trial " << trial;
        before.Restore();
        RemovePrefabsOneByOne({styles[0]});
        const SupportRecords one = SupportRecords::Now();
        before.Restore();
        RemovePrefabsOfStyle(styles[0]);
        ASSERT_TRUE(SameRecords(SupportRecords::Now(), one)) << "trial " << trial;

        // Every tube on any support a group holds, as one RemoveBeamsOfPrefab per support.
        before.Restore();
        for (int32_t s = 0; s < std::min<int32_t>(gRascGroupCount, groups); ++s)
            for (int32_t k = 0; k < gRascGroups[s].ItemCount; ++k) RemoveBeamsOfPrefab(s, k);
        const SupportRecords each = SupportRecords::Now();
        before.Restore();
        RemoveBeamsOfAnyPrefab();
        ASSERT_TRUE(SameRecords(SupportRecords::Now(), each)) << "trial " << trial;
    }
}
