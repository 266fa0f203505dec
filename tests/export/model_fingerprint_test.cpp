// The model and its export stay exactly what they were when the builders were
// made faster: the samples and a mid-sized ride (every kind of support, a
// terrain with water) opened at the highest level, every array fingerprinted
// and the full 3D Studio export hashed, against values recorded from the
// builders before they were reworked.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "core/app_state.h"
#include "bench/common/large_track.h"
#include "export/export_choices.h"
#include "export/scene_staging_3ds.h"
#include "model/build_pipeline.h"
#include "model/model_fingerprint.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

class ModelFingerprintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTrackDocument();
        ClearElementDocument();
        ClearModelArrays();
        gModelSettings = ModelerSettings{};
        ClearRemodelFlags();
        gPathValid = gTrackModelValid = gSpineInfoValid = gPresetsLoaded = false;
        Reset3DSScene();
    }
    void TearDown() override {
        ClearTrackDocument();
        ClearElementDocument();
        ClearModelArrays();
        gDocumentType = DocumentNone;
    }

    void BuildAtLevel4() {
        gModelOnLoad = 4;
        gAppPath = GW_TEST_DATA_DIR;
        RemodelTrack(true);
        ASSERT_TRUE(gTrackModelValid);
    }

    void OpenSample(const std::string& name) {
        const std::string path = std::string(GW_SAMPLES_DIR) + name;
        const bool track = fsys::HasExtension(path, ".vxtrack");
        gDocumentType = track ? DocumentTrack : DocumentElement;
        ASSERT_TRUE(track ? LoadTrackFile(path) : LoadElementFile(path)) << path;
        BuildAtLevel4();
    }

    // The fingerprint lines followed by "export_3ds <bytes> <hash>".
    std::string Print() {
        std::string text = FingerprintText(ModelFingerprint());
        const std::string path = folder / "all.3ds";
        std::string failure;
        EXPECT_TRUE(RunModelExport(gDocumentType, ExportTicks{true, true, true, true, true}, path, &failure))
            << failure;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(fsys::ReadWholeFile(path, bytes));
        char line[80];
        std::snprintf(line, sizeof line, "export_3ds %zu %016" PRIx64 "\n", bytes.size(),
                      FingerprintBytes(bytes.data(), bytes.size()));
        return text + line;
    }

    TempFolder folder;
};

TEST_F(ModelFingerprintTest, SamplesBuildAndExportAsRecorded) {
    const struct {
        const char* name;
        const char* print;
    } samples[] = {
        {"circuit.vxtrack",
         "track 13 26604 a5bab4df08f624c6\n"
         "tubes 7 132 567c976b8bb7aebc\n"
         "catwalks 1 0 eca4bd251670946c\n"
         "footers 7 60 4c2654ed19f86928\n"
         "prefabs 10 360 1e2620f5392021c0\n"
         "prefab_footers 10 90 23ecf9efd7251d38\n"
         "tunnel_outer 2 816 b6ad98e55e8775c9\n"
         "tunnel_inner 2 784 32c88173e0e7af41\n"
         "ground 4 2 4d7705d4445f161b\n"
         "water 0 0 98b2b1418e80a50f\n"
         "export_3ds 849372 16aab143013849fe\n"},
        {"lakeside.vxtrack",
         "track 11 21060 d7636ad1ba8d87d0\n"
         "tubes 1 0 eca4bd251670946c\n"
         "catwalks 1 0 eca4bd251670946c\n"
         "footers 1 0 eca4bd251670946c\n"
         "prefabs 10 360 b30532343e3e07a1\n"
         "prefab_footers 10 90 e908fd5db08dc208\n"
         "tunnel_outer 1 0 eca4bd251670946c\n"
         "tunnel_inner 1 0 eca4bd251670946c\n"
         "ground 1089 2048 4896301bc899df26\n"
         "water 1089 2048 7e410680561e2244\n"
         "export_3ds 749378 6902a77c5c87cbcb\n"},
        {"shuttle.vxtrack",
         "track 8 18240 235be2b3a480ae15\n"
         "tubes 5 88 644fdcd6d7135e44\n"
         "catwalks 1 0 eca4bd251670946c\n"
         "footers 5 40 ac390a9bf19231e4\n"
         "prefabs 7 240 091d8b98b8301696\n"
         "prefab_footers 7 60 2fd82868bae31d02\n"
         "tunnel_outer 1 0 eca4bd251670946c\n"
         "tunnel_inner 1 0 eca4bd251670946c\n"
         "ground 4 2 4d7705d4445f161b\n"
         "water 0 0 98b2b1418e80a50f\n"
         "export_3ds 592544 df6211c7772726b2\n"},
        {"camelback.vxelem",
         "track 5 5076 13704bc9a58ee081\n"
         "tubes 1 0 eca4bd251670946c\n"
         "catwalks 1 0 eca4bd251670946c\n"
         "footers 1 0 eca4bd251670946c\n"
         "prefabs 1 0 eca4bd251670946c\n"
         "prefab_footers 1 0 eca4bd251670946c\n"
         "tunnel_outer 1 0 eca4bd251670946c\n"
         "tunnel_inner 1 0 eca4bd251670946c\n"
         "ground 4 2 4d7705d4445f161b\n"
         "water 0 0 98b2b1418e80a50f\n"
         "export_3ds 141856 c0a15d16f5180dce\n"},
    };
    for (const auto& s : samples) {
        SetUp();
        OpenSample(s.name);
        EXPECT_EQ(Print(), s.print) << s.name;
    }
}

TEST_F(ModelFingerprintTest, MidSizedRideBuildsAndExportsAsRecorded) {
    LargeRideOptions options;
    options.Footers = 200;
    options.FreeNodes = 400;
    options.Catwalks = 100;
    options.Tubes = 1000;
    options.PrefabSpacing = 40.0;
    options.SceneryObjects = 0;
    options.TerrainPoints = 96;
    MakeLargeRide(options);
    BuildAtLevel4();
    EXPECT_EQ(Print(),
              "track 2001 1540656 0638b7e8a9b8b1ac\n"
              "tubes 1001 19800 75d2fffbcd36a568\n"
              "catwalks 101 1200 d9bcef254ab1b13a\n"
              "footers 201 2000 264725010ae2dd3b\n"
              "prefabs 391 62124 1668f259e9400b40\n"
              "prefab_footers 391 7170 30a371a67f66b9e1\n"
              "tunnel_outer 81 22592 daff76acec869767\n"
              "tunnel_inner 81 20032 caab8f729cb29f8c\n"
              "ground 9216 18050 61a4e2908d6444e9\n"
              "water 9216 18050 0f143d7cddb4c2de\n"
              "export_3ds 50761362 0688376f2fca2b23\n");
}

}  // namespace
