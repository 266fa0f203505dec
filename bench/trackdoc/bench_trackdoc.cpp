// Load and save speed of the large ride of bench/common: 2,000 segments of
// mixed types, 5,000 tubes, 2,000 free nodes, 500 catwalks, 1,000 footers,
// prefabricated supports every 10 m, 1,000 scenery objects and a 1024 x 1024
// terrain with water. Reports MB/s of file bytes each way.
//
// The warm loops reuse the process's memory; the first load of a program
// just started pays for every page it touches. BM_FirstLoadFreshProcess and
// BM_PlainReadFreshProcess each start this program again per iteration (with
// --first-load or --plain-read) and time, inside the new process, the load of
// the file or a plain read of its bytes into fresh memory: the two figures
// stand beside each other in one run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
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

namespace {

// In the started process: the time of one load or plain read, in seconds, on stdout.
int RunOnce(const char* mode, const char* path) {
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = false;
    if (std::strcmp(mode, "--first-load") == 0) {
        ok = LoadTrackFile(path);
    } else {
        std::FILE* f = std::fopen(path, "rb");
        if (f) {
            const size_t size = static_cast<size_t>(std::filesystem::file_size(path));
            auto bytes = std::make_unique_for_overwrite<uint8_t[]>(size);
            ok = std::fread(bytes.get(), 1, size, f) == size;
            std::fclose(f);
            benchmark::DoNotOptimize(bytes.get());
        }
    }
    const auto t1 = std::chrono::steady_clock::now();
    if (!ok) return 1;
    std::printf("%.9f\n", std::chrono::duration<double>(t1 - t0).count());
    return 0;
}

std::string gSelf;

void FreshProcess(benchmark::State& state, const char* mode) {
    LargeTrackFile& f = File();
    const std::string command = "'" + gSelf + "' " + mode + " '" + f.path + "'";
    for (auto _ : state) {
        std::FILE* p = ::popen(command.c_str(), "r");
        double seconds = -1.0;
        if (p && std::fscanf(p, "%lf", &seconds) != 1) seconds = -1.0;
        if (p) ::pclose(p);
        if (seconds < 0.0) {
            state.SkipWithError("the started process failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    Report(state, f.bytes);
}

void BM_FirstLoadFreshProcess(benchmark::State& state) { FreshProcess(state, "--first-load"); }
void BM_PlainReadFreshProcess(benchmark::State& state) { FreshProcess(state, "--plain-read"); }

}  // namespace

BENCHMARK(BM_FirstLoadFreshProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40)->Repetitions(3);
BENCHMARK(BM_PlainReadFreshProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40)->Repetitions(3);

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--first-load") == 0 || std::strcmp(argv[1], "--plain-read") == 0))
        return RunOnce(argv[1], argv[2]);
    gSelf = std::filesystem::canonical("/proc/self/exe").string();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
