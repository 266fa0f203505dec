// Speed of the transform tools on the large ride of bench/common: 2,000
// segments of about 8 m, 2 million path points, 2,000 free nodes and 1,000
// footers. The scene-boundary test reads every path point, and every tool
// first checks that the path frames are those of the track as it is.

#include <benchmark/benchmark.h>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tools/node_smoother.h"
#include "tools/scene_boundary.h"
#include "tools/terrain_poly_reducer.h"
#include "tools/track_move.h"
#include "tools/track_transforms.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kSegments = kLargeTrackSegments;

// The large ride with its supports and scenery (the tools move free nodes and
// footers with the track); its terrain plays no part in them and is left out.
void MakeToolRide() {
    LargeRideOptions options;
    options.TerrainPoints = 0;
    MakeLargeRide(options);
    gModelOnLoad = 0;
    ExtractTrackSpine();
    BuildPathMatrixArray();
}

void BM_SceneBoundaryTest(benchmark::State& state) {
    MakeToolRide();
    const Vector3 up{0.0f, 1.0f, 0.0f};
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackPathFramesCurrent());
        benchmark::DoNotOptimize(PathStaysInScene([&](const Vector3& p) { return VectorAdd(p, up); }));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSegments) * kFramesPerSegment);
}
BENCHMARK(BM_SceneBoundaryTest)->Unit(benchmark::kMillisecond);

// One click of Move with "Update Model Every Move" clear: test and translation,
// no rebuild; back and forth so the track stays in the scene.
void BM_PendingMove(benchmark::State& state) {
    MakeToolRide();
    TrackMoveSession move;
    TrackMoveOptions options;
    options.UpdateModel = false;
    int direction = MoveEast;
    for (auto _ : state) {
        benchmark::DoNotOptimize(move.Click(direction, 1.0, options));
        direction = direction == MoveEast ? MoveWest : MoveEast;
    }
}
BENCHMARK(BM_PendingMove)->Unit(benchmark::kMillisecond);

// Rotate's edit of the nodes and supports alone.
void BM_RotateEdit(benchmark::State& state) {
    MakeToolRide();
    const Matrix4 r = MatrixRotateY(DegToRad(1.0));
    for (auto _ : state) {
        TransformTrack(r, true);
        benchmark::DoNotOptimize(gNodes.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(gNodeCount));
}
BENCHMARK(BM_RotateEdit)->Unit(benchmark::kMicrosecond);

// The Node Smoother over the ride's 2,001 nodes with every option: five passes
// of projection, placement and alignment, and the depump's 999 curve points
// per segment.
void BM_NodeSmoother(benchmark::State& state) {
    MakeLargeRide(kBareRide);
    NodeSmootherOptions options;
    options.PreserveStraightBunnyhills = options.PreferEqualLengths = options.Depump = true;
    for (auto _ : state) {
        SmoothNodes(options);
        benchmark::DoNotOptimize(gNodes.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(gNodeCount));
}
BENCHMARK(BM_NodeSmoother)->Unit(benchmark::kMillisecond);

// The Terrain Poly Reducer from the ride's 1,024 x 1,024 terrain to 512 x 512.
void BM_TerrainPolyReducer(benchmark::State& state) {
    LargeRideOptions options = kBareRide;
    options.TerrainPoints = 1024;
    MakeLargeRide(options);
    const TerrainHeightGrid grid = gTerrainHeights;
    const float spacing = gTerrainSpacingX;
    for (auto _ : state) {
        state.PauseTiming();
        gTerrainHeights = grid;
        gTerrainWidth = gTerrainDepth = 1024;
        gTerrainSpacingX = gTerrainSpacingZ = spacing;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ReduceTerrain(512, 512));
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_TerrainPolyReducer)->Unit(benchmark::kMillisecond);

}  // namespace
