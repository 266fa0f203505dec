// The progress window's percentage rules and what its bar shows.
#include <gtest/gtest.h>

#include <climits>

#include "controls/progress_model.h"

using uc::ProgressModel;

namespace {
int PaintedColumns(const ProgressModel& m) {
    int n = 0;
    for (const auto& c : m.Columns()) n += c.has_value();
    return n;
}
}  // namespace

TEST(ProgressModel, StartValues) {
    ProgressModel m;
    EXPECT_EQ(m.ProgressLimit(), 0);
    EXPECT_EQ(m.LastPercent(), 0);
    EXPECT_EQ(m.BarColor(), 0xFF0000u);
    EXPECT_FALSE(m.CanClose());
    EXPECT_EQ(PaintedColumns(m), 0);
}

TEST(ProgressModel, WholePercentsOfTheLimit) {
    ProgressModel m;
    m.SetProgressLimit(200);
    EXPECT_FALSE(m.UpdateProgress(0));
    EXPECT_FALSE(m.UpdateProgress(1));
    EXPECT_EQ(PaintedColumns(m), 0);
    EXPECT_TRUE(m.UpdateProgress(2));
    EXPECT_EQ(m.LastPercent(), 1);
    EXPECT_EQ(PaintedColumns(m), 1);
    EXPECT_FALSE(m.UpdateProgress(3)) << "still 1 %: nothing is drawn";
    EXPECT_TRUE(m.UpdateProgress(199));
    EXPECT_EQ(m.LastPercent(), 99);
    EXPECT_TRUE(m.UpdateProgress(200));
    EXPECT_EQ(m.LastPercent(), 100);
    EXPECT_EQ(PaintedColumns(m), 100);
    EXPECT_FALSE(m.UpdateProgress(200)) << "the same value draws once";
}

TEST(ProgressModel, NoLimitMeansNoUpdates) {
    ProgressModel m;
    EXPECT_FALSE(m.UpdateProgress(5));
    m.SetProgressLimit(-10);
    EXPECT_FALSE(m.UpdateProgress(-5));
    EXPECT_FALSE(m.UpdateProgress(INT32_MIN));
    EXPECT_EQ(m.LastPercent(), 0);
    EXPECT_EQ(PaintedColumns(m), 0);
}

TEST(ProgressModel, PercentageHeldToZeroAndHundred) {
    EXPECT_EQ(ProgressModel::Percent(500, 200), 100);
    EXPECT_EQ(ProgressModel::Percent(-5, 200), 0);
    EXPECT_EQ(ProgressModel::Percent(INT32_MAX, 1), 100);
    EXPECT_EQ(ProgressModel::Percent(INT32_MIN, 1), 0);
    EXPECT_EQ(ProgressModel::Percent(1, 3), 33);
    ProgressModel m;
    m.SetProgressLimit(1);
    EXPECT_TRUE(m.UpdateProgress(INT32_MAX));
    EXPECT_EQ(m.LastPercent(), 100);
    EXPECT_FALSE(m.UpdateProgress(7)) << "above the limit is still 100 %";
}

TEST(ProgressModel, ShorterBoxPaintsOverTheLongerOne) {
    ProgressModel m;
    m.SetProgressLimit(100);
    m.UpdateProgress(50);
    m.SetBarColor(0x0000FF);  // red
    m.UpdateProgress(30);
    const auto& c = m.Columns();
    EXPECT_EQ(c[0], 0x0000FFu);
    EXPECT_EQ(c[29], 0x0000FFu);
    EXPECT_EQ(c[30], 0xFF0000u) << "the longer box stays visible beyond the shorter";
    EXPECT_EQ(c[49], 0xFF0000u);
    EXPECT_FALSE(c[50].has_value());
}

TEST(ProgressModel, ColourChangeAppliesFromTheNextStep) {
    ProgressModel m;
    m.SetProgressLimit(10);
    m.UpdateProgress(2);
    m.SetBarColor(0x00FF00);
    EXPECT_EQ(m.Columns()[5], 0xFF0000u) << "nothing is redrawn by the colour change";
    m.UpdateProgress(2);
    EXPECT_EQ(m.Columns()[5], 0xFF0000u);
    m.UpdateProgress(3);
    EXPECT_EQ(m.Columns()[5], 0x00FF00u);
    EXPECT_EQ(m.Columns()[29], 0x00FF00u);
    EXPECT_FALSE(m.Columns()[30].has_value());
}

TEST(ProgressModel, ClosingOnlyAfterForceUnload) {
    ProgressModel m;
    EXPECT_FALSE(m.CanClose());
    m.ForceUnload();
    EXPECT_TRUE(m.CanClose());
}
