// Track and Element Overview and Remove Data inside the real program: the
// reports change nothing and rebuild nothing; Remove Data's Select All and OK
// empty the sample circuit, the whole model is rebuilt, and the saved track
// opens again with every reference valid.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/menu.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tools/frm_e_overview.h"
#include "tools/frm_t_overview.h"
#include "tools/frm_t_remove_data.h"
#include "trackdoc/element_document.h"
#include "trackdoc/track_document.h"

namespace {

template <typename D, typename F>
void WhenUp(F act) {
    wxTheApp->CallAfter([act] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<D*>(w);
            if (dialog && dialog->IsModal()) {
                act(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "the dialog is not up";
    });
}

void Press(wxButton& button) {
    wxCommandEvent e(wxEVT_BUTTON, button.GetId());
    e.SetEventObject(&button);
    button.GetEventHandler()->ProcessEvent(e);
}

class ReportsInTheProgram : public ProgramWindowTest {
protected:
    frmMain& Start(const std::string& sample) {
        const std::string path = temp / sample;
        std::filesystem::copy_file(SamplesFolder() + sample, path, std::filesystem::copy_options::overwrite_existing);
        RegisterToolDialogs();
        return StartProgram(path);
    }
    void Menu(const std::string& name) {
        wxMenuItem* item = frame->MenuItem(name);
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->IsEnabled()) << name;
        wxCommandEvent e(wxEVT_MENU, item->GetId());
        e.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(e);
    }
    std::string Title() { return frame->GetTitle().ToStdString(); }
    EnvScope dataDir{"GANTRYWRIGHT_DATA_DIR", DataFolder()};
};

}  // namespace

TEST_F(ReportsInTheProgram, OverviewsChangeNothing) {
    frmMain& f = Start("circuit.vxtrack");
    busy.Stages.clear();
    std::string report;
    WhenUp<frmTOverview>([&report](frmTOverview& d) {
        report = d.ReportText();
        Press(*d.OkayButton());
    });
    f.tbTool_ButtonClick(0);  // "Track: Overview"
    EXPECT_NE(report.find("File Name......: circuit.vxtrack\r\n"), std::string::npos);
    EXPECT_NE(report.find("Large Tube.....: 6        - 83.96m (275.44ft)\r\n"), std::string::npos);
    EXPECT_TRUE(busy.Stages.empty());
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack");

    Start("camelback.vxelem");
    report.clear();
    WhenUp<frmEOverview>([&report](frmEOverview& d) {
        report = d.ReportText();
        Press(*d.OkayButton());
    });
    Menu("mnuEOverview");
    EXPECT_NE(report.find("Highest Point..: 11.00m (36.09ft)\r\n"), std::string::npos);
    EXPECT_EQ(Title(), "Gantrywright - camelback.vxelem");
}

TEST_F(ReportsInTheProgram, RemoveEverythingRebuildsAndSavesAConsistentFile) {
    frmMain& f = Start("circuit.vxtrack");
    busy.Stages.clear();
    WhenUp<frmTRemoveData>([](frmTRemoveData& d) {
        Press(*d.SelectAllButton());
        Press(*d.OkayButton());
    });
    Menu("mnuTRemove");
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(std::count(busy.Stages.begin(), busy.Stages.end(), "Creating ground model"), 1);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");

    const std::string saved = temp / "emptied.vxtrack";
    prompts.FileDialogAnswers.push_back({true, saved});
    ASSERT_TRUE(f.mnuSaveAs_Click());
    ASSERT_TRUE(f.LoadFile(saved));
    EXPECT_EQ(gNodeCount, 0);
    EXPECT_EQ(gSegmentCount, 0);
    EXPECT_EQ(gRascGroupCount, 0);
    EXPECT_EQ(gTubeCount, 0);
    EXPECT_EQ(gFreeNodeCount, 0);
    EXPECT_EQ(gFooterCount, 0);
    EXPECT_EQ(gTrackInfo, "");
    EXPECT_EQ(Title(), "Gantrywright - emptied.vxtrack");
}
