// Tab strip and tab page geometry in twips, checked without a window.
#include <gtest/gtest.h>

#include <vector>

#include "controls/tab_layout.h"

using uc::LineSeg;
using uc::Rect;
using uc::SysColour;
using uc::TabHeadLayout;

namespace {
constexpr SysColour Hi = SysColour::ButtonHighlight;
constexpr SysColour Dark = SysColour::DarkShadow3D;
constexpr SysColour Shadow = SysColour::ButtonShadow;
}  // namespace

TEST(TabLayout, TwoTabsExample) {
    TabHeadLayout strip;
    strip.Resize(6000);
    std::vector<int> clicks;
    strip.TabClick = [&](int32_t i) { clicks.push_back(i); };
    strip.AddTab("General", 600, 195);
    strip.AddTab("Combs", 500, 195);
    EXPECT_TRUE(clicks.empty()) << "the first tab is selected without an event";
    ASSERT_EQ(strip.TabCount(), 2);
    EXPECT_EQ(strip.SelectedTab(), 0);
    const auto& t0 = strip.Tab(0);
    EXPECT_EQ(t0.Caption, " General ");
    EXPECT_EQ(t0.Label, (Rect{30, 60, 600, 195}));
    EXPECT_EQ(t0.Left, (LineSeg{0, 0, 0, 360, Hi, true}));
    EXPECT_EQ(t0.Top, (LineSeg{0, 0, 690, 0, Hi, true}));
    EXPECT_EQ(t0.Right, (LineSeg{690, 0, 1050, 360, Shadow, true}));
    const auto& t1 = strip.Tab(1);
    EXPECT_EQ(t1.Label, (Rect{1095, 120, 500, 195}));
    EXPECT_FALSE(t1.Left.Visible);
    EXPECT_EQ(t1.Top, (LineSeg{765, 60, 1655, 60, Hi, true}));
    EXPECT_EQ(t1.Right, (LineSeg{1655, 60, 1655, 360, Dark, true}));
    EXPECT_EQ(strip.BaselineLeft(), (LineSeg{0, 360, 0, 360, Hi, true}));
    EXPECT_EQ(strip.BaselineRight(), (LineSeg{1050, 360, 6000, 360, Hi, true}));
}

TEST(TabLayout, EmptyStripShowsTheFullBaseline) {
    TabHeadLayout strip;
    strip.Resize(4500);
    EXPECT_FALSE(strip.BaselineLeft().Visible);
    EXPECT_EQ(strip.BaselineRight(), (LineSeg{0, 360, 4500, 360, Hi, true}));
}

TEST(TabLayout, SelectingTheLastTabOpensTheBaselineUnderIt) {
    TabHeadLayout strip;
    strip.Resize(6000);
    strip.AddTab("General", 600, 195);
    strip.AddTab("Combs", 500, 195);
    std::vector<int> clicks;
    strip.TabClick = [&](int32_t i) { clicks.push_back(i); };
    ASSERT_TRUE(strip.Click(1100, 130));  // on tab 1's caption
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(strip.SelectedTab(), 1);
    const auto& t0 = strip.Tab(0);
    const auto& t1 = strip.Tab(1);
    EXPECT_EQ(t0.Label, (Rect{30, 120, 600, 195}));
    EXPECT_EQ(t0.Left, (LineSeg{0, 60, 0, 360, Hi, true}));
    EXPECT_EQ(t0.Right, (LineSeg{690, 60, 690, 360, Dark, true}));
    // Tab 1 follows an unselected tab: x = 30 + 600 + 105.
    EXPECT_EQ(t1.Label, (Rect{735, 60, 500, 195}));
    EXPECT_EQ(t1.Left, (LineSeg{705, 0, 705, 360, Hi, true}));
    EXPECT_EQ(t1.Top, (LineSeg{705, 0, 1295, 0, Hi, true}));
    EXPECT_EQ(t1.Right, (LineSeg{1295, 0, 1655, 360, Shadow, true}));
    EXPECT_EQ(strip.BaselineLeft(), (LineSeg{0, 360, 705, 360, Hi, true}));
    EXPECT_EQ(strip.BaselineRight(), (LineSeg{1655, 360, 6000, 360, Hi, true}));

    // Clicking the selected tab again raises the event again.
    ASSERT_TRUE(strip.Click(740, 70));
    EXPECT_EQ(clicks, (std::vector<int>{1, 1}));
    // A click beside the captions selects nothing.
    EXPECT_FALSE(strip.Click(5000, 100));
    EXPECT_FALSE(strip.Click(700, 100));
    EXPECT_EQ(clicks.size(), 2u);
}

TEST(TabLayout, TabAfterTheSelectedOneStartsAtItsSlant) {
    TabHeadLayout strip;
    strip.Resize(9000);
    strip.AddTab("A", 300, 195);
    strip.AddTab("B", 400, 195);
    strip.AddTab("C", 500, 195);
    strip.ShowTab(1);
    // x: tab 0 at 30, tab 1 at 435, tab 2 at 435 + 400 + 105 + 360 = 1300.
    EXPECT_EQ(strip.Tab(1).Label.X, 435);
    EXPECT_EQ(strip.Tab(1).Right, (LineSeg{895, 0, 1255, 360, Shadow, true}));
    EXPECT_EQ(strip.Tab(2).Label, (Rect{1300, 120, 500, 195}));
    EXPECT_FALSE(strip.Tab(2).Left.Visible);
    EXPECT_EQ(strip.Tab(2).Top, (LineSeg{970, 60, 1860, 60, Hi, true}));
    EXPECT_EQ(strip.BaselineLeft().X2, 405);
    EXPECT_EQ(strip.BaselineRight().X1, 1255);
}

TEST(TabLayout, ShowTabIgnoresAnIndexOutOfRange) {
    TabHeadLayout strip;
    strip.Resize(6000);
    strip.AddTab("General", 600, 195);
    strip.AddTab("Combs", 500, 195);
    std::vector<int> clicks;
    strip.TabClick = [&](int32_t i) { clicks.push_back(i); };
    strip.ShowTab(1);
    strip.ShowTab(2);
    strip.ShowTab(-1);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(strip.SelectedTab(), 1);
    EXPECT_TRUE(strip.BaselineLeft().Visible);
}

TEST(TabLayout, ResizeMovesOnlyTheBaselineEnd) {
    TabHeadLayout strip;
    strip.AddTab("General", 600, 195);
    strip.Resize(2000);
    EXPECT_EQ(strip.BaselineRight().X2, 2000);
    strip.Resize(800);  // narrower than the tab: nothing is shortened
    EXPECT_EQ(strip.Tab(0).Label.Width, 600);
    EXPECT_EQ(strip.BaselineRight(), (LineSeg{1050, 360, 800, 360, Hi, true}));
}

TEST(TabLayout, PageFrame) {
    const uc::TabPageFrame f = uc::TabContainerLayout(4500, 3000, 15, 15);
    EXPECT_EQ(f.Left, (LineSeg{0, 0, 0, 3000, Hi, true}));
    EXPECT_EQ(f.Bottom, (LineSeg{0, 2985, 4500, 2985, Dark, true}));
    EXPECT_EQ(f.Right, (LineSeg{4485, 0, 4485, 3000, Dark, true}));
}

TEST(TabLayout, TwipsAndPixels) {
    const double tpp = uc::TwipsPerPixelForDpi(96);
    EXPECT_DOUBLE_EQ(tpp, 15.0);
    const int twips[] = {30, 60, 105, 300, 330, 360, 420};
    const int pixels[] = {2, 4, 7, 20, 22, 24, 28};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(uc::TwipsToPixels(twips[i], tpp), pixels[i]) << twips[i];
    EXPECT_DOUBLE_EQ(uc::TwipsPerPixelForDpi(120), 12.0);
    EXPECT_EQ(uc::TwipsToPixels(360, 12.0), 30);
    EXPECT_EQ(uc::PixelsToTwips(40, 15.0), 600);
    EXPECT_DOUBLE_EQ(uc::TwipsPerPixelForDpi(0), 15.0);
}

TEST(TabLayout, KeysStepThroughTheTabsAndWrapAround) {
    using uc::TabKey;
    using uc::TabStep;
    // From anywhere in the window: Ctrl with Tab, PageDown, PageUp only.
    EXPECT_EQ(uc::WindowTabKey(TabKey::Tab, true, false, false), TabStep::Next);
    EXPECT_EQ(uc::WindowTabKey(TabKey::PageDown, true, false, false), TabStep::Next);
    EXPECT_EQ(uc::WindowTabKey(TabKey::Tab, true, true, false), TabStep::Previous);
    EXPECT_EQ(uc::WindowTabKey(TabKey::PageUp, true, false, false), TabStep::Previous);
    EXPECT_EQ(uc::WindowTabKey(TabKey::Tab, false, false, false), TabStep::None) << "plain Tab moves the focus";
    EXPECT_EQ(uc::WindowTabKey(TabKey::PageDown, false, false, false), TabStep::None);
    EXPECT_EQ(uc::WindowTabKey(TabKey::Tab, true, false, true), TabStep::None);
    EXPECT_EQ(uc::WindowTabKey(TabKey::Right, true, false, false), TabStep::None);
    // On the focused strip: the arrows, Home and End as well.
    EXPECT_EQ(uc::StripTabKey(TabKey::Right, false, false, false), TabStep::Next);
    EXPECT_EQ(uc::StripTabKey(TabKey::Down, false, false, false), TabStep::Next);
    EXPECT_EQ(uc::StripTabKey(TabKey::Left, false, false, false), TabStep::Previous);
    EXPECT_EQ(uc::StripTabKey(TabKey::Up, false, false, false), TabStep::Previous);
    EXPECT_EQ(uc::StripTabKey(TabKey::Home, false, false, false), TabStep::First);
    EXPECT_EQ(uc::StripTabKey(TabKey::End, false, false, false), TabStep::Last);
    EXPECT_EQ(uc::StripTabKey(TabKey::Tab, false, false, false), TabStep::None);
    EXPECT_EQ(uc::StripTabKey(TabKey::PageUp, true, false, false), TabStep::Previous);

    TabHeadLayout strip;
    EXPECT_FALSE(strip.Step(TabStep::Next)) << "no tabs";
    for (const char* caption : {"World", "Region", "Fog"}) strip.AddTab(caption, 500, 195);
    std::vector<int> clicks;
    strip.TabClick = [&](int32_t i) { clicks.push_back(i); };
    EXPECT_TRUE(strip.Step(TabStep::Next));
    EXPECT_TRUE(strip.Step(TabStep::Last));
    EXPECT_TRUE(strip.Step(TabStep::Next));
    EXPECT_TRUE(strip.Step(TabStep::Previous));
    EXPECT_TRUE(strip.Step(TabStep::First));
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, 0, 2, 0}));
    EXPECT_EQ(strip.SelectedTab(), 0);
    EXPECT_FALSE(strip.Step(TabStep::None));
}
