// The settings dialog and the numeric text box as real windows on the test display.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/uiaction.h>

#include "app/frm_settings.h"
#include "controls/uc_numeric_text_box.h"
#include "controls/uc_tab_head.h"
#include "core/app_state.h"
#include "core/settings_file.h"
#include "core/settings_text.h"
#include "model/radius_comb.h"
#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "platform/wx/event_pump.h"
#include "tests/app/dialogs/gui_test_main.h"
#include "tests/core/core_test_support.h"
#include "trackdoc/track_document.h"

namespace {

const wxColour kRed(255, 0, 0);
wxColour WindowText() { return wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT); }

// Sends a key press to a box as the toolkit delivers typed input; true when
// the box lets it through (the handler skipped it on to the text entry).
bool KeyReaches(wxWindow& box, int keyCode, wxChar unicode, bool control = false) {
    wxKeyEvent e(wxEVT_CHAR);
    e.SetEventObject(&box);
    e.m_keyCode = keyCode;
    e.m_uniChar = unicode;
    e.SetControlDown(control);
    e.SetRawControlDown(control);
    box.GetEventHandler()->ProcessEvent(e);
    return e.GetSkipped();
}
bool CharReaches(wxWindow& box, char c) { return KeyReaches(box, c, static_cast<wxChar>(c)); }

void Click(wxWindow& control, wxEventType type) {
    wxCommandEvent e(type, control.GetId());
    e.SetEventObject(&control);
    if (type == wxEVT_CHECKBOX) e.SetInt(static_cast<wxCheckBox&>(control).GetValue() ? 1 : 0);
    control.GetEventHandler()->ProcessEvent(e);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SettingsDialogWindow : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        gAppPath = GW_SOURCE_DATA_DIR "/";
        gModelOnLoad = 2;
        gUseRecentList = true;
        gSyncRecentList = true;
        gCombRadiusScale = 0.5f;
        gCombRadiusLimit = 40;
        // A loaded track of three segments whose comb is not built: OK rebuilds it.
        gDocumentType = DocumentTrack;
        gSegmentCount = 3;
        ClearRadiusComb();
        frame = new wxFrame(nullptr, wxID_ANY, "main", wxDefaultPosition, wxSize(800, 600));
        frame->Show();
    }
    void TearDown() override {
        gDocumentType = DocumentNone;
        gSegmentCount = 0;
        ClearRadiusComb();
        frame->Destroy();
        wxTheApp->ProcessIdle();
        AppStateTest::TearDown();
    }
    wxFrame* frame = nullptr;
    ScriptedPrompts prompts;
    ScopedPrompts usePrompts{prompts};
};

TEST_F(SettingsDialogWindow, OpensWithTheStoredSettingsOnTheGeneralPage) {
    frmSettings dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Gantrywright Settings...");
    ASSERT_EQ(dialog.TabStrip()->Layout().TabCount(), 2);
    EXPECT_EQ(dialog.TabStrip()->Layout().Tab(0).Caption, " General ");
    EXPECT_EQ(dialog.TabStrip()->Layout().Tab(1).Caption, " Combs ");
    EXPECT_EQ(dialog.TabStrip()->Layout().SelectedTab(), 0);
    EXPECT_TRUE(dialog.TabPage(0)->IsShown());
    EXPECT_FALSE(dialog.TabPage(1)->IsShown());

    const char* captions[6] = {"Do Nothing",
                               "Create a Low Detailed Model (Flat Ground Only)",
                               "Create a Medium Detailed Model (Low Detail Terrain)",
                               "Create a Normal Detailed Model",
                               "Create a Highly Detailed Model",
                               "Show the Create Model Window"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog.ModelOnLoadOption(i)->GetLabel(), captions[i]);
        EXPECT_EQ(dialog.ModelOnLoadOption(i)->GetValue(), i == 2) << i;
        if (i > 0) {
            EXPECT_LT(dialog.ModelOnLoadOption(i)->GetPosition().y, dialog.ModelOnLoadOption(i - 1)->GetPosition().y)
                << "option 5 stands at the top, 0 at the bottom";
        }
    }
    EXPECT_EQ(dialog.UseRecentFileListBox()->GetLabel(), "Maintain the Recent File List");
    EXPECT_EQ(dialog.SyncRecentFileListBox()->GetLabel(), "Syncronize with Vortaxis Editor Recent File List");
    EXPECT_TRUE(dialog.UseRecentFileListBox()->GetValue());
    EXPECT_TRUE(dialog.SyncRecentFileListBox()->GetValue());
    EXPECT_TRUE(dialog.SyncRecentFileListBox()->IsEnabled());
    EXPECT_EQ(dialog.RadiusScaleBox()->GetValue(), "0.50");
    EXPECT_EQ(dialog.RadiusLimitBox()->GetValue(), "40");
    EXPECT_EQ(dialog.OkayButton()->GetLabel(), "OK");
    EXPECT_EQ(dialog.CancelButton()->GetLabel(), "Cancel");
    EXPECT_EQ(dialog.HelpButton()->GetLabel(), "Help");
}

TEST_F(SettingsDialogWindow, TabClicksSwitchPagesOfOneSizeAtOnePlace) {
    frmSettings dialog(frame);
    dialog.Show();
    const wxRect page0 = dialog.TabPage(0)->GetRect();
    dialog.TabStrip()->ShowTab(1);
    EXPECT_FALSE(dialog.TabPage(0)->IsShown());
    EXPECT_TRUE(dialog.TabPage(1)->IsShown());
    EXPECT_EQ(dialog.TabPage(1)->GetRect(), page0);
    EXPECT_TRUE(dialog.RadiusScaleBox()->IsShownOnScreen());
    // The comb page's boxes are one line of the dialog's font tall, once the theme has sized them.
    SettleEvents(10);
    for (ucNumericTextBox* box : {dialog.RadiusScaleBox(), dialog.RadiusLimitBox()})
        EXPECT_LT(box->GetSize().y, 2 * box->GetCharHeight()) << "one line tall";
    dialog.TabStrip()->ShowTab(5);  // no such tab: nothing changes
    EXPECT_TRUE(dialog.TabPage(1)->IsShown());
    dialog.TabStrip()->ShowTab(0);
    EXPECT_TRUE(dialog.TabPage(0)->IsShown());
    EXPECT_FALSE(dialog.TabPage(1)->IsShown());
    EXPECT_FALSE(dialog.RadiusScaleBox()->IsShownOnScreen());
}

TEST_F(SettingsDialogWindow, UncheckingTheRecentListGreysAndStoresSyncOff) {
    frmSettings dialog(frame);
    dialog.UseRecentFileListBox()->SetValue(false);
    Click(*dialog.UseRecentFileListBox(), wxEVT_CHECKBOX);
    EXPECT_FALSE(dialog.SyncRecentFileListBox()->IsEnabled());
    EXPECT_TRUE(dialog.SyncRecentFileListBox()->GetValue()) << "the mark itself stays";
    Click(*dialog.OkayButton(), wxEVT_BUTTON);
    EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
    EXPECT_FALSE(gUseRecentList);
    EXPECT_FALSE(gSyncRecentList);
    frmSettings again(frame);
    EXPECT_FALSE(again.SyncRecentFileListBox()->IsEnabled()) << "greyed from the start";
}

TEST_F(SettingsDialogWindow, ARedCombValueKeepsOkDisabledUntilCorrected) {
    frmSettings dialog(frame);
    dialog.ModelOnLoadOption(5)->SetValue(true);
    dialog.SyncRecentFileListBox()->SetValue(false);
    dialog.RadiusScaleBox()->SetValue("1.75");
    EXPECT_EQ(dialog.RadiusScaleBox()->GetForegroundColour(), WindowText());
    EXPECT_TRUE(dialog.OkayButton()->IsEnabled());
    // Out of range, or not one number as a whole: red, and OK cannot store
    // a value other than the one shown.
    for (const char* limit : {"150", "", "5-5", "50.5"}) {
        dialog.RadiusLimitBox()->SetValue(limit);
        EXPECT_EQ(dialog.RadiusLimitBox()->GetForegroundColour(), kRed) << limit;
        EXPECT_FALSE(dialog.OkayButton()->IsEnabled()) << limit;
    }
    dialog.RadiusLimitBox()->SetValue("25");
    for (const char* scale : {"25", "2.5.7", "-", ""}) {
        dialog.RadiusScaleBox()->SetValue(scale);
        EXPECT_EQ(dialog.RadiusScaleBox()->GetForegroundColour(), kRed) << scale;
        EXPECT_FALSE(dialog.OkayButton()->IsEnabled()) << scale;
    }
    Click(*dialog.OkayButton(), wxEVT_BUTTON);  // a click that reaches a disabled OK anyway
    EXPECT_EQ(dialog.GetReturnCode(), 0) << "the dialog stays open";
    EXPECT_EQ(gCombRadiusLimit, 40) << "nothing stored";
    EXPECT_EQ(gModelOnLoad, 2);

    dialog.RadiusScaleBox()->SetValue("1.75");
    EXPECT_TRUE(dialog.OkayButton()->IsEnabled());
    Click(*dialog.OkayButton(), wxEVT_BUTTON);
    EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
    EXPECT_EQ(gRadiusComb.size(), 4u) << "the comb of the loaded track is rebuilt";
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(gCombRadiusLimit, 25);
    EXPECT_EQ(gCombRadiusScale, 1.75f);
    EXPECT_EQ(gModelOnLoad, 5);
    EXPECT_TRUE(gUseRecentList);
    EXPECT_FALSE(gSyncRecentList);

    const std::string file = ReadText(SettingsFilePath());
    EXPECT_NE(file.find("[General]\r\nUseRecentList=1\r\nSyncRecentList=0\r\nModelOnLoad=5\r\n"
                        "CombRadiusScale=1.75\r\nCombRadiusLimit=25\r\n"),
              std::string::npos)
        << file;
    // And the program reads the same back at its next start.
    gModelOnLoad = 0;
    gCombRadiusScale = 0.1f;
    LoadSettings();
    EXPECT_EQ(gModelOnLoad, 5);
    EXPECT_EQ(gCombRadiusScale, 1.75f);
    EXPECT_EQ(gCombRadiusLimit, 25);
}

TEST_F(SettingsDialogWindow, AFailedSaveIsReportedAndTheSettingsStillApply) {
    // The configuration folder cannot be made: a file stands where it belongs.
    const std::string folder = config.Path();
    const std::string blocker = folder.substr(0, folder.size() - 1);
    { std::ofstream(blocker) << "in the way"; }
    frmSettings dialog(frame);
    dialog.RadiusLimitBox()->SetValue("60");
    Click(*dialog.OkayButton(), wxEVT_BUTTON);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(prompts.Messages[0].Text.rfind("Could Not Save the Settings!", 0), 0u) << prompts.Messages[0].Text;
    EXPECT_NE(prompts.Messages[0].Text.find(SettingsFilePath() + " could not be written. A part of the path is not a folder. "),
              std::string::npos)
        << "the reason the system gave: " << prompts.Messages[0].Text;
    EXPECT_EQ(gCombRadiusLimit, 60) << "the new settings apply for this run";
    EXPECT_EQ(gRadiusComb.size(), 4u) << "and the comb follows them";
    EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
}

TEST_F(SettingsDialogWindow, CancelChangesNothing) {
    frmSettings dialog(frame);
    dialog.ModelOnLoadOption(0)->SetValue(true);
    dialog.RadiusLimitBox()->SetValue("70");
    Click(*dialog.CancelButton(), wxEVT_BUTTON);
    EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL);
    EXPECT_EQ(gModelOnLoad, 2);
    EXPECT_EQ(gCombRadiusLimit, 40);
    EXPECT_EQ(gRadiusComb.size(), 1u) << "the comb is left alone";
    EXPECT_FALSE(fsys::FileExists(SettingsFilePath()));
}

TEST_F(SettingsDialogWindow, HelpOpensTheSettingsPage) {
    frmSettings dialog(frame);
    Click(*dialog.HelpButton(), wxEVT_BUTTON);
    EXPECT_TRUE(prompts.Messages.empty()) << "the page exists";
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], gAppPath + "gtwrhelp/m_settings.htm");
}

TEST_F(SettingsDialogWindow, TheBoxesFilterTypedKeysOnly) {
    frmSettings dialog(frame);
    ucNumericTextBox& scale = *dialog.RadiusScaleBox();
    ucNumericTextBox& limit = *dialog.RadiusLimitBox();
    EXPECT_TRUE(CharReaches(scale, '.'));
    EXPECT_FALSE(CharReaches(limit, '.')) << "the limit box swallows the decimal point";
    for (ucNumericTextBox* box : {&scale, &limit}) {
        EXPECT_TRUE(CharReaches(*box, '7'));
        EXPECT_FALSE(CharReaches(*box, '-')) << "no minus in either box";
        EXPECT_FALSE(CharReaches(*box, 'a'));
        EXPECT_TRUE(KeyReaches(*box, WXK_BACK, WXK_BACK));
        EXPECT_TRUE(KeyReaches(*box, WXK_LEFT, WXK_NONE));
        EXPECT_TRUE(KeyReaches(*box, WXK_DELETE, WXK_DELETE));
        EXPECT_TRUE(KeyReaches(*box, 22, 22, true)) << "Ctrl+V pastes";
    }
}

TEST_F(SettingsDialogWindow, ShownModallyOkReturnsTrueAndStores) {
    wxTheApp->CallAfter([] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<frmSettings*>(w);
            if (!dialog || !dialog->IsModal()) continue;
            dialog->ModelOnLoadOption(4)->SetValue(true);
            Click(*dialog->OkayButton(), wxEVT_BUTTON);
        }
    });
    EXPECT_TRUE(ShowSettingsDialog(frame));
    EXPECT_EQ(gModelOnLoad, 4);
    EXPECT_TRUE(fsys::FileExists(SettingsFilePath()));

    wxTheApp->CallAfter([] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<frmSettings*>(w);
            if (!dialog || !dialog->IsModal()) continue;
            dialog->ModelOnLoadOption(1)->SetValue(true);
            Click(*dialog->CancelButton(), wxEVT_BUTTON);
        }
    });
    EXPECT_FALSE(ShowSettingsDialog(frame));
    EXPECT_EQ(gModelOnLoad, 4);
}

// The numeric box on its own: colours on every change, and a group that keeps
// OK disabled while any box is red.
TEST_F(SettingsDialogWindow, NumericBoxGroupKeepsOkDisabledWhileABoxIsRed) {
    auto* a = new ucNumericTextBox(frame, wxID_ANY, uc::NumericBoxRule{1, 100, false, false}, "50");
    auto* b = new ucNumericTextBox(frame, wxID_ANY, uc::NumericBoxRule{-5, 5, true, true}, "9");
    auto* ok = new wxButton(frame, wxID_OK, "OK");
    EXPECT_EQ(a->GetForegroundColour(), WindowText());
    EXPECT_EQ(b->GetForegroundColour(), kRed) << "a box starts in the colour of its text";
    int changes = 0;
    a->Changed = [&] { ++changes; };

    uc::NumericBoxGroup group;
    group.Add(a);
    group.Add(b);
    group.ControlButton(ok);
    EXPECT_FALSE(ok->IsEnabled());
    b->SetValue("-4.5");
    EXPECT_EQ(b->GetForegroundColour(), WindowText());
    EXPECT_TRUE(ok->IsEnabled());
    a->SetValue("");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a->GetForegroundColour(), kRed) << "an empty box holds no number";
    EXPECT_FALSE(ok->IsEnabled());
    // Texts whose leading number lies in the range but that are not one number.
    for (const char* text : {"2.5.5", "90-45", "-", "12 m"}) {
        a->SetValue(text);
        EXPECT_EQ(a->GetForegroundColour(), kRed) << text;
        EXPECT_FALSE(a->InRange()) << text;
        EXPECT_FALSE(ok->IsEnabled()) << text;
    }
    a->SetValue("12");
    EXPECT_EQ(a->GetForegroundColour(), WindowText());
    EXPECT_EQ(a->Number(), 12.0);
    EXPECT_TRUE(ok->IsEnabled());
    a->SetRule(uc::NumericBoxRule{20, 30, false, false});
    EXPECT_EQ(a->GetForegroundColour(), kRed);
    group.Update();
    EXPECT_FALSE(ok->IsEnabled());

    // A box destroyed before its group drops out of it.
    a->Destroy();
    group.Update();
    EXPECT_TRUE(ok->IsEnabled());
    {
        uc::NumericBoxGroup shortLived;
        shortLived.Add(b);
        shortLived.ControlButton(ok);
    }
    b->SetValue("99");  // the group is gone: nothing may reach it
    EXPECT_EQ(b->GetForegroundColour(), kRed);
    EXPECT_FALSE(ok->IsEnabled()) << "the first group still watches b";
}

// Real key presses through the display server: typed characters are
// filtered, editing keys and paste work as in any text box.
TEST_F(SettingsDialogWindow, TypingIntoANumericBox) {
    // A window of its own in a corner of the test display, away from the
    // windows of tests running beside this one: without a window manager the
    // keys go to the window under the pointer.
    auto* corner = new wxFrame(frame, wxID_ANY, "typing", wxPoint(1350, 1050), wxSize(200, 80));
    auto* box = new ucNumericTextBox(corner, wxID_ANY, uc::NumericBoxRule{1, 100, false, false}, "",
                                     wxPoint(10, 10), wxSize(120, -1));
    corner->Show();
    corner->Raise();
    box->SetFocus();
    DeliverReadyEvents();
    if (!box->HasFocus()) GTEST_SKIP() << "the test display gives no keyboard focus";
    wxUIActionSimulator sim;
    sim.MouseMove(box->ClientToScreen(wxPoint(5, 5)));
    DeliverReadyEvents();
    sim.Text("1a2.-3");
    DeliverReadyEvents();
    if (box->GetValue().empty()) GTEST_SKIP() << "the keys went to another window";
    EXPECT_EQ(box->GetValue(), "123");
    EXPECT_EQ(box->GetForegroundColour(), kRed);
    sim.Char(WXK_LEFT);
    sim.Char(WXK_BACK);
    DeliverReadyEvents();
    EXPECT_EQ(box->GetValue(), "13");
    EXPECT_EQ(box->GetForegroundColour(), WindowText());
}

}  // namespace

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
