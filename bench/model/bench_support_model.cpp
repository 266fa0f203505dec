// Speed of the support, tunnel, ground and comb builders on the large ride of
// bench/common: 2,000 segments, 5,000 support tubes, 2,000 free nodes, 500
// catwalks, 1,000 footers, a prefabricated support every 10 m and a 512 x 512
// terrain with water at full detail; each stage alone, the whole model as an
// open builds it, and the growth of the ground and the tubes with their counts.

#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "bench/common/large_track.h"
#include "model/build_pipeline.h"
#include "model/catwalk_models.h"
#include "model/footer_models.h"
#include "model/ground_model.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/radius_comb.h"
#include "model/tube_models.h"
#include "model/tunnel_models.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kTubes = 5000, kTerrain = 512;

// The large ride with everything around it, its terrain 512 x 512 points.
void MakeRide(int tubes = kTubes, int terrain = kTerrain) {
    LargeRideOptions options;
    options.Tubes = tubes;
    options.TerrainPoints = terrain;
    MakeLargeRide(options);
}

// The path and settings the stages need, as the pipeline leaves them at level 4.
void PrepareStages(int tubes = kTubes, int terrain = kTerrain) {
    MakeRide(tubes, terrain);
    ExtractTrackSpine();
    BuildPathMatrixArray();
    ApplyTrackStylePresets(gTrackStyle, false);
    gModelSettings.RailDetail = 0.5f;
    gModelSettings.SpineDetail = 0.5f;
    gModelSettings.UseTerrain = true;
    gModelSettings.LowDetailTerrain = false;
}

int64_t FaceTotal(const std::vector<ModelMesh>& meshes) {
    int64_t n = 0;
    for (const ModelMesh& m : meshes) n += m.FaceCount;
    return n;
}

void BM_Stage(benchmark::State& state, void (*stage)(), const char* what) {
    PrepareStages();
    for (auto _ : state) stage();
    (void)what;
    state.counters["tubes"] = double(FaceTotal(gTubeModels));
    state.counters["prefabs"] = double(gPrefabModelCount);
    state.counters["prefab_faces"] = double(FaceTotal(gPrefabModels) + FaceTotal(gPrefabFooterModels));
    state.counters["tunnel_faces"] = double(FaceTotal(gTunnelOuterModels) + FaceTotal(gTunnelInnerModels));
    state.counters["ground_tris"] = double(gGroundTriangleCount);
}
BENCHMARK_CAPTURE(BM_Stage, tubes, CreateTubeModels, "tubes")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, catwalks, CreateCatwalkModels, "catwalks")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, footers, CreateFooterModels, "footers")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, prefabs, CreatePrefabSupportModels, "prefabs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, tunnels, CreateTunnelModels, "tunnels")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, ground, CreateGroundModel, "ground")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stage, comb, RebuildRadiusComb, "comb")->Unit(benchmark::kMillisecond);

// The whole model of the ride as opening it at level 4 builds it: path, comb,
// crossties, track, tubes, catwalks, footers, prefabricated supports,
// tunnels and ground.
void BM_WholeModelOnOpen(benchmark::State& state) {
    MakeRide();
    for (auto _ : state) RemodelTrack(true);
    state.counters["prefabs"] = double(gPrefabModelCount);
    state.counters["ground_tris"] = double(gGroundTriangleCount);
}
BENCHMARK(BM_WholeModelOnOpen)->Unit(benchmark::kMillisecond);

// Growth with the counts: tubes from 1,250 to 20,000, ground from 128 to 1,024 points a side.
void BM_TubesByCount(benchmark::State& state) {
    PrepareStages(static_cast<int>(state.range(0)), 2);
    for (auto _ : state) CreateTubeModels();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TubesByCount)->RangeMultiplier(2)->Range(1250, 20000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_GroundBySide(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    PrepareStages(10, side);
    for (auto _ : state) CreateGroundModel();
    state.SetComplexityN(int64_t(side) * side);
}
BENCHMARK(BM_GroundBySide)->RangeMultiplier(2)->Range(128, 1024)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
