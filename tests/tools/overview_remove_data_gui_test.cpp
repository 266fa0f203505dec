// Track and Element Overview and Track > Remove Data as real windows: their
// buttons and help, the report shown in its fixed-pitch box, and the linked
// check boxes driven by clicks and by Select All.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_e_overview.h"
#include "tools/frm_t_overview.h"
#include "tools/frm_t_remove_data.h"

namespace {

// The user's click on a check box: its value turns over, then its click.
void ClickBox(wxCheckBox& box) {
    box.SetValue(!box.GetValue());
    Press(box);
}

class ReportAndRemoveWindow : public ToolWindowTest {
protected:
    void ExpectHelp(wxButton* help, const char* topic) {
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->GetLabel(), "Help");
        ExpectHelpOpens(help, topic);
    }
};

}  // namespace

TEST_F(ReportAndRemoveWindow, TrackOverviewShowsItsReportReadOnly) {
    MakeLineTrack({0, 2, 0}, {10, 0, 0}, 2);
    gDocumentPath = "/nowhere/line.vxtrack";
    frmTOverview dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Track: Overview");
    ASSERT_NE(dialog.OkayButton(), nullptr);
    EXPECT_EQ(dialog.OkayButton()->GetLabel(), "OK");
    EXPECT_EQ(dialog.CancelButton(), nullptr);
    ExpectHelp(dialog.HelpButton(), "t_overview");
    wxTextCtrl* box = dialog.InfoBox();
    EXPECT_FALSE(box->IsEditable());
    EXPECT_TRUE(box->IsMultiLine());
    EXPECT_TRUE(box->GetFont().IsFixedWidth());
    // The path was built for the report: the track's points, not the start values.
    EXPECT_NE(dialog.ReportText().find("Lowest Point...: 2.00m (6.56ft)"), std::string::npos);
    EXPECT_NE(dialog.ReportText().find("File Name......: line.vxtrack\r\n"), std::string::npos);
    wxString shown = box->GetValue();
    wxString report = wxString::FromUTF8(dialog.ReportText());
    report.Replace("\r\n", "\n");
    EXPECT_EQ(shown, report);
    Press(*dialog.OkayButton());
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear());
}

TEST_F(ReportAndRemoveWindow, ElementOverview) {
    MakeElement({Node({0, 0, 0}, {0, 0, 2}, {0, 0, -2}), Node({0, -3, -10}, {0, -3, -8}, {0, -3, -12})});
    frmEOverview dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Element: Overview");
    ExpectHelp(dialog.HelpButton(), "e_overview");
    EXPECT_NE(dialog.ReportText().find("Lowest Point...: -3.00m (-9.84ft)\r\n"), std::string::npos);
    EXPECT_FALSE(gDocumentChanged);
    // The box is as tall as the report's eight lines, not a screenful.
    const int line = dialog.InfoBox()->GetTextExtent("M").y;
    EXPECT_GE(dialog.InfoBox()->GetSize().y, line * 8);
    EXPECT_LT(dialog.InfoBox()->GetSize().y, line * 12);
}

TEST_F(ReportAndRemoveWindow, RemoveDataBoxesFollowTheirRules) {
    MakeLineTrack({0, 2, 0}, {10, 0, 0}, 2);
    {
        frmTRemoveData dialog(frame);
        EXPECT_EQ(dialog.GetTitle(), "Track: Remove Data");
        ExpectHelp(dialog.HelpButton(), "t_removedata");
        EXPECT_EQ(dialog.SelectAllButton()->GetLabel(), "Select All");
        EXPECT_EQ(dialog.UnselectAllButton()->GetLabel(), "Unselect All");
        EXPECT_EQ(dialog.Box(RemoveBox::Prefabs)->GetLabel(), "Prefrabricated Supports");
        for (int i = 0; i < kRemoveBoxCount; ++i) {
            EXPECT_FALSE(dialog.Box(static_cast<RemoveBox>(i))->GetValue());
            EXPECT_TRUE(dialog.Box(static_cast<RemoveBox>(i))->IsEnabled());
        }
        ClickBox(*dialog.Box(RemoveBox::Track));
        EXPECT_TRUE(dialog.Box(RemoveBox::Prefabs)->GetValue());
        EXPECT_TRUE(dialog.Box(RemoveBox::OrphanBeams)->GetValue());
        EXPECT_FALSE(dialog.Box(RemoveBox::Tunnels)->IsEnabled());
        EXPECT_FALSE(dialog.Box(RemoveBox::PrefabAShape)->IsEnabled());
        Press(*dialog.SelectAllButton());
        EXPECT_TRUE(dialog.Box(RemoveBox::Comments)->GetValue());
        EXPECT_FALSE(dialog.Box(RemoveBox::Wood1x4)->IsEnabled());
        Press(*dialog.UnselectAllButton());
        EXPECT_FALSE(dialog.Box(RemoveBox::Track)->GetValue());
        EXPECT_TRUE(dialog.Box(RemoveBox::Wood1x4)->IsEnabled());
        Press(*dialog.CancelButton());
        EXPECT_EQ(gNodeCount, 3);
        EXPECT_FALSE(gDocumentChanged);
        EXPECT_TRUE(FlagsClear());
    }
    frmTRemoveData dialog(frame);
    EXPECT_FALSE(dialog.Box(RemoveBox::Prefabs)->GetValue());  // every opening starts unticked
    Press(*dialog.SelectAllButton());
    Press(*dialog.OkayButton());
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gFreeNodeCount, 0);
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(gRemodelFlags.RebuildGround);
}
