// Object Placer: copies inside the chosen area and clear of the track, the
// height band on terrain, the bounded search and its message, each copy's
// transform, and the object-file check.

#include "tools/object_placer.h"

#include <cmath>
#include <cstring>

#include "core/app_state.h"
#include "model/path_frames.h"
#include "tests/platform/temp_folder.h"
#include "tests/tools/record_check_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

class ObjectPlacerTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        uint64_t state = 12345;
        SetRandomSource([state]() mutable {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return static_cast<double>(state >> 11) / 9007199254740992.0;
        });
        // A straight track through the middle of the scene, north to south.
        MakeLineTrack({0, 10, 100}, {0, 0, -50}, 4);
        options.FileName = "Trees\\oak.3ds";
    }
    void TearDown() override {
        SetRandomSource({});
        gSimPath.clear();
        ToolTest::TearDown();
    }
    static Vector3 Where(int32_t i) { return MatrixGetTranslation(gObjects[i].Transform); }
    // The horizontal distance from the point to the nearest frame of the built path.
    static float ClearanceToPath(const Vector3& p) {
        float nearest = 1e9f;
        for (int32_t s = 0; s < gSpineInfoSegmentCount; ++s)
            for (const PathFrame& f : gPathMatrixArray[s].Frames)
                nearest = std::min(nearest, std::hypot(f.Frame(0, 3) - p.X, f.Frame(2, 3) - p.Z));
        return nearest;
    }
    ObjectPlacerOptions options;
};

TEST_F(ObjectPlacerTest, CopiesStayInTheSceneAndClearOfTheTrack) {
    gObjectCount = 1;
    gObjects.assign(2, SceneryObject{});
    gObjects[0].FileName = "old.3ds";
    ASSERT_TRUE(RunObjectPlacer(options));
    EXPECT_TRUE(prompts.Messages.empty());
    ASSERT_EQ(gObjectCount, 101);
    EXPECT_EQ(gObjects[0].FileName, "old.3ds");
    EXPECT_EQ(gObjects.size(), 102u) << "one spare record";
    for (int32_t i = 1; i <= 100; ++i) {
        const Vector3 p = Where(i);
        EXPECT_EQ(gObjects[i].FileName, "Trees\\oak.3ds");
        EXPECT_TRUE(std::fabs(p.X) <= 220.0f && std::fabs(p.Z) <= 220.0f && p.Y == 0.0f) << i;
        EXPECT_GE(ClearanceToPath(p), 4.99f) << i;
    }
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear()) << "scenery objects need no rebuild";
    EXPECT_TRUE(SavesAndReloadsValid());
}

TEST_F(ObjectPlacerTest, TheAreaAndTheHeightBandAreApplied) {
    options.Area[0] = 20, options.Area[1] = 5, options.Area[2] = 10, options.Area[3] = -5;
    options.KeepAway = false;
    EXPECT_EQ(PlaceSceneryObjects(options), 100);
    for (int32_t i = 0; i < 100; ++i) {
        const Vector3 p = Where(i);
        EXPECT_TRUE(p.X >= 10.0f && p.X <= 20.0f && p.Z >= -5.0f && p.Z <= 5.0f) << p.X << " " << p.Z;
    }
    // Flat terrain at 0 m: the default band places every copy.
    gHasTerrain = true;
    gTerrainWidth = gTerrainDepth = 3;
    gTerrainSpacingX = gTerrainSpacingZ = 220.0f;
    gTerrainHeights.Resize(3, 3);
    gObjectCount = 0;
    ASSERT_TRUE(RunObjectPlacer(options));
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(gObjectCount, 100);
    // Terrain with water: under water (-20 m, read as the surface) on the west
    // half, 50 m on the east half.
    gHasWater = true;
    for (int32_t j = 0; j < 3; ++j) gTerrainHeights(0, j) = -20.0f, gTerrainHeights(2, j) = 50.0f;
    gObjectCount = 0;
    ObjectPlacerOptions band;
    band.FileName = "rock.3ds";
    band.KeepAway = false;
    band.Above = 40.0;
    band.Below = 10.0;
    EXPECT_EQ(PlaceSceneryObjects(band), 100);
    for (int32_t i = 0; i < 100; ++i) {
        const Vector3 p = Where(i);
        EXPECT_TRUE(p.Y >= 10.0f && p.Y <= 40.0f) << p.Y;
        EXPECT_FLOAT_EQ(p.Y, GetGroundHeightAt(p)) << "set on the ground";
    }
}

TEST_F(ObjectPlacerTest, TheSearchIsBoundedAndSaysHowManyItPlaced) {
    options.Area[0] = -5, options.Area[2] = 5, options.Area[1] = -50, options.Area[3] = 50;
    options.SpaceTrack = 50;
    EXPECT_FALSE(RunObjectPlacer(options));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Only 0 of 100 objects could be placed: no free spot was found for the others.");
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(gObjectCount, 0);
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(ObjectPlacerTest, TransformsScaleAlongTheObjectsOwnAxesThenTurn) {
    // Rx(90) Rz(90) diag(2, 3, 4) moved to (5, 1, 7), worked out by hand.
    const float expected[4][4] = {{0, -3, 0, 5}, {0, 0, -4, 1}, {2, 0, 0, 7}, {0, 0, 0, 1}};
    const Matrix4 hand = PlacedObjectTransform(MakeVector(2, 3, 4), MakeVector(float(kPi / 2), 0, float(kPi / 2)),
                                               MakeVector(5, 1, 7));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(hand(r, c), expected[r][c], 1e-6f) << r << "," << c;
    const Matrix4 m = PlacedObjectTransform(MakeVector(2, 1, 1), MakeVector(0, float(kPi / 2), 0), MakeVector(5, 1, 7));
    EXPECT_TRUE(Near(MatrixTransformPoint(m, MakeVector(1, 0, 0)), MakeVector(5, 1, 5)));
    EXPECT_TRUE(Near(MatrixTransformPoint(m, MakeVector(0, 0, 1)), MakeVector(6, 1, 7)));
    // No shear: the images of the axes stay at right angles.
    const Matrix4 t = PlacedObjectTransform(MakeVector(3, 1, 0.5f), MakeVector(0.3f, 1.1f, -0.7f), Vector3{});
    const Vector3 x = MatrixTransformPoint(t, MakeVector(1, 0, 0)), z = MatrixTransformPoint(t, MakeVector(0, 0, 1));
    EXPECT_NEAR(x.X * z.X + x.Y * z.Y + x.Z * z.Z, 0.0f, 1e-5f);

    // Everything unticked: a pure move to (x, 0, z).
    ObjectPlacerOptions plain;
    plain.OnGroundOnly = plain.KeepAway = plain.Scale = plain.Rotate = false;
    plain.Count = 1;
    EXPECT_EQ(PlaceSceneryObjects(plain), 1);
    const Matrix4 moved = MatrixSetTranslation(MatrixIdentity(), Where(0));
    EXPECT_EQ(std::memcmp(&gObjects[0].Transform, &moved, sizeof moved), 0);
    // Minimum above maximum gives values between them.
    ObjectPlacerOptions swapped;
    swapped.KeepAway = false;
    swapped.Count = 20;
    for (double& lo : swapped.ScaleMin) lo = 2.0;
    for (double& hi : swapped.ScaleMax) hi = 1.0;
    swapped.Rotate = false;
    gObjectCount = 0;
    PlaceSceneryObjects(swapped);
    for (int32_t i = 0; i < 20; ++i)
        EXPECT_TRUE(gObjects[i].Transform(1, 1) >= 1.0f && gObjects[i].Transform(1, 1) <= 2.0f);
}

TEST_F(ObjectPlacerTest, ObjectFileMustLieBelowTheObjectsFolder) {
    TempFolder sim;
    sim.Write("Objects/Trees/Oak.3ds");
    sim.Write("Objects/notes.txt");
    sim.Write("Oak.3ds");
    gSimPath = sim.Path();
    EXPECT_TRUE(ObjectFileValid(sim / "Objects/Trees/Oak.3ds"));
    EXPECT_TRUE(ObjectFileValid(sim / "objects/TREES/oak.3DS")) << "a prefix differing only in case";
    EXPECT_TRUE(ObjectFileValid(sim / "Objects/notes.txt")) << "the file type is not checked here";
    for (const std::string& bad : {std::string(), sim / "Oak.3ds", sim / "Objects/Missing.3ds", sim.Path() + "Objects",
                                   std::string("Trees\\Oak.3ds")})
        EXPECT_FALSE(ObjectFileValid(bad)) << bad;
    EXPECT_EQ(PlacerCopies(2.5), 2);
    EXPECT_EQ(PlacerCopies(3.5), 4);
    EXPECT_EQ(PlacerCopies(1000), 1000);
}

}  // namespace
