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
// and fill the rest of the picture with grey: a scan cut short (by the file's
// end or a marker) or holding corrupt codes. The file's end alone only means
// markers are missing (a file without its end marker still has every pixel).
// Other warnings and messages are not printed.
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
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
        default:
            break;
    }
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
    const int64_t pixels = int64_t{info.image_width} * info.image_height;
    const int64_t allowed = std::max(pixelsAlwaysAllowed, int64_t(bytes.size()) * maxPixelsPerByte);
    if (pixels <= 0 || pixels > maxPixels || pixels > allowed) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t stride = size_t{info.output_width} * 3;
    decoded->Width = static_cast<int32_t>(info.output_width);
    decoded->Height = static_cast<int32_t>(info.output_height);
    decoded->Pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded->Pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    picture = std::move(*decoded);
    return true;
}
