// Load and save speed of the large ride of bench/common: 2,000 segments of
// mixed types, 5,000 tubes, 2,000 free nodes, 500 catwalks, 1,000 footers,
// prefabricated supports every 10 m, 1,000 scenery objects and a 1024 x 1024
// terrain with water. Reports MB/s of file bytes each way.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/common/large_track.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

struct LargeTrackFile {
    std::string dir;
    std::string path;
    double bytes = 0;

    LargeTrackFile() {
        dir = (std::filesystem::temp_directory_path() / ("gw_bench_trackdoc_" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(dir);
        path = dir + "/large.vxtrack";
        MakeLargeRide();
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
    MakeLargeRide();
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
BENCHMARK(BM_LoadLargeTrack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SaveLargeTrack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
