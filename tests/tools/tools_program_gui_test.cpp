// The tools inside the real program under a display: launched from the
// Track and Element menus and the tools' tool bar of the main window, each
// changes a sample document, the model is rebuilt and the title shows the
// change; saved and opened again, the edited document comes back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "app/frm_main.h"
#include "app/gui_tool_dialogs.h"
#include "controls/uc_numeric_text_box.h"
#include "controls/uc_tool_bar.h"
#include "model/rebuild_flags.h"
#include "model/render/wx/gl_canvas.h"
#include "tests/app/mainwin/mainwin_test_support.h"
#include "tests/app/mainwin/program_window_test.h"
#include "tests/tools/tool_program_test.h"
#include "tools/frm_e_reverse.h"
#include "tools/frm_t_move.h"
#include "tools/frm_t_rotate.h"
#include "tools/frm_t_scale.h"
#include "tools/scene_boundary.h"
#include "tools/tool_dialogs.h"
#include "trackdoc/element_document.h"
#include "trackdoc/track_document.h"

namespace {
class ToolsInTheProgram : public ToolProgramTest {};
}  // namespace

TEST_F(ToolsInTheProgram, RotateFromTheToolBarRebuildsAndSurvivesSaveAndOpen) {
    frmMain& f = Start("circuit.vxtrack");
    ASSERT_EQ(gDocumentType, DocumentTrack);
    ASSERT_TRUE(gTrackModelValid);
    const std::vector<TrackNode> before(gNodes.begin(), gNodes.begin() + gNodeCount);
    const std::vector<TrackFooter> footers(gFooters.begin(), gFooters.begin() + gFooterCount);
    busy.Stages.clear();

    WhenModal<frmTRotate>([](frmTRotate& d) {
        d.NumericBox(0)->SetValue("90");
        d.DirectionOption(1)->SetValue(true);
        Press(*d.OkayButton());
    });
    f.tbTool_ButtonClick(6);  // "Track: Rotate"

    // Counter-clock-wise by 90 degrees: (x, y, z) -> (z, y, -x), rolls kept.
    const Matrix4 r = MatrixRotateY(DegToRad(90.0));
    for (int i = 0; i < gNodeCount; ++i) {
        EXPECT_TRUE(SameBits(gNodes[i].Position, MatrixTransformPoint(r, before[i].Position))) << i;
        EXPECT_TRUE(SameBits(gNodes[i].ControlOut, MatrixTransformPoint(r, before[i].ControlOut))) << i;
        EXPECT_EQ(gNodes[i].Roll, before[i].Roll);
    }
    for (int i = 0; i < gFooterCount; ++i)
        EXPECT_TRUE(SameBits(gFooters[i].Position, MatrixTransformPoint(r, footers[i].Position)));
    // The launch rebuilt the model of the turned track, all but the ground.
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating track model"), 1);
    EXPECT_EQ(Count(busy.Stages, "Creating ground model"), 0);
    EXPECT_TRUE(gTrackModelValid);
    EXPECT_TRUE(TrackPathFramesCurrent());
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*");
    EXPECT_TRUE(f.MainBar()->Layout().Button(1).Enabled) << "Save is enabled";

    const std::vector<TrackNode> edited(gNodes.begin(), gNodes.begin() + gNodeCount);
    const std::string saved = SaveAs("turned.vxtrack");
    EXPECT_EQ(Title(), "Gantrywright - turned.vxtrack");
    const std::vector<uint8_t> bytes = FileBytes(saved);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes, FileBytes(SamplesFolder() + "circuit.vxtrack"));

    ASSERT_TRUE(f.LoadFile(saved));
    ASSERT_EQ(gNodeCount, static_cast<int32_t>(edited.size()));
    for (int i = 0; i < gNodeCount; ++i) {
        EXPECT_TRUE(SameBits(gNodes[i].Position, edited[i].Position));
        EXPECT_TRUE(SameBits(gNodes[i].ControlIn, edited[i].ControlIn));
        EXPECT_TRUE(SameBits(gNodes[i].ControlOut, edited[i].ControlOut));
    }
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_EQ(FileBytes(SaveAs("again.vxtrack")), bytes) << "the reopened track writes the same bytes";
}

TEST_F(ToolsInTheProgram, ReverseFromTheElementMenuSurvivesSaveAndOpen) {
    frmMain& f = Start("camelback.vxelem");
    ASSERT_EQ(gDocumentType, DocumentElement);
    const int n = gElementNodeCount;
    ASSERT_GE(n, 2);
    const std::vector<TrackNode> before(gElementNodes.begin(), gElementNodes.begin() + n);
    busy.Stages.clear();

    WhenModal<frmEReverse>([](frmEReverse& d) {
        EXPECT_TRUE(d.OkayButton()->IsEnabled());
        Press(*d.OkayButton());
    });
    Menu("mnuEReverse");

    EXPECT_TRUE(SameBits(gElementNodes[0].Position, Vector3{})) << "the former last node at the origin";
    for (int i = 0; i < n; ++i) EXPECT_EQ(gElementNodes[i].Roll, -before[n - 1 - i].Roll) << i;
    EXPECT_NEAR(VectorDistance(gElementNodes[n - 1].Position, gElementNodes[n - 2].Position),
                VectorDistance(before[0].Position, before[1].Position), 1e-4);
    EXPECT_EQ(Count(busy.Stages, "Creating path matrix array"), 1);
    EXPECT_EQ(Count(busy.Stages, "Coloring model"), 1);
    EXPECT_EQ(Title(), "Gantrywright - camelback.vxelem*");

    const std::vector<TrackNode> edited(gElementNodes.begin(), gElementNodes.begin() + n);
    const std::string saved = SaveAs("reversed.vxelem");
    const std::vector<uint8_t> bytes = FileBytes(saved);
    ASSERT_TRUE(f.LoadFile(saved));
    ASSERT_EQ(gElementNodeCount, n);
    // What an element file holds: every position but the first (the origin),
    // the incoming control points and rolls of nodes 1 on, the outgoing ones of
    // every node but the last.
    for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(SameBits(gElementNodes[i].Position, edited[i].Position)) << i;
        if (i > 0) {
            EXPECT_TRUE(SameBits(gElementNodes[i].ControlIn, edited[i].ControlIn)) << i;
            EXPECT_TRUE(SameBits(gElementNodes[i].Roll, edited[i].Roll)) << i;
        }
        if (i < n - 1) {
            EXPECT_TRUE(SameBits(gElementNodes[i].ControlOut, edited[i].ControlOut)) << i;
        }
    }
    EXPECT_EQ(FileBytes(SaveAs("again.vxelem")), bytes);
}

TEST_F(ToolsInTheProgram, CancelChangesNothingAndTheNextOpeningShowsTheDefaults) {
    frmMain& f = Start("circuit.vxtrack");
    const std::vector<TrackNode> before(gNodes.begin(), gNodes.begin() + gNodeCount);
    busy.Stages.clear();
    WhenModal<frmTScale>([](frmTScale& d) {
        d.NumericBox(0)->SetValue("250");
        Press(*d.CancelButton());
    });
    Menu("mnuTScale");
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack") << "no \"*\"";
    EXPECT_FALSE(gDocumentChanged);
    EXPECT_FALSE(f.MainBar()->Layout().Button(1).Enabled) << "Save stays greyed";
    const RemodelFlags& flags = gRemodelFlags;
    EXPECT_FALSE(flags.RebuildPath || flags.RebuildTrack || flags.RebuildTubes || flags.RebuildFooters ||
                 flags.RebuildGround || flags.Recolor || flags.RebuildTunnels || flags.RebuildPrefabs);
    EXPECT_TRUE(busy.Stages.empty()) << "nothing rebuilt, only redrawn";
    for (int i = 0; i < gNodeCount; ++i) EXPECT_TRUE(SameBits(gNodes[i].Position, before[i].Position));

    std::string text;
    WhenModal<frmTScale>([&text](frmTScale& d) {
        text = d.NumericBox(0)->GetValue().utf8_string();
        Press(*d.CancelButton());
    });
    Menu("mnuTScale");
    EXPECT_EQ(text, "100");
}

// Move stays open beside the window; launching another tool or leaving the
// program finishes it first, so its pending rebuild runs and no move is lost.
TEST_F(ToolsInTheProgram, AnotherToolOrExitFinishesAnOpenMoveFirst) {
    frmMain& f = Start("circuit.vxtrack");
    f.tbTool_ButtonClick(4);  // "Track: Move"
    frmTMove* move = OpenMoveTool();
    ASSERT_NE(move, nullptr);
    move->UpdateModelBox()->SetValue(false);
    const float y = gNodes[0].Position.Y;
    move->btnDirection_Click(MoveUp);
    EXPECT_EQ(gNodes[0].Position.Y, y + 10.0f);
    EXPECT_EQ(Title(), "Gantrywright - circuit.vxtrack*") << "marked at the move";
    EXPECT_FALSE(TrackPathFramesCurrent()) << "the rebuild waits for Done";

    bool moveOpenMeanwhile = true;
    WhenModal<frmTScale>([&moveOpenMeanwhile](frmTScale& d) {
        moveOpenMeanwhile = OpenMoveTool() != nullptr;
        Press(*d.CancelButton());
    });
    Menu("mnuTScale");
    EXPECT_FALSE(moveOpenMeanwhile) << "Move was finished before Scale opened";
    EXPECT_TRUE(TrackPathFramesCurrent()) << "its pending rebuild ran";

    f.tbTool_ButtonClick(4);
    ASSERT_NE(OpenMoveTool(), nullptr);
    OpenMoveTool()->UpdateModelBox()->SetValue(false);
    OpenMoveTool()->btnDirection_Click(MoveDown);
    // Leaving asks about the unsaved moves; Cancel keeps the program open.
    prompts.MessageAnswers.push_back(MsgResult::Cancel);
    f.Close();
    Settle(3);
    ASSERT_TRUE(frame);
    EXPECT_EQ(OpenMoveTool(), nullptr);
    ASSERT_FALSE(prompts.Messages.empty());
    EXPECT_EQ(prompts.Messages.back().Buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(TrackPathFramesCurrent());
    EXPECT_EQ(gNodes[0].Position.Y, y);
    prompts.MessageAnswers.push_back(MsgResult::No);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
