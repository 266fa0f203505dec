// Known small scenes drawn by RenderScene into a window of the test display
// and read back pixel by pixel.
#include <GL/gl.h>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/light_setup.h"
#include "model/render/scene_render.h"
#include "render_test_support.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace rendertest {
namespace {

const Rgb kBlack{0, 0, 0};

class SceneRenderTest : public RenderFixture {
protected:
    // Looking straight down from 100 m: +X to the right, -Z up the screen.
    void LookDown() { SetCamera(MakeVector(0, 100, 0), MakeVector(-90, 0, 0), MakeVector(-1e3f, -1e3f, -1e3f), MakeVector(1e3f, 1e3f, 1e3f)); }

    // Segment i of the path: 1000 frames along x from -30 to 30 at height 1, z = zRow.
    static void AddPathSegment(int type, float zRow) {
        const int i = gSpineInfoSegmentCount++;
        gSpineInfoSegments.resize(static_cast<size_t>(i) + 2);
        gSpineInfoSegments[static_cast<size_t>(i)].SegmentType = type;
        gPathMatrixArray.resize(static_cast<size_t>(i) + 2);
        PathSegmentFrames& path = gPathMatrixArray[static_cast<size_t>(i)];
        path.FrameCount = kFramesPerSegment;
        path.Frames.resize(kFramesPerSegment);
        for (int k = 0; k < kFramesPerSegment; ++k)
            path.Frames[static_cast<size_t>(k)].Frame = MatrixTranslate(-30.0f + 60.0f * k / 999.0f, 1.0f, zRow);
        gPathValid = true;
    }

    // Only the track layer, without lighting, so colours come out exactly as set.
    void UnlitTrackOnly() {
        gViewSwitches = ViewSwitches{false, false, false, false, false, true, false, false, false};
        glDisable(GL_LIGHTING);
    }
};

TEST_F(SceneRenderTest, NothingBuiltPresentsAClearedFrame) {
    gTrackModelValid = true;
    MakeTrackModel(1);
    SetSegmentQuad(0, -5, -5, 5, 5, -20);
    Frame drawn = Render();
    ASSERT_EQ(drawn.Presents, 1);
    EXPECT_NE(drawn.At(kWidth / 2, kHeight / 2), kBlack);
    gTrackModelValid = false;
    gPathValid = false;
    Frame cleared = Render();
    ASSERT_EQ(cleared.Presents, 1);
    EXPECT_EQ(cleared.Count(kBlack), kWidth * kHeight);
}

TEST_F(SceneRenderTest, WithoutAContextNothingIsDrawnOrPresented) {
    gTrackModelValid = true;
    gOpenGLEnabled = false;
    EXPECT_EQ(Render().Presents, 0);
    gOpenGLEnabled = true;
    gMainGLContext = 0;
    EXPECT_EQ(Render().Presents, 0);
}

TEST_F(SceneRenderTest, PathViewColoursEachSegmentTypeOverTheDarkSquare) {
    LookDown();
    const float rows[5] = {-40, -20, 0, 20, 40};
    for (int type = 0; type < 5; ++type) AddPathSegment(type, rows[type]);
    AddPathSegment(9, 50);  // an unknown type
    // Whatever the view switches say, the path view shows the points.
    gViewSwitches = ViewSwitches{false, false, false, false, false, false, false, false, false};
    Frame f = Render();
    for (int type = 0; type < 5; ++type) {
        int x = 0, y = 0;
        Project(MakeVector(0, 1, rows[type]), x, y);
        EXPECT_TRUE(f.HasNear(x, y, RgbOf(PathPointColor(type)))) << "type " << type << " at " << x << "," << y;
    }
    int x = 0, y = 0;
    Project(MakeVector(0, 1, 50), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{192, 192, 192}));
    // Between the rows: the ground square of the path view, unlit.
    Project(MakeVector(0, 0, -30), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{0, 77, 0}, 0, 1)) << f.At(x, y);
    EXPECT_EQ(PathPointColor(0), 0 + 256 * 128 + 65536 * 255);
    EXPECT_EQ(PathPointColor(1), 255 + 256 * 128 + 65536 * 64);
    // The drawer leaves lighting on.
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(SceneRenderTest, TheSquareOfThePathViewEndsAt220) {
    SetCamera(MakeVector(0, 300, 0), MakeVector(-90, 0, 0), MakeVector(-1e3f, -1e3f, -1e3f), MakeVector(1e3f, 1e3f, 1e3f));
    AddPathSegment(0, 0);
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(210, 0, 0), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{0, 77, 0}, 0, 1));
    Project(MakeVector(230, 0, 0), x, y);
    EXPECT_EQ(f.At(x, y), kBlack);
}

TEST_F(SceneRenderTest, GroundIsLitGreen) {
    LookDown();
    gTrackModelValid = true;
    // The flat ground of a track without terrain.
    gGroundVertices.resize(5);
    gGroundVertices[0].Position = MakeVector(220, 0, 220);
    gGroundVertices[1].Position = MakeVector(220, 0, -220);
    gGroundVertices[2].Position = MakeVector(-220, 0, -220);
    gGroundVertices[3].Position = MakeVector(-220, 0, 220);
    gGroundVertexCount = 4;
    gGroundTriangles.resize(3);
    gGroundTriangles[0] = GroundTriangle{0, 1, 2};
    gGroundTriangles[1] = GroundTriangle{2, 3, 0};
    gGroundTriangleCount = 2;
    Frame f = Render();
    // Colour material: (0, 0.5, 0) times global ambient 0.2 + light ambient
    // 0.25 + diffuse 0.9 x cos(30 degrees) = 0.615 -> 157.
    const Rgb centre = f.At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(centre.R, 0);
    EXPECT_NEAR(centre.G, 157, 2);
    EXPECT_EQ(centre.B, 0);
    // Switched off, the ground is gone.
    gViewSwitches.Ground = false;
    EXPECT_EQ(Render().At(kWidth / 2, kHeight / 2), kBlack);
}

TEST_F(SceneRenderTest, SmoothGroundTakesItsVertexNormals) {
    LookDown();
    gTrackModelValid = true;
    gGroundVertices.resize(5);
    gGroundVertices[0].Position = MakeVector(220, 0, 220);
    gGroundVertices[1].Position = MakeVector(220, 0, -220);
    gGroundVertices[2].Position = MakeVector(-220, 0, -220);
    gGroundVertices[3].Position = MakeVector(-220, 0, 220);
    for (auto& v : gGroundVertices) v.Normal = MakeVector(0, 0, 0);  // unlit but for ambient
    gGroundTriangles.resize(3);
    gGroundTriangles[0] = GroundTriangle{0, 1, 2};
    gGroundTriangles[1] = GroundTriangle{2, 3, 0};
    gGroundTriangleCount = 2;
    gGroundSmooth = true;
    const Rgb smooth = Render().At(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(smooth.G, 57, 2);  // 0.5 x (0.2 + 0.25)
    gGroundSmooth = false;
    EXPECT_NEAR(Render().At(kWidth / 2, kHeight / 2).G, 157, 2);
}

TEST_F(SceneRenderTest, SelectedSegmentShowsTheHighlightColours) {
    UnlitTrackOnly();
    gTrackModelValid = true;
    MakeTrackModel(2);
    for (int i = 0; i < 2; ++i) {
        TrackModelEntry& e = gTrackModel[static_cast<size_t>(i)];
        const float x = i == 0 ? -8.0f : 2.0f;
        AddQuadFacingZ(e.Rails[0], x, 2, x + 6, 5, -20);      // top: rail
        AddQuadFacingZ(e.Spines[0], x, -1, x + 6, 1, -20);    // middle: spine
        ModelMesh ties;
        AddQuadFacingZ(ties, x, -5, x + 6, -3, -20);          // bottom: ties
        e.TieFaces = ties.Faces;
        e.TieFaceCount = ties.FaceCount;
        e.Centre = MakeVector(x + 3, 0, -20);
        e.Radius = 8;
        e.RailColor = 0x0000FF;
        e.SpineColor = 0x00FF00;
        e.TieColor = 0xFF0000;
    }
    gSegmentSelected[1] = true;
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(-5, 3.5f, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{255, 0, 0}));
    Project(MakeVector(-5, 0, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{0, 255, 0}));
    Project(MakeVector(-5, -4, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{0, 0, 255}));
    Project(MakeVector(5, 3.5f, -20), x, y);
    EXPECT_EQ(f.At(x, y), RgbOf(kSelectedRailColor));
    EXPECT_EQ(f.At(x, y), (Rgb{255, 128, 196}));
    Project(MakeVector(5, 0, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{255, 0, 128}));
    Project(MakeVector(5, -4, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{128, 0, 64}));

    // An element has no selection: the model's own colours.
    gDocumentType = DocumentElement;
    f = Render();
    Project(MakeVector(5, 3.5f, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{255, 0, 0}));
}

TEST_F(SceneRenderTest, AMissingSelectionEntryCountsAsUnselected) {
    UnlitTrackOnly();
    gTrackModelValid = true;
    MakeTrackModel(3);
    for (int i = 0; i < 3; ++i) {
        SetSegmentQuad(i, -9.0f + 6 * i, -2, -5.0f + 6 * i, 2, -20);
        gTrackModel[static_cast<size_t>(i)].RailColor = 0x00FFFF;
    }
    gSegmentSelected.assign(1, true);  // shorter than the track
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(-7, 0, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{255, 128, 196}));
    Project(MakeVector(5, 0, -20), x, y);
    EXPECT_EQ(f.At(x, y), (Rgb{255, 255, 0}));
}

TEST_F(SceneRenderTest, DrawersReadNoFurtherThanTheArraysHold) {
    // Counts that run ahead of the model, as while a part waits for its rebuild.
    gTrackModelValid = true;
    gDocumentType = DocumentTrack;
    gViewSwitches = ViewSwitches{true, true, true, true, true, true, true, true, true};
    MakeTrackModel(1);
    SetSegmentQuad(0, -2, -2, 2, 2, -20);
    gSpineInfoSegmentCount = 50;
    gModelSettings.gRailCount = 7;
    gModelSettings.gSpineCount = 9;
    gTrackModel[0].TieFaceCount = 100;
    gTubeCount = gFooterCount = gCatwalkCount = 40;
    gPrefabModelCount = gTunnelModelCount = 30;
    gGroundTriangleCount = 1000;
    gGroundTriangles.assign(3, GroundTriangle{0, 1, 77});  // a corner beyond the vertices
    gHasWaterModel = true;
    gSegmentCount = 60;
    gTubeModels[0].FaceCount = 1000;
    Frame f = Render();
    EXPECT_EQ(f.Presents, 1);
    EXPECT_NE(f.At(kWidth / 2, kHeight / 2), kBlack);
    SetMeshSubmission(MeshSubmission::Immediate);
    EXPECT_EQ(Render().Presents, 1);
}

TEST_F(SceneRenderTest, HeartlineIsWhiteAndCombRunsBlueToRed) {
    gTrackModelValid = true;
    gSegmentCount = 2;
    gHeartline.assign(3, SegmentUpPoints{});
    gHeartline[0].Points = {MakeVector(-10, 3, -20), MakeVector(0, 3, -20)};
    gHeartline[0].Count = 2;
    gHeartline[1].Points = {MakeVector(10, 3, -20)};
    gHeartline[1].Count = 1;
    gRadiusComb.assign(3, RadiusCombSegment{});
    gRadiusComb[0].Teeth = {CombTooth{MakeVector(-6, -6, -20), MakeVector(-6, -2, -20), 0.0f},
                            CombTooth{MakeVector(6, -6, -20), MakeVector(6, -2, -20), 1.0f}};
    gRadiusComb[0].Count = 2;
    gViewSwitches.PathHeartline = true;
    gViewSwitches.CombRadius = true;
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(5, 3, -20), x, y);  // on the line across the segment border
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 255, 255}, 1));
    Project(MakeVector(-6, -4, -20), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{0, 0, 255}, 1));
    Project(MakeVector(6, -4, -20), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 0, 0}, 1));
    // The tips are joined: the line between them takes the second tooth's colour.
    Project(MakeVector(0, -2, -20), x, y);
    EXPECT_TRUE(f.HasNear(x, y, Rgb{255, 0, 0}, 1));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    // Both are for tracks only.
    gDocumentType = DocumentElement;
    f = Render();
    Project(MakeVector(5, 3, -20), x, y);
    EXPECT_FALSE(f.HasNear(x, y, Rgb{255, 255, 255}, 1));
}

// Every layer at its own place on the screen: footers, tubes, catwalks and
// prefabs left to right at the top, water, ground, track and tunnels below.
void BuildAllLayers() {
    gTrackModelValid = true;
    gFooterCount = 1;
    gFooterModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gFooterModels[0], -14, 4, -10, 8, -30);
    gTubeCount = 1;
    gTubeModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gTubeModels[0], -7, 4, -3, 8, -30);
    gCatwalkCount = 1;
    gCatwalkModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gCatwalkModels[0], 0, 4, 4, 8, -30);
    gPrefabModelCount = 1;
    gPrefabModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gPrefabModels[0], 7, 4, 11, 8, -30);
    gPrefabFooterModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gPrefabFooterModels[0], 12, 4, 15, 8, -30);
    gTunnelModelCount = 1;
    gTunnelOuterModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gTunnelOuterModels[0], 7, -8, 11, -4, -30);
    gTunnelInnerModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gTunnelInnerModels[0], 12, -8, 15, -4, -30);
    gGroundVertices.resize(5);
    gGroundVertices[0].Position = MakeVector(-14, -8, -30);
    gGroundVertices[1].Position = MakeVector(-10, -8, -30);
    gGroundVertices[2].Position = MakeVector(-10, -4, -30);
    gGroundVertices[3].Position = MakeVector(-14, -4, -30);
    for (auto& v : gGroundVertices) v.Normal = MakeVector(0, 0, 1);
    gGroundTriangles.resize(3);
    gGroundTriangles[0] = GroundTriangle{0, 1, 2};
    gGroundTriangles[1] = GroundTriangle{0, 2, 3};
    gGroundTriangleCount = 2;
    gHasWaterModel = true;  // the ground's quad laid flat: seen edge on
    gWaterNormal = MakeVector(0, 1, 0);
    gWaterVertexCount = 4;
    gWaterTriangleCount = 2;
    MakeTrackModel(1);
    SetSegmentQuad(0, 0, -8, 4, -4, -30);
    gTrackModel[0].RailColor = 0x0000FF;
    gTrackSupportColor = 0x00FF00;
}

TEST_F(SceneRenderTest, AnElementDrawsOnlyGroundTrackAndTunnels) {
    BuildAllLayers();
    SetCamera(MakeVector(0, 0, 0), MakeVector(0, 0, 0), MakeVector(-1e3f, -1e3f, -1e3f), MakeVector(1e3f, 1e3f, 1e3f));
    auto drawnAt = [&](const Frame& f, float x, float y) {
        int px = 0, py = 0;
        Project(MakeVector(x, y, -30), px, py);
        return f.At(px, py) != kBlack;
    };
    Frame track = Render();
    for (float x : {-12.0f, -5.0f, 2.0f, 9.0f, 13.5f}) EXPECT_TRUE(drawnAt(track, x, 6)) << x;
    for (float x : {-12.0f, 2.0f, 9.0f, 13.5f}) EXPECT_TRUE(drawnAt(track, x, -6)) << x;
    gDocumentType = DocumentElement;
    Frame element = Render();
    for (float x : {-12.0f, -5.0f, 2.0f, 9.0f, 13.5f}) EXPECT_FALSE(drawnAt(element, x, 6)) << x;
    EXPECT_TRUE(drawnAt(element, -12, -6));   // ground
    EXPECT_TRUE(drawnAt(element, 2, -6));     // track
    EXPECT_TRUE(drawnAt(element, 9, -6));     // tunnel outside
    EXPECT_TRUE(drawnAt(element, 13.5f, -6)); // tunnel inside
}

TEST_F(SceneRenderTest, LayerColoursAndSwitches) {
    BuildAllLayers();
    gViewSwitches.Ground = false;
    glDisable(GL_LIGHTING);
    gSupportDrawColor = 0x00FFFF;    // yellow
    gTrackSupportColor = 0xFF00FF;   // magenta
    gTunnelDrawColor = 0x808080;
    Frame f = Render();
    auto at = [&](float x, float y) {
        int px = 0, py = 0;
        Project(MakeVector(x, y, -30), px, py);
        return f.At(px, py);
    };
    EXPECT_EQ(at(-12, 6), (Rgb{192, 192, 192}));  // footer
    EXPECT_EQ(at(13.5f, 6), (Rgb{192, 192, 192}));  // prefab footer
    EXPECT_EQ(at(-5, 6), (Rgb{255, 255, 0}));  // tube
    EXPECT_EQ(at(2, 6), (Rgb{255, 0, 255}));   // catwalk
    EXPECT_EQ(at(9, 6), (Rgb{255, 255, 0}));   // prefab
    EXPECT_EQ(at(9, -6), (Rgb{128, 128, 128}));  // tunnel outside
    EXPECT_EQ(at(13.5f, -6), (Rgb{32, 32, 32}));  // inside: a quarter
    // Tubes off hides the catwalks too.
    gViewSwitches.Tubes = false;
    f = Render();
    EXPECT_EQ(at(-5, 6), kBlack);
    EXPECT_EQ(at(2, 6), kBlack);
    EXPECT_EQ(at(9, 6), (Rgb{255, 255, 0}));
}

TEST_F(SceneRenderTest, WaterIsTranslucentAtHeightZero) {
    LookDown();
    gTrackModelValid = true;
    gViewSwitches.Ground = false;
    glDisable(GL_LIGHTING);
    gHasWaterModel = true;
    gWaterNormal = MakeVector(0, 1, 0);
    // The water is the ground's grid; the ground's heights are ignored: the water lies at 0.
    gGroundVertices.assign(5, GroundVertex{});
    const Vector3 corners[4] = {MakeVector(-10, 40, 10), MakeVector(10, 40, 10), MakeVector(10, -5, -10),
                                MakeVector(-10, 3, -10)};
    for (int i = 0; i < 4; ++i) gGroundVertices[size_t(i)].Position = corners[i];
    gGroundTriangles.assign(3, GroundTriangle{});
    gGroundTriangles[0] = GroundTriangle{0, 1, 2};
    gGroundTriangles[1] = GroundTriangle{0, 2, 3};
    gGroundTriangleCount = gWaterTriangleCount = 2;
    gGroundVertexCount = gWaterVertexCount = 4;
    Frame f = Render();
    const Rgb c = f.At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(c.R, 0);
    EXPECT_NEAR(c.G, 13, 1);   // 0.1 x 0.5 over black
    EXPECT_NEAR(c.B, 64, 1);   // 0.5 x 0.5
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    gHasWaterModel = false;
    EXPECT_EQ(Render().At(kWidth / 2, kHeight / 2), kBlack);
}

TEST_F(SceneRenderTest, PrefabsMixSmoothAndFlatFaces) {
    gTrackModelValid = true;
    gViewSwitches.Ground = false;
    gPrefabModelCount = 1;
    gPrefabModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gPrefabModels[0], -6, -2, -2, 2, -20);
    AddQuadFacingZ(gPrefabModels[0], 2, -2, 6, 2, -20);
    for (int i = 0; i < 4; ++i) {
        ModelFace& face = gPrefabModels[0].Faces[static_cast<size_t>(i)];
        face.VertexNormal1 = face.VertexNormal2 = face.VertexNormal3 = MakeVector(0, 1, 0);
    }
    gPrefabModels[0].Faces[2].Smoothing = -1;
    gPrefabModels[0].Faces[3].Smoothing = -1;
    gPrefabModels[0].Smooth = true;  // not read for prefabs
    SetupGLLight(180, 0);  // from +Z: head on for the flat faces, grazing for the smooth normals
    Frame f = Render();
    int x = 0, y = 0;
    Project(MakeVector(-4, 0, -20), x, y);
    const Rgb flat = f.At(x, y);
    Project(MakeVector(4, 0, -20), x, y);
    const Rgb smooth = f.At(x, y);
    EXPECT_GT(flat.R, smooth.R + 50) << flat << smooth;  // the flat face takes the light head on
}

TEST_F(SceneRenderTest, ASegmentBehindTheEyeIsSkipped) {
    UnlitTrackOnly();
    gTrackModelValid = true;
    MakeTrackModel(1);
    SetSegmentQuad(0, -5, -5, 5, 5, -20);
    EXPECT_NE(Render().At(kWidth / 2, kHeight / 2), kBlack);
    // A sphere wholly behind the eye: skipped, even if its faces were in view.
    gTrackModel[0].Centre = MakeVector(0, 0, 30);
    gTrackModel[0].Radius = 10;
    EXPECT_EQ(Render().At(kWidth / 2, kHeight / 2), kBlack);
    // Reaching the eye is enough to be drawn.
    gTrackModel[0].Radius = 30.5f;
    EXPECT_NE(Render().At(kWidth / 2, kHeight / 2), kBlack);
}

TEST_F(SceneRenderTest, DisplayListsDrawEveryPixelAsImmediateMode) {
    BuildAllLayers();
    // Smooth meshes with vertex normals that differ from the face normals.
    gTubeModels[0].Smooth = true;
    for (auto& face : gTubeModels[0].Faces) {
        face.VertexNormal1 = MakeVector(0.6f, 0, 0.8f);
        face.VertexNormal2 = MakeVector(0, 0.6f, 0.8f);
        face.VertexNormal3 = MakeVector(0, 0, 1);
    }
    gViewSwitches.CombRadius = true;
    gViewSwitches.PathHeartline = true;
    gSegmentSelected.assign(2, false);
    for (int smoothGround = 0; smoothGround < 2; ++smoothGround) {
        gGroundSmooth = smoothGround == 1;
        InvalidateSceneLists();  // changed outside the build pipeline
        for (int wire = 0; wire < 2; ++wire) {
            glPolygonMode(GL_FRONT, wire ? GL_LINE : GL_FILL);
            for (float heading : {0.0f, 25.0f}) {
                gCameraAngles = MakeVector(-10, heading, 3);
                gCameraPosition = MakeVector(2, 3, 4);
                SetMeshSubmission(MeshSubmission::Immediate);
                const Frame immediate = Render();
                SetMeshSubmission(MeshSubmission::Lists);
                const Frame lists = Render();
                const Frame again = Render();
                ASSERT_EQ(immediate.Bytes.size(), lists.Bytes.size());
                EXPECT_TRUE(immediate.Bytes == lists.Bytes)
                    << "wire " << wire << " heading " << heading << " smooth ground " << smoothGround;
                EXPECT_TRUE(again.Bytes == lists.Bytes);
                EXPECT_GT(lists.Count(kBlack), 0);
                EXPECT_LT(lists.Count(kBlack), kWidth * kHeight);
            }
        }
    }
    glPolygonMode(GL_FRONT, GL_FILL);
}

// The smooth ground and the water are drawn from the model's arrays in runs;
// a run holding a triangle with a corner beyond the vertex list goes face by
// face, and every run draws what immediate mode draws.
TEST_F(SceneRenderTest, GroundAndWaterRunsDrawAsImmediateMode) {
    LookDown();
    gTrackModelValid = true;
    gGroundVertices.assign(5, GroundVertex{});
    const Vector3 corners[4] = {MakeVector(30, -1, 30), MakeVector(30, 1, -30), MakeVector(-30, -1, -30),
                                MakeVector(-30, 2, 30)};
    for (int i = 0; i < 4; ++i) {
        gGroundVertices[size_t(i)].Position = corners[i];
        gGroundVertices[size_t(i)].Normal = MakeVector(0.1f * float(i), 1, 0);
    }
    gGroundTriangles = {GroundTriangle{0, 1, 2}, GroundTriangle{2, 3, 0}, GroundTriangle{0, 2, 9}, GroundTriangle{}};
    gGroundSmooth = true;
    gHasWaterModel = true;
    gWaterNormal = MakeVector(0, 1, 0);
    for (int missing = 0; missing < 2; ++missing) {
        gGroundTriangleCount = gWaterTriangleCount = 2 + missing;
        gGroundVertexCount = gWaterVertexCount = 4;
        InvalidateSceneLists();
        SetMeshSubmission(MeshSubmission::Immediate);
        const Frame immediate = Render();
        SetMeshSubmission(MeshSubmission::Lists);
        const Frame runs = Render();
        EXPECT_TRUE(immediate.Bytes == runs.Bytes) << missing;
        EXPECT_NE(runs.At(kWidth / 2, kHeight / 2), kBlack);
    }
}

// The lists follow the model: a rebuild (the build serial moves), a change of
// an array's shape, or an explicit invalidation recompiles them.
TEST_F(SceneRenderTest, ListsAreRecompiledAfterTheModelChanges) {
    UnlitTrackOnly();
    gViewSwitches.Tubes = true;
    gTrackModelValid = true;
    gSupportDrawColor = 0xFFFFFF;
    gTubeCount = 1;
    gTubeModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gTubeModels[0], -8, -2, -4, 2, -20);
    int lx = 0, ly = 0, rx = 0, ry = 0;
    Frame f = Render();
    Project(MakeVector(-6, 0, -20), lx, ly);
    Project(MakeVector(6, 0, -20), rx, ry);
    ASSERT_EQ(f.At(lx, ly), (Rgb{255, 255, 255}));
    ASSERT_EQ(f.At(rx, ry), kBlack);

    // Moved in place: same buffers, same counts. A build that ran since moves the serial.
    auto moveTo = [](float x0) {
        for (auto& face : gTubeModels[0].Faces)
            for (Vector3* v : {&face.V1, &face.V2, &face.V3}) v->X += x0;
    };
    moveTo(12);
    const uint64_t serial = ModelBuildSerial();
    ClearRemodelFlags();
    gPresetsLoaded = true;
    RemodelChangedParts();  // nothing flagged: a build that changes nothing but still counts
    EXPECT_NE(ModelBuildSerial(), serial);
    f = Render();
    EXPECT_EQ(f.At(lx, ly), kBlack);
    EXPECT_EQ(f.At(rx, ry), (Rgb{255, 255, 255}));

    // Changed outside the pipeline: InvalidateSceneLists.
    moveTo(-12);
    InvalidateSceneLists();
    f = Render();
    EXPECT_EQ(f.At(lx, ly), (Rgb{255, 255, 255}));
    EXPECT_EQ(f.At(rx, ry), kBlack);

    // A new array is noticed by itself.
    ModelMesh moved;
    AddQuadFacingZ(moved, 4, -2, 8, 2, -20);
    std::vector<ModelMesh> replacement(3);
    replacement[0] = moved;
    gTubeModels.swap(replacement);
    f = Render();
    EXPECT_EQ(f.At(lx, ly), kBlack);
    EXPECT_EQ(f.At(rx, ry), (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace rendertest
