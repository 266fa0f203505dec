// The Colorizer and the Power Tweaker inside the real program: launched from
// the tools' tool bar and the Track menu on the sample circuit, the model is
// recoloured or rebuilt as each asks, and the edited track comes back from a
// save and an open.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "model/model_coloring.h"
#include "model/model_meshes.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"
#include "tools/frm_t_colorizer.h"
#include "tools/frm_t_power_tweaker.h"
#include "trackdoc/color_functions.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

void Select(wxControl& control) {
    const bool check = dynamic_cast<wxCheckBox*>(&control) != nullptr;
    if (check) static_cast<wxCheckBox&>(control).SetValue(!static_cast<wxCheckBox&>(control).GetValue());
    else static_cast<wxRadioButton&>(control).SetValue(true);
    wxCommandEvent e(check ? wxEVT_CHECKBOX : wxEVT_RADIOBUTTON, control.GetId());
    e.SetEventObject(&control);
    control.GetEventHandler()->ProcessEvent(e);
}

class ColorToolsInTheProgram : public ToolProgramTest {
protected:
    std::string SaveAndReopen(const std::string& name) {
        const std::string path = SaveAs(name);
        EXPECT_TRUE(frame->LoadFile(path));
        return path;
    }
};

}  // namespace

TEST_F(ColorToolsInTheProgram, ColorizerRecoloursTheModelAndTheColoursSurvive) {
    frmMain& f = Start("circuit.vxtrack");
    ASSERT_EQ(gSegmentCount, 12);
    ASSERT_TRUE(gTrackModelValid);
    const ColorHSL base = RGBToHSL(SplitRGB(gSpineColor));
    const int32_t rails = gRailColor;
    busy.Stages.clear();
    WhenModal<frmTColorizer>([](frmTColorizer& d) {
        Select(*d.ModeOption(0, PaintColorWheel));
        d.btnOkay_Click();
    });
    f.tbTool_ButtonClick(2);  // "Track: Colorizer"

    EXPECT_EQ(Count(busy.Stages, "Coloring model"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating track model"), 0) << "only the colours are redone";
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");
    std::vector<int32_t> spines;
    for (int i = 0; i < 12; ++i) {
        const TrackSegment& s = gSegments[static_cast<size_t>(i)];
        int hue = static_cast<int>(std::nearbyint(240.0 / 12 * i + base.Hue));
        if (hue > 240) hue -= 240;
        EXPECT_EQ(s.SpineColor, PackRGB(HSLToRGB({hue, base.Saturation, base.Luminance}))) << i;
        EXPECT_EQ(s.RailColor, rails);
        EXPECT_TRUE(s.CustomColors);
        const int32_t shown = s.Tunnel ? HalveColor(s.SpineColor) : s.SpineColor;
        EXPECT_EQ(gTrackModel[static_cast<size_t>(i)].SpineColor, shown) << "the preview's colour " << i;
        spines.push_back(s.SpineColor);
    }
    SaveAndReopen("wheel.vxtrack");
    ASSERT_EQ(gSegmentCount, 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(gSegments[static_cast<size_t>(i)].SpineColor, spines[static_cast<size_t>(i)]) << i;
        EXPECT_TRUE(gSegments[static_cast<size_t>(i)].CustomColors);
    }
}

TEST_F(ColorToolsInTheProgram, PowerTweakerRebuildsAfterCancelAndEditsTheSelectedLift) {
    Start("circuit.vxtrack");
    ASSERT_EQ(gSegments[2].SegmentType, SegmentLift);
    ClearSegmentSelection();
    gSegmentSelected[2] = true;
    const float accel = gSegments[2].Lift.MotorAccel;
    busy.Stages.clear();
    WhenModal<frmTPowerTweaker>([](frmTPowerTweaker& d) {
        Select(*d.TunnelBox());
        d.btnCancel_Click();
    });
    Menu("mnuTPowerTweaker");
    EXPECT_FALSE(gSegments[2].Tunnel);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack") << "nothing changed";
    EXPECT_EQ(Count(busy.Stages, "Creating tunnel models"), 1) << "the flags set while open are rebuilt";

    busy.Stages.clear();
    WhenModal<frmTPowerTweaker>([](frmTPowerTweaker& d) {
        d.PageBox(SegmentLift, 3)->SetValue("20");  // "Speed:" in km/h
        Select(*d.TunnelBox());
        d.btnOkay_Click();
    });
    Menu("mnuTPowerTweaker");
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating tunnel models"), 1);
    EXPECT_EQ(Count(busy.Stages, "Coloring model"), 1);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");
    SaveAndReopen("tweaked.vxtrack");
    EXPECT_EQ(gSegments[2].Lift.MotorSpeed, static_cast<float>(20 * 0.277777791023254));
    EXPECT_EQ(gSegments[2].Lift.MotorAccel, accel) << "untouched, exactly as stored";
    EXPECT_TRUE(gSegments[2].Tunnel);
    EXPECT_FALSE(gSegments[1].Tunnel);
}
