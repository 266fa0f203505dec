// Speed of the support, tunnel, ground and comb builders on the large ride:
// 2,000 segments, 5,000 support tubes, 500 catwalks, 1,000 footers, a
// prefabricated support every 10 m and a 512 x 512 terrain with water at full
// detail; each stage alone, the whole model as an open builds it, and the
// growth of the ground and the tubes with their counts.

#include <benchmark/benchmark.h>

#include <cmath>

#include "app/app_state.h"
#include "bench/model/large_track.h"
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

constexpr int kTubes = 5000, kCatwalks = 500, kFooters = 1000, kTerrain = 512;
constexpr double kPrefabSpacing = 10.0;

void MakeTerrainGrid(int size) {
    gHasTerrain = true;
    gHasWater = true;
    gTerrainWidth = gTerrainDepth = size;
    gTerrainSpacingX = gTerrainSpacingZ = 512.0f / size;  // always about 512 m across
    gTerrainHeights.Resize(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            gTerrainHeights(i, j) = static_cast<float>(4.0 * std::sin(i * 0.05 * 512.0 / size) *
                                                       std::cos(j * 0.04 * 512.0 / size) - 0.5);
}

// Footers beside the ride, a free node above each, tubes between them, the
// ride's prefabricated anchors and one another, catwalks over the free nodes,
// and a prefabricated support every 10 m of the ride.
void AddSupports(int tubes) {
    gFooters.assign(kFooters + 1, TrackFooter{});
    gFreeNodes.assign(kFooters + 1, Vector3{});
    for (int f = 0; f < kFooters; ++f) {
        const TrackNode& n = gNodes[(f * 2) % gNodeCount];
        const float side = f % 2 ? 3.0f : -3.0f;
        gFooters[f].Position = Vector3{n.Position.X + side, 0.0f, n.Position.Z + side};
        gFooters[f].CustomRotation = f % 3 == 0;
        gFooters[f].Rotation = 0.3f * f;
        gFreeNodes[f] = Vector3{n.Position.X + side, n.Position.Y * 0.5f, n.Position.Z + side};
    }
    gFooterCount = gFreeNodeCount = kFooters;

    gCatwalks.assign(kCatwalks + 1, TrackCatwalk{});
    for (int c = 0; c < kCatwalks; ++c) {
        TrackCatwalk& w = gCatwalks[c];
        w.Corner1 = 2 * c;
        w.Corner2 = 2 * c + 1;
        w.Corner3 = (2 * c + 3) % kFooters;
        w.Corner4 = (2 * c + 2) % kFooters;
    }
    gCatwalkCount = kCatwalks;

    // Prefabricated supports every 10 m along the chords of the ride.
    double carried = 0.0;
    for (int s = 0; s < kLargeTrackSegments; ++s) {
        const double length = VectorDistance(gNodes[s].Position, gNodes[s + 1].Position);
        RascGroup& g = gRascGroups[s];
        g.Items.clear();
        for (double d = kPrefabSpacing - carried; d < length; d += kPrefabSpacing)
            g.Items.push_back(RascItem{2 + static_cast<int32_t>(g.Items.size() + s) % 6, float(d / length)});
        g.ItemCount = static_cast<int32_t>(g.Items.size());
        g.Items.emplace_back();
        carried = std::fmod(carried + length, kPrefabSpacing);
    }

    gTubes.assign(static_cast<size_t>(tubes) + 1, SupportTube{});
    for (int t = 0; t < tubes; ++t) {
        SupportTube& tube = gTubes[t];
        const int f = t % kFooters;
        tube.TubeType = t % 10;
        tube.Rotation = 0.1f * (t % 7);
        switch (t % 4) {
            case 0:  // footer up to its free node
                tube = SupportTube{EndFooter, f, 0, EndFreeNode, f, 0, t % 10, 0, tube.Rotation};
                break;
            case 1:  // free node to the next one
                tube = SupportTube{EndFreeNode, f, 0, EndFreeNode, (f + 1) % kFooters, 0, t % 10, 0, tube.Rotation};
                break;
            case 2: {  // a support's anchor down to a footer
                const int s = (2 * f) % kLargeTrackSegments;
                tube = SupportTube{EndPrefabAnchor, 0, s, EndFooter, f, 0, t % 10, 0, tube.Rotation};
                break;
            }
            default:  // footer to the next footer
                tube = SupportTube{EndFooter, f, 0, EndFooter, (f + 1) % kFooters, 0, t % 10, 0, tube.Rotation};
                break;
        }
    }
    gTubeCount = tubes;
}

void MakeLargeRide(int tubes = kTubes, int terrain = kTerrain) {
    MakeLargeTrack();
    MakeTerrainGrid(terrain);
    AddSupports(tubes);
}

// The path and settings the stages need, as the pipeline leaves them at level 4.
void PrepareStages(int tubes = kTubes, int terrain = kTerrain) {
    MakeLargeRide(tubes, terrain);
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
    MakeLargeRide();
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
