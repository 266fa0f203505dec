// Speed of the 3D Studio export on the full model of a large track: a ride of
// 2,000 segments built by the model builder (rails and spines every 0.5 m,
// crossties), 400 each of support tubes, catwalks, footers and prefabricated
// supports, 80 tunnels, and a terrain of 1024 x 1024 points with water
// (2,093,058 ground and as many water triangles). The supports, tunnels and
// ground are made in code in the shape the builder gives them.
//
// Counters: triangles/s over every triangle staged (welding included).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "export/file_writer_3ds.h"
#include "export/model_export_3ds.h"
#include "export/scene_staging_3ds.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/tie_object_reader.h"
#include "model/track_model.h"
#include "tests/export/synthetic_model.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kSegments = 2000;
constexpr int kTerrainPoints = 1024;

// An open ride of kSegments segments of about 6 m: two turns of a spiral with
// hills and banking, the control points from the neighbouring nodes.
void MakeLargeRide() {
    const int nodes = kSegments + 1;
    std::vector<Vector3> p(nodes);
    for (int i = 0; i < nodes; ++i) {
        const double a = 4.0 * kPi * i / kSegments;
        const double r = 180.0 + 20.0 * std::sin(5.0 * a);
        p[i] = Vector3{float(r * std::cos(a)), float(30.0 + 12.0 * std::sin(9.0 * a)), float(-r * std::sin(a))};
    }
    gNodeCount = nodes;
    gNodes.assign(nodes + 1, TrackNode{});
    for (int i = 0; i < nodes; ++i) {
        const Vector3& prev = p[i > 0 ? i - 1 : 0];
        const Vector3& next = p[i + 1 < nodes ? i + 1 : i];
        const Vector3 t{(next.X - prev.X) / 6.0f, (next.Y - prev.Y) / 6.0f, (next.Z - prev.Z) / 6.0f};
        TrackNode& n = gNodes[i];
        n.Position = p[i];
        n.ControlOut = Vector3{p[i].X + t.X, p[i].Y + t.Y, p[i].Z + t.Z};
        n.ControlIn = Vector3{p[i].X - t.X, p[i].Y - t.Y, p[i].Z - t.Z};
        n.Roll = static_cast<float>(0.6 * std::sin(4.0 * kPi * 7.0 * i / kSegments));
    }
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    for (int i = 0; i < kSegments; ++i) gSegments[i].CustomColors = i % 50 == 0;
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_BENCH_DATA_DIR;
}

struct LargeModel {
    int64_t triangles = 0;
    int64_t groundTriangles = 0;
};

const LargeModel& BuildLargeModel() {
    static LargeModel model = [] {
        ClearDocumentAndModel();
        MakeLargeRide();
        ExtractTrackSpine();
        BuildPathMatrixArray();
        ApplyTrackStylePresets(gTrackStyle, false);
        gModelSettings.RailDetail = 0.5f;
        gModelSettings.SpineDetail = 0.5f;
        LoadTieModel(gModelSettings.gTieModels[0].File, 0);
        CreateTrackModel();
        MakeSupportModels(400, 96);
        MakeTunnelModels(80, 480);
        MakeGroundModel(kTerrainPoints, kTerrainPoints, 1.0f, true);
        LargeModel m;
        for (int s = 0; s < kSegments; ++s) {
            m.triangles += gTrackModel[s].TieFaceCount;
            for (int k = 0; k < gModelSettings.gRailCount; ++k) m.triangles += gTrackModel[s].Rails[k].FaceCount;
            for (int k = 0; k < gModelSettings.gSpineCount; ++k) m.triangles += gTrackModel[s].Spines[k].FaceCount;
        }
        m.triangles += 5 * 400 * 96 + 2 * 80 * 480;
        m.groundTriangles = gGroundTriangleCount;
        m.triangles += 2 * m.groundTriangles;  // ground and water
        return m;
    }();
    return model;
}

std::string BenchFile() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/gantrywright-bench-export.3ds";
}

// The whole export as the dialog runs it: staging, welding, writing the file.
void BM_ExportFullTrack(benchmark::State& state) {
    const LargeModel& m = BuildLargeModel();
    const std::string path = BenchFile();
    std::string failure;
    for (auto _ : state) {
        if (!ExportTrackModel3DS(path, true, true, true, true, true, &failure)) state.SkipWithError(failure.c_str());
    }
    std::remove(path.c_str());
    state.counters["triangles"] = double(m.triangles);
    state.counters["triangles/s"] =
        benchmark::Counter(double(m.triangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ExportFullTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

// Staging alone (welding and the split), every part.
void BM_StageFullTrack(benchmark::State& state) {
    const LargeModel& m = BuildLargeModel();
    for (auto _ : state) {
        Reset3DSScene();
        StageTrackModel3DS(true, true, true, true, true);
    }
    state.counters["objects"] = double(gObjectCount3DS);
    state.counters["bytes"] = double(Get3DSFileSize());
    Reset3DSScene();
    state.counters["triangles/s"] =
        benchmark::Counter(double(m.triangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_StageFullTrack)->Unit(benchmark::kMillisecond);

// The 1024 x 1024 ground alone: every corner looked up for welding.
void BM_StageGround(benchmark::State& state) {
    const LargeModel& m = BuildLargeModel();
    for (auto _ : state) {
        Reset3DSScene();
        StageTrackModel3DS(false, false, false, true, false);
    }
    Reset3DSScene();
    state.counters["triangles/s"] =
        benchmark::Counter(double(m.groundTriangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_StageGround)->Unit(benchmark::kMillisecond);

// Encoding the staged scene into the file's bytes, without the disk.
void BM_EncodeFullTrack(benchmark::State& state) {
    const LargeModel& m = BuildLargeModel();
    Reset3DSScene();
    StageTrackModel3DS(true, true, true, true, true);
    const uint64_t size = Get3DSFileSize();
    for (auto _ : state) {
        Chunk3DSWriter w(size);
        Encode3DSScene(w);
        benchmark::DoNotOptimize(w.Data());
    }
    Reset3DSScene();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["triangles/s"] =
        benchmark::Counter(double(m.triangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EncodeFullTrack)->Unit(benchmark::kMillisecond);

}  // namespace
