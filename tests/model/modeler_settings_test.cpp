// Model settings: the track-style presets.

#include <cmath>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/model_coloring.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "tests/model/model_test_support.h"

namespace {

class ModelerSettingsTest : public ModelTest {
protected:
    const ModelerSettings& m = gModelSettings;
};

}  // namespace

TEST_F(ModelerSettingsTest, StartUpDetail) {
    const ModelerSettings fresh;
    EXPECT_EQ(fresh.RailDetail, 0.5f);
    EXPECT_EQ(fresh.SpineDetail, 1.0f);
    EXPECT_EQ(fresh.gRailCount, 0);
    EXPECT_EQ(fresh.gRails.size(), 1u);
}

TEST_F(ModelerSettingsTest, SteelLoopingPreset) {
    gDocumentType = DocumentTrack;
    gTrackSupportColor = RGBColor(1, 2, 3);
    gAppPath = "/opt/gantrywright/";
    ApplyTrackStylePresets(0, false);
    EXPECT_TRUE(gPresetsLoaded);
    ASSERT_EQ(m.gRailCount, 2);
    EXPECT_EQ(m.gRails[0].PosX, -0.5f);
    EXPECT_EQ(m.gRails[1].PosX, 0.5f);
    EXPECT_EQ(m.gRails[1].Size, 0.07f);
    EXPECT_EQ(m.gRails[1].Shape, RailRound);
    ASSERT_EQ(m.gSpineCount, 1);
    EXPECT_EQ(m.gSpines[0].PosY, -0.3f);
    EXPECT_EQ(m.gSpines[0].Size, 0.2f);
    EXPECT_EQ(m.gSpines[0].Shape, SpineRound);
    EXPECT_TRUE(m.gTieModels[0].Use);
    EXPECT_EQ(m.gTieModels[0].File, "/opt/gantrywright/vxtmTie00.fcobject");
    EXPECT_FALSE(m.gTieModels[1].Use);
    EXPECT_EQ(m.gTieModels[1].File, "");
    EXPECT_EQ(m.TieSpacing, 1.5f);
    EXPECT_FALSE(m.ToggleTies);
    EXPECT_FALSE(m.RoundFooters);
    EXPECT_FALSE(m.SquareTunnels);
    EXPECT_TRUE(m.UseTerrain);
    EXPECT_FALSE(m.LowDetailTerrain);
    EXPECT_EQ(m.TunnelSoftness, 8);
    EXPECT_EQ(m.SupportColor, RGBColor(1, 2, 3));
    EXPECT_EQ(m.TunnelColor, RGBColor(1, 2, 3));
    EXPECT_EQ(m.TubeScales[6].X, 0.12f);
    EXPECT_EQ(m.TubeScales[6].Z, 0.1f);
    EXPECT_EQ(m.TubeScales[8].Z, 0.025f);
    EXPECT_EQ(m.TubeScales[10].X, 0.0f);
}

TEST_F(ModelerSettingsTest, TwistedStylesShareTheirPreset) {
    for (int style : {3, 6, 7, 8}) {
        ApplyTrackStylePresets(style, false);
        EXPECT_EQ(m.gSpines[0].PosY, -0.5f) << style;
        EXPECT_EQ(m.gSpines[0].Shape, SpineSquare);
        EXPECT_TRUE(m.gTieModels[1].Use);
        EXPECT_EQ(m.gTieModels[1].File, AppFolderFile("\\vxtmTie03b.fcobject"));
        EXPECT_TRUE(m.ToggleTies);
        EXPECT_EQ(m.ToggleCount1, 6);
        EXPECT_EQ(m.ToggleCount2, 1);
    }
    ApplyTrackStylePresets(4, false);
    EXPECT_EQ(m.gSpines[0].PosY, 0.5f);
    EXPECT_EQ(m.gTieModels[0].File, AppFolderFile("\\vxtmTie04.fcobject"));
    ApplyTrackStylePresets(5, false);
    EXPECT_EQ(m.gSpines[0].Size, 0.07f);
    EXPECT_EQ(m.TieSpacing, 1.0f);
    EXPECT_EQ(m.ToggleCount1, 1);
    EXPECT_EQ(m.gTieModels[1].File, AppFolderFile("\\vxtmTie05b.fcobject"));
}

TEST_F(ModelerSettingsTest, WoodenStyle) {
    ApplyTrackStylePresets(11, false);
    ASSERT_EQ(m.gRailCount, 2);
    EXPECT_EQ(m.gRails[0].PosX, -0.6f);
    EXPECT_EQ(m.gRails[0].Size, 1.0f);
    EXPECT_EQ(m.gRails[0].Shape, RailWood);
    EXPECT_EQ(m.gSpineCount, 0);
    ASSERT_EQ(m.gSpines.size(), 1u);
    EXPECT_EQ(m.gSpines[0].Size, 0.0f);
    EXPECT_EQ(m.gTieModels[0].File, AppFolderFile("\\vxtmTie06.fcobject"));
    EXPECT_FALSE(m.gTieModels[1].Use);
    EXPECT_EQ(m.TieSpacing, 0.5f);
    EXPECT_TRUE(m.RoundFooters);
    EXPECT_TRUE(m.SquareTunnels);
}

TEST_F(ModelerSettingsTest, UnknownStyleKeepsTrackPartsButResetsShapesAndExtras) {
    ApplyTrackStylePresets(11, false);
    gModelSettings.RailDetail = 2.0f;
    for (int style : {13, -1}) {
        ApplyTrackStylePresets(style, false);
        EXPECT_EQ(m.gRails[0].Shape, RailWood);
        EXPECT_EQ(m.TieSpacing, 0.5f);
        EXPECT_FALSE(m.RoundFooters);
        EXPECT_FALSE(m.SquareTunnels);
        EXPECT_EQ(m.RailDetail, 0.5f);
    }
}

TEST_F(ModelerSettingsTest, KeepExtrasLeavesDetailAndColours) {
    ApplyTrackStylePresets(11, false);
    gModelSettings.RailDetail = 2.0f;
    gModelSettings.TunnelSoftness = 20;
    gModelSettings.SupportColor = 5;
    gModelSettings.UseTerrain = false;
    ApplyTrackStylePresets(0, true);
    EXPECT_EQ(m.RailDetail, 2.0f);
    EXPECT_EQ(m.TunnelSoftness, 20);
    EXPECT_EQ(m.SupportColor, 5);
    EXPECT_FALSE(m.UseTerrain);
    EXPECT_FALSE(m.RoundFooters);
    EXPECT_FALSE(m.SquareTunnels);
    EXPECT_EQ(m.gRails[0].Shape, RailRound);
}

TEST_F(ModelerSettingsTest, ElementGetsWhiteColours) {
    gDocumentType = DocumentElement;
    gTrackSupportColor = RGBColor(1, 2, 3);
    ApplyTrackStylePresets(0, false);
    EXPECT_EQ(m.SupportColor, RGBColor(255, 255, 255));
    EXPECT_EQ(m.TunnelColor, RGBColor(255, 255, 255));
}

TEST_F(ModelerSettingsTest, PresetsDropLoadedTriangles) {
    SetTieTriangle(0, 0.0f);
    SetTieTriangle(1, 0.0f);
    ApplyTrackStylePresets(3, false);
    EXPECT_EQ(m.gTieModels[0].TriangleCount, 0);
    EXPECT_EQ(m.gTieModels[1].TriangleCount, 0);
}

TEST_F(ModelerSettingsTest, AppFolderFileJoinsWithOneSeparator) {
    gAppPath = "/a/b/";
    EXPECT_EQ(AppFolderFile("\\x.fcobject"), "/a/b/x.fcobject");
    gAppPath = "/a/b";
    EXPECT_EQ(AppFolderFile("\\x.fcobject"), "/a/b/x.fcobject");
}

TEST_F(ModelerSettingsTest, ClampKeepsTheDialogsRanges) {
    EXPECT_EQ(ClampSetting(0.0f, kDetailMin, kDetailMax), 0.1f);
    EXPECT_EQ(ClampSetting(-2.0f, kDetailMin, kDetailMax), 0.1f);
    EXPECT_EQ(ClampSetting(NAN, kDetailMin, kDetailMax), 0.1f);
    EXPECT_EQ(ClampSetting(9.0f, kDetailMin, kDetailMax), 3.0f);
    EXPECT_EQ(ClampSetting(0.7f, kDetailMin, kDetailMax), 0.7f);
    gModelSettings.TieSpacing = 0.0f;
    EXPECT_EQ(UsableTieSpacing(), 0.1f);
    gModelSettings.TieSpacing = 25.0f;
    EXPECT_EQ(UsableTieSpacing(), 10.0f);
}
