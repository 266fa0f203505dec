// The modeler dialog inside the real program under a display: Create Model
// rebuilds the sample track from a preset, a saved settings set reopens with
// its values, OK at once rebuilds nothing, and a track opened with the
// model-on-load setting 5 is built from the dialog's choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/menu.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "export/frm_modeler.h"
#include "model/modeler_settings.h"
#include "model/rebuild_flags.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"

namespace {

// The modeler dialog is shown a little after the menu command: asked again until then.
constexpr int kTries = 500;

class ModelerInTheProgram : public ToolProgramTest {
protected:
    void CreateModel() { Menu("mnuCreateModel"); }
};

}  // namespace

TEST_F(ModelerInTheProgram, PresetRebuildsAndASavedSetReopens) {
    RegisterToolDialogs();
    StartProgram(CopySample("circuit.vxtrack"));
    ASSERT_TRUE(gTrackModelValid);
    ASSERT_EQ(gModelSettings.gSpineCount, 1);
    const std::string set = temp / "wooden.gtwrms";

    busy.Stages.clear();
    WhenModal<frmModeler>([this, set](frmModeler& d) {
        Press(*d.btnTrackStyle[9]);  // "Wooden"
        prompts.FileDialogAnswers.push_back({true, set});
        Press(*d.btnStyle[1]);  // "Save"
        Press(*d.btnOkay);
    }, kTries);
    CreateModel();
    EXPECT_EQ(gModelSettings.gSpineCount, 0);
    EXPECT_EQ(gModelSettings.gRails[0].Shape, RailWood);
    EXPECT_TRUE(gModelSettings.RoundFooters);
    EXPECT_EQ(Count(busy.Stages, "Creating track model"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating footer models"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating ground model"), 0);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(std::filesystem::exists(set));

    // Back to steel, then the saved set: the wooden settings again.
    WhenModal<frmModeler>([this, set](frmModeler& d) {
        Press(*d.btnTrackStyle[0]);
        prompts.FileDialogAnswers.push_back({true, set});
        Press(*d.btnStyle[0]);  // "Open"
        EXPECT_EQ(d.txtNumSpines->GetValue(), "0");
        Press(*d.btnOkay);
    }, kTries);
    CreateModel();
    EXPECT_EQ(gModelSettings.gSpineCount, 0);
    EXPECT_EQ(gModelSettings.gRails[1].Size, 1.0f);
    EXPECT_EQ(gModelSettings.TieSpacing, 0.5f);
    EXPECT_TRUE(prompts.Messages.empty());

    // Open and OK at once: nothing to rebuild.
    busy.Stages.clear();
    WhenModal<frmModeler>([](frmModeler& d) { Press(*d.btnOkay); }, kTries);
    CreateModel();
    EXPECT_TRUE(busy.Stages.empty());
    EXPECT_TRUE(gTrackModelValid);
}

TEST_F(ModelerInTheProgram, ModelOnLoadFiveBuildsFromTheDialog) {
    RegisterToolDialogs();
    frmMain& f = StartProgram("");
    gModelOnLoad = 5;
    busy.Stages.clear();
    bool shown = false;
    WhenModal<frmModeler>([&shown](frmModeler& d) {
        shown = true;
        EXPECT_EQ(d.txtNumSpines->GetValue(), "1");  // the style's presets, applied before
        Press(*d.btnTrackStyle[5]);                    // "Hyper 2seat"
        Press(*d.btnOkay);
    }, kTries);
    ASSERT_TRUE(f.LoadFile(CopySample("circuit.vxtrack")));
    EXPECT_TRUE(shown);
    ASSERT_EQ(gModelSettings.gSpineCount, 1);
    EXPECT_EQ(gModelSettings.gSpines[0].PosY, -1.0f);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_EQ(Count(busy.Stages, "Creating ground model"), 1);
}
