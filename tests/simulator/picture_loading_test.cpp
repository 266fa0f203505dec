// Picture loading: TGA files in both origins, uncompressed and run-length
// encoded, with their alpha; BMP, GIF and JPEG files made here; bad files that
// leave the previous picture in place; the bitmap class's rows, copies,
// resampling and turns.

#include "simulator/picture_loading.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"
#include "tests/simulator/picture_test_support.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

using BGR = std::array<int, 3>;

// The pixel of the loaded picture at x, counting rows from the top of the screen.
BGR Screen(int x, int yFromTop) {
    const uint8_t* p = gLoadedPicture.PixelAt(x, gLoadedPicture.Height() - 1 - yFromTop);
    return {p[0], p[1], p[2]};
}

class PictureLoadingTest : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const Bytes& bytes) {
        const std::string path = folder / name;
        fsys::WriteFileAtomically(path, bytes);
        return path;
    }
    TempFolder folder;
};

// 24-bit 2 x 2: stored rows (1,2,3)(4,5,6) then (7,8,9)(10,11,12).
const Bytes k24 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A 2 x 2 GIF of four palette colours, its codes written one per clear so that
// they stay 3 bits wide.
Bytes Gif2x2(const std::array<BGR, 4>& rgb, const std::array<int, 4>& indices) {
    Bytes f = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0};
    for (const BGR& c : rgb) f.insert(f.end(), {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])});
    f.insert(f.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2});
    uint32_t bits = 0;
    int count = 0;
    Bytes packed;
    auto code = [&](uint32_t c) {
        bits |= c << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(uint8_t(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i : indices) {
        code(4);  // clear
        code(uint32_t(i));
    }
    code(5);  // end of information
    if (count > 0) packed.push_back(uint8_t(bits & 0xFF));
    f.push_back(uint8_t(packed.size()));
    f.insert(f.end(), packed.begin(), packed.end());
    f.insert(f.end(), {0, 0x3B});
    return f;
}

void WriteToVector(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

TEST_F(PictureLoadingTest, UncompressedTgaInBothOriginsSkipsIdAndColourMap) {
    ASSERT_TRUE(LoadPictureFile(Put("a.tga", Tga(2, 24, 2, 2, 0, k24, 3, 2))));
    ASSERT_EQ(gLoadedPicture.Width(), 2);
    // The first stored row is the bottom row: memory row 0.
    EXPECT_EQ(Screen(0, 1), (BGR{1, 2, 3}));
    EXPECT_EQ(Screen(1, 0), (BGR{10, 11, 12}));
    EXPECT_EQ(gPictureBytes, (Bytes{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 0}));

    // Stored top row first: the same picture on screen and in memory.
    const Bytes topFirst = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(LoadTgaFile(Put("top.TGA", Tga(2, 24, 2, 2, 0x20, topFirst))));
    EXPECT_EQ(gPictureBytes, (Bytes{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 0}));
    // Stored right pixel first.
    const Bytes rightFirst = {4, 5, 6, 1, 2, 3, 10, 11, 12, 7, 8, 9};
    ASSERT_TRUE(LoadTgaFile(Put("right.tga", Tga(2, 24, 2, 2, 0x10, rightFirst))));
    EXPECT_EQ(Screen(0, 1), (BGR{1, 2, 3}));
    EXPECT_EQ(Screen(1, 1), (BGR{4, 5, 6}));
}

TEST_F(PictureLoadingTest, RunLengthTgaWithAlphaAndItsViews) {
    // 4 x 2 at 32 bits: a run of 4, a raw packet of 3, a run of 1, stored top row first.
    const Bytes data = {0x83, 200, 100, 50, 128,  // four times
                        0x02, 1,   2,   3,  255, 4, 5, 6, 0, 7, 8, 9, 51,  // three raw
                        0x80, 10,  20,  30, 0};  // one
    ASSERT_TRUE(LoadPictureFile(Put("rle.tga", Tga(10, 32, 4, 2, 0x28, data))));
    // The top screen row is the four-fold pixel; memory row 0 is the stored second row.
    EXPECT_EQ(Screen(3, 0), (BGR{200, 100, 50}));
    EXPECT_EQ(Screen(0, 1), (BGR{1, 2, 3}));
    EXPECT_EQ(Screen(1, 1), (BGR{4, 5, 6}));
    EXPECT_EQ(Screen(3, 1), (BGR{10, 20, 30}));
    const Bytes expected = {1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 51, 10, 20, 30, 0,  // bottom row
                            200, 100, 50, 128, 200, 100, 50, 128, 200, 100, 50, 128, 200, 100, 50, 128, 0};
    ASSERT_EQ(gPictureBytes, expected);

    RenderAlphaView();
    EXPECT_EQ(Screen(0, 0), (BGR{100, 50, 25}));
    EXPECT_EQ(Screen(0, 1), (BGR{1, 2, 3}));     // alpha 255 keeps the colour
    EXPECT_EQ(Screen(1, 1), (BGR{0, 0, 0}));     // alpha 0 is black
    EXPECT_EQ(Screen(2, 1), (BGR{1, 2, 2}));     // 7 x 0.2, 8 x 0.2, 9 x 0.2
    RenderColorView();
    EXPECT_EQ(Screen(0, 0), (BGR{200, 100, 50}));
    EXPECT_EQ(Screen(2, 1), (BGR{7, 8, 9}));

    // The same picture stored bottom row first, 24 bits, in one raw and one run packet.
    const Bytes bottom = {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 0x83, 200, 100, 50};
    ASSERT_TRUE(LoadTgaFile(Put("rle24.tga", Tga(10, 24, 4, 2, 0, bottom))));
    EXPECT_EQ(Screen(0, 1), (BGR{1, 2, 3}));
    EXPECT_EQ(Screen(3, 0), (BGR{200, 100, 50}));
    EXPECT_EQ(gPictureBytes[3], 0);
}

TEST_F(PictureLoadingTest, DataEndingWithinTheLastRowLeavesItsRestZero) {
    // 3 x 2 at 24 bits, bottom row first: the top row holds one whole pixel,
    // then two bytes of the next.
    const Bytes rows = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5};
    const Bytes bottomFull = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    const Bytes topCut = {4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes expected = bottomFull;
    expected.insert(expected.end(), topCut.begin(), topCut.end());
    ASSERT_TRUE(LoadPictureFile(Put("raw.tga", Tga(2, 24, 3, 2, 0, rows))));
    EXPECT_EQ(gPictureBytes, expected);
    EXPECT_EQ(Screen(0, 0), (BGR{4, 4, 4}));
    EXPECT_EQ(Screen(1, 0), (BGR{0, 0, 0}));

    // A raw packet of five pixels cut short after four and a half.
    Bytes rawPacket = {0x04};
    rawPacket.insert(rawPacket.end(), rows.begin(), rows.end());
    ASSERT_TRUE(LoadPictureFile(Put("rle.tga", Tga(10, 24, 3, 2, 0, rawPacket))));
    EXPECT_EQ(gPictureBytes, expected);

    // A run of three, a run of one and a run whose pixel is cut short, at 32
    // bits and stored top row first: the cut row is the bottom one.
    const Bytes runs = {0x82, 7, 8, 9, 10, 0x80, 4, 4, 4, 200, 0x81, 5, 5};
    ASSERT_TRUE(LoadPictureFile(Put("runs.tga", Tga(10, 32, 3, 2, 0x20, runs))));
    EXPECT_EQ(gPictureBytes, (Bytes{4, 4, 4, 200, 0, 0, 0, 0, 0, 0, 0, 0,  // bottom row
                                    7, 8, 9, 10, 7, 8, 9, 10, 7, 8, 9, 10, 0}));
    EXPECT_EQ(Screen(0, 1), (BGR{4, 4, 4}));
    EXPECT_EQ(Screen(2, 1), (BGR{0, 0, 0}));
    EXPECT_EQ(Screen(2, 0), (BGR{7, 8, 9}));
}

TEST_F(PictureLoadingTest, RunLengthPackets) {
    Bytes data = {0x83, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x85, 9, 9, 9};  // the last run overflows
    ASSERT_TRUE(DecodeTgaRle(data, 4, 2, 3));
    EXPECT_EQ(data, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 9, 9, 9}));

    // Packets that end before the last row has begun.
    for (Bytes bad : {Bytes{0x83, 1, 2, 3}, Bytes{0x87, 1, 2}, Bytes{0x07, 1, 2, 3, 4, 5, 6}, Bytes{}}) {
        const Bytes before = bad;
        EXPECT_FALSE(DecodeTgaRle(bad, 4, 2, 3));
        EXPECT_EQ(bad, before);
    }
    Bytes one = {0x00, 1, 2, 3};
    EXPECT_FALSE(DecodeTgaRle(one, 0, 1, 3));
    EXPECT_FALSE(DecodeTgaRle(one, 1, -1, 3));
}

TEST_F(PictureLoadingTest, RefusedFilesKeepThePreviousPicture) {
    ASSERT_TRUE(LoadPictureFile(Put("good.tga", Tga(2, 24, 2, 2, 0, k24))));
    const Bytes kept = gPictureBytes;
    Bytes header = Tga(2, 24, 2, 2, 0, k24);
    header.resize(17);
    Bytes idCut = Tga(2, 24, 1, 1, 0, Bytes(3, 1), 200);
    idCut.resize(50);
    const std::pair<const char*, Bytes> bad[] = {
        {"16 bits", Tga(2, 16, 2, 2, 0, Bytes(8, 1))},
        {"25 bits", Tga(2, 25, 2, 2, 0, Bytes(16, 1))},
        {"colour-mapped", Tga(1, 24, 2, 2, 0, k24)},
        {"grey", Tga(3, 24, 2, 2, 0, k24)},
        {"zero width", Tga(2, 24, 0, 2, 0, k24)},
        {"negative height", Tga(2, 24, 2, -2, 0, k24)},
        {"huge", Tga(2, 24, 32767, 32767, 0, k24)},
        {"data ending where the last row begins", Tga(2, 24, 2, 2, 0, Bytes(8, 1))},
        {"short header", header},
        {"ID beyond the end", idCut},
        {"run-length data ending where the last row begins", Tga(10, 24, 2, 2, 0, Bytes{0x81, 1, 2, 3})},
        {"raw packet beyond the data", Tga(10, 32, 2, 2, 0, Bytes{0x03, 1, 2, 3, 4})},
    };
    for (const auto& [what, bytes] : bad) {
        EXPECT_FALSE(LoadPictureFile(Put("bad.tga", bytes))) << what;
        EXPECT_EQ(gPictureBytes, kept) << what;
        EXPECT_EQ(gLoadedPicture.Width(), 2) << what;
    }
    EXPECT_FALSE(LoadPictureFile(folder / "missing.tga"));
    EXPECT_FALSE(LoadPictureFile(folder.Path()));
    EXPECT_FALSE(LoadPictureFile(Put("no.jpg", Bytes{'n', 'o'})));
    EXPECT_EQ(gPictureBytes, kept);
}

TEST_F(PictureLoadingTest, BmpGifAndJpegThroughThePlatformLoader) {
    // 3 x 2, top row red, green, blue; bottom row white, black, grey (RGB order).
    const uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    Bytes bmp;
    ASSERT_TRUE(stbi_write_bmp_to_func(WriteToVector, &bmp, 3, 2, 3, rgb));
    ASSERT_TRUE(LoadPictureFile(Put("pic.Bmp", bmp)));
    EXPECT_EQ(gLoadedPicture.Width(), 3);
    EXPECT_EQ(gLoadedPicture.BytesPerScanLine(), 12);
    EXPECT_EQ(Screen(0, 0), (BGR{0, 0, 255}));
    EXPECT_EQ(Screen(2, 0), (BGR{255, 0, 0}));
    EXPECT_EQ(Screen(2, 1), (BGR{128, 128, 128}));
    // Memory row 0 is the bottom row; alpha is 0.
    EXPECT_EQ(gPictureBytes, (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 128, 128, 128, 0, 0, 0, 255, 0, 0, 255, 0, 0,
                                    255, 0, 0, 0, 0}));

    const Bytes gif = Gif2x2({BGR{10, 20, 30}, BGR{40, 50, 60}, BGR{70, 80, 90}, BGR{250, 1, 2}}, {3, 0, 1, 2});
    ASSERT_TRUE(LoadPictureFile(Put("pic.gif", gif)));
    EXPECT_EQ(Screen(0, 0), (BGR{2, 1, 250}));
    EXPECT_EQ(Screen(1, 0), (BGR{30, 20, 10}));
    EXPECT_EQ(Screen(0, 1), (BGR{60, 50, 40}));
    EXPECT_EQ(Screen(1, 1), (BGR{90, 80, 70}));

    // JPEG is lossy: a 16 x 16 picture, top half orange, bottom half blue.
    std::vector<uint8_t> halves(16 * 16 * 3);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &halves[size_t(y * 16 + x) * 3];
            const uint8_t top[3] = {240, 128, 16}, bottom[3] = {16, 64, 224};
            std::memcpy(p, y < 8 ? top : bottom, 3);
        }
    Bytes jpeg;
    ASSERT_TRUE(stbi_write_jpg_to_func(WriteToVector, &jpeg, 16, 16, 3, halves.data(), 100));
    for (const char* name : {"SKY.JPG", "sky.jpeg", "sky.jpe"}) {
        ASSERT_TRUE(LoadPictureFile(Put(name, jpeg))) << name;
        const BGR top = Screen(3, 2), bottom = Screen(12, 13);
        const BGR wantTop{16, 128, 240}, wantBottom{224, 64, 16};
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(top[c], wantTop[c], 3) << name;
            EXPECT_NEAR(bottom[c], wantBottom[c], 3) << name;
        }
    }
    EXPECT_FALSE(LoadPictureFile(Put("sky.png", jpeg)));
}

TEST_F(PictureLoadingTest, BmpStoredTopRowFirstAndPicturesCutShort) {
    // The 3 x 2 picture above as a BMP written bottom row first (rows of 12
    // bytes after a 54-byte header), then turned into one stored top row first.
    const uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    Bytes bmp;
    ASSERT_TRUE(stbi_write_bmp_to_func(WriteToVector, &bmp, 3, 2, 3, rgb));
    ASSERT_EQ(bmp.size(), 54u + 24u);
    ASSERT_TRUE(LoadPictureFile(Put("up.bmp", bmp)));
    const Bytes bottomUp = gPictureBytes;
    Bytes topDown(bmp.begin(), bmp.begin() + 54);
    const int32_t negative = -2;
    std::memcpy(&topDown[22], &negative, 4);
    topDown.insert(topDown.end(), bmp.begin() + 66, bmp.end());
    topDown.insert(topDown.end(), bmp.begin() + 54, bmp.begin() + 66);
    ASSERT_TRUE(LoadPictureFile(Put("down.bmp", topDown)));
    EXPECT_EQ(gLoadedPicture.Height(), 2);
    EXPECT_EQ(gPictureBytes, bottomUp);
    EXPECT_EQ(Screen(0, 0), (BGR{0, 0, 255}));
    EXPECT_EQ(Screen(2, 1), (BGR{128, 128, 128}));

    // Cut short, a BMP and a JPEG are refused where their decoders would make
    // the missing pixels up; a BMP whose last row lacks only its padding and a
    // JPEG that lacks only its end marker load.
    std::vector<uint8_t> grey(16 * 16 * 3);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = uint8_t(i * 7);
    Bytes jpeg;
    ASSERT_TRUE(stbi_write_jpg_to_func(WriteToVector, &jpeg, 16, 16, 3, grey.data(), 90));
    ASSERT_TRUE(LoadPictureFile(Put("whole.jpg", jpeg)));
    const Bytes kept = gPictureBytes;
    EXPECT_TRUE(LoadPictureFile(Put("noend.jpg", Bytes(jpeg.begin(), jpeg.end() - 2))));
    EXPECT_EQ(gPictureBytes, kept);
    EXPECT_TRUE(LoadPictureFile(Put("nopad.bmp", Bytes(bmp.begin(), bmp.end() - 3))));
    EXPECT_EQ(gPictureBytes, bottomUp);
    EXPECT_FALSE(LoadPictureFile(Put("cut.bmp", Bytes(bmp.begin(), bmp.end() - 4))));
    EXPECT_FALSE(LoadPictureFile(Put("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2)))));
    EXPECT_FALSE(LoadPictureFile(Put("cut2.jpg", Bytes(jpeg.begin(), jpeg.end() - 8))));
    EXPECT_EQ(gPictureBytes, bottomUp);
}

TEST(DibSectionTest, RowsCopiesAndResampling) {
    cDIBSection dib;
    const int32_t expected[] = {4, 8, 12, 12, 16};
    for (int w = 1; w <= 5; ++w) {
        ASSERT_TRUE(dib.Create(w, 1));
        EXPECT_EQ(dib.BytesPerScanLine(), expected[w - 1]);
    }
    ASSERT_TRUE(dib.Create(3, 2));
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.BitsSize(), 24u);
    EXPECT_FALSE(dib.Create(0, 5));
    EXPECT_TRUE(dib.Empty());

    ASSERT_TRUE(dib.Create(2, 2));
    dib.RandomiseBits(false, 7);
    EXPECT_EQ(dib.PixelAt(1, 1)[0], 0);
    cDIBSection whole;
    ASSERT_TRUE(whole.Create(2, 2));
    dib.PaintPicture(whole, 0, 0, -1, -1, 0, 0);
    EXPECT_EQ(std::memcmp(whole.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr(), dib.BitsSize()), 0);
    whole.PaintPicture(whole, 1, 0, -1, -1, 0, 0);  // overlapping copy inside one picture, clipped
    EXPECT_EQ(std::memcmp(whole.PixelAt(1, 1), dib.PixelAt(0, 1), 3), 0);

    const auto same = dib.Resample(2, 2);
    ASSERT_TRUE(same);
    EXPECT_EQ(std::memcmp(same->DIBSectionBitsPtr(), dib.DIBSectionBitsPtr(), dib.BitsSize()), 0);

    // 2 x 2 grey levels 0, 100 (bottom row) and 200, 40 (top row) to 4 x 4: steps of 1/4.
    const uint8_t levels[2][2] = {{0, 100}, {200, 40}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) std::memset(dib.PixelAt(x, y), levels[y][x], 3);
    const auto big = dib.Resample(4, 4);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->PixelAt(0, 0)[0], 0);
    EXPECT_EQ(big->PixelAt(1, 0)[0], 25);
    EXPECT_EQ(big->PixelAt(0, 2)[0], 100);  // half way up the left column
    EXPECT_EQ(big->PixelAt(3, 3)[1], 79);   // columns 150 (0..200) and 55 (100..40), 3/4 of the way

    // A source one pixel wide or high stays inside itself.
    ASSERT_TRUE(dib.Create(1, 3));
    for (int y = 0; y < 3; ++y) std::memset(dib.PixelAt(0, y), 60 * y, 3);
    const auto wide = dib.Resample(5, 4);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->PixelAt(3, 0)[2], 0);
    EXPECT_EQ(wide->PixelAt(3, 4)[2], 96);  // 4 x 2/5 = 1.6 rows up: 60 + 0.6 x 60
}

TEST_F(PictureLoadingTest, QuarterTurnsOfSquarePicturesOnly) {
    // Screen rows: top (A, B), bottom (C, D); stored bottom row first.
    const Bytes abcd = {3, 3, 3, 4, 4, 4, 1, 1, 1, 2, 2, 2};
    ASSERT_TRUE(LoadTgaFile(Put("sq.tga", Tga(2, 24, 2, 2, 0, abcd))));
    RotatePicture90();
    // A quarter turn clockwise: top (C, A), bottom (D, B).
    EXPECT_EQ(Screen(0, 0)[0], 3);
    EXPECT_EQ(Screen(1, 0)[0], 1);
    EXPECT_EQ(Screen(0, 1)[0], 4);
    EXPECT_EQ(Screen(1, 1)[0], 2);
    EXPECT_EQ(gPictureBytes[0], 3);  // the byte form is not turned

    ASSERT_TRUE(gLoadedPicture.Create(64, 32));
    gLoadedPicture.RandomiseBits(true, 3);
    const cDIBSection before = gLoadedPicture;
    RotatePicture90();
    EXPECT_EQ(std::memcmp(before.DIBSectionBitsPtr(), gLoadedPicture.DIBSectionBitsPtr(), before.BitsSize()), 0);
}
