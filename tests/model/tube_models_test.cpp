// Support tubes: ends, sections, caps, smoothing and broken references.

#include <cmath>

#include "core/app_state.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/tube_models.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class TubeModelsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gDocumentType = DocumentTrack;
        ApplyTrackStylePresets(0, false);  // the tube scale defaults
    }
    const ModelMesh& Tube(int i) { return gTubeModels[i]; }
};

void ExpectPoint(const Vector3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.X, x, tolerance);
    EXPECT_NEAR(v.Y, y, tolerance);
    EXPECT_NEAR(v.Z, z, tolerance);
}

}  // namespace

TEST_F(TubeModelsTest, MediumTubeBetweenTwoFreeNodes) {
    const int a = FreeNode(0, 5, 0), b = FreeNode(0, 5, -10);
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, TubeMedium);
    CreateTubeModels();
    ASSERT_EQ(gTubeModels.size(), 2u);
    const ModelMesh& m = Tube(0);
    ASSERT_EQ(m.FaceCount, 28);  // 16 sides, 6 + 6 cap faces
    EXPECT_TRUE(m.Smooth);
    EXPECT_TRUE(FacesAreConsistent(m));
    // Section of the medium slot (0.25, 0.25): the octagon spans 0.5 by 0.5,
    // corners (+-0.125, +-0.25) and (+-0.25, +-0.125); along -Z it is not turned.
    ExpectPoint(m.Faces[0].V1, 0.125f, 4.75f, 0);     // A0 = (a, -S1)
    ExpectPoint(m.Faces[0].V2, 0.125f, 4.75f, -10);   // B0
    ExpectPoint(m.Faces[0].V3, 0.25f, 4.875f, 0);     // A1 = (S0, -b)
    ExpectPoint(m.Faces[6].V1, 0.125f, 5.25f, 0);     // A3 = (a, S1)
    ExpectPoint(m.Faces[14].V3, 0.125f, 4.75f, 0);    // side 7 closes the ring at A0
    const Bounds box = BoundsOf(m);
    EXPECT_NEAR(box.Max.X - box.Min.X, 0.5f, 1e-6f);
    EXPECT_NEAR(box.Max.Y - box.Min.Y, 0.5f, 1e-6f);
    EXPECT_TRUE(FacesPointAwayFromLine(m, 0, 16, Vector3{0, 5, 0}, Vector3{0, 5, -10}));
    EXPECT_TRUE(FacesFace(m, 16, 6, Vector3{0, 0, 1}));   // cap at A faces away from B
    EXPECT_TRUE(FacesFace(m, 22, 6, Vector3{0, 0, -1}));  // cap at B faces away from A
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.Faces[i].Smoothing, -1);
    for (int i = 16; i < 28; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(m.Faces[i].VertexNormal2.Z, m.Faces[i].FaceNormal().Z);
    }
    // Smoothed side corners: the mean of the two sides at their edge line.
    const Vector3 n0 = m.Faces[0].FaceNormal(), n15 = m.Faces[15].FaceNormal();
    EXPECT_FLOAT_EQ(m.Faces[0].VertexNormal1.X, (n0.X + n15.X) / 2);
    EXPECT_FLOAT_EQ(m.Faces[0].VertexNormal1.Y, (n0.Y + n15.Y) / 2);
}

TEST_F(TubeModelsTest, BeamFromAFooterHasNoCapThereAndStandsOnTheGround) {
    MakeTerrain(3, 3, 10, [](int, int) { return 5.0f; });
    const int f = AddFooter(0, 0);
    const int n = FreeNode(0, 15, 0);
    AddTube(EndFooter, f, 0, EndFreeNode, n, 0, TubeWood4x4);
    AddTube(EndFooter, f, 0, EndFooter, f, 0, TubeWood1x4);
    const int g = AddFooter(10, 0);
    AddTube(EndFooter, f, 0, EndFooter, g, 0, TubeWood2x2);
    CreateTubeModels();
    const ModelMesh& beam = Tube(0);
    ASSERT_EQ(beam.FaceCount, 10);  // 8 sides and the cap at the free node
    EXPECT_FALSE(beam.Smooth);
    EXPECT_TRUE(FacesAreConsistent(beam));
    const Bounds b = BoundsOf(beam);
    EXPECT_FLOAT_EQ(b.Min.Y, 5.0f);  // the ground, whatever the footer record's Y (123)
    EXPECT_FLOAT_EQ(b.Max.Y, 15.0f);
    EXPECT_TRUE(FacesFace(beam, 8, 2, Vector3{0, 1, 0}));  // the free node's cap faces away from the footer
    EXPECT_TRUE(FacesPointAwayFromLine(beam, 0, 8, Vector3{0, 5, 0}, Vector3{0, 15, 0}));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(beam.Faces[i].Smoothing, 0);
        EXPECT_EQ(Length(beam.Faces[i].VertexNormal1), 0.0);
    }
    // Vertical: yaw 0, so the section's x runs along world X: 4 x 4 slot (0.15, 0.15).
    EXPECT_FLOAT_EQ(b.Max.X, 0.15f);
    EXPECT_FLOAT_EQ(b.Max.Z, 0.15f);
    // Both ends on footers: no caps; two coincident ends: a tube of no length builds nothing.
    EXPECT_EQ(Tube(1).FaceCount, 0);
    EXPECT_EQ(Tube(2).FaceCount, 8);

    // With water the footer's own bottom drops, the tube end does not.
    gHasWater = true;
    CreateTubeModels();
    EXPECT_FLOAT_EQ(BoundsOf(Tube(0)).Min.Y, 5.0f);
}

TEST_F(TubeModelsTest, SectionsOfEveryTypeWithTheirScaleSlots) {
    const int a = FreeNode(0, 0, 0), b = FreeNode(0, 0, -4);
    const struct {
        int Type;
        int Points;
        int Faces;
        float Across, High;  // full extents of the section
        bool Smooth;
    } cases[] = {
        {TubeMedium, 8, 28, 0.5f, 0.5f, true},    {TubeLarge, 8, 28, 0.75f, 0.75f, true},
        {TubeSmall, 8, 28, 0.25f, 0.25f, true},   {TubeLBeam, 6, 20, 0.2f, 0.2f, false},
        {TubeHBeam, 12, 36, 0.24f, 0.2f, false},  {TubeXLarge, 8, 28, 1.0f, 1.0f, true},
        {TubeXXLarge, 8, 28, 1.25f, 1.25f, true}, {TubeWood4x4, 4, 12, 0.3f, 0.3f, false},
        {TubeWood1x4, 4, 12, 0.3f, 0.05f, false}, {TubeWood2x2, 4, 12, 0.15f, 0.15f, false},
    };
    for (const auto& c : cases) AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, c.Type);
    CreateTubeModels();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const ModelMesh& m = Tube(static_cast<int>(i));
        ASSERT_EQ(m.FaceCount, cases[i].Faces);
        EXPECT_EQ(m.Smooth, cases[i].Smooth);
        EXPECT_TRUE(FacesAreConsistent(m));
        const Bounds box = BoundsOf(m);
        EXPECT_NEAR(box.Max.X - box.Min.X, cases[i].Across, 1e-6f);
        EXPECT_NEAR(box.Max.Y - box.Min.Y, cases[i].High, 1e-6f);
        const int sides = 2 * cases[i].Points;
        const int cap = (cases[i].Faces - sides) / 2;
        EXPECT_TRUE(FacesFace(m, sides, cap, Vector3{0, 0, 1}));
        EXPECT_TRUE(FacesFace(m, sides + cap, cap, Vector3{0, 0, -1}));
        // Every side faces out of the section: along x, y or between them, never along the beam.
        for (int f = 0; f < sides; ++f) EXPECT_NEAR(m.Faces[f].FaceNormal().Z, 0.0f, 1e-6f);
    }
    // The L: its legs 0.1 S thick along the bottom and up the -x side.
    const ModelMesh& l = Tube(3);
    ExpectPoint(l.Faces[4].V1, -0.09f, -0.09f, 0);  // A2 = (-a, -b)
    // The H: its web 0.2 S0 thick: A2 = (0.1 S0, -0.9 S1).
    const ModelMesh& h = Tube(4);
    ExpectPoint(h.Faces[4].V1, 0.012f, -0.09f, 0);
}

TEST_F(TubeModelsTest, SlopedAndSpunTubes) {
    const int a = FreeNode(1, 2, 3), b = FreeNode(4, 6, 3);
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, TubeHBeam, static_cast<float>(kPi / 2));
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, TubeHBeam, 0.0f);
    CreateTubeModels();
    // Both ends' outlines sit on their end points.
    for (int t = 0; t < 2; ++t) {
        const ModelMesh& m = Tube(t);
        const Vector3 ca = CornerCentre(m, 36 - 12, 6), cb = CornerCentre(m, 36 - 6, 6);
        EXPECT_TRUE(FacesPointAwayFrom(m, 24, 6, Vector3{4, 6, 3}));
        EXPECT_TRUE(FacesPointAwayFrom(m, 30, 6, Vector3{1, 2, 3}));
        EXPECT_NEAR(Length(Sub(ca, Vector3{1, 2, 3})), 0.0, 0.05);
        EXPECT_NEAR(Length(Sub(cb, Vector3{4, 6, 3})), 0.0, 0.05);
    }
    // Without spin the plates lie level across (their outer face normal is along the
    // tilted up axis); a quarter turn stands them upright (normal level).
    const Vector3 plainFlange = Tube(1).Faces[10].FaceNormal();  // side P5-P6: the top plate
    const Vector3 spunFlange = Tube(0).Faces[10].FaceNormal();
    EXPECT_NEAR(plainFlange.Z, 0.0f, 1e-6f);
    EXPECT_GT(plainFlange.Y, 0.5f);
    EXPECT_NEAR(spunFlange.Y, 0.0f, 1e-6f);
}

TEST_F(TubeModelsTest, EndOnAPrefabricatedSupportAnchor) {
    MakeStraightTrack(2, 10.0f);
    SetPrefabItems(1, {{PrefabSimple, 0.5f}});
    ExtractTrackSpine();
    BuildPathMatrixArray();
    const int n = FreeNode(0, 0, -15);
    AddTube(EndPrefabAnchor, 0, 1, EndFreeNode, n, 0, TubeSmall);
    CreateTubeModels();
    ASSERT_EQ(Tube(0).FaceCount, 28);
    Vector3 anchor;
    ASSERT_TRUE(GetPrefabSupportAnchor(anchor, 1, 0));
    const Vector3 ca = CornerCentre(Tube(0), 16, 6);
    EXPECT_NEAR(Length(Sub(ca, anchor)), 0.0, 0.05);
}

TEST_F(TubeModelsTest, BrokenReferencesLeaveOnlyThoseTubesEmpty) {
    MakeStraightTrack(2, 10.0f);
    SetPrefabItems(0, {{PrefabSimple, 0.5f}});
    ExtractTrackSpine();
    BuildPathMatrixArray();
    const int a = FreeNode(0, 0, 0), b = FreeNode(0, 3, 0);
    const int f = AddFooter(5, 5);
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, TubeMedium);          // 0 good
    AddTube(EndFreeNode, a, 0, EndFreeNode, 7, 0, TubeMedium);          // 1 no free node 7
    AddTube(EndFreeNode, -1, 0, EndFreeNode, b, 0, TubeMedium);         // 2 negative
    AddTube(EndFooter, f + 1, 0, EndFreeNode, b, 0, TubeMedium);        // 3 no such footer
    AddTube(EndPrefabAnchor, 1, 0, EndFreeNode, b, 0, TubeMedium);      // 4 no item 1
    AddTube(EndPrefabAnchor, 0, 5, EndFreeNode, b, 0, TubeMedium);      // 5 no segment 5
    AddTube(EndPrefabAnchor, 0, -1, EndFreeNode, b, 0, TubeMedium);     // 6 negative segment
    AddTube(0, 0, 0, EndFreeNode, b, 0, TubeMedium);                    // 7 kind 0
    AddTube(EndFreeNode, a, 0, 9, 0, 0, TubeMedium);                    // 8 kind 9
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, 10);                  // 9 type 10
    AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, -1);                  // 10 type -1
    AddTube(EndPrefabAnchor, 0, 0, EndFooter, f, 0, TubeLBeam);         // 11 good
    CreateTubeModels();
    ASSERT_EQ(gTubeModels.size(), 13u);
    EXPECT_EQ(Tube(0).FaceCount, 28);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(Tube(i).FaceCount, 0) << i;
    EXPECT_EQ(Tube(11).FaceCount, 16);  // L: 12 sides and the cap at the anchor
    EXPECT_EQ(Tube(12).FaceCount, 0);
    // Free nodes beyond the document's count do not exist.
    gFreeNodeCount = 1;
    CreateTubeModels();
    EXPECT_EQ(Tube(0).FaceCount, 0);
}

TEST_F(TubeModelsTest, CountsMarkerAndElements) {
    CreateTubeModels();
    EXPECT_EQ(gTubeModels.size(), 1u);
    const int a = FreeNode(0, 0, 0), b = FreeNode(1, 0, 0);
    for (int i = 0; i < 149; ++i) AddTube(EndFreeNode, a, 0, EndFreeNode, b, 0, TubeSmall);
    busy.Markers = 0;
    CreateTubeModels();
    EXPECT_EQ(gTubeModels.size(), 150u);
    EXPECT_EQ(busy.Markers, 2);
    gTubeCount = 100000;  // a count past the records
    CreateTubeModels();
    EXPECT_EQ(gTubeModels.size(), 150u);
    gDocumentType = DocumentElement;
    CreateTubeModels();
    EXPECT_EQ(gTubeModels.size(), 1u);
}
