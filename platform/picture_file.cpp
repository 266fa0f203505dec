#include "platform/picture_file.h"

#include <algorithm>

#include "platform/file_system.h"

// The decoders of stb_image for these three formats only, private to this file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
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

// Two faults of the JPEG decoder, refused before decoding:
// - it writes each Huffman table's code sizes into an array of 257 entries
//   without checking the counts a file gives: a table whose sixteen counts add
//   up to more than 256 codes would write past it;
// - a scan may name a Huffman table that no table segment defined, and the
//   decoder then reads the table's memory uninitialised.
// Neither can come from a valid JPEG. The markers are walked from the start of
// the file, through the entropy-coded data between them, as the decoder walks them.
bool JpegTablesSound(const std::vector<uint8_t>& b) {
    // The decoder takes any run of 0xFF before a marker as fill, the first one too.
    size_t at = 0;
    while (at < b.size() && b[at] == 0xFF) ++at;
    if (at == 0 || at >= b.size() || b[at] != 0xD8) return true;  // not a JPEG
    ++at;
    bool defined[2][4] = {};  // [DC 0, AC 1][table 0 to 3]
    bool progressive = false;
    auto byteAt = [&b](size_t i) -> unsigned { return i < b.size() ? b[i] : 0u; };  // zeros past the end
    while (at + 1 < b.size()) {
        if (b[at] != 0xFF) {  // entropy-coded data: look for the next marker
            ++at;
            continue;
        }
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;  // a stuffed byte or a marker without a segment
            continue;
        }
        if (marker == 0xD9 || at + 4 > b.size()) return true;
        const size_t length = size_t{b[at + 2]} << 8 | b[at + 3];
        if (length < 2) return true;  // the decoder refuses it itself
        const size_t end = std::min(b.size(), at + 2 + length);
        if (marker == 0xC4) {
            // The decoder reads a table's counts whole before it checks the
            // segment's length: past the segment from the bytes that follow,
            // past the file's end as zeros.
            for (size_t table = at + 4; table < end;) {
                const unsigned cls = byteAt(table) >> 4, id = byteAt(table) & 15;
                size_t codes = 0;
                for (size_t i = 1; i <= 16; ++i) codes += byteAt(table + i);
                if (codes > 256) return false;
                if (cls <= 1 && id <= 3) defined[cls][id] = true;
                table += 17 + codes;
            }
        } else if (marker >= 0xC0 && marker <= 0xC2) {
            progressive = marker == 0xC2;
        } else if (marker == 0xDA) {
            // Scan header: component count, then per component its id and its
            // DC and AC tables, then spectral start, end and approximation.
            const unsigned count = byteAt(at + 4);
            const size_t spectral = at + 5 + 2 * size_t{count};
            const bool dcScan = byteAt(spectral) == 0;
            const bool refining = (byteAt(spectral + 2) >> 4) != 0;
            for (unsigned c = 0; c < count; ++c) {
                const unsigned tables = byteAt(at + 6 + 2 * size_t{c});
                const unsigned dc = tables >> 4, ac = tables & 15;
                if (dc > 3 || ac > 3) return true;  // the decoder refuses it itself
                const bool usesDc = !progressive || (dcScan && !refining);
                const bool usesAc = !progressive || !dcScan;
                if ((usesDc && !defined[0][dc]) || (usesAc && !defined[1][ac])) return false;
            }
        }
        at += 2 + length;
    }
    return true;
}

// No BMP, GIF or JPEG that a program writes holds more than a few thousand
// pixels per byte of its file (a GIF's codes, the densest, stand for at most
// about 2,700); a file that claims more, such as a GIF whose screen is far
// larger than its one small image, would only make the decoder allocate and
// fill a huge picture from nothing. Small files may always claim 256 x 256.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsAlwaysAllowed = 256 * 256;

}  // namespace

bool LoadPlatformPicture(const std::string& path, PlatformPicture& picture, int64_t maxPixels) {
    std::vector<uint8_t> bytes;
    if (!fsys::ReadWholeFile(path, bytes) || bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    if (!JpegTablesSound(bytes)) return false;
    int width = 0, height = 0, channels = 0;
    // The size first, so that a small file cannot ask for a huge picture.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return false;
    const int64_t pixelCount = int64_t{width} * height;
    if (width <= 0 || height <= 0 || pixelCount > maxPixels) return false;
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
