// The Power Tweaker as a window: the page of the selection's type, the
// summary, the "No Segments Selected" page, boxes and options filled from the
// first selected segment, refused texts shown red with OK disabled, the
// swatches answered by the colour chooser, and OK and Cancel.

#include <gtest/gtest.h>

#include <filesystem>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/uc_container.h"
#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_t_power_tweaker.h"
#include "trackdoc/segment_selection.h"

namespace {

void Toggle(wxCheckBox& box) {
    box.SetValue(!box.GetValue());
    wxCommandEvent e(wxEVT_CHECKBOX, box.GetId());
    e.SetEventObject(&box);
    box.GetEventHandler()->ProcessEvent(e);
}

void Choose(wxRadioButton& option) {
    option.SetValue(true);
    wxCommandEvent e(wxEVT_RADIOBUTTON, option.GetId());
    e.SetEventObject(&option);
    option.GetEventHandler()->ProcessEvent(e);
}

class PowerTweakerWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -10}, 4);
        ClearSegmentSelection();
    }
    static int Index(int type, const char* name) {
        const std::vector<TweakControl>& controls = TweakPageControls(type);
        for (size_t i = 0; i < controls.size(); ++i)
            if (std::string(name) == controls[i].Name) return static_cast<int>(i);
        ADD_FAILURE() << name;
        return 0;
    }
};

}  // namespace

TEST_F(PowerTweakerWindow, NoSelectionShowsOnlyItsPage) {
    frmTPowerTweaker d(frame);
    EXPECT_EQ(d.GetTitle(), "Track: Power Tweaker");
    for (int type = 0; type < 6; ++type) EXPECT_FALSE(d.Page(type)->IsShown()) << type;
    EXPECT_TRUE(d.Page(6)->IsShown());
    EXPECT_EQ(d.Page(6)->Title(), " No Segments Selected");
    EXPECT_EQ(d.NoSegmentsText()->GetLabel(), "The Power Tweaker tool requires at least 1 segment to be selected.");
    EXPECT_FALSE(d.CustomColorBox()->IsShownOnScreen()) << "the page covers the top panels";
    EXPECT_EQ(d.SelectionLabel(1)->GetLabel(), "None");
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    d.btnHelp_Click();
    ASSERT_NO_FATAL_FAILURE(ExpectHelpPage(prompts.ShellOpened, "t_powertweaker"));
    d.btnCancel_Click();
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(PowerTweakerWindow, StationPageFilledFromTheLowerIndexAndWrittenToBoth) {
    gSegments[1].SegmentType = gSegments[3].SegmentType = SegmentStation;
    gSegments[1].Station.WaitTime[0] = 1200.0f;
    gSegments[1].Station.WheelSpeed = 10.1f;
    gSegments[1].Station.Entrance = 9;  // no option of its own
    gSegments[3].Station.Entrance = 0;
    gSegments[1].Tunnel = true;
    gSegmentSelected[1] = gSegmentSelected[3] = true;
    frmTPowerTweaker d(frame);
    EXPECT_TRUE(d.Page(1)->IsShown());
    EXPECT_FALSE(d.Page(6)->IsShown());
    EXPECT_EQ(d.Page(1)->Title(), " Segment Type: Station");
    EXPECT_EQ(d.SelectionLabel(0)->GetLabel(), "2");
    EXPECT_EQ(d.SelectionLabel(1)->GetLabel(), "Station");
    EXPECT_TRUE(d.OkayButton()->IsEnabled());
    EXPECT_TRUE(d.TunnelBox()->GetValue());
    EXPECT_TRUE(gRemodelFlags.RebuildTunnels) << "filling the tunnel box flagged the rebuild";
    EXPECT_EQ(d.PageBox(1, Index(1, "txtSWaitTime(0)"))->GetValue(), "1200");
    EXPECT_EQ(d.PageBox(1, Index(1, "txtSWheels(0)"))->GetValue(), "36");
    const int entrance = Index(1, "optSEntrance");
    EXPECT_EQ(d.PageOption(1, entrance, 0)->GetLabel(), "Left Entrance");
    EXPECT_FALSE(d.PageOption(1, entrance, 0)->GetValue());
    EXPECT_FALSE(d.PageOption(1, entrance, 1)->GetValue());

    d.PageBox(1, Index(1, "txtMainBrake"))->SetValue("0.5");
    Toggle(*d.PageCheck(1, Index(1, "chkSHidden")));
    d.btnOkay_Click();
    for (int i : {1, 3}) {
        const StationBlock& s = gSegments[static_cast<size_t>(i)].Station;
        EXPECT_EQ(s.WaitTime[0], 1200.0f) << i;
        EXPECT_EQ(s.MainBrakeDecel, static_cast<float>(0.5 * 9.816650390625)) << i;
        EXPECT_TRUE(s.Hidden) << i;
        EXPECT_EQ(s.Entrance, 9) << i;
    }
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(PowerTweakerWindow, SwatchPickChecksCustomColorAndCancelKeepsTheFlags) {
    gSegments[0].SegmentType = SegmentLift;
    gSegments[0].Lift.LiftStyle = 1;
    gSegmentSelected[0] = true;
    gSpineColor = 0x112233;
    frmTPowerTweaker d(frame);
    EXPECT_TRUE(d.Page(2)->IsShown());
    EXPECT_TRUE(d.PageOption(2, 0, 1)->GetValue()) << "Transport Wheels";
    EXPECT_EQ(d.Swatch(0)->Color(), 0x112233);
    EXPECT_FALSE(gRemodelFlags.RebuildPath);
    std::vector<ColorChooserRequest> asked;
    {
        ScopedColorChooser chooser([&](ColorChooserRequest& r) {
            asked.push_back(r);
            r.Color = 0x00AA00;
            return true;
        });
        d.lblColor_Click(1);
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Owner, static_cast<void*>(&d));
    EXPECT_EQ(d.Swatch(1)->Color(), 0x00AA00);
    EXPECT_TRUE(d.CustomColorBox()->GetValue());
    EXPECT_TRUE(gRemodelFlags.RebuildPath && gRemodelFlags.Recolor);
    Choose(*d.PageOption(2, 0, 0));
    d.btnCancel_Click();
    EXPECT_FALSE(gSegments[0].CustomColors) << "Cancel writes nothing";
    EXPECT_EQ(gSegments[0].Lift.LiftStyle, 1);
    EXPECT_TRUE(gRemodelFlags.RebuildTunnels) << "the flags stay for the launch's rebuild";
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(PowerTweakerWindow, RefusedTextIsRedAndDisablesOk) {
    gSegments[2].SegmentType = SegmentStation;
    gSegmentSelected[2] = true;
    frmTPowerTweaker d(frame);
    const wxColour normal = d.PageBox(1, Index(1, "txtSWaitTime(0)"))->GetForegroundColour();
    for (const char* name : {"txtSWaitTime(0)", "txtSWaitTime(2)", "txtMainBrake"}) {
        wxTextCtrl* box = d.PageBox(1, Index(1, name));
        const wxString shown = box->GetValue();
        box->SetValue(std::string(name) == "txtSWaitTime(2)" ? "-5" : "abc");
        EXPECT_EQ(box->GetForegroundColour(), wxColour(255, 0, 0)) << name;
        EXPECT_FALSE(d.OkayButton()->IsEnabled()) << name;
        box->SetValue(shown);
        EXPECT_EQ(box->GetForegroundColour(), normal) << name;
        EXPECT_TRUE(d.OkayButton()->IsEnabled()) << name;
    }
}
