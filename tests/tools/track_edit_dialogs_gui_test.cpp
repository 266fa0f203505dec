// The dialogs of the Shuttle Builder, Backwards Rebuilder, Tunneler, Spine
// Changer, Tube Exchanger, Node Smoother and Terrain Poly Reducer as windows:
// captions, buttons and help pages, the defaults and enabling rules of their
// controls, and OK (or an action button) applying the tool modally.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_t_backwards_builder.h"
#include "tools/frm_t_node_smoother.h"
#include "tools/frm_t_shuttle_maker.h"
#include "tools/frm_t_spine_changer.h"
#include "tools/frm_t_terrain_poly_reducer.h"
#include "tools/frm_t_tube_exchanger.h"
#include "tools/frm_t_tunneler.h"
#include "trackdoc/segment_selection.h"

namespace {

class TrackEditDialogWindow : public ToolWindowTest {
protected:
    template <typename D>
    void ExpectHelp(const char* caption, const char* topic) {
        D dialog(frame);
        EXPECT_EQ(dialog.GetTitle(), caption);
        ASSERT_NE(dialog.HelpButton(), nullptr) << caption;
        ExpectHelpOpens(dialog.HelpButton(), topic);
    }
};

}  // namespace

TEST_F(TrackEditDialogWindow, CaptionsButtonsAndHelpPages) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    ExpectHelp<frmTShuttleMaker>("Track: Shuttle Builder", "t_shuttlebuilder");
    ExpectHelp<frmTBackwardsBuilder>("Track: Backwards Rebuilder", "t_backwardsrebuilder");
    ExpectHelp<frmTTunneler>("Track: Tunneler", "t_tunneler");
    ExpectHelp<frmTTubeExchanger>("Track: Tube Exchanger", "t_tubeexchanger");
    ExpectHelp<frmTNodeSmoother>("Track: Node Smoother", "t_nodesmoother");
    ExpectHelp<frmTTerrainPolyReducer>("Track: Terrain Poly Reducer", "t_terrainpolyreducer");
    EXPECT_TRUE(prompts.Messages.empty()) << "every help page is there";

    frmTTunneler tunneler(frame);
    EXPECT_EQ(tunneler.OkayButton(), nullptr) << "three action buttons instead of OK";
    EXPECT_EQ(tunneler.CancelButton()->GetLabel(), "Cancel");
    const char* actions[3] = {"Toggle Tunnels", "Tunnel All", "Remove Tunnels"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tunneler.ActionButton(i)->GetLabel(), actions[i]);
    EXPECT_EQ(tunneler.NeverTunnelBox(0)->GetLabel(), "Never Add Tunnels to Station Segments");
    EXPECT_TRUE(tunneler.NeverTunnelBox(0)->GetValue());
    EXPECT_FALSE(tunneler.NeverTunnelBox(3)->GetValue());

    frmTSpineChanger spine(frame);
    EXPECT_EQ(spine.GetTitle(), "Track: Spine Changer");
    EXPECT_EQ(spine.HelpButton(), nullptr);
    EXPECT_EQ(spine.OkayButton()->GetLabel(), "OK");

    frmTShuttleMaker shuttle(frame);
    EXPECT_EQ(shuttle.InfoLabel()->GetLabel(),
              "This will create new segments over existing segment to make the track into a full circut.");
    EXPECT_TRUE(shuttle.OkayButton()->IsEnabled());
    gClosedCircuit = true;
    frmTShuttleMaker refused(frame);
    EXPECT_EQ(refused.InfoLabel()->GetLabel(), "A shuttle coaster can only be made from a non-circut track.");
    EXPECT_FALSE(refused.OkayButton()->IsEnabled());
}

TEST_F(TrackEditDialogWindow, SpineChangerByStyleAndSelection) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 3);
    ClearSegmentSelection();
    gTrackStyle = StyleHyper2Seat;
    {
        frmTSpineChanger d(frame);
        const char* captions[3] = {"3 Tube", "4 Tube", "2 Tube"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(d.StyleOption(i)->GetLabel(), captions[i]);
            EXPECT_TRUE(d.StyleOption(i)->IsShown());
        }
        EXPECT_FALSE(d.NoStylesLabel()->IsShown());
        EXPECT_TRUE(d.ApplicationOption(0)->GetValue());
        EXPECT_FALSE(d.ApplicationOption(1)->IsEnabled());
        EXPECT_FALSE(d.ApplicationOption(2)->IsEnabled());
    }
    gTrackStyle = StyleSteelLooping;
    gSegmentSelected = {false, true, false, false};
    {
        frmTSpineChanger d(frame);
        EXPECT_EQ(d.StyleOption(1)->GetLabel(), "Box");
        EXPECT_FALSE(d.StyleOption(2)->IsShown());
        EXPECT_TRUE(d.ApplicationOption(2)->GetValue()) << "a selection starts on Only Selected Segments";
    }
    gTrackStyle = StyleTwistedSteel;
    frmTSpineChanger none(frame);
    EXPECT_TRUE(none.NoStylesLabel()->IsShown());
    EXPECT_EQ(none.NoStylesLabel()->GetLabel(), "There are no different spine style's for this style of track.");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(none.StyleOption(i)->IsShown());
    EXPECT_FALSE(none.OkayButton()->IsEnabled());
}

TEST_F(TrackEditDialogWindow, TubeExchangerEnablesOkForTwoDifferentTypes) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    frmTTubeExchanger d(frame);
    EXPECT_EQ(d.Panels()[0]->Title(), " Exhange Tube Types");
    EXPECT_EQ(d.ToList()->GetString(9), "1 x 4 Wood Beam");
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    d.ToList()->SetSelection(5);
    Press(*d.ToList());
    EXPECT_TRUE(d.OkayButton()->IsEnabled());
    d.FromList()->SetSelection(5);
    Press(*d.FromList());
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
}

TEST_F(TrackEditDialogWindow, NodeSmootherBoxesAndApplication) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 3);
    ClearSegmentSelection();
    {
        frmTNodeSmoother d(frame);
        EXPECT_TRUE(d.ApplyToOption(0)->GetValue());
        EXPECT_FALSE(d.ApplyToOption(1)->IsEnabled());
        EXPECT_FALSE(d.ApplyToOption(2)->IsEnabled());
        EXPECT_EQ(d.OptionBox(1)->GetLabel(), "Prefer Equal CP 's Lengths");
        EXPECT_FALSE(d.OptionBox(2)->IsEnabled());
        d.OptionBox(1)->SetValue(true);
        Press(*d.OptionBox(1));
        EXPECT_TRUE(d.OptionBox(2)->IsEnabled());
        d.OptionBox(2)->SetValue(true);
        Press(*d.OptionBox(2));
        EXPECT_TRUE(d.Options().Depump);
        d.OptionBox(1)->SetValue(false);
        Press(*d.OptionBox(1));
        EXPECT_FALSE(d.OptionBox(2)->IsEnabled());
        EXPECT_FALSE(d.OptionBox(2)->GetValue());
    }
    gSegmentSelected = {false, false, true, false};
    frmTNodeSmoother selected(frame);
    EXPECT_TRUE(selected.ApplyToOption(2)->GetValue());
    EXPECT_TRUE(selected.ApplyToOption(1)->IsEnabled());
    EXPECT_EQ(selected.Options().Application, SmootherApplication::OnlySelected);
}

TEST_F(TrackEditDialogWindow, TerrainPolyReducerCountsRangeAndOk) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    gHasTerrain = true;
    gTerrainWidth = gTerrainDepth = 1024;
    gTerrainSpacingX = gTerrainSpacingZ = 1.0f;
    gTerrainHeights.Resize(1024, 1024);
    WhenModal<frmTTerrainPolyReducer>([](frmTTerrainPolyReducer& d) {
        EXPECT_EQ(d.CurrentGridLabel()->GetLabel(), "1024 x 1024");
        EXPECT_EQ(d.CurrentPolysLabel()->GetLabel(), "2093058");
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "512");
        EXPECT_EQ(d.NumericBox(1)->GetValue(), "512");
        EXPECT_EQ(d.NewPolysLabel()->GetLabel(), "522242");
        EXPECT_EQ(d.SavedPolysLabel()->GetLabel(), "1570816");
        EXPECT_TRUE(d.OkayButton()->IsEnabled());
        d.NumericBox(1)->SetValue("31");
        EXPECT_FALSE(d.OkayButton()->IsEnabled());
        EXPECT_EQ(d.NewPolysLabel()->GetLabel(), "-");
        EXPECT_EQ(d.SavedPolysLabel()->GetLabel(), "-");
        d.NumericBox(1)->SetValue("32");
        EXPECT_TRUE(d.OkayButton()->IsEnabled());
        EXPECT_EQ(d.NewPolysLabel()->GetLabel(), "31682");
        Press(*d.OkayButton());
    });
    ShowTTerrainPolyReducerDialog(frame);
    EXPECT_EQ(gTerrainDepth, 32);
}
