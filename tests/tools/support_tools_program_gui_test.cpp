// The support tools inside the real program: launched from the Track menu on
// the sample circuit, they change its supports, the launch rebuilds what they
// flagged, and the saved track opens again with every reference valid.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/menu.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "controls/uc_numeric_text_box.h"
#include "model/rebuild_flags.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"
#include "tools/frm_t_support_flanger.h"
#include "tools/frm_t_support_optimizer.h"
#include "tools/frm_t_support_wizard.h"
#include "trackdoc/track_document.h"

namespace {

class SupportToolsInTheProgram : public ToolProgramTest {};

// Every tube end names a footer, free node or prefabricated support that exists.
bool EveryReferenceValid() {
    auto valid = [](int32_t kind, int32_t index, int32_t segment) {
        if (kind == EndFooter) return index >= 0 && index < gFooterCount;
        if (kind == EndFreeNode) return index >= 0 && index < gFreeNodeCount;
        return kind == EndPrefabAnchor && segment >= 0 && segment < gRascGroupCount && index >= 0 &&
               index < gRascGroups[segment].ItemCount;
    };
    for (int32_t t = 0; t < gTubeCount; ++t) {
        const SupportTube& tube = gTubes[t];
        if (!valid(tube.EndAKind, tube.EndAIndex, tube.EndASegment) ||
            !valid(tube.EndBKind, tube.EndBIndex, tube.EndBSegment))
            return false;
    }
    return true;
}

int32_t PrefabCount() {
    int32_t n = 0;
    for (int32_t s = 0; s < gRascGroupCount; ++s) n += gRascGroups[s].ItemCount;
    return n;
}

}  // namespace

TEST_F(SupportToolsInTheProgram, WizardFlangerAndOptimizerOnTheCircuitSaveAndOpenAgain) {
    frmMain& f = Start("circuit.vxtrack");
    ASSERT_TRUE(gTrackModelValid);
    const int32_t tubes = gTubeCount;

    WhenModal<frmTSupportWizard>([](frmTSupportWizard& d) {
        d.NumericBox(0)->SetValue("5");
        Press(*d.OkayButton());
    });
    Menu("mnuTSupportWizard");
    EXPECT_GT(PrefabCount(), 20);
    for (int32_t s = 0; s < gRascGroupCount; ++s) {
        if (gSegments[s].SegmentType == SegmentStation) {
            EXPECT_EQ(gRascGroups[s].ItemCount, 0) << s;
        }
        for (int32_t k = 0; k < gRascGroups[s].ItemCount; ++k) {
            const float p = gRascGroups[s].Items[k].Position;
            EXPECT_TRUE(p >= 0.0f && p <= 1.0f) << s << " " << p;
        }
    }
    EXPECT_EQ(frame->GetTitle(), "Gantrywright - circuit.vxtrack*");

    WhenModal<frmTSupportFlanger>([](frmTSupportFlanger& d) {
        Press(*d.OkayButton());
    });
    Menu("mnuTSupportFlanger");
    // Two end flanges on each of the six Large tubes of the A-frames, and two
    // middle flanges on each of the four 16.8 m tubes of the two tall frames.
    ASSERT_EQ(tubes, 6);
    EXPECT_EQ(gTubeCount, 6 + 12 + 8);

    WhenModal<frmTSupportOptimizer>([](frmTSupportOptimizer& d) {
        Press(*d.OkayButton());
    });
    Menu("mnuTSupportOptimizer");
    EXPECT_EQ(gTubeCount, 26) << "the flanges stand apart on their tubes: nothing continues another";
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(EveryReferenceValid());

    const int32_t prefabs = PrefabCount(), nodes = gFreeNodeCount, footers = gFooterCount;
    prompts.FileDialogAnswers.push_back({true, temp / "supported.vxtrack"});
    ASSERT_TRUE(f.mnuSaveAs_Click());
    ASSERT_TRUE(f.LoadFile(temp / "supported.vxtrack"));
    EXPECT_EQ(PrefabCount(), prefabs);
    EXPECT_EQ(gTubeCount, 26);
    EXPECT_EQ(gFreeNodeCount, nodes);
    EXPECT_EQ(gFooterCount, footers);
    EXPECT_TRUE(EveryReferenceValid());
}
