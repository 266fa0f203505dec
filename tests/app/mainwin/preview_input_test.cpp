// The preview's mouse and keyboard control with a clock, camera and window of
// the test's own: speeds, the frame step, mouse-look, picking and the timer.
#include <gtest/gtest.h>

#include <cmath>

#include "core/app_state.h"
#include "app/preview_input.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

class FakeHost final : public PreviewInputHost {
public:
    double Now = 1000.0;
    Vector3 Angles = MakeVector(0, 0, 0);
    Vector3 Position = MakeVector(0, 0, 0);
    std::vector<Vector3> Moves;
    int Renders = 0;
    bool TimerOn = false;
    int Centred = 0;
    int HoverHidden = 0;
    std::vector<std::string> Status;
    int32_t NextPick = -1;
    std::vector<std::pair<int32_t, int32_t>> Picks;

    double FrameClock() override { return Now; }
    Vector3& CameraAngles() override { return Angles; }
    void MoveCamera(const Vector3& d) override {
        Moves.push_back(d);
        Position = MakeVector(Position.X + d.X, Position.Y + d.Y, Position.Z + d.Z);
    }
    void RenderScene() override { ++Renders; }
    int32_t PickSegment(int32_t x, int32_t y) override {
        Picks.emplace_back(x, y);
        return NextPick;
    }
    void SetTimerEnabled(bool on) override { TimerOn = on; }
    void ShowFrameRate(const std::string& text) override { Status.push_back(text); }
    void CentreCursor() override { ++Centred; }
    void HideToolBarHover() override { ++HoverHidden; }
};

class PreviewInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTrackDocument();
        gSegmentCount = 5;
        ClearSegmentSelection();
        input.SetDocumentType(1);
        // The first frame is measured from no earlier frame; the tests start after it.
        input.TimerTick();
        host.Renders = 0;
        host.Status.clear();
        host.TimerOn = false;
    }
    void TearDown() override {
        ClearTrackDocument();
        ClearSegmentSelection();
    }
    // One timer frame dt seconds after the last.
    void Frame(double dt) {
        host.Now += dt;
        input.TimerTick();
    }
    FakeHost host;
    PreviewInput input{host};
};

}  // namespace

TEST(FrameStep, StallsFirstFramesAndClocksGoingBackCountAsAShortFrame) {
    EXPECT_DOUBLE_EQ(FrameStep(0.02), 0.02);
    EXPECT_DOUBLE_EQ(FrameStep(0.5), 0.5);
    EXPECT_DOUBLE_EQ(FrameStep(0.5000001), 0.015);
    EXPECT_DOUBLE_EQ(FrameStep(0.0), 0.015);
    EXPECT_DOUBLE_EQ(FrameStep(-0.01), 0.015) << "a clock that went back";
    EXPECT_DOUBLE_EQ(FrameStep(-86399.0), 0.015);
    EXPECT_DOUBLE_EQ(FrameStep(4e-7), 0.015) << "a step that rounds to no time at all";
    EXPECT_DOUBLE_EQ(FrameStep(std::nan("")), 0.015);
}

TEST(FrameStep, FrameRateText) {
    EXPECT_EQ(FrameRateText(0.015), "FPS: 66");
    EXPECT_EQ(FrameRateText(0.02), "FPS: 50");
    EXPECT_EQ(FrameRateText(0.0166666), "FPS: 59") << "the whole part, not the nearest";
    EXPECT_EQ(FrameRateText(0.0010004), "FPS: 1000") << "the step is first brought to 6 decimals (0.001)";
    EXPECT_EQ(FrameRateText(0.5), "FPS: 2");
}

TEST_F(PreviewInputTest, KeysMoveAtTheirSpeedsInViewSpace) {
    input.KeyDown(kKeyW);
    EXPECT_TRUE(host.TimerOn);
    Frame(0.3);
    ASSERT_EQ(host.Moves.size(), 1u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -0.15f) << "the timer's first frame counts as 0.015 s";
    EXPECT_EQ(host.Status.front(), "FPS: 66");
    host.Moves.clear();
    host.Status.clear();
    Frame(0.1);
    ASSERT_EQ(host.Moves.size(), 1u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -1.0f) << "10 m/s for 0.1 s, forward is -Z";
    EXPECT_EQ(host.Status.front(), "FPS: 10");
    EXPECT_EQ(host.Status.back(), "FPS: Idle") << "with no button held the rate is not kept";

    host.Moves.clear();
    input.KeyDown(kKeyShift);
    Frame(0.1);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -3.0f) << "Shift: 30 m/s";
    host.Moves.clear();
    input.KeyDown(kKeyControl);
    Frame(0.1);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -3.0f) << "Shift wins over Ctrl";
    input.KeyUp(kKeyShift);
    host.Moves.clear();
    Frame(0.1);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.2f) << "Ctrl: 2 m/s";
    input.KeyUp(kKeyControl);
    input.KeyUp(kKeyW);

    host.Moves.clear();
    input.KeyDown(kKeyS);
    input.KeyDown(kKeyD);
    Frame(0.05);
    ASSERT_EQ(host.Moves.size(), 2u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, 0.5f);
    EXPECT_FLOAT_EQ(host.Moves[1].X, 0.5f);
    input.KeyUp(kKeyS);
    input.KeyUp(kKeyD);
    input.KeyDown(kKeyA);
    host.Moves.clear();
    Frame(0.05);
    EXPECT_FLOAT_EQ(host.Moves.at(0).X, -0.5f);
}

TEST_F(PreviewInputTest, ReleasingAllKeysStopsTheTimerAfterOneMoreFrame) {
    input.KeyDown(kKeyW);
    Frame(0.02);
    EXPECT_TRUE(host.TimerOn);
    input.KeyUp(kKeyW);
    const int rendersBefore = host.Renders;
    Frame(0.02);
    EXPECT_FALSE(host.TimerOn);
    EXPECT_EQ(host.Renders, rendersBefore + 1) << "the stopping frame still draws";
    EXPECT_EQ(host.Status.back(), "FPS: Idle");
}

TEST_F(PreviewInputTest, WAndSTogetherKeepTheTimerRunningWithoutMoving) {
    input.KeyDown(kKeyW);
    input.KeyDown(kKeyS);
    Frame(0.02);
    Frame(0.02);
    EXPECT_TRUE(host.TimerOn);
    EXPECT_FLOAT_EQ(host.Position.Z, 0.0f);
}

TEST_F(PreviewInputTest, AStallAndTheFirstFrameCountAsFifteenMilliseconds) {
    FakeHost freshHost;
    PreviewInput fresh(freshHost);
    freshHost.Now = 0.25;  // the first frame: measured from no frame at all
    fresh.KeyDown(kKeyW);
    fresh.TimerTick();
    EXPECT_FLOAT_EQ(freshHost.Moves.at(0).Z, -0.15f);

    input.KeyDown(kKeyW);
    Frame(0.02);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.15f) << "the timer's first frame";
    EXPECT_EQ(host.Status.front(), "FPS: 66");
    host.Moves.clear();
    Frame(3.0);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.15f);
    host.Moves.clear();
    host.Now -= 10.0;  // a clock going back must not fly the camera backwards
    input.TimerTick();
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.15f);
    host.Moves.clear();
    input.TimerTick();  // no time at all
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.15f);

    // The timer stops with the key; pressed again 0.3 s later it does not
    // make up for the pause in one jump.
    input.KeyUp(kKeyW);
    Frame(0.02);
    EXPECT_FALSE(host.TimerOn);
    host.Now += 0.3;
    input.KeyDown(kKeyW);
    host.Moves.clear();
    input.TimerTick();
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, -0.15f);
}

TEST_F(PreviewInputTest, HeldButtonFliesAndKeepsTheFrameRateShown) {
    input.SetDocumentType(2);  // no picking on elements
    input.MouseDown(LeftButton, 10, 10);
    EXPECT_FALSE(host.TimerOn) << "the button alone does not start the timer";
    input.KeyDown(kKeyW);
    input.KeyDown(kKeyD);
    Frame(0.1);  // the first frame
    host.Moves.clear();
    Frame(0.1);
    ASSERT_EQ(host.Moves.size(), 2u) << "W is skipped when the button moved the camera, D still strafes";
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -1.0f);
    EXPECT_FLOAT_EQ(host.Moves[1].X, 1.0f);
    EXPECT_EQ(host.Status.back(), "FPS: 10") << "the rate stays while a button is held";
    input.MouseUp();
    input.KeyUp(kKeyW);
    input.KeyUp(kKeyD);
    host.Moves.clear();
    input.MouseDown(MiddleButton, 10, 10);
    Frame(0.1);
    EXPECT_FLOAT_EQ(host.Moves.at(0).Z, 1.0f) << "the middle button flies backwards";
}

TEST_F(PreviewInputTest, LeftClickTogglesASegmentOrClearsTheSelection) {
    host.NextPick = 3;
    input.MouseDown(LeftButton, 120.4f, 80.6f);
    ASSERT_EQ(host.Picks.size(), 1u);
    EXPECT_EQ(host.Picks[0], std::make_pair(120, 81)) << "the nearest whole pixel";
    EXPECT_TRUE(IsSegmentSelected(3));
    EXPECT_EQ(input.MouseButton(), NoButton) << "a hit does not fly the camera";
    EXPECT_EQ(host.Renders, 1);
    host.NextPick = 1;
    input.MouseDown(LeftButton, 1, 1);
    EXPECT_TRUE(IsSegmentSelected(1));
    EXPECT_TRUE(IsSegmentSelected(3));
    host.NextPick = 3;
    input.MouseDown(LeftButton, 1, 1);
    EXPECT_FALSE(IsSegmentSelected(3)) << "a click on a selected segment deselects only that one";
    EXPECT_TRUE(IsSegmentSelected(1));
    host.NextPick = -1;
    input.MouseDown(LeftButton, 1, 1);
    EXPECT_FALSE(IsSegmentSelected(1)) << "a click into empty space clears the selection";
    EXPECT_EQ(host.Renders, 4);

    host.NextPick = 7;  // a segment a tool added without resizing the selection
    input.MouseDown(LeftButton, 1, 1);
    EXPECT_TRUE(IsSegmentSelected(7));
}

TEST_F(PreviewInputTest, ElementsAndOtherButtonsDoNotPick) {
    input.MouseDown(MiddleButton, 1, 1);
    input.SetDocumentType(2);
    input.MouseDown(LeftButton, 1, 1);
    input.SetDocumentType(0);
    input.MouseDown(LeftButton, 1, 1);
    EXPECT_TRUE(host.Picks.empty());
    EXPECT_EQ(host.Renders, 0);
}

TEST_F(PreviewInputTest, MouseLookStates) {
    input.MouseDown(RightButton, 100, 100);
    EXPECT_EQ(input.MouseLook(), kMouseLookOn);
    EXPECT_EQ(input.MouseButton(), NoButton);
    input.MouseMove(90, 105);
    EXPECT_FLOAT_EQ(host.Angles.Y, 2.0f) << "heading += (last x - x) * 0.2";
    EXPECT_FLOAT_EQ(host.Angles.X, -1.0f) << "pitch += (last y - y) * 0.2";
    EXPECT_EQ(input.MouseLook(), kMouseLookRecentred);
    EXPECT_EQ(host.Centred, 1);
    EXPECT_TRUE(host.TimerOn);
    EXPECT_TRUE(input.CameraMoved());

    // The move caused by putting the cursor back only re-bases.
    input.MouseMove(200, 150);
    EXPECT_EQ(input.MouseLook(), kMouseLookOn);
    EXPECT_FLOAT_EQ(host.Angles.Y, 2.0f);
    EXPECT_FLOAT_EQ(input.LastMouseX(), 200.0f);
    EXPECT_FLOAT_EQ(input.LastMouseY(), 150.0f);
    input.MouseMove(200, 150);  // no change: no turn, no re-centring
    EXPECT_EQ(input.MouseLook(), kMouseLookOn);
    EXPECT_EQ(host.Centred, 1);
    input.MouseMove(205, 150);
    EXPECT_FLOAT_EQ(host.Angles.Y, 1.0f);
    EXPECT_FLOAT_EQ(host.Angles.X, -1.0f);
    EXPECT_EQ(host.Centred, 2);

    input.MouseDown(RightButton, 0, 0);
    EXPECT_EQ(input.MouseLook(), kMouseLookOff);
    input.MouseMove(0, 50);
    EXPECT_FLOAT_EQ(host.Angles.X, -1.0f) << "with mouse-look off a move does nothing";
    EXPECT_EQ(host.HoverHidden, 5) << "every move over the preview hides the tool bars' hover frames";
}

TEST_F(PreviewInputTest, LeftClickWithMouseLookFliesInsteadOfPicking) {
    input.MouseDown(RightButton, 0, 0);
    host.TimerOn = false;
    input.MouseDown(LeftButton, 5, 5);
    EXPECT_TRUE(host.TimerOn);
    EXPECT_TRUE(host.Picks.empty());
    Frame(0.1);
    Frame(0.1);
    ASSERT_EQ(host.Moves.size(), 2u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -0.15f);
    EXPECT_FLOAT_EQ(host.Moves[1].Z, -1.0f);
}

TEST_F(PreviewInputTest, TurningWithMouseLookDoesNotHoldBackTheKeys) {
    input.MouseDown(RightButton, 100, 100);
    input.KeyDown(kKeyW);
    Frame(0.1);
    host.Moves.clear();
    input.MouseMove(95, 100);  // a turn since the last frame
    Frame(0.1);
    ASSERT_EQ(host.Moves.size(), 1u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -1.0f);
    input.KeyUp(kKeyW);
    Frame(0.1);
    EXPECT_FALSE(host.TimerOn) << "nothing moved in this frame";
}

TEST_F(PreviewInputTest, LosingTheFocusLetsGoOfKeysButtonsAndMouseLook) {
    input.MouseDown(RightButton, 0, 0);
    input.MouseDown(LeftButton, 0, 0);
    input.KeyDown(kKeyW);
    input.KeyDown(kKeyShift);
    input.ReleaseAll();
    EXPECT_FALSE(input.KeyIsDown(kKeyW));
    EXPECT_FALSE(input.KeyIsDown(kKeyShift));
    EXPECT_EQ(input.MouseButton(), NoButton);
    EXPECT_EQ(input.MouseLook(), kMouseLookOff);
    host.Moves.clear();
    Frame(0.02);
    EXPECT_TRUE(host.Moves.empty());
    EXPECT_FALSE(host.TimerOn);
}

// Alt+S opens the Settings menu and Escape closes it: the menu has the keys
// from the press on, so neither the S nor its release ever reaches the
// preview. Nothing may be left held and the camera must not fly.
TEST_F(PreviewInputTest, AKeySequenceThroughAMenuLeavesNoKeyHeld) {
    input.KeyDown(18);              // Alt
    input.KeyDown(kKeyS, kAltMask);  // the menu's key
    EXPECT_FALSE(input.KeyIsDown(kKeyS));
    input.ReleaseAll();  // the menu opened
    EXPECT_FALSE(input.AnythingHeld());
    host.Moves.clear();
    Frame(0.02);
    Frame(0.02);
    EXPECT_TRUE(host.Moves.empty());
    EXPECT_FALSE(host.TimerOn);
    EXPECT_EQ(host.Status.back(), "FPS: Idle");

    // Ctrl is the slow speed, not a menu key: Ctrl+W flies slowly.
    input.KeyDown(kKeyControl, kControlMask);
    input.KeyDown(kKeyW, kControlMask);
    EXPECT_TRUE(host.TimerOn);
    Frame(0.5);
    ASSERT_EQ(host.Moves.size(), 1u);
    EXPECT_FLOAT_EQ(host.Moves[0].Z, -0.03f) << "a first frame of 15 ms at 2 m/s";
}

TEST_F(PreviewInputTest, KeyCodesOutsideTheTableAreIgnored) {
    input.KeyDown(257);
    input.KeyDown(-1);
    EXPECT_FALSE(host.TimerOn);
    input.KeyDown(256);
    EXPECT_TRUE(input.KeyIsDown(256));
    EXPECT_FALSE(input.KeyIsDown(1000));
}

TEST_F(PreviewInputTest, PaintDraws) {
    input.Paint();
    EXPECT_EQ(host.Renders, 1);
}
