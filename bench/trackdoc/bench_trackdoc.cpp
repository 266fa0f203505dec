// Load and save speed of a large track: 2,000 nodes and segments of mixed
// types, 5,000 tubes, 2,000 free nodes, 1,000 scenery objects and a
// 1024 x 1024 terrain. Reports MB/s of file bytes each way.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

void FillLargeTrack() {
    ClearTrackDocument();
    gTrackStyle = 3;
    gTrainCount = 2;
    gTrains.assign(3, TrainEntry{});
    gTrains[0].Name = "Train A";
    gTrains[1].Name = "Train B";
    gTrackInfo = "A large track for measuring load and save speed.";
    const int nodes = 2000;
    gNodeCount = nodes;
    gNodes.assign(nodes + 1, TrackNode{});
    for (int n = 0; n < nodes; ++n) {
        const float a = static_cast<float>(n) * 0.01f;
        gNodes[n].Position = Vector3{a * 10.0f, 5.0f + a, -a * 3.0f};
        gNodes[n].ControlIn = Vector3{a * 10.0f - 1.0f, 5.0f + a, -a * 3.0f};
        gNodes[n].ControlOut = Vector3{a * 10.0f + 1.0f, 5.0f + a, -a * 3.0f};
        gNodes[n].Roll = a;
        gNodes[n].RollEasing = n % 2 == 0;
    }
    gClosedCircuit = true;
    gSegmentCount = nodes;
    gSegments.assign(nodes + 1, TrackSegment{});
    for (int n = 0; n < nodes; ++n) gSegments[n].SegmentType = n % 6 == 5 ? 7 : n % 5;
    gRascGroupCount = nodes;
    gRascGroups.assign(nodes + 1, RascGroup{});
    for (int n = 0; n < nodes; n += 4) {
        gRascGroups[n].ItemCount = 1;
        gRascGroups[n].Items = {RascItem{2, 0.5f}, RascItem{}};
    }
    gFreeNodeCount = 2000;
    gFreeNodes.assign(2001, Vector3{1.0f, 2.0f, 3.0f});
    gTubeCount = 5000;
    gTubes.assign(5001, SupportTube{2, 1, 0, 2, 2, 0, 0, 0, 0.25f});
    gFooterCount = 500;
    gFooters.assign(501, TrackFooter{});
    gObjectCount = 1000;
    gObjects.assign(1001, SceneryObject{});
    for (int n = 0; n < 1000; ++n) {
        gObjects[n].FileName = "Scenery\\object_" + std::to_string(n) + ".3ds";
        gObjects[n].Transform = MatrixTranslate(static_cast<float>(n), 0.0f, 1.0f);
    }
    gHasTerrain = true;
    gTerrainWidth = 1024;
    gTerrainDepth = 1024;
    gTerrainSpacingX = gTerrainSpacingZ = 2.0f;
    gTerrainText1 = "grass.tga";
    gTerrainHeights.Resize(1024, 1024);
    for (int j = 0; j < 1024; ++j)
        for (int i = 0; i < 1024; ++i) gTerrainHeights(i, j) = static_cast<float>((i * 7 + j * 13) % 97) * 0.25f;
    gEnvironmentName = "Default";
}

struct LargeTrackFile {
    std::string dir;
    std::string path;
    double bytes = 0;

    LargeTrackFile() {
        dir = (std::filesystem::temp_directory_path() / ("gw_bench_trackdoc_" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(dir);
        path = dir + "/large.vxtrack";
        FillLargeTrack();
        if (!SaveTrackFile(path)) std::fprintf(stderr, "could not write %s\n", path.c_str());
        bytes = static_cast<double>(std::filesystem::file_size(path));
    }
    ~LargeTrackFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

LargeTrackFile& File() {
    static LargeTrackFile file;
    return file;
}

void Report(benchmark::State& state, double bytes) {
    state.counters["MB/s"] = benchmark::Counter(bytes * static_cast<double>(state.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
    state.counters["file_MB"] = bytes / 1e6;
}

void BM_LoadLargeTrack(benchmark::State& state) {
    LargeTrackFile& f = File();
    for (auto _ : state) {
        const bool ok = LoadTrackFile(f.path);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("load failed");
    }
    Report(state, f.bytes);
}

void BM_SaveLargeTrack(benchmark::State& state) {
    LargeTrackFile& f = File();
    FillLargeTrack();
    const std::string out = f.dir + "/saved.vxtrack";
    for (auto _ : state) {
        const bool ok = SaveTrackFile(out);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("save failed");
    }
    Report(state, f.bytes);
}

}  // namespace

// Wall-clock time: the file system work of loading and saving counts too.
BENCHMARK(BM_LoadLargeTrack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLargeTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
