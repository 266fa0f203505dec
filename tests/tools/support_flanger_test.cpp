// Support Flanger: flange types, counts and places for given tube lengths,
// the boxes that exclude tubes, tubes naming missing records, and the result
// saved and read back.

#include "tools/support_flanger.h"

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class SupportFlangerTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
        gFreeNodeCount = 0;
        gFreeNodes.clear();
        gTubeCount = 0;
        gTubes.clear();
    }
    // A tube of the type from (0, 5, 0) along +X; returns its index.
    int32_t TubeAlongX(float length, int32_t type) {
        const int32_t a = AddFreeNode(MakeVector(0, 5, 0));
        const int32_t b = AddFreeNode(MakeVector(length, 5, 0));
        return AddSupportBeam(a, b, type, 0.5f);
    }
    // Where new free node i stands along X.
    float X(int32_t i) const { return gFreeNodes[i].X; }
};

TEST(SupportFlangerTypes, OneSizeLargerForRoundTubesOnly) {
    EXPECT_EQ(FlangeTypeOf(TubeSmall), TubeMedium);
    EXPECT_EQ(FlangeTypeOf(TubeMedium), TubeLarge);
    EXPECT_EQ(FlangeTypeOf(TubeLarge), TubeXLarge);
    EXPECT_EQ(FlangeTypeOf(TubeXLarge), TubeXXLarge);
    for (int32_t none : std::initializer_list<int32_t>{TubeXXLarge, TubeLBeam, TubeHBeam, TubeWood4x4, TubeWood1x4,
                                                       TubeWood2x2, -1, 10})
        EXPECT_EQ(FlangeTypeOf(none), -1) << none;
}

TEST_F(SupportFlangerTest, ShortMediumTubeGetsTwoLargeEndFlanges) {
    TubeAlongX(3.0f, TubeMedium);
    ASSERT_TRUE(RunSupportFlanger(SupportFlangerOptions{}));
    ASSERT_EQ(gTubeCount, 3);
    ASSERT_EQ(gFreeNodeCount, 6);
    EXPECT_FLOAT_EQ(X(2), 0.75f);
    EXPECT_FLOAT_EQ(X(3), 0.9f);
    EXPECT_FLOAT_EQ(X(4), 2.25f);
    EXPECT_FLOAT_EQ(X(5), 2.1f);
    for (int32_t t = 1; t < 3; ++t) {
        EXPECT_EQ(gTubes[t].TubeType, TubeLarge);
        EXPECT_EQ(gTubes[t].EndAKind, EndFreeNode);
        EXPECT_EQ(gTubes[t].EndAIndex, 2 * t);
        EXPECT_EQ(gTubes[t].EndBIndex, 2 * t + 1);
        EXPECT_EQ(gTubes[t].Rotation, 0.0f);
        EXPECT_EQ(gFreeNodes[2 * t].Y, 5.0f);
    }
    EXPECT_EQ(gTubes[0].Rotation, 0.5f) << "the flanged tube stays as it was";
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);
    EXPECT_FALSE(gRemodelFlags.RebuildFooters);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(SupportFlangerTest, LongTubesGetMiddleFlangesAtEvenSteps) {
    TubeAlongX(25.0f, TubeSmall);  // n = round(3.5) = 4: three middle flanges
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 5);
    ASSERT_EQ(gFreeNodeCount, 12);
    ASSERT_EQ(gTubeCount, 6);
    const float centres[3] = {6.625f, 12.5f, 18.375f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(X(2 + 2 * k), centres[k] - 0.075f, 1e-4f);
        EXPECT_NEAR(X(3 + 2 * k), centres[k] + 0.075f, 1e-4f);
        EXPECT_EQ(gTubes[1 + k].TubeType, TubeMedium);
    }
    EXPECT_FLOAT_EQ(X(8), 0.75f);    // then end A
    EXPECT_FLOAT_EQ(X(10), 24.25f);  // and end B

    // 13.5 m: exactly the minimum inside the end flanges; n = round(2.35) = 2.
    SetUp();
    TubeAlongX(13.5f, TubeLarge);
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 3);
    EXPECT_NEAR((X(2) + X(3)) / 2.0f, 6.75f, 1e-4f);
    EXPECT_EQ(gTubes[1].TubeType, TubeXLarge);

    // Without middle flanges only the ends.
    SetUp();
    TubeAlongX(25.0f, TubeSmall);
    SupportFlangerOptions ends;
    ends.MakeMiddle = false;
    EXPECT_EQ(FlangeSupportTubes(ends), 2);
}

TEST_F(SupportFlangerTest, TubesThatDoNotQualifyGetNone) {
    TubeAlongX(2.99f, TubeMedium);
    TubeAlongX(5.0f, TubeLBeam);
    TubeAlongX(5.0f, TubeXXLarge);
    TubeAlongX(5.0f, TubeWood2x2);
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 0);
    EXPECT_EQ(gTubeCount, 4);
    EXPECT_EQ(gFreeNodeCount, 8);
}

// Flanges lie on their tube. With the shortest length 1 m and the distance
// 3 m, a 2 m tube on a footer gets none (not 1 m above its top and 1 m under
// the ground); one just long enough for distance and size gets both ends.
// Middle flanges stand only between the end flanges.
TEST_F(SupportFlangerTest, FlangesOnlyWhereTheyLieOnTheirTube) {
    SupportFlangerOptions far;
    far.MinTubeLength = 1.0;
    far.FlangeDist = 3.0;
    far.FlangeSize = 0.25;
    const auto standing = [](float height) {  // footer 0 stands at (3, 0, 0)
        const int32_t t = AddSupportBeam(AddFreeNode(MakeVector(3, height, 0)), 0, TubeMedium, 0);
        gTubes[t].EndBKind = EndFooter;
        return t;
    };
    standing(2.0f);
    EXPECT_EQ(FlangeSupportTubes(far), 0);
    standing(3.25f);
    EXPECT_EQ(FlangeSupportTubes(far), 2);
    ASSERT_EQ(gFreeNodeCount, 6);
    EXPECT_FLOAT_EQ(gFreeNodes[2].Y, 0.25f);
    EXPECT_FLOAT_EQ(gFreeNodes[3].Y, 0.0f);
    EXPECT_FLOAT_EQ(gFreeNodes[4].Y, 3.0f);
    EXPECT_FLOAT_EQ(gFreeNodes[5].Y, 3.25f);

    // 20 m, 5 m flanges 0.1 m from the ends, a middle one every 2 m: of the
    // ten middle centres (1.9 to 18.1 m) only 9.1 and 10.9 m keep their
    // flange between the end flanges (5.1 to 14.9 m).
    SetUp();
    TubeAlongX(20.0f, TubeSmall);
    SupportFlangerOptions wide;
    wide.FlangeDist = 0.1;
    wide.FlangeSize = 5.0;
    wide.MinSplitLength = wide.SplitLength = 2.0;
    EXPECT_EQ(FlangeSupportTubes(wide), 4);
    const float expected[][2] = {{6.6f, 11.6f}, {8.4f, 13.4f}, {0.1f, 5.1f}, {19.9f, 14.9f}};
    for (int f = 0; f < 4; ++f) {
        EXPECT_NEAR(X(2 + 2 * f), expected[f][0], 1e-4f) << f;
        EXPECT_NEAR(X(3 + 2 * f), expected[f][1], 1e-4f) << f;
    }
}

TEST_F(SupportFlangerTest, FarOutFlangesSinglePrecisionCannotSeparateAreLeftOut) {
    // 1e9 m out a float moves in steps of 64 m: every 0.15 m flange would have no length.
    const auto far = [&](float x0, float length) {
        AddSupportBeam(AddFreeNode(MakeVector(x0, 5, 0)), AddFreeNode(MakeVector(x0 + length, 5, 0)), TubeSmall, 0);
    };
    far(1.0e9f, 5000.0f);
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 0);
    EXPECT_EQ(gFreeNodeCount, 2);
    // 1e8 m out (steps of 8 m) 5 m flanges: those that keep a length each stand on their own spot.
    SetUp();
    far(1.0e8f, 5000.0f);
    SupportFlangerOptions big;
    big.FlangeSize = 5.0;
    const int32_t made = FlangeSupportTubes(big);
    EXPECT_GT(made, 0);
    EXPECT_LT(made, 502);
    for (int32_t t = 1; t <= made; ++t) {
        const Vector3 p = gFreeNodes[gTubes[t].EndAIndex], q = gFreeNodes[gTubes[t].EndBIndex];
        EXPECT_NE(p.X, q.X) << t;
        if (t > 1) {
            EXPECT_FALSE(p.X == gFreeNodes[gTubes[t - 1].EndAIndex].X && q.X == gFreeNodes[gTubes[t - 1].EndBIndex].X)
                << t;
        }
    }
}

TEST_F(SupportFlangerTest, FooterBoxAndMissingRecordsSkipTubes) {
    // Footer 0 at (3, 0, 0); free node 0 at (3, 6, 0): a 6 m tube.
    const int32_t node = AddFreeNode(MakeVector(3, 6, 0));
    AddSupportBeam(node, node, TubeMedium, 0);
    gTubes[0].EndAKind = EndFooter;
    gTubes[0].EndAIndex = 0;
    SupportFlangerOptions noFooters;
    noFooters.UseFooters = false;
    EXPECT_EQ(FlangeSupportTubes(noFooters), 0);
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 2);

    // Ends naming a free node, footer or support that does not exist.
    SetUp();
    const int32_t a = AddFreeNode(MakeVector(0, 0, 0));
    const int32_t bad[][3] = {{EndFreeNode, 7, 0},     {EndFooter, -1, 0},      {EndFooter, 2, 0},
                              {EndPrefabAnchor, 0, 1}, {EndPrefabAnchor, 0, 9}, {9, 0, 0}};
    for (const auto& [kind, index, segment] : bad) {
        const int32_t t = AddSupportBeam(a, a, TubeMedium, 0);
        gTubes[t].EndBKind = kind;
        gTubes[t].EndBIndex = index;
        gTubes[t].EndBSegment = segment;
    }
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}), 0);
    EXPECT_EQ(gTubeCount, 6);
}

TEST_F(SupportFlangerTest, RunningTwiceDoublesTheFlangesAndTheResultReloads) {
    TubeAlongX(3.0f, TubeMedium);
    TubeAlongX(25.0f, TubeSmall);
    FlangeSupportTubes(SupportFlangerOptions{});
    EXPECT_EQ(gTubeCount, 9);
    FlangeSupportTubes(SupportFlangerOptions{});
    EXPECT_EQ(gTubeCount, 16) << "the short flanges themselves get none";
    EXPECT_TRUE(SavesAndReloadsValid());
    EXPECT_EQ(gTubeCount, 16);
}

}  // namespace

namespace {

// The model's ceilings lowered to what the rest of the open track is planned
// to cost and `tubes` tubes of the largest kind, and put back afterwards.
class FewTubesModel {
public:
    explicit FewTubesModel(int64_t tubes) {
        gModelCeilings.Faces = PlanModelBesideTubes().Faces + tubes * kTubeFaceBound;
    }
    ~FewTubesModel() { gModelCeilings = ModelCeilings{}; }
};

// A shipped sample as the flanger finds it after an open, with its
// prefabricated supports of the complex style (the ones whose bracing grows
// with their height).
void LoadSample(const char* name) {
    ASSERT_TRUE(LoadTrackFile(std::string(GW_SAMPLES_DIR) + name));
    gDocumentType = DocumentTrack;
    for (int32_t g = 0; g < gRascGroupCount; ++g)
        for (int32_t j = 0; j < gRascGroups[g].ItemCount; ++j) gRascGroups[g].Items[j].Style = PrefabComplex;
}

std::string SavedBytes() {
    const std::string path = TestTempFile("flanged.vxtrack");
    std::string bytes;
    EXPECT_TRUE(SaveTrackFile(path) && fsys::ReadWholeFile(path, bytes));
    return bytes;
}

}  // namespace

// As many tubes as the bound says fit leave room for everything else of the
// track: built at the finest detail, the model leaves nothing out, and no
// part of it holds more than its plan. The bound is the same after the build.
TEST_F(SupportFlangerTest, TheBoundLeavesRoomForTheWholeModel) {
    for (const char* sample : {"circuit.vxtrack", "lakeside.vxtrack"}) {
        SCOPED_TRACE(sample);
        SetUp();
        prompts.Messages.clear();
        LoadSample(sample);
        ApplyTrackStylePresets(gTrackStyle, false);
        gModelSettings.RailDetail = gModelSettings.SpineDetail = kDetailMin;
        const FewTubesModel model(1000);
        const int32_t most = ModelBudget::TubesThatFit();
        EXPECT_EQ(most, 1000);
        const int32_t node = AddFreeNode(MakeVector(0, 5, 0));
        while (gTubeCount < most) AddSupportBeam(node, AddFreeNode(MakeVector(0, 25, 0)), TubeHBeam, 0.0f);
        BuildTrackModel(true, false, false);
        for (int32_t t = 0; t < most; ++t) EXPECT_GT(gTubeModels[t].FaceCount, 0) << t;
        EXPECT_TRUE(prompts.Messages.empty());
        for (int p = 0; p < kModelPartCount; ++p) {
            const ModelCost plan = PlanModelPart(ModelPart(p)), built = MeasureModelPart(ModelPart(p));
            EXPECT_GE(plan.Faces, built.Faces) << p;
            EXPECT_GE(plan.Bytes, built.Bytes) << p;
        }
        EXPECT_EQ(ModelBudget::TubesThatFit(), most);
    }
    // The bytes bound too (by default the faces bound is the lower one).
    SetUp();
    gModelCeilings.Bytes = PlanModelBesideTubes().Bytes + (1 << 20);
    EXPECT_LT(ModelBudget::TubesThatFit(), 1000);
    EXPECT_GT(ModelBudget::TubesThatFit(), 100);
    gModelCeilings = ModelCeilings{};
}

// The same track and options give the same file whether the model was built
// and at whatever detail, also where the bound leaves tubes without flanges.
TEST_F(SupportFlangerTest, TheSameTrackGivesTheSameFileWhateverTheModelHolds) {
    std::string first;
    for (const int level : {-1, 0, 1, 4}) {  // -1: no model at all
        SCOPED_TRACE(level);
        SetUp();
        prompts.Messages.clear();
        LoadSample("circuit.vxtrack");
        const FewTubesModel model(gTubeCount + 5);
        if (level >= 0) {
            gModelOnLoad = static_cast<int16_t>(level);
            RemodelTrack(true);
        }
        ASSERT_TRUE(RunSupportFlanger(SupportFlangerOptions{}));
        ASSERT_EQ(prompts.Messages.size(), 1u);
        EXPECT_EQ(prompts.Messages[0].Text.find("Flanges were made on 1 of the 6 tubes"), 0u);
        const std::string bytes = SavedBytes();
        if (first.empty()) first = bytes;
        EXPECT_TRUE(bytes == first);
    }
}

// Tubes take their flanges whole and in their order while the model has room;
// from the first that does not fit on, none get any, and the tool says so.
TEST_F(SupportFlangerTest, FlangesStopWhereTheModelIsFullAndSayWhatWasLeftOut) {
    TubeAlongX(25.0f, TubeSmall);   // 5 flanges
    TubeAlongX(25.0f, TubeMedium);  // 5
    TubeAlongX(2.0f, TubeSmall);    // too short: none
    TubeAlongX(3.0f, TubeSmall);    // 2, which would fit
    TubeAlongX(3.0f, TubeLarge);    // 2
    const FewTubesModel model(14);  // 9 more than the 5 tubes
    ASSERT_TRUE(RunSupportFlanger(SupportFlangerOptions{}));
    EXPECT_EQ(gTubeCount, 10);
    for (int32_t t = 5; t < 10; ++t) EXPECT_EQ(gTubes[t].TubeType, TubeMedium) << t;
    EXPECT_EQ(gFreeNodeCount, 20);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);
    EXPECT_TRUE(gDocumentChanged);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Flanges were made on 1 of the 4 tubes that take them: the model can show at most 14 support tubes (9 "
              "more than the track had). The other 3 tubes, from tube 2 on, were left without their 9 flanges.");
    EXPECT_TRUE(SavesAndReloadsValid());

    // With room for all, nothing is said.
    prompts.Messages.clear();
    gModelCeilings = ModelCeilings{};
    FlangeOutcome outcome;
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}, &outcome), 14);  // the flanges are too short for any
    EXPECT_EQ(outcome.TubesLeftOut, 0);
    EXPECT_EQ(FlangesLeftOutText(outcome), "");
    // A track that already holds more tubes than the model builds gets no flanges.
    gModelCeilings.Faces = 10 * kTubeFaceBound;
    EXPECT_EQ(FlangeSupportTubes(SupportFlangerOptions{}, &outcome), 0);
    EXPECT_EQ(outcome.Room, 0);
    EXPECT_EQ(outcome.FirstLeftOut, 0);
}

// 5,000 tubes of 1,998 m with a middle flange every 2 m asked for 5,005,000
// flanges (10 million free nodes, a track file of some 500 MB); the model
// builds some 222,000 tubes, so 217 tubes get their 1,001 flanges each.
TEST_F(SupportFlangerTest, FiveThousandTubesOfTwoKilometresStayWithinTheModel) {
    gPresetsLoaded = true;  // a model of no rails, spines or crossties: the tubes share it with the path alone
    for (int32_t t = 0; t < 5000; ++t) {
        const float x = -200.0f + 0.08f * float(t);
        AddSupportBeam(AddFreeNode(MakeVector(x, 1.0f, -999.0f)), AddFreeNode(MakeVector(x, 1.0f, 999.0f)), TubeSmall,
                       0.0f);
    }
    SupportFlangerOptions options;
    options.SplitLength = 2.0;
    FlangeOutcome outcome;
    EXPECT_EQ(FlangeSupportTubes(options, &outcome), 217 * 1001);
    EXPECT_LE(gTubeCount, ModelBudget::TubesThatFit());
    EXPECT_EQ(outcome.TubesFlanged, 217);
    EXPECT_EQ(outcome.TubesLeftOut, 5000 - 217);
    EXPECT_EQ(outcome.FlangesLeftOut, int64_t(5000 - 217) * 1001);
}
