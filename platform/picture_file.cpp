#include "platform/picture_file.h"

#include <algorithm>

#include "platform/bmp_file.h"
#include "platform/file_system.h"
#include "platform/jpeg_file.h"

// The GIF decoder of stb_image only, private to this file; BMP and JPEG are
// decoded by bmp_file.cpp and jpeg_file.cpp.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_GIF
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

// No GIF or JPEG that a program writes holds more than a few thousand pixels
// per byte of its file (a GIF's codes, the densest, stand for at most about
// 2,700); a file that claims more, such as a GIF whose screen is far larger
// than its one small image, would only make the decoder allocate and fill a
// huge picture from nothing. Small files may always claim 256 x 256. (A BMP
// holds all its pixels, which its decoder checks.)
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsAlwaysAllowed = 256 * 256;

}  // namespace

bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels) {
    std::vector<uint8_t> bytes;
    if (!fsys::ReadWholeFile(path, bytes, fsys::kPictureFile) || bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes, maxPixels, kMaxPixelsPerByte, kPixelsAlwaysAllowed, picture);
    if (LooksLikeBmp(bytes)) return DecodeBmp(bytes, maxPixels, picture);
    int width = 0, height = 0, channels = 0;
    // The size first, so that a small file cannot ask for a huge picture.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return false;
    const int64_t pixelCount = int64_t{width} * height;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide || pixelCount > maxPixels)
        return false;
    if (pixelCount > std::max(kPixelsAlwaysAllowed, int64_t(bytes.size()) * kMaxPixelsPerByte)) return false;
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
