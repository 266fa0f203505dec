// Speed of the support, tunnel, ground and comb builders on the large ride of
// bench/common: 2,000 segments, 5,000 support tubes, 2,000 free nodes, 500
// catwalks, 1,000 footers, a prefabricated support every 10 m and the 1024 x
// 1024 terrain with water at full detail; each stage alone, the whole model as
// an open builds it (on one thread and on every core, in the same run), and
// the growth of the ground and the tubes with their counts. Each benchmark
// starts from emptied model arrays and reports only what it built itself.
// The first open in a fresh process: gw_open_once (open_once.cpp).

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "model/build_pipeline.h"
#include "model/catwalk_models.h"
#include "model/footer_models.h"
#include "model/ground_model.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/parallel_build.h"
#include "model/path_frames.h"
#include "model/prefab_support_models.h"
#include "model/radius_comb.h"
#include "model/tie_object_reader.h"
#include "model/track_model.h"
#include "model/tube_models.h"
#include "model/tunnel_models.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kTubes = 5000, kTerrain = 1024;
// Long enough for a figure that repeats within a few per cent on a shared machine.
constexpr double kMinSeconds = 2.0;

// The large ride with everything around it.
void MakeRide(int tubes = kTubes, int terrain = kTerrain) {
    LargeRideOptions options;
    options.Tubes = tubes;
    options.TerrainPoints = terrain;
    MakeLargeRide(options);
}

// The path and settings the stages need, as the pipeline leaves them at level 4.
void PrepareStages(int tubes = kTubes, int terrain = kTerrain) {
    ClearModelArrays();
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

double TubeFaces() { return double(FaceTotal(gTubeModels)); }
double CatwalkFaces() { return double(FaceTotal(gCatwalkModels)); }
double FooterFaces() { return double(FaceTotal(gFooterModels)); }
double PrefabFaces() { return double(FaceTotal(gPrefabModels) + FaceTotal(gPrefabFooterModels)); }
double TunnelFaces() { return double(FaceTotal(gTunnelOuterModels) + FaceTotal(gTunnelInnerModels)); }
double GroundTriangles() { return double(gGroundTriangleCount); }
double CombFaces() { return 0.0; }

// One stage alone; `faces` counts what that stage made.
void BM_Stage(benchmark::State& state, void (*stage)(), double (*faces)()) {
    PrepareStages();
    for (auto _ : state) stage();
    state.counters["faces"] = faces();
}
#define GW_STAGE(name, stage, faces) \
    BENCHMARK_CAPTURE(BM_Stage, name, stage, faces)->Unit(benchmark::kMillisecond)->MinTime(kMinSeconds)->UseRealTime()
GW_STAGE(tubes, CreateTubeModels, TubeFaces);
GW_STAGE(catwalks, CreateCatwalkModels, CatwalkFaces);
GW_STAGE(footers, CreateFooterModels, FooterFaces);
GW_STAGE(prefabs, CreatePrefabSupportModels, PrefabFaces);
GW_STAGE(tunnels, CreateTunnelModels, TunnelFaces);
GW_STAGE(ground, CreateGroundModel, GroundTriangles);
GW_STAGE(comb, RebuildRadiusComb, CombFaces);

// The whole model of the ride as opening it at level 4 builds it: path, comb,
// crossties, track, tubes, catwalks, footers, prefabricated supports,
// tunnels and ground.
void BM_WholeModelOnOpen(benchmark::State& state) {
    ClearModelArrays();
    MakeRide();
    for (auto _ : state) RemodelTrack(true);
    state.counters["prefabs"] = double(gPrefabModelCount);
    state.counters["ground_tris"] = double(gGroundTriangleCount);
}
BENCHMARK(BM_WholeModelOnOpen)->Unit(benchmark::kMillisecond)->MinTime(kMinSeconds)->UseRealTime();

// The same build with at most `threads` threads (0: every core), one beside
// the other in one run: the speed-up of the parallel builders.
void BM_WholeModelThreads(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    ClearModelArrays();
    MakeRide();
    BuildThreadLimit limit(threads > 0 ? threads : int(std::thread::hardware_concurrency()));
    for (auto _ : state) RemodelTrack(true);
    state.counters["threads"] = double(BuildThreadCount());
}
BENCHMARK(BM_WholeModelThreads)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MinTime(kMinSeconds)->UseRealTime();

// The stages of that build one after the other, each timed (milliseconds per
// build as counters), with one thread and with every core: where the time of
// the whole goes and which stages do not scale.
void BM_StageShares(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    ClearModelArrays();
    MakeRide();
    BuildThreadLimit limit(threads > 0 ? threads : int(std::thread::hardware_concurrency()));
    constexpr int kStages = 10;
    static const char* const names[kStages] = {"spine",    "path_comb", "ties_load", "track",   "tubes",
                                              "catwalks", "footers",   "prefabs",   "tunnels", "ground"};
    double totals[kStages] = {};
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        ClearModelArrays();
        ApplyTrackStylePresets(gTrackStyle, false);
        gModelSettings.RailDetail = 0.5f;
        gModelSettings.SpineDetail = 0.5f;
        gModelSettings.UseTerrain = true;
        gModelSettings.LowDetailTerrain = false;
        void (*const stages[kStages])() = {
            ExtractTrackSpine,
            [] {  // as the pipeline builds them: the comb while the path is built
                if (PrepareRadiusComb())
                    BuildPathMatrixArray(BuildSegmentComb);
                else
                    BuildPathMatrixArray();
            },
            [] {
                for (int slot = 0; slot < 2; ++slot)
                    if (gModelSettings.gTieModels[slot].Use) LoadTieModel(gModelSettings.gTieModels[slot].File, slot);
            },
            CreateTrackModel, CreateTubeModels, CreateCatwalkModels, CreateFooterModels,
            CreatePrefabSupportModels, CreateTunnelModels, CreateGroundModel};
        for (int k = 0; k < kStages; ++k) {
            const Clock::time_point start = Clock::now();
            stages[k]();
            totals[k] += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    for (int k = 0; k < kStages; ++k)
        state.counters[names[k]] = benchmark::Counter(totals[k], benchmark::Counter::kAvgIterations);
    state.counters["threads"] = double(BuildThreadCount());
}
BENCHMARK(BM_StageShares)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MinTime(kMinSeconds)->UseRealTime();

// Growth with the counts: tubes from 1,250 to 20,000, ground from 128 to 1,024 points a side.
void BM_TubesByCount(benchmark::State& state) {
    PrepareStages(static_cast<int>(state.range(0)), 2);
    for (auto _ : state) CreateTubeModels();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TubesByCount)->RangeMultiplier(2)->Range(1250, 20000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->MinTime(0.5);

void BM_GroundBySide(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    PrepareStages(10, side);
    for (auto _ : state) CreateGroundModel();
    state.SetComplexityN(int64_t(side) * side);
}
BENCHMARK(BM_GroundBySide)->RangeMultiplier(2)->Range(128, 1024)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace
