// Speed of the model builder on the large ride of bench/common, the ride
// alone (2,000 segments): the track at the highest detail level of the
// settings (rails every 0.5 m, spine every 0.5 m, ties every 1.5 m), and a
// recolour-only partial rebuild of that model.

#include <benchmark/benchmark.h>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "model/tie_object_reader.h"
#include "model/track_model.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kSegments = kLargeTrackSegments;

// Path and settings ready for the track model, as the pipeline leaves them,
// rings every `detail` metres (0.5: the highest model-on-load level; 0.1: the
// finest spacing the modeler dialog allows).
void PrepareTrackModel(float detail = 0.5f) {
    ClearModelArrays();
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
BENCHMARK(BM_PathFrames)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

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
BENCHMARK(BM_TrackModel)->Arg(50)->Arg(10)->ArgName("detail_cm")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_RecolourRebuild(benchmark::State& state) {
    PrepareTrackModel();
    CreateTrackModel();
    gPresetsLoaded = true;
    ClearRemodelFlags();
    gRemodelFlags.Recolor = true;
    for (auto _ : state) RemodelChangedParts();
}
BENCHMARK(BM_RecolourRebuild)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The whole open of such a track at level 4, as the program does it.
void BM_FullBuildOnOpen(benchmark::State& state) {
    ClearModelArrays();
    MakeLargeTrack();
    for (auto _ : state) RemodelTrack(true);
    state.counters["segments/s"] = benchmark::Counter(double(kSegments), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FullBuildOnOpen)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
