// Prefabricated supports: every style's parts, numbering, sides and broken groups.

#include <cmath>

#include "core/app_state.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/prefab_support_parts.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kBeam = 16, kCappedBeam = 28, kStartCappedBeam = 22, kMesh1 = 24, kMesh2 = 136, kFooter = 10;

class PrefabSupportModelsTest : public ModelTest {
protected:
    // A level straight track at height y along -Z (or +X), one support of the
    // given style in the middle of segment 0.
    void Track(int style, float y = 5.0f, int trackStyle = 0, bool alongX = false, float roll = 0.0f) {
        MakeStraightTrack(2, 10.0f, false, trackStyle);
        for (int i = 0; i < gNodeCount; ++i) {
            TrackNode& n = gNodes[i];
            for (Vector3* p : {&n.Position, &n.ControlIn, &n.ControlOut}) {
                p->Y = y;
                if (alongX) *p = Vector3{-p->Z, y, 0};
            }
            n.Roll = roll;
        }
        SetPrefabItems(0, {{style, 0.5f}});
        ApplyTrackStylePresets(trackStyle, false);
        ExtractTrackSpine();
        BuildPathMatrixArray();
    }
    Vector3 Anchor() {
        Vector3 a;
        EXPECT_TRUE(GetPrefabSupportAnchor(a, 0, 0));
        return a;
    }
    static const ModelMesh& Support(int k = 0) { return gPrefabModels[k]; }
    static const ModelMesh& Footers(int k = 0) { return gPrefabFooterModels[k]; }
    // The footers' centres, one per 10 faces (square footers).
    static std::vector<Vector3> FooterCentres(int k = 0) {
        std::vector<Vector3> centres;
        for (int f = 0; f + kFooter <= Footers(k).FaceCount; f += kFooter) {
            const Bounds b = BoundsOf(Footers(k), f, kFooter);
            centres.push_back(Vector3{(b.Min.X + b.Max.X) / 2, b.Min.Y, (b.Min.Z + b.Max.Z) / 2});
        }
        return centres;
    }
};

}  // namespace

TEST_F(PrefabSupportModelsTest, SimpleIsFittingPostAndOneFooter) {
    Track(PrefabSimple);
    CreatePrefabSupportModels();
    ASSERT_EQ(gPrefabModelCount, 1);
    ASSERT_EQ(gPrefabModels.size(), 2u);
    const ModelMesh& m = Support();
    ASSERT_EQ(m.FaceCount, kMesh1 + kBeam);
    EXPECT_EQ(m.Faces.capacity(), size_t(m.FaceCount)) << "no room held beyond the faces";
    EXPECT_FALSE(m.Smooth);  // drawn face by face
    EXPECT_TRUE(FacesAreConsistent(m));
    const Vector3 a = Anchor();
    EXPECT_NEAR(a.Y, 5.0f - 0.3f, 1e-5f);
    // The fitting hangs below the anchor: its stub top at the anchor, its plate
    // 0.75 below (scale 0.3, 0.75, 0.3).
    const Bounds fitting = BoundsOf(m, 0, kMesh1);
    EXPECT_NEAR(fitting.Max.Y, a.Y, 1e-5f);
    EXPECT_NEAR(fitting.Min.Y, a.Y - 0.75f, 1e-5f);
    EXPECT_NEAR(fitting.Max.X - fitting.Min.X, 0.6f, 1e-5f);
    // The post from the ground stops 0.75 short of the anchor.
    const Bounds post = BoundsOf(m, kMesh1, kBeam);
    EXPECT_NEAR(post.Min.Y, 0.0f, 1e-5f);
    EXPECT_NEAR(post.Max.Y, a.Y - 0.75f, 1e-5f);
    EXPECT_NEAR(post.Max.X - post.Min.X, 0.5f, 1e-5f);
    for (int i = 0; i < kMesh1; ++i) EXPECT_EQ(m.Faces[i].Smoothing, 0);
    for (int i = kMesh1; i < kMesh1 + kBeam; ++i) EXPECT_EQ(m.Faces[i].Smoothing, -1);
    EXPECT_TRUE(FacesPointAwayFromLine(m, kMesh1, kBeam, a, Vector3{a.X, 0, a.Z}));
    ASSERT_EQ(Footers().FaceCount, kFooter);
    EXPECT_FALSE(Footers().Smooth);
    const Bounds footer = BoundsOf(Footers());
    EXPECT_NEAR((footer.Min.X + footer.Max.X) / 2, a.X, 1e-5f);
    EXPECT_NEAR(footer.Max.X - footer.Min.X, 1.2f, 1e-5f);
    EXPECT_NEAR(footer.Max.Y, 0.2f, 1e-6f);
}

TEST_F(PrefabSupportModelsTest, FaceCountsOfEveryStyle) {
    const struct {
        int Style;
        int Faces;
        int FooterCount;
    } cases[] = {
        {PrefabSimple, kMesh1 + kBeam, 1},
        {PrefabComplex, 2 * kBeam + kCappedBeam + 2 * kBeam, 2},  // low track: no levels, closing diagonals
        {PrefabInverted, kMesh2 + kCappedBeam + 2 * kBeam, 2},
        {Prefab90degBank, kMesh2 + 2 * kBeam, 2},
        {PrefabSmallInverted, kMesh2 + kStartCappedBeam + 2 * kBeam, 2},
        {PrefabAShape, kMesh1 + 2 * kBeam, 2},
        {PrefabTrackNodes, 0, 0},
        {1, 0, 0},
        {8, 0, 0},
        {-3, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Style);
        Track(c.Style);
        CreatePrefabSupportModels();
        ASSERT_EQ(gPrefabModelCount, 1);
        EXPECT_EQ(Support().FaceCount, c.Faces);
        EXPECT_EQ(Footers().FaceCount, c.FooterCount * kFooter);
        EXPECT_TRUE(FacesAreConsistent(Support()));
        EXPECT_TRUE(FacesAreConsistent(Footers()));
        for (const Vector3& f : FooterCentres()) EXPECT_EQ(f.Y, 0.0f);
    }
}

TEST_F(PrefabSupportModelsTest, ComplexBracesEverySixMetresOfAbsoluteHeight) {
    Track(PrefabComplex, 25.0f);  // anchor 24.7, top 24.6: levels at 6, 12, 18 and 24
    CreatePrefabSupportModels();
    const ModelMesh& m = Support();
    ASSERT_EQ(m.FaceCount, 2 * kBeam + 4 * 3 * kBeam + kCappedBeam + 2 * kBeam);
    const Vector3 a = Anchor();
    // Legs 1.5 to each side of the anchor, from the ground to 0.1 below it.
    const Bounds left = BoundsOf(m, 0, kBeam);
    EXPECT_NEAR((left.Min.X + left.Max.X) / 2, a.X - 1.5f, 1e-5f);
    EXPECT_NEAR(left.Max.Y, a.Y - 0.1f, 1e-5f);
    // First level: the brace at 6, its diagonals from 1 (= 6 - 5) to 6.
    const Bounds brace = BoundsOf(m, 2 * kBeam, kBeam);
    EXPECT_NEAR((brace.Min.Y + brace.Max.Y) / 2, 6.0f, 1e-5f);
    EXPECT_NEAR(BoundsOf(m, 3 * kBeam, 2 * kBeam).Min.Y, 1.0f - 0.05f * std::sqrt(2.0f), 0.1f);
    // The cross beam runs 3.4 across and is capped: its caps face across the track.
    const int cross = 2 * kBeam + 12 * kBeam;
    const Bounds cb = BoundsOf(m, cross, kCappedBeam);
    EXPECT_NEAR(cb.Max.X - cb.Min.X, 3.4f, 1e-4f);
    EXPECT_TRUE(FacesFace(m, cross + 16, 6, Vector3{-1, 0, 0}));
    EXPECT_TRUE(FacesFace(m, cross + 22, 6, Vector3{1, 0, 0}));
    // Footers under both legs.
    const std::vector<Vector3> feet = FooterCentres();
    ASSERT_EQ(feet.size(), 2u);
    EXPECT_NEAR(feet[0].X, a.X - 1.5f, 1e-5f);
    EXPECT_NEAR(feet[1].X, a.X + 1.5f, 1e-5f);
}

TEST_F(PrefabSupportModelsTest, ComplexOnHighGroundSkipsLevelsButKeepsCounting) {
    MakeTerrain(9, 9, 10, [](int, int) { return 7.0f; });
    Track(PrefabComplex, 25.0f);
    CreatePrefabSupportModels();
    // Level 6 lies below the ground: the first one built is 12, its diagonals start at 7.
    ASSERT_EQ(Support().FaceCount, 2 * kBeam + 3 * 3 * kBeam + kCappedBeam + 2 * kBeam);
    EXPECT_NEAR((BoundsOf(Support(), 2 * kBeam, kBeam).Min.Y + BoundsOf(Support(), 2 * kBeam, kBeam).Max.Y) / 2,
                12.0f, 1e-5f);
    EXPECT_NEAR(BoundsOf(Support(), 0, kBeam).Min.Y, 7.0f, 1e-5f);
    // A low track on high ground: no level, and the closing diagonals would
    // start above the top: none.
    MakeTerrain(9, 9, 10, [](int, int) { return 4.0f; });
    Track(PrefabComplex, 5.0f);
    CreatePrefabSupportModels();
    EXPECT_EQ(Support().FaceCount, 2 * kBeam + kCappedBeam);
}

TEST_F(PrefabSupportModelsTest, ComplexBracingOfAnAbsurdHeightEnds) {
    Track(PrefabComplex, 1.0e9f);  // a damaged file: 1,000,000 km up
    CreatePrefabSupportModels();
    // Up there single floats lie 64 m apart: the cross beam's octagon is
    // flattened to a line across it, so two of its sides (4 faces) and its
    // caps (12) have no area and are left out.
    EXPECT_EQ(Support().FaceCount, 2 * kBeam + 1000 * 3 * kBeam + kCappedBeam - 16 + 2 * kBeam);
    EXPECT_TRUE(FacesAreConsistent(Support()));
}

TEST_F(PrefabSupportModelsTest, InvertedStandsOnTwoSlantedLegs) {
    Track(PrefabInverted);
    CreatePrefabSupportModels();
    const ModelMesh& m = Support();
    const Vector3 a = Anchor();
    // The clamp above the anchor: heights 0 to 1.65 x 0.75.
    const Bounds clamp = BoundsOf(m, 0, kMesh2);
    EXPECT_NEAR(clamp.Min.Y, a.Y, 1e-5f);
    EXPECT_NEAR(clamp.Max.Y, a.Y + 1.65f * 0.75f, 1e-5f);
    EXPECT_NEAR(clamp.Max.X, a.X + 0.55f * 0.35f, 1e-5f);
    // Cross bar from 2.5 left to 2.5 right at 0.855 above the anchor.
    const Bounds bar = BoundsOf(m, kMesh2, kCappedBeam);
    EXPECT_NEAR(bar.Max.X - bar.Min.X, 5.0f, 1e-4f);
    EXPECT_NEAR((bar.Max.Y + bar.Min.Y) / 2, a.Y + 0.855f, 1e-5f);
    const std::vector<Vector3> feet = FooterCentres();
    ASSERT_EQ(feet.size(), 2u);
    EXPECT_NEAR(feet[0].X, a.X - 5, 1e-4f);
    EXPECT_NEAR(feet[1].X, a.X + 5, 1e-4f);
}

TEST_F(PrefabSupportModelsTest, BankSmallInvertedAndAShapeStandOnTheBankedSide) {
    struct Case {
        int Style;
        float Roll;
        int TrackStyle;
        float Side;
    };
    const Case cases[] = {
        {Prefab90degBank, 0.0f, 0, 1},        {Prefab90degBank, -0.4f, 0, -1}, {Prefab90degBank, 0.4f, 2, -1},
        {PrefabSmallInverted, 0.0f, 0, 1},    {PrefabSmallInverted, -0.4f, 0, -1},
        {PrefabSmallInverted, 0.0f, 4, -1},   {PrefabAShape, 0.0f, 0, 1},
        {PrefabAShape, -0.4f, 0, -1},         {PrefabAShape, -0.4f, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Style << " roll " << c.Roll << " style " << c.TrackStyle);
        Track(c.Style, 8.0f, c.TrackStyle, false, c.Roll);
        CreatePrefabSupportModels();
        const Vector3 a = Anchor();
        const std::vector<Vector3> feet = FooterCentres();
        ASSERT_EQ(feet.size(), 2u);
        // The second footer stands out to the side.
        EXPECT_GT((feet[1].X - a.X) * c.Side, 0.9f);
        EXPECT_TRUE(FacesAreConsistent(Support()));
    }
}

TEST_F(PrefabSupportModelsTest, BankPostAndStrut) {
    Track(Prefab90degBank, 8.0f);  // anchor 7.7
    CreatePrefabSupportModels();
    const ModelMesh& m = Support();
    const Vector3 a = Anchor();
    // The clamp turned on its side toward +X: its pad 0.5 to 0.55 x 0.75 out.
    const Bounds clamp = BoundsOf(m, 0, kMesh2);
    EXPECT_NEAR(clamp.Max.X, a.X + 1.65f * 0.75f, 1e-4f);
    EXPECT_NEAR(clamp.Min.X, a.X, 1e-4f);
    // Post at 0.855 out, reaching 0.175 past the clamp's point.
    const Bounds post = BoundsOf(m, kMesh2, kBeam);
    EXPECT_NEAR((post.Min.X + post.Max.X) / 2, a.X + 0.855f, 1e-4f);
    EXPECT_NEAR(post.Max.Y, a.Y + 0.175f, 1e-4f);
    // Strut foot e = L / 7 + 1 out, L = 7.7 + 0.175.
    const float e = (a.Y + 0.175f) / 7 + 1;
    const std::vector<Vector3> feet = FooterCentres();
    EXPECT_NEAR(feet[0].X, a.X + 0.855f, 1e-4f);
    EXPECT_NEAR(feet[1].X, a.X + e, 1e-3f);
}

TEST_F(PrefabSupportModelsTest, PostsTurnWithTheTrackAndVerticalLegsDoNot) {
    // A track running along +X: heading -pi/2.
    Track(PrefabSimple, 5.0f, 0, true);
    CreatePrefabSupportModels();
    const Vector3 a = Anchor();
    // Post (turned by the heading): section point (0.125, -0.25) lies at +0.25 x, +0.125 z.
    const Vector3 p0 = Support().Faces[kMesh1].V1;
    EXPECT_NEAR(p0.X - a.X, 0.25f, 1e-5f);
    EXPECT_NEAR(p0.Z - a.Z, 0.125f, 1e-5f);
    Track(PrefabSmallInverted, 5.0f, 0, true);
    CreatePrefabSupportModels();
    // The leg (own yaw 0): section point (0.15, -0.3) lies at +0.15 x, -0.3 z.
    const ModelMesh& m = Support();
    const int leg = kMesh2 + kStartCappedBeam;
    const Bounds legBox = BoundsOf(m, leg, kBeam);
    const Vector3 foot{(legBox.Min.X + legBox.Max.X) / 2, legBox.Min.Y, (legBox.Min.Z + legBox.Max.Z) / 2};
    EXPECT_NEAR(m.Faces[leg].V1.X - foot.X, 0.15f, 1e-5f);
    EXPECT_NEAR(m.Faces[leg].V1.Z - foot.Z, -0.3f, 1e-5f);
    // Its arm is capped at its outer start only and faces out there.
    EXPECT_TRUE(FacesFace(m, kMesh2 + 16, 6, Vector3{0, 0, 1}));  // the arm starts 3.5 to the right (+Z)
}

TEST_F(PrefabSupportModelsTest, NumberingCountsEveryItemWhateverItsStyle) {
    MakeStraightTrack(3, 10.0f);
    SetPrefabItems(0, {{PrefabSimple, 0.2f}, {0, 0.4f}, {PrefabAShape, 0.6f}});
    SetPrefabItems(2, {{PrefabInverted, 0.5f}});
    ApplyTrackStylePresets(0, false);
    ExtractTrackSpine();
    BuildPathMatrixArray();
    busy.Markers = 0;
    CreatePrefabSupportModels();
    EXPECT_EQ(busy.Markers, 3);  // after each segment, the one without items too
    ASSERT_EQ(gPrefabModelCount, 4);
    ASSERT_EQ(gPrefabModels.size(), 5u);
    ASSERT_EQ(gPrefabFooterModels.size(), 5u);
    EXPECT_EQ(Support(0).FaceCount, kMesh1 + kBeam);
    EXPECT_EQ(Support(1).FaceCount, 0);
    EXPECT_EQ(Support(2).FaceCount, kMesh1 + 2 * kBeam);
    EXPECT_EQ(Support(3).FaceCount, kMesh2 + kCappedBeam + 2 * kBeam);
    EXPECT_EQ(Support(4).FaceCount, 0);
    EXPECT_EQ(Footers(4).FaceCount, 0);
    // Round footers are smooth octagons.
    gModelSettings.RoundFooters = true;
    CreatePrefabSupportModels();
    EXPECT_TRUE(Footers(0).Smooth);
    EXPECT_EQ(Footers(0).FaceCount, 22);
    EXPECT_EQ(Footers(3).FaceCount, 44);
}

TEST_F(PrefabSupportModelsTest, BrokenGroupsItemsAndPositions) {
    MakeStraightTrack(4, 10.0f);
    SetPrefabItems(0, {{PrefabSimple, 0.5f}, {PrefabSimple, 1.7f}});  // 1.7: the next segment's start
    SetPrefabItems(1, {{PrefabSimple, 0.5f}});
    SetPrefabItems(3, {{PrefabSimple, 0.5f}, {PrefabSimple, 1.5f}, {PrefabSimple, NAN}, {PrefabSimple, -0.5f}});
    // segment 2 has no items
    gRascGroups[1].ItemCount = 40;  // more than it holds
    ApplyTrackStylePresets(0, false);
    ExtractTrackSpine();
    BuildPathMatrixArray();
    CreatePrefabSupportModels();
    // Group 1 holds one item and its spare record: the count stops at its records.
    ASSERT_EQ(gPrefabModelCount, 8);
    EXPECT_EQ(Support(0).FaceCount, kMesh1 + kBeam);
    EXPECT_EQ(Support(1).FaceCount, kMesh1 + kBeam);  // at segment 1's first frame
    EXPECT_EQ(Support(2).FaceCount, kMesh1 + kBeam);
    EXPECT_EQ(Support(3).FaceCount, 0);               // the spare record: style 0
    EXPECT_EQ(Support(4).FaceCount, kMesh1 + kBeam);
    // Past the end of the open track, no number, or before the start: no frame,
    // no support (never one at the world's origin).
    EXPECT_EQ(Support(5).FaceCount, 0);
    EXPECT_EQ(Support(6).FaceCount, 0);
    EXPECT_EQ(Support(7).FaceCount, 0);
    EXPECT_EQ(Footers(5).FaceCount, 0);

    // Fewer groups than segments: only the groups there are.
    gRascGroupCount = 2;
    gRascGroups.resize(2);
    CreatePrefabSupportModels();
    EXPECT_EQ(gPrefabModelCount, 4);
    EXPECT_EQ(gPrefabModels.size(), 5u);
    // Negative item counts hold nothing.
    gRascGroups[0].ItemCount = -7;
    gRascGroups[1].ItemCount = 0;
    CreatePrefabSupportModels();
    EXPECT_EQ(gPrefabModelCount, 0);
    // The document has more segments than the path: those supports stay empty.
    gRascGroups.assign(6, RascGroup{});
    gRascGroupCount = 5;
    gSegmentCount = 5;
    SetPrefabItems(4, {{PrefabSimple, 0.5f}});
    CreatePrefabSupportModels();
    ASSERT_EQ(gPrefabModelCount, 1);
    EXPECT_EQ(Support(0).FaceCount, 0);
    // Bad numbers given directly build nothing.
    ModelPrefabSupport(-1, 0, 0);
    ModelPrefabSupport(4, 3, 0);
    ModelPrefabSupport(4, 0, 99);
    AddSupportFace(-1, Vector3{}, Vector3{}, Vector3{});
    AddSupportFace(99, Vector3{}, Vector3{}, Vector3{});
    EXPECT_EQ(Support(0).FaceCount, 0);
}

TEST_F(PrefabSupportModelsTest, ElementsAndTracksWithoutSupports) {
    MakeStraightTrack(2, 10.0f);
    ExtractTrackSpine();
    BuildPathMatrixArray();
    CreatePrefabSupportModels();
    EXPECT_EQ(gPrefabModelCount, 0);
    EXPECT_EQ(gPrefabModels.size(), 1u);
    EXPECT_EQ(gPrefabFooterModels.size(), 1u);
    SetPrefabItems(0, {{PrefabSimple, 0.5f}});
    CreatePrefabSupportModels();
    EXPECT_EQ(gPrefabModels.size(), 2u);
    gDocumentType = DocumentElement;
    CreatePrefabSupportModels();
    EXPECT_EQ(gPrefabModelCount, 0);
    EXPECT_EQ(gPrefabModels.size(), 1u);
    EXPECT_EQ(gPrefabModels[0].FaceCount, 0);
}
