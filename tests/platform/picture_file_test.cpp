// The platform's picture loader on JPEG files whose Huffman tables hold more
// codes than a table can: the decoder would write past its table, so such a
// file is refused. The inputs are the smallest the fuzzer found.
#include <gtest/gtest.h>

#include "platform/picture_file.h"
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
}

}  // namespace
