#include "platform/jpeg_file.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/picture_file.h"

namespace {

// The library's errors end in a jump back to the decoder's caller; so do the
// warnings that mean pixels are missing or wrong, for which the library would
// go on and fill the rest of the picture with grey or decode coefficients
// that earlier scans never gave: a scan cut short (by the file's end or a
// marker), holding corrupt codes, or out of the progression's order. The
// file's end alone only means markers are missing; whether the scans before
// it were whole is decided once they are read (see ScansWhole). Other
// warnings and messages are not printed.
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
        case JWRN_ARITH_BAD_CODE:
        case JWRN_BOGUS_PROGRESSION:
            OnError(info);
        case JWRN_JPEG_EOF:
            reinterpret_cast<ErrorManager*>(info->err)->DataEnded = true;
            break;
        default:
            break;
    }
}

// The file is handed to the library in pieces of 511 bytes. The library
// takes a faster way through a sequential Huffman-coded scan when it has 512
// bytes or more at hand for each block of the coming MCU, and that way reads
// a code that no table holds as a zero without a warning, the rest of the
// picture made up; with less at hand it reads every code the careful way,
// which warns of such a code (and the warning ends the decoding). Past the
// file's end the library reads an end marker, with a warning, as it does from
// memory.
constexpr size_t kJpegPieceBytes = 511;

struct PieceSource {
    jpeg_source_mgr Base;
    const uint8_t* Next = nullptr;  // the first byte not yet handed over
    const uint8_t* End = nullptr;
};

void NoSourceStep(j_decompress_ptr) {}

boolean FillPiece(j_decompress_ptr info) {
    static const JOCTET endMarker[2] = {0xFF, JPEG_EOI};
    auto* source = reinterpret_cast<PieceSource*>(info->src);
    if (source->Next == source->End) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->Base.next_input_byte = endMarker;
        source->Base.bytes_in_buffer = sizeof endMarker;
        return TRUE;
    }
    const size_t bytes = std::min(kJpegPieceBytes, size_t(source->End - source->Next));
    source->Base.next_input_byte = source->Next;
    source->Base.bytes_in_buffer = bytes;
    source->Next += bytes;
    return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<PieceSource*>(info->src);
    if (count <= 0) return;
    size_t skip = size_t(count);
    if (skip <= source->Base.bytes_in_buffer) {
        source->Base.next_input_byte += skip;
        source->Base.bytes_in_buffer -= skip;
        return;
    }
    skip -= source->Base.bytes_in_buffer;
    source->Base.bytes_in_buffer = 0;
    source->Next += std::min(skip, size_t(source->End - source->Next));
}

void SetPieceSource(jpeg_decompress_struct& info, PieceSource& source, const std::vector<uint8_t>& bytes) {
    source.Next = bytes.data();
    source.End = bytes.data() + bytes.size();
    source.Base.init_source = NoSourceStep;
    source.Base.fill_input_buffer = FillPiece;
    source.Base.skip_input_data = SkipBytes;
    source.Base.resync_to_restart = jpeg_resync_to_restart;
    source.Base.term_source = NoSourceStep;
    info.src = &source.Base;
}

// What the scans read so far have given, taken from each scan's header as
// the scan begins, before any of its data is read. The library calls the
// progress hook before each step of its reading, so it sees every scan begin
// (the first is begun by the header); the library's own record of the
// coefficients' bits is set from the scan headers whether the scans before
// came or not, so it cannot tell a scan left out.
struct ScanRecord {
    jpeg_progress_mgr Base;
    int64_t MaxBlocksRead = 0;
    int64_t BlocksRead = 0;
    int Scans = 0;
    // Per component and coefficient (zig-zag order), the point transform of
    // the last scan that gave it, -1 before the first. A scan of a
    // sequential file gives every coefficient of its components whole.
    int8_t Bits[MAX_COMPONENTS][DCTSIZE2];
};

// Whether the scan just begun may follow the ones before it: within the
// bounds of scans and blocks, and, in a progressive file, in an order the
// format allows: a component's first DC scan before any of its AC scans; a
// coefficient's first scan once (Ah 0), then each refinement once, the bit
// below the last (Ah the last scan's Al; the library refuses an Al other
// than Ah - 1 itself). A sequential file gives each component in one scan.
bool TakeScan(const jpeg_decompress_struct& info, ScanRecord& record) {
    if (info.input_scan_number != record.Scans + 1 || ++record.Scans > kJpegMaxScans) return false;
    for (int i = 0; i < info.comps_in_scan; ++i) {
        const jpeg_component_info& component = *info.cur_comp_info[i];
        record.BlocksRead += int64_t{component.width_in_blocks} * component.height_in_blocks;
        int8_t* bits = record.Bits[component.component_index];
        if (!info.progressive_mode) {
            if (bits[0] >= 0) return false;
            std::fill(bits, bits + DCTSIZE2, int8_t{0});
            continue;
        }
        if (info.Ss > 0 && bits[0] < 0) return false;
        for (int k = info.Ss; k <= std::min(info.Se, DCTSIZE2 - 1); ++k) {
            if (bits[k] != (info.Ah == 0 ? -1 : info.Ah)) return false;
            bits[k] = static_cast<int8_t>(info.Al);
        }
    }
    return record.BlocksRead <= record.MaxBlocksRead;
}

void OnProgress(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    auto* record = reinterpret_cast<ScanRecord*>(info->progress);
    if (info->input_scan_number != record->Scans && !TakeScan(*info, *record)) OnError(common);
}

// Whether the scans taken in give every pixel its data, for a file whose scans
// have all been read: every coefficient of every component has had its last
// bits (the library would leave a component no scan holds grey, and show the
// coarse picture of the scans before a cut). An arithmetic-coded scan reads
// the data missing after a cut as zero bits without a sign, so such a file
// is whole only when its end marker is there. A Huffman-coded scan cut short
// has already ended the decoding.
bool ScansWhole(const jpeg_decompress_struct& info, const ScanRecord& record, bool dataEnded) {
    if (info.arith_code && dataEnded) return false;
    for (int c = 0; c < info.num_components; ++c)
        for (int k = 0; k < DCTSIZE2; ++k)
            if (record.Bits[c][k] != 0) return false;
    return true;
}

// Adobe's CMYK, as the library gives it for CMYK and YCCK files, in red,
// green and blue: its values are inverted (255 no ink), so each colour is
// its own channel's value scaled by the black channel's.
void CmykToRgb(const uint8_t* cmyk, size_t width, uint8_t* rgb) {
    for (size_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = cmyk[3];
        for (int i = 0; i < 3; ++i) rgb[i] = static_cast<uint8_t>((cmyk[i] * k + 127) / 255);
    }
}

}  // namespace

bool LooksLikeJpeg(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes, int64_t maxPixels, int64_t maxPixelsPerByte,
                int64_t pixelsAlwaysAllowed, PlatformPicture& picture, int64_t maxBlocksRead) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = OnError;
    errors.Base.emit_message = OnMessage;
    PieceSource source{};
    ScanRecord scans{};
    scans.Base.progress_monitor = OnProgress;
    scans.MaxBlocksRead = maxBlocksRead;
    std::memset(scans.Bits, -1, sizeof scans.Bits);
    // The picture and the row buffer live on the heap behind pointers that are
    // set before the jump point and never changed after it; nothing with a
    // destructor is created between here and the end of the jump's reach.
    const auto decoded = std::make_unique<PlatformPicture>();
    const auto cmykRow = std::make_unique<std::vector<uint8_t>>();
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    SetPieceSource(info, source, bytes);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.progress = &scans.Base;
    OnProgress(reinterpret_cast<j_common_ptr>(&info));
    const int64_t pixels = int64_t{info.image_width} * info.image_height;
    const int64_t allowed = std::max(pixelsAlwaysAllowed, int64_t(bytes.size()) * maxPixelsPerByte);
    if (pixels <= 0 || pixels > maxPixels || pixels > allowed || info.image_width > kMaxPictureSide ||
        info.image_height > kMaxPictureSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
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
    if (cmyk) cmykRow->resize(size_t{info.output_width} * 4);
    while (info.output_scanline < info.output_height) {
        uint8_t* out = decoded->Pixels.data() + stride * info.output_scanline;
        JSAMPROW row = cmyk ? cmykRow->data() : out;
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) CmykToRgb(row, info.output_width, out);
    }
    jpeg_finish_decompress(&info);
    const bool whole = severalScans || ScansWhole(info, scans, errors.DataEnded);
    jpeg_destroy_decompress(&info);
    if (!whole) return false;
    picture = std::move(*decoded);
    return true;
}
