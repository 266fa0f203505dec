// The export dialog as a real window under the test display: its opening
// state, the boxes and the OK rule, Browse, Help, OK with success and with
// failure, and a modal run.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/init.h>
#include <wx/textctrl.h>

#include "controls/uc_container.h"
#include "core/app_state.h"
#include "export/frm_export_model.h"
#include "export/scene_staging_3ds.h"
#include "platform/file_system.h"
#include "platform/scripted_prompts.h"
#include "tests/export/lib3ds_readback.h"
#include "tests/export/synthetic_model.h"
#include "tests/export/window_clicks.h"
#include "tests/platform/temp_folder.h"

namespace {

class ExportDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDocumentAndModel();
        MakeTrackModel(2, 1, 1, 4, 2);
        MakeGroundModel(3, 3, 1.0f, true);
        gDocumentType = DocumentTrack;
        gSaveDir = folder.Path();
        gAppPath = GW_TEST_DATA_DIR;
    }
    void TearDown() override {
        if (dialog) dialog->Destroy();
        wxTheApp->ProcessIdle();
        ClearDocumentAndModel();
        gDocumentType = DocumentNone;
        gDocumentPath.clear();
    }
    frmExportModel& Open() {
        dialog = new frmExportModel(nullptr);
        dialog->Show();
        return *dialog;
    }

    TempFolder folder;
    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
    frmExportModel* dialog = nullptr;
};

}  // namespace

TEST_F(ExportDialog, OpensWithEveryBoxTickedAndOkDisabled) {
    frmExportModel& d = Open();
    EXPECT_EQ(d.GetTitle(), "Export 3DS Model...");
    EXPECT_EQ(d.ctrWhat->Title(), " What to Export");
    EXPECT_EQ(d.ctrFile->Title(), " Output Filename");
    const char* captions[] = {"Track", "Tunnels", "Supports", "Ground", "Water"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.chkExport[i]->GetLabel(), captions[i]);
        EXPECT_TRUE(d.chkExport[i]->GetValue());
        EXPECT_TRUE(d.chkExport[i]->IsEnabled());
    }
    EXPECT_TRUE(d.txtFile->GetValue().empty());
    EXPECT_EQ(d.btnBrowse->GetLabel(), "...");
    EXPECT_EQ(d.btnOkay->GetLabel(), "OK");
    EXPECT_EQ(d.btnCancel->GetLabel(), "Cancel");
    EXPECT_EQ(d.btnHelp->GetLabel(), "Help");
    EXPECT_FALSE(d.btnOkay->IsEnabled());
    d.txtFile->WriteText("m");
    EXPECT_TRUE(d.btnOkay->IsEnabled()) << "one character enables OK";
    d.txtFile->Clear();
    EXPECT_FALSE(d.btnOkay->IsEnabled());
}

TEST_F(ExportDialog, BoxesDecideOkAndWater) {
    frmExportModel& d = Open();
    d.txtFile->SetValue(folder / "x.3ds");
    Click(d.chkExport[ExportGroundBox]);
    EXPECT_FALSE(d.chkExport[ExportWaterBox]->IsEnabled()) << "no ground, no water";
    EXPECT_TRUE(d.chkExport[ExportWaterBox]->GetValue()) << "but its tick stays";
    Click(d.chkExport[ExportGroundBox]);
    EXPECT_TRUE(d.chkExport[ExportWaterBox]->IsEnabled());
    for (int i = 0; i < 5; ++i) Click(d.chkExport[i]);
    EXPECT_FALSE(d.btnOkay->IsEnabled()) << "nothing ticked";
    EXPECT_FALSE(d.chkExport[ExportWaterBox]->IsEnabled());
    Click(d.chkExport[ExportTunnelsBox]);
    EXPECT_TRUE(d.btnOkay->IsEnabled());
}

TEST_F(ExportDialog, ElementsKeepTheTicksOfTheirDisabledBoxes) {
    gDocumentType = DocumentElement;
    frmExportModel& d = Open();
    for (int i : {ExportTunnelsBox, ExportSupportsBox, ExportWaterBox}) {
        EXPECT_FALSE(d.chkExport[i]->IsEnabled());
        EXPECT_TRUE(d.chkExport[i]->GetValue());
    }
    Click(d.chkExport[ExportTrackBox]);
    Click(d.chkExport[ExportGroundBox]);
    d.txtFile->SetValue("model");
    EXPECT_TRUE(d.btnOkay->IsEnabled()) << "disabled ticked boxes count towards OK";
    EXPECT_FALSE(d.chkExport[ExportTunnelsBox]->IsEnabled());
}

TEST_F(ExportDialog, BrowseProposesTheTypedNameAndTakesTheChosenPath) {
    frmExportModel& d = Open();
    d.txtFile->SetValue("draft");
    prompts.FileDialogAnswers.push_back({true, folder / "chosen.3ds", 1, false});
    Press(d.btnBrowse);
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    const FileDialogRequest& r = prompts.FileDialogs[0];
    EXPECT_TRUE(r.Save);
    EXPECT_EQ(r.Title, "Export 3DS Model...");
    EXPECT_EQ(r.Filter, "3DS Files (*.3d)|*.3ds");
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_EQ(r.DefaultExt, "3ds");
    EXPECT_EQ(r.InitialDir, folder.Path());
    EXPECT_EQ(r.FileName, "draft");
    EXPECT_EQ(d.txtFile->GetValue(), folder / "chosen.3ds");
    EXPECT_EQ(gSaveDir, folder.Path()) << "the save folder is not changed";
    prompts.FileDialogAnswers.push_back({false, "", 0, false});
    Press(d.btnBrowse);
    EXPECT_EQ(d.txtFile->GetValue(), folder / "chosen.3ds") << "cancel keeps the name";
}

TEST_F(ExportDialog, HelpOpensItsTopic) {
    frmExportModel& d = Open();
    Press(d.btnHelp);
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], std::string(GW_TEST_DATA_DIR) + "gtwrhelp/m_export3ds.htm");
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(ExportDialog, OkWritesTheFileAndCloses) {
    frmExportModel& d = Open();
    const std::string path = folder / "track";
    d.txtFile->SetValue(path);
    Click(d.chkExport[ExportGroundBox]);  // water goes with it
    Press(d.btnOkay);
    EXPECT_TRUE(d.Exported());
    EXPECT_FALSE(d.IsShown());
    EXPECT_EQ(d.GetReturnCode(), wxID_OK);
    EXPECT_TRUE(prompts.Messages.empty());
    const Read3DS file = ReadWithLib3ds(path);
    ASSERT_TRUE(file.Loaded) << "the name is used as typed";
    EXPECT_EQ(file.Meshes.size(), 6u);
    EXPECT_EQ(file.Materials.size(), 7u);
    EXPECT_EQ(gObjectCount3DS, 0);
}

TEST_F(ExportDialog, FailureSaysWhyAndStaysOpen) {
    frmExportModel& d = Open();
    const std::string old = folder.Write("kept.3ds", "old");
    const std::string bad = folder / "no such folder/model.3ds";
    d.txtFile->SetValue(bad);
    Click(d.chkExport[ExportGroundBox]);
    Press(d.btnOkay);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Error!");
    EXPECT_EQ(prompts.Messages[0].Icon, MsgIcon::Exclamation);
    EXPECT_NE(prompts.Messages[0].Text.find(bad), std::string::npos);
    EXPECT_TRUE(d.IsShown());
    EXPECT_FALSE(d.Exported());
    // Usable again with the user's choices, Water still following Ground.
    EXPECT_TRUE(d.txtFile->IsEnabled());
    EXPECT_TRUE(d.btnBrowse->IsEnabled());
    EXPECT_TRUE(d.btnCancel->IsEnabled());
    EXPECT_TRUE(d.btnHelp->IsEnabled());
    EXPECT_TRUE(d.btnOkay->IsEnabled());
    EXPECT_TRUE(d.chkExport[ExportTrackBox]->IsEnabled());
    EXPECT_FALSE(d.chkExport[ExportWaterBox]->IsEnabled());
    EXPECT_FALSE(d.chkExport[ExportGroundBox]->GetValue());
    EXPECT_EQ(d.txtFile->GetValue(), bad);
    // Another name works, once the user agrees to replace the file there.
    d.txtFile->SetValue(folder / "kept.3ds");
    prompts.MessageAnswers.push_back(MsgResult::Yes);
    Press(d.btnOkay);
    EXPECT_TRUE(d.Exported());
    EXPECT_TRUE(ReadWithLib3ds(old).Loaded);
}

// OK with a typed name: the open track's own file is refused and stays; an
// existing file is asked about (No writes nothing); a bare name lands in the
// save folder. A name the "..." route gave is not asked about twice.
TEST_F(ExportDialog, TypedNamesAreAskedAboutAndTheOpenTrackIsRefused) {
    gDocumentPath = folder.Write("circuit.vxtrack", "the track");
    frmExportModel& d = Open();
    Click(d.chkExport[ExportGroundBox]);
    d.txtFile->SetValue("circuit.vxtrack");
    Press(d.btnOkay);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, ExportOverDocumentText(gDocumentPath, DocumentTrack));
    EXPECT_FALSE(d.Exported());
    EXPECT_TRUE(d.btnOkay->IsEnabled());
    std::string text;
    ASSERT_TRUE(fsys::ReadWholeFile(gDocumentPath, text));
    EXPECT_EQ(text, "the track");

    const std::string old = folder.Write("old.3ds", "old");
    d.txtFile->SetValue("old.3ds");
    prompts.MessageAnswers = {MsgResult::No};
    Press(d.btnOkay);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, old + " already exists.\r\nDo you want to replace it?");
    EXPECT_FALSE(d.Exported());
    ASSERT_TRUE(fsys::ReadWholeFile(old, text));
    EXPECT_EQ(text, "old");

    prompts.FileDialogAnswers.push_back({true, old, 1, false});
    prompts.MessageAnswers = {MsgResult::Yes};
    Press(d.btnBrowse);
    Press(d.btnOkay);
    EXPECT_EQ(prompts.Messages.size(), 3u) << "asked once, in the dialog";
    EXPECT_TRUE(d.Exported());
    EXPECT_TRUE(ReadWithLib3ds(old).Loaded);

    frmExportModel& again = *(dialog = new frmExportModel(nullptr));
    again.Show();
    again.txtFile->SetValue("fresh");
    Press(again.btnOkay);
    EXPECT_TRUE(again.Exported());
    EXPECT_TRUE(ReadWithLib3ds(folder / "fresh").Loaded);
    EXPECT_EQ(prompts.Messages.size(), 3u);
    d.Destroy();
}

TEST_F(ExportDialog, ModalRunEndsWithOkOrCancel) {
    const std::string path = folder / "modal.3ds";
    {
        frmExportModel d(nullptr);
        d.CallAfter([&d, path] {
            d.txtFile->SetValue(path);
            Press(d.btnOkay);
        });
        EXPECT_EQ(d.ShowModal(), wxID_OK);
        EXPECT_TRUE(d.Exported());
    }
    EXPECT_TRUE(fsys::FileExists(path));
    {
        frmExportModel d(nullptr);
        d.CallAfter([&d, path] {
            d.txtFile->SetValue(path + ".other");
            Press(d.btnCancel);
        });
        EXPECT_EQ(d.ShowModal(), wxID_CANCEL);
        EXPECT_FALSE(d.Exported());
    }
    EXPECT_FALSE(fsys::FileExists(path + ".other"));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "no display for the window tests\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assertion " << cond << " " << msg << " in " << func << " at " << file << ":" << line;
    });
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
