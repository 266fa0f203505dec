#include "platform/jpeg_file.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/picture_file.h"

namespace {

// The library's errors end in a jump back to the decoder's caller; so do the
// warnings that mean pixels are missing, for which the library would go on
// and fill the rest of the picture with grey: a Huffman-coded scan cut short
// (by the file's end or a marker) or holding corrupt codes. The file's end
// alone only means markers are missing; whether the scans before it were
// whole is decided once they are read (see ScansWhole). Other warnings and
// messages are not printed.
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    bool DataEnded = false;  // the file ended before its end marker
};

[[noreturn]] void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
            OnError(info);
        case JWRN_JPEG_EOF:
            reinterpret_cast<ErrorManager*>(info->err)->DataEnded = true;
            break;
        default:
            break;
    }
}

// The components that some scan holds, one bit each. The library calls the
// progress hook between the scans it takes in, each time with the scan last
// begun; the first scan is begun by the header.
struct ScanRecord {
    jpeg_progress_mgr Base;
    unsigned Components = 0;
};

void RecordScan(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    auto* record = reinterpret_cast<ScanRecord*>(info->progress);
    for (int i = 0; i < info->comps_in_scan; ++i) record->Components |= 1u << info->cur_comp_info[i]->component_index;
}

// Whether the scans taken in give every pixel its data, for a file whose scans
// have all been read. Every component must be in some scan (the library would
// leave a missing one grey), and in a progressive file every coefficient of
// every component must have had its last bits (the library would show the
// coarse picture of the scans before a cut). An arithmetic-coded scan reads
// the data missing after a cut as zero bits without a sign, so such a file
// is whole only when its end marker is there. A Huffman-coded scan cut short
// has already ended the decoding.
bool ScansWhole(const jpeg_decompress_struct& info, const ScanRecord& record, bool dataEnded) {
    if (record.Components != (1u << info.num_components) - 1) return false;
    if (info.arith_code && dataEnded) return false;
    if (info.progressive_mode) {
        if (!info.coef_bits) return false;
        for (int c = 0; c < info.num_components; ++c)
            for (int k = 0; k < DCTSIZE2; ++k)
                if (info.coef_bits[c][k] != 0) return false;
    }
    return true;
}

}  // namespace

bool LooksLikeJpeg(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes, int64_t maxPixels, int64_t maxPixelsPerByte,
                int64_t pixelsAlwaysAllowed, PlatformPicture& picture) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = OnError;
    errors.Base.emit_message = OnMessage;
    // The picture lives on the heap behind a pointer that is set before the
    // jump point and never changed after it; nothing with a destructor is
    // created between here and the end of the jump's reach.
    const auto decoded = std::make_unique<PlatformPicture>();
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    ScanRecord scans{};
    scans.Base.progress_monitor = RecordScan;
    info.progress = &scans.Base;
    RecordScan(reinterpret_cast<j_common_ptr>(&info));
    const int64_t pixels = int64_t{info.image_width} * info.image_height;
    const int64_t allowed = std::max(pixelsAlwaysAllowed, int64_t(bytes.size()) * maxPixelsPerByte);
    if (pixels <= 0 || pixels > maxPixels || pixels > allowed) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    // A file of several scans is read whole here, before any pixel is made;
    // a single scan as its rows are made.
    const bool severalScans = jpeg_has_multiple_scans(&info);
    jpeg_start_decompress(&info);
    if (severalScans && !ScansWhole(info, scans, errors.DataEnded)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const size_t stride = size_t{info.output_width} * 3;
    decoded->Width = static_cast<int32_t>(info.output_width);
    decoded->Height = static_cast<int32_t>(info.output_height);
    decoded->Pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded->Pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool whole = severalScans || ScansWhole(info, scans, errors.DataEnded);
    jpeg_destroy_decompress(&info);
    if (!whole) return false;
    picture = std::move(*decoded);
    return true;
}
