#include "platform/picture_file.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/jpeg_file.h"

// The decoders of stb_image for BMP (16, 24 and 32 bits a pixel; palette BMPs
// are decoded below) and GIF only, private to this file; JPEG
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

uint16_t LoadLE16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

bool IsBmp(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

// Where a BMP's pixel depth is stored: after an OS/2 core header (12 bytes,
// 16-bit sides) or a longer Windows one (32-bit sides).
size_t BmpDepthAt(const std::vector<uint8_t>& bytes) {
    return LoadLE32(&bytes[14]) == 12 ? 24 : 28;
}

// False for a BMP whose pixel rows run past the end of its file: the decoder
// would make the missing pixels up as black. Rows are padded to 4 bytes; the
// last row's padding may be missing.
bool BmpPixelsPresent(const std::vector<uint8_t>& bytes, int64_t width, int64_t height) {
    if (bytes.size() < 30 || !IsBmp(bytes)) return true;
    const int64_t offset = LoadLE32(&bytes[10]);
    const int64_t bitsPerPixel = LoadLE16(&bytes[BmpDepthAt(bytes)]);
    const int64_t rowBits = width * bitsPerPixel;
    const int64_t rowBytes = (rowBits + 31) / 32 * 4;
    return offset + rowBytes * (height - 1) + (rowBits + 7) / 8 <= int64_t(bytes.size());
}

bool IsPaletteBmp(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 30 && IsBmp(bytes) && LoadLE16(&bytes[BmpDepthAt(bytes)]) < 16;
}

// A BMP of 1, 4 or 8 bits a pixel, uncompressed, whose pixels were found
// present. Decoded here: stb_image sizes the palette from the pixel offset
// (an OS/2 palette wrongly) and takes any index's colour from its palette
// buffer, written or not. The palette follows the header with as many entries
// as the header counts (all 2^bits when it gives no count; 3 bytes each after
// an OS/2 header, 4 after a Windows one) and must end before the pixels; a
// file whose palette falls short or whose pixels name an entry beyond it is
// refused. Only the picture's own width of each row is read, not its padding.
bool DecodePaletteBmp(const std::vector<uint8_t>& bytes, int64_t width, int64_t rows, bool topRowFirst,
                      PlatformPicture& picture) {
    const uint32_t headerSize = LoadLE32(&bytes[14]);
    const bool os2 = headerSize == 12;
    const int bits = LoadLE16(&bytes[BmpDepthAt(bytes)]);
    if (bits != 1 && bits != 4 && bits != 8) return false;
    if (!os2 && (bytes.size() < 54 || LoadLE32(&bytes[30]) != 0)) return false;  // compressed
    const int64_t colours = !os2 && LoadLE32(&bytes[46]) != 0 ? int64_t{LoadLE32(&bytes[46])} : int64_t{1} << bits;
    const int64_t paletteAt = 14 + int64_t{headerSize};
    const int64_t entrySize = os2 ? 3 : 4;
    const int64_t offset = LoadLE32(&bytes[10]);
    if (paletteAt + colours * entrySize > offset) return false;
    const int64_t usable = std::min(colours, int64_t{1} << bits);
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const unsigned mask = (1u << bits) - 1;
    PlatformPicture decoded;
    decoded.Width = static_cast<int32_t>(width);
    decoded.Height = static_cast<int32_t>(rows);
    decoded.Pixels.resize(size_t(width * rows * 3));
    for (int64_t r = 0; r < rows; ++r) {
        const uint8_t* row = &bytes[size_t(offset + r * rowBytes)];
        uint8_t* out = &decoded.Pixels[size_t((topRowFirst ? r : rows - 1 - r) * width * 3)];
        for (int64_t x = 0; x < width; ++x) {
            const int64_t bit = x * bits;
            const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
            if (index >= usable) return false;
            const uint8_t* entry = &bytes[size_t(paletteAt + index * entrySize)];
            *out++ = entry[2];
            *out++ = entry[1];
            *out++ = entry[0];
        }
    }
    picture = std::move(decoded);
    return true;
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
    if (width <= 0 || rows <= 0 || width > 32767 || rows > 32767 || pixelCount > maxPixels) return false;
    if (pixelCount > std::max(kPixelsAlwaysAllowed, int64_t(bytes.size()) * kMaxPixelsPerByte)) return false;
    if (!BmpPixelsPresent(bytes, width, rows)) return false;
    if (IsPaletteBmp(bytes)) return DecodePaletteBmp(bytes, width, rows, height < 0, picture);
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
