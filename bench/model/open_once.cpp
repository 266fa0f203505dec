// The first open in a fresh process, which the benchmarks' warm loops cannot
// show: run once per process, it loads a track file, builds its model at
// level 4 as opening it does and prints the wall time of each and the peak
// resident memory (getrusage) of the whole process.
//
//   gw_open_once --write FILE        saves the benchmarks' large ride to FILE
//   gw_open_once FILE [--print]      opens FILE and builds; with --print also
//                                    the model's fingerprint and the hash of
//                                    its full 3D Studio export
//   gw_open_once FILE --threads N    the build on at most N threads
//   gw_open_once FILE --bytes        also the bytes each part of the model
//                                    holds after the build

#include <sys/resource.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "export/model_export_3ds.h"
#include "model/build_pipeline.h"
#include "model/model_budget.h"
#include "model/model_fingerprint.h"
#include "model/parallel_build.h"
#include "platform/file_system.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        MakeLargeRide();
        if (!SaveTrackFile(argv[2])) {
            std::fprintf(stderr, "could not write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: gw_open_once --write FILE | FILE [--print] [--threads N]\n");
        return 2;
    }
    const std::string path = argv[1];
    bool print = false, bytes = false;
    int threads = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print") == 0) print = true;
        if (std::strcmp(argv[i], "--bytes") == 0) bytes = true;
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) threads = std::atoi(argv[++i]);
    }
    std::unique_ptr<BuildThreadLimit> limit;
    if (threads > 0) limit = std::make_unique<BuildThreadLimit>(threads);

    MakeLargeRide(kBareRide);  // the data folder and level 4, as the benchmarks use them
    ClearTrackDocument();
    const auto t0 = std::chrono::steady_clock::now();
    gDocumentType = DocumentTrack;
    if (!LoadTrackFile(path)) {
        std::fprintf(stderr, "could not load %s\n", path.c_str());
        return 1;
    }
    const auto t1 = std::chrono::steady_clock::now();
    RemodelTrack(true);
    const auto t2 = std::chrono::steady_clock::now();
    std::printf("load_ms %.1f build_ms %.1f total_ms %.1f peak_rss_mb %.1f\n", 1e3 * Seconds(t0, t1),
                1e3 * Seconds(t1, t2), 1e3 * Seconds(t0, t2), PeakRssMb());
    if (bytes) {
        static const char* const kParts[kModelPartCount] = {"path",    "track",   "tubes",   "catwalks",
                                                              "footers", "prefabs", "tunnels", "ground"};
        for (int p = 0; p < kModelPartCount; ++p) {
            const ModelCost c = MeasureModelPart(static_cast<ModelPart>(p));
            std::printf("bytes %-8s %8.1f MB %9" PRId64 " faces\n", kParts[p], double(c.Bytes) / 1048576.0, c.Faces);
        }
        int64_t ties = 0, flat = 0;
        for (const TrackModelEntry& e : gTrackModel) {
            ties += e.TieFaceCount;
            for (const auto* meshes : {&e.Rails, &e.Spines})
                for (const ModelMesh& m : *meshes)
                    if (!m.Smooth) flat += m.FaceCount;
        }
        std::printf("of the track: %" PRId64 " crosstie faces, %" PRId64 " flat rail and spine faces\n", ties, flat);
        std::printf("bytes %-8s %8.1f MB\n", "terrain", double(gTerrainHeights.Values.capacity() * sizeof(float)) / 1048576.0);
    }
    if (print) {
        std::printf("%s", FingerprintText(ModelFingerprint()).c_str());
        const std::string out = path + ".3ds";
        std::string failure;
        if (!ExportTrackModel3DS(out, true, true, true, true, true, &failure)) {
            std::fprintf(stderr, "export failed: %s\n", failure.c_str());
            return 1;
        }
        // Hashed block by block: the peak memory stays the export's own.
        uint64_t hash = kFingerprintBasis;
        size_t size = 0;
        if (std::FILE* f = std::fopen(out.c_str(), "rb")) {
            std::vector<uint8_t> block(size_t(1) << 20);
            for (size_t n; (n = std::fread(block.data(), 1, block.size(), f)) > 0; size += n)
                hash = FingerprintBytes(block.data(), n, hash);
            std::fclose(f);
        }
        std::remove(out.c_str());
        std::printf("export_3ds %zu %016" PRIx64 "\n", size, hash);
    }
    return 0;
}
