// Frame rate of the preview drawn by Mesa's software renderer into a 1280 x 720
// window (run it under Xvfb): the same scene sent face by face at every frame
// (immediate mode, as the preview was first specified) and drawn from the
// compiled meshes, for the large ride of the model benchmarks with its whole
// model (track, support tubes, catwalks, footers, prefabricated supports,
// tunnels, a 512 x 512 terrain with water: over three million lit triangles)
// and for a simple track; and the time of the first frame after the model
// changed, which compiles the meshes.
//
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/render/bench_render

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/light_setup.h"
#include "model/render/scene_render.h"
#include "model/render/x11_gl_window.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// ---- The scenes ----------------------------------------------------------------

// The large ride every benchmark measures, with everything a finished ride has
// around it and a terrain of 512 x 512 points with water.
void MakeRenderedRide() {
    LargeRideOptions options;
    options.TerrainPoints = 512;
    ::MakeLargeRide(options);
    RemodelTrack(true);
}

// A short open loop of 24 segments on a wavy circle of 40 m, no terrain.
void MakeSimpleTrack() {
    ClearTrackDocument();
    constexpr int kSegments = 24, kNodes = kSegments + 1;
    std::vector<Vector3> p(kNodes);
    for (int i = 0; i < kNodes; ++i) {
        const double a = 2.0 * kPi * i / kSegments;
        const double r = 40.0 + 4.0 * std::sin(5.0 * a);
        p[i] = MakeVector(float(r * std::cos(a)), float(30.0 + 12.0 * std::sin(9.0 * a)), float(-r * std::sin(a)));
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
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 6.0 * i / kSegments));
    }
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    for (int i = 0; i < kSegments; ++i) gSegments[i].SegmentType = i == 0 ? SegmentBrake : SegmentNormal;
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 4;
    RemodelTrack(true);
}

int64_t Faces(const std::vector<ModelMesh>& meshes, int64_t count) {
    int64_t n = 0;
    for (int64_t i = 0; i < count && i < static_cast<int64_t>(meshes.size()); ++i) n += meshes[size_t(i)].FaceCount;
    return n;
}

// Triangles in one frame with every layer on.
int64_t SceneTriangles() {
    int64_t n = gGroundTriangleCount + (gHasWaterModel ? gGroundTriangleCount : 0);
    n += Faces(gTubeModels, gTubeCount) + Faces(gCatwalkModels, gCatwalkCount) + Faces(gFooterModels, gFooterCount);
    n += Faces(gPrefabModels, gPrefabModelCount) + Faces(gPrefabFooterModels, gPrefabModelCount);
    n += Faces(gTunnelOuterModels, gTunnelModelCount) + Faces(gTunnelInnerModels, gTunnelModelCount);
    for (int i = 0; i < gSpineInfoSegmentCount; ++i) {
        const TrackModelEntry& e = gTrackModel[static_cast<size_t>(i)];
        n += e.TieFaceCount + Faces(e.Rails, int64_t(e.Rails.size())) + Faces(e.Spines, int64_t(e.Spines.size()));
    }
    return n;
}

// ---- Drawing -------------------------------------------------------------------

std::map<std::string, double> gFps;

// How a frame is drawn: as the preview was first specified (every face sent
// at every frame, segments culled only behind the eye), from the compiled
// meshes, and from the compiled meshes with segments outside the view skipped
// too (the program's way). The pixels are the same in all three.
enum Way : int { AsSpecified = 0, Compiled = 1, CompiledAndFrustum = 2 };
const char* const kWayNames[] = {"immediate", "compiled", "compiled+frustum"};

void UseWay(Way way) {
    SetMeshSubmission(way == AsSpecified ? MeshSubmission::Immediate : MeshSubmission::Lists);
    SetFrustumCulling(way == CompiledAndFrustum);
}

// Frames of the current scene drawn the three ways in turn, so that the
// ratios hold even while other work loads the machine; the first frame of
// each way (which compiles the meshes) is not counted. Also the slowest
// frame of the program's way.
void RunFrames(benchmark::State& state, const std::string& key) {
    for (int way = 0; way < 3; ++way) {
        UseWay(static_cast<Way>(way));
        RenderScene();
        glFinish();
    }
    double seconds[3] = {0, 0, 0};
    double slowest = 0.0;
    int64_t frames = 0;
    for (auto _ : state) {
        for (int way = 0; way < 3; ++way) {
            UseWay(static_cast<Way>(way));
            const auto start = std::chrono::steady_clock::now();
            RenderScene();
            glFinish();
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            seconds[way] += s;
            if (way == CompiledAndFrustum) slowest = std::max(slowest, s);
        }
        ++frames;
    }
    for (int way = 0; way < 3; ++way) {
        const double fps = seconds[way] > 0 ? frames / seconds[way] : 0.0;
        gFps[key + "/" + kWayNames[way]] = fps;
        state.counters[std::string("fps_") + kWayNames[way]] = fps;
    }
    gFps[key + "/slowest"] = slowest > 0 ? 1.0 / slowest : 0.0;
    state.counters["slowest_frame_fps"] = slowest > 0 ? 1.0 / slowest : 0.0;
    state.counters["triangles"] = double(SceneTriangles());
    UseWay(CompiledAndFrustum);
}

// Above the ride with the whole of it in view; or the preview's default pose:
// from (0, 10, 0) in the middle of the ride, looking along -Z.
void PlaceCamera(int view, float distance) {
    if (view == 0)
        SetCamera(MakeVector(0, distance * 0.6f, distance), MakeVector(-30, 0, 0), MakeVector(-1e4f, -1e4f, -1e4f),
                  MakeVector(1e4f, 1e4f, 1e4f));
    else
        InitCamera();
}
const char* const kViewNames[] = {"whole ride", "default pose"};

// The scene in the model arrays, built when another one is there.
enum class Scene { None, LargeRide, SimpleTrack };
void UseScene(Scene scene) {
    static Scene current = Scene::None;
    if (current == scene) return;
    if (scene == Scene::LargeRide)
        MakeRenderedRide();
    else
        MakeSimpleTrack();
    current = scene;
}

void BM_LargeRide(benchmark::State& state) {
    UseScene(Scene::LargeRide);
    const int view = static_cast<int>(state.range(0));
    PlaceCamera(view, 420);
    RunFrames(state, std::string("large ride, ") + kViewNames[view]);
}
BENCHMARK(BM_LargeRide)->Arg(0)->Arg(1)->ArgName("view")->Unit(benchmark::kMillisecond)->MinTime(6.0);

void BM_SimpleTrack(benchmark::State& state) {
    UseScene(Scene::SimpleTrack);
    PlaceCamera(0, 90);
    RunFrames(state, "simple track, whole");
}
BENCHMARK(BM_SimpleTrack)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first frame after the lists were forgotten: every mesh compiled again.
void BM_FirstFrameOfLargeRide(benchmark::State& state) {
    UseScene(Scene::LargeRide);
    PlaceCamera(0, 420);
    UseWay(CompiledAndFrustum);
    for (auto _ : state) {
        InvalidateSceneLists();
        RenderScene();
        glFinish();
    }
    state.counters["triangles"] = double(SceneTriangles());
}
BENCHMARK(BM_FirstFrameOfLargeRide)->Unit(benchmark::kMillisecond)->Iterations(3);

// A frame after a build that changed nothing: the fingerprints are compared, nothing is compiled.
void BM_FrameAfterEmptyBuild(benchmark::State& state) {
    UseScene(Scene::LargeRide);
    PlaceCamera(0, 420);
    UseWay(CompiledAndFrustum);
    RenderScene();
    for (auto _ : state) {
        ClearRemodelFlags();
        RemodelChangedParts();
        RenderScene();
        glFinish();
    }
}
BENCHMARK(BM_FrameAfterEmptyBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

bool OpenPreview() {
    X11GLWindowOptions options;
    options.Width = kWidth;
    options.Height = kHeight;
    options.DepthBits = 32;
    const int32_t context = CreateX11GLWindow(options);
    if (context <= 0) return false;
    InitGLState();
    SetupGLLight(180, 60);
    SetGLLighting(true);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    ResizeGLViewport(kWidth, kHeight, kPreviewFarPlane, kPreviewFieldOfView);
    gMainGLContext = context;
    gOpenGLEnabled = true;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr || !OpenPreview()) {
        std::printf("bench_render: needs an X display with GLX (run it under xvfb-run); skipped\n");
        return 0;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nFrames per second at %dx%d (ratio to immediate mode):\n", kWidth, kHeight);
    for (const char* scene : {"large ride, whole ride", "large ride, default pose", "simple track, whole"}) {
        const std::string s = scene;
        const auto base = gFps.find(s + "/immediate");
        if (base == gFps.end()) continue;
        std::printf("  %-25s immediate %7.1f", scene, base->second);
        for (const char* way : {"compiled", "compiled+frustum"}) {
            const auto it = gFps.find(s + "/" + way);
            if (it != gFps.end())
                std::printf("   %s %7.1f (%.2fx)", way, it->second, base->second > 0 ? it->second / base->second : 0.0);
        }
        std::printf("   slowest frame %.1f\n", gFps[s + "/slowest"]);
    }
    DeleteGLContext(gMainGLContext);
    return 0;
}
