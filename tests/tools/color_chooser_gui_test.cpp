// The colour chooser of the desktop: its start colour, its custom colours
// kept also after Cancel, and OK handing the chosen colour back.

#include <gtest/gtest.h>

#include <functional>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>

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
