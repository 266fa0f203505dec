// The environment editor and organizer in real windows: values edited on the
// pages through their controls, saved, reset by New and opened again; closing
// with unsaved changes kept open by Cancel; the organizer with nothing to do,
// and listing what it cannot do, before OK and in the warning after it; both
// saying once why they leave another user's tree alone.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/uc_tab_head.h"
#include "controls/uc_tool_bar.h"
#include "core/app_state.h"
#include "platform/color_chooser.h"
#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "simulator/frm_vx_env_editor.h"
#include "simulator/frm_vx_env_organizer.h"
#include "tests/platform/temp_folder.h"

namespace {

// Sends the control's own event as a user's action does.
void Fire(wxWindow* control, wxEventType type) {
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    if (auto* box = dynamic_cast<wxCheckBox*>(control)) event.SetInt(box->GetValue() ? 1 : 0);
    if (auto* slider = dynamic_cast<wxSlider*>(control)) event.SetInt(slider->GetValue());
    control->ProcessWindowEvent(event);
}

class EnvWindows : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "main");
        savedSim = gSimPath;
        gSimPath = sim.Path();
        sim.Write("Environments/.keep");
    }
    void TearDown() override {
        gSimPath = savedSim;
        ResetEnvironmentControls();
        frame->Destroy();
    }
    wxFrame* frame = nullptr;
    TempFolder sim;
    std::string savedSim;
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
};

TEST_F(EnvWindows, EditorEditsSavesAndOpensAgain) {
    frmVXEnvEditor dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Vortaxis: Environment Editor");
    EXPECT_EQ(dialog.ucHead->Layout().TabCount(), 10);
    EXPECT_TRUE(dialog.ucTab[0]->IsShown());
    EXPECT_FALSE(dialog.Editor().Changed);

    dialog.ucHead_TabClick(2);
    EXPECT_TRUE(dialog.ucTab[2]->IsShown());
    EXPECT_FALSE(dialog.ucTab[0]->IsShown());
    auto* fog = dynamic_cast<wxCheckBox*>(dialog.Control("chkFog"));
    auto* density = dynamic_cast<wxSlider*>(dialog.Control("hsFogDensity"));
    auto* densityLabel = dynamic_cast<wxStaticText*>(dialog.Control("lblFogDensity"));
    ASSERT_TRUE(fog && density && densityLabel);
    EXPECT_EQ(densityLabel->GetLabel(), "0.01");
    fog->SetValue(true);
    Fire(fog, wxEVT_CHECKBOX);
    density->SetValue(250);
    Fire(density, wxEVT_SLIDER);
    EXPECT_EQ(densityLabel->GetLabel(), "0.025");
    {
        ScopedColorChooser chooser([](ColorChooserRequest& request) {
            request.Color = EnvRGB(10, 20, 30);
            return true;
        });
        // The swatch is reached by the keyboard too: Space picks as a click does.
        wxKeyEvent space(wxEVT_KEY_DOWN);
        space.m_keyCode = WXK_SPACE;
        dialog.Control("lblFogColor")->ProcessWindowEvent(space);
    }
    auto* sky = dynamic_cast<wxTextCtrl*>(dialog.Control("txtRegionSkybox(2)"));
    ASSERT_TRUE(sky);
    sim.Write("Textures/east.jpg", "EAST");
    sky->SetValue("Textures\\east.jpg");
    dialog.txtEnvName->SetValue("Sunset");
    EXPECT_TRUE(dialog.Editor().Changed);

    dialog.ucEnvBar_ButtonClick(2);  // Save
    EXPECT_FALSE(dialog.Editor().Changed);
    ASSERT_TRUE(fsys::FileExists(sim / "Environments/Sunset.env"));

    dialog.ucEnvBar_ButtonClick(0);  // New
    EXPECT_FALSE(fog->GetValue());
    EXPECT_EQ(density->GetValue(), 100);
    EXPECT_EQ(dialog.txtEnvName->GetValue(), "");

    prompts.FileDialogAnswers = {{true, sim / "Environments/Sunset.env"}};
    dialog.ucEnvBar_ButtonClick(1);  // Open
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_TRUE(fog->GetValue());
    EXPECT_EQ(density->GetValue(), 250);
    EXPECT_EQ(densityLabel->GetLabel(), "0.025");
    EXPECT_EQ(gEnvironment.lblFogColor, EnvRGB(10, 20, 30));
    EXPECT_EQ(dialog.Control("lblFogColor")->GetBackgroundColour(), wxColour(10, 20, 30));
    EXPECT_EQ(sky->GetValue(), "Environments\\Sunset\\east.jpg");
    EXPECT_EQ(dialog.txtEnvName->GetValue(), "Sunset");

    // Clear marks a change; closing asks and Cancel keeps the window open.
    auto* clear = dynamic_cast<wxButton*>(dialog.Control("btnRegionSkybox_Clear(2)"));
    ASSERT_TRUE(clear);
    Fire(clear, wxEVT_BUTTON);
    EXPECT_EQ(sky->GetValue(), "");
    prompts.MessageAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(dialog.Close());
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Unsaved Changes...");
    EXPECT_TRUE(dialog.Editor().Changed);
}

// A key as the window sees it first, whichever control has the focus.
bool WindowKey(wxWindow* focused, int keyCode, bool control = false, bool shift = false) {
    wxKeyEvent e(wxEVT_CHAR_HOOK);
    e.SetEventObject(focused);
    e.m_keyCode = keyCode;
    e.SetControlDown(control);
    e.SetRawControlDown(control);
    e.SetShiftDown(shift);
    focused->GetEventHandler()->ProcessEvent(e);
    return !e.GetSkipped();
}

void KeyDown(wxWindow* control, int keyCode) {
    wxKeyEvent e(wxEVT_KEY_DOWN);
    e.SetEventObject(control);
    e.m_keyCode = keyCode;
    control->GetEventHandler()->ProcessEvent(e);
}

TEST_F(EnvWindows, EditorPagesAndExitAreReachedFromTheKeyboard) {
    auto* dialog = new frmVXEnvEditor(frame);
    dialog->Show();
    // Ctrl+Tab and Ctrl+PageDown forward, their reverses back, from a control of a page.
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_TAB, true));
    EXPECT_EQ(dialog->ShownTab(), 1);
    EXPECT_TRUE(dialog->ucTab[1]->IsShown());
    EXPECT_FALSE(dialog->ucTab[0]->IsShown());
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_PAGEDOWN, true));
    EXPECT_EQ(dialog->ShownTab(), 2);
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_PAGEUP, true));
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_TAB, true, true));
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_TAB, true, true));
    EXPECT_EQ(dialog->ShownTab(), 9) << "back from the first page to the last";
    EXPECT_EQ(dialog->ucHead->Layout().SelectedTab(), 9);
    // Tab reaches the tool bar and the strip, which show where the focus is.
    EXPECT_TRUE(dialog->ucEnvBar->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(dialog->ucHead->AcceptsFocusFromKeyboard());

    // Escape is Exit: with unsaved changes it asks, and Cancel keeps the window.
    auto* fog = dynamic_cast<wxCheckBox*>(dialog->Control("chkFog"));
    ASSERT_TRUE(fog);
    fog->SetValue(true);
    Fire(fog, wxEVT_CHECKBOX);
    prompts.MessageAnswers = {MsgResult::Cancel, MsgResult::No};
    EXPECT_TRUE(WindowKey(fog, WXK_ESCAPE));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Unsaved Changes...");
    EXPECT_TRUE(dialog->IsShown());
    // The tool bar's Exit from the keyboard: End, then Enter; No closes unsaved.
    KeyDown(dialog->ucEnvBar, WXK_END);
    EXPECT_EQ(dialog->ucEnvBar->Layout().KeyButton(), 4);
    KeyDown(dialog->ucEnvBar, WXK_RETURN);
    EXPECT_EQ(prompts.Messages.size(), 2u);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_CANCEL);
    dialog->Destroy();

    // Without unsaved changes Escape closes at once.
    dialog = new frmVXEnvEditor(frame);
    dialog->Show();
    EXPECT_TRUE(WindowKey(dialog->txtEnvName, WXK_ESCAPE));
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(prompts.Messages.size(), 2u);
    dialog->Destroy();
}

TEST_F(EnvWindows, OrganizerWithNothingToDoKeepsOkGreyed) {
    sim.Write("Environments/Tidy.env", "x\r\nsim.sun.texture.path=Textures\\sun.jpg\r\n");
    {
        frmVXEnvOrganizer dialog(frame);
        EXPECT_EQ(dialog.GetTitle(), "Vortaxis: Environment Organizer");
        EXPECT_EQ(dialog.lblEnvCount[0]->GetLabel(), "1");
        EXPECT_EQ(dialog.lblEnvCount[1]->GetLabel(), "0");
        EXPECT_FALSE(dialog.btnOkay->IsEnabled());
        EXPECT_FALSE(dialog.txtProblems->IsShown());
    }
    // A value that cannot be rewritten is listed, and leaves nothing to do.
    sim.Write("Environments/Stuck.env", "x\r\nsim.sun.texture.path=sky_east.gif\r\n");
    frmVXEnvOrganizer dialog(frame);
    EXPECT_EQ(dialog.lblEnvCount[1]->GetLabel(), "0");
    EXPECT_TRUE(dialog.txtProblems->IsShown());
    EXPECT_EQ(dialog.txtProblems->GetValue(), "Stuck: sky_east.gif (not found)");
}

// Another user's folder at an environment's name is said before OK. The
// superuser's run on another user's tree: each window says why once, as it
// opens, and the organizer cannot start.
TEST_F(EnvWindows, WindowsSayWhyTheyLeaveAnotherUsersFoldersAlone) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give folders to other users";
    sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    const std::string theirs = sim / "Environments/Sunset";
    std::filesystem::create_directories(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0777), 0);
    {
        frmVXEnvOrganizer dialog(frame);
        EXPECT_EQ(dialog.txtProblems->GetValue().utf8_string(),
                  "Sunset: Environments\\sky.jpg (cannot be copied. The environment's folder belongs to another "
                  "user.)");
        EXPECT_FALSE(dialog.btnOkay->IsEnabled());
    }
    sim.Write("Environments/Dusk.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    const std::string top = sim.Path().substr(0, sim.Path().size() - 1);
    ASSERT_EQ(::chown(top.c_str(), 65534, 65534), 0);
    const std::string refusal = NobodysFolderRefusal(top);
    {
        frmVXEnvOrganizer dialog(frame);
        EXPECT_EQ(dialog.lblEnvCount[1]->GetLabel(), "2");
        EXPECT_EQ(dialog.txtProblems->GetValue().utf8_string(), refusal);
        EXPECT_FALSE(dialog.btnOkay->IsEnabled());
    }
    EXPECT_TRUE(prompts.Messages.empty());
    frmVXEnvEditor editor(frame);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, refusal);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
}

TEST_F(EnvWindows, OrganizerListsTheFilesItCannotMove) {
    sim.Write("Environments/Sunset.env", "x\r\nsim.sun.texture.path=Environments\\sky.jpg\r\n");
    sim.Write("Environments/sky.jpg", "SKY");
    sim.Write("Environments/notes.txt", "NEW");
    sim.Write("Environments/__Unused Files__/notes.txt", "OLD");
    frmVXEnvOrganizer dialog(frame);
    const std::string line =
        "notes.txt: not moved into \"__Unused Files__\" (a file of that name is in \"__Unused Files__\")";
    EXPECT_TRUE(dialog.txtProblems->IsShown());
    EXPECT_EQ(dialog.txtProblems->GetValue().utf8_string(), line);
    ASSERT_TRUE(dialog.btnOkay->IsEnabled());
    dialog.btnOkay_Click();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Text,
              "These files could not be moved into \"__Unused Files__\" and were left where they are:\n"
              "notes.txt (a file of that name is in \"__Unused Files__\")");
    std::string kept;
    EXPECT_TRUE(fsys::ReadWholeFile(sim / "Environments/notes.txt", kept));
    EXPECT_EQ(kept, "NEW");
}

}  // namespace
