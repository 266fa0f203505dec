// The modeler dialog's working copy without its window: the presets, the
// count boxes, the edits' ranges and rebuild flags, the crosstie page's
// enabling, OK and Force Remodel All.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "export/modeler_form.h"
#include "model/rebuild_flags.h"

namespace {

bool NoFlag() {
    const RemodelFlags& f = gRemodelFlags;
    return !f.RebuildPath && !f.RebuildTrack && !f.RebuildTubes && !f.RebuildFooters && !f.RebuildGround &&
           !f.Recolor && !f.RebuildTunnels && !f.RebuildPrefabs;
}

bool TrackFlagsOnly() {
    const RemodelFlags& f = gRemodelFlags;
    return f.RebuildTrack && f.RebuildTubes && f.RebuildPrefabs && !f.RebuildPath && !f.RebuildFooters &&
           !f.RebuildGround && !f.Recolor && !f.RebuildTunnels;
}

class ModelerFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        gAppPath = "/opt/gw/";
        gDocumentType = DocumentNone;
        gModelSettings = ModelerSettings{};
        ApplyTrackStylePresets(3, false);
        // Values the boxes show rounded, and loaded crosstie triangles.
        gModelSettings.gRails[0].PosX = -0.6049f;
        gModelSettings.TubeScales[0].X = 0.125f;
        gModelSettings.RailDetail = 0.333f;
        gModelSettings.gTieModels[0].Triangles.assign(5, TieTriangle{});
        gModelSettings.gTieModels[0].TriangleCount = 4;
        ClearRemodelFlags();
        gTrackModelValid = true;
        gPresetsLoaded = false;
    }
    void TearDown() override {
        gModelSettings = ModelerSettings{};
        ClearRemodelFlags();
    }
};

}  // namespace

TEST_F(ModelerFormTest, PresetsGiveTheTableAndLeaveTheExtras) {
    struct Row {
        int style;
        float railX, railSize;
        int16_t railShape;
        int spines;
        float spineY, spineSize;
        int16_t spineShape;
        const char *tie0, *tie1;
        float spacing;
        bool toggle;
        int16_t t1, t2;
        bool wooden;
    };
    const Row rows[] = {
        {0, 0.5f, 0.07f, 0, 1, -0.3f, 0.2f, 0, "vxtmTie00", nullptr, 1.5f, false, 0, 0, false},
        {1, 0.6f, 0.07f, 0, 1, -0.85f, 0.2f, 0, "vxtmTie01", nullptr, 1.5f, false, 0, 0, false},
        {2, 0.6f, 0.07f, 0, 1, 0.85f, 0.2f, 0, "vxtmTie02", nullptr, 1.5f, false, 0, 0, false},
        {3, 0.6f, 0.07f, 0, 1, -0.5f, 0.3f, 1, "vxtmTie03", "vxtmTie03b", 1.5f, true, 6, 1, false},
        {4, 0.6f, 0.07f, 0, 1, 0.5f, 0.3f, 1, "vxtmTie04", "vxtmTie04b", 1.5f, true, 6, 1, false},
        {5, 0.5f, 0.07f, 0, 1, -1.0f, 0.07f, 0, "vxtmTie05a", "vxtmTie05b", 1.0f, true, 1, 1, false},
        {6, 0.6f, 0.07f, 0, 1, -0.5f, 0.3f, 1, "vxtmTie03", "vxtmTie03b", 1.5f, true, 6, 1, false},
        {7, 0.6f, 0.07f, 0, 1, -0.5f, 0.3f, 1, "vxtmTie03", "vxtmTie03b", 1.5f, true, 6, 1, false},
        {8, 0.6f, 0.07f, 0, 1, -0.5f, 0.3f, 1, "vxtmTie03", "vxtmTie03b", 1.5f, true, 6, 1, false},
        {9, 0.6f, 1.0f, 2, 0, 0.0f, 0.0f, 0, "vxtmTie06", nullptr, 0.5f, false, 0, 0, true},
    };
    ModelerForm form;
    form.SetTieOptions(false, true, true);
    form.EditTubeScale(2, 2, "4.5");
    form.SetTunnelColor(0x123456);
    const ModelerSettings extras = form.Copy();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.style);
        const bool footersBefore = form.Copy().RoundFooters;
        ClearRemodelFlags();
        form.LoadTrackStylePreset(r.style);
        const ModelerSettings& c = form.Copy();
        ASSERT_EQ(c.gRailCount, 2);
        EXPECT_EQ(c.gRails[0].PosX, -r.railX);
        EXPECT_EQ(c.gRails[1].PosX, r.railX);
        EXPECT_EQ(c.gRails[0].Size, r.railSize);
        EXPECT_EQ(c.gRails[1].Shape, r.railShape);
        ASSERT_EQ(c.gSpineCount, r.spines);
        if (r.spines) {
            EXPECT_EQ(c.gSpines[0].PosY, r.spineY);
            EXPECT_EQ(c.gSpines[0].Size, r.spineSize);
            EXPECT_EQ(c.gSpines[0].Shape, r.spineShape);
        } else {
            EXPECT_EQ(c.gSpines[0].Size, 0.0f);  // the spare record cleared
        }
        EXPECT_TRUE(c.gTieModels[0].Use);
        EXPECT_EQ(c.gTieModels[0].File, std::string("/opt/gw/") + r.tie0 + ".fcobject");
        EXPECT_EQ(c.gTieModels[1].Use, r.tie1 != nullptr);
        EXPECT_EQ(c.gTieModels[1].File, r.tie1 ? std::string("/opt/gw/") + r.tie1 + ".fcobject" : "");
        EXPECT_EQ(c.TieSpacing, r.spacing);
        EXPECT_EQ(c.ToggleTies, r.toggle);
        EXPECT_EQ(c.ToggleCount1, r.t1);
        EXPECT_EQ(c.ToggleCount2, r.t2);
        EXPECT_FALSE(c.AltOnBank);
        EXPECT_EQ(c.AltBank, 0.0f);
        EXPECT_FALSE(c.AltOnStart);
        EXPECT_EQ(c.RoundFooters, r.wooden);
        EXPECT_EQ(c.SquareTunnels, r.wooden);
        // Tube scales, terrain, detail, colours and softness stay.
        EXPECT_EQ(c.TubeScales[2].Z, 4.5f);
        EXPECT_EQ(c.RailDetail, extras.RailDetail);
        EXPECT_EQ(c.TunnelColor, 0x123456);
        EXPECT_EQ(c.SupportColor, extras.SupportColor);
        EXPECT_EQ(c.TunnelSoftness, extras.TunnelSoftness);
        EXPECT_EQ(c.UseTerrain, extras.UseTerrain);
        // Track flags, and footers and tunnels only where their shape changed.
        EXPECT_TRUE(gRemodelFlags.RebuildTrack && gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildPrefabs);
        EXPECT_EQ(gRemodelFlags.RebuildFooters, footersBefore != r.wooden);
        EXPECT_EQ(gRemodelFlags.RebuildTunnels, footersBefore != r.wooden);
    }
    form.LoadTrackStylePreset(0);  // a spine again after the wooden preset
    EXPECT_EQ(form.Copy().gSpineCount, 1);
    form.LoadTrackStylePreset(12);
    EXPECT_EQ(form.Copy().gRails[0].Shape, RailWood);
}

TEST_F(ModelerFormTest, CountBoxKeepsRecordsWhileRetyped) {
    ModelerForm form;
    ASSERT_EQ(form.Count(TubeList::Rails), 2);
    EXPECT_TRUE(form.EditCount(TubeList::Rails, "3"));
    EXPECT_TRUE(TrackFlagsOnly());
    const RailSpec* third = form.Record(TubeList::Rails, 2);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->PosX, 0.0f);
    EXPECT_EQ(third->PosY, 0.0f);
    EXPECT_EQ(third->Size, 0.01f);
    EXPECT_EQ(third->Shape, RailRound);
    EXPECT_TRUE(form.EditSize(TubeList::Rails, 2, "0.4"));

    // 33 is out of range: red, nothing stored, no flag.
    ClearRemodelFlags();
    EXPECT_FALSE(form.EditCount(TubeList::Rails, "33"));
    EXPECT_EQ(form.Count(TubeList::Rails), 3);
    EXPECT_TRUE(NoFlag());

    // Retyping "3" as "1" and back keeps the third rail.
    EXPECT_TRUE(form.EditCount(TubeList::Rails, "1"));
    EXPECT_EQ(form.Record(TubeList::Rails, 1), nullptr);
    EXPECT_TRUE(form.EditCount(TubeList::Rails, "3"));
    ASSERT_NE(form.Record(TubeList::Rails, 2), nullptr);
    EXPECT_EQ(form.Record(TubeList::Rails, 2)->Size, 0.4f);

    // OK takes the records up to the count, and one empty spare.
    EXPECT_TRUE(form.EditCount(TubeList::Rails, "1"));
    form.ApplyFormSettings();
    EXPECT_EQ(gModelSettings.gRailCount, 1);
    ASSERT_EQ(gModelSettings.gRails.size(), 2u);
    EXPECT_EQ(gModelSettings.gRails[1].Size, 0.0f);
    EXPECT_EQ(gModelSettings.gRails[0].PosX, -0.6049f);
}

TEST_F(ModelerFormTest, EditsStoreInRangeValuesAndSetTheirFlags) {
    ModelerForm form;
    // A size of 0.005 is out of range: the record keeps its size.
    EXPECT_FALSE(form.EditSize(TubeList::Spines, 0, "0.005"));
    EXPECT_EQ(form.Copy().gSpines[0].Size, 0.3f);
    EXPECT_TRUE(NoFlag());
    EXPECT_TRUE(form.EditPosition(TubeList::Spines, 0, 2, "-1.25"));
    EXPECT_EQ(form.Copy().gSpines[0].PosZ, -1.25f);
    // No selection: nothing stored, the flags all the same.
    ClearRemodelFlags();
    EXPECT_TRUE(form.EditPosition(TubeList::Spines, -1, 0, "2"));
    EXPECT_TRUE(TrackFlagsOnly());
    EXPECT_FALSE(form.EditPosition(TubeList::Rails, 0, 0, "10.5"));

    ClearRemodelFlags();
    EXPECT_TRUE(form.EditDetail(TubeList::Spines, "2.5"));
    EXPECT_EQ(form.Copy().SpineDetail, 2.5f);
    EXPECT_TRUE(gRemodelFlags.RebuildPath && gRemodelFlags.RebuildTrack && gRemodelFlags.RebuildTunnels);
    EXPECT_FALSE(gRemodelFlags.RebuildTubes || gRemodelFlags.RebuildGround);

    ClearRemodelFlags();
    EXPECT_TRUE(form.EditTubeScale(9, 0, "0.3"));
    EXPECT_FALSE(form.EditTubeScale(10, 0, "0.3"));  // slot 10 is not shown
    EXPECT_TRUE(gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildFooters && gRemodelFlags.RebuildPrefabs);
    EXPECT_FALSE(gRemodelFlags.RebuildTrack || gRemodelFlags.Recolor);

    // A box of whole numbers stores only a whole number; text that is not one
    // number as a whole stores nothing.
    ClearRemodelFlags();
    for (const char* refused : {"8.5", "", "-", "12abc", "1.2.3"}) {
        EXPECT_FALSE(form.EditTunnelSoftness(refused)) << refused;
        EXPECT_FALSE(gRemodelFlags.RebuildTunnels) << refused;
    }
    EXPECT_FALSE(form.EditTieSpacing("0.1.3"));
    EXPECT_TRUE(form.EditTunnelSoftness("12"));
    EXPECT_EQ(form.Copy().TunnelSoftness, 12);
    EXPECT_FALSE(form.EditTieBank("180"));
    form.SetTerrain(false, true);
    EXPECT_TRUE(gRemodelFlags.RebuildGround && gRemodelFlags.RebuildTunnels);
}

TEST_F(ModelerFormTest, CrosstieTicksFlagTheTrack) {
    ModelerForm form;
    form.SetTieUse(true, false);
    EXPECT_TRUE(TrackFlagsOnly());
    ClearRemodelFlags();
    form.SetTieOptions(false, false, false);
    EXPECT_TRUE(TrackFlagsOnly());
    ClearRemodelFlags();
    form.SetTieOptions(false, false, false);  // nothing changed
    EXPECT_TRUE(NoFlag());

    const CrosstieEnabling primary = CrosstiePageEnabling(true, false, true, true);
    EXPECT_TRUE(primary.PrimaryModel && primary.AlternateUse);
    EXPECT_FALSE(primary.UntickAlternate || primary.AlternateModel || primary.Extras || primary.Toggle ||
                 primary.Bank);
    // The toggle and bank boxes are open only while their option is ticked.
    const CrosstieEnabling both = CrosstiePageEnabling(true, true, true, false);
    EXPECT_TRUE(both.Extras && both.Toggle);
    EXPECT_FALSE(both.Bank);

    // The alternate goes with the primary.
    form.SetTieUse(false, true);
    EXPECT_FALSE(form.Copy().gTieModels[1].Use);
}

TEST_F(ModelerFormTest, OkAndForceDropTheLoadedTriangles) {
    // Unchanged file names too: an edited crosstie file is read again.
    ModelerForm form;
    form.ApplyFormSettings();
    EXPECT_EQ(gModelSettings.gTieModels[0].TriangleCount, 0);
    EXPECT_EQ(gModelSettings.gTieModels[0].Triangles.size(), 1u);
    EXPECT_TRUE(NoFlag());
    EXPECT_TRUE(gTrackModelValid);

    ModelerForm again;
    again.EditTieModel(1, "/opt/gw/other,tie.fcobject");
    again.ApplyFormSettings();
    EXPECT_EQ(gModelSettings.gTieModels[1].File, "/opt/gw/other,tie.fcobject");

    gModelSettings.gTieModels[1].TriangleCount = 3;
    ModelerForm force;
    ClearRemodelFlags();
    force.ForceRemodelAll();
    EXPECT_EQ(gModelSettings.gTieModels[1].TriangleCount, 0);
    EXPECT_TRUE(gRemodelFlags.RebuildGround && gRemodelFlags.RebuildPath && gRemodelFlags.Recolor);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_TRUE(gPresetsLoaded);

    CancelModelerForm();
    EXPECT_TRUE(NoFlag());
    EXPECT_EQ(TubeEntryText(TubeList::Rails, 1), "Rail Model 01");
    EXPECT_EQ(TubeEntryText(TubeList::Spines, 12), "Spine Model 12");
}
