#include "tests/platform/jpeg_writer.h"

#include <algorithm>
#include <cstdlib>

std::vector<uint8_t> WriteJpeg(const JpegOptions& o) {
    const bool grey = o.Space == JCS_GRAYSCALE, cmyk = o.Space == JCS_CMYK || o.Space == JCS_YCCK;
    const int channels = grey ? 1 : cmyk ? 4 : 3;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = o.Width;
    info.image_height = o.Height;
    info.input_components = channels;
    info.in_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, o.Space);
    jpeg_set_quality(&info, o.Quality, TRUE);
    if (o.Space == JCS_YCbCr) info.comp_info[0].h_samp_factor = o.H, info.comp_info[0].v_samp_factor = o.V;
    if (o.Progressive) jpeg_simple_progression(&info);
    if (!o.Script.empty()) info.scan_info = o.Script.data(), info.num_scans = int(o.Script.size());
    info.arith_code = o.Arithmetic;
    info.optimize_coding = o.OptimalTables;
    info.restart_interval = o.RestartInterval;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(o.Width) * channels);
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < o.Width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int ramp[3] = {x * 8, y * 10, (x * y * 37) % 251};
                row[size_t(x) * channels + c] = o.Colour ? (*o.Colour)[size_t(c)] : uint8_t(ramp[c % 3]);
            }
        JSAMPROW rows = row.data();
        jpeg_write_scanlines(&info, &rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

std::vector<jpeg_scan_info> LongGreyScript(int scans) {
    std::vector<jpeg_scan_info> script;
    int refinements = scans - 64;
    for (int k = 0; k < 64; ++k) {
        const int n = std::min(10, refinements);
        refinements -= n;
        script.push_back({1, {0}, k, k, 0, n});
        for (int al = n; al > 0; --al) script.push_back({1, {0}, k, k, al, al - 1});
    }
    return script;
}
