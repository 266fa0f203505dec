// Speed of the transform tools on a large ride: 2,000 segments of about 8 m,
// 2 million path points. The scene-boundary test reads every one of them, and
// every tool first checks that the path frames are those of the track as it is.

#include <benchmark/benchmark.h>

#include <cmath>

#include "app/app_state.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tools/scene_boundary.h"
#include "tools/track_move.h"
#include "tools/track_transforms.h"
#include "trackdoc/track_document.h"

namespace {

constexpr int kSegments = 2000;

// Twelve turns of a wavy circle with hills and banking (as the model benchmark's ride).
void MakeLargeTrack() {
    ClearTrackDocument();
    const int nodes = kSegments + 1;
    std::vector<Vector3> p(nodes);
    for (int i = 0; i < nodes; ++i) {
        const double a = 24.0 * kPi * i / kSegments;
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
        n.Roll = static_cast<float>(0.6 * std::sin(2.0 * kPi * 150.0 * i / kSegments));
    }
    gSegmentCount = kSegments;
    gSegments.assign(kSegments + 1, TrackSegment{});
    gRascGroupCount = kSegments;
    gRascGroups.assign(kSegments + 1, RascGroup{});
    gDocumentType = DocumentTrack;
    gAppPath = GW_BENCH_DATA_DIR;
    gModelOnLoad = 0;
    ExtractTrackSpine();
    BuildPathMatrixArray();
}

void BM_SceneBoundaryTest(benchmark::State& state) {
    MakeLargeTrack();
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
    MakeLargeTrack();
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
    MakeLargeTrack();
    const Matrix4 r = MatrixRotateY(DegToRad(1.0));
    for (auto _ : state) {
        TransformTrack(r, true);
        benchmark::DoNotOptimize(gNodes.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(gNodeCount));
}
BENCHMARK(BM_RotateEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
