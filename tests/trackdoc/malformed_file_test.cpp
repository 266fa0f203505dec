// Damaged track and element files: the loaders must refuse them (false),
// without reading past the file, allocating what the file cannot hold, or
// looping. Run under AddressSanitizer and UBSan by `make test`.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

#include "file_builder.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

size_t FindTag(const fb::Bytes& b, const char* tag) {
    for (size_t i = 0; i + 4 <= b.size(); ++i)
        if (std::memcmp(&b[i], tag, 4) == 0) return i;
    ADD_FAILURE() << "no tag " << tag;
    return 0;
}

void PutLong(fb::Bytes& b, size_t at, int32_t v) {
    for (int k = 0; k < 4; ++k) b.at(at + k) = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (24 - 8 * k));
}

int32_t LongAt(const fb::Bytes& b, size_t at) {
    return static_cast<int32_t>((uint32_t(b.at(at)) << 24) | (uint32_t(b.at(at + 1)) << 16) |
                                (uint32_t(b.at(at + 2)) << 8) | uint32_t(b.at(at + 3)));
}

class MalformedTrackTest : public ::testing::Test {
protected:
    fb::TempDir dir;
    fb::Bytes rich;

    void SetUp() override {
        fb::FillRichTrack(true, true);
        rich = fb::TrackFileFromDocument();
    }

    bool Load(const fb::Bytes& bytes) {
        fb::WriteBytes(dir.File("bad.vxtrack"), bytes);
        return LoadTrackFile(dir.File("bad.vxtrack"));
    }

    // The rich file with the Long at a body offset of a chunk replaced.
    fb::Bytes With(const char* tag, size_t bodyOffset, int32_t value) {
        fb::Bytes b = rich;
        PutLong(b, FindTag(b, tag) + 8 + bodyOffset, value);
        return b;
    }
};

TEST_F(MalformedTrackTest, EveryTruncationIsRefused) {
    ASSERT_TRUE(Load(rich));
    for (size_t len = 0; len < rich.size(); ++len) {
        const fb::Bytes cut(rich.begin(), rich.begin() + static_cast<std::ptrdiff_t>(len));
        ASSERT_FALSE(Load(cut)) << "length " << len;
    }
    // A refused load leaves an empty document, not half of one.
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gNodes.size(), 1u);
    EXPECT_FALSE(gHasTerrain);
}

TEST_F(MalformedTrackTest, NegativeAndOversizedCountsAreRefused) {
    struct Field {
        const char* tag;
        size_t offset;
    };
    const Field counts[] = {{"TRCK", 4},  {"BEZR", 16}, {"SEGM", 0},  {"FUND", 16}, {"RASC", 16},
                            {"FREN", 16}, {"TUBE", 16}, {"CATW", 16}, {"SCEN", 16}, {"SCOB", 16},
                            {"TERA", 0},  {"TERA", 4}};
    for (const Field& f : counts) {
        for (int32_t v : {-1, -2, INT32_MIN, INT32_MAX, 0x7FFFFFF0, 0x10000000, 1 << 20}) {
            SCOPED_TRACE(std::string(f.tag) + " " + std::to_string(v));
            EXPECT_FALSE(Load(With(f.tag, f.offset, v)));
        }
    }
}

TEST_F(MalformedTrackTest, CountsSlightlyTooLargeNeverReadPastTheFile) {
    // One record more than present: the reader runs into the following bytes.
    // Whatever it makes of them, it stays inside the file: it either refuses
    // the file and leaves no document, or holds every record the count
    // claims, as a document that saves and loads again unchanged in its counts.
    const std::pair<const char*, const int32_t*> counts[] = {
        {"BEZR", &gNodeCount}, {"FUND", &gFooterCount}, {"FREN", &gFreeNodeCount}, {"TUBE", &gTubeCount},
        {"CATW", &gCatwalkCount}, {"SCEN", &gTreeCount}, {"SCOB", &gObjectCount}, {"RASC", &gRascGroupCount}};
    for (const auto& [tag, count] : counts) {
        const size_t at = FindTag(rich, tag) + 8 + 16;
        for (int extra = 1; extra <= 3; ++extra) {
            SCOPED_TRACE(std::string(tag) + " +" + std::to_string(extra));
            fb::Bytes b = rich;
            const int32_t claimed = LongAt(rich, at) + extra;
            PutLong(b, at, claimed);
            if (!Load(b)) {
                EXPECT_EQ(gNodeCount, 0);
                EXPECT_EQ(gNodes.size(), 1u);
                EXPECT_FALSE(gHasTerrain);
                continue;
            }
            EXPECT_EQ(*count, claimed);
            ASSERT_TRUE(SaveTrackFile(dir.File("again.vxtrack")));
            ASSERT_TRUE(LoadTrackFile(dir.File("again.vxtrack")));
            EXPECT_EQ(*count, claimed);
        }
    }
}

TEST_F(MalformedTrackTest, TerrainWhoseGridCannotFitIsRefused) {
    for (auto [w, d] : {std::pair{0, INT32_MAX}, {INT32_MAX, 0}, {65536, 65536}, {0, 1 << 24}, {1 << 24, 0},
                        {46341, 46341}, {-1, -1}, {-5, 3}, {5, -3}}) {
        fb::Bytes b = rich;
        const size_t tera = FindTag(b, "TERA") + 8;
        PutLong(b, tera, w);
        PutLong(b, tera + 4, d);
        EXPECT_FALSE(Load(b)) << w << " x " << d;
    }
}

TEST_F(MalformedTrackTest, TextLengthsThatCannotBeReadAreRefused) {
    const size_t trck = FindTag(rich, "TRCK") + 8, scob = FindTag(rich, "SCOB") + 8, tera = FindTag(rich, "TERA") + 8;
    const size_t info = FindTag(rich, "INFO") + 8, envc = FindTag(rich, "ENVC") + 8;
    // Longer than the rest of the file.
    for (size_t at : {trck + 20, info + 16, envc + 16, scob + 20, tera + 16}) {
        fb::Bytes b = rich;
        PutLong(b, at, static_cast<int32_t>(b.size()));
        EXPECT_FALSE(Load(b)) << at;
        PutLong(b, at, INT32_MAX);
        EXPECT_FALSE(Load(b)) << at;
    }
    // Scenery-object and terrain texts are read with whatever length the file
    // gives, so a negative one cannot stand.
    for (size_t at : {scob + 20, tera + 16}) {
        fb::Bytes b = rich;
        PutLong(b, at, -1);
        EXPECT_FALSE(Load(b)) << at;
    }
}

TEST_F(MalformedTrackTest, NegativeOrOversizedPaddingAndItemCountsAreRefused) {
    const size_t catw = FindTag(rich, "CATW") + 8 + 20;  // first catwalk record
    for (int32_t v : {-1, -28, INT32_MIN, INT32_MAX, static_cast<int32_t>(rich.size())}) {
        fb::Bytes b = rich;
        PutLong(b, catw + 24, v);
        EXPECT_FALSE(Load(b)) << v;
    }
    const size_t rasc = FindTag(rich, "RASC") + 8 + 20;  // first group's item count
    ASSERT_EQ(LongAt(rich, rasc), 2);
    for (int32_t v : {-1, INT32_MIN, INT32_MAX, 0x01000000}) {
        fb::Bytes b = rich;
        PutLong(b, rasc, v);
        EXPECT_FALSE(Load(b)) << v;
    }
}

TEST_F(MalformedTrackTest, ChildCountsThatNeverFinishOrRunBackwardsAreRefused) {
    // The top count and every child count, far too large or negative.
    for (int32_t v : {INT32_MAX, 1000, 5, -1, INT32_MIN}) {
        fb::Bytes b = rich;
        PutLong(b, 28, v);
        if (v != 5) {
            EXPECT_FALSE(Load(b)) << "top " << v;
        }
    }
    const size_t trckChildren = FindTag(rich, "INFO") - 4;
    for (int32_t v : {INT32_MAX, 100, -1, INT32_MIN}) {
        fb::Bytes b = rich;
        ASSERT_EQ(LongAt(b, trckChildren), 4);
        PutLong(b, trckChildren, v);
        EXPECT_FALSE(Load(b)) << "TRCK " << v;
    }
    // Every chunk claiming one more child than it has: the walk runs out of
    // file and stops there.
    std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
    chunks.back().childCount = 1;
    EXPECT_FALSE(Load(fb::TrackFile(chunks)));
    // A chain of unknown chunks each claiming children is walked to its end.
    fb::Writer w;
    w.Tag("VRTX").Long(0).Zeros(20).Long(1);
    for (int k = 0; k < 1000; ++k) w.Tag("INFO").Long(24).Zeros(16).Long(0).Long(2);
    EXPECT_FALSE(Load(w.bytes()));
}

TEST_F(MalformedTrackTest, UnknownChunkSizesOutsideTheFileAreRefused) {
    for (int32_t size : {-1, -8, INT32_MIN, INT32_MAX, 1 << 20}) {
        std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
        fb::Chunk odd;
        odd.tag = "ZZZZ";
        odd.body.Zeros(12);
        odd.size = size;
        chunks.insert(chunks.begin(), odd);
        EXPECT_FALSE(Load(fb::TrackFile(chunks))) << size;
    }
}

TEST_F(MalformedTrackTest, ShortFilesAndEmptyTreesBehave) {
    EXPECT_FALSE(Load({}));
    EXPECT_FALSE(Load({'V', 'R', 'T', 'X'}));
    // A bare header with no chunks is a valid, empty track.
    fb::Writer w;
    w.Tag("VRTX").Long(24).U8(1).U8(4).U8(0).U8(0).U8(0).Zeros(15).Long(0);
    EXPECT_TRUE(Load(w.bytes()));
    EXPECT_EQ(gNodeCount, 0);
}

TEST_F(MalformedTrackTest, RandomDamageNeverCrashes) {
    std::mt19937 rng(12345);
    int loaded = 0;
    for (int round = 0; round < 1500; ++round) {
        fb::Bytes b = rich;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < flips; ++k) {
            const size_t at = rng() % b.size();
            switch (rng() % 3) {
                case 0: b[at] = static_cast<uint8_t>(rng()); break;
                case 1: b[at] ^= 0x80; break;
                default:  // a Long set to an extreme
                    if (at + 4 <= b.size()) PutLong(b, at & ~size_t{3}, (rng() & 1) ? -1 : INT32_MAX);
            }
        }
        if (Load(b)) {
            ++loaded;
            // Whatever loads can be saved and loads again the same.
            ASSERT_TRUE(SaveTrackFile(dir.File("re.vxtrack")));
            const fb::Bytes first = fb::ReadBytes(dir.File("re.vxtrack"));
            ASSERT_TRUE(LoadTrackFile(dir.File("re.vxtrack")));
            ASSERT_TRUE(SaveTrackFile(dir.File("re.vxtrack")));
            ASSERT_EQ(fb::ReadBytes(dir.File("re.vxtrack")), first);
        }
    }
    EXPECT_GT(loaded, 0);  // harmless damage (inside values) still loads
}

class MalformedElementTest : public ::testing::Test {
protected:
    fb::TempDir dir;
    bool Load(const fb::Bytes& bytes) {
        fb::WriteBytes(dir.File("bad.vxelem"), bytes);
        return LoadElementFile(dir.File("bad.vxelem"));
    }
};

// A file cut inside its records is refused; one cut anywhere in the closing
// 64 zero bytes and child count holds every record and loads the same nodes.
TEST_F(MalformedElementTest, TruncationsInsideTheRecordsAreRefusedAndTheTrailerIsOptional) {
    fb::FillElement(4);
    const std::vector<TrackNode> nodes = gElementNodes;
    const fb::Bytes file = fb::ElementFileFromDocument();
    ASSERT_EQ(file.size(), 144u + 50u * 3u);
    const size_t records = 76u + 50u * 3u;
    for (size_t len = 0; len <= file.size(); ++len) {
        const bool loaded = Load(fb::Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(len)));
        ASSERT_EQ(loaded, len >= records) << len;
        if (!loaded) {
            EXPECT_EQ(gElementNodeCount, 0);
            EXPECT_EQ(gElementNodes.size(), 1u);
            continue;
        }
        ASSERT_EQ(gElementNodeCount, 4) << len;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(gElementNodes[i].Position.Y, nodes[i].Position.Y) << len;
            EXPECT_EQ(gElementNodes[i].Roll, nodes[i].Roll) << len;
            if (i < 3) {
                EXPECT_EQ(gElementNodes[i].ControlOut.X, nodes[i].ControlOut.X) << len;
            }
        }
    }
}

TEST_F(MalformedElementTest, NegativeOrOversizedRecordCountsAreRefused) {
    fb::FillElement(3);
    for (int32_t k : {-1, -2, INT32_MIN, INT32_MAX, 3, 1000, 0x10000000}) {
        fb::Bytes file = fb::ElementFileFromDocument();
        PutLong(file, 72, k);
        EXPECT_FALSE(Load(file)) << k;
    }
}

TEST_F(MalformedElementTest, WrongTagIsRefused) {
    fb::FillElement(2);
    fb::Bytes file = fb::ElementFileFromDocument();
    file[3] = 'N';
    EXPECT_FALSE(Load(file));
    file[3] = 'm';
    EXPECT_TRUE(Load(file));  // the tag matches whatever its case
}

}  // namespace
