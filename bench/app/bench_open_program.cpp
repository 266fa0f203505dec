// The program's own open path on the large ride: the main window opens the
// ride's file as File > Open does (the load, the model at level 4 behind the
// busy window, the preview drawn) and the time runs to the first complete
// frame (glFinish). Needs a display: run it under xvfb-run. A frame compiles
// display lists for a slice of time and sends the rest face by face; --once
// also reports when idle time has compiled them all, and the peak then.
//
//   bench_open_program [benchmark options]
//       BM_OpenToFirstFrame/threads:1 and /threads:0 (all cores) side by side,
//       each open after the first in a warm process; BM_FirstOpenInFreshProcess
//       starts this program once per iteration for the first open of a process.
//   bench_open_program --once FILE [--threads N] [--print]
//       one open in this process: prints open_ms and peak_rss_mb; with --print
//       also the model's fingerprint and the triangles the frame compiled.
//
// The ride's file is written to a temporary folder at start; the program's
// settings go to a folder of their own there, so a user's are never touched.

#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "bench/common/large_track.h"
#include "core/app_state.h"
#include "model/busy_window.h"
#include "model/model_fingerprint.h"
#include "model/parallel_build.h"
#include "model/render/scene_render.h"
#include "model/render/wx/gl_canvas.h"
#include "model/wx/frm_working.h"
#include "platform/prompts.h"
#include "platform/scripted_prompts.h"
#include "platform/wx/event_pump.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

namespace fs = std::filesystem;

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

void Settle(int rounds) { SettleEvents(rounds, 2); }

// The program as main() starts it, on an empty document; prompts answered by
// a script so that a message never waits for a person.
class Program {
public:
    Program() {
        SelectX11Backend();
        static int argc = 1;
        static char name[] = "bench_open_program";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp());
        if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
            std::fprintf(stderr, "no display: run under xvfb-run\n");
            std::exit(2);
        }
        wxInitAllImageHandlers();
        SetPrompts(&prompts_);
        SetBusyWindow(&WxBusyWindow());
        RegisterToolDialogs();
        frame_ = new frmMain();
        wxTheApp->SetTopWindow(frame_);
        frame_->Show();
        frame_->StartUp("");
        Settle(20);
        // The build tree's data folder (the crosstie files) and level 4, as the other benchmarks use them.
        gAppPath = GW_BENCH_DATA_DIR;
        gModelOnLoad = 4;
    }
    ~Program() {
        frame_->Close(true);
        Settle(20);
        SetBusyWindow(nullptr);
        SetPrompts(nullptr);
        wxEntryCleanup();
    }
    // Opens the file and waits for the frame it draws; false when it did not
    // open or a message was shown (the model would not be the whole ride).
    bool Open(const std::string& path) {
        const bool loaded = frame_->LoadFile(path);
        glFinish();
        const bool quiet = prompts_.Messages.empty();
        for (const ShownMessage& m : prompts_.Messages)
            std::fprintf(stderr, "message: %s: %s\n", m.Title.c_str(), m.Text.c_str());
        prompts_.Messages.clear();
        return loaded && quiet;
    }

    // Whether idle time still has display lists to compile (one slice of them per call).
    bool ListsPending() { return CompilePendingSceneLists(); }

private:
    ScriptedPrompts prompts_;
    frmMain* frame_ = nullptr;
};

fs::path gWorkFolder;
std::string gRidePath;
std::string gSelf;

// The large ride as a file, and a settings folder beside it.
void PrepareFiles() {
    gWorkFolder = fs::temp_directory_path() / ("gw-bench-open-" + std::to_string(getpid()));
    fs::create_directories(gWorkFolder / "config");
    setenv("GANTRYWRIGHT_CONFIG_DIR", (gWorkFolder / "config").c_str(), 1);
    gRidePath = (gWorkFolder / "large_ride.vxtrack").string();
    MakeLargeRide();
    if (!SaveTrackFile(gRidePath)) {
        std::fprintf(stderr, "could not write %s\n", gRidePath.c_str());
        std::exit(1);
    }
    ClearTrackDocument();
}

std::unique_ptr<Program> gProgram;

void BM_OpenToFirstFrame(benchmark::State& state) {
    BuildThreadLimit limit(state.range(0) > 0 ? int(state.range(0)) : std::max(1u, std::thread::hardware_concurrency()));
    for (auto _ : state) {
        if (!gProgram->Open(gRidePath)) state.SkipWithError("the ride did not open");
    }
    state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_OpenToFirstFrame)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(4.0);

// The first open of a fresh process, which a warm loop cannot show: this
// program started with --once for every iteration, timed by itself.
void BM_FirstOpenInFreshProcess(benchmark::State& state) {
    double peak = 0.0;
    for (auto _ : state) {
        const std::string command = "'" + gSelf + "' --once '" + gRidePath + "'";
        FILE* pipe = popen(command.c_str(), "r");
        double ms = 0.0, rss = 0.0;
        const int got = pipe ? std::fscanf(pipe, "open_ms %lf peak_rss_mb %lf", &ms, &rss) : 0;
        if (pipe) pclose(pipe);
        if (got != 2) {
            state.SkipWithError("the fresh process did not report");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
        peak = std::max(peak, rss);
    }
    state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(BM_FirstOpenInFreshProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int OpenOnce(const std::string& path, int threads, bool print) {
    std::unique_ptr<BuildThreadLimit> limit;
    if (threads > 0) limit = std::make_unique<BuildThreadLimit>(threads);
    Program program;
    const auto t0 = std::chrono::steady_clock::now();
    if (!program.Open(path)) {
        std::fprintf(stderr, "could not open %s\n", path.c_str());
        return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("open_ms %.1f peak_rss_mb %.1f\n", ms, PeakRssMb());
    // Then the idle time that compiles the display lists the first frames
    // left for later, and the peak with every list there.
    while (program.ListsPending()) DeliverReadyEvents();
    const double all = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("all_lists_ms %.1f peak_rss_mb %.1f\n", all, PeakRssMb());
    if (print)
        std::printf("%scompiled_triangles %lld\n", FingerprintText(ModelFingerprint()).c_str(),
                    static_cast<long long>(CompiledSceneTriangles()));
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    gSelf = fs::canonical("/proc/self/exe").string();
    if (argc >= 3 && std::strcmp(argv[1], "--once") == 0) {
        int threads = 0;
        bool print = false;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--print") == 0) print = true;
            if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) threads = std::atoi(argv[++i]);
        }
        // A settings folder of its own, so that no user's settings are read or written.
        const fs::path config = fs::temp_directory_path() / ("gw-bench-once-" + std::to_string(getpid()));
        fs::create_directories(config);
        setenv("GANTRYWRIGHT_CONFIG_DIR", config.c_str(), 1);
        const int result = OpenOnce(argv[2], threads, print);
        std::error_code ignored;
        fs::remove_all(config, ignored);
        return result;
    }
    benchmark::Initialize(&argc, argv);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("bench_open_program: no display (run it under xvfb-run): skipped\n");
        return 0;
    }
    PrepareFiles();
    gProgram = std::make_unique<Program>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gProgram.reset();
    std::error_code ignored;
    fs::remove_all(gWorkFolder, ignored);
    return 0;
}
