// The tool bar's button positions, hover frame, press look and events,
// checked without a window.
#include <gtest/gtest.h>

#include <vector>

#include "controls/tool_bar_layout.h"

using uc::LineSeg;
using uc::MouseButton;
using uc::SysColour;
using uc::ToolBarLayout;

namespace {

struct Recorder {
    std::vector<int> clicks;
    std::vector<int> hovers;
    void Attach(ToolBarLayout& bar) {
        bar.ButtonClick = [this](int16_t i) { clicks.push_back(i); };
        bar.ButtonHover = [this](int16_t i) { hovers.push_back(i); };
    }
};

// A bar 29 pixels high, like the main window's, with three buttons, a
// separator and a fourth button.
ToolBarLayout TypicalRow() {
    ToolBarLayout bar;
    bar.Resize(400, 29);
    bar.CreateButton("Open");
    bar.CreateButton("Save");
    bar.CreateButton("Save As");
    bar.CreateSeparator(29);
    bar.CreateButton("Model");
    return bar;
}

}  // namespace

TEST(ToolBarLayout, TypicalRowPlacesButtonsAndSeparator) {
    ToolBarLayout bar = TypicalRow();
    ASSERT_EQ(bar.ButtonCount(), 4);
    EXPECT_EQ(bar.Button(0).HomeX, 6);
    EXPECT_EQ(bar.Button(1).HomeX, 28);
    EXPECT_EQ(bar.Button(2).HomeX, 50);
    EXPECT_EQ(bar.Button(3).HomeX, 79);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar.Button(i).HomeY, 6);
        EXPECT_EQ(bar.NormalPictureRect(i), (uc::Rect{bar.Button(i).HomeX, 6, 16, 16}));
        EXPECT_EQ(bar.SelectedBoxRect(i), (uc::Rect{bar.Button(i).HomeX - 3, 3, 22, 22}));
    }
    ASSERT_EQ(bar.SeparatorCount(), 1);
    EXPECT_EQ(bar.Separator(0).Dark, (LineSeg{72, 2, 72, 27, SysColour::DarkShadow3D, true}));
    EXPECT_EQ(bar.Separator(0).Light, (LineSeg{73, 2, 73, 27, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(bar.NextButtonX(), 101);
}

TEST(ToolBarLayout, KillContentStartsAgainAtIndexZero) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    bar.MouseMove(30, 10);  // over button 1
    ASSERT_TRUE(bar.HoverShown());
    rec.hovers.clear();
    bar.KillContent();
    EXPECT_TRUE(rec.hovers.empty()) << "emptying the bar raises no event";
    EXPECT_EQ(bar.ButtonCount(), 0);
    EXPECT_EQ(bar.SeparatorCount(), 0);
    EXPECT_EQ(bar.HoverIndex(), -1);
    EXPECT_TRUE(bar.HoverShown()) << "the frame's visibility is left as it was";
    EXPECT_EQ(bar.CreateButton("again"), 0);
    EXPECT_EQ(bar.Button(0).HomeX, 6);
    // The next move over the background settles the frame without an event.
    bar.MouseMove(200, 10);
    EXPECT_FALSE(bar.HoverShown());
    EXPECT_TRUE(rec.hovers.empty());
}

TEST(ToolBarLayout, BorderFollowsResize) {
    ToolBarLayout bar;
    bar.Resize(300, 29);
    const auto& b = bar.BorderLines();
    EXPECT_EQ(b[0], (LineSeg{0, 0, 300, 0, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(b[1], (LineSeg{0, 0, 0, 29, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(b[2], (LineSeg{0, 28, 300, 28, SysColour::DarkShadow3D, true}));
    EXPECT_EQ(b[3], (LineSeg{299, 0, 299, 29, SysColour::DarkShadow3D, true}));
    bar.CreateButton("a");
    bar.Resize(120, 40);
    EXPECT_EQ(bar.Button(0).HomeX, 6) << "buttons are not moved by a resize";
    EXPECT_EQ(bar.BorderLines()[3].X1, 119);
}

TEST(ToolBarLayout, HoverFrameAndEventsFollowTheMouse) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);

    bar.MouseMove(10, 10);
    ASSERT_EQ(rec.hovers, std::vector<int>{0});
    EXPECT_TRUE(bar.HoverShown());
    const auto& h = bar.HoverLines();
    EXPECT_EQ(h[0], (LineSeg{3, 3, 25, 3, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(h[1], (LineSeg{3, 3, 3, 25, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(h[2], (LineSeg{3, 25, 25, 25, SysColour::DarkShadow3D, true}));
    EXPECT_EQ(h[3], (LineSeg{25, 3, 25, 25, SysColour::DarkShadow3D, true}));

    // Moving about inside one picture raises nothing more.
    bar.MouseMove(6, 6);
    bar.MouseMove(21, 21);
    EXPECT_EQ(rec.hovers.size(), 1u);

    // Straight to the next button: exactly one event with the new index.
    bar.MouseMove(28, 6);
    EXPECT_EQ(rec.hovers, (std::vector<int>{0, 1}));
    EXPECT_EQ(bar.HoverLines()[0].X1, 25);

    // The gap between two pictures is the bar's background.
    bar.MouseMove(45, 10);
    EXPECT_EQ(rec.hovers, (std::vector<int>{0, 1, -1}));
    EXPECT_FALSE(bar.HoverShown());
    for (const LineSeg& l : bar.HoverLines()) EXPECT_FALSE(l.Visible);

    // Hiding twice raises at most one event.
    bar.MouseMove(80, 7);
    bar.HideMouseOver();
    bar.HideMouseOver();
    EXPECT_EQ(rec.hovers, (std::vector<int>{0, 1, -1, 3, -1}));
}

TEST(ToolBarLayout, DisablingTheHoveredButtonKeepsTheFrameUntilTheMouseMoves) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    bar.MouseMove(52, 8);
    bar.ButtonEnabled(2, false);
    EXPECT_TRUE(bar.HoverShown());
    EXPECT_EQ(bar.HoverIndex(), 2);
    EXPECT_EQ(rec.hovers, std::vector<int>{2});
    bar.MouseMove(53, 9);  // now over the disabled picture
    EXPECT_FALSE(bar.HoverShown());
    EXPECT_EQ(rec.hovers, (std::vector<int>{2, -1}));
    EXPECT_EQ(bar.HitTest(53, 9).Kind, ToolBarLayout::HitKind::DisabledPicture);
}

TEST(ToolBarLayout, DisabledButtonRaisesNoClickAndCarriesNoTip) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    bar.ButtonEnabled(1, false);
    EXPECT_FALSE(bar.MouseDown(30, 10, MouseButton::Left));
    bar.MouseUp(30, 10, MouseButton::Left);
    EXPECT_TRUE(rec.clicks.empty());
    EXPECT_EQ(bar.ToolTipAt(30, 10), "");
    EXPECT_EQ(bar.ToolTipAt(10, 10), "Open");
    EXPECT_EQ(bar.ToolTipAt(80, 10), "Model");
    EXPECT_EQ(bar.ToolTipAt(75, 10), "");
    bar.ButtonEnabled(1, true);
    EXPECT_TRUE(bar.MouseDown(30, 10, MouseButton::Left));
    bar.MouseUp(30, 10, MouseButton::Left);
    EXPECT_EQ(rec.clicks, std::vector<int>{1});
}

TEST(ToolBarLayout, PressShowsSunkenLookAndClickRaisesButtonClick) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    bar.MouseMove(10, 10);
    ASSERT_TRUE(bar.MouseDown(10, 10, MouseButton::Left));
    EXPECT_EQ(bar.NormalPictureRect(0), (uc::Rect{7, 7, 16, 16}));
    EXPECT_EQ(bar.HoverLines()[0].Colour, SysColour::DarkShadow3D);
    EXPECT_EQ(bar.HoverLines()[1].Colour, SysColour::DarkShadow3D);
    EXPECT_EQ(bar.HoverLines()[2].Colour, SysColour::ButtonHighlight);
    EXPECT_EQ(bar.HoverLines()[3].Colour, SysColour::ButtonHighlight);
    // The frame stays where it was: it is placed from the button's home position.
    EXPECT_EQ(bar.HoverLines()[0].X1, 3);
    bar.MouseUp(10, 10, MouseButton::Left);
    EXPECT_EQ(rec.clicks, std::vector<int>{0});
    EXPECT_EQ(bar.NormalPictureRect(0), (uc::Rect{6, 6, 16, 16}));
    EXPECT_EQ(bar.HoverLines()[0].Colour, SysColour::ButtonHighlight);
    EXPECT_EQ(bar.HoverLines()[3].Colour, SysColour::DarkShadow3D);
}

TEST(ToolBarLayout, RightButtonPressesWithoutClick) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    ASSERT_TRUE(bar.MouseDown(30, 10, MouseButton::Right));
    EXPECT_EQ(bar.NormalPictureRect(1).X, 29);
    bar.MouseUp(30, 10, MouseButton::Right);
    EXPECT_TRUE(rec.clicks.empty());
    EXPECT_EQ(bar.NormalPictureRect(1).X, 28);
    EXPECT_EQ(bar.HoverLines()[0].Colour, SysColour::ButtonHighlight);
}

TEST(ToolBarLayout, ReleaseAwayFromThePressedButtonIsNoClick) {
    ToolBarLayout bar = TypicalRow();
    Recorder rec;
    rec.Attach(bar);
    ASSERT_TRUE(bar.MouseDown(10, 10, MouseButton::Left));
    // While held, the pressed picture keeps the mouse and its frame.
    bar.MouseMove(52, 10);
    EXPECT_EQ(bar.HoverIndex(), 0);
    bar.MouseUp(52, 10, MouseButton::Left);
    EXPECT_TRUE(rec.clicks.empty());
    EXPECT_EQ(bar.NormalPictureRect(0).X, 6);
    EXPECT_EQ(bar.PressedIndex(), -1);
}

TEST(ToolBarLayout, ClickHandlerMayEmptyTheBar) {
    ToolBarLayout bar = TypicalRow();
    int clicks = 0;
    bar.ButtonClick = [&](int16_t) {
        ++clicks;
        bar.KillContent();
        bar.CreateButton("only");
    };
    ASSERT_TRUE(bar.MouseDown(80, 10, MouseButton::Left));
    bar.MouseUp(80, 10, MouseButton::Left);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(bar.ButtonCount(), 1);
    EXPECT_EQ(bar.NormalPictureRect(0), (uc::Rect{6, 6, 16, 16}));
}

TEST(ToolBarLayout, BadIndexesChangeNothing) {
    ToolBarLayout bar = TypicalRow();
    bar.ButtonSelected(5, true);
    bar.ButtonSelected(-1, true);
    bar.ButtonEnabled(4, false);
    EXPECT_FALSE(bar.ButtonIsSelected(5));
    EXPECT_FALSE(bar.ButtonIsSelected(-1));
    for (int i = 0; i < bar.ButtonCount(); ++i) {
        EXPECT_FALSE(bar.Button(i).Selected);
        EXPECT_TRUE(bar.Button(i).Enabled);
    }
    bar.ButtonSelected(2, true);
    EXPECT_TRUE(bar.ButtonIsSelected(2));
    bar.ButtonSelected(2, false);
    EXPECT_FALSE(bar.ButtonIsSelected(2));
}

TEST(ToolBarLayout, ButtonsBeyondTheWidthAreNotWrapped) {
    ToolBarLayout bar;
    bar.Resize(100, 29);
    for (int i = 0; i < 19; ++i) bar.CreateButton("t");
    EXPECT_EQ(bar.Button(18).HomeX, 6 + 18 * 22);
    EXPECT_EQ(bar.Button(18).HomeY, 6);
}

TEST(ToolBarLayout, CancelledPressRestoresTheLook) {
    ToolBarLayout bar = TypicalRow();
    int clicks = 0;
    bar.ButtonClick = [&](int16_t) { ++clicks; };
    ASSERT_TRUE(bar.MouseDown(10, 10, MouseButton::Left));
    bar.CancelPress();
    bar.MouseUp(10, 10, MouseButton::Left);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(bar.NormalPictureRect(0).X, 6);
    EXPECT_EQ(bar.HoverLines()[0].Colour, SysColour::ButtonHighlight);
}

TEST(ToolBarLayout, KeysMoveBetweenEnabledButtonsAndPressThem) {
    ToolBarLayout bar = TypicalRow();
    Recorder r;
    r.Attach(bar);
    EXPECT_EQ(bar.KeyButton(), 0);
    bar.ButtonEnabled(1, false);
    bar.StepKeyButton(1);
    EXPECT_EQ(bar.KeyButton(), 2) << "a disabled button is passed over";
    bar.StepKeyButton(-1);
    bar.StepKeyButton(-1);
    EXPECT_EQ(bar.KeyButton(), 0) << "stops at the first";
    bar.KeyButtonToEnd(true);
    EXPECT_EQ(bar.KeyButton(), 3);
    EXPECT_TRUE(bar.PressKeyButton());
    bar.ButtonEnabled(3, false);
    EXPECT_EQ(bar.KeyButton(), 0) << "a key button that was disabled gives way to the first enabled one";
    bar.KeyButtonToEnd(false);
    EXPECT_TRUE(bar.PressKeyButton());
    EXPECT_EQ(r.clicks, (std::vector<int>{3, 0}));
    for (int i = 0; i < bar.ButtonCount(); ++i) bar.ButtonEnabled(i, false);
    EXPECT_EQ(bar.KeyButton(), -1);
    EXPECT_FALSE(bar.PressKeyButton());
    EXPECT_EQ(r.clicks.size(), 2u);
}
