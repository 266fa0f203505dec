// The 3D Studio file writer: exact bytes of small scenes, the axis order and
// rounding of vertices, chunk lengths that tile for any name lengths, the
// size computation, and what happens when a file cannot or may not be written.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "export/file_writer_3ds.h"
#include "export/scene_staging_3ds.h"
#include "tests/export/export_test_support.h"
#include "tests/platform/temp_folder.h"

namespace {

const UV3DS kNoUV{};

class Writer : public ::testing::Test {
protected:
    void SetUp() override { Reset3DSScene(); }
    void TearDown() override { Reset3DSScene(); }

    std::vector<uint8_t> Encode() {
        Chunk3DSWriter w;
        std::string failure;
        EXPECT_TRUE(Encode3DSScene(w, &failure)) << failure;
        return w.Bytes();
    }

    TempFolder folder;
};

// The leading chunks: main, file version, editor, mesh version.
void Leading(ByteBuilder& b, uint32_t total) {
    b.Header(0x4D4D, total).Header(0x0002, 10).U32(3).Header(0x3D3D, total - 16).Header(0x3D3E, 10).U32(3);
}

void MasterScale(ByteBuilder& b) { b.Header(0x0100, 10).F32(39.370079f); }

// The material entry of a colour material without texture, named with 8 characters.
void PlainMaterial(ByteBuilder& b, const std::string& name, Color3DS amb, Color3DS dif, Color3DS spe, uint16_t shin,
                   uint16_t strength, uint16_t transparency) {
    ASSERT_EQ(name.size(), 8u);
    b.Header(0xAFFF, 168);
    b.Header(0xA000, 15).Str(name);
    b.Header(0xA010, 15).Header(0x0011, 9).U8(amb.R).U8(amb.G).U8(amb.B);
    b.Header(0xA020, 15).Header(0x0011, 9).U8(dif.R).U8(dif.G).U8(dif.B);
    b.Header(0xA030, 15).Header(0x0011, 9).U8(spe.R).U8(spe.G).U8(spe.B);
    b.Header(0xA040, 14).Header(0x0030, 8).U16(shin);
    b.Header(0xA041, 14).Header(0x0030, 8).U16(strength);
    b.Header(0xA050, 14).Header(0x0030, 8).U16(transparency);
    b.Header(0xA052, 14).Header(0x0030, 8).U16(0);
    b.Header(0xA053, 14).Header(0x0030, 8).U16(0);
    b.Header(0xA100, 8).U16(3);
    b.Header(0xA084, 14).Header(0x0030, 8).U16(0);
    b.Header(0xA087, 10).F32(1.0f);
}

void LocalAxes(ByteBuilder& b) {
    b.Header(0x4160, 54);
    for (float f : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.001f, 0.001f, 0.001f}) b.F32(f);
}

}  // namespace

TEST_F(Writer, EmptySceneIsFortyTwoBytes) {
    EXPECT_EQ(Get3DSFileSize(), 42u);
    ByteBuilder expected;
    Leading(expected, 42);
    MasterScale(expected);
    ASSERT_EQ(expected.Size(), 42u);
    EXPECT_EQ(Encode(), expected.Bytes());

    const std::string path = folder / "empty.3ds";
    std::string failure;
    ASSERT_TRUE(Write3DSFile(path, &failure)) << failure;
    EXPECT_EQ(ReadFileBytes(path), expected.Bytes());
}

TEST_F(Writer, OneMaterialAndOneTriangleAreThreeHundredSeventyFourBytes) {
    Add3DSMaterial({128, 128, 128}, {255, 255, 255}, {255, 255, 255}, 25, 5, 0, "");
    Begin3DSMesh("TERA", 0, false, false);
    Add3DSTriangle(Vector3{1, 2, 3}, Vector3{4, 5, 6}, Vector3{-7.5f, 0, 0.25f}, kNoUV, kNoUV, kNoUV, 1);
    Flush3DSMesh();
    ASSERT_EQ(gObjectCount3DS, 1);
    EXPECT_EQ(MaterialEntryLength3DS(gMaterials3DS[0]), 168u);
    EXPECT_EQ(ObjectChunkLength3DS(gObjects3DS[0]), 164u);
    EXPECT_EQ(Get3DSFileSize(), 374u);

    ByteBuilder b;
    Leading(b, 374);
    PlainMaterial(b, "MATER000", {128, 128, 128}, {255, 255, 255}, {255, 255, 255}, 25, 5, 0);
    MasterScale(b);
    b.Header(0x4000, 164).Str("TERA0000");
    b.Header(0x4100, 164 - 15);
    b.Header(0x4110, 44).U16(3);
    b.F32(1).F32(-3).F32(2);
    b.F32(4).F32(-6).F32(5);
    b.F32(-7.5f).F32(-0.25f).F32(0);
    LocalAxes(b);
    b.Header(0x4120, 45).U16(1).U16(0).U16(1).U16(2).U16(7);
    b.Header(0x4130, 19).Str("MATER000").U16(1).U16(0);
    b.Header(0x4150, 10).U32(1);
    ASSERT_EQ(b.Size(), 374u);
    EXPECT_EQ(Encode(), b.Bytes());
}

TEST_F(Writer, VerticesAreWrittenAsXMinusZY) {
    const int o = Add3DSObject("AXES", 0);
    Add3DSObjectVertex(Vector3{1, 2, 3}, o);
    Add3DSObjectVertex(Vector3{-0.5f, 10, 0}, o);
    const std::vector<uint8_t> bytes = Encode();
    ChunkNode root;
    ASSERT_TRUE(ParseChunkTree(bytes, root));
    const ChunkNode* list = root.Child(0x3D3D)->Child(0x4000)->Child(0x4100)->Child(0x4110);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(ReadU16(bytes, list->DataOffset), 2);
    const size_t p = list->DataOffset + 2;
    EXPECT_EQ(ReadF32(bytes, p), 1.0f);
    EXPECT_EQ(ReadF32(bytes, p + 4), -3.0f);
    EXPECT_EQ(ReadF32(bytes, p + 8), 2.0f);
    EXPECT_EQ(ReadF32(bytes, p + 12), -0.5f);
    EXPECT_EQ(ReadU32(bytes, p + 16), 0u) << "-0 is written as 0";
    EXPECT_EQ(ReadF32(bytes, p + 20), 10.0f);
    // No faces: the face list, face material and smoothing chunks are still there, empty.
    const ChunkNode* faces = root.Child(0x3D3D)->Child(0x4000)->Child(0x4100)->Child(0x4120);
    ASSERT_NE(faces, nullptr);
    EXPECT_EQ(faces->Length, 23u);  // 14F + K + 23 with F = 0 and no material name (index 0 names none)
}

TEST(CoordinateRounding, SixDecimalsHalvesToEven) {
    EXPECT_EQ(RoundCoordinate3DS(0.0078125f), 0.007812f);    // 7812.5 millionths: down to the even 7812
    EXPECT_EQ(RoundCoordinate3DS(0.0234375f), 0.023438f);    // 23437.5: up to the even 23438
    EXPECT_EQ(RoundCoordinate3DS(-0.0078125f), -0.007812f);
    EXPECT_EQ(RoundCoordinate3DS(0.1234567f), 0.123457f);
    EXPECT_EQ(RoundCoordinate3DS(1e-7f), 0.0f);
    EXPECT_FALSE(std::signbit(RoundCoordinate3DS(-1e-7f)));
    EXPECT_EQ(RoundCoordinate3DS(100.0078125f), 100.007812f);
    EXPECT_EQ(RoundCoordinate3DS(12345.678f), 12345.678f);
    EXPECT_EQ(RoundCoordinate3DS(16777218.0f), 16777218.0f);
    EXPECT_EQ(RoundCoordinate3DS(3e38f), 3e38f);
    EXPECT_TRUE(std::isnan(RoundCoordinate3DS(std::nanf(""))));
    EXPECT_EQ(RoundCoordinate3DS(-INFINITY), -INFINITY);
}

// printf rounds the exact binary value to 6 decimals with ties to even, and
// strtof reads the decimal back as the nearest float: an independent way to
// the same result.
TEST(CoordinateRounding, AgreesWithDecimalText) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> wide(-5000.0f, 5000.0f);
    std::uniform_int_distribution<int> k(-200000, 200000);
    auto check = [](float v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6f", double(v));
        const float expected = std::strtof(text, nullptr) + 0.0f;
        const float got = RoundCoordinate3DS(v);
        ASSERT_EQ(std::memcmp(&got, &expected, 4), 0) << v << " -> " << text;
    };
    for (int i = 0; i < 200000; ++i) check(wide(rng));
    for (int i = 0; i < 100000; ++i) check(float(k(rng)) / 128.0f);  // every odd one is a tie
    for (int i = 0; i < 100000; ++i) check(float(k(rng)) * 1e-7f);
}

TEST_F(Writer, TextureCoordinatesAreWrittenUnrounded) {
    Add3DSMaterial({}, {}, {}, 0, 0, 0, "wood.bmp");
    Begin3DSMesh("UV", 0, true, false);
    Add3DSTriangle(Vector3{0, 0, 0}, Vector3{1, 0, 0}, Vector3{0, 0, 1}, UV3DS{0.1234567f, 1e-9f},
                   UV3DS{1, 0}, UV3DS{0, 1}, 0);
    Flush3DSMesh();
    const std::vector<uint8_t> bytes = Encode();
    ChunkNode root;
    ASSERT_TRUE(ParseChunkTree(bytes, root));
    const ChunkNode* uv = root.Child(0x3D3D)->Child(0x4000)->Child(0x4100)->Child(0x4140);
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(uv->Length, 8u * 3u + 8u);
    EXPECT_EQ(ReadU16(bytes, uv->DataOffset), 3);
    EXPECT_EQ(ReadF32(bytes, uv->DataOffset + 2), 0.1234567f);
    EXPECT_EQ(ReadF32(bytes, uv->DataOffset + 6), 1e-9f);
    // The texture map of the material: percentage 100, file name, tiling 0, blur 0.
    const ChunkNode* map = root.Child(0x3D3D)->Child(0xAFFF)->Child(0xA200);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Length, 8u + 39u);
    ASSERT_EQ(map->Children.size(), 4u);
    EXPECT_EQ(map->Children[0].Id, 0x0030);
    EXPECT_EQ(ReadU16(bytes, map->Children[0].DataOffset), 100);
    EXPECT_EQ(ReadCString(bytes, map->Child(0xA300)->DataOffset), "wood.bmp");
    EXPECT_EQ(map->Child(0xA351)->Length, 8u);
    EXPECT_EQ(ReadU16(bytes, map->Child(0xA351)->DataOffset), 0);
    EXPECT_EQ(ReadF32(bytes, map->Child(0xA353)->DataOffset), 0.0f);
    EXPECT_EQ(root.Child(0x3D3D)->Child(0xAFFF)->Length, 168u + 8u + 39u);
}

// Every container's length covers exactly what is written under it, and the
// object lengths follow the rules, for names of any length, materials from
// MATER1000 on, textures and texture coordinates.
TEST_F(Writer, ChunkLengthsTileForAnyNameLengths) {
    for (int i = 0; i < 1100; ++i)
        Add3DSMaterial({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, 1, 2, 3, i % 3 == 0 ? "" : "t" + std::string(size_t(i % 7), 'x'));
    // Names in the file are single bytes of the code page: "Café" takes four.
    Add3DSMaterial({}, {}, {}, 0, 0, 0, "bois \xC3\xA9t\xC3\xA9.bmp");
    EXPECT_EQ(gMaterials3DS.back().Texture, "bois \xE9t\xE9.bmp");
    const std::string names[] = {"", "A", "TERA", "S012T", "S0012R01", "A_MUCH_LONGER_NAME", "Caf\xC3\xA9"};
    int material = 0;
    for (const std::string& name : names) {
        for (bool uv : {false, true}) {
            Begin3DSMesh(name, material, uv, false);
            for (int t = 0; t < 37; ++t)
                Add3DSTriangle(Vector3{float(t), 0, 0}, Vector3{float(t + 1), 0, 0}, Vector3{float(t), 1, 0},
                               UV3DS{0.5f, 0.5f}, kNoUV, kNoUV, int16_t(t % 2));
            Flush3DSMesh();
            material += 95;  // 0, 95, ..., 1045
        }
    }
    EXPECT_EQ(gObjects3DS[13].Name, "Caf\xE9" "0000");
    Add3DSObjectVertex(Vector3{1, 1, 1}, Add3DSObject("NOMAT", -1));  // names no material: K = 0
    const std::vector<uint8_t> bytes = Encode();
    ASSERT_EQ(bytes.size(), Get3DSFileSize());
    ChunkNode root;
    ASSERT_TRUE(ParseChunkTree(bytes, root));
    EXPECT_EQ(root.Length, bytes.size());
    const ChunkNode* editor = root.Child(0x3D3D);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Length, bytes.size() - 16);
    const auto materials = editor->ChildrenWith(0xAFFF);
    ASSERT_EQ(materials.size(), 1101u);
    for (size_t i = 0; i < materials.size(); ++i) {
        EXPECT_EQ(materials[i]->Length, MaterialEntryLength3DS(gMaterials3DS[i]));
        EXPECT_EQ(ReadCString(bytes, materials[i]->Child(0xA000)->DataOffset), gMaterials3DS[i].Name);
    }
    const auto objects = editor->ChildrenWith(0x4000);
    ASSERT_EQ(objects.size(), size_t(gObjectCount3DS));
    for (size_t i = 0; i < objects.size(); ++i) {
        const Obj3DS& o = gObjects3DS[i];
        const ChunkNode& n = *objects[i];
        SCOPED_TRACE(o.Name);
        const uint64_t N = o.Name.size(), K = ObjectMaterialName3DS(o).size(), V = o.VertexCount(),
                       F = o.FaceCount(), U = o.UVCount();
        EXPECT_EQ(n.Length, N + 98 + K + 12 * V + 14 * F + (o.HasUV ? 8 * U + 8 : 0));
        EXPECT_EQ(ReadCString(bytes, n.DataOffset), o.Name);
        const ChunkNode* mesh = n.Child(0x4100);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->Length, n.Length - (N + 7));
        std::vector<uint16_t> order;
        for (const ChunkNode& c : mesh->Children) order.push_back(c.Id);
        if (o.HasUV)
            EXPECT_EQ(order, (std::vector<uint16_t>{0x4110, 0x4140, 0x4160, 0x4120}));
        else
            EXPECT_EQ(order, (std::vector<uint16_t>{0x4110, 0x4160, 0x4120}));
        const ChunkNode* faces = mesh->Child(0x4120);
        EXPECT_EQ(faces->Length, 14 * F + K + 23);
        ASSERT_EQ(faces->Children.size(), 2u);
        EXPECT_EQ(faces->Children[0].Id, 0x4130);
        EXPECT_EQ(faces->Children[0].Length, 2 * F + K + 9);
        EXPECT_EQ(ReadCString(bytes, faces->Children[0].DataOffset), ObjectMaterialName3DS(o));
        EXPECT_EQ(faces->Children[1].Id, 0x4150);
        EXPECT_EQ(faces->Children[1].Length, 4 * F + 6);
    }
    EXPECT_EQ(ObjectMaterialName3DS(gObjects3DS[11]), "MATER1045");
}

TEST(FileSize, LengthRulesDoNotWrap) {
    // An object of 65535 vertices and faces with texture coordinates.
    EXPECT_EQ(ObjectChunkLength3DS(8, 8, 65535, 65535, true, 65535), 8u + 98 + 8 + 12 * 65535 + 14 * 65535 + 8 * 65535 + 8);
    EXPECT_EQ(ObjectChunkLength3DS(8, 9, 3, 3, false, 1), 8u + 98 + 9 + 36 + 14);
    EXPECT_GT(ObjectChunkLength3DS(uint64_t(1) << 40, 0, 0, 0, false, 0), kMax3DSFileSize);
}

TEST_F(Writer, TooLargeFileIsRefusedAndTheOldFileKept) {
    const std::string path = folder.Write("model.3ds", "old contents");
    Add3DSMaterial({}, {}, {}, 0, 0, 0, "");
    Begin3DSMesh("TERA", 0, false, false);
    for (int t = 0; t < 100; ++t)
        Add3DSTriangle(Vector3{float(t), 0, 0}, Vector3{float(t), 1, 0}, Vector3{float(t), 0, 1}, kNoUV, kNoUV,
                       kNoUV, 0);
    Flush3DSMesh();
    const uint64_t size = Get3DSFileSize();
    std::string failure;
    EXPECT_FALSE(Write3DSFile(path, &failure, size - 1));
    EXPECT_NE(failure.find(std::to_string(size) + " bytes"), std::string::npos) << failure;
    EXPECT_NE(failure.find("too large"), std::string::npos) << failure;
    std::string contents;
    ASSERT_TRUE(fsys::ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "old contents");
    // Exactly at the limit it is written.
    EXPECT_TRUE(Write3DSFile(path, &failure, size)) << failure;
    EXPECT_EQ(ReadFileBytes(path).size(), size);
}

TEST_F(Writer, ObjectListsBeyondSixteenBitsAreRefused) {
    const int o = Add3DSObject("HUGE", 0);
    gObjects3DS[size_t(o)].Vertices.resize(65536);
    Chunk3DSWriter w;
    std::string failure;
    EXPECT_FALSE(Encode3DSScene(w, &failure));
    EXPECT_NE(failure.find("HUGE"), std::string::npos);
    EXPECT_FALSE(Write3DSFile(folder / "huge.3ds", &failure));
    EXPECT_FALSE(fsys::FileExists(folder / "huge.3ds"));
}

TEST_F(Writer, UnwritableTargetsReportFailureAndLoseNothing) {
    std::string failure;
    const std::string missing = folder / "no/such/folder/model.3ds";
    EXPECT_FALSE(Write3DSFile(missing, &failure));
    EXPECT_NE(failure.find(missing), std::string::npos) << failure;
    failure.clear();
    std::filesystem::create_directory(folder / "adir");
    EXPECT_FALSE(Write3DSFile(folder / "adir", &failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_TRUE(fsys::FolderExists(folder / "adir"));
    const std::string file = folder.Write("plain", "x");
    EXPECT_FALSE(Write3DSFile(file + "/model.3ds", &failure)) << "a file in place of a folder";
    EXPECT_FALSE(Write3DSFile("", &failure));
}

TEST_F(Writer, ReplacesAnOldFileWithoutLeavingTemporaryFiles) {
    const std::string path = folder.Write("out.3ds", std::string(5000, 'z'));
    Add3DSMaterial({}, {}, {}, 0, 0, 0, "");
    std::string failure;
    ASSERT_TRUE(Write3DSFile(path, &failure)) << failure;
    EXPECT_EQ(ReadFileBytes(path).size(), Get3DSFileSize());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(gMaterialCount3DS, 1) << "writing leaves the scene as it was";
}

// Writing while staging gives the file that staging first and writing after
// gives, refuses what the whole write refuses with the same text, keeps the
// old file then, and leaves no scratch file behind.
TEST_F(Writer, StreamedWriteIsTheSameFileWithTheSameRefusals) {
    const auto stage = [] {
        const int32_t ground = Add3DSMaterial({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, 25, 5, 0, "");
        Begin3DSMesh("TERA", ground, false, false);
        for (int t = 0; t < 23000; ++t)  // three parts
            Add3DSTriangle(Vector3{float(t % 150), 0.5f, float(t / 150)}, Vector3{float(t % 150) + 1, 0, 0},
                           Vector3{0, 0, float(t / 150) + 1}, kNoUV, kNoUV, kNoUV, 1);
        Flush3DSMesh();
        const int32_t tex = Add3DSMaterial({}, {}, {}, 0, 0, 75, "wood.tga");  // a material after objects
        Begin3DSMesh("ROOF", tex, true, false);
        Add3DSTriangle(Vector3{1, 2, 3}, Vector3{4, 5, 6}, Vector3{7, 8, 9}, UV3DS{0.25f, 1}, UV3DS{}, UV3DS{1, 0}, 0);
        Flush3DSMesh();
    };
    stage();
    const uint64_t size = Get3DSFileSize();
    std::string failure;
    ASSERT_TRUE(Write3DSFile(folder / "whole.3ds", &failure)) << failure;
    Reset3DSScene();

    const std::string path = folder.Write("model.3ds", "old contents");
    EXPECT_FALSE(Write3DSFileStreamed(path, stage, &failure, size - 1));
    EXPECT_EQ(failure, TooLargeText3DS(size, size - 1));
    std::string contents;
    ASSERT_TRUE(fsys::ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "old contents");
    Reset3DSScene();
    failure.clear();
    ASSERT_TRUE(Write3DSFileStreamed(path, stage, &failure, size)) << failure;
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(folder / "whole.3ds"));
    EXPECT_EQ(gObjectCount3DS, 0) << "no object is kept";
    EXPECT_EQ(gMaterialCount3DS, 2);
    EXPECT_EQ(gObjectSink3DS, nullptr);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);

    Reset3DSScene();
    const std::string missing = folder / "no/such/folder/model.3ds";
    EXPECT_FALSE(Write3DSFileStreamed(missing, stage, &failure));
    EXPECT_EQ(failure, CannotWriteText3DS(missing, ENOENT));
    EXPECT_NE(failure.find("The folder it goes in does not exist."), std::string::npos) << failure;
}
