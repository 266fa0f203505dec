// The platform's picture loader on broken and cut files: JPEG files whose
// Huffman tables hold more codes than a table can (the decoder would write
// past its table; the inputs are the smallest the fuzzer found), JPEG files
// cut between or inside their scans, palette BMPs whose palette or indices
// fall short, and GIF screens far larger than their files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>


#include "platform/picture_file.h"
#include "tests/platform/jpeg_writer.h"
#include "tests/platform/png_writer.h"
#include "tests/platform/temp_folder.h"

namespace {

TEST(PictureFile, HuffmanTablesWithTooManyCodesAreRefused) {
    TempFolder folder;
    const std::vector<std::string> inputs = {
        // Two counts of 0x3B and 0xF7: 306 codes in one table.
        std::string("\xff\xd8\xff\xff\xc4\x08\x2f\x00\x3b\xf7", 10),
        // Fill bytes before the start marker, and a table cut short by the file's end.
        std::string("\xff\xff\xff\xff\xd8\xff\xff\xff\xff\xff\xc4\xff\x7f\x00\xfe", 15) + std::string(14, 's') +
            std::string("\x3a\xd8", 2),
        // A segment two bytes long whose table's counts run on past it.
        std::string("\xff\xd8\xff\xff\xff\xff\xc4\x00\x04\x00\x00\xff\xff", 13),
    };
    PlatformPicture picture;
    picture.Width = 7;
    for (size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_FALSE(LoadPlatformPicture(folder.Write("bad" + std::to_string(i) + ".jpg", inputs[i]), picture)) << i;
        EXPECT_EQ(picture.Width, 7) << "a refused file leaves the picture as it was";
    }
}

// A baseline JPEG whose scan names Huffman tables that no table segment
// defined: the JPEG library decodes it with the standard tables (as it does
// motion JPEG), never from uninitialised memory.
TEST(PictureFile, ScansNamingUndefinedHuffmanTablesUseTheStandardTables) {
    TempFolder folder;
    std::string jpeg("\xff\xd8\xff\xdb\x00\x43\x00", 7);
    jpeg += std::string(64, '\x01');
    jpeg += std::string("\xff\xc0\x00\x0b\x08\x00\x08\x00\x08\x01\x01\x11\x00", 13);
    // One block in the standard codes: DC difference 0 ("00"), end of block ("1010"), padding.
    jpeg += std::string("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x2b\xff\xd9", 13);
    PlatformPicture picture;
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("undefined.jpg", jpeg), picture));
    EXPECT_EQ(picture.Width, 8);
    EXPECT_EQ(picture.Height, 8);
    EXPECT_EQ(picture.Pixels, std::vector<uint8_t>(8 * 8 * 3, 128));
}

// A 35-byte GIF whose screen is 8193 x 1537 pixels around a one-pixel image:
// decoding it would allocate and fill 50 MB from nothing.
TEST(PictureFile, PicturesFarLargerThanTheirFilesAreRefused) {
    TempFolder folder;
    const std::string gif("GIF89a\x01\x20\x01\x06\x80\xff\x00\x02\xff\xff\x00\x00\x00\x2c\x00\x00\x00\x00"
                          "\x01\x00\x01\x00\x7f\x02\x02\x44\x01\x00\x31", 35);
    PlatformPicture picture;
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("screen.gif", gif), picture));
    // The same picture with a screen of 2 x 2 loads.
    std::string small = gif;
    small[6] = 2, small[7] = 0, small[8] = 2, small[9] = 0;
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("small.gif", small), picture));
    EXPECT_EQ(picture.Width, 2);
    EXPECT_EQ(picture.Height, 2);

    // A side over kMaxPictureSide is refused whatever the kind, a JPEG of 40000 x 2 too.
    JpegOptions wide;
    wide.Width = 40000, wide.Height = 2, wide.Colour = std::array<uint8_t, 4>{9, 9, 9, 0};
    EXPECT_FALSE(DecodePlatformPicture(WriteJpeg(wide), picture));
    wide.Width = int(kMaxPictureSide);
    ASSERT_TRUE(DecodePlatformPicture(WriteJpeg(wide), picture));
    EXPECT_EQ(picture.Width, kMaxPictureSide);
}

// The pictures the toolkit decodes are checked from their headers first. An
// icon's picture (a DIB or a PNG in an .ico file) is an icon only with sides of
// 1 to 256 pixels; the widest such picture is picked, alone in an .ico file of
// its own. A PNG of the user's stays within the picture bounds.
std::vector<uint8_t> Dib(int32_t width, int32_t rows, uint16_t bits = 32, uint32_t colours = 0, size_t cut = 0) {
    std::vector<uint8_t> d(40);
    auto put = [&d](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) d[at + i] = uint8_t(v >> (8 * i));
    };
    put(0, 40, 4), put(4, uint32_t(width), 4), put(8, uint32_t(rows), 4), put(12, 1, 2), put(14, bits, 2);
    put(32, colours, 4);
    const int64_t w = std::clamp(width, 0, 256), h = std::clamp(rows / 2, 0, 256);
    const size_t table = bits <= 8 ? 4u << bits : 0;
    d.resize(40 + table + size_t(h * ((w * bits + 31) / 32 * 4 + (w + 31) / 32 * 4)) - cut, 0x5A);
    return d;
}

std::vector<uint8_t> Png(uint32_t width, uint32_t height) {
    std::vector<uint8_t> p = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {width, height}) {
        for (int i = 3; i >= 0; --i) p.push_back(uint8_t(v >> (8 * i)));
    }
    p.insert(p.end(), {8, 6, 0, 0, 0, 1, 2, 3, 4});  // depth, colour type, methods, CRC
    return p;
}

// A whole PNG of side x side pixels of one colour.
std::vector<uint8_t> WholePng(uint32_t side) {
    PngOptions options;
    options.Width = options.Height = side;
    options.RawSize = uint64_t{side} * (side + 1);
    return WritePng(options);
}

std::vector<uint8_t> Ico(const std::vector<std::vector<uint8_t>>& pictures) {
    std::vector<uint8_t> ico = {0, 0, 1, 0, uint8_t(pictures.size()), 0};
    uint32_t offset = uint32_t(6 + 16 * pictures.size());
    for (const auto& p : pictures) {
        ico.insert(ico.end(), {16, 16, 0, 0, 1, 0, 32, 0});
        for (uint32_t v : {uint32_t(p.size()), offset}) {
            for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(v >> (8 * i)));
        }
        offset += uint32_t(p.size());
    }
    for (const auto& p : pictures) ico.insert(ico.end(), p.begin(), p.end());
    return ico;
}

TEST(PictureFile, IconPicturesOfSizesNoIconHasAreRefusedFromTheirHeaders) {
    std::vector<uint8_t> single = {7};
    const std::vector<std::vector<uint8_t>> noIcons = {
        Dib(0, 32),         Dib(-16, 32),      Dib(16, 0),          Dib(16, -32),  // rows stored top down
        Dib(32767, 65534),  Dib(257, 514),     Dib(16, 1026),
        Dib(16, 32, 8, 16), Dib(16, 32, 8, 0, 1),  // a colour table short of 256 entries; a mask cut short
        Dib(16, 32, 12),    Png(0, 16),        Png(26000, 26000), Png(257, 1)};
    for (size_t i = 0; i < noIcons.size(); ++i) EXPECT_FALSE(PickIconPicture(Ico({noIcons[i]}), single)) << i;
    EXPECT_EQ(single, std::vector<uint8_t>{7});
    for (const auto& icon : {Dib(256, 512), Dib(1, 2, 1), Dib(16, 32, 8, 256), WholePng(256)})
        EXPECT_TRUE(PickIconPicture(Ico({icon}), single));

    // The widest icon among pictures that are none.
    const std::vector<uint8_t> png = WholePng(48);
    const std::vector<uint8_t> ico = Ico({Png(26000, 26000), Dib(32, 64), png, Dib(0, 32), Png(48, 16)});
    ASSERT_TRUE(PickIconPicture(ico, single));
    ASSERT_LT(png.size(), 256u);
    std::vector<uint8_t> expected = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
    expected.insert(expected.end(), {uint8_t(png.size()), 0, 0, 0, 22, 0, 0, 0});
    expected.insert(expected.end(), png.begin(), png.end());
    EXPECT_EQ(single, expected);
    // Entries whose picture lies outside the file, a directory cut short, and no icon file at all.
    std::vector<uint8_t> outside = Ico({Png(48, 48)});
    outside[18] = 0xFF;
    EXPECT_FALSE(PickIconPicture(outside, single));
    EXPECT_FALSE(PickIconPicture(std::vector<uint8_t>(ico.begin(), ico.begin() + 40), single));
    EXPECT_FALSE(PickIconPicture(Png(48, 48), single));

    EXPECT_TRUE(PngWithinBounds(Png(8192, 8192)));
    EXPECT_TRUE(PngWithinBounds(Png(32767, 2)));
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{26000, 26000}, {32768, 1}, {0, 5}, {8193, 8192}})
        EXPECT_FALSE(PngWithinBounds(Png(w, h))) << w << " x " << h;
}

// A PNG's data is inflated no further than its header's rows need: a filter
// byte and the packed pixels of each row (of each of the seven passes when
// interlaced). A few megabytes that inflate to gigabytes cost no more than
// the rows. The toolkit gets the chunks the pixels need alone.
TEST(PictureFile, PngDataIsRefusedWhereItInflatesPastItsRows) {
    struct Case {
        uint32_t Width, Height;
        uint8_t Depth, Colour, Interlace;
        uint64_t RawSize;
    };
    for (const Case& c : {Case{3, 3, 8, 6, 0, 39}, Case{3, 3, 8, 6, 1, 42}, Case{48, 48, 8, 3, 1, 2394},
                          Case{10, 1, 1, 0, 0, 3}, Case{10, 1, 16, 2, 0, 61}}) {
        PngOptions options;
        options.Width = c.Width, options.Height = c.Height, options.Depth = c.Depth, options.Colour = c.Colour,
        options.Interlace = c.Interlace, options.RawSize = c.RawSize;
        const std::vector<uint8_t> png = WritePng(options);
        std::vector<uint8_t> kept;
        EXPECT_TRUE(ToolkitPng(png.data(), png.size(), kept)) << c.Width << " x " << c.Height;
        EXPECT_EQ(kept, png);
        options.RawSize += 1;
        const std::vector<uint8_t> over = WritePng(options);
        EXPECT_FALSE(ToolkitPng(over.data(), over.size(), kept)) << c.Width << " x " << c.Height;
        EXPECT_EQ(kept, png);
    }

    // 256 x 256 pixels whose data inflates to 64 MiB: refused, in an icon file too.
    PngOptions bomb;
    bomb.Width = bomb.Height = 256, bomb.Colour = 6, bomb.RawSize = uint64_t{64} << 20;
    const std::vector<uint8_t> png = WritePng(bomb);
    std::vector<uint8_t> kept, single;
    EXPECT_FALSE(ToolkitPng(png.data(), png.size(), kept));
    EXPECT_FALSE(PickIconPicture(IcoOf(png), single));
    EXPECT_TRUE(single.empty());
    bomb.RawSize = 256 * (1 + 256 * 4);
    ASSERT_TRUE(PickIconPicture(IcoOf(WritePng(bomb)), single));
    EXPECT_EQ(single, IcoOf(WritePng(bomb)));

    // Compressed text and a colour profile are left out (the toolkit would inflate them); tRNS stays.
    PngOptions extras;
    extras.Extra = {PngChunk("tRNS", {0})};
    const std::vector<uint8_t> expected = WritePng(extras);
    extras.Extra.push_back(PngChunk("zTXt", {'k', 0, 0, 0x78, 0x9c, 3, 0, 0, 0, 0, 1}));
    extras.Extra.push_back(PngChunk("iCCP", {'p', 0, 0, 0x78, 0x9c, 3, 0, 0, 0, 0, 1}));
    std::vector<uint8_t> withExtras = WritePng(extras);
    withExtras.insert(withExtras.end(), {'t', 'r', 'a', 'i', 'l'});
    ASSERT_TRUE(ToolkitPng(withExtras.data(), withExtras.size(), kept));
    EXPECT_EQ(kept, expected);
    ASSERT_TRUE(PickIconPicture(IcoOf(withExtras), single));
    EXPECT_EQ(single, IcoOf(expected));

    // An unknown critical chunk, a colour type without the bit depth, a file cut short: refused.
    PngOptions critical;
    critical.Extra = {PngChunk("QQQQ", {})};
    PngOptions depth;
    depth.Colour = 2, depth.Depth = 4;
    std::vector<uint8_t> cut = expected;
    cut.resize(cut.size() - 12);
    for (const auto& bad : {WritePng(critical), WritePng(depth), cut})
        EXPECT_FALSE(ToolkitPng(bad.data(), bad.size(), kept));
}


// Palette BMPs: 1, 4 or 8 bits a pixel, an OS/2 core header (12 bytes, 3-byte
// palette entries) or a Windows info header (40 bytes, 4-byte entries).
struct PaletteBmp {
    bool Os2 = false;
    int Bits = 8;
    int32_t Width = 0, Height = 0;
    std::vector<std::array<uint8_t, 3>> Palette;  // red, green, blue
    uint32_t ColoursUsed = 0;                     // the Windows header's count; 0 for all
    std::string Rows;                             // as stored, padding included

    std::string Bytes() const {
        const uint32_t headerSize = Os2 ? 12 : 40, entrySize = Os2 ? 3 : 4;
        const uint32_t offset = 14 + headerSize + uint32_t(Palette.size()) * entrySize;
        std::string f = "BM";
        auto put = [&f](uint32_t value, int size) {
            for (int i = 0; i < size; ++i) f += char((value >> (8 * i)) & 0xFF);
        };
        put(offset + uint32_t(Rows.size()), 4);
        put(0, 4);
        put(offset, 4);
        put(headerSize, 4);
        if (Os2) {
            put(uint32_t(Width), 2), put(uint32_t(Height), 2), put(1, 2), put(uint32_t(Bits), 2);
        } else {
            put(uint32_t(Width), 4), put(uint32_t(Height), 4), put(1, 2), put(uint32_t(Bits), 2);
            put(0, 4), put(uint32_t(Rows.size()), 4), put(2835, 4), put(2835, 4), put(ColoursUsed, 4), put(0, 4);
        }
        for (const auto& c : Palette) {
            f += char(c[2]), f += char(c[1]), f += char(c[0]);
            if (!Os2) f += '\0';
        }
        return f + Rows;
    }
};

std::vector<uint8_t> Rgb(std::initializer_list<std::array<uint8_t, 3>> pixels) {
    std::vector<uint8_t> out;
    for (const auto& p : pixels) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The decoder of palette BMPs must never take a colour from outside the
// palette the file holds: a palette shorter than its header says and an index
// beyond the palette are refused; whole files load with their exact colours.
TEST(PictureFile, PaletteBmpsLoadOnlyWithAWholePaletteAndIndicesInsideIt) {
    TempFolder folder;
    PlatformPicture picture;
    const std::array<uint8_t, 3> W = {255, 255, 255}, K = {0, 0, 0};

    // 5 x 3, one bit a pixel, OS/2 header, palette white and black. Stored
    // bottom row first, each row one byte and three of padding; the bits after
    // the fifth and the padding are set.
    PaletteBmp os2;
    os2.Os2 = true, os2.Bits = 1, os2.Width = 5, os2.Height = 3, os2.Palette = {W, K};
    os2.Rows = std::string("\x0F\xFF\xFF\xFF\xFF\x00\x00\x00\x53\x00\x00\x00", 12);
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("os2.bmp", os2.Bytes()), picture));
    EXPECT_EQ(picture.Width, 5);
    EXPECT_EQ(picture.Height, 3);
    EXPECT_EQ(picture.Pixels, Rgb({W, K, W, K, W,  // 0x53: 01010
                                   K, K, K, K, K,  // 0xFF
                                   W, W, W, W, K}));  // 0x0F: 00001
    // Its palette cut to one entry (the pixel data right after it) is refused.
    PaletteBmp os2Cut = os2;
    os2Cut.Palette = {W};
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("os2cut.bmp", os2Cut.Bytes()), picture));
    // The same at 8 bits a pixel: the header asks for 256 entries, the file has two.
    os2Cut.Palette = {W, K}, os2Cut.Bits = 8;
    os2Cut.Rows = std::string(24, '\1');
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("os2cut8.bmp", os2Cut.Bytes()), picture));

    // 3 x 2, eight bits a pixel, Windows header, a palette of four entries as
    // the header counts them. Row padding may hold anything.
    const std::array<uint8_t, 3> A = {10, 20, 30}, B = {40, 50, 60}, C = {70, 80, 90}, D = {250, 1, 2};
    PaletteBmp win;
    win.Width = 3, win.Height = 2, win.Palette = {A, B, C, D}, win.ColoursUsed = 4;
    win.Rows = std::string("\x03\x02\x01\xC8\x00\x01\x02\xFF", 8);
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("win.bmp", win.Bytes()), picture));
    EXPECT_EQ(picture.Pixels, Rgb({A, B, C, D, C, B}));
    // Stored top row first.
    PaletteBmp topDown = win;
    topDown.Height = -2;
    topDown.Rows = win.Rows.substr(4) + win.Rows.substr(0, 4);
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("down.bmp", topDown.Bytes()), picture));
    EXPECT_EQ(picture.Pixels, Rgb({A, B, C, D, C, B}));

    const std::vector<uint8_t> keptPixels = picture.Pixels;
    // One index 200 in a picture of a four-entry palette.
    PaletteBmp beyond = win;
    beyond.Rows[5] = '\xC8';
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("index200.bmp", beyond.Bytes()), picture));
    // Four entries counted, three present before the pixels.
    PaletteBmp cut = win;
    cut.Palette.pop_back();
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("cut.bmp", cut.Bytes()), picture));
    // No count: the header asks for all 256 entries.
    cut = win;
    cut.ColoursUsed = 0;
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("cut256.bmp", cut.Bytes()), picture));
    // A file that ends within its palette.
    const std::string whole = win.Bytes();
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("end.bmp", whole.substr(0, 60)), picture));
    EXPECT_EQ(picture.Pixels, keptPixels) << "a refused file leaves the picture as it was";

    // Four bits a pixel, three wide: the fourth nibble of a row lies past the
    // picture and is not read; the third names an entry the palette lacks.
    PaletteBmp nibbles = win;
    nibbles.Bits = 4;
    nibbles.Rows = std::string("\x32\x1F\x00\x00\x01\x2F\x00\x00", 8);
    ASSERT_TRUE(LoadPlatformPicture(folder.Write("nibbles.bmp", nibbles.Bytes()), picture));
    EXPECT_EQ(picture.Pixels, Rgb({A, B, C, D, C, B}));
    nibbles.Rows[1] = '\xF1';
    EXPECT_FALSE(LoadPlatformPicture(folder.Write("nibble15.bmp", nibbles.Bytes()), picture));
}

}  // namespace
