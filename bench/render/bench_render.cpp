// Frame rate of the preview drawn by Mesa's software renderer into a 1280 x 720
// window (run it under Xvfb): the same scene sent face by face at every frame
// (immediate mode) and drawn from display lists, for a large generated track
// (over a million lit triangles with its terrain) and a simple one.
//
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/render/bench_render

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "app/app_state.h"
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

// An open ride of `segments` segments of about 8 m on a wavy circle with
// hills and banking, over a terrain of 256 x 256 points.
void MakeTrack(int segments, bool terrain) {
    ClearTrackDocument();
    const int nodes = segments + 1;
    const double turns = segments >= 200 ? 12.0 : 1.0;
    const double radius = segments >= 200 ? 200.0 : 40.0;
    std::vector<Vector3> p(static_cast<size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        const double a = 2.0 * turns * kPi * i / segments;
        const double r = radius + 0.1 * radius * std::sin(5.0 * a);
        p[static_cast<size_t>(i)] = MakeVector(float(r * std::cos(a)), float(30.0 + 12.0 * std::sin(9.0 * a)), float(-r * std::sin(a)));
    }
    gNodeCount = nodes;
    gNodes.assign(static_cast<size_t>(nodes) + 1, TrackNode{});
    for (int i = 0; i < nodes; ++i) {
        const Vector3& prev = p[static_cast<size_t>(i > 0 ? i - 1 : 0)];
        const Vector3& next = p[static_cast<size_t>(i + 1 < nodes ? i + 1 : i)];
        const Vector3 t = MakeVector((next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f);
        TrackNode& n = gNodes[static_cast<size_t>(i)];
        n.Position = p[static_cast<size_t>(i)];
        n.ControlOut = VectorAdd(n.Position, t);
        n.ControlIn = VectorAdd(n.Position, VectorNegate(t));
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 150.0 * i / segments));
    }
    gSegmentCount = segments;
    gSegments.assign(static_cast<size_t>(segments) + 1, TrackSegment{});
    for (int i = 0; i < segments; ++i) gSegments[static_cast<size_t>(i)].SegmentType = i % 40 == 0 ? SegmentBrake : SegmentNormal;
    gRascGroupCount = segments;
    gRascGroups.assign(static_cast<size_t>(segments) + 1, RascGroup{});
    if (terrain) {
        gHasTerrain = true;
        gTerrainWidth = gTerrainDepth = 256;
        gTerrainSpacingX = gTerrainSpacingZ = 2.0f;
        gTerrainHeights.Resize(256, 256);
        for (int j = 0; j < 256; ++j)
            for (int i = 0; i < 256; ++i) gTerrainHeights(i, j) = float(4.0 + 3.0 * std::sin(i * 0.11) * std::cos(j * 0.07));
        gHasWater = true;
    }
    gRailColor = 0x2080F0;   // orange rails, red spine, grey ties (red in the low byte)
    gSpineColor = 0x2020C0;
    gTieColor = 0xA0A0A0;
    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 4;
    RemodelTrack(true);
}

int64_t SceneTriangles() {
    int64_t n = gGroundTriangleCount + (gHasWaterModel ? gGroundTriangleCount : 0);
    for (int i = 0; i < gSpineInfoSegmentCount; ++i) {
        const TrackModelEntry& e = gTrackModel[static_cast<size_t>(i)];
        n += e.TieFaceCount;
        for (const ModelMesh& m : e.Rails) n += m.FaceCount;
        for (const ModelMesh& m : e.Spines) n += m.FaceCount;
    }
    return n;
}

std::map<std::string, double> gFps;

// How a frame is drawn: as the preview was first specified (every face sent
// at every frame, segments culled only behind the eye), from display lists,
// and from display lists with segments outside the view skipped too (the
// program's way). The pixels are the same in all three.
enum Way : int { AsSpecified = 0, Lists = 1, ListsAndFrustum = 2 };
const char* const kWayNames[] = {"immediate", "lists", "lists+frustum"};

void UseWay(Way way) {
    SetMeshSubmission(way == AsSpecified ? MeshSubmission::Immediate : MeshSubmission::Lists);
    SetSegmentFrustumCulling(way == ListsAndFrustum);
}

// Frames of the current scene drawn the three ways in turn, so that the
// ratios hold even while other work loads the machine; the first frame of
// each way (which compiles the lists) is not counted.
void RunFrames(benchmark::State& state, const std::string& key) {
    for (int way = 0; way < 3; ++way) {
        UseWay(static_cast<Way>(way));
        RenderScene();
        glFinish();
    }
    double seconds[3] = {0, 0, 0};
    int64_t frames = 0;
    for (auto _ : state) {
        for (int way = 0; way < 3; ++way) {
            UseWay(static_cast<Way>(way));
            const auto start = std::chrono::steady_clock::now();
            RenderScene();
            glFinish();
            seconds[way] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        ++frames;
    }
    for (int way = 0; way < 3; ++way) {
        const double fps = seconds[way] > 0 ? frames / seconds[way] : 0.0;
        gFps[key + "/" + kWayNames[way]] = fps;
        state.counters[std::string("fps_") + kWayNames[way]] = fps;
    }
    state.counters["triangles"] = double(SceneTriangles());
    UseWay(ListsAndFrustum);
}

// Above the ride, the whole track in view; or the preview's default pose:
// from (0, 10, 0) in the middle of the ride, looking along -Z.
void PlaceCamera(int view, float distance) {
    if (view == 0)
        SetCamera(MakeVector(0, distance * 0.6f, distance), MakeVector(-30, 0, 0), MakeVector(-1e4f, -1e4f, -1e4f),
                  MakeVector(1e4f, 1e4f, 1e4f));
    else
        InitCamera();
}
const char* const kViewNames[] = {"overview", "default pose"};

void BM_LargeTrack(benchmark::State& state) {
    static bool built = false;
    if (!built) {
        MakeTrack(2000, true);
        built = true;
    }
    const int view = static_cast<int>(state.range(0));
    PlaceCamera(view, 320);
    RunFrames(state, std::string("large track, ") + kViewNames[view]);
}
BENCHMARK(BM_LargeTrack)->Arg(0)->Arg(1)->ArgName("view")->Unit(benchmark::kMillisecond)->MinTime(6.0);

void BM_SimpleTrack(benchmark::State& state) {
    static bool built = false;
    if (!built) {
        MakeTrack(24, false);
        built = true;
    }
    PlaceCamera(0, 90);
    RunFrames(state, "simple track, overview");
}
BENCHMARK(BM_SimpleTrack)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
    for (const char* scene : {"large track, overview", "large track, default pose", "simple track, overview"}) {
        const std::string s = scene;
        const auto base = gFps.find(s + "/immediate");
        if (base == gFps.end()) continue;
        std::printf("  %-26s immediate %7.1f", scene, base->second);
        for (const char* way : {"lists", "lists+frustum"}) {
            const auto it = gFps.find(s + "/" + way);
            if (it != gFps.end())
                std::printf("   %s %7.1f (%.2fx)", way, it->second, base->second > 0 ? it->second / base->second : 0.0);
        }
        std::printf("\n");
    }
    DeleteGLContext(gMainGLContext);
    return 0;
}
