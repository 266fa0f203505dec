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
#include "tests/tools/tool_program_test.h"
#include "tools/frm_e_overview.h"
#include "tools/frm_t_overview.h"
#include "tools/frm_t_remove_data.h"
#include "trackdoc/element_document.h"
#include "trackdoc/track_document.h"

namespace {

class ReportsInTheProgram : public ToolProgramTest {};

}  // namespace

TEST_F(ReportsInTheProgram, OverviewsChangeNothing) {
    frmMain& f = Start("circuit.vxtrack");
    busy.Stages.clear();
    std::string report;
    WhenModal<frmTOverview>([&report](frmTOverview& d) {
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
    WhenModal<frmEOverview>([&report](frmEOverview& d) {
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
    WhenModal<frmTRemoveData>([](frmTRemoveData& d) {
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
    EXPECT_GT(gRascGroupCount, 0);  // the groups stay, emptied
    for (int32_t s = 0; s < gRascGroupCount; ++s) EXPECT_EQ(gRascGroups[s].ItemCount, 0);
    EXPECT_EQ(gTubeCount, 0);
    EXPECT_EQ(gFreeNodeCount, 0);
    EXPECT_EQ(gFooterCount, 0);
    EXPECT_EQ(gTrackInfo, "");
    EXPECT_EQ(Title(), "Gantrywright - emptied.vxtrack");
}
