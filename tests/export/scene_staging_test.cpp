// Scene staging: welding, the 10000-face split, part names, materials and the
// scene lists; and a comparison with a literal scan over the staged vertices
// on random meshes full of repeated, signed-zero and NaN corners.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "export/scene_staging_3ds.h"
#include "tests/export/export_test_support.h"

namespace {

const UV3DS kNoUV{};

Vector3 V(float x, float y, float z) { return Vector3{x, y, z}; }

void Tri(const Vector3& a, const Vector3& b, const Vector3& c, int16_t weld) {
    Add3DSTriangle(a, b, c, kNoUV, kNoUV, kNoUV, weld);
}

class Staging : public ::testing::Test {
protected:
    void SetUp() override {
        Reset3DSScene();
        Begin3DSMesh("", 0, false, false);
    }
    void TearDown() override { Reset3DSScene(); }
};

// A strip of `cells` quads along X, two triangles each, sharing their corners.
void StageStrip(int cells, int16_t weld, float z = 0.0f) {
    for (int i = 0; i < cells; ++i) {
        const Vector3 a = V(float(i), 0, z), b = V(float(i), 0, z + 1), c = V(float(i + 1), 0, z + 1),
                      d = V(float(i + 1), 0, z);
        Tri(a, b, c, weld);
        Tri(c, d, a, weld);
    }
}

}  // namespace

TEST_F(Staging, WeldZeroAppendsEveryCorner) {
    Begin3DSMesh("CW", 0, false, false);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), 0);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), 0);
    EXPECT_EQ(gStagedVertexCount, 6);
    EXPECT_EQ(gStagedFaceCount, 2);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 1);
    const Obj3DS& o = gObjects3DS[0];
    EXPECT_EQ(o.Name, "CW000000");
    EXPECT_EQ(o.VertexCount(), 6u);
    EXPECT_EQ(o.Faces[1].A, 3);
    EXPECT_EQ(o.Faces[1].B, 4);
    EXPECT_EQ(o.Faces[1].C, 5);
    EXPECT_EQ(o.FaceSmooth[0], 0u);
}

TEST_F(Staging, WeldedStripStoresEachCornerOnce) {
    Begin3DSMesh("TERA", 7, false, false);
    StageStrip(50, 1);
    EXPECT_EQ(gStagedVertexCount, 102);  // 51 columns of two points
    EXPECT_EQ(gStagedFaceCount, 100);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 1);
    const Obj3DS& o = gObjects3DS[0];
    EXPECT_EQ(o.Name, "TERA0000");
    EXPECT_EQ(o.Material, 7);
    EXPECT_EQ(o.FaceCount(), 100u);
    // The second face (c, d, a) of the first cell reuses c (2) and a (0).
    EXPECT_EQ(o.Faces[1].A, 2);
    EXPECT_EQ(o.Faces[1].B, 3);
    EXPECT_EQ(o.Faces[1].C, 0);
    EXPECT_EQ(o.FaceSmooth[1], 1u);
}

TEST_F(Staging, CornerJoinsTheLastEqualVertexAndKeepsItsTextureCoordinate) {
    const Vector3 p = V(1, 2, 3), q = V(4, 5, 6), r = V(7, 8, 9), s = V(-1, 0, 0), t = V(0, -1, 0), u = V(5, 5, 5);
    Begin3DSMesh("ST", 0, true, false);
    Add3DSTriangle(p, q, r, UV3DS{0.1f, 0.1f}, UV3DS{0.2f, 0.2f}, UV3DS{0.3f, 0.3f}, 0);
    Add3DSTriangle(p, s, t, UV3DS{0.4f, 0.4f}, UV3DS{0.5f, 0.5f}, UV3DS{0.6f, 0.6f}, 0);  // p again at 3
    Add3DSTriangle(p, q, u, UV3DS{0.7f, 0.7f}, UV3DS{0.8f, 0.8f}, UV3DS{0.9f, 0.9f}, 1);
    ASSERT_EQ(gStagedVertexCount, 7);
    EXPECT_EQ(gStagedFaces[2].CornerA, 3);  // the last p, not the first
    EXPECT_EQ(gStagedFaces[2].CornerB, 1);
    EXPECT_EQ(gStagedFaces[2].CornerC, 6);
    EXPECT_FLOAT_EQ(gStagedTexCoords[3].U, 0.4f);  // the matched corner's own coordinate is dropped
    EXPECT_FLOAT_EQ(gStagedTexCoords[6].U, 0.9f);
    Flush3DSMesh();
    const Obj3DS& o = gObjects3DS[0];
    EXPECT_TRUE(o.HasUV);
    ASSERT_EQ(o.UVCount(), o.VertexCount());
    EXPECT_FLOAT_EQ(o.UVs[6].V, 0.9f);
}

TEST_F(Staging, EqualCornersOfOneTriangleAreBothAppended) {
    const Vector3 p = V(1, 1, 1), q = V(2, 2, 2), r = V(3, 3, 3);
    Begin3DSMesh("RN", 0, false, false);
    Tri(p, p, q, 1);  // nothing staged before: no lookup at all
    ASSERT_EQ(gStagedVertexCount, 3);
    Tri(q, q, r, 1);  // q found (index 2) for both corners; r appended
    ASSERT_EQ(gStagedVertexCount, 4);
    EXPECT_EQ(gStagedFaces[1].CornerA, 2);
    EXPECT_EQ(gStagedFaces[1].CornerB, 2);
    Tri(p, r, r, 1);  // p joins the second p (index 1)
    EXPECT_EQ(gStagedFaces[2].CornerA, 1);
    EXPECT_EQ(gStagedFaces[2].CornerB, 3);
    EXPECT_EQ(gStagedVertexCount, 4);
}

TEST_F(Staging, ExactEqualityDecidesTheWeld) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Begin3DSMesh("SF", 0, false, false);
    Tri(V(0.0f, 1, 1), V(1, 1, 1), V(nan, 0, 0), 0);
    Tri(V(-0.0f, 1, 1), V(std::nextafter(1.0f, 2.0f), 1, 1), V(nan, 0, 0), 1);
    ASSERT_EQ(gStagedVertexCount, 5);
    EXPECT_EQ(gStagedFaces[1].CornerA, 0) << "-0 equals +0";
    EXPECT_EQ(gStagedFaces[1].CornerB, 3) << "the next float up is another vertex";
    EXPECT_EQ(gStagedFaces[1].CornerC, 4) << "NaN equals nothing";
    EXPECT_FALSE(std::signbit(gStagedVertices[0].X)) << "the staged vertex keeps its own coordinates";
}

TEST_F(Staging, MeshesNeverShareVertices) {
    Begin3DSMesh("S0000S00", 0, false, false);
    StageStrip(3, 1);
    Flush3DSMesh();
    Begin3DSMesh("S0000R00", 1, false, false);
    StageStrip(3, 1);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 2);
    EXPECT_EQ(gObjects3DS[0].VertexCount(), 8u);
    EXPECT_EQ(gObjects3DS[1].VertexCount(), 8u);
    EXPECT_EQ(gObjects3DS[1].Name, "S0000R00");
    EXPECT_EQ(gObjects3DS[1].Material, 1);
}

TEST_F(Staging, EmptyMeshMakesNoObject) {
    Begin3DSMesh("S001T", 0, false, false);
    Flush3DSMesh();
    Flush3DSMesh();
    EXPECT_EQ(gObjectCount3DS, 0);
}

TEST_F(Staging, TenThousandthFaceCompletesAnObjectAtOnce) {
    Begin3DSMesh("TERA", 0, false, false);
    StageStrip(5000, 1);
    ASSERT_EQ(gObjectCount3DS, 1) << "flushed by the 10000th triangle";
    EXPECT_EQ(gObjects3DS[0].FaceCount(), 10000u);
    EXPECT_EQ(gObjects3DS[0].VertexCount(), 10002u);
    EXPECT_EQ(gStagedFaceCount, 0);
    EXPECT_EQ(gStagedPart, 1);
    Flush3DSMesh();
    EXPECT_EQ(gObjectCount3DS, 1) << "the closing flush finds nothing staged";
}

TEST_F(Staging, TenThousandAndFirstFaceStartsTheNextPart) {
    Begin3DSMesh("TERA", 2, false, false);
    StageStrip(5000, 1);
    // Shares two corners with the last cell, but welding never reaches across parts.
    Tri(V(5000, 0, 0), V(5000, 0, 1), V(5001, 0, 1), 1);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 2);
    EXPECT_EQ(gObjects3DS[0].Name, "TERA0000");
    EXPECT_EQ(gObjects3DS[1].Name, "TERA0001");
    EXPECT_EQ(gObjects3DS[1].Material, 2);
    EXPECT_EQ(gObjects3DS[1].FaceCount(), 1u);
    EXPECT_EQ(gObjects3DS[1].VertexCount(), 3u);
}

TEST_F(Staging, LongNamesRepeatOnEveryPart) {
    Begin3DSMesh("S0012S00", 0, false, false);
    StageStrip(5001, 0);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 2);
    EXPECT_EQ(gObjects3DS[0].Name, "S0012S00");
    EXPECT_EQ(gObjects3DS[1].Name, "S0012S00");
    EXPECT_EQ(gObjects3DS[0].VertexCount(), 30000u) << "weld 0 stores three corners per face";
}

TEST_F(Staging, PartCounterRestartsUnlessKept) {
    Begin3DSMesh("WATR", 0, false, false);
    StageStrip(5000, 0);
    EXPECT_EQ(gStagedPart, 1);
    Begin3DSMesh("WATR", 0, false, true);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 0, 1), 0);
    Flush3DSMesh();
    Begin3DSMesh("WATR", 0, false, false);
    EXPECT_EQ(gStagedPart, 0);
    ASSERT_EQ(gObjectCount3DS, 2);
    EXPECT_EQ(gObjects3DS[1].Name, "WATR0001");
}

TEST(PartNames, PadToEightCharacters) {
    EXPECT_EQ(PartName3DS("TERA", 0), "TERA0000");
    EXPECT_EQ(PartName3DS("TERA", 12), "TERA0012");
    EXPECT_EQ(PartName3DS("S012T", 2), "S012T002");
    EXPECT_EQ(PartName3DS("S1000T", 5), "S1000T05");
    EXPECT_EQ(PartName3DS("ABCDEFG", 12), "ABCDEFG12") << "a counter with more digits lengthens the name";
    EXPECT_EQ(PartName3DS("", 3), "00000003");
    EXPECT_EQ(PartName3DS("ST000041", 4), "ST000041");
    EXPECT_EQ(PartName3DS("LONGERNAME", 1), "LONGERNAME");
    EXPECT_EQ(PartName3DS("Caf\xC3\xA9", 3), "Caf\xC3\xA9" "0003") << "characters, not bytes of UTF-8";
}

TEST_F(Staging, SmoothingMaskIsTheWeldWidenedWithItsSign) {
    Begin3DSMesh("ST", 0, false, false);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), -1);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), 1);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), 0);
    Tri(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), 4);
    Flush3DSMesh();
    const Obj3DS& o = gObjects3DS[0];
    EXPECT_EQ(o.FaceSmooth[0], 0xFFFFFFFFu);
    EXPECT_EQ(o.FaceSmooth[1], 1u);
    EXPECT_EQ(o.FaceSmooth[2], 0u);
    EXPECT_EQ(o.FaceSmooth[3], 4u);
    EXPECT_FALSE(o.HasUV);
    EXPECT_TRUE(o.UVs.empty());
}

TEST_F(Staging, MaterialsAreNamedAfterTheirIndex) {
    for (int i = 0; i < 1001; ++i) Add3DSMaterial({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, 25, 5, 0, "");
    ASSERT_EQ(gMaterialCount3DS, 1001);
    EXPECT_EQ(gMaterials3DS[0].Name, "MATER000");
    EXPECT_EQ(gMaterials3DS[42].Name, "MATER042");
    EXPECT_EQ(gMaterials3DS[999].Name, "MATER999");
    EXPECT_EQ(gMaterials3DS[1000].Name, "MATER1000");
    EXPECT_EQ(gMaterials3DS[5].Diffuse, (Color3DS{4, 5, 6}));
    // Indices are not limited to 16 bits.
    for (int i = 1001; i < 40000; ++i) Add3DSMaterial({}, {}, {}, 0, 0, 0, "");
    EXPECT_EQ(Add3DSMaterial({}, {}, {}, 0, 0, 0, "tex.bmp"), 40000);
    EXPECT_EQ(gMaterials3DS[40000].Name, "MATER40000");
    Reset3DSScene();
    EXPECT_EQ(gMaterialCount3DS, 0);
    EXPECT_TRUE(gMaterials3DS.empty());
    EXPECT_EQ(gMaterials3DS.capacity(), 0u) << "the scene's memory is freed";
}

TEST_F(Staging, ObjectListsGrowOneEntryAtATime) {
    EXPECT_EQ(Add3DSObject("A", 3), 0);
    EXPECT_EQ(Add3DSObject("B", 4), 1);
    EXPECT_EQ(Add3DSObjectVertex(V(1, 2, 3), 1), 0);
    EXPECT_EQ(Add3DSObjectVertex(V(4, 5, 6), 1), 1);
    EXPECT_FALSE(gObjects3DS[1].HasUV);
    EXPECT_EQ(Add3DSObjectTexCoord(UV3DS{0.5f, 0.25f}, 1), 0);
    EXPECT_TRUE(gObjects3DS[1].HasUV);
    EXPECT_EQ(Add3DSObjectFace(0, 1, 65535, 0x80000000u, 1), 0);
    EXPECT_EQ(gObjects3DS[1].Faces[0].C, 65535);
    EXPECT_EQ(gObjects3DS[1].FaceSmooth[0], 0x80000000u);
    EXPECT_EQ(gObjects3DS[0].VertexCount(), 0u);
    // Missing objects and full lists take nothing.
    EXPECT_EQ(Add3DSObjectVertex(V(0, 0, 0), 2), -1);
    EXPECT_EQ(Add3DSObjectVertex(V(0, 0, 0), -1), -1);
    EXPECT_EQ(Add3DSObjectFace(0, 0, 0, 0, 7), -1);
    for (uint32_t i = 0; i < kMaxObjectEntries3DS; ++i) ASSERT_EQ(Add3DSObjectVertex(V(0, 0, 0), 0), int32_t(i));
    EXPECT_EQ(Add3DSObjectVertex(V(0, 0, 0), 0), -1);
    EXPECT_EQ(gObjects3DS[0].VertexCount(), kMaxObjectEntries3DS);
}

// The hash index must give exactly what the literal scan gives, on meshes
// built from a small pool of corners (so most corners repeat), with signed
// zeros, NaNs, mixed weld values and several parts.
TEST_F(Staging, HashWeldMatchesTheLiteralScan) {
    for (uint32_t seed : {1u, 2u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        std::vector<Vector3> pool;
        const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-30f, 3.25f, 1e30f,
                                std::numeric_limits<float>::quiet_NaN()};
        for (float x : values)
            for (float y : values)
                for (float z : {0.0f, -0.0f, 2.0f}) pool.push_back(V(x, y, z));
        for (int i = 0; i < 2000; ++i)
            pool.push_back(V(float(rng() % 40) * 0.25f, float(rng() % 3), float(rng() % 40) * -0.5f));
        std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
        const int16_t welds[] = {0, 1, 1, 1, -1, 3};

        Reset3DSScene();
        ReferenceStager ref;
        const int meshes = 4;
        for (int m = 0; m < meshes; ++m) {
            const std::string name = m == 2 ? "LONGNAME" : "M" + std::to_string(m);
            Begin3DSMesh(name, m, false, false);
            ref.Begin(name, m);
            const int triangles = m == 1 ? 23456 : 3000;
            for (int t = 0; t < triangles; ++t) {
                const Vector3 a = pool[pick(rng)], b = pool[pick(rng)], c = pool[pick(rng)];
                const int16_t w = welds[rng() % 6];
                Tri(a, b, c, w);
                ref.Triangle(a, b, c, w);
            }
            Flush3DSMesh();
            ref.Flush();
        }
        ExpectSceneEquals(ref.Objects);
        EXPECT_EQ(gObjectCount3DS, 6);  // mesh 1 splits into 10000, 10000 and 3456 faces
    }
}
