// The environment editor and organizer in real windows: values edited on the
// pages through their controls, saved, reset by New and opened again; closing
// with unsaved changes kept open by Cancel; the organizer with nothing to do,
// and listing what it cannot do, before OK and in the warning after it.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/uc_tab_head.h"
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
        wxMouseEvent click(wxEVT_LEFT_DOWN);
        dialog.Control("lblFogColor")->ProcessWindowEvent(click);
    }
    auto* sky = dynamic_cast<wxTextCtrl*>(dialog.Control("txtRegionSkybox(2)"));
    ASSERT_TRUE(sky);
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
