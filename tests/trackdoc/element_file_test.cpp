// Element files: layout, round trips, names and the kept size field.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "file_builder.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class ElementFileTest : public ::testing::Test {
protected:
    fb::TempDir dir;
    void SetUp() override { ClearElementDocument(); }
    bool Load(const fb::Bytes& bytes, const std::string& name = "in.vxelem") {
        fb::WriteBytes(dir.File(name), bytes);
        return LoadElementFile(dir.File(name));
    }
    fb::Bytes Save(const std::string& name = "e.vxelem") {
        EXPECT_TRUE(SaveElementFile(dir.File(name)));
        return fb::ReadBytes(dir.File(name));
    }
};

TEST_F(ElementFileTest, RoundTripMatchesIndependentLayout) {
    fb::FillElement(5);
    const fb::Bytes expected = fb::ElementFileFromDocument();
    ASSERT_EQ(expected.size(), 144u + 50u * 4u);
    ASSERT_EQ(Save(), expected);
    const std::vector<TrackNode> before(gElementNodes.begin(), gElementNodes.begin() + 5);
    ClearElementDocument();
    ASSERT_TRUE(LoadElementFile(dir.File("e.vxelem")));
    ASSERT_EQ(gElementNodeCount, 5);
    ASSERT_EQ(gElementNodes.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(gElementNodes[i].Position.X, before[i].Position.X);
        EXPECT_FLOAT_EQ(gElementNodes[i].ControlIn.Z, before[i].ControlIn.Z);
        if (i < 4) {  // the last node's outgoing control point is not stored
            EXPECT_FLOAT_EQ(gElementNodes[i].ControlOut.Y, before[i].ControlOut.Y);
        }
        EXPECT_FLOAT_EQ(gElementNodes[i].Roll, before[i].Roll);
        EXPECT_EQ(gElementNodes[i].RollEasing, before[i].RollEasing);
        EXPECT_EQ(gElementNodes[i].StrictRoll, before[i].StrictRoll);
        EXPECT_FALSE(gElementNodes[i].NodeFlag3);
    }
    // The last node's outgoing control point is not in the file.
    EXPECT_FLOAT_EQ(gElementNodes[4].ControlOut.X, 0.0f);
    EXPECT_EQ(Save("again.vxelem"), fb::ElementFileFromDocument());
}

TEST_F(ElementFileTest, FirstNodeSitsAtTheOriginWithOnlyItsControlOutFromTheFile) {
    fb::Writer rec;
    rec.Vec(1, 2, 3).Vec(4, 5, 6).Vec(7, 8, 9).Single(0.5f).U8(1).U8(0x40).Zeros(8);
    ASSERT_TRUE(Load(fb::ElementFile(186, 1, rec.bytes())));
    ASSERT_EQ(gElementNodeCount, 2);
    const TrackNode& n0 = gElementNodes[0];
    EXPECT_EQ(n0.Position.X + n0.Position.Y + n0.Position.Z, 0.0f);
    EXPECT_EQ(n0.ControlIn.X + n0.ControlIn.Y + n0.ControlIn.Z, 0.0f);
    EXPECT_EQ(n0.Roll, 0.0f);
    EXPECT_FALSE(n0.RollEasing || n0.StrictRoll || n0.NodeFlag3);
    EXPECT_FLOAT_EQ(n0.ControlOut.X, 1.0f);
    EXPECT_FLOAT_EQ(n0.ControlOut.Z, 3.0f);
    const TrackNode& n1 = gElementNodes[1];
    EXPECT_FLOAT_EQ(n1.ControlIn.Y, 5.0f);
    EXPECT_FLOAT_EQ(n1.Position.Z, 9.0f);
    EXPECT_FLOAT_EQ(n1.Roll, 0.5f);
    // Any non-zero flag byte reads as true and is written as 0xFF.
    EXPECT_TRUE(n1.RollEasing);
    EXPECT_TRUE(n1.StrictRoll);
    const fb::Bytes saved = Save();
    EXPECT_EQ(saved[76 + 40], 0xFF);
    EXPECT_EQ(saved[76 + 41], 0xFF);
}

TEST_F(ElementFileTest, EmptyElementIsOneNodeAnd144Bytes) {
    ASSERT_TRUE(Load(fb::ElementFile(136, 0, {})));
    EXPECT_EQ(gElementNodeCount, 1);
    EXPECT_EQ(gElementNodes.size(), 2u);
    const fb::Bytes saved = Save();
    EXPECT_EQ(saved, fb::ElementFile(136, 0, {}));
}

TEST_F(ElementFileTest, FileWithoutItsClosingBytesLoadsAndIsSavedWithThem) {
    fb::FillElement(3);
    const fb::Bytes whole = fb::ElementFileFromDocument();
    fb::Writer rec;
    rec.Vec(1, 2, 3).Vec(4, 5, 6).Vec(7, 8, 9).Single(0.5f).U8(0).U8(0).Zeros(8);
    const fb::Bytes bare = fb::ElementFile(186, 1, rec.bytes(), false);
    ASSERT_EQ(bare.size(), 76u + 50u);
    ASSERT_TRUE(Load(bare));
    EXPECT_EQ(gElementNodeCount, 2);
    EXPECT_FLOAT_EQ(gElementNodes[1].Position.Y, 8.0f);
    EXPECT_EQ(Save(), fb::ElementFile(186, 1, rec.bytes()));
    // Bytes after the last record, whatever they are, are never read.
    fb::Bytes tail = whole;
    for (size_t i = 76 + 50 * 2; i < tail.size(); ++i) tail[i] = 0xA5;
    ASSERT_TRUE(Load(tail));
    EXPECT_EQ(Save(), whole);
}

TEST_F(ElementFileTest, ElementWithoutNodesIsNeverWrittenWithANegativeCount) {
    ClearElementDocument();  // gElementNodeCount 0
    const fb::Bytes saved = Save();
    ASSERT_EQ(saved.size(), 144u);
    EXPECT_EQ(saved[72] | saved[73] | saved[74] | saved[75], 0);
    EXPECT_TRUE(LoadElementFile(dir.File("e.vxelem")));
    EXPECT_EQ(gElementNodeCount, 1);
    // A node count larger than the array holds writes only the nodes there are.
    gElementNodeCount = 40;
    EXPECT_EQ(Save().size(), 144u + 50u);
}

TEST_F(ElementFileTest, SizeFieldIsKeptAsRead) {
    fb::FillElement(3);
    gElementSize = 12345;
    ASSERT_TRUE(Load(fb::ElementFileFromDocument()));
    EXPECT_EQ(gElementSize, 12345);
    const fb::Bytes saved = Save();
    EXPECT_EQ(saved[4], 0x00);
    EXPECT_EQ(saved[6], 0x30);
    EXPECT_EQ(saved[7], 0x39);
}

TEST_F(ElementFileTest, ExtensionsAndMissingFiles) {
    fb::FillElement(2);
    ASSERT_TRUE(SaveElementFile(dir.File("piece")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("piece.vxelem")));
    ASSERT_TRUE(SaveElementFile(dir.File("PIECE.VXELEM")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("PIECE.VXELEM.vxelem")));
    EXPECT_TRUE(LoadElementFile(dir.File("PIECE.VXELEM")));
    std::filesystem::copy_file(dir.File("piece.vxelem"), dir.File("piece.vxtrack"));
    EXPECT_FALSE(LoadElementFile(dir.File("piece.vxtrack")));
    EXPECT_FALSE(LoadElementFile(dir.File("none.vxelem")));
    EXPECT_FALSE(LoadElementFile(""));
    EXPECT_EQ(gElementNodeCount, 2);  // untouched by the refusals above
    // Larger than an element file can be: refused unread, the reason in errno.
    std::filesystem::resize_file(dir.File("piece.vxelem"), uintmax_t{10} << 30);
    EXPECT_FALSE(LoadElementFile(dir.File("piece.vxelem")));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_FALSE(SaveElementFile(""));
    EXPECT_FALSE(SaveElementFile(dir.File("no/folder/x.vxelem")));
}

TEST_F(ElementFileTest, TrackAndElementDocumentsAreIndependent) {
    fb::FillRichTrack(false, false);
    fb::FillElement(3);
    Save();
    ASSERT_TRUE(LoadElementFile(dir.File("e.vxelem")));
    EXPECT_EQ(gNodeCount, 4);
    ASSERT_TRUE(SaveTrackFile(dir.File("t.vxtrack")));
    ASSERT_TRUE(LoadTrackFile(dir.File("t.vxtrack")));
    EXPECT_EQ(gElementNodeCount, 3);
}

}  // namespace
