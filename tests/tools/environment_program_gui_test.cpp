// The environment editor and organizer inside the real program: launched from
// the Vortaxis menu, an environment is edited on every page, saved, closed,
// opened again in a new editor with every value, and organized.
#include <gtest/gtest.h>

#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "core/app_state.h"
#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "platform/file_system.h"
#include "simulator/frm_vx_env_editor.h"
#include "simulator/frm_vx_env_organizer.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"

namespace {

// The editor and organizer are shown a little after the menu command: asked again until then.
constexpr int kTries = 500;

class EnvironmentsInTheProgram : public ToolProgramTest {};

// Changes the first row of every page as the user would.
void EditEveryPage(frmVXEnvEditor& d) {
    const std::vector<EnvPage>& pages = EnvironmentEditorPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        d.ucHead_TabClick(static_cast<int>(i));
        const EnvRow& row = pages[i].Panels.front().Rows.front();
        wxWindow* control = d.Control(row.Control);
        ASSERT_NE(control, nullptr) << row.Control;
        ASSERT_TRUE(control->IsShownOnScreen()) << row.Control;
        if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
            box->SetValue(!box->GetValue());
            wxCommandEvent e(wxEVT_CHECKBOX, box->GetId());
            e.SetEventObject(box);
            e.SetInt(box->GetValue());
            box->ProcessWindowEvent(e);
        } else if (auto* text = dynamic_cast<wxTextCtrl*>(control)) {
            text->SetValue(row.Kind == EnvRowKind::Name ? "Harbour" : "Textures\\page" + std::to_string(i) + ".jpg");
        }
    }
}

}  // namespace

TEST_F(EnvironmentsInTheProgram, EditedOnEveryPageSavedReopenedAndOrganized) {
    RegisterToolDialogs();
    StartProgram("");
    gSimPath = temp.Path();
    temp.Write("Environments/.keep");
    temp.Write("Textures/page7.jpg", "STATION");
    temp.Write("Textures/page8.jpg", "TRACK");  // a texture not found would keep its value, and be said
    temp.Write("Textures/page9.jpg", "WOOD");

    EnvironmentValues edited;
    WhenModal<frmVXEnvEditor>([&edited](frmVXEnvEditor& d) {
        EditEveryPage(d);
        EXPECT_TRUE(d.Editor().Changed);
        d.ucEnvBar_ButtonClick(2);  // Save
        EXPECT_FALSE(d.Editor().Changed);
        edited = d.Editor().Values();
        d.ucEnvBar_ButtonClick(4);  // Exit
    }, kTries);
    Menu("mnuVXEnvironmentEditor");
    ASSERT_TRUE(fsys::FileExists(temp / "Environments/Harbour.env"));
    EXPECT_EQ(edited.txtStation[0], "Textures\\page7.jpg");
    EXPECT_FALSE(edited.chkFog == EnvironmentValues().chkFog);

    prompts.FileDialogAnswers = {{true, temp / "Environments/Harbour.env"}};
    EnvironmentValues reopened;
    std::string name;
    WhenModal<frmVXEnvEditor>([&](frmVXEnvEditor& d) {
        EXPECT_EQ(d.Editor().Values(), EnvironmentValues());
        d.ucEnvBar_ButtonClick(1);  // Open
        reopened = d.Editor().Values();
        name = d.txtEnvName->GetValue().utf8_string();
        d.ucEnvBar_ButtonClick(4);
    }, kTries);
    Menu("mnuVXEnvironmentEditor");
    EXPECT_EQ(name, "Harbour");
    // The textures now name the environment's own folder; everything else is as edited.
    EXPECT_EQ(reopened.txtStation[0], "Environments\\Harbour\\page7.jpg");
    EXPECT_EQ(reopened.txtTrack[0], "Environments\\Harbour\\page8.jpg");
    reopened.txtStation[0] = edited.txtStation[0];
    reopened.txtTrack[0] = edited.txtTrack[0];
    reopened.txtWood[0] = edited.txtWood[0];
    EXPECT_EQ(reopened, edited);
    EXPECT_TRUE(prompts.Messages.empty());

    temp.Write("Environments/Loose.env", "x\r\nsim.sun.texture.path=Environments\\sun.jpg\r\n");
    temp.Write("Environments/sun.jpg", "SUN");
    WhenModal<frmVXEnvOrganizer>([](frmVXEnvOrganizer& d) {
        EXPECT_EQ(d.lblEnvCount[0]->GetLabel(), "2");
        EXPECT_EQ(d.lblEnvCount[1]->GetLabel(), "1");
        d.btnOkay_Click();
    }, kTries);
    Menu("mnuVXEnvironmentOrganizer");
    std::string loose;
    fsys::ReadWholeFile(temp / "Environments/Loose.env", loose);
    EXPECT_EQ(loose, "x\r\nsim.sun.texture.path=Environments\\Loose\\sun.jpg\r\n");
    EXPECT_TRUE(fsys::FileExists(temp / "Environments/__Unused Files__/sun.jpg"));
}
