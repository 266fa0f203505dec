// The support and scenery tool dialogs as real windows: captions, help pages,
// defaults, the rules of their boxes, and their OK or Rename applying the tool.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/platform/temp_folder.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_t_object_placer.h"
#include "tools/frm_t_object_renamer.h"
#include "tools/frm_t_support_flanger.h"
#include "tools/frm_t_support_optimizer.h"
#include "tools/frm_t_support_wizard.h"
#include "tools/track_statistics.h"
#include "trackdoc/document_procs.h"

namespace {

const wxColour kRed(255, 0, 0);

class SupportToolWindows : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    }
    void TearDown() override {
        ToolWindowTest::TearDown();
        gSimPath.clear();
    }
};

}  // namespace

TEST_F(SupportToolWindows, FlangerDefaultsMiddleBoxesAndOk) {
    const int32_t a = AddFreeNode(MakeVector(0, 5, 0));
    const int32_t b = AddFreeNode(MakeVector(3, 5, 0));
    AddSupportBeam(a, b, TubeMedium, 0);
    frmTSupportFlanger d(frame);
    EXPECT_EQ(d.GetTitle(), "Track: Support Flanger");
    ExpectHelpOpens(d.HelpButton(), "t_supportflanger");
    const char* defaults[5] = {"3", "0.15", "0.75", "12", "10"};
    ASSERT_EQ(d.NumericBoxCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(d.NumericBox(i)->GetValue(), defaults[i]);
    EXPECT_EQ(d.UseFootersBox()->GetLabel(), "Create Flanges on Tube that use FUND Nodes (Footers)");
    EXPECT_TRUE(d.UseFootersBox()->GetValue() && d.UseRascBox()->GetValue() && d.MakeMiddleBox()->GetValue());
    EXPECT_EQ(d.MiddleLabel(1)->GetLabel(), "Middle Flange Spacing Distance:");

    d.MakeMiddleBox()->SetValue(false);
    Press(*d.MakeMiddleBox());
    EXPECT_FALSE(d.MiddleLabel(0)->IsEnabled());
    EXPECT_FALSE(d.NumericBox(4)->IsEnabled());
    d.NumericBox(4)->SetValue("1");  // a disabled box still counts
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    d.NumericBox(4)->SetValue("10");
    d.NumericBox(1)->SetValue("6");
    EXPECT_EQ(d.NumericBox(1)->GetForegroundColour(), kRed);
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    d.NumericBox(1)->SetValue("0.15");
    ASSERT_TRUE(d.OkayButton()->IsEnabled());
    d.btnOkay_Click();
    EXPECT_EQ(gTubeCount, 3);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(SupportToolWindows, RenamerWithoutObjectsOffersOnlyDoneAndHelp) {
    frmTObjectRenamer d(frame);
    EXPECT_EQ(d.GetTitle(), "Track: Object Renamer");
    EXPECT_EQ(d.OkayButton(), nullptr);
    EXPECT_EQ(d.CancelButton(), nullptr);
    ExpectHelpOpens(d.HelpButton(), "t_objectrenamer");
    EXPECT_EQ(d.ObjectList()->GetCount(), 0u);
    for (wxWindow* w : std::initializer_list<wxWindow*>{d.ObjectList(), d.NewFileBox(), d.BrowseButton(),
                                                        d.RenameButton(), d.RenameAllBox()})
        EXPECT_FALSE(w->IsEnabled());
    EXPECT_TRUE(d.DoneButton()->IsEnabled());
    EXPECT_EQ(d.DoneButton()->GetLabel(), "Done");
    EXPECT_GE(d.BrowseButton()->GetSize().x, d.BrowseButton()->GetTextExtent("...").x) << "its \"...\" shows";
    // Escape is Done.
    d.Show();
    PressEscape(*d.HelpButton());
    EXPECT_FALSE(d.IsShown());
    EXPECT_EQ(d.GetReturnCode(), wxID_OK);
}

TEST_F(SupportToolWindows, RenamerTurnsFullPathsRelativeAndRenamesAll) {
    TempFolder sim;
    sim.Write("Objects/Trees/Oak.3ds", "oak");
    sim.Write("Objects/Rock.3ds", "rock");
    gSimPath = sim.Path();
    gObjectCount = 3;
    gObjects.assign(4, SceneryObject{});
    gObjects[0].FileName = "Rock.3ds";
    gObjects[1].FileName = "gone.3ds";
    gObjects[2].FileName = "ROCK.3DS";
    frmTObjectRenamer d(frame);
    ASSERT_EQ(d.ObjectList()->GetCount(), 3u);
    EXPECT_EQ(d.ObjectList()->GetString(1), "0002:gone.3ds");
    EXPECT_EQ(d.ObjectList()->GetSelection(), 0);
    EXPECT_EQ(d.NewFileBox()->GetValue(), "Rock.3ds");
    EXPECT_TRUE(d.RenameButton()->IsEnabled());

    d.ObjectList()->SetSelection(1);
    d.cmbObjList_Click();
    EXPECT_EQ(d.NewFileBox()->GetForegroundColour(), kRed) << "its file no longer exists";
    EXPECT_FALSE(d.RenameButton()->IsEnabled());

    d.ObjectList()->SetSelection(2);
    d.cmbObjList_Click();
    prompts.FileDialogAnswers.push_back({true, sim / "Objects/Trees/Oak.3ds"});
    Press(*d.BrowseButton());
    EXPECT_EQ(d.NewFileBox()->GetValue(), "Trees\\Oak.3ds");
    EXPECT_EQ(gOpenDir, sim / "Objects/Trees/");
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_EQ(prompts.FileDialogs[0].Title, "Select 3DS Object File...");
    EXPECT_EQ(prompts.FileDialogs[0].Filter, "3DS Files (*.3ds)|*.3ds");
    EXPECT_TRUE(d.RenameButton()->IsEnabled());
    d.RenameAllBox()->SetValue(true);
    Press(*d.RenameButton());
    EXPECT_EQ(gObjects[0].FileName, "Trees\\Oak.3ds");
    EXPECT_EQ(gObjects[1].FileName, "gone.3ds");
    EXPECT_EQ(gObjects[2].FileName, "Trees\\Oak.3ds");
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(d.ObjectList()->GetSelection(), 2) << "the same entry stays selected";
    EXPECT_EQ(d.ObjectList()->GetString(2), "0003:Trees\\Oak.3ds");
}

TEST_F(SupportToolWindows, WizardListsStylesWithTheDefaultsOfTheTrack) {
    {
        frmTSupportWizard d(frame);
        EXPECT_EQ(d.GetTitle(), "Track: Support Wizard");
        ExpectHelpOpens(d.HelpButton(), "t_supportwizard");
        ASSERT_EQ(d.DefaultList()->GetCount(), 6u);
        const char* names[6] = {"Simple", "Complex", "Inverted", "90deg Bank", "Small Inverted", "'A' Shape"};
        for (unsigned i = 0; i < 6; ++i) EXPECT_EQ(d.DefaultList()->GetString(i), names[i]);
        EXPECT_EQ(d.DefaultList()->GetStringSelection(), "Simple");
        EXPECT_EQ(d.ChangeList(1)->GetStringSelection(), "Complex");
        EXPECT_EQ(d.ChangeBox(1)->GetLabel(), "Change Support on Transprot Segments to:");
        EXPECT_TRUE(d.RemoveAllBox()->GetValue() && d.UseBankBox(0)->GetValue() && d.UseBankBox(1)->GetValue());
        EXPECT_EQ(d.Panels()[1]->Title(), " Change Supports");
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "10");
        d.NumericBox(0)->SetValue("100");
        EXPECT_FALSE(d.OkayButton()->IsEnabled());
        d.NumericBox(0)->SetValue("20");
        d.btnOkay_Click();
        EXPECT_EQ(gRascGroups[0].ItemCount + gRascGroups[1].ItemCount, 2);
        EXPECT_TRUE(gRemodelFlags.RebuildPrefabs);
    }
    gTrackStyle = StyleInverted4Seat;
    frmTSupportWizard inverted(frame);
    EXPECT_EQ(inverted.DefaultList()->GetStringSelection(), "Small Inverted");
    EXPECT_EQ(inverted.ChangeList(2)->GetStringSelection(), "Inverted");
}

TEST_F(SupportToolWindows, OptimizerIsOfferedFromThreeTubes) {
    gTubeCount = 2;
    gTubes.assign(3, SupportTube{EndFreeNode, 0, 0, EndFreeNode, 1, 0, TubeMedium, 0, 0.0f});
    {
        frmTSupportOptimizer d(frame);
        EXPECT_EQ(d.GetTitle(), "Track: Support Optimizer");
        ExpectHelpOpens(d.HelpButton(), "t_supportoptimizer");
        EXPECT_EQ(d.InfoLabel()->GetLabel(),
                  "There are not enough support tubes to optimize.  There must be at least 3 tubes.");
        EXPECT_FALSE(d.OkayButton()->IsEnabled());
        EXPECT_EQ(d.CleanUpBox()->GetLabel(), "Remove Unused Free Nodes and Footers");
        EXPECT_TRUE(d.CleanUpBox()->GetValue());
    }
    gTubeCount = 3;
    gTubes.resize(4);
    frmTSupportOptimizer d(frame);
    EXPECT_EQ(d.InfoLabel()->GetLabel(), "This will merge tubes that are in a straight line of the same type.");
    ASSERT_TRUE(d.OkayButton()->IsEnabled());
    d.btnOkay_Click();
    EXPECT_TRUE(gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildFooters);
    EXPECT_TRUE(gDocumentChanged) << "even with nothing merged";
}

TEST_F(SupportToolWindows, PlacerNeedsAnObjectBelowTheObjectsFolder) {
    TempFolder sim;
    sim.Write("Objects/Trees/Oak.3ds", "oak");
    sim.Write("Oak.3ds", "outside");
    gSimPath = sim.Path();
    gOpenDir = sim.Path();
    SetRandomSource([n = 0]() mutable { return (n++ % 97) / 97.0; });
    frmTObjectPlacer d(frame);
    EXPECT_EQ(d.GetTitle(), "Track: Object Placer");
    ExpectHelpOpens(d.HelpButton(), "t_objectplacer");
    EXPECT_EQ(d.NumericBoxCount(), 20);
    EXPECT_EQ(d.NumericBox(frmTObjectPlacer::kRepeat)->GetValue(), "100");
    EXPECT_EQ(d.NumericBox(frmTObjectPlacer::kArea)->GetValue(), "-220");
    EXPECT_EQ(d.NumericBox(frmTObjectPlacer::kAbove)->GetValue(), "100.0");
    EXPECT_EQ(d.NumericBox(frmTObjectPlacer::kRotate + 4)->GetValue(), "360");
    EXPECT_EQ(d.Panels()[2]->Title(), " Object Scaling and Rotation");
    EXPECT_FALSE(d.OkayButton()->IsEnabled()) << "no object file yet";

    d.ObjectFileBox()->SetValue(sim / "Oak.3ds");
    EXPECT_EQ(d.ObjectFileBox()->GetForegroundColour(), kRed);
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    prompts.FileDialogAnswers.push_back({true, sim / "Objects/Trees/Oak.3ds"});
    Press(*d.BrowseButton());
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_EQ(prompts.FileDialogs[0].Title, "Select 3DS Object...");
    EXPECT_EQ(prompts.FileDialogs[0].Filter, "3DS Objects (*.3ds)|*.3ds");
    EXPECT_EQ(prompts.FileDialogs[0].InitialDir, sim.Path());
    EXPECT_EQ(d.BrowseFolder(), sim / "Objects/Trees/");
    EXPECT_TRUE(d.OkayButton()->IsEnabled());

    d.KeepAwayBox()->SetValue(false);
    Press(*d.KeepAwayBox());
    EXPECT_FALSE(d.NumericBox(frmTObjectPlacer::kSpaceTrack)->IsEnabled());
    d.NumericBox(frmTObjectPlacer::kSpaceTrack)->SetValue("0");  // disabled, but it still counts
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    d.NumericBox(frmTObjectPlacer::kSpaceTrack)->SetValue("5");
    d.NumericBox(frmTObjectPlacer::kRepeat)->SetValue("3");
    d.btnOkay_Click();
    ASSERT_EQ(gObjectCount, 3);
    EXPECT_EQ(gObjects[2].FileName, "Trees\\Oak.3ds");
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_TRUE(FlagsClear());
    SetRandomSource({});
}
