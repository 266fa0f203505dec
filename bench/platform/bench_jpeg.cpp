// Speed of the JPEG decoder on pictures of 8192 x 8192 pixels, the most the
// picture loader takes: a progressive colour file as the JPEG library writes
// it, which loads, and a grey file of as many scans as a file may hold, each
// a pass over every block of the picture that costs the file a few bytes,
// which is refused once its scans have read the most blocks allowed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/jpeg_file.h"
#include "platform/picture_file.h"

namespace {

constexpr int kSide = 8192;

// Written by the JPEG library from a picture of smooth ramps (colour) or of
// one grey.
std::vector<uint8_t> WriteJpeg(bool colour, const std::vector<jpeg_scan_info>& script) {
    const int channels = colour ? 3 : 1;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = info.image_height = kSide;
    info.input_components = channels;
    info.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    if (script.empty()) {
        jpeg_simple_progression(&info);
    } else {
        info.scan_info = script.data();
        info.num_scans = int(script.size());
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(kSide) * channels, 100);
    while (info.next_scanline < info.image_height) {
        if (colour)
            for (int x = 0; x < kSide; ++x)
                row[size_t(x) * 3] = uint8_t(x), row[size_t(x) * 3 + 1] = uint8_t(info.next_scanline),
                                  row[size_t(x) * 3 + 2] = uint8_t((x ^ info.next_scanline) * 7);
        JSAMPROW rows = row.data();
        jpeg_write_scanlines(&info, &rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
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

void BM_LoadProgressiveColour(benchmark::State& state) {
    static const std::vector<uint8_t> jpeg = WriteJpeg(true, {});
    Decode(state, jpeg, true);
}
BENCHMARK(BM_LoadProgressiveColour)->Unit(benchmark::kMillisecond);

// Each coefficient in scans of its own, as many refinements as it takes to
// reach the most scans allowed (all valid).
void BM_RefuseMostScans(benchmark::State& state) {
    static const std::vector<uint8_t> jpeg = [] {
        std::vector<jpeg_scan_info> script;
        int refinements = kJpegMaxScans - 64;
        for (int k = 0; k < 64; ++k) {
            const int n = std::min(10, refinements);
            refinements -= n;
            script.push_back({1, {0}, k, k, 0, n});
            for (int al = n; al > 0; --al) script.push_back({1, {0}, k, k, al, al - 1});
        }
        return WriteJpeg(false, script);
    }();
    Decode(state, jpeg, false);
}
BENCHMARK(BM_RefuseMostScans)->Unit(benchmark::kMillisecond);

}  // namespace
