// Speed of the JPEG decoder on pictures of 8192 x 8192 pixels, the most the
// picture loader takes: a baseline and a progressive colour file as the JPEG
// library writes them, which load (the baseline file's codes all read the
// careful way that notices a bad one), and a grey file of as many scans as a
// file may hold, each a pass over every block of the picture that costs the
// file a few bytes, which is refused once its scans have read the most blocks
// allowed.

#include <benchmark/benchmark.h>

#include <vector>

#include "platform/jpeg_file.h"
#include "platform/picture_file.h"
#include "tests/platform/jpeg_writer.h"

namespace {

constexpr int kSide = 8192;

std::vector<uint8_t> WriteLargeJpeg(JpegOptions options) {
    options.Width = options.Height = kSide;
    return WriteJpeg(options);
}

void Decode(benchmark::State& state, const std::vector<uint8_t>& jpeg, bool loads) {
    for (auto _ : state) {
        PlatformPicture picture;
        if (DecodeJpeg(jpeg, int64_t{kSide} * kSide, 4096, 256 * 256, picture) != loads) {
            state.SkipWithError("unexpected result");
            break;
        }
        benchmark::DoNotOptimize(picture.Pixels.data());
    }
    state.counters["file MB"] = double(jpeg.size()) / 1e6;
}

void BM_LoadBaselineColour(benchmark::State& state) {
    static const std::vector<uint8_t> jpeg = WriteLargeJpeg({});
    Decode(state, jpeg, true);
}
BENCHMARK(BM_LoadBaselineColour)->Unit(benchmark::kMillisecond);

void BM_LoadProgressiveColour(benchmark::State& state) {
    JpegOptions options;
    options.Progressive = true;
    static const std::vector<uint8_t> jpeg = WriteLargeJpeg(options);
    Decode(state, jpeg, true);
}
BENCHMARK(BM_LoadProgressiveColour)->Unit(benchmark::kMillisecond);

// The most scans allowed, all valid.
void BM_RefuseMostScans(benchmark::State& state) {
    static const std::vector<uint8_t> jpeg = [] {
        JpegOptions options;
        options.Space = JCS_GRAYSCALE;
        options.Colour = {{100}};
        options.Script = LongGreyScript(kJpegMaxScans);
        return WriteLargeJpeg(options);
    }();
    Decode(state, jpeg, false);
}
BENCHMARK(BM_RefuseMostScans)->Unit(benchmark::kMillisecond);

}  // namespace
