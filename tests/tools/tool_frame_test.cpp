// The frame every tool dialog shares: the tool table, the numeric boxes'
// range checks and OK's enabling, the ending of OK.

#include <string>

#include "core/app_state.h"
#include "model/rebuild_flags.h"
#include "tests/tools/tool_test_support.h"
#include "tools/element_transforms.h"
#include "core/document_changed.h"
#include "tools/tool_ending.h"
#include "tools/tool_form.h"
#include "tools/tool_table.h"
#include "tools/track_move.h"
#include "tools/track_transforms.h"

namespace {

bool SameFlags(const RemodelFlags& a, const RemodelFlags& b) {
    return a.RebuildPath == b.RebuildPath && a.RebuildTrack == b.RebuildTrack && a.RebuildTubes == b.RebuildTubes &&
           a.RebuildFooters == b.RebuildFooters && a.RebuildGround == b.RebuildGround && a.Recolor == b.Recolor &&
           a.RebuildTunnels == b.RebuildTunnels && a.RebuildPrefabs == b.RebuildPrefabs;
}

}  // namespace

TEST(ToolTableTest, TransformToolsCaptionsTopicsLaunchAndFlags) {
    struct Row {
        const char* dialog;
        const char* caption;
        const char* topic;
        ToolLaunch launch;
    };
    const Row rows[] = {
        {"frmTMove", "Track: Move", "t_move", ToolLaunch::Modeless},
        {"frmTScale", "Track: Scale", "t_scale", ToolLaunch::Modal},
        {"frmTRotate", "Track: Rotate", "t_rotate", ToolLaunch::Modal},
        {"frmTMirror", "Track: Mirror", "t_mirror", ToolLaunch::Modal},
        {"frmEReverse", "Element: Reverse", "e_reverse", ToolLaunch::Modal},
        {"frmEScale", "Element: Scale", "e_scale", ToolLaunch::Modal},
        {"frmEPitch", "Element: Pitch", "e_pitch", ToolLaunch::Modal},
        {"frmETilt", "Element: Tilt", "e_tilt", ToolLaunch::Modal},
        {"frmESkew", "Element: Skew", "e_skew", ToolLaunch::Modal},
    };
    for (const Row& row : rows) {
        const ToolDialogInfo* tool = FindToolDialog(row.dialog);
        ASSERT_NE(tool, nullptr) << row.dialog;
        EXPECT_STREQ(tool->Caption, row.caption);
        EXPECT_STREQ(tool->HelpTopic, row.topic);
        EXPECT_EQ(tool->Launch, row.launch) << row.dialog;
        EXPECT_TRUE(tool->MarksChanged);
    }
    EXPECT_TRUE(SameFlags(FindToolDialog("frmTScale")->Flags, AllFlagsButGround()));
    EXPECT_FALSE(FindToolDialog("frmTScale")->Flags.RebuildGround);
    RemodelFlags reverse;
    reverse.RebuildPath = reverse.RebuildTrack = reverse.Recolor = true;
    EXPECT_TRUE(SameFlags(FindToolDialog("frmEReverse")->Flags, reverse));
    reverse.Recolor = false;
    EXPECT_TRUE(SameFlags(FindToolDialog("frmEScale")->Flags, reverse));
    EXPECT_TRUE(SameFlags(FindToolDialog("frmESkew")->Flags, reverse));
    EXPECT_TRUE(SameFlags(FindToolDialog("frmETilt")->Flags, AllFlagsButGround()));
    EXPECT_EQ(FindToolDialog("frmNoSuchTool"), nullptr);
}

TEST(ToolTableTest, ToolBarButtonsFollowTheMenus) {
    EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Track, 4)->Dialog, "frmTMove");
    EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Track, 7)->Dialog, "frmTMirror");
    EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Track, 16)->ToolTip, "Track: Tube Exchange");
    EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Track, 16)->Caption, "Track: Tube Exchanger");
    EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Track, 18)->Dialog, "frmTNodeSmoother");
    EXPECT_EQ(ToolDialogOfButton(ToolDocument::Track, 19), nullptr);  // the Spine Changer has no button
    const char* element[] = {"frmEOverview", "frmEReverse", "frmEScale", "frmEPitch", "frmETilt", "frmESkew"};
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(ToolDialogOfButton(ToolDocument::Element, i)->Dialog, element[i]);
    EXPECT_EQ(ToolDialogOfButton(ToolDocument::Element, 6), nullptr);
    EXPECT_EQ(ToolDialogOfButton(ToolDocument::Element, -1), nullptr);
}

TEST(ToolFormTest, DefaultsAreInRangeAndOkStartsEnabled) {
    const ToolForm form({kTrackScaleBox, kTrackScaleBox, kTrackScaleBox});
    ASSERT_EQ(form.BoxCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.Text(i), "100");
        EXPECT_FALSE(form.IsRed(i));
        EXPECT_EQ(form.Value(i), 100.0);
    }
    EXPECT_TRUE(form.OkEnabled());
    EXPECT_EQ(ToolForm({kMoveAmountBox}).Value(0), 10.0);
    EXPECT_EQ(ToolForm({kTrackRotateBox}).Text(0), "45");
    EXPECT_EQ(ToolForm({kElementTurnBox}).Text(0), "0");
    EXPECT_EQ(ToolForm({kElementSkewBox}).Text(0), "0");
}

TEST(ToolFormTest, RangeEndsAreInsideAndOneStepOutsideTurnsRed) {
    ToolForm form({kTrackScaleBox});
    EXPECT_TRUE(form.SetText(0, "1"));
    EXPECT_TRUE(form.OkEnabled());
    EXPECT_TRUE(form.SetText(0, "1000"));
    EXPECT_TRUE(form.OkEnabled());
    EXPECT_FALSE(form.SetText(0, "1001"));
    EXPECT_TRUE(form.IsRed(0));
    EXPECT_FALSE(form.OkEnabled());
    EXPECT_FALSE(form.SetText(0, "0"));
    EXPECT_FALSE(form.SetText(0, ""));  // an empty box holds no number
    EXPECT_TRUE(form.SetText(0, "999"));
    EXPECT_TRUE(form.OkEnabled());

    ToolForm move({kMoveAmountBox});
    EXPECT_TRUE(move.SetText(0, "0.1"));
    EXPECT_FALSE(move.SetText(0, "0.09"));
    EXPECT_TRUE(move.SetText(0, "100"));
    EXPECT_FALSE(move.SetText(0, "100.01"));

    ToolForm turn({kElementTurnBox});
    EXPECT_TRUE(turn.SetText(0, "-360"));
    EXPECT_FALSE(turn.SetText(0, "-361"));
    ToolForm skew({kElementSkewBox});
    EXPECT_TRUE(skew.SetText(0, "-50"));
    EXPECT_FALSE(skew.SetText(0, "50.5"));
}

TEST(ToolFormTest, OkStaysDisabledWhileAnyBoxIsRed) {
    ToolForm form({kTrackScaleBox, kTrackScaleBox, kTrackScaleBox});
    form.SetText(0, "2000");
    form.SetText(2, "0");
    EXPECT_FALSE(form.OkEnabled());
    form.SetText(0, "50");
    EXPECT_FALSE(form.OkEnabled()) << "box 2 is still red";
    form.SetText(1, "70");
    EXPECT_FALSE(form.OkEnabled());
    form.SetText(2, "5");
    EXPECT_TRUE(form.OkEnabled());
    EXPECT_EQ(form.Value(0), 50.0);
    EXPECT_EQ(form.Value(2), 5.0);
}

TEST(ToolFormTest, OnlyOneNumberAsAWholeIsInRange) {
    // The texts the key filter lets through but that hold no single number
    // turn the box red and disable OK, whatever their leading number.
    ToolForm rotate({kTrackRotateBox});
    for (const char* text : {"90-45", "45-3", "-", "", "9-", "--5"}) {
        EXPECT_FALSE(rotate.SetText(0, text)) << text;
        EXPECT_FALSE(rotate.OkEnabled()) << text;
    }
    EXPECT_TRUE(rotate.SetText(0, "90"));
    EXPECT_EQ(rotate.Value(0), 90.0);
    ToolForm move({kMoveAmountBox});
    for (const char* text : {"2.5.5", "100.0.5", ".", "0.1.3"}) EXPECT_FALSE(move.SetText(0, text)) << text;
    EXPECT_TRUE(move.SetText(0, "2.5"));
    EXPECT_EQ(move.Value(0), 2.5);
    ToolForm pitch({kElementTurnBox});
    EXPECT_FALSE(pitch.SetText(0, "45-3"));
    EXPECT_FALSE(pitch.SetText(0, ""));
    EXPECT_TRUE(pitch.SetText(0, "-45"));
    EXPECT_EQ(pitch.Value(0), -45.0);
    // A box that takes no decimal point holds whole numbers only (a pasted
    // fraction would be shown as it is and used rounded).
    ToolForm scale({kTrackScaleBox});
    EXPECT_FALSE(scale.SetText(0, "150.5"));
    EXPECT_TRUE(scale.SetText(0, "150"));

    EXPECT_EQ(NumericBoxValue("12.5"), 12.5);
    EXPECT_EQ(NumericBoxValue(".5"), 0.5);
    for (const char* text : {"12.5.3", "3-", "", "-"}) EXPECT_EQ(NumericBoxValue(text), 0.0) << text;
}

TEST_F(ToolTest, EndingOfOkRaisesTheFlagsThenMarksChangedOnce) {
    std::vector<std::string> order;
    SetDocumentChangedObserver([&] {
        // The flags are set before the changed mark.
        order.push_back(gRemodelFlags.RebuildPath ? "changed after flags" : "changed before flags");
    });
    gRemodelFlags.RebuildGround = true;  // set earlier in the launch: kept
    RemodelFlags f;
    f.RebuildPath = true;
    FinishToolEdit(f);
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], "changed after flags");
    EXPECT_TRUE(gRemodelFlags.RebuildPath);
    EXPECT_TRUE(gRemodelFlags.RebuildGround);
    EXPECT_FALSE(gRemodelFlags.RebuildTrack);
    EXPECT_TRUE(gDocumentChanged);
    FinishToolEdit(f);  // a document already marked is not marked again
    EXPECT_EQ(order.size(), 1u);
    SetDocumentChangedObserver(nullptr);
}
