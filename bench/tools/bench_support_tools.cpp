// Speed of the tools whose work grows with the number of records on large and
// odd tracks: the Object Placer keeping its copies away from the large ride,
// the Support Optimizer at a node where 20,000 tubes meet, the removal of
// prefabricated supports among many tubes, and the Support Flanger on 5,000
// very long tubes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "bench/common/large_track.h"
#include "core/app_state.h"
#include "model/path_frames.h"
#include "tools/object_placer.h"
#include "tools/record_removal.h"
#include "tools/support_flanger.h"
#include "tools/support_optimizer.h"
#include "tools/support_wizard.h"
#include "tools/track_statistics.h"
#include "trackdoc/track_document.h"

namespace {

// The random numbers of one run, the same every iteration.
class FixedRandom {
public:
    explicit FixedRandom(unsigned seed) {
        SetRandomSource([this] { return uniform_(engine_); });
        engine_.seed(seed);
    }
    ~FixedRandom() { SetRandomSource({}); }
    void Restart(unsigned seed) { engine_.seed(seed); }

private:
    std::mt19937 engine_;
    std::uniform_real_distribution<double> uniform_{0.0, 1.0};
};

// 1,000 copies kept 5 m away from the large ride (2,000 segments, 400,000
// sampled path points), drawn from the whole scene; no terrain.
void BM_ObjectPlacerKeepAway(benchmark::State& state) {
    LargeRideOptions ride = kBareRide;
    MakeLargeRide(ride);
    gModelOnLoad = 0;
    ExtractTrackSpine();
    BuildPathMatrixArray();
    ObjectPlacerOptions options;
    options.Count = 1000;
    options.FileName = "Scenery\\tree.3ds";
    options.KeepAway = true;
    options.SpaceTrack = 5.0;
    FixedRandom random(7);
    int32_t placed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        random.Restart(7);
        gObjectCount = 0;
        gObjects.assign(1, SceneryObject{});
        state.ResumeTiming();
        placed = PlaceSceneryObjects(options);
        benchmark::DoNotOptimize(placed);
    }
    state.counters["placed"] = placed;
    state.SetItemsProcessed(state.iterations() * options.Count);
}
BENCHMARK(BM_ObjectPlacerKeepAway)->Unit(benchmark::kMillisecond);

// 20,000 tubes from one free node out to free nodes of their own: 8,000
// straight pairs and 4,000 tubes without a partner, in a shuffled order, one
// in eight of them Large and the others Medium.
void MakeStar() {
    ClearTrackDocument();
    gDocumentType = DocumentTrack;
    constexpr int32_t kPairs = 8000, kSingles = 4000, kTubes = 2 * kPairs + kSingles;
    std::mt19937 engine(11);
    std::uniform_real_distribution<double> angle(0.0, 2.0 * 3.14159265358979);
    std::uniform_real_distribution<double> length(2.0, 30.0);
    gFreeNodes.assign(1, Vector3{0.0f, 50.0f, 0.0f});
    struct Spoke {
        Vector3 End;
        int32_t Type;
    };
    std::vector<Spoke> spokes;
    for (int32_t k = 0; k < kPairs + kSingles; ++k) {
        const double a = angle(engine), b = angle(engine) / 2.0 - 1.5707963;
        const Vector3 d{float(std::cos(a) * std::cos(b)), float(std::sin(b)), float(std::sin(a) * std::cos(b))};
        const double l1 = length(engine), l2 = length(engine);
        const int32_t type = k % 8 == 7 ? TubeLarge : TubeMedium;
        spokes.push_back({Vector3{float(d.X * l1), float(50.0 + d.Y * l1), float(d.Z * l1)}, type});
        if (k < kPairs) spokes.push_back({Vector3{float(-d.X * l2), float(50.0 - d.Y * l2), float(-d.Z * l2)}, type});
    }
    std::shuffle(spokes.begin(), spokes.end(), engine);
    gTubes.assign(static_cast<size_t>(kTubes) + 1, SupportTube{});
    for (int32_t t = 0; t < kTubes; ++t) {
        gFreeNodes.push_back(spokes[t].End);
        gTubes[t] = SupportTube{EndFreeNode, 0, 0, EndFreeNode, t + 1, 0, spokes[t].Type, 0, 0.0f};
    }
    gFreeNodeCount = static_cast<int32_t>(gFreeNodes.size());
    gFreeNodes.emplace_back();
    gTubeCount = kTubes;
}

void BM_SupportOptimizerOneNode(benchmark::State& state) {
    MakeStar();
    const std::vector<SupportTube> tubes = gTubes;
    const int32_t count = gTubeCount;
    int32_t merged = 0;
    for (auto _ : state) {
        state.PauseTiming();
        gTubes = tubes;
        gTubeCount = count;
        state.ResumeTiming();
        merged = OptimizeTubes();
        benchmark::DoNotOptimize(merged);
    }
    state.counters["merged"] = merged;
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SupportOptimizerOneNode)->Unit(benchmark::kMillisecond);

// The large ride with a prefabricated support about every 26 cm (some 60,000)
// and 30,000 tubes, a fifth of them hanging from a support.
void MakeCrowdedRide() {
    LargeRideOptions ride;
    ride.Tubes = 30000;
    ride.PrefabSpacing = 0.26;
    ride.SceneryObjects = 0;
    ride.TerrainPoints = 0;
    MakeLargeRide(ride);
}

template <typename Remove>
void MeasurePrefabRemoval(benchmark::State& state, Remove remove) {
    MakeCrowdedRide();
    const std::vector<RascGroup> groups = gRascGroups;
    const std::vector<SupportTube> tubes = gTubes;
    const int32_t tubeCount = gTubeCount;
    for (auto _ : state) {
        state.PauseTiming();
        gRascGroups = groups;
        gTubes = tubes;
        gTubeCount = tubeCount;
        state.ResumeTiming();
        benchmark::DoNotOptimize(remove());
    }
    state.counters["supports"] = CountPrefabSupports();
    state.counters["tubes"] = gTubeCount;
    gRascGroups = groups;
    state.counters["supports_before"] = CountPrefabSupports();
}

// Remove Data with one style box ticked: a sixth of the supports go.
void BM_RemovePrefabsOfStyle(benchmark::State& state) {
    MeasurePrefabRemoval(state, [] { return RemovePrefabsOfStyle(PrefabSimple); });
}
BENCHMARK(BM_RemovePrefabsOfStyle)->Unit(benchmark::kMillisecond);

// The Support Wizard's "Remove All Prefabricated Supports Before Starting".
void BM_WizardRemoveAllPrefabs(benchmark::State& state) {
    MeasurePrefabRemoval(state, [] { return RemoveAllPrefabSupports(); });
}
BENCHMARK(BM_WizardRemoveAllPrefabs)->Unit(benchmark::kMillisecond);

// 5,000 Small tubes of 1,998 m between free nodes, flanged with a middle
// spacing of 2 m: 1,001 flanges a tube asked for.
void BM_SupportFlangerLongTubes(benchmark::State& state) {
    constexpr int32_t kTubes = 5000;
    int32_t made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClearTrackDocument();
        gDocumentType = DocumentTrack;
        gFreeNodes.clear();
        gTubes.assign(static_cast<size_t>(kTubes) + 1, SupportTube{});
        for (int32_t t = 0; t < kTubes; ++t) {
            const float x = -200.0f + 0.08f * float(t);
            gFreeNodes.push_back(Vector3{x, 1.0f, -999.0f});
            gFreeNodes.push_back(Vector3{x, 1.0f, 999.0f});
            gTubes[t] = SupportTube{EndFreeNode, 2 * t, 0, EndFreeNode, 2 * t + 1, 0, TubeSmall, 0, 0.0f};
        }
        gFreeNodeCount = static_cast<int32_t>(gFreeNodes.size());
        gFreeNodes.emplace_back();
        gTubeCount = kTubes;
        SupportFlangerOptions options;
        options.SplitLength = 2.0;
        state.ResumeTiming();
        made = FlangeSupportTubes(options);
        benchmark::DoNotOptimize(made);
    }
    state.counters["flanges"] = made;
}
BENCHMARK(BM_SupportFlangerLongTubes)->Unit(benchmark::kMillisecond);

}  // namespace
