// Speed of the check a PNG icon passes before the toolkit decodes it: a sound
// 256 x 256 picture, and one of the same header whose data, a few hundred
// kilobytes, inflates to 256 MiB, which is refused once it has given its
// rows' bytes and one more.

#include <benchmark/benchmark.h>

#include <vector>

#include "platform/picture_file.h"
#include "tests/platform/png_writer.h"

namespace {

std::vector<uint8_t> Icon(uint64_t rawSize) {
    PngOptions options;
    options.Width = options.Height = 256, options.Colour = 6, options.RawSize = rawSize;
    return WritePng(options);
}

void Check(benchmark::State& state, const std::vector<uint8_t>& png, bool kept) {
    for (auto _ : state) {
        std::vector<uint8_t> out;
        if (ToolkitPng(png.data(), png.size(), out) != kept) {
            state.SkipWithError("unexpected result");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["file KB"] = double(png.size()) / 1e3;
}

void BM_CheckSoundIcon(benchmark::State& state) {
    static const std::vector<uint8_t> png = Icon(256 * (1 + 256 * 4));
    Check(state, png, true);
}
BENCHMARK(BM_CheckSoundIcon);

void BM_RefuseIconInflatingTo256MiB(benchmark::State& state) {
    static const std::vector<uint8_t> png = Icon(uint64_t{256} << 20);
    Check(state, png, false);
}
BENCHMARK(BM_RefuseIconInflatingTo256MiB);

}  // namespace
