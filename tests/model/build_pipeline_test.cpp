// The build pipeline: full builds at every detail level, partial rebuilds by
// the flags, the busy texts, crosstie failures, and the guard against a build
// inside a build.

#include <filesystem>

#include "core/app_state.h"
#include "model/build_pipeline.h"
#include "model/build_snapshot.h"
#include "model/model_coloring.h"
#include "model/model_fingerprint.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/element_document.h"

namespace {

using Texts = std::vector<std::string>;

class BuildPipelineTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        SetRenderSceneHandler([this] {
            ++renders;
            renderedWhileBuilding = renderedWhileBuilding || IsModelBuilding();
        });
    }
    // A track whose crosstie files are not where the presets look.
    void UseEmptyProgramFolder() { gAppPath = MakeTempFolder(); }

    int FaceCount(int segment) {
        const TrackModelEntry& e = gTrackModel[segment];
        int n = e.TieFaceCount;
        for (const ModelMesh& m : e.Rails) n += m.FaceCount;
        for (const ModelMesh& m : e.Spines) n += m.FaceCount;
        return n;
    }

    int renders = 0;
    bool renderedWhileBuilding = false;
};

const Texts kFullBuildTexts = {"Extracting spine information",
                               "Creating path matrix array",
                               "Modeling crossties",
                               "Modeling crossties",
                               "Creating track model",
                               "Creating tube models",
                               "Creating catwalk models",
                               "Creating footer models",
                               "Creating prefab support models",
                               "Creating tunnel models",
                               "Creating ground model"};

}  // namespace

TEST_F(BuildPipelineTest, FullBuildShowsItsStagesInOrder) {
    MakeStraightTrack(2, 10.0f);
    RemodelTrack(true);
    EXPECT_EQ(busy.Texts(), kFullBuildTexts);
    EXPECT_EQ(busy.Events.front(), "show");
    EXPECT_EQ(busy.Events.back(), "unload");
    EXPECT_TRUE(gSpineInfoValid);
    EXPECT_TRUE(gPathValid);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(gPresetsLoaded);
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(renders, 0);  // the caller redraws after a full build
    EXPECT_GT(gTrackModel[0].TieFaceCount, 0);
    EXPECT_FALSE(IsModelBuilding());
}

TEST_F(BuildPipelineTest, FaceCountsAtEveryDetailLevel) {
    // Style 0: two round rails (10 faces a step), one round spine (16), the
    // primary tie every 1.5 m.
    struct Level {
        int Value;
        float Rail, Spine;
    };
    for (const Level& level : {Level{1, 1.5f, 2.0f}, Level{2, 1.0f, 1.0f}, Level{3, 0.5f, 1.0f}, Level{4, 0.5f, 0.5f}}) {
        SCOPED_TRACE(level.Value);
        MakeStraightTrack(3, 12.0f);
        gModelOnLoad = static_cast<int16_t>(level.Value);
        RemodelTrack(true);
        ASSERT_TRUE(gTrackModelValid);
        EXPECT_EQ(gModelSettings.RailDetail, level.Rail);
        EXPECT_EQ(gModelSettings.SpineDetail, level.Spine);
        const int tieTriangles = gModelSettings.gTieModels[0].TriangleCount;
        ASSERT_GT(tieTriangles, 0);
        for (int s = 0; s < 3; ++s) {
            const float length = gPathMatrixArray[s].Length;
            const bool last = s == 2;
            const int expected = 2 * 10 * SweepStripCount(length, level.Rail, last) +
                                 16 * SweepStripCount(length, level.Spine, last) +
                                 TieCount(length, 1.5f) * tieTriangles;
            EXPECT_EQ(FaceCount(s), expected) << s;
        }
        // 12 m segments at 1.5 m: 8 ties each.
        EXPECT_EQ(gTrackModel[1].TieFaceCount, 8 * tieTriangles);
    }
}

TEST_F(BuildPipelineTest, LevelZeroBuildsOnlyThePathAndReadsNoCrosstieFile) {
    UseEmptyProgramFolder();
    MakeStraightTrack(2, 10.0f);
    gModelOnLoad = 0;
    RemodelTrack(true);
    EXPECT_EQ(busy.Texts(), (Texts{"Extracting spine information", "Creating path matrix array"}));
    EXPECT_EQ(busy.Events.back(), "unload");
    EXPECT_TRUE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_FALSE(gPresetsLoaded);  // no presets applied
    EXPECT_TRUE(prompts.Messages.empty());  // the missing crosstie files were never looked for
    EXPECT_EQ(gModelSettings.gTieModels[0].File, "");
    EXPECT_EQ(gPathMatrixArray.size(), 2u);
}

TEST_F(BuildPipelineTest, MissingPrimaryCrosstieStopsTheFullBuild) {
    UseEmptyProgramFolder();
    MakeStraightTrack(2, 10.0f);
    RemodelTrack(true);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Error: Primary Crosstie Model could not be loaded!");
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(busy.Events.back(), "unload");  // the busy window went before the message
    EXPECT_EQ(busy.Texts().back(), "Modeling crossties");
    EXPECT_TRUE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_EQ(gTrackModel.size(), 1u);  // nothing built
}

TEST_F(BuildPipelineTest, MissingSecondaryCrosstieHasItsOwnMessage) {
    const std::string folder = MakeTempFolder();
    std::filesystem::copy_file(TestDataFolder() + "vxtmTie03.fcobject", folder + "vxtmTie03.fcobject");
    gAppPath = folder;
    MakeStraightTrack(2, 10.0f, false, 3);
    RemodelTrack(true);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Error: Secondary Crosstie Model could not be loaded!");
    EXPECT_EQ(prompts.Messages[0].Title, "Error");
    EXPECT_FALSE(gTrackModelValid);
}

TEST_F(BuildPipelineTest, MissingCrosstieStopsThePartialRebuild) {
    MakeStraightTrack(2, 10.0f);
    RemodelTrack(true);
    ASSERT_TRUE(gTrackModelValid);
    UseEmptyProgramFolder();
    gModelSettings.gTieModels[0].File = AppFolderFile("\\vxtmTie00.fcobject");
    busy.Events.clear();
    SetAllRemodelFlags();
    RemodelChangedParts();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Model can not be created!\r\nCould not load crosstie model!");
    EXPECT_EQ(prompts.Messages[0].Title, "Error!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(busy.Texts(), (Texts{"Creating path matrix array", "Modeling crossties"}));
    EXPECT_EQ(busy.Events.back(), "unload");
    EXPECT_EQ(renders, 0);  // nothing is redrawn
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);  // the flags stay as they are
    // The crosstie slot keeps the triangles it had.
    EXPECT_GT(gModelSettings.gTieModels[0].TriangleCount, 0);
}

TEST_F(BuildPipelineTest, RecolourOnlyReadsNoFileAndRedraws) {
    MakeStraightTrack(2, 10.0f);
    gSegments[1].SegmentType = SegmentBrake;
    RemodelTrack(true);
    UseEmptyProgramFolder();
    gModelSettings.gTieModels[0].File = AppFolderFile("\\vxtmTie00.fcobject");  // would fail if read
    gColorTrackChecked = false;
    gColorSegmentChecked = true;
    busy.Events.clear();
    ClearRemodelFlags();
    gRemodelFlags.Recolor = true;
    RemodelChangedParts();
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(busy.Texts(), (Texts{"Coloring model"}));
    EXPECT_EQ(gTrackModel[1].RailColor, RGBColor(255, 0, 0));
    EXPECT_EQ(renders, 1);
    EXPECT_FALSE(renderedWhileBuilding);
}

TEST_F(BuildPipelineTest, NoFlagOnlyRedraws) {
    MakeStraightTrack(2, 10.0f);
    RemodelTrack(true);
    busy.Events.clear();
    ClearRemodelFlags();
    RemodelChangedParts();
    EXPECT_EQ(busy.Events, (Texts{"show", "unload"}));
    EXPECT_EQ(renders, 1);
}

TEST_F(BuildPipelineTest, KeepGroundRebuildsEverythingElseInOrder) {
    MakeStraightTrack(2, 10.0f);
    RemodelTrack(true);
    busy.Events.clear();
    SetRemodelFlagsKeepGround();
    RemodelChangedParts();
    EXPECT_EQ(busy.Texts(), (Texts{"Creating path matrix array", "Modeling crossties", "Creating track model",
                                   "Creating support tube models", "Creating catwalk models", "Creating footer models",
                                   "Creating prefab support models", "Creating tunnel models", "Coloring model"}));
    EXPECT_EQ(renders, 1);
}

TEST_F(BuildPipelineTest, ElementRebuildIgnoresTheTrackOnlyParts) {
    gElementNodeCount = 3;
    gElementNodes.assign(4, TrackNode{});
    gElementNodes[0] = Node({0, 0, 0}, {0, 0, 0}, {0, 0, -3});
    gElementNodes[1] = Node({0, 0, -10}, {0, 0, -7}, {0, 0, -13});
    gElementNodes[2] = Node({0, 0, -20}, {0, 0, -17}, {0, 0, -23});
    gDocumentType = DocumentElement;
    RemodelTrack(true);
    ASSERT_TRUE(gTrackModelValid);
    EXPECT_EQ(gTrackModel.size(), 3u);
    EXPECT_EQ(gTrackModel[0].RailColor, RGBColor(255, 0, 255));  // the element's start
    busy.Events.clear();
    SetAllRemodelFlags();
    RemodelChangedParts();
    EXPECT_EQ(busy.Texts(),
              (Texts{"Creating path matrix array", "Modeling crossties", "Creating track model", "Coloring model"}));
}

TEST_F(BuildPipelineTest, PartialRebuildHasItsOwnDetailTable) {
    MakeStraightTrack(1, 10.0f);
    struct Row {
        int Level;
        float OpenSpine, RemodelSpine;
    };
    for (const Row& row : {Row{1, 2.0f, 2.0f}, Row{2, 1.0f, 1.5f}, Row{3, 1.0f, 1.0f}, Row{4, 0.5f, 1.0f}}) {
        SCOPED_TRACE(row.Level);
        gModelOnLoad = static_cast<int16_t>(row.Level);
        RemodelTrack(true);
        EXPECT_EQ(gModelSettings.SpineDetail, row.OpenSpine);
        gPresetsLoaded = false;
        ClearRemodelFlags();
        RemodelChangedParts();
        EXPECT_EQ(gModelSettings.SpineDetail, row.RemodelSpine);
    }
    // Levels outside 1 to 4 leave the detail alone.
    gModelSettings.SpineDetail = 2.5f;
    gModelOnLoad = 5;
    gPresetsLoaded = false;
    RemodelChangedParts();
    EXPECT_EQ(gModelSettings.SpineDetail, 1.0f);  // the presets' value, not overridden
}

TEST_F(BuildPipelineTest, OpeningAppliesTheNewDocumentsPresetsAfresh) {
    MakeStraightTrack(1, 10.0f);
    RemodelTrack(true);
    gModelSettings.TieSpacing = 3.0f;  // changed in the modeler dialog
    gModelSettings.gRailCount = 1;
    MakeStraightTrack(1, 10.0f, false, 11);
    RemodelTrack(true);
    EXPECT_EQ(gModelSettings.TieSpacing, 0.5f);
    EXPECT_EQ(gModelSettings.gRailCount, 2);
    EXPECT_EQ(gModelSettings.gRails[0].Shape, RailWood);
}

TEST_F(BuildPipelineTest, LevelFiveShowsTheModelerThenRebuildsEverything) {
    MakeStraightTrack(2, 10.0f);
    gModelOnLoad = 5;
    bool presetsBeforeDialog = false;
    SetModelerDialogHandler([&] {
        presetsBeforeDialog = gPresetsLoaded;
        gModelSettings.TieSpacing = 2.0f;  // the user's choice in the dialog
    });
    RemodelTrack(true);
    EXPECT_TRUE(presetsBeforeDialog);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_EQ(renders, 1);
    EXPECT_EQ(gModelSettings.TieSpacing, 2.0f);
    EXPECT_EQ(busy.Texts().back(), "Coloring model");
    EXPECT_EQ(gTrackModel[0].TieFaceCount, TieCount(gPathMatrixArray[0].Length, 2.0f) *
                                               gModelSettings.gTieModels[0].TriangleCount);
}

TEST_F(BuildPipelineTest, OpeningEmptiesThePreviousModel) {
    MakeStraightTrack(6, 10.0f);
    gTubeCount = 2;
    gTubes.resize(3);
    RemodelTrack(true);
    ASSERT_EQ(gTrackModel.size(), 7u);
    ASSERT_EQ(gTubeModels.size(), 3u);
    // The next document is opened with a level that builds nothing.
    MakeStraightTrack(2, 10.0f);
    gTubeCount = 0;
    gModelOnLoad = 9;
    RemodelTrack(true);
    EXPECT_TRUE(busy.Events.back() == "unload");
    EXPECT_EQ(gTrackModel.size(), 1u);
    EXPECT_EQ(gTubeModels.size(), 1u);
    EXPECT_EQ(gSpineInfoSegmentCount, 0);
    EXPECT_FALSE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    // At level 0 only the path of the new document exists.
    MakeStraightTrack(6, 10.0f);
    RemodelTrack(true);
    MakeStraightTrack(2, 10.0f);
    gModelOnLoad = 0;
    RemodelTrack(true);
    EXPECT_EQ(gTrackModel.size(), 1u);
    EXPECT_EQ(gPathMatrixArray.size(), 2u);
}

TEST_F(BuildPipelineTest, NoBuildStartsWhileOneRuns) {
    MakeStraightTrack(4, 10.0f);
    int nested = 0;
    busy.OnMarker = [&] {
        // Events delivered by the busy window: a redraw, and commands that
        // would start another build.
        ++nested;
        EXPECT_TRUE(IsModelBuilding());
        SetAllRemodelFlags();
        RemodelChangedParts();
        RemodelTrack(true);
        BuildTrackModel(true, false, false);
    };
    RemodelTrack(true);
    busy.OnMarker = nullptr;
    EXPECT_GT(nested, 0);
    EXPECT_FALSE(IsModelBuilding());
    EXPECT_EQ(busy.Texts(), kFullBuildTexts);  // one build, not interleaved with others
    EXPECT_EQ(renders, 0);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_EQ(gTrackModel.size(), 5u);
    // Once it has ended, the next one runs.
    RemodelChangedParts();
    EXPECT_EQ(renders, 1);
}

TEST_F(BuildPipelineTest, SettingsChangedWhileABuildRunsReachOnlyTheNextBuild) {
    MakeStraightTrack(6, 10.0f);
    RemodelTrack(true);
    const std::vector<ModelPartPrint> calm = ModelFingerprint();
    // Events during the build (the modeler dialog's values, the comb's
    // settings) change the live settings after every marker step.
    busy.OnMarker = [] {
        gModelSettings.RailDetail = 0.1f;
        gModelSettings.SpineDetail = 0.1f;
        gModelSettings.TieSpacing = 0.1f;
        gModelSettings.RoundFooters = !gModelSettings.RoundFooters;
        gCombRadiusScale = 20.0f;
        gCombRadiusLimit = 1;
    };
    RemodelTrack(true);
    busy.OnMarker = nullptr;
    EXPECT_EQ(FingerprintText(ModelFingerprint()), FingerprintText(calm)) << "the build read its frozen settings";
    EXPECT_EQ(BuildSettings().TieSpacing, 0.1f) << "outside a build the live settings";
    // A rebuild started afterwards takes them.
    SetAllRemodelFlags();
    RemodelChangedParts();
    EXPECT_NE(FingerprintText(ModelFingerprint()), FingerprintText(calm));
}

TEST_F(BuildPipelineTest, BuildWithoutDocumentDoesNothing) {
    BuildTrackModel(true, false, false);
    EXPECT_TRUE(busy.Events.empty());
    EXPECT_FALSE(gPathValid);
}

TEST_F(BuildPipelineTest, StubStagesSizeTheirArraysByTheDocument) {
    MakeStraightTrack(3, 10.0f);
    gTubeCount = 2;
    gTubes.resize(3);
    gFooterCount = 4;
    gFooters.resize(5);
    gSegments[1].Tunnel = true;
    gRascGroups[2].ItemCount = 2;
    gRascGroups[2].Items.resize(3);
    RemodelTrack(true);
    EXPECT_EQ(gTubeModels.size(), 3u);
    EXPECT_EQ(gFooterModels.size(), 5u);
    EXPECT_EQ(gCatwalkModels.size(), 1u);
    EXPECT_EQ(gTunnelModelCount, 1);
    EXPECT_EQ(gTunnelOuterModels.size(), 2u);
    EXPECT_EQ(gPrefabModelCount, 2);
    EXPECT_EQ(gPrefabModels.size(), 3u);
}
