// Support Wizard: where the walk puts the supports along the path, the style
// each gets by segment type and bank, and the defaults of inverted tracks.

#include "tools/support_wizard.h"

#include <cmath>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class SupportWizardTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        gRascGroupCount = 0;
        gRascGroups.clear();
    }
    // A path of segments of the given types and lengths, level everywhere
    // unless `bank` says otherwise.
    static WizardPath Path(std::vector<int32_t> types, std::vector<float> lengths,
                           std::function<double(int32_t, float)> bank = {}) {
        return WizardPath{std::move(types), std::move(lengths), bank ? bank : [](int32_t, float) { return 0.0; }};
    }
    static std::vector<float> Positions(int32_t segment) {
        std::vector<float> p;
        for (int32_t k = 0; k < gRascGroups[segment].ItemCount; ++k)
            p.push_back(gRascGroups[segment].Items[k].Position);
        return p;
    }
};

TEST_F(SupportWizardTest, OneSupportEveryTenMetresFromTheStart) {
    EXPECT_EQ(PlaceWizardSupports(SupportWizardOptions{}, false, Path({0}, {25.0f})), 3);
    ASSERT_EQ(gRascGroupCount, 1);
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f, 0.4f, 0.8f}));
    for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(gRascGroups[0].Items[k].Style, PrefabSimple);
    EXPECT_EQ(gRascGroups[0].Items.size(), 4u) << "the spare record stays";

    // Running again without removal puts the new ones behind the old ones.
    PlaceWizardSupports(SupportWizardOptions{}, false, Path({0}, {25.0f}));
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f, 0.4f, 0.8f, 0.0f, 0.4f, 0.8f}));
}

TEST_F(SupportWizardTest, AStationConsumesDistanceButGetsNoSupport) {
    // 0 and 10 m on the first; 20 m falls on the station; 30 and 40 m are 3 and 13 m into the third.
    EXPECT_EQ(PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 1, 0}, {15.0f, 12.0f, 15.0f})), 4);
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f, 10.0f / 15.0f}));
    EXPECT_TRUE(Positions(1).empty());
    ASSERT_EQ(Positions(2).size(), 2u);
    EXPECT_NEAR(Positions(2)[0], 0.2f, 1e-6f);
    EXPECT_NEAR(Positions(2)[1], 13.0f / 15.0f, 1e-6f);
    // A support can stand at the very end of a segment.
    SetUp();
    PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 0}, {20.0f, 5.0f}));
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f, 0.5f, 1.0f}));
}

TEST_F(SupportWizardTest, AZeroLengthSegmentGetsItsSupportAtItsStart) {
    PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 0}, {0.0f, 25.0f}));
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f}));
    EXPECT_EQ(Positions(1), (std::vector<float>{0.4f, 0.8f}));
    SetUp();
    // A length that is no number counts as none.
    EXPECT_EQ(PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 0}, {NAN, 0.0f})), 1);
    EXPECT_EQ(Positions(0), (std::vector<float>{0.0f}));
}

TEST_F(SupportWizardTest, AnAbsurdlyLongSegmentEndsTheWalkWithoutStackingSupports) {
    // A station of 5e8 m: a float distance stopped moving there and the walk never ended.
    WizardWalk walk;
    EXPECT_EQ(PlaceWizardSupports(SupportWizardOptions{}, false, Path({1}, {5.0e8f}), &walk), 0);
    EXPECT_EQ(walk.Turns, kMaxWizardTurns);
    EXPECT_TRUE(walk.Stopped);
    // A lift segment of the same length: as many supports as turns, each on its own spot.
    SetUp();
    EXPECT_EQ(PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 2}, {5.0f, 5.0e8f}), &walk),
              kMaxWizardTurns);
    EXPECT_EQ(walk.Turns, kMaxWizardTurns);
    const std::vector<float> lift = Positions(1);
    for (size_t k = 1; k < lift.size(); ++k) ASSERT_LT(lift[k - 1], lift[k]) << k;
    // Steps too small for a stored position to tell apart put one support there, not thousands.
    SetUp();
    SupportWizardOptions tiny;
    tiny.Distance = 1e-300;
    EXPECT_EQ(PlaceWizardSupports(tiny, false, Path({0}, {10.0f}), &walk), 1);
    EXPECT_EQ(walk.Turns, kMaxWizardTurns);
}

// Where a walk cut short by the bound stopped, and what it says; a walk that
// ends with its last step on the bound went to the end.
TEST_F(SupportWizardTest, AWalkCutShortSaysWhereItStopped) {
    WizardWalk walk;
    PlaceWizardSupports(SupportWizardOptions{}, false, Path({0, 1, 0}, {15.0f, 12.0f, 15.0f}), &walk);
    EXPECT_FALSE(walk.Stopped);
    EXPECT_EQ(walk.Turns, 5);
    EXPECT_EQ(WizardStoppedText(walk), "");

    // Steps of 1 m over 40,000 m, 70,000.25 m and 10 m: the 100,000th step
    // stands 59,999 m into the second segment, and the walk stops one metre on.
    SetUp();
    SupportWizardOptions metre;
    metre.Distance = 1.0;
    EXPECT_EQ(PlaceWizardSupports(metre, false, Path({0, 2, 0}, {40000.0f, 70000.25f, 10.0f}), &walk),
              kMaxWizardTurns);
    EXPECT_TRUE(walk.Stopped);
    EXPECT_EQ(walk.StopSegment, 1);
    EXPECT_DOUBLE_EQ(walk.StopDistance, 60000.0);
    EXPECT_EQ(gRascGroupCount, 2) << "nothing on the third segment";
    EXPECT_EQ(WizardStoppedText(walk),
              "The Support Wizard stopped after 100000 steps of 1.00 m, the most it takes in one run, 60000.00 m into "
              "segment 2 of 3. The track from there to its end got no new supports.");

    // The same walk with the last segment 40,000 m shorter ends on its last step.
    SetUp();
    PlaceWizardSupports(metre, false, Path({0, 0}, {40000.0f, 59999.0f}), &walk);
    EXPECT_EQ(walk.Turns, kMaxWizardTurns);
    EXPECT_FALSE(walk.Stopped);
}

TEST_F(SupportWizardTest, StylesBySegmentTypeAndBank) {
    const SupportWizardOptions o = DefaultWizardOptions(StyleSteelLooping);
    EXPECT_EQ(o.DefaultStyle, PrefabSimple);
    EXPECT_EQ(o.ChangeStyle[2], PrefabComplex);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentNormal, 0.0), PrefabSimple);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentLift, 60.0), PrefabComplex);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentStation, 0.0), -1);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentNormal, 100.0), Prefab90degBank);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentNormal, 67.0), PrefabSimple);
    EXPECT_EQ(WizardStyleAt(o, false, SegmentNormal, 134.5), PrefabInverted) << "the second rule wins";
    EXPECT_EQ(WizardStyleAt(o, true, SegmentBrake, 170.0), PrefabSimple);

    SupportWizardOptions plain = o;
    plain.Change[1] = false;
    plain.UseBank90 = plain.UseBankInvert = false;
    EXPECT_EQ(WizardStyleAt(plain, false, SegmentTransport, 100.0), PrefabSimple);
    EXPECT_EQ(WizardStyleAt(plain, false, SegmentBrake, 180.0), PrefabComplex);

    for (int32_t inverted : {StyleInverted2Seat, StyleInverted4Seat}) {
        const SupportWizardOptions i = DefaultWizardOptions(inverted);
        EXPECT_EQ(i.DefaultStyle, PrefabSmallInverted);
        for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(i.ChangeStyle[k], PrefabInverted);
    }

    // The bank of each place decides; the walk hands the segment and distance.
    PlaceWizardSupports(o, false, Path({0, 2}, {20.0f, 20.0f}, [](int32_t s, float d) {
                            return s == 0 ? (d < 5.0f ? 0.0 : 100.0) : (d < 5.0f ? 30.0 : 180.0);
                        }));
    EXPECT_EQ(gRascGroups[0].Items[0].Style, PrefabSimple);
    EXPECT_EQ(gRascGroups[0].Items[1].Style, Prefab90degBank);
    EXPECT_EQ(gRascGroups[0].Items[2].Style, Prefab90degBank);  // 20 m: the end of segment 0
    EXPECT_EQ(gRascGroups[1].Items[0].Style, PrefabInverted);   // 10 m into the lift
}

TEST_F(SupportWizardTest, BankOfFrames) {
    EXPECT_DOUBLE_EQ(FrameBankDegrees(MatrixIdentity()), 0.0);
    EXPECT_NEAR(FrameBankDegrees(MatrixRotateZ(DegToRad(90))), 90.0, 1e-4);
    EXPECT_NEAR(FrameBankDegrees(MatrixRotateZ(DegToRad(-135))), 135.0, 1e-4);
    EXPECT_NEAR(FrameBankDegrees(MatrixRotateZ(DegToRad(180))), 180.0, 1e-4);
}

}  // namespace

namespace {

class SupportWizardRunTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
        gRascGroups[0].ItemCount = 2;
        gRascGroups[0].Items = {RascItem{PrefabAShape, 0.1f}, RascItem{PrefabComplex, 0.6f}, RascItem{}};
        // Tubes from footer 0 to the second support, and between the free nodes.
        gTubeCount = 2;
        gTubes.assign(3, SupportTube{});
        gTubes[0] = SupportTube{EndFooter, 0, 0, EndPrefabAnchor, 1, 0, TubeMedium, 0, 0.0f};
        gTubes[1] = SupportTube{EndFreeNode, 0, 0, EndFreeNode, 1, 0, TubeLarge, 0, 0.0f};
    }
};

TEST_F(SupportWizardRunTest, RemovingFirstTakesTheHangingTubesAlong) {
    ASSERT_TRUE(RunSupportWizard(DefaultWizardOptions(gTrackStyle)));
    ASSERT_EQ(gTubeCount, 1);
    EXPECT_EQ(gTubes[0].TubeType, TubeLarge);
    EXPECT_EQ(gRascGroups[0].Items[0].Style, PrefabSimple);
    EXPECT_EQ(gRascGroups[0].Items[0].Position, 0.0f);
    EXPECT_TRUE(gRemodelFlags.RebuildPrefabs);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(SavesAndReloadsValid());
}

TEST_F(SupportWizardRunTest, AStationOfHalfAMillionKilometresFinishesAndSaysWhatItLeftOut) {
    MakeLineTrack({0, 10, 0}, {0, 0, -5.0e8f}, 1);
    gSegments[0].SegmentType = SegmentStation;
    ASSERT_TRUE(RunSupportWizard(DefaultWizardOptions(gTrackStyle)));
    EXPECT_EQ(gRascGroups[0].ItemCount, 0);
    gSegments[0].SegmentType = SegmentLift;
    ASSERT_TRUE(RunSupportWizard(DefaultWizardOptions(gTrackStyle)));
    EXPECT_EQ(gRascGroups[0].ItemCount, kMaxWizardTurns);
    EXPECT_EQ(gRascGroups[0].Items[0].Style, PrefabComplex);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    for (const ShownMessage& m : prompts.Messages) {
        EXPECT_EQ(m.Title, "Warning!");
        EXPECT_EQ(m.Icon, MsgIcon::Exclamation);
        EXPECT_EQ(m.Text.rfind("The Support Wizard stopped after 100000 steps of 10.00 m, the most it takes in one "
                               "run, 1000000.00 m into segment 1 of 1.",
                               0),
                  0u)
            << m.Text;
    }
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(SupportWizardRunTest, KeepingTheOldSupportsKeepsTheirTubes) {
    SupportWizardOptions options = DefaultWizardOptions(gTrackStyle);
    options.RemoveAll = false;
    ASSERT_TRUE(RunSupportWizard(options));
    EXPECT_EQ(gTubeCount, 2);
    EXPECT_EQ(gRascGroups[0].Items[1].Style, PrefabComplex) << "the old ones stay in front";
    EXPECT_FALSE(gRemodelFlags.RebuildTubes);
    EXPECT_TRUE(SavesAndReloadsValid());
}

}  // namespace
