// The crosstie object reader, our writer, and the crosstie objects we ship.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "model/modeler_settings.h"
#include "model/tie_object_reader.h"
#include "model/tie_object_writer.h"
#include "platform/file_system.h"
#include "tests/model/model_test_support.h"

namespace {

class TieObjectTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        folder = MakeTempFolder();
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder + name;
        EXPECT_TRUE(fsys::WriteFileAtomically(path, bytes));
        return path;
    }
    const TieModel& Slot(int i) { return gModelSettings.gTieModels[i]; }
    std::string folder;
};

// A brush of `faces` triangles over a fan of vertices offset by `base`.
TieObjectBrush Fan(int faces, float base) {
    TieObjectBrush b;
    b.Name = "fan";
    for (int i = 0; i < faces + 2; ++i) b.Vertices.push_back({base + i, base * 2 + i, -float(i)});
    for (int i = 0; i < faces; ++i) b.Faces.push_back({0, i + 1, i + 2});
    return b;
}

void PutLong(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);  // the test machine is little-endian like the format
}

// Offsets in a file of our writer: MATS is 12 bytes, so BRSH starts at 24 and
// the first brush at 40 (its name block first).
constexpr size_t kFirstBrush = 40;

}  // namespace

TEST_F(TieObjectTest, TwoBrushesGiveTheirFacesInFileOrder) {
    TieObject object;
    object.Brushes = {Fan(12, 0.0f), Fan(4, 100.0f)};
    const std::string path = Write("two.fcobject", EncodeTieObject(object));
    ASSERT_TRUE(LoadTieModel(path, 1));
    ASSERT_EQ(Slot(1).TriangleCount, 16);
    EXPECT_GE(Slot(1).Triangles.size(), 16u);
    // First brush first, corners in the face's order.
    EXPECT_EQ(Slot(1).Triangles[0].V1.X, 0.0f);
    EXPECT_EQ(Slot(1).Triangles[0].V2.X, 1.0f);
    EXPECT_EQ(Slot(1).Triangles[0].V3.X, 2.0f);
    EXPECT_EQ(Slot(1).Triangles[11].V3.Z, -13.0f);
    EXPECT_EQ(Slot(1).Triangles[12].V1.X, 100.0f);
    EXPECT_EQ(Slot(1).Triangles[12].V1.Y, 200.0f);
    EXPECT_EQ(Slot(1).Triangles[15].V3.X, 105.0f);
    EXPECT_EQ(Slot(0).TriangleCount, 0);
}

TEST_F(TieObjectTest, LowerCaseTagsAreAccepted) {
    TieObject object;
    object.Brushes = {Fan(3, 0.0f)};
    const std::vector<uint8_t> bytes = EncodeTieObject(object, true);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "obsf");
    ASSERT_TRUE(LoadTieModel(Write("lower.fcobject", bytes), 0));
    EXPECT_EQ(Slot(0).TriangleCount, 3);
}

TEST_F(TieObjectTest, BrushWithoutFacesIsSkippedWhole) {
    TieObject object;
    TieObjectBrush empty = Fan(0, 0.0f);
    empty.Name = "a longer name block";
    object.Brushes = {empty, Fan(2, 50.0f)};
    ASSERT_TRUE(LoadTieModel(Write("empty.fcobject", EncodeTieObject(object)), 0));
    ASSERT_EQ(Slot(0).TriangleCount, 2);
    EXPECT_EQ(Slot(0).Triangles[0].V1.X, 50.0f);
}

TEST_F(TieObjectTest, WrongTagsFail) {
    SetTieTriangle(0, 0.5f);
    TieObject object;
    object.Brushes = {Fan(2, 0.0f)};
    std::vector<uint8_t> bytes = EncodeTieObject(object);
    std::vector<uint8_t> other = bytes;
    std::memcpy(other.data(), "VRTX", 4);
    EXPECT_FALSE(LoadTieModel(Write("other.fcobject", other), 0));
    // A MATS size that lands the cursor anywhere but on BRSH.
    std::vector<uint8_t> shifted = bytes;
    PutLong(shifted, 16, 16);
    EXPECT_FALSE(LoadTieModel(Write("shifted.fcobject", shifted), 0));
    std::vector<uint8_t> huge = bytes;
    PutLong(huge, 16, 0x7FFFFFF0);
    EXPECT_FALSE(LoadTieModel(Write("huge.fcobject", huge), 0));
    EXPECT_FALSE(LoadTieModel(folder + "missing.fcobject", 0));
    EXPECT_FALSE(LoadTieModel(Write("short.fcobject", {'O', 'B'}), 0));
    // None of these touched the slot.
    ASSERT_EQ(Slot(0).TriangleCount, 1);
    EXPECT_EQ(Slot(0).Triangles[0].V1.Y, 0.5f);
}

TEST_F(TieObjectTest, DamagedBrushDataIsRejectedAndTheSlotKept) {
    SetTieTriangle(0, 0.5f);
    TieObject object;
    object.Brushes = {Fan(2, 0.0f)};
    const std::vector<uint8_t> good = EncodeTieObject(object);
    const size_t vertexCountAt = kFirstBrush + 4 + 3 + 4;  // after the name "fan" and the empty block
    ASSERT_EQ(good[vertexCountAt], 4);
    const size_t faceCountAt = vertexCountAt + 4 + 4 * 12;
    const size_t firstCornerAt = faceCountAt + 4 + 4;

    struct Damage {
        const char* Name;
        size_t At;
        int32_t Value;
    };
    for (const Damage& d : {Damage{"corner beyond the brush", firstCornerAt + 4, 4},
                            Damage{"negative corner", firstCornerAt, -1},
                            Damage{"negative vertex count", vertexCountAt, -3},
                            Damage{"vertex count past the end", vertexCountAt, 1000000},
                            Damage{"face count past the end", faceCountAt, 50000},
                            Damage{"negative block length", kFirstBrush, -8},
                            Damage{"block past the end", kFirstBrush, 0x40000000},
                            Damage{"brush count past the end", 36, 0x7FFFFFFF},
                            Damage{"negative brush count", 36, -1}}) {
        std::vector<uint8_t> bytes = good;
        PutLong(bytes, d.At, d.Value);
        EXPECT_FALSE(LoadTieModel(Write("damaged.fcobject", bytes), 0)) << d.Name;
        ASSERT_EQ(Slot(0).TriangleCount, 1) << d.Name;
        EXPECT_EQ(Slot(0).Triangles[0].V1.Y, 0.5f) << d.Name;
    }
    // Cut anywhere, the file is refused and the slot kept.
    for (size_t cut = 28; cut < good.size(); cut += 7) {
        const std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(LoadTieModel(Write("cut.fcobject", bytes), 0)) << cut;
        EXPECT_EQ(Slot(0).TriangleCount, 1);
    }
    EXPECT_TRUE(LoadTieModel(Write("good.fcobject", good), 0));
    EXPECT_EQ(Slot(0).TriangleCount, 2);
}

TEST_F(TieObjectTest, BytesAfterTheLastBrushAreIgnored) {
    TieObject object;
    object.Brushes = {Fan(2, 0.0f)};
    std::vector<uint8_t> bytes = EncodeTieObject(object);
    bytes.insert(bytes.end(), {'J', 'U', 'N', 'K', 1, 2, 3});
    ASSERT_TRUE(LoadTieModel(Write("tail.fcobject", bytes), 0));
    EXPECT_EQ(Slot(0).TriangleCount, 2);
}

TEST_F(TieObjectTest, BadSlotNumberIsRefused) {
    TieObject object;
    object.Brushes = {Fan(2, 0.0f)};
    const std::string path = Write("slot.fcobject", EncodeTieObject(object));
    EXPECT_FALSE(LoadTieModel(path, 2));
    EXPECT_FALSE(LoadTieModel(path, -1));
}

// The ten crosstie objects shipped with the program load with our reader and
// are closed solids of a few dozen triangles, facing outward, sized to the
// rails and spine of their style.
TEST_F(TieObjectTest, ShippedCrosstiesLoadAndFitTheirStyle) {
    for (const char* name : kCrosstieFileNames) {
        SCOPED_TRACE(name);
        const std::string path = TestDataFolder() + name;
        ASSERT_TRUE(fsys::FileExists(path));
        ASSERT_TRUE(LoadTieModel(path, 0));
        const TieModel& tie = Slot(0);
        EXPECT_GE(tie.TriangleCount, 24);
        EXPECT_LE(tie.TriangleCount, 96);

        // Closed and consistently wound: every directed edge has its reverse.
        std::map<std::tuple<float, float, float, float, float, float>, int> edges;
        double volume = 0.0;
        float minY = 1e9f, maxY = -1e9f, maxX = 0.0f, maxZ = 0.0f;
        for (int i = 0; i < tie.TriangleCount; ++i) {
            const Vector3 v[3] = {tie.Triangles[i].V1, tie.Triangles[i].V2, tie.Triangles[i].V3};
            for (int k = 0; k < 3; ++k) {
                const Vector3& a = v[k];
                const Vector3& b = v[(k + 1) % 3];
                ++edges[{a.X, a.Y, a.Z, b.X, b.Y, b.Z}];
                minY = std::min(minY, a.Y);
                maxY = std::max(maxY, a.Y);
                maxX = std::max(maxX, std::fabs(a.X));
                maxZ = std::max(maxZ, std::fabs(a.Z));
            }
            volume += (double(v[0].X) * (double(v[1].Y) * v[2].Z - double(v[1].Z) * v[2].Y) -
                       double(v[0].Y) * (double(v[1].X) * v[2].Z - double(v[1].Z) * v[2].X) +
                       double(v[0].Z) * (double(v[1].X) * v[2].Y - double(v[1].Y) * v[2].X)) / 6.0;
        }
        for (const auto& [edge, count] : edges) {
            const auto& [ax, ay, az, bx, by, bz] = edge;
            const auto reverse = edges.find({bx, by, bz, ax, ay, az});
            ASSERT_NE(reverse, edges.end());
            EXPECT_EQ(reverse->second, count);
        }
        EXPECT_GT(volume, 0.0);  // outward normals enclose a positive volume

        // Across: reaching the rails at 0.5 or 0.6 m, not far beyond them;
        // along the track only a few centimetres thick.
        EXPECT_GE(maxX, 0.5f);
        EXPECT_LE(maxX, 1.0f);
        EXPECT_LE(maxZ, 0.1f);
        const std::string file = name;
        if (file.rfind("vxtmTie02", 0) == 0 || file.rfind("vxtmTie04", 0) == 0) {
            EXPECT_GT(maxY, 0.15f);  // the inverted styles: the spine runs above
            EXPECT_GE(minY, -0.1f);
        } else {
            EXPECT_LT(minY, -0.15f);
            EXPECT_LE(maxY, 0.1f);
        }
    }
}
