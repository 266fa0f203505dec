// Status bar field positions and separators, checked without a window.
#include <gtest/gtest.h>

#include "controls/status_bar_layout.h"

using uc::LineSeg;
using uc::Rect;
using uc::StatusBarLayout;
using uc::SysColour;

TEST(StatusBarLayout, MainWindowExample) {
    StatusBarLayout bar;
    bar.Resize(792, 22);
    EXPECT_EQ(bar.CreateField(200, 0, false), 0);
    EXPECT_EQ(bar.CreateField(60, 0, true), 1);
    const auto& f0 = bar.Field(0);
    const auto& f1 = bar.Field(1);
    EXPECT_EQ(f0.Label, (Rect{0, 4, 720, 13}));
    EXPECT_EQ(f0.Sep1, (LineSeg{722, 3, 722, 22, SysColour::DarkShadow3D, true}));
    EXPECT_EQ(f0.Sep2, (LineSeg{723, 3, 723, 22, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(f1.Label, (Rect{726, 4, 60, 13}));
    EXPECT_FALSE(f1.Sep1.Visible);
    EXPECT_FALSE(f1.Sep2.Visible);
    EXPECT_TRUE(f1.Bold);
    EXPECT_FALSE(f0.Bold);
    EXPECT_EQ(bar.BorderLine(), (LineSeg{0, 0, 792, 0, SysColour::ButtonHighlight, true}));
}

TEST(StatusBarLayout, NoFieldsShowsOnlyTheTopLine) {
    StatusBarLayout bar;
    bar.Resize(300, 22);
    EXPECT_EQ(bar.FieldCount(), 0);
    EXPECT_EQ(bar.BorderLine(), (LineSeg{0, 0, 300, 0, SysColour::ButtonHighlight, true}));
}

TEST(StatusBarLayout, OneFieldSpansTheBarLessSixPixels) {
    StatusBarLayout bar;
    bar.Resize(500, 22);
    bar.CreateField(100, 2, false);
    EXPECT_EQ(bar.Field(0).Label, (Rect{0, 4, 494, 13}));
    EXPECT_FALSE(bar.Field(0).Sep1.Visible);
    bar.Resize(100, 22);  // exactly the field's width still stretches
    EXPECT_EQ(bar.Field(0).Label.Width, 94);
    bar.Resize(99, 22);   // narrower: the field keeps its own width
    EXPECT_EQ(bar.Field(0).Label.Width, 100);
}

TEST(StatusBarLayout, NarrowBarLaysFieldsFromTheLeftAndWideningRestores) {
    StatusBarLayout bar;
    bar.Resize(792, 22);
    bar.CreateField(200, 0, false);
    bar.CreateField(60, 1, true);
    bar.CreateField(40, 2, false);
    bar.Resize(250, 22);  // X(2) = 204, X(1) = 138 < 200
    EXPECT_EQ(bar.Field(0).Label, (Rect{0, 4, 200, 13}));
    EXPECT_EQ(bar.Field(1).Label, (Rect{206, 4, 60, 13}));
    EXPECT_EQ(bar.Field(2).Label, (Rect{272, 4, 40, 13}));
    EXPECT_EQ(bar.Field(0).Sep1.X1, 202);
    EXPECT_EQ(bar.Field(1).Sep2.X1, 269);
    bar.Resize(792, 22);
    EXPECT_EQ(bar.Field(2).Label, (Rect{746, 4, 40, 13}));
    EXPECT_EQ(bar.Field(1).Label, (Rect{680, 4, 60, 13}));
    EXPECT_EQ(bar.Field(0).Label, (Rect{0, 4, 674, 13}));
}

TEST(StatusBarLayout, StretchedFirstFieldMayBeUpToSixPixelsNarrower) {
    StatusBarLayout bar;
    bar.Resize(266, 22);
    bar.CreateField(200, 0, false);
    bar.CreateField(60, 0, false);  // X(1) = 200: just fits
    EXPECT_EQ(bar.Field(0).Label.Width, 194);
    EXPECT_EQ(bar.Field(1).Label.X, 200);
}

TEST(StatusBarLayout, LastSeparatorAppearsWithTheNextField) {
    StatusBarLayout bar;
    bar.Resize(600, 22);
    bar.CreateField(200, 0, false);
    EXPECT_FALSE(bar.Field(0).Sep1.Visible);
    bar.CreateField(60, 0, false);
    EXPECT_TRUE(bar.Field(0).Sep1.Visible);
    EXPECT_TRUE(bar.Field(0).Sep2.Visible);
    EXPECT_FALSE(bar.Field(1).Sep1.Visible);
}

TEST(StatusBarLayout, UpdatesOutOfRangeChangeNothing) {
    StatusBarLayout bar;
    bar.Resize(600, 22);
    bar.CreateField(200, 0, false);
    bar.CreateField(60, 0, true);
    bar.UpdateField(1, "FPS: Idle");
    bar.UpdateField(2, "x");
    bar.UpdateField(-1, "x");
    bar.BoldField(2, true);
    bar.BoldField(0, true);
    EXPECT_EQ(bar.Field(0).Text, "");
    EXPECT_EQ(bar.Field(1).Text, "FPS: Idle");
    EXPECT_TRUE(bar.Field(0).Bold);
    EXPECT_EQ(bar.FieldCount(), 2);
}

TEST(StatusBarLayout, UnknownAlignmentReadsAsLeft) {
    StatusBarLayout bar;
    bar.CreateField(50, 7, false);
    bar.CreateField(50, -2, false);
    bar.CreateField(50, 1, false);
    EXPECT_EQ(bar.Field(0).Alignment, uc::AlignLeft);
    EXPECT_EQ(bar.Field(1).Alignment, uc::AlignLeft);
    EXPECT_EQ(bar.Field(2).Alignment, uc::AlignRight);
}

TEST(ControlGeometry, TextAlignmentInsideALabel) {
    EXPECT_EQ(uc::AlignText(726, 60, 40, uc::AlignLeft), 726);
    EXPECT_EQ(uc::AlignText(726, 60, 40, uc::AlignRight), 746);
    EXPECT_EQ(uc::AlignText(726, 60, 40, uc::AlignCentre), 736);
    // A text wider than its label starts left of it when right-aligned.
    EXPECT_EQ(uc::AlignText(0, 30, 40, uc::AlignRight), -10);
}
