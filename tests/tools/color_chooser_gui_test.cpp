// The colour chooser of the desktop: its start colour, its custom colours
// kept also after Cancel, OK handing the chosen colour back, and typed
// channel values taken as shown or refused with OK disabled.

#include <gtest/gtest.h>

#include <functional>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "platform/wx/wx_color_chooser.h"

namespace {

void WhenChooserUp(std::function<void(wxColorChooserDialog&)> act) {
    wxTheApp->CallAfter([act] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxColorChooserDialog*>(w);
            if (dialog && dialog->IsModal()) {
                act(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no chooser";
    });
}

// A click on OK as the button sends it.
void PressOk(wxColorChooserDialog& d) {
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(d.OkButton());
    d.OkButton()->GetEventHandler()->ProcessEvent(click);
}

bool IsRed(wxTextCtrl* box) { return box->GetForegroundColour() == wxColour(255, 0, 0); }

}  // namespace

TEST(ColorChooserWindow, StartsOnTheColourAndKeepsCustomColours) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "owner");
    frame->Show();
    CustomColorTable table{};
    table[3] = 0x00FF00;
    ColorChooserRequest request;
    request.Owner = frame;
    request.Color = 0x102030;
    request.Flags = 0x1 | 0x100 | 0x4;  // not opened fully, and cannot be
    request.CustomColors = &table;
    WhenChooserUp([](wxColorChooserDialog& d) {
        EXPECT_EQ(d.CurrentColor(), 0x102030);
        EXPECT_FALSE(d.CustomPartShown());
        EXPECT_FALSE(d.DefineButton()->IsEnabled());
        d.ShowCustomPart();
        EXPECT_FALSE(d.CustomPartShown()) << "prevented";
        d.SelectCustom(3);
        EXPECT_EQ(d.CurrentColor(), 0x00FF00);
        d.SelectColor(0x0000FF);
        d.AddToCustomColors();  // into slot 3, the one clicked last
        d.EndModal(wxID_CANCEL);
    });
    EXPECT_FALSE(WxChooseColor(request));
    EXPECT_EQ(request.Color, 0x102030) << "cancel leaves the colour to the caller";
    EXPECT_EQ(table[3], 0x0000FF) << "a custom colour defined before Cancel stays";

    request.Flags = 0x1 | 0x100 | 0x2;
    WhenChooserUp([](wxColorChooserDialog& d) {
        EXPECT_TRUE(d.CustomPartShown());
        d.SelectColor(0xABCDEF);
        d.EndModal(wxID_OK);
    });
    EXPECT_TRUE(WxChooseColor(request));
    EXPECT_EQ(request.Color, 0xABCDEF);
    frame->Destroy();
    wxTheApp->ProcessIdle();
}

TEST(ColorChooserWindow, TypedChannelIsTakenAtOkOrRefused) {
    CustomColorTable table{};
    ColorChooserRequest request;
    request.Color = 0x102030;
    request.Flags = 0x1 | 0x100 | 0x2;
    request.CustomColors = &table;
    WhenChooserUp([](wxColorChooserDialog& d) {
        wxTextCtrl* red = d.ChannelBox(0);
        EXPECT_EQ(red->GetValue(), "48");
        // Refused as shown: red text, OK and Add disabled, OK does not close.
        for (const char* bad : {"1e40", "12.7", "abc", "", "-3", "256"}) {
            red->SetValue(bad);
            EXPECT_TRUE(IsRed(red)) << bad;
            EXPECT_FALSE(d.OkButton()->IsEnabled()) << bad;
            EXPECT_FALSE(d.AddButton()->IsEnabled()) << bad;
            PressOk(d);
            EXPECT_TRUE(d.IsModal()) << bad;
            EXPECT_EQ(d.CurrentColor(), 0x102030) << bad;
        }
        // Typed and taken as shown, with no Enter and no leaving the box.
        red->SetValue("200");
        EXPECT_FALSE(IsRed(red));
        EXPECT_TRUE(d.OkButton()->IsEnabled());
        EXPECT_EQ(d.CurrentColor(), 0x1020C8);
        d.ChannelBox(2)->SetValue(" 7 ");
        PressOk(d);
        EXPECT_FALSE(d.IsModal());
    });
    EXPECT_TRUE(WxChooseColor(request));
    EXPECT_EQ(request.Color, 0x0720C8);
    wxTheApp->ProcessIdle();
}
