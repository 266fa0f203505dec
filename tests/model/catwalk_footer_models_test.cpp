// Catwalk slabs and footer blocks.

#include <cmath>

#include "core/app_state.h"
#include "model/catwalk_models.h"
#include "model/footer_models.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class CatwalkModelsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gDocumentType = DocumentTrack;
    }
    // A catwalk over four new free nodes.
    int AddCatwalk(const Vector3 (&corners)[4]) {
        TrackCatwalk c;
        c.Corner1 = FreeNode(corners[0].X, corners[0].Y, corners[0].Z);
        c.Corner2 = FreeNode(corners[1].X, corners[1].Y, corners[1].Z);
        c.Corner3 = FreeNode(corners[2].X, corners[2].Y, corners[2].Z);
        c.Corner4 = FreeNode(corners[3].X, corners[3].Y, corners[3].Z);
        return AddCatwalkRecord(c);
    }
    int AddCatwalkRecord(const TrackCatwalk& c) {
        gCatwalks.resize(static_cast<size_t>(gCatwalkCount));
        gCatwalks.push_back(c);
        return gCatwalkCount++;
    }
};

using FooterModelsTest = CatwalkModelsTest;

// Side 2 at height 5, counter-clockwise seen from above.
const Vector3 kSquare[4] = {{1, 5, 1}, {1, 5, -1}, {-1, 5, -1}, {-1, 5, 1}};

}  // namespace

TEST_F(CatwalkModelsTest, SquareSlabIsTwelveFlatFacesAroundTheCorners) {
    AddCatwalk(kSquare);
    CreateCatwalkModels();
    ASSERT_EQ(gCatwalkModels.size(), 2u);
    const ModelMesh& m = gCatwalkModels[0];
    ASSERT_EQ(m.FaceCount, 12);
    EXPECT_FALSE(m.Smooth);
    EXPECT_TRUE(FacesAreConsistent(m));
    EXPECT_TRUE(FacesPointAwayFrom(m, 0, 12, Vector3{0, 5, 0}));
    // Sides, then the top (A0, A1, A2), (A2, A3, A0), then the bottom (B2, B1, B0), (B0, B3, B2).
    EXPECT_TRUE(FacesFace(m, 8, 2, Vector3{0, 1, 0}));
    EXPECT_TRUE(FacesFace(m, 10, 2, Vector3{0, -1, 0}));
    EXPECT_EQ(m.Faces[8].V1.Y, 5.05f);
    EXPECT_EQ(m.Faces[8].V2.X, 1.0f);
    EXPECT_EQ(m.Faces[8].V2.Z, -1.0f);
    EXPECT_EQ(m.Faces[10].V1.Y, 4.95f);
    EXPECT_EQ(m.Faces[10].V1.X, -1.0f);  // B2
    const Bounds b = BoundsOf(m);
    EXPECT_EQ(b.Max.Y, 5.05f);
    EXPECT_EQ(b.Min.Y, 4.95f);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(Length(m.Faces[i].VertexNormal2), 0.0);
    }
    EXPECT_EQ(gCatwalkModels[1].FaceCount, 0);  // the spare
}

TEST_F(CatwalkModelsTest, SharedCornersLeaveOutTheFacesWithoutArea) {
    TrackCatwalk c;
    c.Corner1 = FreeNode(0, 1, 0);
    c.Corner2 = c.Corner1;
    c.Corner3 = FreeNode(1, 1, -1);
    c.Corner4 = FreeNode(-1, 1, -1);
    AddCatwalkRecord(c);
    CreateCatwalkModels();
    const ModelMesh& m = gCatwalkModels[0];
    // Side 0 joins a corner to itself, and the first top and bottom faces
    // span the corners 0, 1, 2: what stays are sides 1 to 3, then the second
    // top and the second bottom face, in that order.
    ASSERT_EQ(m.FaceCount, 8);
    EXPECT_TRUE(FacesAreConsistent(m));
    EXPECT_EQ(m.Faces[0].V1.X, 0.0f);  // side 1 starts at corner 1 (= corner 0) on top
    EXPECT_EQ(m.Faces[0].V3.X, 1.0f);  // ... toward corner 2
    EXPECT_EQ(m.Faces[6].V1.X, 1.0f);  // top (A2, A3, A0)
    EXPECT_EQ(m.Faces[6].V1.Y, 1.05f);
    EXPECT_EQ(m.Faces[7].V2.X, -1.0f);  // bottom (B0, B3, B2)
    EXPECT_EQ(m.Faces[7].V2.Y, 0.95f);
    for (int i = 0; i < 8; ++i) EXPECT_GT(Length(m.Faces[i].FaceNormal()), 0.5) << i;
}

TEST_F(CatwalkModelsTest, CornerNamingNoFreeNodeLeavesOnlyThatCatwalkEmpty) {
    AddCatwalk(kSquare);
    TrackCatwalk broken;
    broken.Corner1 = 0;
    broken.Corner2 = 1;
    broken.Corner3 = 2;
    for (int bad : {-1, 8, 1000000}) {  // the next catwalk adds nodes 4 to 7
        broken.Corner4 = bad;
        AddCatwalkRecord(broken);
    }
    AddCatwalk(kSquare);
    CreateCatwalkModels();
    ASSERT_EQ(gCatwalkModels.size(), 6u);
    EXPECT_EQ(gCatwalkModels[0].FaceCount, 12);
    EXPECT_EQ(gCatwalkModels[1].FaceCount, 0);
    EXPECT_EQ(gCatwalkModels[2].FaceCount, 0);
    EXPECT_EQ(gCatwalkModels[3].FaceCount, 0);
    EXPECT_EQ(gCatwalkModels[4].FaceCount, 12);
    // Free nodes beyond the document's count do not exist either.
    gFreeNodeCount = 3;
    CreateCatwalkModels();
    EXPECT_EQ(gCatwalkModels[0].FaceCount, 0);
}

TEST_F(CatwalkModelsTest, CountsAndTheBusyMarker) {
    CreateCatwalkModels();
    EXPECT_EQ(gCatwalkModels.size(), 1u);
    for (int i = 0; i < 120; ++i) AddCatwalk(kSquare);
    busy.Markers = 0;
    CreateCatwalkModels();
    EXPECT_EQ(gCatwalkModels.size(), 121u);
    EXPECT_EQ(busy.Markers, 2);  // after the 50th and the 100th
    // A count beyond the records: only the records are built, no read past them.
    gCatwalkCount = 500;
    CreateCatwalkModels();
    EXPECT_EQ(gCatwalkModels.size(), 121u);
    // An element document has no catwalks.
    gDocumentType = DocumentElement;
    CreateCatwalkModels();
    EXPECT_EQ(gCatwalkModels.size(), 1u);
}

TEST_F(FooterModelsTest, SquareFooterWithoutTerrainSpansTheFloorToTwentyCentimetres) {
    AddFooter(3, -4);
    CreateFooterModels();
    ASSERT_EQ(gFooterModels.size(), 2u);
    const ModelMesh& m = gFooterModels[0];
    ASSERT_EQ(m.FaceCount, 10);
    EXPECT_FALSE(m.Smooth);
    EXPECT_TRUE(FacesAreConsistent(m));
    EXPECT_TRUE(FacesPointAwayFrom(m, 0, 10, Vector3{3, 0.1f, -4}));
    EXPECT_TRUE(FacesFace(m, 8, 2, Vector3{0, 1, 0}));
    const Bounds b = BoundsOf(m);
    EXPECT_EQ(b.Min.Y, 0.0f);
    EXPECT_FLOAT_EQ(b.Max.Y, 0.2f);
    EXPECT_FLOAT_EQ(b.Min.X, 2.4f);
    EXPECT_FLOAT_EQ(b.Max.X, 3.6f);
    EXPECT_FLOAT_EQ(b.Min.Z, -4.6f);
    EXPECT_FLOAT_EQ(b.Max.Z, -3.4f);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(Length(m.Faces[i].VertexNormal1), 0.0);
    }
}

TEST_F(FooterModelsTest, FootersOnTerrainWithAndWithoutWater) {
    MakeTerrain(5, 5, 10, [](int i, int) { return i == 4 ? -3.0f : 5.0f; });
    AddFooter(0, 0);    // on height 5
    AddFooter(20, 0);   // on height -3
    CreateFooterModels();
    EXPECT_EQ(BoundsOf(gFooterModels[0]).Min.Y, 0.0f);
    EXPECT_FLOAT_EQ(BoundsOf(gFooterModels[0]).Max.Y, 5.2f);
    // Below the floor without water the block keeps its least height on the floor.
    EXPECT_EQ(BoundsOf(gFooterModels[1]).Min.Y, 0.0f);
    EXPECT_FLOAT_EQ(BoundsOf(gFooterModels[1]).Max.Y, 0.2f);
    float bottom = 1, top = 1;
    GetGroundLevelAt(Vector3{0, 99, 0}, bottom, top);
    EXPECT_EQ(bottom, 0.0f);
    EXPECT_FLOAT_EQ(top, 5.2f);

    gHasWater = true;
    CreateFooterModels();
    EXPECT_EQ(BoundsOf(gFooterModels[0]).Min.Y, -10.0f);
    EXPECT_FLOAT_EQ(BoundsOf(gFooterModels[0]).Max.Y, 5.2f);
    // Under water the ground reads as the water surface: the block reaches from -10 to 0.2.
    EXPECT_EQ(BoundsOf(gFooterModels[1]).Min.Y, -10.0f);
    EXPECT_NEAR(BoundsOf(gFooterModels[1]).Max.Y, 0.2f, 1e-6f);
    GetGroundLevelAt(Vector3{0, 99, 0}, bottom, top);
    EXPECT_EQ(bottom, -10.0f);
}

TEST_F(FooterModelsTest, CustomSizeAndRotation) {
    const int f = AddFooter(0, 0);
    gFooters[f].CustomSize = true;
    gFooters[f].Size = 2.0f;
    gFooters[f].CustomRotation = true;
    gFooters[f].Rotation = static_cast<float>(kPi / 4);
    // Size and rotation count only with their flags.
    const int g = AddFooter(10, 0);
    gFooters[g].Size = 5.0f;
    gFooters[g].Rotation = 1.0f;
    CreateFooterModels();
    const Bounds diamond = BoundsOf(gFooterModels[f]);
    EXPECT_NEAR(diamond.Max.X, std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(diamond.Min.Z, -std::sqrt(2.0), 1e-5);
    EXPECT_TRUE(FacesPointAwayFrom(gFooterModels[f], 0, 10, Vector3{0, 0.1f, 0}));
    const Bounds plain = BoundsOf(gFooterModels[g]);
    EXPECT_NEAR(plain.Max.X - plain.Min.X, 1.2f, 1e-5f);
    EXPECT_NEAR(plain.Max.Z - plain.Min.Z, 1.2f, 1e-5f);
}

TEST_F(FooterModelsTest, RoundFooterIsASmoothOctagonWithALitCap) {
    gModelSettings.RoundFooters = true;
    AddFooter(0, 0);
    CreateFooterModels();
    const ModelMesh& m = gFooterModels[0];
    ASSERT_EQ(m.FaceCount, 22);
    EXPECT_TRUE(m.Smooth);
    EXPECT_TRUE(FacesAreConsistent(m));
    EXPECT_TRUE(FacesPointAwayFrom(m, 0, 16, Vector3{0, 0.1f, 0}));
    EXPECT_TRUE(FacesFace(m, 16, 6, Vector3{0, 1, 0}));
    // Octagon (q, h), (h, q), ... with h = 0.6 and q = 0.3.
    EXPECT_FLOAT_EQ(m.Faces[0].V1.X, 0.3f);
    EXPECT_FLOAT_EQ(m.Faces[0].V1.Z, 0.6f);
    EXPECT_FLOAT_EQ(m.Faces[0].V1.Y, 0.2f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, -1);
        EXPECT_GT(Length(m.Faces[i].VertexNormal1), 0.9);
    }
    // The whole mesh is drawn with vertex normals, so the cap carries its own
    // normal at every corner instead of none.
    for (int i = 16; i < 22; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(m.Faces[i].VertexNormal1.Y, m.Faces[i].FaceNormal().Y);
        EXPECT_EQ(m.Faces[i].VertexNormal3.Y, 1.0f);
    }
}

TEST_F(FooterModelsTest, CountBeyondTheRecordsAndElements) {
    AddFooter(0, 0);
    AddFooter(5, 0);
    for (int i = 0; i < 100; ++i) AddFooter(float(i), 10);
    busy.Markers = 0;
    CreateFooterModels();
    EXPECT_EQ(gFooterModels.size(), 103u);
    EXPECT_EQ(busy.Markers, 2);
    gFooterCount = 1000;  // more than the document holds
    CreateFooterModels();
    EXPECT_EQ(gFooterModels.size(), 103u);
    EXPECT_EQ(gFooterModels[101].FaceCount, 10);
    gFooterCount = -5;
    CreateFooterModels();
    EXPECT_EQ(gFooterModels.size(), 1u);
    gFooterCount = 2;
    gDocumentType = DocumentElement;
    CreateFooterModels();
    EXPECT_EQ(gFooterModels.size(), 1u);
    // Bad indices build nothing.
    gDocumentType = DocumentTrack;
    CreateFooterModels();
    ModelFooter(-1);
    ModelFooter(7);
    EXPECT_EQ(gFooterModels[0].FaceCount, 10);
}
