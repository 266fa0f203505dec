#include "platform/picture_file.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/jpeg_file.h"

// The decoders of stb_image for BMP and GIF only, private to this file; JPEG
// goes through libjpeg-turbo (jpeg_file.cpp).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 32767
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

// No BMP, GIF or JPEG that a program writes holds more than a few thousand
// pixels per byte of its file (a GIF's codes, the densest, stand for at most
// about 2,700); a file that claims more, such as a GIF whose screen is far
// larger than its one small image, would only make the decoder allocate and
// fill a huge picture from nothing. Small files may always claim 256 x 256.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsAlwaysAllowed = 256 * 256;

uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// False for a BMP whose pixel rows run past the end of its file: the decoder
// would make the missing pixels up as black. Rows are padded to 4 bytes; the
// last row's padding may be missing.
bool BmpPixelsPresent(const std::vector<uint8_t>& bytes, int64_t width, int64_t height) {
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M') return true;
    const int64_t offset = LoadLE32(&bytes[10]);
    const size_t depthAt = LoadLE32(&bytes[14]) == 12 ? 24 : 28;  // after a core header or a longer one
    const int64_t bitsPerPixel = bytes[depthAt] | (bytes[depthAt + 1] << 8);
    const int64_t rowBits = width * bitsPerPixel;
    const int64_t rowBytes = (rowBits + 31) / 32 * 4;
    return offset + rowBytes * (height - 1) + (rowBits + 7) / 8 <= int64_t(bytes.size());
}

}  // namespace

bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels) {
    std::vector<uint8_t> bytes;
    if (!fsys::ReadWholeFile(path, bytes) || bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes, maxPixels, kMaxPixelsPerByte, kPixelsAlwaysAllowed, picture);
    int width = 0, height = 0, channels = 0;
    // The size first, so that a small file cannot ask for a huge picture.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return false;
    // A BMP stored top row first gives its height as a negative number.
    const int64_t rows = height < 0 ? -int64_t{height} : int64_t{height};
    const int64_t pixelCount = int64_t{width} * rows;
    if (width <= 0 || rows <= 0 || rows > 32767 || pixelCount > maxPixels) return false;
    if (pixelCount > std::max(kPixelsAlwaysAllowed, int64_t(bytes.size()) * kMaxPixelsPerByte)) return false;
    if (!BmpPixelsPresent(bytes, width, rows)) return false;
    stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, 3);
    if (!pixels) return false;
    PlatformPicture decoded;
    decoded.Width = width;
    decoded.Height = height;
    decoded.Pixels.assign(pixels, pixels + size_t(width) * size_t(height) * 3);
    stbi_image_free(pixels);
    picture = std::move(decoded);
    return true;
}
