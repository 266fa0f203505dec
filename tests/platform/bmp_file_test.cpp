// The program's BMP decoder on files built here byte by byte: every header
// size, depth and row order to its exact pixels, every cut of each refused,
// broken headers, masks and colour tables refused, and the files of an
// independent writer (stb_image_write).
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/picture_file.h"
#include "tests/platform/temp_folder.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

using Rgb = std::array<uint8_t, 3>;

// A BMP of 3 x 2 pixels. Pixels are given as stored values (colour table
// indices, 0xRRGGBB for 24 bits, the raw 16 or 32 bits), the top row first;
// they are written in the file's row order, each row padded with 0xA5 bytes.
struct Bmp {
    uint32_t HeaderSize = 40;
    int Bits = 24;
    uint32_t Compression = 0;
    int32_t Width = 3, Height = 2;  // a negative height: stored top row first
    std::vector<uint32_t> Masks;    // from the header's offset 40 on, inside it as far as it reaches
    std::vector<Rgb> Palette;
    uint32_t ColoursUsed = 0;
    size_t Gap = 0;  // bytes between the colour table and the pixels
    std::vector<uint32_t> Values;

    size_t RowBytes() const { return (size_t(Width) * Bits + 31) / 32 * 4; }
    size_t Padding() const { return RowBytes() - (size_t(Width) * Bits + 7) / 8; }

    std::string Bytes() const {
        const bool core = HeaderSize == 12;
        std::string info;
        auto put = [&info](size_t at, uint32_t value, int size) {
            if (info.size() < at + size) info.resize(at + size, '\0');
            for (int i = 0; i < size; ++i) info[at + i] = char((value >> (8 * i)) & 0xFF);
        };
        put(0, HeaderSize, 4);
        if (core) {
            put(4, uint32_t(Width), 2), put(6, uint32_t(Height), 2), put(8, 1, 2), put(10, uint32_t(Bits), 2);
        } else {
            put(4, uint32_t(Width), 4), put(8, uint32_t(Height), 4), put(12, 1, 2), put(14, uint32_t(Bits), 2);
            // The fields the header reaches (an OS/2 2.x header may end after any).
            for (const auto& [at, value] :
                 {std::pair{16u, Compression}, {24u, 2835u}, {28u, 2835u}, {32u, ColoursUsed}})
                if (at + 4 <= HeaderSize) put(at, value, 4);
            for (size_t i = 0; i < Masks.size(); ++i) put(40 + 4 * i, Masks[i], 4);
        }
        if (info.size() < HeaderSize) info.resize(HeaderSize, '\0');
        for (const Rgb& c : Palette) {
            info += char(c[2]), info += char(c[1]), info += char(c[0]);
            if (!core) info += '\0';
        }
        info += std::string(Gap, '\xEE');
        std::string rows;
        const size_t count = size_t(Height < 0 ? -Height : Height);
        for (size_t r = 0; r < count; ++r) {
            const size_t top = Height < 0 ? r : count - 1 - r;
            std::string row(RowBytes(), '\0');
            for (size_t x = 0; x < size_t(Width); ++x) {
                const uint32_t v = Values[top * size_t(Width) + x];
                if (Bits < 8) {
                    const size_t bit = x * size_t(Bits);
                    row[bit / 8] = char(uint8_t(row[bit / 8]) | v << (8 - Bits - bit % 8));
                } else {
                    for (int i = 0; i < Bits / 8; ++i) row[x * size_t(Bits / 8) + size_t(i)] = char(v >> (8 * i));
                }
            }
            // The row's unused bits and its padding hold anything.
            const size_t used = size_t(Width) * size_t(Bits);
            if (Bits < 8 && used % 8) row[used / 8] |= char(0xFF >> (used % 8));
            for (size_t i = RowBytes() - Padding(); i < RowBytes(); ++i) row[i] = '\xA5';
            rows += row;
        }
        std::string f = "BM";
        const uint32_t offset = 14 + uint32_t(info.size());
        for (uint32_t v : {offset + uint32_t(rows.size()), 0u, offset})
            for (int i = 0; i < 4; ++i) f += char((v >> (8 * i)) & 0xFF);
        return f + info + rows;
    }
};

std::vector<uint8_t> Flat(const std::vector<Rgb>& pixels) {
    std::vector<uint8_t> out;
    for (const Rgb& p : pixels) out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool Decode(const std::string& bytes, PlatformPicture& picture, int64_t maxPixels = 1 << 20) {
    return DecodeBmp(std::vector<uint8_t>(bytes.begin(), bytes.end()), maxPixels, picture);
}

const Rgb kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255}, kWhite = {255, 255, 255}, kBlack = {0, 0, 0};
const std::vector<Rgb> kSix = {{10, 20, 30}, {250, 128, 1}, {0, 0, 0}, {255, 255, 255}, {7, 77, 177}, {99, 0, 99}};

// One way of storing the 3 x 2 picture: depth, compression's masks, colour
// table, stored values and the picture they make.
struct Kind {
    const char* Name;
    int Bits;
    std::vector<uint32_t> Masks;  // empty: no bit fields
    std::vector<Rgb> Palette;
    uint32_t ColoursUsed;
    std::vector<uint32_t> Values;
    std::vector<Rgb> Expected;
};

const std::vector<Kind>& PlainKinds() {
    static const std::vector<Kind> kinds = {
        {"1 bit", 1, {}, {kSix[0], kSix[1]}, 0, {0, 1, 1, 1, 0, 1},
         {kSix[0], kSix[1], kSix[1], kSix[1], kSix[0], kSix[1]}},
        {"4 bits", 4, {}, kSix, 6, {5, 4, 3, 2, 1, 0}, {kSix[5], kSix[4], kSix[3], kSix[2], kSix[1], kSix[0]}},
        {"8 bits", 8, {}, kSix, 6, {2, 0, 5, 1, 3, 4}, {kSix[2], kSix[0], kSix[5], kSix[1], kSix[3], kSix[4]}},
        // 5-5-5, the top bit unused; a 5-bit 16 is 132 of 255.
        {"16 bits", 16, {}, {}, 0, {0x7C00, 0x03E0, 0x001F, 0xFFFF, 0x8000, 0x4210},
         {kRed, kGreen, kBlue, kWhite, kBlack, {132, 132, 132}}},
        {"24 bits", 24, {}, {}, 0, {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0x000000},
         {kRed, kGreen, kBlue, {16, 32, 48}, kWhite, kBlack}},
        // 8-8-8, the top byte unused.
        {"32 bits", 32, {}, {}, 0, {0xAA102030, 0x00FF0000, 0xFF00FF00, 0x000000FF, 0x12FFFFFF, 0xFF000000},
         {{16, 32, 48}, kRed, kGreen, kBlue, kWhite, kBlack}},
    };
    return kinds;
}

const std::vector<Kind>& BitFieldKinds() {
    static const std::vector<Kind> kinds = {
        // A 6-bit 32 is 130 of 255.
        {"16 bits 5-6-5", 16, {0xF800, 0x07E0, 0x001F}, {}, 0, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410},
         {kRed, kGreen, kBlue, kWhite, kBlack, {132, 130, 132}}},
        {"32 bits 8-8-8-8 alpha last", 32, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, {}, 0,
         {0x102030FF, 0xFF000000, 0x00FF0080, 0x0000FF00, 0xFFFFFF00, 0x000000FF},
         {{16, 32, 48}, kRed, kGreen, kBlue, kWhite, kBlack}},
        // 10-bit 512, 256, 768 are 128, 64, 191 of 255.
        {"32 bits 10-10-10, alpha 2", 32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, {}, 0,
         {0x3FF00000, 0x000FFC00, 0x000003FF, 0xFFFFFFFF, 0xC0000000, 512u << 20 | 256u << 10 | 768u},
         {kRed, kGreen, kBlue, kWhite, kBlack, {128, 64, 191}}},
        {"32 bits 8-8-8, no alpha", 32, {0x0000FF00, 0x00FF0000, 0xFF000000}, {}, 0,
         {0x3020100F, 0x0000FF00, 0x00FF0000, 0xFF000000, 0xFFFFFF00, 0x000000FF},
         {{16, 32, 48}, kRed, kGreen, kBlue, kWhite, kBlack}},
    };
    return kinds;
}

// Every header size, depth and row order decodes to the exact picture, and
// every cut of each file is refused but one that takes only the last row's
// padding, which decodes the same.
TEST(BmpFile, EveryHeaderDepthAndRowOrderDecodesToItsPixels) {
    struct Case {
        std::string Name;
        Bmp File;
        std::vector<Rgb> Expected;
    };
    std::vector<Case> cases;
    auto add = [&](const Kind& kind, uint32_t headerSize, bool topDown, uint32_t compression) {
        Bmp bmp;
        bmp.HeaderSize = headerSize, bmp.Bits = kind.Bits, bmp.Compression = compression, bmp.Masks = kind.Masks;
        bmp.Palette = kind.Palette, bmp.ColoursUsed = kind.ColoursUsed, bmp.Values = kind.Values;
        // Headers without a count of colours have a table of all 2^bits.
        if (headerSize < 36 && kind.Bits <= 8) bmp.Palette.resize(size_t{1} << kind.Bits, {1, 2, 3});
        if (topDown) bmp.Height = -bmp.Height;
        cases.push_back({std::string(kind.Name) + ", header " + std::to_string(headerSize) +
                             (topDown ? ", top down" : ", bottom up"),
                         bmp, kind.Expected});
    };
    // OS/2 2.x headers end after any of their fields (40, 52 and 56 bytes are
    // also Windows's).
    for (uint32_t headerSize : {12, 16, 20, 24, 28, 32, 36, 40, 42, 44, 46, 48, 52, 56, 60, 64, 108, 124})
        for (const Kind& kind : PlainKinds())
            for (bool topDown : {false, true})
                if (headerSize != 12 || !topDown) add(kind, headerSize, topDown, 0);
    // Bit fields in the Windows headers: three masks (alpha in the header from
    // 56 bytes on) or four after a shorter header.
    for (uint32_t headerSize : {40, 52, 56, 108, 124})
        for (const Kind& kind : BitFieldKinds())
            for (bool topDown : {false, true})
                add(kind, headerSize, topDown, kind.Masks.size() == 4 && headerSize < 56 ? 6 : 3);
    // A colour table before 24-bit pixels, and gaps before the pixels.
    add(PlainKinds()[4], 40, false, 0);
    cases.back().Name = "24 bits, a colour table of 4";
    cases.back().File.Palette.assign(kSix.begin(), kSix.begin() + 4), cases.back().File.ColoursUsed = 4;
    for (size_t kind : {2, 4, 5}) {
        add(PlainKinds()[kind], kind == 2 ? 12 : 124, false, 0);
        cases.back().Name += ", a gap", cases.back().File.Gap = 7;
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string bytes = c.File.Bytes();
        PlatformPicture picture;
        ASSERT_TRUE(Decode(bytes, picture));
        EXPECT_EQ(picture.Width, 3);
        EXPECT_EQ(picture.Height, 2);
        EXPECT_EQ(picture.Pixels, Flat(c.Expected));
        const size_t whole = bytes.size() - c.File.Padding();
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            PlatformPicture part;
            ASSERT_EQ(Decode(bytes.substr(0, cut), part), cut >= whole) << cut;
            if (cut >= whole) {
                EXPECT_EQ(part.Pixels, picture.Pixels);
            }
        }
    }
}

// Headers, colour tables, masks and pixel offsets that do not hold together,
// compressions that are not read, and pictures too large are refused; a
// refused file leaves the picture as it was.
TEST(BmpFile, BrokenAndUnreadFilesAreRefused) {
    Bmp palette;  // 8 bits, six colours
    palette.Bits = 8, palette.Palette = kSix, palette.ColoursUsed = 6, palette.Values = {0, 1, 2, 3, 4, 5};
    Bmp fields;  // 16 bits 5-6-5
    fields.Bits = 16, fields.Compression = 3, fields.Masks = {0xF800, 0x07E0, 0x001F};
    fields.Values = {0, 0, 0, 0, 0, 0};
    auto patched = [](std::string bytes, size_t at, std::initializer_list<uint8_t> patch) {
        std::copy(patch.begin(), patch.end(), bytes.begin() + std::ptrdiff_t(at));
        return bytes;
    };
    auto with = [](Bmp bmp, const std::function<void(Bmp&)>& change) {
        change(bmp);
        return bmp.Bytes();
    };
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"header size 18, inside a field", patched(palette.Bytes(), 14, {18})},
        {"header size 50, inside a field", patched(palette.Bytes(), 14, {50})},
        {"header size 0", patched(palette.Bytes(), 14, {0})},
        {"header size 124 past the file", patched(palette.Bytes(), 14, {124})},
        {"planes 0", patched(palette.Bytes(), 26, {0})},
        {"width 0", with(palette, [](Bmp& b) { b.Width = 0, b.Values.clear(); })},
        {"width -3", patched(palette.Bytes(), 18, {0xFD, 0xFF, 0xFF, 0xFF})},
        {"height 0", patched(palette.Bytes(), 22, {0})},
        {"height -2^31", patched(palette.Bytes(), 22, {0, 0, 0, 0x80})},
        {"width 32768", patched(palette.Bytes(), 18, {0, 0x80})},
        {"2 bits", patched(palette.Bytes(), 28, {2})},
        {"0 bits", patched(palette.Bytes(), 28, {0})},
        {"64 bits", patched(palette.Bytes(), 28, {64})},
        {"run-length, 8 bits", patched(palette.Bytes(), 30, {1})},
        {"run-length, 4 bits", with(palette, [](Bmp& b) { b.Bits = 4, b.Compression = 2; })},
        {"bit fields, 8 bits", patched(palette.Bytes(), 30, {3})},
        {"bit fields, 24 bits", with(fields, [](Bmp& b) { b.Bits = 24; })},
        {"JPEG inside", patched(palette.Bytes(), 30, {4})},
        {"PNG inside", patched(palette.Bytes(), 30, {5})},
        {"OS/2 2.x Huffman-coded", with(fields, [](Bmp& b) { b.HeaderSize = 64; })},
        {"OS/2 2.x 20-byte header, run-length",
         with(palette, [](Bmp& b) { b.HeaderSize = 20, b.Compression = 1, b.Palette.resize(256); })},
        {"pixels inside the header", patched(palette.Bytes(), 10, {40})},
        {"pixels inside the colour table", patched(palette.Bytes(), 10, {54 + 23})},
        {"pixels past the end", patched(palette.Bytes(), 10, {0xFF})},
        {"pixels inside the alpha mask after the header",
         patched(with(fields, [](Bmp& b) { b.Compression = 6, b.Masks.push_back(0); }), 10, {14 + 40 + 12})},
        {"a colour table shorter than counted", with(palette, [](Bmp& b) { b.ColoursUsed = 7; })},
        {"all 256 colours counted, 6 present", with(palette, [](Bmp& b) { b.ColoursUsed = 0; })},
        {"an index beyond the colour table", with(palette, [](Bmp& b) { b.Values[4] = 6; })},
        {"a 4-bit index beyond it", with(palette, [](Bmp& b) { b.Bits = 4, b.Values[5] = 15; })},
        {"a mask not one run of bits", with(fields, [](Bmp& b) { b.Masks[1] = 0x0660; })},
        {"a mask beyond 16 bits", with(fields, [](Bmp& b) { b.Masks[0] = 0x1F0000; })},
        {"no colour in the masks", with(fields, [](Bmp& b) { b.Masks = {0, 0, 0}; })},
        // An OS/2 1.x header and nothing after it, with 8 and 24 bits: no
        // colour table, no pixels.
        {"26 bytes, OS/2, 8 bits", with(palette, [](Bmp& b) { b.HeaderSize = 12; }).substr(0, 26)},
        {"26 bytes, OS/2, 24 bits", with(palette, [](Bmp& b) { b.HeaderSize = 12, b.Bits = 24; }).substr(0, 26)},
    };
    TempFolder folder;
    PlatformPicture picture;
    picture.Width = 7;
    for (const auto& [name, bytes] : cases) {
        EXPECT_FALSE(Decode(bytes, picture)) << name;
        // Through the loader: nothing reaches another decoder.
        EXPECT_FALSE(LoadPlatformPicture(folder.Write("bad.bmp", bytes), picture)) << name;
    }
    EXPECT_EQ(picture.Width, 7) << "a refused file leaves the picture as it was";
    // The 29 first bytes of an 8-bit file: its header cut short.
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("cut29.bmp", palette.Bytes().substr(0, 29)), picture));

    // A picture of more pixels than allowed.
    EXPECT_FALSE(Decode(palette.Bytes(), picture, 5));
    EXPECT_TRUE(Decode(palette.Bytes(), picture, 6));
}

// Files of an independent writer: 24 bits after a 40-byte header, and 32
// bits of red, green, blue and alpha bit fields after a 108-byte one.
TEST(BmpFile, FilesOfAnotherWriterLoad) {
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                                       16, 32, 48, 1, 255, 255, 255, 255, 0, 0, 0, 7};
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < rgba.size(); ++i)
        if (i % 4 != 3) rgb.push_back(rgba[i]);
    TempFolder folder;
    for (int channels : {3, 4}) {
        std::string bytes;
        auto append = [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
        };
        ASSERT_TRUE(stbi_write_bmp_to_func(append, &bytes, 3, 2, channels, channels == 3 ? rgb.data() : rgba.data()));
        ASSERT_EQ(uint8_t(bytes[14]), channels == 3 ? 40 : 108);
        PlatformPicture picture;
        ASSERT_TRUE(LoadPlatformPicture(folder.Write("stb.bmp", bytes), picture)) << channels;
        EXPECT_EQ(picture.Width, 3);
        EXPECT_EQ(picture.Height, 2);
        EXPECT_EQ(picture.Pixels, rgb) << channels;
    }
}

}  // namespace
