#include "platform/bmp_file.h"

#include <algorithm>
#include <array>
#include <bit>

#include "platform/picture_file.h"

namespace {

// File header (14 bytes, little-endian):
// | Offset | Size | Field                                                     |
// |      0 |    2 | "BM"                                                      |
// |      2 |    4 | file size (not used: writers disagree about it)           |
// |      6 |    4 | reserved                                                  |
// |     10 |    4 | where the pixels start, from the start of the file        |
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kPixelsAt = 10;

// The info header follows at offset 14; offsets below count from its start.
//
// OS/2 1.x core header (12 bytes), colour entries of 3 bytes (blue, green, red):
// | Offset | Size | Field                                                     |
// |      0 |    4 | header size, 12                                           |
// |      4 |    2 | width, unsigned                                           |
// |      6 |    2 | height, unsigned; the rows are stored bottom row first    |
// |      8 |    2 | planes, 1                                                 |
// |     10 |    2 | bits per pixel                                            |
constexpr uint32_t kCoreHeaderSize = 12;
constexpr size_t kCoreWidth = 4, kCoreHeight = 6, kCorePlanes = 8, kCoreBits = 10;

// OS/2 2.x (16 to 64 bytes) and Windows (40, 52, 56, 108, 124 bytes) headers,
// colour entries of 4 bytes (blue, green, red, unused). An OS/2 2.x header may
// end after any of its fields; a field it does not reach is 0.
// | Offset | Size | Field                                                     |
// |      0 |    4 | header size                                               |
// |      4 |    4 | width, signed                                             |
// |      8 |    4 | height, signed; negative: the rows are stored top first   |
// |     12 |    2 | planes, 1                                                 |
// |     14 |    2 | bits per pixel                                            |
// |     16 |    4 | compression (below)                                       |
// |     20 |    4 | size of the pixels (not used)                             |
// |     24 |    8 | resolution, two fields of 4 (not used)                    |
// |     32 |    4 | entries in the colour table; 0: 2^bits up to 8 bits       |
// |     36 |    4 | important colours (not used)                              |
// |     40 |   12 | red, green, blue masks (Windows headers of 52 bytes on)   |
// |     52 |    4 | alpha mask (Windows headers of 56 bytes on)               |
// |     56 |      | colour space, gamma, profile (108, 124 bytes; not used)   |
// OS/2 2.x's header holds its rendering fields from offset 40 on (not used):
// four of 2 bytes, then four of 4 bytes. Its sizes of 40, 52 and 56 bytes are
// those of Windows headers, read as Windows's (the same up to offset 40 but
// for the compression of value 3). With a Windows header shorter than the
// masks of a bit-field compression, they follow it, from offset 40 on all the
// same; the colour table follows the header and masks.
constexpr size_t kWidth = 4, kHeight = 8, kPlanes = 12, kBits = 14, kCompression = 16, kColoursUsed = 32,
                 kMasks = 40;
constexpr uint32_t kHeaderSizes[] = {kCoreHeaderSize, 16, 20, 24, 28, 32, 36, 40, 42, 44,
                                     46, 48, 52, 56, 60, 64, 108, 124};
constexpr uint32_t kWindowsHeaderSizes[] = {40, 52, 56, 108, 124};

template <size_t N>
bool OneOf(uint32_t value, const uint32_t (&values)[N]) {
    return std::find(values, values + N, value) != values + N;
}

// Compressions decoded: pixels as stored, and pixels through bit fields of
// three masks (red, green, blue) or four (alpha after them). In an OS/2 2.x
// header 3 means Huffman coding, which is not read.
constexpr uint32_t kUncompressed = 0, kBitFields = 3, kAlphaBitFields = 6;

uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t LoadLE16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// Where a file's pixels are and how to read them, every field checked against
// the file: every row the picture needs lies inside it.
struct Layout {
    int64_t Width = 0, Rows = 0;
    bool TopRowFirst = false;
    int Bits = 0;
    std::array<uint32_t, 3> Masks{};  // red, green, blue, for 16 and 32 bits
    size_t PaletteAt = 0, EntrySize = 0;
    int64_t Entries = 0;  // colour table entries a pixel may name (1, 4 and 8 bits)
    size_t PixelsAt = 0, RowBytes = 0;
};

// A mask whose bits form one run inside the pixel's bits (or no bits at all).
bool MaskFits(uint32_t mask, int bits) {
    if (bits < 32 && mask >> bits != 0) return false;
    const uint32_t run = mask >> std::countr_zero(mask | 0x80000000u);
    return (run & (run + 1)) == 0;
}

bool ReadLayout(const std::vector<uint8_t>& bytes, int64_t maxPixels, Layout& layout) {
    if (bytes.size() < kFileHeaderSize + 4 || !LooksLikeBmp(bytes)) return false;
    const uint32_t headerSize = LoadLE32(&bytes[kFileHeaderSize]);
    if (!OneOf(headerSize, kHeaderSizes)) return false;
    const bool core = headerSize == kCoreHeaderSize;
    const size_t headerEnd = kFileHeaderSize + headerSize;
    if (bytes.size() < headerEnd) return false;
    const uint8_t* h = &bytes[kFileHeaderSize];

    int64_t width = 0, height = 0;
    unsigned planes = 0;
    uint32_t compression = kUncompressed, coloursUsed = 0;
    if (core) {
        width = LoadLE16(h + kCoreWidth), height = LoadLE16(h + kCoreHeight);
        planes = LoadLE16(h + kCorePlanes), layout.Bits = LoadLE16(h + kCoreBits);
    } else {
        width = int32_t(LoadLE32(h + kWidth)), height = int32_t(LoadLE32(h + kHeight));
        planes = LoadLE16(h + kPlanes), layout.Bits = LoadLE16(h + kBits);
        const auto field = [&](size_t at) { return at + 4 <= headerSize ? LoadLE32(h + at) : 0; };
        compression = field(kCompression), coloursUsed = field(kColoursUsed);
    }
    layout.TopRowFirst = height < 0;
    layout.Width = width;
    layout.Rows = height < 0 ? -height : height;
    if (planes != 1 || width < 1 || layout.Rows < 1 || width > kMaxPictureSide || layout.Rows > kMaxPictureSide ||
        width * layout.Rows > maxPixels)
        return false;

    const int bits = layout.Bits;
    const bool bitFields =
        OneOf(headerSize, kWindowsHeaderSizes) && (compression == kBitFields || compression == kAlphaBitFields);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (compression != kUncompressed && !(bitFields && (bits == 16 || bits == 32))) return false;

    size_t tableAt = headerEnd;
    if (bitFields) {
        const size_t masksEnd = kFileHeaderSize + kMasks + (compression == kAlphaBitFields ? 16 : 12);
        tableAt = std::max(headerEnd, masksEnd);
        if (bytes.size() < tableAt) return false;
        for (size_t i = 0; i < 3; ++i) layout.Masks[i] = LoadLE32(h + kMasks + 4 * i);
        if (layout.Masks == std::array<uint32_t, 3>{}) return false;
    } else if (bits == 16) {
        layout.Masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bits == 32) {
        layout.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    for (uint32_t mask : layout.Masks)
        if (!MaskFits(mask, bits)) return false;

    // The colour table: only a picture of 8 bits or fewer takes colours from
    // it (larger ones may carry one for displays of few colours).
    layout.PaletteAt = tableAt;
    layout.EntrySize = core ? 3 : 4;
    if (bits <= 8) {
        const int64_t all = int64_t{1} << bits;
        layout.Entries = coloursUsed != 0 ? std::min(int64_t{coloursUsed}, all) : all;
    }
    const int64_t pixelsAt = LoadLE32(&bytes[kPixelsAt]);
    if (pixelsAt < int64_t(tableAt) + layout.Entries * int64_t(layout.EntrySize)) return false;

    // Rows are padded to 4 bytes; the last row's padding may be missing.
    const int64_t rowBits = width * bits;
    const int64_t rowBytes = (rowBits + 31) / 32 * 4;
    if (pixelsAt + rowBytes * (layout.Rows - 1) + (rowBits + 7) / 8 > int64_t(bytes.size())) return false;
    layout.PixelsAt = size_t(pixelsAt);
    layout.RowBytes = size_t(rowBytes);
    return true;
}

// A bit field's values as 0 to 255, rounded to the nearest.
class Channel {
public:
    explicit Channel(uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), largest_(mask >> shift_) {
        if (largest_ > 0 && largest_ <= 0xFFFF) {
            levels_.resize(largest_ + 1);
            for (uint32_t v = 0; v <= largest_; ++v) levels_[v] = Scale(v);
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        const uint32_t v = (pixel & mask_) >> shift_;
        return levels_.empty() ? (largest_ ? Scale(v) : 0) : levels_[v];
    }

private:
    uint8_t Scale(uint32_t v) const { return uint8_t((uint64_t{v} * 255 + largest_ / 2) / largest_); }

    uint32_t mask_;
    int shift_;
    uint32_t largest_;
    std::vector<uint8_t> levels_;
};

}  // namespace

bool LooksLikeBmp(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool DecodeBmp(const std::vector<uint8_t>& bytes, int64_t maxPixels, PlatformPicture& picture) {
    Layout layout;
    if (!ReadLayout(bytes, maxPixels, layout)) return false;
    const size_t width = size_t(layout.Width), rows = size_t(layout.Rows);
    const int bits = layout.Bits;
    const Channel red(layout.Masks[0]), green(layout.Masks[1]), blue(layout.Masks[2]);
    PlatformPicture decoded;
    decoded.Width = int32_t(width);
    decoded.Height = int32_t(rows);
    decoded.Pixels.resize(width * rows * 3);
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t* in = &bytes[layout.PixelsAt + r * layout.RowBytes];
        uint8_t* out = &decoded.Pixels[(layout.TopRowFirst ? r : rows - 1 - r) * width * 3];
        for (size_t x = 0; x < width; ++x, out += 3) {
            if (bits <= 8) {
                const size_t bit = x * size_t(bits);
                const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= layout.Entries) return false;
                const uint8_t* entry = &bytes[layout.PaletteAt + index * layout.EntrySize];
                out[0] = entry[2], out[1] = entry[1], out[2] = entry[0];
            } else if (bits == 24) {
                const uint8_t* p = in + x * 3;
                out[0] = p[2], out[1] = p[1], out[2] = p[0];
            } else {
                const uint32_t pixel = bits == 16 ? LoadLE16(in + x * 2) : LoadLE32(in + x * 4);
                out[0] = red(pixel), out[1] = green(pixel), out[2] = blue(pixel);
            }
        }
    }
    picture = std::move(decoded);
    return true;
}
