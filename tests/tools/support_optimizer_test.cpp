// Support Optimizer: straight same-type tubes merged at their free node, the
// angle limit, the "1 x 4" beams that never merge and end last, the clean-up
// after, and tubes naming missing records left alone.

#include "tools/support_optimizer.h"

#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "core/app_state.h"
#include "model/path_frames.h"
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

namespace {

// A hub gets at least this many tubes, enough for the search by direction.
constexpr int kSpokesMin = 26;

auto Fields(const SupportTube& t) {
    return std::make_tuple(t.EndAKind, t.EndAIndex, t.EndASegment, t.EndBKind, t.EndBIndex, t.EndBSegment, t.TubeType,
                           t.Reserved, t.Rotation);
}

// Hubs where many tubes meet (enough for the search by direction), the tubes
// leaving each in a few directions, some exactly or nearly reversed (by 0.004,
// 0.0099, 0.0101 and 0.02 rad), to free nodes of their own, to other hubs (so
// that chains merge through several), to footers and supports, to nodes on the
// hub's own spot or not finite; tubes with both ends on a hub, tubes listed
// twice, ends that name nothing, "1 x 4" beams and mixed types.
void MakeRandomHubs(std::mt19937& random) {
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    gFreeNodeCount = 0;
    gFreeNodes.clear();
    gTubeCount = 0;
    gTubes.clear();
    const int hubs = pick(1, 4);
    for (int h = 0; h < hubs; ++h) AddFreeNode(MakeVector(float(40 * h), 20.0f, float(pick(-1, 1) * 3)));
    std::vector<Vector3> bases;
    for (int k = pick(2, 5); k > 0; --k) {
        const double a = pick(0, 628) / 100.0, b = pick(-150, 150) / 100.0;
        bases.push_back(
            MakeVector(float(std::cos(a) * std::cos(b)), float(std::sin(b)), float(std::sin(a) * std::cos(b))));
    }
    const double offsets[] = {0.0, 0.0, 0.004, 0.0099, 0.0101, 0.02, 0.3};
    for (int h = 0; h < hubs; ++h) {
        const Vector3 hub = gFreeNodes[h];
        for (int k = pick(kSpokesMin, kSpokesMin + 40); k > 0; --k) {
            const Vector3& base = bases[pick(0, int(bases.size()) - 1)];
            const double sign = pick(0, 1) ? 1.0 : -1.0, off = offsets[pick(0, 6)], len = pick(1, 30);
            // The base direction, reversed or not, turned by `off` about a perpendicular axis.
            const Vector3 side = MakeVector(-base.Z, 0.0f, base.X);
            const double sl = std::sqrt(double(side.X) * side.X + double(side.Z) * side.Z);
            Vector3 d = base;
            if (sl > 0.0) {
                d.X = float(sign * (base.X * std::cos(off)) + side.X / sl * std::sin(off));
                d.Y = float(sign * base.Y * std::cos(off));
                d.Z = float(sign * (base.Z * std::cos(off)) + side.Z / sl * std::sin(off));
            }
            int32_t kind = EndFreeNode, index = 0, segment = 0;
            switch (pick(0, 19)) {
                case 0: index = pick(0, hubs - 1); break;                       // another hub, or this one
                case 1: index = AddFreeNode(hub); break;                         // on the hub's spot
                case 2: index = AddFreeNode(MakeVector(nan, 0, 0)); break;
                case 3: index = AddFreeNode(MakeVector(hub.X, inf, hub.Z)); break;
                case 4: kind = EndFooter, index = pick(0, 2); break;             // footer 2 does not exist
                case 5: kind = EndPrefabAnchor, index = pick(0, 1), segment = pick(0, 1); break;
                case 6: index = pick(0, gFreeNodeCount + 1); break;              // any node, or none
                default:
                    index = AddFreeNode(MakeVector(float(hub.X + d.X * len), float(hub.Y + d.Y * len),
                                                   float(hub.Z + d.Z * len)));
                    break;
            }
            const int32_t type = pick(0, 9) == 0 ? TubeWood1x4 : (pick(0, 5) == 0 ? TubeLarge : TubeMedium);
            const int32_t t = AddSupportBeam(h, h, type, float(gTubeCount));
            if (pick(0, 1)) {
                gTubes[t].EndAKind = kind, gTubes[t].EndAIndex = index, gTubes[t].EndASegment = segment;
            } else {
                gTubes[t].EndBKind = kind, gTubes[t].EndBIndex = index, gTubes[t].EndBSegment = segment;
            }
            if (pick(0, 60) == 0) AddSupportBeam(h, h, type, 0.0f);       // both ends on the hub
            if (pick(0, 60) == 0) gTubes.insert(gTubes.begin() + gTubeCount, gTubes[t]), ++gTubeCount;  // twice
        }
    }
}

}  // namespace

TEST_F(SupportOptimizerTest, TheSearchByDirectionMergesAsComparingEveryPair) {
    ExtractTrackSpine();
    BuildPathMatrixArray();
    gRascGroups[0].ItemCount = gRascGroups[1].ItemCount = 2;
    gRascGroups[0].Items = gRascGroups[1].Items = {RascItem{2, 0.2f}, RascItem{3, 0.7f}, RascItem{}};
    std::mt19937 random(17);
    int32_t merges = 0;
    for (int trial = 0; trial < 120; ++trial) {
        MakeRandomHubs(random);
        const std::vector<SupportTube> tubes = gTubes;
        const int32_t count = gTubeCount;
        const int32_t expected = OptimizeTubesComparingEveryPair();
        const std::vector<SupportTube> everyPair = gTubes;
        const int32_t everyPairCount = gTubeCount;
        gTubes = tubes;
        gTubeCount = count;
        ASSERT_EQ(OptimizeTubes(), expected) << "trial " << trial;
        ASSERT_EQ(gTubeCount, everyPairCount);
        for (size_t t = 0; t < gTubes.size(); ++t)
            ASSERT_EQ(Fields(gTubes[t]), Fields(everyPair[t])) << "trial " << trial << ", tube " << t;
        merges += expected;
    }
    EXPECT_GT(merges, 1000);
}
