// Staged scenes written to disk and read back by lib3ds: names, materials,
// colours, vertices, faces, face materials and smoothing groups as staged.
#include <gtest/gtest.h>

#include <cmath>

#include "export/file_writer_3ds.h"
#include "export/scene_staging_3ds.h"
#include "tests/export/lib3ds_readback.h"
#include "tests/platform/temp_folder.h"

namespace {

class Lib3dsReadback : public ::testing::Test {
protected:
    void SetUp() override { Reset3DSScene(); }
    void TearDown() override { Reset3DSScene(); }

    void WriteAndCompare(const std::string& name) {
        const std::string path = folder / name;
        std::string failure;
        ASSERT_TRUE(Write3DSFile(path, &failure)) << failure;
        ExpectLib3dsReadsTheScene(path);
    }

    TempFolder folder;
};

// A bumpy grid of w x d cells, two triangles per cell.
void StageGrid(const std::string& name, int material, int w, int d, int16_t weld, bool uv) {
    Begin3DSMesh(name, material, uv, false);
    auto p = [](int i, int j) {
        return Vector3{float(i) * 0.75f - 40.0f, float(std::sin(i * 0.3) * std::cos(j * 0.2)) * 3.0f,
                       float(j) * 0.5f - 20.0f};
    };
    auto t = [](int i, int j) { return UV3DS{float(i) / 64.0f, float(j) / 64.0f}; };
    for (int j = 0; j < d; ++j)
        for (int i = 0; i < w; ++i) {
            Add3DSTriangle(p(i, j), p(i, j + 1), p(i + 1, j + 1), t(i, j), t(i, j + 1), t(i + 1, j + 1), weld);
            Add3DSTriangle(p(i + 1, j + 1), p(i + 1, j), p(i, j), t(i + 1, j + 1), t(i + 1, j), t(i, j), weld);
        }
    Flush3DSMesh();
}

}  // namespace

TEST_F(Lib3dsReadback, SmallSceneOfEveryKind) {
    const int green = Add3DSMaterial({0, 80, 0}, {0, 160, 0}, {255, 255, 255}, 25, 5, 0, "");
    const int water = Add3DSMaterial({0, 0, 128}, {0, 0, 255}, {255, 255, 255}, 25, 5, 0, "");
    gMaterials3DS[size_t(water)].Transparency = 75;
    const int textured = Add3DSMaterial({10, 20, 30}, {40, 50, 60}, {70, 80, 90}, 50, 10, 20, "planks.bmp");
    StageGrid("TERA", green, 20, 10, 1, false);
    StageGrid("WATR", water, 20, 10, 0, false);
    StageGrid("UVMESH", textured, 4, 4, 1, true);
    StageGrid("S0001S00", green, 3, 3, -1, false);
    WriteAndCompare("small.3ds");
}

TEST_F(Lib3dsReadback, SplitMeshesAndManyMaterials) {
    for (int i = 0; i < 1005; ++i)
        Add3DSMaterial({uint8_t(i), uint8_t(i / 4), 0}, {uint8_t(i * 7), uint8_t(i), uint8_t(255 - i % 256)},
                       {255, 255, 255}, 25, 5, 0, "");
    StageGrid("TERA", 1004, 120, 100, 1, false);       // 24000 faces: TERA0000 .. TERA0002
    StageGrid("S0012R01", 1000, 60, 100, 1, false);    // 12000 faces: two parts of one name
    StageGrid("S012T", 999, 2, 2, 0, false);
    ASSERT_EQ(gObjectCount3DS, 6);
    WriteAndCompare("split.3ds");
}
