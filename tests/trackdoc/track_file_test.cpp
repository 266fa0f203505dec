// Track files: exact layouts, round trips of every record kind, and the
// loader's and saver's handling of names, tags and unknown chunks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "file_builder.h"
#include "platform/file_system.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

int32_t LongAt(const fb::Bytes& b, size_t offset) {
    return static_cast<int32_t>((uint32_t(b.at(offset)) << 24) | (uint32_t(b.at(offset + 1)) << 16) |
                                (uint32_t(b.at(offset + 2)) << 8) | uint32_t(b.at(offset + 3)));
}

size_t FindTag(const fb::Bytes& b, const char* tag) {
    for (size_t i = 0; i + 4 <= b.size(); ++i)
        if (std::memcmp(&b[i], tag, 4) == 0) return i;
    return std::string::npos;
}

class TrackFileTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTrackDocument(); }
    fb::TempDir dir;

    // Saves the document and returns the file's bytes.
    fb::Bytes Save(const std::string& name = "t.vxtrack") {
        EXPECT_TRUE(SaveTrackFile(dir.File(name)));
        return fb::ReadBytes(dir.File(name));
    }
    bool LoadBytes(const fb::Bytes& bytes, const std::string& name = "in.vxtrack") {
        fb::WriteBytes(dir.File(name), bytes);
        return LoadTrackFile(dir.File(name));
    }
};

TEST_F(TrackFileTest, EmptyDocumentIs665BytesWithTotal657) {
    const fb::Bytes b = Save();
    ASSERT_EQ(b.size(), 665u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "VRTX");
    EXPECT_EQ(LongAt(b, 4), 657);
    EXPECT_EQ(b[8], 1);
    EXPECT_EQ(b[9], 4);
    EXPECT_EQ(b[10], 0);
    EXPECT_EQ(b[11], 0);
    EXPECT_EQ(LongAt(b, 28), 3);
    // TRCK first, then SCEN, then ENVC, with the sizes of the formulas.
    EXPECT_EQ(std::string(b.begin() + 32, b.begin() + 36), "TRCK");
    EXPECT_EQ(LongAt(b, 36), 477);
    const size_t scen = 32 + 8 + 477;
    EXPECT_EQ(std::string(b.begin() + scen, b.begin() + scen + 4), "SCEN");
    EXPECT_EQ(LongAt(b, scen + 4), 88);
    const size_t envc = scen + 8 + 88;
    EXPECT_EQ(std::string(b.begin() + envc, b.begin() + envc + 4), "ENVC");
    EXPECT_EQ(LongAt(b, envc + 4), 44);
    EXPECT_EQ(b, fb::TrackFileFromDocument());
    EXPECT_EQ(gFileTotalSize, 657);
    EXPECT_EQ(gTopChunkCount, 3);
    EXPECT_EQ(gTRCKChildren, 4);
    EXPECT_EQ(gSUPPChildren, 5);
    EXPECT_EQ(gSCENChildren, 1);
    EXPECT_EQ(gSUPPSize, 276);
}

TEST_F(TrackFileTest, RichDocumentMatchesIndependentLayoutAndRoundTrips) {
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        fb::FillRichTrack(variant > 0, variant == 2);
        const fb::Bytes expected = fb::TrackFileFromDocument();
        const fb::Bytes saved = Save();
        ASSERT_EQ(saved, expected);
        EXPECT_EQ(LongAt(saved, 28), variant > 0 ? 4 : 3);
        ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
        // Every field is in the independent layout of the loaded document.
        EXPECT_EQ(fb::TrackFileFromDocument(), expected);
        EXPECT_EQ(Save("again.vxtrack"), expected);
        EXPECT_EQ(gTrackBuffer.size(), expected.size());  // a save leaves its bytes in the buffer
    }
}

TEST_F(TrackFileTest, LoadedValuesMatchWhatWasSaved) {
    fb::FillRichTrack(true, true);
    const std::string trainName = gTrains[2].Name, info = gTrackInfo, objectFile = gObjects[0].FileName;
    Save();
    ClearTrackDocument();
    ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(gFileVersion[0], 1);
    EXPECT_EQ(gFileVersion[1], 4);
    EXPECT_EQ(gHeaderFlag, 0x5A);
    EXPECT_EQ(gTrackStyle, 11);
    ASSERT_EQ(gTrainCount, 3);
    ASSERT_EQ(gTrains.size(), 4u);  // one spare record
    EXPECT_EQ(gTrains[2].Name, trainName);
    EXPECT_EQ(fb::Writer::Latin1FromUtf8(gTrains[2].Name).size(), 256u);  // every byte value
    EXPECT_EQ(gTrains[0].Color4, 0xAABBCC);
    EXPECT_TRUE(gTrains[0].Flag);
    EXPECT_EQ(gRunMode, 1);
    EXPECT_EQ(gTrackInfo, info);
    EXPECT_EQ(gObjects[0].FileName, objectFile);
    EXPECT_EQ(gTrackExtraColors[3], 0x0A0B0C);
    ASSERT_EQ(gSegmentCount, 6);
    EXPECT_TRUE(gClosedCircuit);
    EXPECT_EQ(gSegments[5].SegmentType, 7);
    EXPECT_EQ(gSegments[1].Station.StationExtraByte2, 0xB2);
    EXPECT_FLOAT_EQ(gSegments[1].Station.StationExtraValue, -7.25f);
    EXPECT_TRUE(gSegments[1].Station.StationExtraFlag);
    EXPECT_EQ(gSegments[2].Lift.LiftStyle, 1);
    EXPECT_TRUE(gSegments[3].Transport.RightRailing);
    EXPECT_EQ(gSegments[4].Brake.BrakeExtraByte, 0x7E);
    EXPECT_FLOAT_EQ(gSegments[4].Brake.TriggerPosition, 0.625f);
    EXPECT_FALSE(gFooters[0].CustomRotation);
    EXPECT_FLOAT_EQ(gFooters[1].Size, 9.0f);  // kept though CustomSize is false
    ASSERT_EQ(gRascGroupCount, 3);
    EXPECT_EQ(gRascGroups[1].ItemCount, 0);
    EXPECT_TRUE(gRascGroups[1].Items.empty());
    ASSERT_EQ(gRascGroups[0].Items.size(), 3u);
    EXPECT_EQ(gRascGroups[0].Items[1].Style, 7);
    EXPECT_EQ(gTubes[1].EndAIndex, 1);
    EXPECT_EQ(gTubes[1].EndASegment, 2);
    EXPECT_EQ(gTubes[1].Reserved, 77);
    EXPECT_EQ(gCatwalks[2].PadLength, 17);
    EXPECT_EQ(gCatwalks[1].Extra2, 65536);
    EXPECT_EQ(gTrees[1].TreeType, 3);
    EXPECT_FLOAT_EQ(gObjects[1].Transform(1, 3), 2.0f);
    EXPECT_TRUE(gHasTerrain);
    EXPECT_TRUE(gHasWater);
    EXPECT_EQ(gTerrainWidth, 5);
    EXPECT_EQ(gTerrainDepth, 3);
    EXPECT_EQ(gTerrainHeights.Columns, 6);
    EXPECT_EQ(gTerrainHeights.Rows, 4);
    EXPECT_FLOAT_EQ(gTerrainHeights(4, 2), 2.0f + 14.0f / 64.0f);
    EXPECT_FLOAT_EQ(gTerrainHeights(0, 1), 2.0f - 7.0f / 64.0f);
    EXPECT_FLOAT_EQ(gTerrainHeights(5, 3), 0.0f);  // the spare corner
    EXPECT_EQ(gTerrainText3, "water \xC2\x99");  // the byte 0x99 as U+0099
    EXPECT_EQ(gTerrainByte, 0xEE);
    EXPECT_EQ(gEnvironmentName, "Sunset \xC3\xA4");
    EXPECT_EQ(gEnvironmentText2, "second");
    EXPECT_EQ(gTrackBuffer.size(), 1u);  // the buffer is released after a load
    EXPECT_LT(gTrackBuffer.capacity(), 16u) << "and its memory given back";
}

TEST_F(TrackFileTest, RecordLayoutsSitAtTheirOffsets) {
    gNodeCount = 1;
    gNodes.assign(2, TrackNode{});
    gNodes[0].Roll = 1.0f;
    gNodes[0].RollEasing = true;
    gNodes[0].StrictRoll = true;
    gSegmentCount = 2;
    gSegments.assign(3, TrackSegment{});
    gSegments[0].SegmentType = 4;
    gSegments[0].Brake.CompleteStop = true;
    gSegments[0].Brake.TriggerPosition = 1.0f;
    gSegments[0].SpineStyle = 8;
    gSegments[1].SegmentType = 7;
    gCatwalkCount = 1;
    gCatwalks.assign(2, TrackCatwalk{});
    gCatwalks[0].PadLength = 3;
    gTubeCount = 1;
    gTubes.assign(2, SupportTube{});
    gTubes[0] = SupportTube{3, 11, 22, 1, 33, 44, 5, 6, 0.0f};
    const fb::Bytes b = Save();

    const size_t bezr = FindTag(b, "BEZR");
    EXPECT_EQ(LongAt(b, bezr + 4), 40 + 60);
    const size_t node = bezr + 8 + 20;
    EXPECT_EQ(LongAt(b, node + 36), 0x3F800000);
    EXPECT_EQ(b[node + 40], 0xFF);  // roll easing
    EXPECT_EQ(b[node + 41], 0x00);  // the kept flag
    EXPECT_EQ(b[node + 42], 0xFF);  // strict roll

    const size_t segm = FindTag(b, "SEGM");
    EXPECT_EQ(LongAt(b, segm + 4), 41 + 87 + 33);  // a brake segment, then one of type 7
    const size_t seg = segm + 8 + 21;
    EXPECT_EQ(LongAt(b, seg), 4);
    EXPECT_EQ(b[seg + 21], 8);
    EXPECT_EQ(LongAt(b, seg + 33), 50);
    EXPECT_EQ(LongAt(b, seg + 37 + 16), 0x3F800000);  // trigger position
    EXPECT_EQ(b[seg + 37 + 36], 0xFF);                 // complete stop
    const size_t seg7 = seg + 87;
    EXPECT_EQ(LongAt(b, seg7), 7);
    // 33 bytes later comes the closing zero run and child count, no payload length.
    EXPECT_EQ(LongAt(b, seg7 + 33 + 16), 0);
    EXPECT_EQ(LongAt(b, seg7 + 33 + 20), static_cast<int32_t>(0x53555050));  // "SUPP"

    const size_t tube = FindTag(b, "TUBE") + 8 + 20;  // ends stored kind, segment, index
    EXPECT_EQ(LongAt(b, tube + 0), 3);
    EXPECT_EQ(LongAt(b, tube + 4), 22);
    EXPECT_EQ(LongAt(b, tube + 8), 11);
    EXPECT_EQ(LongAt(b, tube + 16), 1);
    EXPECT_EQ(LongAt(b, tube + 20), 44);
    EXPECT_EQ(LongAt(b, tube + 24), 33);
    EXPECT_EQ(LongAt(b, tube + 32), 5);
    EXPECT_EQ(LongAt(b, tube + 36), 6);

    const size_t catw = FindTag(b, "CATW");
    EXPECT_EQ(LongAt(b, catw + 4), 40 + 28 + 3);
    EXPECT_EQ(LongAt(b, catw + 8 + 20 + 24), 3);
}

TEST_F(TrackFileTest, TerrainWritesFourTopChunksWithTeraBeforeEnvc) {
    fb::FillRichTrack(true, false);
    const fb::Bytes b = Save();
    EXPECT_EQ(LongAt(b, 28), 4);
    const size_t tera = FindTag(b, "TERA"), envc = FindTag(b, "ENVC"), scob = FindTag(b, "SCOB");
    ASSERT_NE(tera, std::string::npos);
    EXPECT_LT(scob, tera);
    EXPECT_EQ(tera + 8 + static_cast<size_t>(LongAt(b, tera + 4)), envc);
    EXPECT_EQ(LongAt(b, tera + 4), 81 + 10 + 0 + 7 + 4 * 5 * 3);
    // Heights run row by row along X: the second value is point (1, 0).
    const size_t heights = tera + 8 + 81 - 20 + 10 + 7;
    float second;
    const uint32_t bits = static_cast<uint32_t>(LongAt(b, heights + 4));
    std::memcpy(&second, &bits, 4);
    EXPECT_FLOAT_EQ(second, gTerrainHeights(1, 0));
}

TEST_F(TrackFileTest, TrackWithoutTerrainLoadsWithSinglePointGrid) {
    fb::FillRichTrack(true, true);
    Save("with.vxtrack");
    fb::FillRichTrack(false, false);
    gEnvironmentName.clear();
    gEnvironmentText2.clear();
    Save("without.vxtrack");
    ASSERT_TRUE(LoadTrackFile(dir.File("with.vxtrack")));
    EXPECT_FALSE(gEnvironmentName.empty());
    ASSERT_TRUE(LoadTrackFile(dir.File("without.vxtrack")));
    EXPECT_FALSE(gHasTerrain);
    EXPECT_FALSE(gHasWater);
    EXPECT_EQ(gTerrainHeights.Values.size(), 1u);
    EXPECT_TRUE(gEnvironmentName.empty());
}

TEST_F(TrackFileTest, ChangedSegmentTypeKeepsOldBlockUntilSavedAndReloaded) {
    fb::FillRichTrack(false, false);
    gSegments[1].SegmentType = SegmentLift;  // was a station
    gSegments[1].Lift.MotorSpeed = 6.5f;
    EXPECT_FLOAT_EQ(gSegments[1].Station.MainBrakeDecel, 4.5f);
    Save();
    ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(gSegments[1].SegmentType, SegmentLift);
    EXPECT_FLOAT_EQ(gSegments[1].Lift.MotorSpeed, 6.5f);
    EXPECT_FLOAT_EQ(gSegments[1].Station.MainBrakeDecel, 0.0f);
    EXPECT_FALSE(gSegments[1].Station.Wheels);
}

TEST_F(TrackFileTest, VersionBytesAreKeptButWrittenAs1400) {
    fb::FillRichTrack(false, false);
    fb::Header h;
    h.version[0] = 1;
    h.version[1] = 3;
    h.version[2] = 7;
    h.version[3] = 9;
    h.flag = gHeaderFlag;
    fb::Bytes file = fb::TrackFile(fb::TrackChunksFromDocument(), h);
    ASSERT_TRUE(LoadBytes(file));
    EXPECT_EQ(gFileVersion[1], 3);
    EXPECT_EQ(gFileVersion[2], 7);
    EXPECT_EQ(gFileVersion[3], 9);
    const fb::Bytes saved = Save();
    file[9] = 4;
    file[10] = 0;
    file[11] = 0;
    EXPECT_EQ(saved, file);
}

TEST_F(TrackFileTest, MagicAndTagsMatchWhateverTheirCase) {
    fb::FillRichTrack(true, false);
    const fb::Bytes expected = fb::TrackFileFromDocument();
    fb::Header h;
    h.magic = "vrtx";
    h.flag = gHeaderFlag;
    std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
    chunks[0].tag = "trck";
    chunks[0].children[1].tag = "Bezr";
    chunks.back().tag = "envC";
    ASSERT_TRUE(LoadBytes(fb::TrackFile(chunks, h)));
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(Save(), expected);
}

// So does a file larger than a track file can be (a sparse one of 10 GB), refused
// unread with the reason in errno.
TEST_F(TrackFileTest, WrongMagicFailsAndLeavesTheDocumentCleared) {
    fb::FillRichTrack(false, false);
    fb::Header h;
    h.magic = "VRTY";
    const fb::Bytes file = fb::TrackFile(fb::TrackChunksFromDocument(), h);
    ASSERT_FALSE(LoadBytes(file));
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gTrainCount, 0);
    EXPECT_EQ(gNodes.size(), 1u);

    fb::FillRichTrack(false, false);
    fb::WriteBytes(dir.File("huge.vxtrack"), fb::TrackFileFromDocument());
    std::filesystem::resize_file(dir.File("huge.vxtrack"), uintmax_t{10} << 30);
    EXPECT_FALSE(LoadTrackFile(dir.File("huge.vxtrack")));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(gNodeCount, 0);
}

TEST_F(TrackFileTest, UnknownChunksAreSkippedByTheirSizeAndDropped) {
    fb::FillRichTrack(true, true);
    const fb::Bytes expected = fb::TrackFileFromDocument();
    std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
    // An unknown chunk with a child of its own, at the top level ...
    fb::Chunk extra;
    extra.tag = "XTRA";
    extra.body.Raw(std::string("\x01\x02\x03\x04\x05", 5));
    fb::Chunk inner;
    inner.tag = "BEZR";  // a known tag inside an unknown chunk is skipped with it
    inner.body.Zeros(16).Long(0).Zeros(16);
    extra.children.push_back(inner);
    chunks.insert(chunks.begin() + 1, extra);
    // ... and one among TRCK's children, after INFO.
    fb::Chunk odd;
    odd.tag = "ODD1";
    odd.body.Zeros(9);
    chunks[0].children.insert(chunks[0].children.begin() + 1, odd);
    fb::Header h;
    h.flag = gHeaderFlag;
    ASSERT_TRUE(LoadBytes(fb::TrackFile(chunks, h)));
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(gTRCKChildren, 5);
    EXPECT_EQ(Save(), expected);
}

TEST_F(TrackFileTest, ChunksAreFoundByTagWhereverTheyStandAndRepeatsOverwrite) {
    fb::FillRichTrack(false, false);
    const fb::Bytes expected = fb::TrackFileFromDocument();
    std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
    // ENVC first, then an ENVC with another name, then the rest; the second wins.
    fb::Chunk envc1;
    envc1.tag = "ENVC";
    envc1.body.Zeros(16).Text("first").Text("").Zeros(16);
    std::vector<fb::Chunk> reordered = {envc1, chunks[2], chunks[0], chunks[1]};
    ASSERT_TRUE(LoadBytes(fb::TrackFile(reordered, [] { fb::Header h; h.flag = 0x5A; return h; }())));
    EXPECT_EQ(gEnvironmentName, "Sunset \xC3\xA4");
    EXPECT_EQ(Save(), expected);
}

TEST_F(TrackFileTest, NonPositiveTextLengthsReadAsEmptyWhereTheFormatSaysSo) {
    fb::FillRichTrack(false, false);
    gTrains[0].Name.clear();
    gTrackInfo.clear();
    gEnvironmentName.clear();
    const fb::Bytes expected = fb::TrackFileFromDocument();
    // The same file with -1 (and INT32_MIN) in place of each of those zero lengths.
    fb::Bytes file = expected;
    const size_t trck = FindTag(file, "TRCK"), info = FindTag(file, "INFO"), envc = FindTag(file, "ENVC");
    auto put = [&file](size_t at, int32_t v) {
        for (int k = 0; k < 4; ++k) file[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (24 - 8 * k));
    };
    ASSERT_EQ(LongAt(file, trck + 8 + 12 + 8), 0);
    put(trck + 8 + 12 + 8, -1);
    ASSERT_EQ(LongAt(file, info + 8 + 16), 0);
    put(info + 8 + 16, INT32_MIN);
    ASSERT_EQ(LongAt(file, envc + 8 + 16), 0);
    put(envc + 8 + 16, -5);
    ASSERT_TRUE(LoadBytes(file));
    EXPECT_TRUE(gTrains[0].Name.empty());
    EXPECT_TRUE(gTrackInfo.empty());
    EXPECT_TRUE(gEnvironmentName.empty());
    EXPECT_EQ(gEnvironmentText2, "second");
    EXPECT_EQ(Save(), expected);
}

// Texts are single bytes on disk and UTF-8 in the document: a description and
// an object name holding 0xE9 read as "é" and are saved as the same bytes
// (their lengths counting bytes on disk); a text the code page cannot hold
// keeps the track from being written at all.
TEST_F(TrackFileTest, TextsAreSingleBytesOnDiskAndUtf8InTheDocument) {
    fb::FillRichTrack(false, false);
    gTrackInfo = "Caf\xC3\xA9 \xC3\x89t\xC3\xA9";  // "Café Été"
    gObjects[0].FileName = "Trees\\\xC3\xA9rable.3ds";
    const fb::Bytes file = fb::TrackFileFromDocument();
    // The file holds each as one byte per character, its length counting those bytes.
    const size_t infoText = FindTag(file, "INFO") + 8 + 16;
    EXPECT_EQ(LongAt(file, infoText), 8);
    EXPECT_EQ(std::string(file.begin() + infoText + 4, file.begin() + infoText + 12), "Caf\xE9 \xC9t\xE9");
    const std::string text = std::string("\0\0\0\x10", 4) + "Trees\\\xE9rable.3ds";
    const fb::Bytes name(text.begin(), text.end());
    EXPECT_NE(std::search(file.begin(), file.end(), name.begin(), name.end()), file.end());

    ClearTrackDocument();
    ASSERT_TRUE(LoadBytes(file));
    EXPECT_EQ(gTrackInfo, "Caf\xC3\xA9 \xC3\x89t\xC3\xA9");
    EXPECT_EQ(gObjects[0].FileName, "Trees\\\xC3\xA9rable.3ds");
    const fb::Bytes saved = Save();
    EXPECT_EQ(saved, file);

    // Never written with marks in place of what the code page lacks.
    gObjects[1].FileName = "\xE6\x9D\xBE.3ds";
    EXPECT_FALSE(SaveTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(fb::ReadBytes(dir.File("t.vxtrack")), saved);
    gObjects[1].FileName = "caf\xE9.3ds";  // no UTF-8
    EXPECT_FALSE(SaveTrackFile(dir.File("new.vxtrack")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.vxtrack")));
}

TEST_F(TrackFileTest, SaveAppendsTheExtensionOnlyWhenMissing) {
    fb::FillRichTrack(false, false);
    ASSERT_TRUE(SaveTrackFile(dir.File("plain")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("plain.vxtrack")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain")));
    ASSERT_TRUE(SaveTrackFile(dir.File("LOUD.VXTRACK")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("LOUD.VXTRACK")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("LOUD.VXTRACK.vxtrack")));
    EXPECT_TRUE(LoadTrackFile(dir.File("LOUD.VXTRACK")));
}

TEST_F(TrackFileTest, SaveReplacesAnExistingFileWholeAndReportsFailure) {
    fb::FillRichTrack(true, false);
    const fb::Bytes big = Save();
    ClearTrackDocument();
    const fb::Bytes small = Save();  // over the bigger file
    EXPECT_EQ(small.size(), 665u);
    EXPECT_NE(big.size(), small.size());
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u);  // no temporary file left behind
    EXPECT_FALSE(SaveTrackFile(dir.File("no/such/folder/t.vxtrack")));
    EXPECT_FALSE(SaveTrackFile(""));
    std::filesystem::create_directory(dir.File("taken.vxtrack"));
    EXPECT_FALSE(SaveTrackFile(dir.File("taken.vxtrack")));
}

// A track whose file would be larger than a track file can be (a terrain of
// 4096 x 4096 heights: 64 MiB and more) is not saved, since the next open
// would refuse it: nothing is written, the old file stays, and the reason
// names the bound.
TEST_F(TrackFileTest, ATrackTooLargeToOpenAgainIsNotSaved) {
    const fb::Bytes old = Save("ride.vxtrack");
    gHasTerrain = true;
    gTerrainWidth = gTerrainDepth = 4096;
    errno = 0;
    EXPECT_FALSE(SaveTrackFile(dir.File("ride.vxtrack")));
    EXPECT_EQ(errno, fsys::kLargerThanItsKindError);
    EXPECT_EQ(fsys::WriteFailureReason(errno),
              "The file would be larger than a track file can be (at most 64 MiB).");
    EXPECT_EQ(fb::ReadBytes(dir.File("ride.vxtrack")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(TrackFileTest, LoadRefusesMissingFilesAndOtherExtensionsWithoutTouchingTheDocument) {
    fb::FillRichTrack(false, false);
    Save("ok.vxtrack");
    std::filesystem::copy_file(dir.File("ok.vxtrack"), dir.File("ok.vxelem"));
    std::filesystem::copy_file(dir.File("ok.vxtrack"), dir.File("ok.vxtrackx"));
    EXPECT_FALSE(LoadTrackFile(""));
    EXPECT_FALSE(LoadTrackFile(dir.File("missing.vxtrack")));
    EXPECT_FALSE(LoadTrackFile(dir.File("ok.vxelem")));
    EXPECT_FALSE(LoadTrackFile(dir.File("ok.vxtrackx")));
    EXPECT_FALSE(LoadTrackFile(dir.path()));
    EXPECT_EQ(gNodeCount, 4);
    EXPECT_EQ(gTrainCount, 3);
}

TEST_F(TrackFileTest, NegativePaddingInMemoryIsWrittenAsNone) {
    fb::FillRichTrack(false, false);
    gCatwalks[1].PadLength = -9;
    const fb::Bytes saved = Save();
    ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(gCatwalks[1].PadLength, 0);
    EXPECT_EQ(gCatwalks[1].Extra2, 65536);
    EXPECT_EQ(gCatwalkCount, 3);
    EXPECT_EQ(Save("again.vxtrack"), saved);
}

TEST_F(TrackFileTest, CountsOutOfStepWithTheirArraysStillGiveAConsistentFile) {
    fb::FillRichTrack(true, false);
    gNodeCount = 50;          // more than the array holds
    gTubeCount = -3;          // negative
    gRascGroups[0].ItemCount = 9;
    gTerrainHeights.Resize(2, 2);  // smaller than the stated 5 x 3
    const fb::Bytes saved = Save();
    ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(gNodeCount, 5);
    EXPECT_EQ(gTubeCount, 0);
    EXPECT_EQ(gRascGroups[0].ItemCount, 3);
    EXPECT_EQ(gTerrainWidth, 5);
    EXPECT_EQ(gTerrainDepth, 3);
    EXPECT_EQ(gTerrainHeights(4, 2), 0.0f);
    EXPECT_EQ(Save("again.vxtrack"), saved);
}

TEST_F(TrackFileTest, ClearTrackDocumentEmptiesEverything) {
    fb::FillRichTrack(true, true);
    gTRCKSize = 5;
    ClearTrackDocument();
    EXPECT_EQ(gNodeCount + gSegmentCount + gFooterCount + gRascGroupCount + gFreeNodeCount + gTubeCount +
                  gCatwalkCount + gTreeCount + gObjectCount + gTrainCount,
              0);
    for (size_t n : {gNodes.size(), gSegments.size(), gFooters.size(), gRascGroups.size(), gFreeNodes.size(),
                     gTubes.size(), gCatwalks.size(), gTrees.size(), gObjects.size(), gTrains.size()})
        EXPECT_EQ(n, 1u);
    EXPECT_FALSE(gHasTerrain);
    EXPECT_FALSE(gHasWater);
    EXPECT_TRUE(gEnvironmentName.empty());
    EXPECT_TRUE(gTrackInfo.empty());
    EXPECT_EQ(gTerrainHeights.Values.size(), 1u);
    EXPECT_EQ(gTRCKSize, 0);
    EXPECT_EQ(gHeaderFlag, 0);
    EXPECT_EQ(gTrackBuffer.size(), 1u);
}

TEST(TrackDocumentCodes, NamesOfTheCodeTables) {
    EXPECT_STREQ(TrackStyleName(0), "Steel Looping");
    EXPECT_STREQ(TrackStyleName(12), "Wooden Coaster (Trailored 4 Seat)");
    EXPECT_STREQ(TrackStyleName(13), "Unknown");
    EXPECT_STREQ(TrackStyleName(-1), "Unknown");
    EXPECT_STREQ(SegmentTypeName(3), "Transport");
    EXPECT_STREQ(PrefabStyleName(7), "'A' Shape");
    EXPECT_STREQ(PrefabStyleName(8), "Unknown");
    EXPECT_STREQ(TubeTypeName(8), "1 x 4 Wood Beam");
    EXPECT_TRUE(IsInvertedStyle(4));
    EXPECT_FALSE(IsInvertedStyle(3));
    EXPECT_TRUE(IsWoodenStyle(9));
    EXPECT_FALSE(IsWoodenStyle(13));
}

}  // namespace
