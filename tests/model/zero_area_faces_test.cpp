// No builder keeps a triangle without area, whatever odd input it is given:
// tubes of no length, catwalks naming a free node twice, prefabricated
// supports whose posts shrink to nothing, footers of no size, tunnel rings
// closer than the path's frames, and a terrain without spacing.

#include <set>
#include <string>

#include "core/app_state.h"
#include "model/catwalk_models.h"
#include "model/footer_models.h"
#include "model/ground_model.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/tube_models.h"
#include "model/tunnel_models.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

bool ZeroArea(const Vector3& a, const Vector3& b, const Vector3& c) {
    const double ax = double(a.X) - c.X, ay = double(a.Y) - c.Y, az = double(a.Z) - c.Z;
    const double bx = double(b.X) - c.X, by = double(b.Y) - c.Y, bz = double(b.Z) - c.Z;
    return ay * bz - az * by == 0.0 && az * bx - ax * bz == 0.0 && ax * by - ay * bx == 0.0;
}

// Checks every valid face of every mesh; names the first without area.
::testing::AssertionResult AllFacesHaveArea(const std::vector<ModelMesh>& meshes) {
    for (size_t m = 0; m < meshes.size(); ++m)
        for (int f = 0; f < meshes[m].FaceCount; ++f) {
            const ModelFace& face = meshes[m].Faces[f];
            if (ZeroArea(face.V1, face.V2, face.V3))
                return ::testing::AssertionFailure() << "mesh " << m << " face " << f << " of " << meshes[m].FaceCount;
        }
    return ::testing::AssertionSuccess();
}

class ZeroAreaFacesTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gDocumentType = DocumentTrack;
    }
    // A level straight track at height y, every style from 1 to 9 at the middle of segment 0.
    static void SupportTrack(float y) {
        MakeStraightTrack(2, 10.0f);
        for (int i = 0; i < gNodeCount; ++i)
            for (Vector3* p : {&gNodes[i].Position, &gNodes[i].ControlIn, &gNodes[i].ControlOut}) p->Y = y;
        std::vector<std::pair<int, float>> items;
        for (int style = 1; style <= 9; ++style) items.push_back({style, 0.5f});
        SetPrefabItems(0, items);
        ApplyTrackStylePresets(0, false);
        ExtractTrackSpine();
        BuildPathMatrixArray();
    }
};

}  // namespace

TEST_F(ZeroAreaFacesTest, OddInputBuildsNoFaceWithoutArea) {
    ApplyTrackStylePresets(0, false);
    // Tubes of every type whose ends meet: twice one free node, a footer and a
    // free node standing at its ground point. A tube of no length builds nothing.
    const int node = FreeNode(3, 4, 5), footer = AddFooter(7, 8), onFooter = FreeNode(7, 0, 8);
    for (int type = 0; type < 10; ++type) {
        AddTube(EndFreeNode, node, 0, EndFreeNode, node, 0, type);
        AddTube(EndFooter, footer, 0, EndFreeNode, onFooter, 0, type);
    }
    const int longTube = AddTube(EndFreeNode, node, 0, EndFreeNode, onFooter, 0, TubeMedium);
    CreateTubeModels();
    for (int t = 0; t < longTube; ++t) EXPECT_EQ(gTubeModels[t].FaceCount, 0) << t;
    EXPECT_EQ(gTubeModels[longTube].FaceCount, 28);

    // Catwalks naming a corner twice: Corner1 = Corner2 and Corner1 = Corner4
    // leave out one side (2 faces), a top and a bottom face; Corner1 = Corner3
    // leaves out the whole top and bottom.
    const int a = FreeNode(1, 5, 1), b = FreeNode(1, 5, -1), c = FreeNode(-1, 5, -1);
    gCatwalks = {TrackCatwalk{a, a, b, c}, TrackCatwalk{a, b, c, a}, TrackCatwalk{a, b, a, c}, TrackCatwalk{}};
    gCatwalkCount = 3;
    CreateCatwalkModels();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(gCatwalkModels[k].FaceCount, 8) << k;
    EXPECT_TRUE(AllFacesHaveArea(gCatwalkModels));

    // Footers of no size.
    gFooters[footer].CustomSize = true;
    gFooters[footer].Size = 0.0f;
    for (bool round : {false, true}) {
        gModelSettings.RoundFooters = round;
        CreateFooterModels();
        EXPECT_EQ(gFooterModels[footer].FaceCount, 0);
    }

    // Prefabricated supports of styles 1 to 9 over the floor, on hills above
    // and below their anchors: the posts of styles 2 and 7 shrink to nothing
    // on a track less than 0.75 above the ground.
    for (float y : {0.3f, 0.8f, 3.5f, 5.0f, 40.0f}) {
        for (float hill : {0.0f, 3.0f}) {
            SCOPED_TRACE("track at " + std::to_string(y) + ", ground at " + std::to_string(hill));
            MakeTerrain(9, 9, 10, [&](int, int) { return hill; });
            SupportTrack(y);
            CreatePrefabSupportModels();
            ASSERT_EQ(gPrefabModelCount, 9);
            EXPECT_TRUE(AllFacesHaveArea(gPrefabModels));
            EXPECT_TRUE(AllFacesHaveArea(gPrefabFooterModels));
            const bool postOfNoLength = y - 0.3f - hill < 0.75f && y - 0.3f > hill - 0.75f;
            EXPECT_EQ(gPrefabModels[1].FaceCount, postOfNoLength ? 24 : 24 + 16);  // style 2: fitting and post
            EXPECT_EQ(gPrefabFooterModels[1].FaceCount, 10);
        }
    }

    // Tunnel rings 0.1 m apart on a segment 10,000 km out along it, where
    // single floats lie 1 m apart: a ring that repeats the one before adds no
    // band. As far out across it, ring points merge too.
    gSegmentCount = 1;
    gSegments.assign(2, TrackSegment{});
    gSegments[0].Tunnel = true;
    gModelSettings.SpineDetail = 0.1f;
    for (float across : {0.0f, 1.0e7f}) {
        MakeSyntheticPath({300.0f});
        for (PathFrame& f : gPathMatrixArray[0].Frames)
            f.Frame = MatrixSetTranslation(f.Frame, Vector3{across, 0, static_cast<float>(-(1.0e7 + f.Distance))});
        for (bool square : {false, true}) {
            SCOPED_TRACE(std::to_string(across) + (square ? " square" : " round"));
            gModelSettings.SquareTunnels = square;
            CreateTunnelModels();
            EXPECT_TRUE(AllFacesHaveArea(gTunnelOuterModels));
            EXPECT_TRUE(AllFacesHaveArea(gTunnelInnerModels));
            EXPECT_GT(gTunnelInnerModels[0].FaceCount, 0);
            if (across != 0.0f) continue;
            const int sides = square ? 4 : 8;
            EXPECT_EQ(gTunnelOuterModels[0].FaceCount - 4 * sides, gTunnelInnerModels[0].FaceCount);
            std::set<float> ringZs;  // one band from each ring position to the next
            for (int f = 0; f < gTunnelInnerModels[0].FaceCount; ++f) ringZs.insert(gTunnelInnerModels[0].Faces[f].V1.Z);
            EXPECT_GT(ringZs.size(), 250u);
            EXPECT_EQ(gTunnelInnerModels[0].FaceCount, 2 * sides * int(ringZs.size() - 1));
        }
    }

    // A terrain without spacing across: its columns stand at one place, and
    // seen from above the grid is a line. Of the ground's triangles only
    // those whose heights differ along the line keep an area; the water has none.
    gModelSettings.UseTerrain = true;
    MakeTerrain(4, 3, 0.0f, [](int i, int j) { return i == 3 && j == 2 ? 1.0f : 0.0f; }, true);
    gTerrainSpacingZ = 10.0f;
    CreateGroundModel();
    ASSERT_EQ(gGroundTriangleCount, 1);  // the first of the last quad, raised at its corner (3, 2)
    EXPECT_EQ(gGroundTriangles[0].C, 11);
    EXPECT_EQ(gWaterTriangleCount, 0);
    for (int t = 0; t < gGroundTriangleCount; ++t) {
        const GroundTriangle& g = gGroundTriangles[t];
        EXPECT_FALSE(ZeroArea(gGroundVertices[g.A].Position, gGroundVertices[g.B].Position,
                              gGroundVertices[g.C].Position));
    }
}
