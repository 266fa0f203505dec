// Speed of the 3D Studio export on the full model of the large ride of
// bench/common with its 1024 x 1024 terrain, built by the model builder as an
// open at the highest detail level builds it: track (rails and spines every
// 0.5 m, crossties), tunnels, 5,000 support tubes, 500 catwalks, 1,000
// footers, the prefabricated supports with their footers, and the ground and
// water (2,093,058 triangles each).
//
// Counters: triangles/s over every triangle staged (welding included).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "export/file_writer_3ds.h"
#include "export/model_export_3ds.h"
#include "export/scene_staging_3ds.h"
#include "model/build_pipeline.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "trackdoc/track_document.h"

namespace {

struct LargeModel {
    int64_t triangles = 0;        // every part
    int64_t groundTriangles = 0;  // the ground alone
};

int64_t StagedTriangles() {
    int64_t n = 0;
    for (const Obj3DS& o : gObjects3DS) n += o.FaceCount();
    return n;
}

const LargeModel& BuildLargeModel() {
    static const LargeModel model = [] {
        MakeLargeRide();  // 1024 x 1024 terrain with water
        RemodelTrack(true);
        if (!gTrackModelValid) std::fprintf(stderr, "the model of the large ride was not built\n");
        LargeModel m;
        Reset3DSScene();
        StageTrackModel3DS(false, false, false, true, false);
        m.groundTriangles = StagedTriangles();
        Reset3DSScene();
        StageTrackModel3DS(true, true, true, true, true);
        m.triangles = StagedTriangles();
        Reset3DSScene();
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
BENCHMARK(BM_ExportFullTrack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

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
BENCHMARK(BM_StageFullTrack)->Unit(benchmark::kMillisecond)->MinTime(3.0);

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
BENCHMARK(BM_StageGround)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
BENCHMARK(BM_EncodeFullTrack)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
