// The Colorizer as a window: its opening state, the swatches answered by the
// colour chooser, the enabling rules through its controls, the previews'
// pixels, and OK painting the track.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_t_colorizer.h"
#include "trackdoc/segment_selection.h"

namespace {

constexpr int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

void Click(wxWindow& control) {
    wxEventType type = wxEVT_BUTTON;
    if (auto* box = dynamic_cast<wxCheckBox*>(&control)) {
        type = wxEVT_CHECKBOX;
        box->SetValue(!box->GetValue());
    }
    if (auto* option = dynamic_cast<wxRadioButton*>(&control)) {
        type = wxEVT_RADIOBUTTON;
        option->SetValue(true);
    }
    wxCommandEvent e(type, control.GetId());
    e.SetEventObject(&control);
    control.GetEventHandler()->ProcessEvent(e);
}

class ColorizerWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -10}, 4);
        gSpineColor = Rgb(255, 0, 0);
        gRailColor = Rgb(0, 255, 0);
        gTieColor = Rgb(0, 0, 255);
        ClearSegmentSelection();
        ResetCustomColors();
    }
    std::vector<ColorChooserRequest> asked;
    // The chooser answers `color`, or cancels when it is negative.
    ColorChooser Answer(int32_t color) {
        return [this, color](ColorChooserRequest& r) {
            asked.push_back(r);
            r.Color = color;
            return color >= 0;
        };
    }
};

}  // namespace

TEST_F(ColorizerWindow, OpensOnTheTrackColoursAndItsSwatchesAskTheChooser) {
    frmTColorizer d(frame);
    EXPECT_EQ(d.GetTitle(), "Track: Colorizer");
    const char* titles[5] = {" Color Settings", " Application", " Spine", " Rails", " Crossties"};
    ASSERT_EQ(d.Panels().size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(d.Panels()[static_cast<size_t>(i)]->Title(), titles[i]);
    EXPECT_EQ(d.PrimarySwatch(2)->Color(), Rgb(0, 0, 255));
    EXPECT_EQ(d.AlternateSwatch(1)->Color(), 0xFFFFFF);
    EXPECT_FALSE(d.ApplyOption(1)->IsEnabled());
    EXPECT_FALSE(d.ModeOption(0, 2)->IsEnabled());
    EXPECT_FALSE(d.PaintWhatBox(3)->IsEnabled());
    EXPECT_EQ(d.NumericBox(5)->GetValue(), "1");
    const ColorPicture& wheel = d.ColorWheelStrip(1)->Picture();
    ColorPicture ramp(wheel.Width, wheel.Height);
    DrawColorRamp(RGBToHSL(SplitRGB(Rgb(0, 255, 0))), ramp);
    EXPECT_EQ(wheel.Pixels, ramp.Pixels);
    d.btnHelp_Click();
    ASSERT_NO_FATAL_FAILURE(ExpectHelpPage(prompts.ShellOpened, "t_colorizer"));

    {
        ScopedColorChooser chooser(Answer(Rgb(0, 0, 0)));
        d.lblPriColor_Click(1);
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Color, Rgb(0, 255, 0)) << "starts on the swatch's colour";
    EXPECT_EQ(asked[0].Flags, 0x103u);
    EXPECT_EQ(asked[0].Owner, static_cast<void*>(&d));
    {
        ScopedColorChooser chooser(Answer(-1));
        d.lblPriColor_Click(1);  // cancelled: nothing changes
    }
    EXPECT_EQ(d.PrimarySwatch(1)->Color(), Rgb(0, 0, 0));
    {
        ScopedColorChooser chooser(Answer(Rgb(255, 255, 255)));
        d.lblAltColor_Click(1);
    }
    EXPECT_TRUE(d.UseAltColorBox()->GetValue()) << "an alternate colour checks the box";
    EXPECT_TRUE(d.ModeOption(1, 2)->IsEnabled());
    const ColorPicture& strip = d.GradientStrip(1)->Picture();
    EXPECT_EQ(strip.At(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(strip.At(strip.Width - 1, 0), Rgb(255, 255, 255)) << "black to white";
    Click(*d.ColorButton(1));  // Swap
    EXPECT_EQ(d.AlternateSwatch(1)->Color(), Rgb(0, 0, 0));
    EXPECT_EQ(d.GradientStrip(1)->Picture().At(0, 0), Rgb(255, 255, 255));
}

TEST_F(ColorizerWindow, ControlsFollowTheRulesAndOkPaints) {
    gSegmentSelected[1] = gSegmentSelected[2] = true;
    gSegments[2].CustomColors = true;
    gSegments[2].SpineColor = Rgb(0, 0, 100);
    frmTColorizer d(frame);
    EXPECT_TRUE(d.ApplyOption(1)->GetValue());
    EXPECT_EQ(d.AlternateSwatch(0)->Color(), Rgb(0, 0, 100));

    Click(*d.ModeOption(2, 4));  // ties: Toggle
    EXPECT_TRUE(d.RunLabel(2, 1)->IsEnabled());
    d.NumericBox(5)->SetValue("51");
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    Click(*d.UseAltColorBox());  // off: the toggle falls back to Primary Color, its red box no longer counts
    EXPECT_TRUE(d.ModeOption(2, 0)->GetValue());
    EXPECT_FALSE(d.NumericBox(4)->IsEnabled());
    EXPECT_TRUE(d.OkayButton()->IsEnabled());
    Click(*d.UseAltColorBox());
    Click(*d.ModeOption(0, 2));  // spine: Gradient

    d.btnOkay_Click();
    EXPECT_EQ(gSegments[1].SpineColor, Rgb(255, 0, 0));
    EXPECT_EQ(gSegments[2].SpineColor, Rgb(127, 0, 50)) << "one step of (-255, 0, 100) / 2, -127.5 to -128";
    EXPECT_FALSE(gSegments[0].CustomColors);
    EXPECT_TRUE(gRemodelFlags.Recolor);
    EXPECT_TRUE(gDocumentChanged);
}
