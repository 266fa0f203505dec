// The compiled meshes against immediate mode on a whole generated ride (track,
// tubes, catwalks, footers, prefabricated supports, tunnels, terrain with
// water): the same bytes filled and as wire frame from poses that leave parts
// of the scene outside the view, the same picks, and what a build makes the
// preview compile again. Also the view volume's test on its own.
#include <GL/gl.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/light_setup.h"
#include "model/render/scene_lists.h"
#include "model/render/scene_render.h"
#include "model/render/segment_picking.h"
#include "render_test_support.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace rendertest {
namespace {

constexpr int kSegments = 24;
constexpr int kFooters = 24;
constexpr int kTubes = 60;
constexpr int kCatwalks = 6;

// A wavy loop of 24 segments, 40 m across, over a terrain of 48 x 48 points
// 3 m apart that dips below the water line, with footers, tubes between them
// and the ride, catwalks, a prefabricated support every 10 m and a tunnel on
// every sixth segment; built by the model builder at full detail.
void MakeRide() {
    ClearTrackDocument();
    constexpr int kNodes = kSegments + 1;
    std::vector<Vector3> p(kNodes);
    for (int i = 0; i < kNodes; ++i) {
        const double a = 2.0 * kPi * i / kSegments;
        const double r = 40.0 + 4.0 * std::sin(5.0 * a);
        p[i] = MakeVector(float(r * std::cos(a)), float(12.0 + 4.0 * std::sin(3.0 * a)), float(-r * std::sin(a)));
    }
    gNodeCount = kNodes;
    gNodes.assign(kNodes + 1, TrackNode{});
    for (int i = 0; i < kNodes; ++i) {
        const Vector3& prev = p[i > 0 ? i - 1 : 0];
        const Vector3& next = p[i + 1 < kNodes ? i + 1 : i];
        const Vector3 t = MakeVector((next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f);
        TrackNode& n = gNodes[i];
        n.Position = p[i];
        n.ControlOut = VectorAdd(n.Position, t);
        n.ControlIn = VectorAdd(n.Position, VectorNegate(t));
        n.Roll = static_cast<float>(0.5 * std::sin(4.0 * kPi * i / kSegments));
    }
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    for (int i = 0; i < kSegments; ++i) {
        gSegments[i].SegmentType = i % 5;
        gSegments[i].Tunnel = i % 6 == 3;
    }
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
    double carried = 0.0;
    for (int s = 0; s < kSegments; ++s) {
        const double length = VectorDistance(gNodes[s].Position, gNodes[s + 1].Position);
        RascGroup& g = gRascGroups[s];
        for (double d = 10.0 - carried; d < length; d += 10.0)
            g.Items.push_back(RascItem{2 + static_cast<int32_t>(g.Items.size() + s) % 6, float(d / length)});
        g.ItemCount = static_cast<int32_t>(g.Items.size());
        g.Items.emplace_back();
        carried = std::fmod(carried + length, 10.0);
    }

    gHasTerrain = true;
    gHasWater = true;
    gTerrainWidth = gTerrainDepth = 48;
    gTerrainSpacingX = gTerrainSpacingZ = 3.0f;
    gTerrainHeights.Resize(48, 48);
    for (int j = 0; j < 48; ++j)
        for (int i = 0; i < 48; ++i)
            gTerrainHeights(i, j) = static_cast<float>(3.0 * std::sin(i * 0.2) * std::cos(j * 0.15) - 0.5);

    gFooters.assign(kFooters + 1, TrackFooter{});
    gFreeNodes.assign(kFooters + 1, Vector3{});
    for (int f = 0; f < kFooters; ++f) {
        const Vector3& n = gNodes[f].Position;
        const float side = f % 2 ? 3.0f : -3.0f;
        gFooters[f].Position = MakeVector(n.X + side, 0.0f, n.Z + side);
        gFreeNodes[f] = MakeVector(n.X + side, n.Y * 0.5f, n.Z + side);
    }
    gFooterCount = gFreeNodeCount = kFooters;
    gCatwalks.assign(kCatwalks + 1, TrackCatwalk{});
    for (int c = 0; c < kCatwalks; ++c)
        gCatwalks[c] = TrackCatwalk{2 * c, 2 * c + 1, 2 * c + 3, 2 * c + 2, 0, 0, 0};
    gCatwalkCount = kCatwalks;
    gTubes.assign(kTubes + 1, SupportTube{});
    for (int t = 0; t < kTubes; ++t) {
        const int f = t % kFooters, next = (f + 1) % kFooters;
        switch (t % 3) {
            case 0: gTubes[t] = SupportTube{EndFooter, f, 0, EndFreeNode, f, 0, t % 10, 0, 0.0f}; break;
            case 1: gTubes[t] = SupportTube{EndFreeNode, f, 0, EndFreeNode, next, 0, t % 10, 0, 0.3f}; break;
            default: gTubes[t] = SupportTube{EndPrefabAnchor, 0, f % kSegments, EndFooter, f, 0, t % 10, 0, 0.0f}; break;
        }
    }
    gTubeCount = kTubes;

    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_TEST_DATA_DIR;
    gModelOnLoad = 4;
    ClearSegmentSelection();
    RemodelTrack(true);
}

int64_t Faces(const std::vector<ModelMesh>& meshes, int64_t count) {
    int64_t n = 0;
    for (int64_t i = 0; i < count && i < static_cast<int64_t>(meshes.size()); ++i) n += meshes[size_t(i)].FaceCount;
    return n;
}

int64_t SegmentTriangles(int i) {
    const TrackModelEntry& e = gTrackModel[size_t(i)];
    return Faces(e.Rails, gModelSettings.gRailCount) + Faces(e.Spines, gModelSettings.gSpineCount) + e.TieFaceCount;
}

// Every triangle of the model that a frame with every layer on sends.
int64_t RideTriangles() {
    int64_t n = 2 * int64_t(gGroundTriangleCount);  // ground and water
    n += Faces(gFooterModels, gFooterCount) + Faces(gPrefabFooterModels, gPrefabModelCount);
    n += Faces(gTubeModels, gTubeCount) + Faces(gCatwalkModels, gCatwalkCount) + Faces(gPrefabModels, gPrefabModelCount);
    n += Faces(gTunnelOuterModels, gTunnelModelCount) + Faces(gTunnelInnerModels, gTunnelModelCount);
    for (int i = 0; i < gSpineInfoSegmentCount; ++i) n += SegmentTriangles(i);
    return n;
}

struct Pose {
    const char* Name;
    Vector3 Position;
    Vector3 Angles;
};

// Over the whole ride; inside it looking along -Z (half of it behind the eye);
// low beside it looking across; close to the track, where pieces cross the
// near plane and the sides of the view; from below the ground; and so far away
// that the far plane cuts through the ride.
const Pose kPoses[] = {
    {"overview", {0, 60, 110}, {-30, 0, 0}},     {"inside", {0, 10, 0}, {0, 0, 0}},
    {"low beside", {-70, 2, 20}, {-2, -65, 0}},  {"close", {40, 13, 0}, {-10, 10, 0}},
    {"from below", {0, -25, 50}, {25, 0, 0}},     {"far", {0, 40, 1460}, {0, 0, 0}},
};

class CompiledSceneTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        MakeRide();
        ASSERT_TRUE(gTrackModelValid);
        ASSERT_GT(gGroundTriangleCount, 4000);
        ASSERT_TRUE(gHasWaterModel);
        ASSERT_GT(gTubeCount, 0);
        ASSERT_GT(gPrefabModelCount, 0);
        ASSERT_GT(gTunnelModelCount, 0);
        ASSERT_GT(Faces(gCatwalkModels, gCatwalkCount), 0);
    }
    void TearDown() override {
        SetFrustumCulling(true);
        glPolygonMode(GL_FRONT, GL_FILL);
        RenderFixture::TearDown();
    }

    static void Place(const Pose& pose) {
        SetCamera(pose.Position, pose.Angles, MakeVector(-1e4f, -1e4f, -1e4f), MakeVector(1e4f, 1e4f, 1e4f));
    }

    Frame RenderWay(MeshSubmission submission, bool culling) {
        SetMeshSubmission(submission);
        SetFrustumCulling(culling);
        return Render();
    }
};

TEST_F(CompiledSceneTest, EveryPoseDrawsTheBytesOfImmediateMode) {
    gViewSwitches.CombRadius = true;
    gViewSwitches.PathHeartline = true;
    gSegmentSelected.assign(kSegments + 1, false);
    gSegmentSelected[3] = gSegmentSelected[4] = gSegmentSelected[17] = true;
    int64_t leftOut = 0;
    for (int wire = 0; wire < 2; ++wire) {
        glPolygonMode(GL_FRONT, wire ? GL_LINE : GL_FILL);
        for (const Pose& pose : kPoses) {
            Place(pose);
            const Frame immediate = RenderWay(MeshSubmission::Immediate, false);
            const Frame culled = RenderWay(MeshSubmission::Lists, true);
            const SceneDrawStats stats = LastSceneDrawStats();
            const Frame whole = RenderWay(MeshSubmission::Lists, false);
            ASSERT_EQ(immediate.Bytes.size(), size_t(kWidth) * kHeight * 3);
            EXPECT_TRUE(culled.Bytes == immediate.Bytes) << pose.Name << (wire ? ", wire frame" : ", filled");
            EXPECT_TRUE(whole.Bytes == immediate.Bytes) << pose.Name << (wire ? ", wire frame" : ", filled");
            EXPECT_LT(immediate.Count(Rgb{0, 0, 0}), kWidth * kHeight) << pose.Name << ": nothing drawn";
            EXPECT_GT(stats.PiecesDrawn, 0) << pose.Name;
            leftOut += stats.PiecesLeftOut;
            if (std::string(pose.Name) == "inside") {
                EXPECT_GT(stats.PiecesLeftOut, 0);
            }
        }
    }
    EXPECT_GT(leftOut, 0);

    // The path view, while only the path is built.
    glPolygonMode(GL_FRONT, GL_FILL);
    gTrackModelValid = false;
    for (const Pose& pose : {kPoses[0], kPoses[1]}) {
        Place(pose);
        const Frame immediate = RenderWay(MeshSubmission::Immediate, false);
        EXPECT_TRUE(RenderWay(MeshSubmission::Lists, true).Bytes == immediate.Bytes) << "path view, " << pose.Name;
        EXPECT_GT(immediate.Count(RgbOf(PathPointColor(SegmentLift))), 0) << pose.Name;
    }
}

// A frame whose compile slice ends before any compile is done compiles one
// piece and sends the rest face by face, with the bytes of immediate mode;
// idle slices compile the rest, at least one piece each, and the frames stay
// the same. With a selection and the path view too.
TEST_F(CompiledSceneTest, ASliceLeavesTheRestForLaterWithTheSameBytes) {
    gSegmentSelected.assign(kSegments + 1, false);
    gSegmentSelected[5] = true;
    for (const bool trackBuilt : {true, false}) {
        gTrackModelValid = trackBuilt;
        Place(kPoses[0]);
        const Frame immediate = RenderWay(MeshSubmission::Immediate, false);
        SetMeshSubmission(MeshSubmission::Lists);
        SetListCompileSlice(1e-9);
        InvalidateSceneLists();
        const int64_t before = CompiledSceneTriangles();
        EXPECT_TRUE(Render().Bytes == immediate.Bytes);
        if (trackBuilt) {
            EXPECT_LT(CompiledSceneTriangles() - before, RideTriangles() / 2);
        }
        int slices = 0;
        while (CompilePendingSceneLists()) ASSERT_LT(++slices, 100000);
        EXPECT_GT(slices, 10);
        if (trackBuilt) {
            EXPECT_EQ(CompiledSceneTriangles() - before, RideTriangles());
        }
        SetListCompileSlice(0.0);
        const int64_t compiled = CompiledSceneTriangles();
        EXPECT_TRUE(Render().Bytes == immediate.Bytes);
        EXPECT_EQ(CompiledSceneTriangles(), compiled);
    }
}

TEST_F(CompiledSceneTest, ThePicksAreThoseOfImmediateMode) {
    int hits = 0;
    for (const Pose& pose : {kPoses[0], kPoses[1], kPoses[3]}) {
        Place(pose);
        for (int y = 12; y < kHeight; y += 30)
            for (int x = 10; x < kWidth; x += 30) {
                SetMeshSubmission(MeshSubmission::Immediate);
                const int32_t expected = PickSegment(x, y);
                SetMeshSubmission(MeshSubmission::Lists);
                EXPECT_EQ(PickSegment(x, y), expected) << pose.Name << " at " << x << ", " << y;
                hits += expected >= 0;
            }
    }
    EXPECT_GT(hits, 10);
}

// The lists follow what they would send: a build that changed nothing
// compiles nothing, a part changed in place compiles that part alone, a
// segment changed in place that segment alone.
TEST_F(CompiledSceneTest, OnlyWhatChangedIsCompiledAgain) {
    int64_t before = CompiledSceneTriangles();
    Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, RideTriangles());

    before = CompiledSceneTriangles();
    ClearRemodelFlags();
    RemodelChangedParts();
    Frame f = Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, 0);

    for (ModelMesh& m : gTubeModels)
        for (int k = 0; k < m.FaceCount; ++k) m.Faces[size_t(k)].V2.Y += 0.5f;
    before = CompiledSceneTriangles();
    RemodelChangedParts();
    f = Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, Faces(gTubeModels, gTubeCount));

    ModelFace& face = gTrackModel[7].Rails[0].Faces[0];
    face.V1.Y += 0.25f;
    before = CompiledSceneTriangles();
    RemodelChangedParts();
    const Frame lists = Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, SegmentTriangles(7));
    EXPECT_TRUE(lists.Bytes == RenderWay(MeshSubmission::Immediate, false).Bytes);

    // A recolouring changes no list.
    SetMeshSubmission(MeshSubmission::Lists);
    ClearRemodelFlags();
    gRemodelFlags.Recolor = true;
    before = CompiledSceneTriangles();
    RemodelChangedParts();
    Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, 0);

    // A ground point moved: the ground's runs, and only they, are cut again;
    // the water reads the same points flattened, so it is cut again too.
    gGroundVertices[size_t(gGroundVertexCount / 2)].Position.Y += 0.5f;
    before = CompiledSceneTriangles();
    RemodelChangedParts();
    Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, 2 * int64_t(gGroundTriangleCount));

    before = CompiledSceneTriangles();
    InvalidateSceneLists();
    Render();
    EXPECT_EQ(CompiledSceneTriangles() - before, RideTriangles());
}

// A batch compiled in several pieces keeps the order of its triangles: of two
// at the same depth the first drawn wins, also when they land in different
// pieces.
class CompiledPiecesTest : public RenderFixture {};

TEST_F(CompiledPiecesTest, KeepTheOrderOfTheBatch) {
    gTrackModelValid = true;
    gViewSwitches = ViewSwitches{false, false, false, true, false, false, false, false, false};
    gTubeCount = 3;
    gTubeModels.assign(4, ModelMesh{});
    auto lit = [](ModelMesh& mesh, const Vector3& normal) {
        mesh.Smooth = true;
        for (ModelFace& face : mesh.Faces) face.VertexNormal1 = face.VertexNormal2 = face.VertexNormal3 = normal;
    };
    AddQuadFacingZ(gTubeModels[0], -4, -4, 4, 4, -20);
    lit(gTubeModels[0], MakeVector(0, 0, 1));  // facing the light that comes from +Z
    // Filler far off to the side, enough to close a piece.
    for (int k = 0; k < 600; ++k) AddQuadFacingZ(gTubeModels[1], 200.0f + k, 0, 200.5f + k, 0.5f, -20);
    lit(gTubeModels[1], MakeVector(0, 0, 1));
    AddQuadFacingZ(gTubeModels[2], -4, -4, 4, 4, -20);
    lit(gTubeModels[2], MakeVector(1, 0, 0));  // grazing: dark
    SetupGLLight(180, 0);
    SetMeshSubmission(MeshSubmission::Immediate);
    const Frame immediate = Render();
    SetMeshSubmission(MeshSubmission::Lists);
    const Frame lists = Render();
    EXPECT_GE(LastSceneDrawStats().PiecesDrawn + LastSceneDrawStats().PiecesLeftOut, 3);
    EXPECT_GT(LastSceneDrawStats().PiecesLeftOut, 0);
    EXPECT_TRUE(lists.Bytes == immediate.Bytes);
    const Rgb centre = lists.At(kWidth / 2, kHeight / 2);
    EXPECT_GT(centre.R, 200) << centre;  // the first quad, lit head on
}

// ---- The view volume and boxes -------------------------------------------------

scene::Box BoxOf(float x0, float y0, float z0, float x1, float y1, float z1) {
    scene::Box b;
    b.Add(MakeVector(x0, y0, z0));
    b.Add(MakeVector(x1, y1, z1));
    return b;
}

TEST(ViewVolume, LeavesOutOnlyWhatLiesWhollyOutsideAPlane) {
    // Clip space itself: the cube -1..1 (w = 1).
    const double identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const scene::ViewVolume cube(identity);
    EXPECT_TRUE(cube.MayShow(BoxOf(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f)));
    EXPECT_TRUE(cube.MayShow(BoxOf(-5, -5, -5, 5, 5, 5)));         // around the whole volume
    EXPECT_TRUE(cube.MayShow(BoxOf(0.9f, 0, 0, 3, 0.1f, 0.1f)));   // across a side
    EXPECT_FALSE(cube.MayShow(BoxOf(1.5f, 0, 0, 3, 0.1f, 0.1f)));  // right of it
    EXPECT_FALSE(cube.MayShow(BoxOf(0, -3, 0, 0.1f, -1.2f, 0.1f)));  // below
    EXPECT_FALSE(cube.MayShow(BoxOf(0, 0, 1.1f, 0.1f, 0.1f, 2)));    // beyond the far side
    EXPECT_TRUE(cube.MayShow(BoxOf(1.005f, 0, 0, 2, 0.1f, 0.1f)));   // within the rounding margin
    EXPECT_FALSE(cube.MayShow(scene::Box{}));                         // nothing in it

    scene::Box unbounded = BoxOf(5, 5, 5, 6, 6, 6);
    unbounded.Add(MakeVector(std::numeric_limits<float>::quiet_NaN(), 0, 0));
    EXPECT_TRUE(unbounded.Unbounded);
    EXPECT_TRUE(cube.MayShow(unbounded));
    scene::Box infinite;
    infinite.Add(MakeVector(std::numeric_limits<float>::infinity(), 0, 0));
    EXPECT_TRUE(cube.MayShow(infinite));

    // A matrix without a volume leaves nothing out.
    const double flat[4][4] = {};
    EXPECT_TRUE(scene::ViewVolume(flat).MayShow(BoxOf(100, 100, 100, 101, 101, 101)));
    EXPECT_TRUE(scene::ViewVolume().MayShow(BoxOf(100, 100, 100, 101, 101, 101)));
}

TEST(ViewVolume, PerspectiveLeavesOutWhatIsBehindTheEye) {
    // Perspective of 90 degrees, aspect 1, near 1, far 100, eye at the origin looking down -Z.
    const double n = 1, f = 100;
    const double perspective[4][4] = {
        {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -(f + n) / (f - n), -2 * f * n / (f - n)}, {0, 0, -1, 0}};
    const scene::ViewVolume v(perspective);
    EXPECT_TRUE(v.MayShow(BoxOf(-1, -1, -11, 1, 1, -9)));
    EXPECT_FALSE(v.MayShow(BoxOf(-1, -1, 5, 1, 1, 9)));          // behind the eye
    EXPECT_FALSE(v.MayShow(BoxOf(-1, -1, -0.8f, 1, 1, -0.5f)));  // before the near plane
    EXPECT_FALSE(v.MayShow(BoxOf(-1, -1, -130, 1, 1, -110)));    // beyond the far plane
    EXPECT_FALSE(v.MayShow(BoxOf(30, -1, -11, 32, 1, -9)));      // off to the right
    EXPECT_TRUE(v.MayShow(BoxOf(-1, -1, -3, 1, 1, 30)));         // through the eye and the near plane
}

TEST(SceneBox, SpansTheLongestSide) {
    scene::Box b;
    EXPECT_TRUE(b.Empty);
    EXPECT_EQ(b.Span(), 0.0f);
    b.Add(MakeVector(1, 2, 3));
    EXPECT_FALSE(b.Empty);
    EXPECT_EQ(b.Span(), 0.0f);
    b.Add(MakeVector(-1, 7, 4));
    EXPECT_EQ(b.Span(), 5.0f);
    scene::Box c = BoxOf(10, 0, 0, 11, 1, 1);
    c.Add(b);
    EXPECT_EQ(c.Min[0], -1.0f);
    EXPECT_EQ(c.Max[0], 11.0f);
    EXPECT_EQ(c.Span(), 12.0f);
}

}  // namespace
}  // namespace rendertest
