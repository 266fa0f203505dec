// Speed of the model builder on a large track: 2,000 segments at the highest
// detail level of the settings (rails every 0.5 m, spine every 0.5 m, ties
// every 1.5 m), and a recolour-only partial rebuild of that model.

#include <benchmark/benchmark.h>

#include <cmath>

#include "app/app_state.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "model/tie_object_reader.h"
#include "model/track_model.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kSegments = 2000;

// An open ride of kSegments segments of about 8 m: twelve turns of a wavy
// circle with hills and banking, the control points from the neighbouring nodes.
void MakeLargeTrack() {
    ClearTrackDocument();
    const int nodes = kSegments + 1;
    std::vector<Vector3> p(nodes);
    for (int i = 0; i < nodes; ++i) {
        const double a = 24.0 * kPi * i / kSegments;
        const double r = 200.0 + 20.0 * std::sin(5.0 * a);
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
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 150.0 * i / kSegments));
        n.RollEasing = (i % 3) == 0;
    }
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    for (int i = 0; i < kSegments; ++i) {
        gSegments[i].SegmentType = i % 40 == 0 ? SegmentBrake : SegmentNormal;
        gSegments[i].Tunnel = i % 25 == 0;
    }
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
    gDocumentType = DocumentTrack;
    gTrackStyle = StyleSteelLooping;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 4;
}

// Path and settings ready for the track model, as the pipeline leaves them,
// rings every `detail` metres (0.5: the highest model-on-load level; 0.1: the
// finest spacing the modeler dialog allows).
void PrepareTrackModel(float detail = 0.5f) {
    MakeLargeTrack();
    ExtractTrackSpine();
    BuildPathMatrixArray();
    ApplyTrackStylePresets(gTrackStyle, false);
    gModelSettings.RailDetail = detail;
    gModelSettings.SpineDetail = detail;
    LoadTieModel(gModelSettings.gTieModels[0].File, 0);
}

void BM_PathFrames(benchmark::State& state) {
    MakeLargeTrack();
    for (auto _ : state) {
        ExtractTrackSpine();
        BuildPathMatrixArray();
        benchmark::DoNotOptimize(gPathMatrixArray.data());
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
    state.counters["segments/s"] = benchmark::Counter(double(kSegments), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PathFrames)->Unit(benchmark::kMillisecond);

void BM_TrackModel(benchmark::State& state) {
    PrepareTrackModel(static_cast<float>(state.range(0)) / 100.0f);
    int64_t faces = 0;
    double length = 0.0;
    for (int i = 0; i < kSegments; ++i) length += gPathMatrixArray[i].Length;
    for (auto _ : state) {
        CreateTrackModel();
        benchmark::DoNotOptimize(gTrackModel.data());
    }
    for (int i = 0; i < kSegments; ++i) {
        faces += gTrackModel[i].TieFaceCount;
        for (const ModelMesh& m : gTrackModel[i].Rails) faces += m.FaceCount;
        for (const ModelMesh& m : gTrackModel[i].Spines) faces += m.FaceCount;
    }
    state.counters["segments/s"] = benchmark::Counter(double(kSegments), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["faces"] = double(faces);
    state.counters["metres"] = length;
}
BENCHMARK(BM_TrackModel)->Arg(50)->Arg(10)->ArgName("detail_cm")->Unit(benchmark::kMillisecond);

void BM_RecolourRebuild(benchmark::State& state) {
    PrepareTrackModel();
    CreateTrackModel();
    gPresetsLoaded = true;
    ClearRemodelFlags();
    gRemodelFlags.Recolor = true;
    for (auto _ : state) RemodelChangedParts();
}
BENCHMARK(BM_RecolourRebuild)->Unit(benchmark::kMicrosecond);

// The whole open of such a track at level 4, as the program does it.
void BM_FullBuildOnOpen(benchmark::State& state) {
    MakeLargeTrack();
    for (auto _ : state) RemodelTrack(true);
    state.counters["segments/s"] = benchmark::Counter(double(kSegments), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FullBuildOnOpen)->Unit(benchmark::kMillisecond);

}  // namespace
