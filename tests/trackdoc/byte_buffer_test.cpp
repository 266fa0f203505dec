// The big-endian track buffer primitives and the little-endian file buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

#include "file_builder.h"
#include "trackdoc/byte_buffer.h"
#include "trackdoc/byte_order.h"
#include "trackdoc/file_buffer.h"
#include "trackdoc/track_document.h"

namespace {

class BigEndianBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        gTrackBuffer.assign(1, 0);
        BufResetReadError();
    }
    void Fill(std::initializer_list<uint8_t> bytes) { gTrackBuffer.assign(bytes); }
    static std::vector<uint8_t> Bytes() { return std::vector<uint8_t>(gTrackBuffer.begin(), gTrackBuffer.end()); }
};

TEST_F(BigEndianBufferTest, WritersProduceTheFileEncodings) {
    int32_t c = 0;
    BufWriteLong(c, 1);
    BufWriteLong(c, -2);
    BufWriteSingle(c, 1.0f);
    BufWriteColor(c, 0x332211);  // red 11, green 22, blue 33
    BufWriteColor(c, static_cast<int32_t>(0xFF332211u));  // the top byte never reaches the file
    BufWriteByte(c, 0xAB);
    BufWriteTag(c, "TRCK");
    BufWriteString(c, std::string("\x00\xC3\xBFz", 4));  // "\0ÿz": one byte per character
    BufWriteString(c, "");
    BufWriteString(c, "\xE2\x82\xAC");  // "€" has no byte in the code page: a mark
    BufWriteZeros(c, 2);
    EXPECT_EQ(c, 31);
    const std::vector<uint8_t> expected = {0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0x80, 0x00,
                                           0x00, 0x00, 0x33, 0x22, 0x11, 0x00, 0x33, 0x22, 0x11, 0xAB, 'T',
                                           'R',  'C',  'K',  0x00, 0xFF, 'z',  '?',  0x00, 0x00};
    EXPECT_EQ(Bytes(), expected);
}

TEST_F(BigEndianBufferTest, ZeroRunsOfNothingLeaveBufferAndCursorAlone) {
    int32_t c = 0;
    BufWriteZeros(c, 0);
    BufWriteZeros(c, -4);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(gTrackBuffer.size(), 1u);
    // The first write overwrites the saver's one starting byte.
    gTrackBuffer.assign(1, 0x77);
    BufWriteByte(c, 5);
    EXPECT_EQ(Bytes(), std::vector<uint8_t>{5});
}

TEST_F(BigEndianBufferTest, ReadersDecodeTheFileEncodings) {
    Fill({0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0x80, 0x00, 0x00, 0x7F, 0x33, 0x22, 0x11, 't', 'r', 'c', 'k', 0xE9, 'a', 0x00});
    int32_t c = 0;
    EXPECT_EQ(BufReadLong(c), -2);
    EXPECT_EQ(BufReadSingle(c), 1.0f);
    EXPECT_EQ(BufReadColor(c), 0x332211);  // the first byte is ignored
    EXPECT_EQ(BufReadTag(c), "TRCK");
    EXPECT_EQ(BufReadString(c, 0), "");
    EXPECT_EQ(c, 16);
    EXPECT_EQ(BufReadString(c, -3), "");
    EXPECT_EQ(BufReadString(c, 2), "\xC3\xA9" "a");  // the program's text: UTF-8
    EXPECT_EQ(BufReadByte(c), 0);
    EXPECT_FALSE(BufReadFailed());
    EXPECT_EQ(c, 19);
}

TEST_F(BigEndianBufferTest, ReadsPastTheEndFailAndReturnNothing) {
    Fill({1, 2, 3});
    int32_t c = 0;
    EXPECT_EQ(BufReadLong(c), 0);
    EXPECT_TRUE(BufReadFailed());
    EXPECT_EQ(c, 3);
    BufResetReadError();
    c = 1;
    EXPECT_EQ(BufReadString(c, 3), "");
    EXPECT_TRUE(BufReadFailed());
    BufResetReadError();
    c = 0;
    BufSkip(c, 3);
    EXPECT_FALSE(BufReadFailed());
    EXPECT_EQ(c, 3);
    BufSkip(c, 1);
    EXPECT_TRUE(BufReadFailed());
    BufResetReadError();
    c = 2;
    BufSkip(c, -1);
    EXPECT_TRUE(BufReadFailed());
    BufResetReadError();
    c = -5;
    EXPECT_EQ(BufReadByte(c), 0);
    EXPECT_TRUE(BufReadFailed());
    BufResetReadError();
    c = INT32_MAX - 1;
    EXPECT_EQ(BufReadLong(c), 0);
    EXPECT_TRUE(BufReadFailed());
    BufResetReadError();
    c = 0;
    EXPECT_EQ(BufReadString(c, INT32_MAX), "");
    EXPECT_TRUE(BufReadFailed());
}

// Every length up to a few blocks of four words, from and to unaligned
// places and in place: each word's bytes reversed, every bit kept (a NaN's
// payload and the sign of zero too), nothing beyond the words touched.
TEST(ByteOrder, CopySwapReversesEveryWordAndNothingElse) {
    std::vector<uint8_t> src(4 * 40 + 3);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 37 + 11);
    const uint8_t nan[4] = {0x7F, 0xA1, 0xB2, 0xC3}, minusZero[4] = {0x80, 0, 0, 0};
    std::memcpy(&src[1 + 4 * 5], nan, 4);
    std::memcpy(&src[1 + 4 * 6], minusZero, 4);
    for (size_t count : {0u, 1u, 3u, 4u, 5u, 8u, 15u, 16u, 17u, 39u}) {
        for (size_t offset : {0u, 1u, 3u}) {
            std::vector<uint8_t> dst(src.size() + 4, 0xEE);
            byteorder::CopySwap32(dst.data() + 2, src.data() + offset, count);
            for (size_t w = 0; w < count; ++w)
                for (size_t b = 0; b < 4; ++b)
                    ASSERT_EQ(dst[2 + 4 * w + b], src[offset + 4 * w + 3 - b]) << count << " " << offset << " " << w;
            EXPECT_EQ(dst[0], 0xEE);
            EXPECT_EQ(dst[1], 0xEE);
            EXPECT_EQ(dst[2 + 4 * count], 0xEE) << count;
            std::vector<uint8_t> same(src.begin() + offset, src.begin() + offset + 4 * count);
            byteorder::CopySwap32(same.data(), same.data(), count);
            EXPECT_TRUE(std::equal(same.begin(), same.end(), dst.begin() + 2)) << count;
        }
    }
    float f;
    uint8_t back[4];
    byteorder::CopySwap32(&f, nan, 1);
    byteorder::CopySwap32(back, &f, 1);
    EXPECT_EQ(std::memcmp(back, nan, 4), 0);
}

TEST_F(BigEndianBufferTest, BulkSinglesMatchOneByOne) {
    std::vector<float> values(37);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<float>(i) * -1.375f + 0.1f;
    int32_t c = 0;
    BufWriteLong(c, 7);
    BufWriteSingles(c, values.data(), values.size());
    std::vector<uint8_t> bulk = Bytes();
    gTrackBuffer.assign(1, 0);
    c = 0;
    BufWriteLong(c, 7);
    for (float v : values) BufWriteSingle(c, v);
    EXPECT_EQ(bulk, Bytes());
    std::vector<float> back(values.size());
    c = 4;
    BufReadSingles(c, back.data(), back.size());
    EXPECT_EQ(back, values);
    EXPECT_EQ(c, static_cast<int32_t>(4 + 4 * values.size()));
    c = 8;
    BufReadSingles(c, back.data(), back.size());
    EXPECT_TRUE(BufReadFailed());
}

class FileBufferTest : public ::testing::Test {
protected:
    fb::TempDir dir;
    void SetUp() override {
        ClearFileBuffer();
        FileBufResetReadError();
    }
};

TEST_F(FileBufferTest, LittleEndianReaders) {
    gFileBuffer = {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F, 'o', 'b', 's', 'f'};
    int32_t c = 0;
    EXPECT_EQ(FileBufReadLong(c), 1);
    EXPECT_EQ(FileBufReadLong(c), -2);
    EXPECT_EQ(FileBufReadSingle(c), 1.0f);
    EXPECT_EQ(FileBufReadTag(c), "OBSF");
    EXPECT_FALSE(FileBufReadFailed());
    EXPECT_EQ(FileBufReadLong(c), 0);
    EXPECT_TRUE(FileBufReadFailed());
    FileBufResetReadError();
    c = 14;
    EXPECT_EQ(FileBufReadTag(c), "");
    EXPECT_TRUE(FileBufReadFailed());
}

TEST_F(FileBufferTest, CopiesFilesByteForByte) {
    fb::Bytes content(70000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 131 + 7);
    fb::WriteBytes(dir.File("src.tga"), content);
    ASSERT_TRUE(LoadFileToBuffer(dir.File("src.tga"), fsys::kPictureFile));
    ASSERT_TRUE(SaveBufferToFile(dir.File("dst.tga")));
    EXPECT_EQ(fb::ReadBytes(dir.File("dst.tga")), content);
    // Saving does not change the buffer; saving over an existing file replaces it.
    EXPECT_EQ(gFileBuffer, content);
    fb::WriteBytes(dir.File("small"), {1, 2, 3});
    ASSERT_TRUE(LoadFileToBuffer(dir.File("small"), fsys::kPictureFile));
    ASSERT_TRUE(SaveBufferToFile(dir.File("dst.tga")));
    EXPECT_EQ(fb::ReadBytes(dir.File("dst.tga")), (fb::Bytes{1, 2, 3}));
}

TEST_F(FileBufferTest, EmptyFilesAndFailures) {
    fb::WriteBytes(dir.File("empty"), {});
    ASSERT_TRUE(LoadFileToBuffer(dir.File("empty"), fsys::kPictureFile));
    EXPECT_TRUE(gFileBuffer.empty());
    ASSERT_TRUE(SaveBufferToFile(dir.File("empty2")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("empty2")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("empty2")), 0u);
    int32_t c = 0;
    EXPECT_EQ(FileBufReadLong(c), 0);
    EXPECT_TRUE(FileBufReadFailed());

    gFileBuffer = {9, 8, 7};
    EXPECT_FALSE(LoadFileToBuffer(dir.File("missing"), fsys::kPictureFile));
    EXPECT_FALSE(LoadFileToBuffer("", fsys::kPictureFile));
    EXPECT_FALSE(LoadFileToBuffer(dir.path(), fsys::kPictureFile));
    EXPECT_EQ(gFileBuffer, (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_FALSE(SaveBufferToFile(""));
    EXPECT_FALSE(SaveBufferToFile(dir.File("no/such/dir/f")));
    ClearFileBuffer();
    EXPECT_EQ(gFileBuffer, std::vector<uint8_t>{0});
}

}  // namespace
