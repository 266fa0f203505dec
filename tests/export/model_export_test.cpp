// The export drivers: colour materials and their order, object names, weld
// values, the ground and water, counts that do not match the model's arrays,
// and whole exports read back with lib3ds.
#include <gtest/gtest.h>

#include <map>

#include "core/app_state.h"
#include "export/file_writer_3ds.h"
#include "export/model_export_3ds.h"
#include "export/scene_staging_3ds.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "tests/export/export_test_support.h"
#include "tests/export/lib3ds_readback.h"
#include "tests/export/synthetic_model.h"
#include "tests/platform/temp_folder.h"
#include "trackdoc/track_document.h"

namespace {

class Drivers : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDocumentAndModel();
        Reset3DSScene();
        gDocumentType = DocumentTrack;
        gModelSettings.SupportColor = RGB3DS(200, 100, 50);
        gModelSettings.TunnelColor = RGB3DS(10, 6, 2);
    }
    void TearDown() override {
        Reset3DSScene();
        ClearDocumentAndModel();
        gDocumentType = DocumentNone;
    }

    // Object indices by name (names of 8 or more characters may repeat).
    std::map<std::string, std::vector<int>> ObjectsByName() const {
        std::map<std::string, std::vector<int>> byName;
        for (int i = 0; i < gObjectCount3DS; ++i) byName[gObjects3DS[size_t(i)].Name].push_back(i);
        return byName;
    }
    const Obj3DS& Object(const std::string& name, size_t k = 0) const {
        const auto byName = ObjectsByName();
        const auto it = byName.find(name);
        if (it == byName.end() || k >= it->second.size()) {
            ADD_FAILURE() << "no object " << name;
            static Obj3DS none;
            return none;
        }
        return gObjects3DS[size_t(it->second[k])];
    }
    Color3DS Diffuse(int material) const { return gMaterials3DS[size_t(material)].Diffuse; }

    TempFolder folder;
};

Color3DS C(uint8_t r, uint8_t g, uint8_t b) { return Color3DS{r, g, b}; }

}  // namespace

TEST_F(Drivers, ColourMaterialsKeepTheBytesAndHalveTheAmbient) {
    const int white = AddColorMaterial3DS(RGB3DS(255, 255, 255));
    const int blue = AddColorMaterial3DS(RGB3DS(0, 64, 128));
    const int grey = AddColorMaterial3DS(RGB3DS(192, 192, 192));
    const int odd = AddColorMaterial3DS(RGB3DS(5, 3, 1));
    EXPECT_EQ(gMaterials3DS[size_t(white)].Ambient, C(128, 128, 128));
    EXPECT_EQ(gMaterials3DS[size_t(blue)].Ambient, C(0, 32, 64));
    EXPECT_EQ(gMaterials3DS[size_t(grey)].Ambient, C(96, 96, 96));
    EXPECT_EQ(gMaterials3DS[size_t(odd)].Ambient, C(2, 2, 0)) << "2.5 -> 2, 1.5 -> 2, 0.5 -> 0";
    const Mat3DS& m = gMaterials3DS[size_t(blue)];
    EXPECT_EQ(m.Diffuse, C(0, 64, 128));
    EXPECT_EQ(m.Specular, C(255, 255, 255));
    EXPECT_EQ(m.Shininess, 25);
    EXPECT_EQ(m.ShinStrength, 5);
    EXPECT_EQ(m.Transparency, 0);
    EXPECT_TRUE(m.Texture.empty());
    // Every byte survives the trip through 0..1 and back, in every channel.
    for (int v = 0; v < 256; ++v) {
        const int i = AddColorMaterial3DS(RGB3DS(v, 255 - v, v ^ 0x55));
        ASSERT_EQ(Diffuse(i), C(uint8_t(v), uint8_t(255 - v), uint8_t(v ^ 0x55))) << v;
        const int half = v / 2 + ((v % 2 == 1 && (v / 2) % 2 == 1) ? 1 : 0);
        ASSERT_EQ(gMaterials3DS[size_t(i)].Ambient.R, half) << v;
    }
    EXPECT_EQ(InnerTunnelColor3DS(RGB3DS(10, 6, 2)), RGB3DS(2, 2, 0));
    EXPECT_EQ(InnerTunnelColor3DS(RGB3DS(255, 254, 14)), RGB3DS(64, 64, 4)) << "63.75, 63.5, 3.5";
}

TEST_F(Drivers, FullTrackHasNineMaterialsInTheirOrder) {
    MakeTrackModel(3, 1, 2, 12, 4);
    MakeTunnelModels(2, 10);
    MakeSupportModels(2, 10);
    MakeGroundModel(6, 5, 10.0f, true);
    StageTrackModel3DS(true, true, true, true, true);
    ASSERT_EQ(gMaterialCount3DS, 9);
    const Color3DS expected[] = {C(0, 0x40, 0x80), C(0, 0x80, 0xFF), C(255, 255, 255), C(10, 6, 2), C(2, 2, 0),
                                 C(200, 100, 50), C(192, 192, 192), C(0, 160, 0),      C(0, 0, 255)};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(gMaterials3DS[size_t(i)].Name, "MATER00" + std::to_string(i));
        EXPECT_EQ(Diffuse(i), expected[i]) << i;
    }
    EXPECT_EQ(gMaterials3DS[8].Transparency, 75);
    EXPECT_EQ(gMaterials3DS[7].Transparency, 0);
    // The materials of the objects.
    EXPECT_EQ(Object("S0000S00").Material, 0);
    EXPECT_EQ(Object("S0002R01").Material, 1);
    EXPECT_EQ(Object("S002T000").Material, 2);
    EXPECT_EQ(Object("TNLO0001").Material, 3);
    EXPECT_EQ(Object("TNLI0001").Material, 4);
    EXPECT_EQ(Object("ST000001").Material, 5);
    EXPECT_EQ(Object("CW000001").Material, 5);
    EXPECT_EQ(Object("RN000001").Material, 5);
    EXPECT_EQ(Object("SF000001").Material, 6);
    EXPECT_EQ(Object("RF000001").Material, 6);
    EXPECT_EQ(Object("TERA0000").Material, 7);
    EXPECT_EQ(Object("WATR0000").Material, 8);
}

TEST_F(Drivers, ObjectsComeInThePartsOrder) {
    MakeTrackModel(2, 1, 1, 4, 2);
    MakeTunnelModels(1, 4);
    MakeSupportModels(1, 4);
    MakeGroundModel(3, 3, 1.0f, true);
    StageTrackModel3DS(true, true, true, true, true);
    std::vector<std::string> names;
    for (const Obj3DS& o : gObjects3DS) names.push_back(o.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"S0000S00", "S0000R00", "S000T000", "S0001S00", "S0001R00",
                                               "S001T000", "TNLO0000", "TNLI0000", "ST000000", "CW000000",
                                               "RN000000", "SF000000", "RF000000", "TERA0000", "WATR0000"}));
}

TEST_F(Drivers, NamesCarryTheirNumbers) {
    MakeTrackModel(13, 1, 2, 4, 2);
    MakeTunnelModels(4, 4);
    MakeSupportModels(42, 2);
    StageTrackModel3DS(true, true, true, false, false);
    for (const char* name : {"S0012S00", "S0012R01", "S012T000", "TNLO0003", "TNLI0003", "ST000041", "CW000002",
                             "RN000007", "SF000015", "RF000007"})
        EXPECT_EQ(Object(name).Name, name);
    EXPECT_EQ(gObjectCount3DS, 13 * 4 + 2 * 4 + 5 * 42);
}

TEST_F(Drivers, CustomColouredSegmentsAddThreeMaterialsEach) {
    MakeTrackModel(340, 1, 1, 2, 1);
    for (int s = 0; s < 340; ++s) {
        TrackSegment& seg = gSegments[size_t(s)];
        seg.CustomColors = true;
        seg.SpineColor = gSpineColor;  // equal to the track's: still a material of its own
        seg.RailColor = RGB3DS(s % 256, 1, 2);
        seg.TieColor = RGB3DS(3, s % 256, 4);
    }
    StageTrackModel3DS(true, false, false, false, false);
    ASSERT_EQ(gMaterialCount3DS, 3 + 3 * 340);
    EXPECT_EQ(gMaterials3DS[1000].Name, "MATER1000");
    EXPECT_EQ(gMaterials3DS[1022].Name, "MATER1022");
    for (int s : {0, 1, 200, 339}) {
        const std::string n = std::to_string(s + 10000).substr(1);
        EXPECT_EQ(Object("S" + n + "S00").Material, 3 + 3 * s);
        EXPECT_EQ(Object("S" + n + "R00").Material, 4 + 3 * s);
        EXPECT_EQ(Diffuse(4 + 3 * s), C(uint8_t(s % 256), 1, 2));
        EXPECT_EQ(Diffuse(5 + 3 * s), C(3, uint8_t(s % 256), 4));
    }
    EXPECT_EQ(Object("S339T000").Material, 5 + 3 * 339);
}

TEST_F(Drivers, WeldValuesFollowEachKindOfMesh) {
    MakeTrackModel(1, 2, 2, 6, 3);
    gTrackModel[0].Spines[1].Smooth = false;
    for (ModelFace& f : gTrackModel[0].TieFaces) f.Smoothing = -1;  // ignored: ties never weld
    MakeTunnelModels(1, 4);
    MakeSupportModels(2, 4);
    MakeGroundModel(3, 3, 1.0f, true);
    StageTrackModel3DS(true, true, true, true, true);
    auto mask = [&](const std::string& name) { return Object(name).FaceSmooth.at(0); };
    EXPECT_EQ(mask("S0000S00"), 1u);
    EXPECT_EQ(mask("S0000S01"), 0u);
    EXPECT_EQ(mask("S0000R00"), 1u);  // rails alternate Smooth
    EXPECT_EQ(mask("S0000R01"), 0u);
    EXPECT_EQ(mask("S000T000"), 0u);
    EXPECT_EQ(Object("S000T000").VertexCount(), 9u) << "weld 0 keeps every corner";
    EXPECT_EQ(mask("TNLO0000"), 1u);
    EXPECT_EQ(mask("TNLI0000"), 0u);
    EXPECT_EQ(mask("ST000000"), 1u);  // Smoothing -1
    EXPECT_EQ(mask("ST000001"), 0u);  // Smoothing 0
    EXPECT_EQ(mask("CW000000"), 0u);  // catwalks never weld
    EXPECT_EQ(Object("CW000000").VertexCount(), 12u);
    EXPECT_EQ(mask("RN000000"), 1u);
    EXPECT_EQ(mask("SF000000"), 1u);
    EXPECT_EQ(mask("RF000000"), 0u);
    EXPECT_EQ(mask("TERA0000"), 1u);
    EXPECT_EQ(Object("TERA0000").VertexCount(), 9u);
    EXPECT_EQ(mask("WATR0000"), 0u);
    EXPECT_EQ(Object("WATR0000").VertexCount(), 24u);
    gGroundSmooth = false;
    Reset3DSScene();
    StageTrackModel3DS(false, false, false, true, false);
    EXPECT_EQ(mask("TERA0000"), 0u);
    EXPECT_EQ(Object("TERA0000").VertexCount(), 24u);
}

TEST_F(Drivers, MeshesWithoutFacesAddNoObject) {
    MakeTrackModel(2, 1, 1, 0, 0);
    gTrackModel[1].Rails[0] = TubeMesh(2, {0, 0, 0}, true);
    MakeSupportModels(3, 0);
    StageTrackModel3DS(true, true, false, false, false);
    ASSERT_EQ(gObjectCount3DS, 1);
    EXPECT_EQ(gObjects3DS[0].Name, "S0001R00");
    EXPECT_EQ(gMaterialCount3DS, 5);
}

TEST_F(Drivers, GroundIsWeldedIntoPartsOfTenThousandFaces) {
    MakeGroundModel(150, 150, 2.0f, false);  // 44402 triangles
    StageTrackModel3DS(false, false, false, true, false);
    ReferenceStager ref;
    ref.Begin("TERA", 0);
    for (int32_t t = 0; t < gGroundTriangleCount; ++t) {
        const GroundTriangle& g = gGroundTriangles[size_t(t)];
        ref.Triangle(gGroundVertices[size_t(g.A)].Position, gGroundVertices[size_t(g.B)].Position,
                     gGroundVertices[size_t(g.C)].Position, 1);
    }
    ref.Flush();
    ASSERT_EQ(ref.Objects.size(), 5u);
    ExpectSceneEquals(ref.Objects);
    EXPECT_EQ(gObjects3DS[4].Name, "TERA0004");
    EXPECT_EQ(gObjects3DS[4].FaceCount(), 4402u);
    // The first part: 33 rows of 149 cells and 83 cells of the next row,
    // 34 full rows of points and 84 points of the next.
    EXPECT_EQ(gObjects3DS[0].VertexCount(), 150u * 34 + 84);
}

TEST_F(Drivers, WaterIsTheGroundLaidFlat) {
    MakeGroundModel(4, 3, 10.0f, true);
    StageTrackModel3DS(false, false, false, true, true);
    const Obj3DS& water = Object("WATR0000");
    ASSERT_EQ(water.FaceCount(), 12u);
    ASSERT_EQ(water.VertexCount(), 36u);
    for (size_t t = 0; t < 12; ++t) {
        const GroundTriangle& g = gGroundTriangles[t];
        const Face3DS& f = water.Faces[t];
        for (auto [corner, vertex] : {std::pair{g.A, f.A}, std::pair{g.B, f.B}, std::pair{g.C, f.C}}) {
            const Vector3& p = gGroundVertices[size_t(corner)].Position;
            EXPECT_EQ(water.Vertices[vertex].X, p.X);
            EXPECT_EQ(water.Vertices[vertex].Y, 0.0f);
            EXPECT_EQ(water.Vertices[vertex].Z, p.Z);
        }
    }
}

TEST_F(Drivers, WaterOnlyWithGroundTickedAndAWaterModelBuilt) {
    MakeGroundModel(4, 3, 10.0f, true);
    StageTrackModel3DS(false, false, false, false, true);
    EXPECT_EQ(gMaterialCount3DS, 0) << "water without ground";
    EXPECT_EQ(gObjectCount3DS, 0);

    gHasWater = false;
    StageTrackModel3DS(false, false, false, true, true);
    EXPECT_EQ(gMaterialCount3DS, 1) << "a track without water adds no water material";
    Reset3DSScene();

    // The document says water, but the ground was built without terrain (the
    // flat square) and no water model exists: no water.
    gHasWater = true;
    gHasWaterModel = false;
    StageTrackModel3DS(false, false, false, true, true);
    EXPECT_EQ(gMaterialCount3DS, 1);
    for (const Obj3DS& o : gObjects3DS) EXPECT_NE(o.Name.substr(0, 4), "WATR");
}

// Counts of the document or the model that run past their arrays, faces past
// a list's end and ground corners naming missing vertices are never read.
TEST_F(Drivers, CountsBeyondTheArraysAreNeverRead) {
    MakeTrackModel(2, 1, 1, 4, 3);
    MakeTunnelModels(1, 4);
    MakeSupportModels(2, 4);
    MakeGroundModel(3, 3, 1.0f, true);
    gSegmentCount = 50;               // the document grew since the model was built
    gModelSettings.gSpineCount = 9;   // more spines than the entries hold
    gModelSettings.gRailCount = 9;
    gTrackModel[0].TieFaceCount = 1000;
    gTrackModel[1].Spines[0].FaceCount = 999;
    gTubeCount = 100;
    gCatwalkCount = 100;
    gFooterCount = -5;
    gPrefabModelCount = 7;
    gTunnelModelCount = 30;
    gGroundTriangleCount = 1000;
    gGroundTriangles[3].B = 9;        // the last vertex is 8
    gGroundTriangles[5].C = -1;
    gGroundVertexCount = 9;
    gWaterTriangleCount = 500;
    gWaterVertexCount = 900;
    StageTrackModel3DS(true, true, true, true, true);
    EXPECT_EQ(Object("S000T000").FaceCount(), 3u);
    EXPECT_EQ(Object("S0001S00").FaceCount(), 4u);
    EXPECT_EQ(Object("TERA0000").FaceCount(), 6u) << "two triangles name missing vertices";
    // The water reads the ground's triangles: the corner -1 drops one of its
    // eight; its count of 900 vertices stops at the ground array's 10.
    EXPECT_EQ(Object("WATR0000").FaceCount(), 7u);
    // Every object staged comes from a real mesh; the spares of the arrays are empty.
    EXPECT_EQ(gObjectCount3DS, 2 * 3 + 2 + 2 * 5 - 2 + 2);
    std::string failure;
    EXPECT_TRUE(Write3DSFile(folder / "mismatch.3ds", &failure)) << failure;
}

TEST_F(Drivers, ElementExportWithGroundOnly) {
    gDocumentType = DocumentElement;
    MakeTrackModel(3, 1, 1, 4, 2);
    MakeGroundModel(120, 100, 1.0f, false);  // 23562 triangles
    StageElementModel3DS(false, true);
    ASSERT_EQ(gMaterialCount3DS, 1);
    EXPECT_EQ(gMaterials3DS[0].Name, "MATER000");
    EXPECT_EQ(Diffuse(0), C(0, 160, 0));
    ASSERT_EQ(gObjectCount3DS, 3);
    EXPECT_EQ(gObjects3DS[0].Name, "TERA0000");
    EXPECT_EQ(gObjects3DS[1].Name, "TERA0001");
    EXPECT_EQ(gObjects3DS[2].Name, "TERA0002");
}

TEST_F(Drivers, ElementTrackUsesTheBuiltPathAndFixedColours) {
    gDocumentType = DocumentElement;
    MakeTrackModel(4, 1, 2, 4, 2);
    gSegmentCount = 0;                       // an element has no track segments
    gSegments[0].CustomColors = true;        // and no segment colours
    gSpineInfoSegmentCount = 3;              // the model holds one entry more than the path
    StageElementModel3DS(true, false);
    ASSERT_EQ(gMaterialCount3DS, 3);
    EXPECT_EQ(Diffuse(0), C(0, 64, 128));
    EXPECT_EQ(Diffuse(1), C(0, 128, 255));
    EXPECT_EQ(Diffuse(2), C(255, 255, 255));
    EXPECT_EQ(gMaterials3DS[0].Ambient, C(0, 32, 64));
    EXPECT_EQ(gObjectCount3DS, 3 * 4);
    EXPECT_EQ(gObjects3DS.back().Name, "S002T000");
}

TEST_F(Drivers, WholeExportReadsBackWithLib3ds) {
    MakeTrackModel(12, 2, 3, 40, 24);
    gSegments[4].CustomColors = true;
    gSegments[4].SpineColor = RGB3DS(1, 2, 3);
    MakeTunnelModels(2, 100);
    MakeSupportModels(6, 30);
    MakeGroundModel(130, 90, 1.5f, true);  // three parts each of ground and water
    StageTrackModel3DS(true, true, true, true, true);
    const std::string staged = folder / "staged.3ds";
    std::string failure;
    ASSERT_TRUE(Write3DSFile(staged, &failure)) << failure;
    ExpectLib3dsReadsTheScene(staged);
    const size_t objects = size_t(gObjectCount3DS);
    EXPECT_GT(objects, 12u * 6);

    // The driver writes the same bytes and leaves the scene empty.
    const std::string exported = folder / "exported";
    ASSERT_TRUE(ExportTrackModel3DS(exported, true, true, true, true, true, &failure)) << failure;
    EXPECT_EQ(gObjectCount3DS, 0);
    EXPECT_EQ(gMaterialCount3DS, 0);
    EXPECT_EQ(ReadFileBytes(exported), ReadFileBytes(staged)) << "written under the name as given";
    EXPECT_FALSE(fsys::FileExists(exported + ".3ds"));
}

TEST_F(Drivers, FailedExportReportsAndKeepsTheOldFile) {
    MakeTrackModel(2, 1, 1, 4, 2);
    const std::string old = folder.Write("model.3ds", "precious");
    std::string failure;
    EXPECT_FALSE(ExportTrackModel3DS(folder / "missing/model.3ds", true, false, false, false, false, &failure));
    EXPECT_NE(failure.find("missing/model.3ds"), std::string::npos) << failure;
    EXPECT_EQ(gObjectCount3DS, 0) << "the scene is emptied also after a failure";
    EXPECT_FALSE(ExportElementModel3DS(folder.Path(), true, false, &failure)) << "a folder is no file";
    std::string contents;
    ASSERT_TRUE(fsys::ReadWholeFile(old, contents));
    EXPECT_EQ(contents, "precious");
}
