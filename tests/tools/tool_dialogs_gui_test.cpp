// The tool dialogs as real windows on the test display: captions, buttons
// and help, the numeric boxes with OK's enabling, the defaults at every
// opening, Cancel, and each dialog's OK applying its tool.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/app/dialogs/gui_test_main.h"
#include "tests/tools/tool_test_support.h"
#include "tests/tools/tool_window_test.h"
#include "tools/frm_e_pitch.h"
#include "tools/frm_e_reverse.h"
#include "tools/frm_e_scale.h"
#include "tools/frm_e_skew.h"
#include "tools/frm_e_tilt.h"
#include "tools/frm_t_mirror.h"
#include "tools/frm_t_move.h"
#include "tools/frm_t_rotate.h"
#include "tools/frm_t_scale.h"
#include "tools/tool_dialogs.h"
#include "trackdoc/element_document.h"

namespace {

const wxColour kRed(255, 0, 0);

bool KeyReaches(wxWindow& box, char c) {
    wxKeyEvent e(wxEVT_CHAR);
    e.SetEventObject(&box);
    e.m_keyCode = c;
    e.m_uniChar = static_cast<wxChar>(c);
    box.GetEventHandler()->ProcessEvent(e);
    return e.GetSkipped();
}

// Ticks or clears a check box as the user's click does: value, then its click.
void Tick(wxCheckBox& box, bool value) {
    box.SetValue(value);
    Press(box);
}

class ToolDialogWindow : public ToolWindowTest {
protected:
    void TearDown() override {
        FinishMoveTool();
        ToolWindowTest::TearDown();
    }
};

template <typename D>
void ExpectFrame(wxWindow* owner, const char* caption, const char* topic, ScriptedPrompts& prompts) {
    D dialog(owner);
    EXPECT_EQ(dialog.GetTitle(), caption);
    ASSERT_NE(dialog.OkayButton(), nullptr);
    EXPECT_EQ(dialog.OkayButton()->GetLabel(), "OK");
    EXPECT_EQ(dialog.CancelButton()->GetLabel(), "Cancel");
    ASSERT_NE(dialog.HelpButton(), nullptr);
    EXPECT_EQ(dialog.HelpButton()->GetLabel(), "Help");
    prompts.ShellOpened.clear();
    Press(*dialog.HelpButton());
    ASSERT_NO_FATAL_FAILURE(ExpectHelpPage(prompts.ShellOpened, topic)) << caption;
    EXPECT_TRUE(prompts.Messages.empty()) << "the help page is there";
}

}  // namespace

TEST_F(ToolDialogWindow, CaptionsButtonsAndHelpTopics) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    ExpectFrame<frmTScale>(frame, "Track: Scale", "t_scale", prompts);
    ExpectFrame<frmTRotate>(frame, "Track: Rotate", "t_rotate", prompts);
    ExpectFrame<frmTMirror>(frame, "Track: Mirror", "t_mirror", prompts);
    ExpectFrame<frmEReverse>(frame, "Element: Reverse", "e_reverse", prompts);
    ExpectFrame<frmEScale>(frame, "Element: Scale", "e_scale", prompts);
    ExpectFrame<frmEPitch>(frame, "Element: Pitch", "e_pitch", prompts);
    ExpectFrame<frmETilt>(frame, "Element: Tilt", "e_tilt", prompts);
    ExpectFrame<frmESkew>(frame, "Element: Skew", "e_skew", prompts);

    ShowTMoveDialog(frame);
    frmTMove* move = OpenMoveTool();
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->GetTitle(), "Track: Move");
    EXPECT_EQ(move->OkayButton(), nullptr) << "Done instead of OK and Cancel";
    EXPECT_EQ(move->CancelButton(), nullptr);
    EXPECT_EQ(move->DoneButton()->GetLabel(), "Done");
    prompts.ShellOpened.clear();
    Press(*move->HelpButton());
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_NE(prompts.ShellOpened[0].find("gtwrhelp/t_move.htm"), std::string::npos);
    EXPECT_TRUE(move->IsShown());
}

TEST_F(ToolDialogWindow, TrackDialogsOpenWithTheirDefaults) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    {
        frmTScale d(frame);
        ASSERT_EQ(d.NumericBoxCount(), 3);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(d.NumericBox(i)->GetValue(), "100");
        EXPECT_EQ(d.ScaleSupportsBox()->GetLabel(), "Scale Supports and Footers with Track");
        EXPECT_TRUE(d.ScaleSupportsBox()->GetValue());
        EXPECT_TRUE(d.OkayButton()->IsEnabled());
        EXPECT_EQ(d.Panels()[0]->Title(), " Scale Settings");
    }
    {
        frmTRotate d(frame);
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "45");
        EXPECT_EQ(d.DirectionOption(0)->GetLabel(), "Clock-Wise");
        EXPECT_EQ(d.DirectionOption(1)->GetLabel(), "Counter Clock-Wise");
        EXPECT_TRUE(d.DirectionOption(0)->GetValue());
        EXPECT_FALSE(d.DirectionOption(1)->GetValue());
        EXPECT_TRUE(d.RotateSupportsBox()->GetValue());
        EXPECT_EQ(d.Panels()[0]->Title(), " Rotation Settings");
    }
    {
        frmTMirror d(frame);
        EXPECT_EQ(d.MirrorBox(0)->GetLabel(), "Mirror X Coordinates (East/West)");
        EXPECT_EQ(d.MirrorBox(1)->GetLabel(), "Mirror Z Coordinates (North/South)");
        EXPECT_FALSE(d.MirrorBox(0)->GetValue());
        EXPECT_FALSE(d.MirrorBox(1)->GetValue());
        EXPECT_TRUE(d.MirrorSupportsBox()->GetValue());
        EXPECT_FALSE(d.OkayButton()->IsEnabled()) << "OK starts disabled";
        EXPECT_EQ(d.Panels()[0]->Title(), " Mirror Settings");
    }
    ShowTMoveDialog(frame);
    frmTMove* move = OpenMoveTool();
    EXPECT_EQ(move->NumericBox(0)->GetValue(), "10");
    EXPECT_TRUE(move->MoveSupportsBox()->GetValue());
    EXPECT_TRUE(move->UpdateModelBox()->GetValue());
    const char* captions[7] = {"North", "South", "East", "West", "Up", "Down", "Auto-Center"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(move->DirectionButton(i)->GetLabel(), captions[i]);
        EXPECT_TRUE(move->DirectionButton(i)->IsEnabled());
    }
    EXPECT_EQ(move->Panels()[0]->Title(), " Settings");
    EXPECT_EQ(move->Panels()[1]->Title(), " Direction");
}

TEST_F(ToolDialogWindow, ElementDialogsOpenWithTheirDefaults) {
    MakeElement({Node({0, 0, 0}, {0, 0, 1}, {0, 0, -3}), Node({0, 2, -10}, {0, 1, -7}, {0, 3, -13})});
    {
        frmEReverse d(frame);
        EXPECT_EQ(d.InfoLabel()->GetLabel(), "This will rebuild the element backwards, putting the last node first.");
        EXPECT_TRUE(d.OkayButton()->IsEnabled());
    }
    {
        frmEScale d(frame);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(d.NumericBox(i)->GetValue(), "100");
    }
    {
        frmEPitch d(frame);
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "0");
    }
    {
        frmETilt d(frame);
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "0");
    }
    {
        frmESkew d(frame);
        EXPECT_EQ(d.NumericBox(0)->GetValue(), "0");
        EXPECT_EQ(d.NumericBox(1)->GetValue(), "0");
    }
    // A single node cannot be reversed.
    MakeElement({Node({0, 0, 0}, {0, 0, 1}, {0, 0, -3})});
    frmEReverse single(frame);
    EXPECT_FALSE(single.OkayButton()->IsEnabled());
}

TEST_F(ToolDialogWindow, BoxesFilterKeysAndKeepOkDisabledWhileRed) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    frmTScale scale(frame);
    ucNumericTextBox& x = *scale.NumericBox(0);
    EXPECT_TRUE(KeyReaches(x, '7'));
    EXPECT_TRUE(KeyReaches(x, '\b'));
    EXPECT_FALSE(KeyReaches(x, 'a'));
    EXPECT_FALSE(KeyReaches(x, '-')) << "no minus in a percentage";
    EXPECT_FALSE(KeyReaches(x, '.')) << "no decimal point in a percentage";
    x.SetValue("1000");
    EXPECT_TRUE(scale.OkayButton()->IsEnabled());
    x.SetValue("1001");
    EXPECT_EQ(x.GetForegroundColour(), kRed);
    EXPECT_FALSE(scale.OkayButton()->IsEnabled());
    scale.NumericBox(2)->SetValue("0");
    x.SetValue("1");
    EXPECT_NE(x.GetForegroundColour(), kRed);
    EXPECT_FALSE(scale.OkayButton()->IsEnabled()) << "Z is still red";
    scale.NumericBox(2)->SetValue("20");
    EXPECT_TRUE(scale.OkayButton()->IsEnabled());

    frmTRotate rotate(frame);
    EXPECT_TRUE(KeyReaches(*rotate.NumericBox(0), '-'));
    EXPECT_FALSE(KeyReaches(*rotate.NumericBox(0), '.'));
    rotate.NumericBox(0)->SetValue("361");
    EXPECT_FALSE(rotate.OkayButton()->IsEnabled());
    rotate.NumericBox(0)->SetValue("360");
    EXPECT_TRUE(rotate.OkayButton()->IsEnabled());

    frmESkew skew(frame);
    EXPECT_TRUE(KeyReaches(*skew.NumericBox(1), '-'));
    EXPECT_TRUE(KeyReaches(*skew.NumericBox(1), '.'));
    skew.NumericBox(1)->SetValue("-50.5");
    EXPECT_FALSE(skew.OkayButton()->IsEnabled());
    skew.NumericBox(0)->SetValue("12");
    EXPECT_FALSE(skew.OkayButton()->IsEnabled());
    skew.NumericBox(1)->SetValue("-50");
    EXPECT_TRUE(skew.OkayButton()->IsEnabled());

    // A disabled OK applies nothing, even when pressed from code.
    rotate.NumericBox(0)->SetValue("0");
    const Vector3 before = gNodes[1].Position;
    rotate.btnOkay_Click();
    EXPECT_TRUE(Same(gNodes[1].Position, before));
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(ToolDialogWindow, MirrorOkFollowsTheTwoAxisBoxes) {
    MakeLineTrack({10, 10, 0}, {0, 0, -20}, 2);
    frmTMirror d(frame);
    Tick(*d.MirrorBox(1), true);
    EXPECT_TRUE(d.OkayButton()->IsEnabled());
    Tick(*d.MirrorBox(0), true);
    Tick(*d.MirrorBox(1), false);
    EXPECT_TRUE(d.OkayButton()->IsEnabled());
    Tick(*d.MirrorBox(0), false);
    EXPECT_FALSE(d.OkayButton()->IsEnabled());
    Tick(*d.MirrorBox(0), true);
    Press(*d.OkayButton());
    EXPECT_EQ(d.GetReturnCode(), wxID_OK);
    EXPECT_EQ(gNodes[0].Position.X, -10.0f);
    EXPECT_EQ(gNodes[0].Position.Z, 0.0f);
}

TEST_F(ToolDialogWindow, ScaleShownModallyAppliesItsBoxesAndUnloads) {
    MakeLineTrack({2, 10, 0}, {0, 0, -20}, 2);
    WhenModal<frmTScale>([](frmTScale& d) {
        d.NumericBox(0)->SetValue("50");
        d.NumericBox(1)->SetValue("150");
        Tick(*d.ScaleSupportsBox(), false);
        Press(*d.OkayButton());
    });
    ShowTScaleDialog(frame);
    EXPECT_TRUE(Same(gNodes[1].Position, MakeVector(1, 15, -20)));
    EXPECT_TRUE(Same(gFooters[1].Position, MakeVector(-1, 2, 1))) << "supports not ticked";
    EXPECT_TRUE(gRemodelFlags.RebuildPath);
    EXPECT_FALSE(gRemodelFlags.RebuildGround);
    EXPECT_TRUE(gDocumentChanged);
}

TEST_F(ToolDialogWindow, ARefusedScaleKeepsTheDialogOpen) {
    MakeLineTrack({0, 100, 0}, {0, 0, -20}, 2);
    bool stillOpen = false;
    WhenModal<frmTScale>([&stillOpen](frmTScale& d) {
        d.NumericBox(1)->SetValue("200");
        Press(*d.OkayButton());
        stillOpen = d.IsModal();
        Press(*d.CancelButton());
    });
    ShowTScaleDialog(frame);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Notice!");
    EXPECT_EQ(gNodes[0].Position.Y, 100.0f);
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(ToolDialogWindow, CancelAndTheCloseBoxChangeNothing) {
    MakeLineTrack({10, 10, 0}, {0, 0, -20}, 2);
    const Vector3 before = gNodes[1].Position;
    WhenModal<frmTRotate>([](frmTRotate& d) {
        d.NumericBox(0)->SetValue("90");
        Press(*d.CancelButton());
    });
    ShowTRotateDialog(frame);
    WhenModal<frmTMirror>([](frmTMirror& d) {
        Tick(*d.MirrorBox(0), true);
        d.Close();
    });
    ShowTMirrorDialog(frame);
    EXPECT_TRUE(Same(gNodes[1].Position, before));
    EXPECT_TRUE(FlagsClear());
    EXPECT_FALSE(gDocumentChanged);
}

TEST_F(ToolDialogWindow, ReopeningShowsTheDefaultsAgain) {
    MakeLineTrack({10, 10, 0}, {0, 0, -20}, 2);
    WhenModal<frmTRotate>([](frmTRotate& d) {
        d.NumericBox(0)->SetValue("120");
        d.DirectionOption(1)->SetValue(true);
        Tick(*d.RotateSupportsBox(), false);
        Press(*d.CancelButton());
    });
    ShowTRotateDialog(frame);
    std::string text;
    bool clockWise = false, supports = false;
    WhenModal<frmTRotate>([&](frmTRotate& d) {
        text = d.NumericBox(0)->GetValue().utf8_string();
        clockWise = d.DirectionOption(0)->GetValue();
        supports = d.RotateSupportsBox()->GetValue();
        Press(*d.CancelButton());
    });
    ShowTRotateDialog(frame);
    EXPECT_EQ(text, "45");
    EXPECT_TRUE(clockWise);
    EXPECT_TRUE(supports);

    ShowTMoveDialog(frame);
    OpenMoveTool()->NumericBox(0)->SetValue("3.5");
    Tick(*OpenMoveTool()->UpdateModelBox(), false);
    OpenMoveTool()->btnDone_Click();
    EXPECT_EQ(OpenMoveTool(), nullptr);
    ShowTMoveDialog(frame);
    EXPECT_EQ(OpenMoveTool()->NumericBox(0)->GetValue(), "10");
    EXPECT_TRUE(OpenMoveTool()->UpdateModelBox()->GetValue());
}

TEST_F(ToolDialogWindow, ElementDialogsApplyTheirTools) {
    MakeElement({Node({0, 0, 0}, {0, 0, 1}, {0, 0, -3}), Node({0, 10, -10}, {0, 9, -7}, {0, 11, -13})});
    WhenModal<frmESkew>([](frmESkew& d) {
        d.NumericBox(0)->SetValue("5");
        Press(*d.OkayButton());
    });
    ShowESkewDialog(frame);
    EXPECT_EQ(gElementNodes[1].Position.X, 5.0f);
    EXPECT_TRUE(gDocumentChanged);

    WhenModal<frmEPitch>([](frmEPitch& d) {
        d.NumericBox(0)->SetValue("-90");
        Press(*d.OkayButton());
    });
    ShowEPitchDialog(frame);
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(5, -10, -10)));

    WhenModal<frmETilt>([](frmETilt& d) {
        d.NumericBox(0)->SetValue("180");
        Press(*d.OkayButton());
    });
    ShowETiltDialog(frame);
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(-5, 10, -10)));

    WhenModal<frmEScale>([](frmEScale& d) {
        d.NumericBox(2)->SetValue("200");
        Press(*d.OkayButton());
    });
    ShowEScaleDialog(frame);
    EXPECT_TRUE(Near(gElementNodes[1].Position, MakeVector(-5, 10, -20)));

    WhenModal<frmEReverse>([](frmEReverse& d) { Press(*d.OkayButton()); });
    ShowEReverseDialog(frame);
    EXPECT_TRUE(Same(gElementNodes[0].Position, MakeVector(0, 0, 0)));
    EXPECT_TRUE(gRemodelFlags.Recolor);
}

TEST_F(ToolDialogWindow, MoveIsModelessAndEachClickMovesAtOnce) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    ShowTMoveDialog(frame);
    frmTMove* move = OpenMoveTool();
    ASSERT_NE(move, nullptr);
    EXPECT_TRUE(move->IsShown());
    EXPECT_FALSE(move->IsModal());
    ShowTMoveDialog(frame);
    EXPECT_EQ(OpenMoveTool(), move) << "one Move tool at a time";

    move->NumericBox(0)->SetValue("100.5");
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(move->DirectionButton(i)->IsEnabled()) << i;
    EXPECT_TRUE(move->DirectionButton(MoveAutoCenter)->IsEnabled());
    move->NumericBox(0)->SetValue("2.5");
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(move->DirectionButton(i)->IsEnabled()) << i;

    Press(*move->DirectionButton(MoveEast));
    EXPECT_EQ(gNodes[0].Position.X, 2.5f);
    EXPECT_TRUE(gDocumentChanged) << "marked at the move, not only at Done";
    EXPECT_EQ(redraws, 1) << "rebuilt at once";

    Tick(*move->UpdateModelBox(), false);
    Tick(*move->MoveSupportsBox(), false);
    Press(*move->DirectionButton(MoveSouth));
    Press(*move->DirectionButton(MoveSouth));
    EXPECT_EQ(gNodes[0].Position.Z, 5.0f);
    EXPECT_EQ(gFooters[0].Position.Z, 0.0f);
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(move->Session().ModelStale());

    // The close box does what Done does: the pending rebuild runs.
    move->Close();
    EXPECT_EQ(OpenMoveTool(), nullptr);
    EXPECT_EQ(redraws, 2);
    EXPECT_TRUE(gRemodelFlags.RebuildPath);
    wxTheApp->ProcessIdle();
}

TEST_F(ToolDialogWindow, FinishingMoveForAnotherCommandRunsDone) {
    MakeLineTrack({0, 10, 0}, {0, 0, -20}, 2);
    ShowTMoveDialog(frame);
    Tick(*OpenMoveTool()->UpdateModelBox(), false);
    Press(*OpenMoveTool()->DirectionButton(MoveUp));
    EXPECT_EQ(redraws, 0);
    FinishMoveTool();
    EXPECT_EQ(OpenMoveTool(), nullptr);
    EXPECT_EQ(redraws, 1);
    FinishMoveTool();  // nothing open: nothing happens
    EXPECT_EQ(redraws, 1);
    // Escape is Done.
    ShowTMoveDialog(frame);
    Tick(*OpenMoveTool()->UpdateModelBox(), false);
    Press(*OpenMoveTool()->DirectionButton(MoveUp));
    PressEscape(*OpenMoveTool()->DoneButton());
    EXPECT_EQ(OpenMoveTool(), nullptr);
    EXPECT_EQ(redraws, 2);
    wxTheApp->ProcessIdle();
}

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
