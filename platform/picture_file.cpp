#include "platform/picture_file.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

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
    if (!fsys::ReadWholeFile(path, bytes, fsys::kPictureFile)) return false;
    return DecodePlatformPicture(bytes, picture, maxPixels);
}

bool DecodePlatformPicture(const std::vector<uint8_t>& bytes, PlatformPicture& picture, int64_t maxPixels) {
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
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

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

bool StartsAsPng(const uint8_t* bytes, size_t size) {
    return size >= sizeof kPngSignature && std::equal(kPngSignature, kPngSignature + 8, bytes);
}

// The bytes of a row of the DIB: bits a pixel times the width, in whole 32-bit words.
uint64_t DibStride(int64_t width, int64_t bits) { return static_cast<uint64_t>((width * bits + 31) / 32 * 4); }

// The width of the icon picture of size bytes, when it is one the toolkit may
// decode (see PickIconPicture); 0 otherwise.
int64_t IconPictureWidth(const uint8_t* picture, size_t size) {
    const auto anIconsSide = [](int64_t side) { return side >= 1 && side <= kMaxIconSide; };
    int64_t width = 0, height = 0;
    if (StartsAsPng(picture, size)) {
        if (!PngSize(picture, size, width, height)) return 0;
        return anIconsSide(width) && anIconsSide(height) ? width : 0;
    }
    constexpr size_t kInfoHeader = 40;
    if (size < kInfoHeader || Le32(picture) != kInfoHeader) return 0;
    width = static_cast<int32_t>(Le32(picture + 4));
    // Rows stored bottom up (a positive height), as an icon's are; the mask's rows follow the picture's.
    height = static_cast<int32_t>(Le32(picture + 8)) / 2;
    const int64_t bits = Le16(picture + 14);
    const uint32_t compression = Le32(picture + 16);
    const uint32_t coloursUsed = Le32(picture + 32);
    if (!anIconsSide(width) || !anIconsSide(height) || compression != 0) return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
    // Every index a pixel may hold must name a colour of the table.
    const uint64_t colours = bits <= 8 ? uint64_t{1} << bits : 0;
    if (bits <= 8 && coloursUsed != 0 && coloursUsed != colours) return 0;
    const uint64_t needed = kInfoHeader + 4 * colours + static_cast<uint64_t>(height) * DibStride(width, bits) +
                            static_cast<uint64_t>(height) * DibStride(width, 1);
    return needed <= size ? width : 0;
}

// The bits of a pixel of a PNG with the colour type and bit depth; 0 for a
// combination PNG does not have.
unsigned PngBitsPerPixel(unsigned colourType, unsigned depth) {
    const bool anyDepth = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    switch (colourType) {
        case 0: return anyDepth ? depth : 0;                  // grey
        case 2: return depth >= 8 && anyDepth ? 3 * depth : 0;  // red, green, blue
        case 3: return depth <= 8 && anyDepth ? depth : 0;    // palette index
        case 4: return depth >= 8 && anyDepth ? 2 * depth : 0;  // grey, alpha
        case 6: return depth >= 8 && anyDepth ? 4 * depth : 0;  // red, green, blue, alpha
        default: return 0;
    }
}

// The bytes the rows of a PNG's picture take once inflated: for each row, its
// filter byte and its pixels packed into whole bytes; when interlaced, the
// rows of the seven passes (Adam7), each pass a picture of its own of the
// pixels it holds, and none where it holds none.
uint64_t PngRawSize(uint64_t width, uint64_t height, unsigned bitsPerPixel, bool interlaced) {
    const auto rows = [bitsPerPixel](uint64_t columns, uint64_t count) {
        return columns == 0 || count == 0 ? 0 : count * (1 + (columns * bitsPerPixel + 7) / 8);
    };
    if (!interlaced) return rows(width, height);
    // Each pass's first column and row, and its steps across and down.
    static constexpr unsigned kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                               {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const auto count = [](uint64_t size, unsigned first, unsigned step) {
        return size > first ? (size - first + step - 1) / step : 0;
    };
    uint64_t total = 0;
    for (const auto& pass : kPasses)
        total += rows(count(width, pass[0], pass[2]), count(height, pass[1], pass[3]));
    return total;
}

// Inflates a zlib stream fed in parts, counting its bytes into a small buffer
// and keeping none, until it has given more than `limit`.
class BoundedInflate {
public:
    explicit BoundedInflate(uint64_t limit) : limit_(limit) { ok_ = started_ = ::inflateInit(&stream_) == Z_OK; }
    ~BoundedInflate() {
        if (started_) ::inflateEnd(&stream_);
    }
    BoundedInflate(const BoundedInflate&) = delete;
    BoundedInflate& operator=(const BoundedInflate&) = delete;

    // False once the stream is damaged or has given more than the limit;
    // what follows its end is not inflated.
    bool Feed(const uint8_t* data, uint32_t size) {
        if (!ok_ || ended_) return ok_;
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = size;
        for (;;) {
            // Never more room than one byte past the limit: a stream that fills it has too much.
            const uint64_t room = std::min<uint64_t>(sizeof buffer_, limit_ + 1 - given_);
            stream_.next_out = buffer_;
            stream_.avail_out = static_cast<uInt>(room);
            const int result = ::inflate(&stream_, Z_NO_FLUSH);
            given_ += room - stream_.avail_out;
            if (given_ > limit_) return ok_ = false;
            if (result == Z_STREAM_END) {
                ended_ = true;
                return true;
            }
            if (result == Z_BUF_ERROR) return true;  // all taken, nothing pending: the next part goes on
            if (result != Z_OK) return ok_ = false;
            if (stream_.avail_in == 0 && stream_.avail_out != 0) return true;
        }
    }

private:
    z_stream stream_{};
    uint64_t limit_;
    uint64_t given_ = 0;
    bool ok_ = false, started_ = false, ended_ = false;
    uint8_t buffer_[16384];
};

}  // namespace

bool ToolkitPng(const uint8_t* bytes, size_t size, std::vector<uint8_t>& png) {
    int64_t width = 0, height = 0;
    if (!PngSize(bytes, size, width, height)) return false;
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    // The header's depth, colour type, compression, filter and interlace methods.
    const uint8_t* header = bytes + 16;
    const unsigned bits = PngBitsPerPixel(header[9], header[8]);
    if (bits == 0 || header[10] != 0 || header[11] != 0 || header[12] > 1) return false;
    BoundedInflate data(PngRawSize(uint64_t(width), uint64_t(height), bits, header[12] == 1));
    std::vector<uint8_t> kept(bytes, bytes + 8);
    size_t at = 8;
    for (;;) {
        // A chunk: its data's length (at most 2^31 - 1), its type of four letters, its data and CRC.
        if (size - at < 12) return false;
        const uint32_t length = Be32(bytes + at);
        const uint8_t* type = bytes + at + 4;
        if (length > 0x7FFFFFFF || size - at - 12 < length) return false;
        if (!std::all_of(type, type + 4, [](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }))
            return false;
        const auto is = [type](const char* name) { return std::memcmp(type, name, 4) == 0; };
        const bool critical = (type[0] & 0x20) == 0;
        if (at == 8 ? !is("IHDR") : is("IHDR")) return false;
        if (critical && !is("IHDR") && !is("PLTE") && !is("IDAT") && !is("IEND")) return false;
        if (is("IDAT") && !data.Feed(type + 4, length)) return false;
        if (critical || is("tRNS")) kept.insert(kept.end(), bytes + at, bytes + at + 12 + length);
        at += 12 + size_t{length};
        if (is("IEND")) break;
    }
    png.swap(kept);
    return true;
}

bool LooksLikePng(const std::vector<uint8_t>& bytes) { return StartsAsPng(bytes.data(), bytes.size()); }

bool PngSize(const uint8_t* bytes, size_t size, int64_t& width, int64_t& height) {
    // The signature, then the IHDR chunk: its length (13), its type, width and height.
    if (!StartsAsPng(bytes, size) || size < 8 + 8 + 13) return false;
    if (Be32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return false;
    width = Be32(bytes + 16);
    height = Be32(bytes + 20);
    return true;
}

bool PngWithinBounds(const std::vector<uint8_t>& bytes, int64_t maxPixels) {
    int64_t width = 0, height = 0;
    if (!PngSize(bytes.data(), bytes.size(), width, height)) return false;
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= maxPixels;
}

bool PickIconPicture(const std::vector<uint8_t>& ico, std::vector<uint8_t>& single) {
    // The header: reserved (0), type (1 for icons) and the number of entries;
    // each entry: width, height, colours, reserved (bytes), planes and bits a
    // pixel (16-bit), and the picture's size and offset in the file (32-bit).
    constexpr size_t kHeader = 6, kEntry = 16;
    if (ico.size() < kHeader || Le16(ico.data()) != 0 || Le16(ico.data() + 2) != 1) return false;
    const size_t count = Le16(ico.data() + 4);
    if (count == 0 || ico.size() < kHeader + count * kEntry) return false;
    int64_t bestWidth = 0;
    size_t best = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = ico.data() + kHeader + i * kEntry;
        const uint64_t size = Le32(entry + 8), offset = Le32(entry + 12);
        if (offset > ico.size() || size > ico.size() - offset) continue;
        const int64_t width = IconPictureWidth(ico.data() + offset, static_cast<size_t>(size));
        if (width > bestWidth) {
            bestWidth = width;
            best = i;
        }
    }
    if (bestWidth == 0) return false;
    const uint8_t* entry = ico.data() + kHeader + best * kEntry;
    const uint8_t* picture = ico.data() + Le32(entry + 12);
    size_t size = Le32(entry + 8);
    // A PNG goes to the toolkit only checked and cut to its pixels' chunks.
    std::vector<uint8_t> png;
    if (StartsAsPng(picture, size)) {
        if (!ToolkitPng(picture, size, png)) return false;
        picture = png.data();
        size = png.size();
    }
    std::vector<uint8_t> out = {0, 0, 1, 0, 1, 0};
    out.insert(out.end(), entry, entry + 8);  // its fields up to its size
    for (const uint32_t field : {static_cast<uint32_t>(size), static_cast<uint32_t>(kHeader + kEntry)}) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(field >> (8 * i)));
    }
    out.insert(out.end(), picture, picture + size);
    single.swap(out);
    return true;
}
