// The whole model of a rich track through the build pipeline, at every detail
// level, and a track full of broken references (run under the sanitizers too).

#include <cmath>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class SupportPipelineTest : public ModelTest {
protected:
    // A closed circle of 12 segments, radius 60, at height 12, with hills and a
    // lake, tubes of every type and end kind, catwalks, footers, every style of
    // prefabricated support and tunnels.
    void MakeRichTrack() {
        ClearTrackDocument();
        MakeCircleTrack(12, 60.0f, StyleSteelLooping);
        for (int i = 0; i < gNodeCount; ++i) {
            TrackNode& n = gNodes[i];
            for (Vector3* p : {&n.Position, &n.ControlIn, &n.ControlOut}) p->Y = 12.0f;
            n.Roll = 0.2f * float(i % 3);
        }
        MakeTerrain(64, 64, 4, [](int i, int j) { return 3.0f * std::sin(i * 0.2f) * std::cos(j * 0.15f); }, true);
        for (int k = 0; k < 12; ++k) {
            const double a = 2 * kPi * k / 12;
            AddFooter(float(50 * std::cos(a)), float(-50 * std::sin(a)));
            FreeNode(float(55 * std::cos(a)), 6.0f, float(-55 * std::sin(a)));
        }
        gFooters[3].CustomSize = true;
        gFooters[3].Size = 2.0f;
        gFooters[5].CustomRotation = true;
        gFooters[5].Rotation = 0.7f;
        for (int s = 0; s < 12; ++s) SetPrefabItems(s, {{2 + s % 6, 0.3f}, {s % 2 ? 0 : 3, 0.7f}});
        for (int t = 0; t < 10; ++t) {
            const int k = t % 12;
            AddTube(EndFooter, k, 0, EndFreeNode, k, 0, t, 0.1f * t);              // footer to free node
            AddTube(EndFreeNode, k, 0, EndFreeNode, (k + 1) % 12, 0, t);           // free node to free node
            AddTube(EndPrefabAnchor, 0, k, EndFooter, (k + 2) % 12, 0, t);         // anchor to footer
        }
        for (int c = 0; c < 4; ++c) {
            TrackCatwalk w;
            w.Corner1 = 3 * c;
            w.Corner2 = 3 * c + 1;
            w.Corner3 = (3 * c + 2) % 12;
            w.Corner4 = (3 * c + 3) % 12;
            gCatwalks.resize(static_cast<size_t>(gCatwalkCount));
            gCatwalks.push_back(w);
            ++gCatwalkCount;
        }
        gSegments[2].Tunnel = gSegments[7].Tunnel = true;
    }

    static void ExpectAllConsistent() {
        for (const auto* list : {&gTubeModels, &gCatwalkModels, &gFooterModels, &gPrefabModels, &gPrefabFooterModels,
                                 &gTunnelOuterModels, &gTunnelInnerModels})
            for (const ModelMesh& m : *list) ASSERT_TRUE(FacesAreConsistent(m));
        for (int v = 0; v < gGroundVertexCount; ++v) {
            ASSERT_TRUE(std::isfinite(gGroundVertices[v].Position.Y));
            ASSERT_TRUE(std::isfinite(gGroundVertices[v].Normal.Y));
        }
        for (const RadiusCombSegment& c : gRadiusComb)
            for (int k = 0; k < c.Count; ++k) ASSERT_TRUE(std::isfinite(c.Teeth[k].Tip.Y));
    }
};

// Side and cap faces of a tube type: octagons 16 + 6 per cap, L 12 + 4, H 24 + 6, wood 8 + 2.
int TubeFaces(int type, int caps) {
    switch (type) {
        case TubeLBeam: return 12 + 4 * caps;
        case TubeHBeam: return 24 + 6 * caps;
        case TubeWood4x4:
        case TubeWood1x4:
        case TubeWood2x2: return 8 + 2 * caps;
        default: return 16 + 6 * caps;
    }
}

}  // namespace

TEST_F(SupportPipelineTest, RichTrackBuildsAtEveryDetailLevel) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        MakeRichTrack();
        gModelOnLoad = static_cast<int16_t>(level);
        RemodelTrack(true);
        ASSERT_TRUE(gTrackModelValid);

        ASSERT_EQ(gTubeModels.size(), 31u);
        for (int t = 0; t < 10; ++t) {
            EXPECT_EQ(gTubeModels[3 * t].FaceCount, TubeFaces(t, 1)) << t;
            EXPECT_EQ(gTubeModels[3 * t + 1].FaceCount, TubeFaces(t, 2)) << t;
            EXPECT_EQ(gTubeModels[3 * t + 2].FaceCount, TubeFaces(t, 1)) << t;
        }
        ASSERT_EQ(gCatwalkModels.size(), 5u);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(gCatwalkModels[c].FaceCount, 12);
        ASSERT_EQ(gFooterModels.size(), 13u);
        for (int f = 0; f < 12; ++f) EXPECT_EQ(gFooterModels[f].FaceCount, 10);  // style 0: square footers
        EXPECT_EQ(gPrefabModelCount, 24);
        ASSERT_EQ(gPrefabModels.size(), 25u);
        for (int k = 0; k < 24; ++k) {
            const int style = k % 2 == 0 ? 2 + (k / 2) % 6 : ((k / 2) % 2 ? 0 : 3);
            if (style == 0)
                EXPECT_EQ(gPrefabModels[k].FaceCount, 0) << k;
            else
                EXPECT_GT(gPrefabModels[k].FaceCount, 0) << k;
            EXPECT_EQ(gPrefabFooterModels[k].FaceCount, style == 0 ? 0 : style == 2 ? 10 : 20) << k;
        }
        EXPECT_EQ(gTunnelModelCount, 2);
        EXPECT_GT(gTunnelOuterModels[0].FaceCount, 0);
        EXPECT_EQ(gRadiusComb.size(), 13u);
        EXPECT_GT(gRadiusComb[5].Count, 10);
        EXPECT_EQ(gHeartline.size(), 13u);
        // Ground: flat at level 1 (no terrain), half detail at level 2, full above.
        const int expectedVertices = level == 1 ? 4 : level == 2 ? 32 * 32 : 64 * 64;
        EXPECT_EQ(gGroundVertexCount, expectedVertices);
        EXPECT_EQ(gHasWaterModel, level != 1);
        ExpectAllConsistent();
    }
}

TEST_F(SupportPipelineTest, BrokenReferencesBuildWithoutACrash) {
    MakeRichTrack();
    // Tubes naming what does not exist, of unknown kinds and types.
    AddTube(EndFooter, 999, 0, EndFreeNode, 0, 0, TubeMedium);
    AddTube(EndFreeNode, -4, 0, EndFreeNode, 0, 0, TubeMedium);
    AddTube(EndPrefabAnchor, 7, 3, EndFreeNode, 0, 0, TubeMedium);
    AddTube(EndPrefabAnchor, 0, 99, EndFreeNode, 0, 0, TubeMedium);
    AddTube(EndPrefabAnchor, 0, -2, EndFreeNode, 0, 0, TubeMedium);
    AddTube(7, 0, 0, 0, 0, 0, TubeMedium);
    AddTube(EndFreeNode, 0, 0, EndFreeNode, 1, 0, 12345);
    // Catwalks naming missing free nodes.
    for (int bad : {-1, 12, 1 << 30}) {
        TrackCatwalk w;
        w.Corner1 = 0;
        w.Corner2 = 1;
        w.Corner3 = bad;
        w.Corner4 = 2;
        gCatwalks.resize(static_cast<size_t>(gCatwalkCount));
        gCatwalks.push_back(w);
        ++gCatwalkCount;
    }
    // Counts past the records.
    gFooterCount += 50;
    gCatwalkCount += 10;
    gTubeCount += 1000;
    gFreeNodeCount += 3;
    gRascGroups[4].ItemCount = 100;
    gRascGroups[5].ItemCount = -3;
    gRascGroups[6].Items[0].Position = NAN;
    gRascGroups[6].Items[1].Position = 40.0f;
    gRascGroups[7].Items[0].Style = 1000;
    // Fewer groups than segments, and tunnels on segments the path does not have.
    gRascGroupCount = 9;
    gRascGroups.resize(9);
    gSegments.resize(20);
    gSegments[15].Tunnel = true;
    // Settings a damaged settings set could hold.
    gModelOnLoad = 5;  // the modeler dialog (not installed here) is skipped
    gPresetsLoaded = false;
    ApplyTrackStylePresets(0, false);
    gModelSettings.SpineDetail = NAN;
    gModelSettings.RailDetail = -1.0f;
    gModelSettings.TunnelSoftness = -8;
    gModelSettings.TubeScales[1] = Vector3{NAN, 0, NAN};
    gPresetsLoaded = true;
    RemodelTrack(false);

    // The good records are built, the broken ones are empty.
    ASSERT_EQ(gTubeModels.size(), 38u);
    EXPECT_EQ(gTubeModels[1].FaceCount, TubeFaces(0, 2));
    for (int t = 30; t < 37; ++t) EXPECT_EQ(gTubeModels[t].FaceCount, 0) << t;
    ASSERT_EQ(gCatwalkModels.size(), 8u);
    EXPECT_EQ(gCatwalkModels[0].FaceCount, 12);
    for (int c = 4; c < 7; ++c) EXPECT_EQ(gCatwalkModels[c].FaceCount, 0);
    EXPECT_EQ(gFooterModels.size(), 13u);
    EXPECT_GT(gPrefabModelCount, 0);
    EXPECT_EQ(gTunnelModelCount, 2);  // segment 15 is beyond the document's 12 segments
    // Finite everywhere: a tube size that is not a number is taken as the smallest size.
    for (const ModelMesh& m : gTubeModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (const ModelMesh& m : gCatwalkModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (const ModelMesh& m : gFooterModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (const ModelMesh& m : gPrefabModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (const ModelMesh& m : gTunnelOuterModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (const ModelMesh& m : gTunnelInnerModels) EXPECT_TRUE(FacesAreConsistent(m));
    for (int k = 0; k < gHeartline[0].Count; ++k) EXPECT_TRUE(std::isfinite(gHeartline[0].Points[k].X));

    // A partial rebuild of every part over the same document.
    SetAllRemodelFlags();
    RemodelChangedParts();
    EXPECT_EQ(gTubeModels.size(), 38u);
}
