// The View menu's marks and the effect of each item.
#include <gtest/gtest.h>

#include "app/view_menu.h"

TEST(ViewMenu, MarksAtStartUp) {
    const ViewMarks m;
    EXPECT_TRUE(ViewItemChecked(m, ViewItem::ModelSolid));
    EXPECT_FALSE(ViewItemChecked(m, ViewItem::ModelWireframe));
    EXPECT_TRUE(ViewItemChecked(m, ViewItem::ColorTrack));
    EXPECT_FALSE(ViewItemChecked(m, ViewItem::ColorSegment));
    EXPECT_FALSE(ViewItemChecked(m, ViewItem::CombRadius));
    EXPECT_FALSE(ViewItemChecked(m, ViewItem::PathHeartline));
    for (ViewItem item : {ViewItem::Track, ViewItem::Tunnels, ViewItem::Tubes, ViewItem::Prefabs, ViewItem::Footers,
                          ViewItem::Ground, ViewItem::Water})
        EXPECT_TRUE(ViewItemChecked(m, item));
}

TEST(ViewMenu, PolygonModeOnlyWithARenderingContext) {
    ViewMarks m;
    ViewEffect e = ChooseViewItem(m, ViewItem::ModelWireframe, false, true);
    EXPECT_FALSE(e.Redraw);
    EXPECT_EQ(e.Polygon, PolygonFill::Unchanged);
    EXPECT_TRUE(m.ModelSolid) << "without a context the mark stays";

    e = ChooseViewItem(m, ViewItem::ModelWireframe, true, false);
    EXPECT_EQ(e.Polygon, PolygonFill::Line);
    EXPECT_TRUE(e.Redraw);
    EXPECT_FALSE(m.ModelSolid);
    EXPECT_TRUE(m.ModelWireframe);

    e = ChooseViewItem(m, ViewItem::ModelSolid, true, false);
    EXPECT_EQ(e.Polygon, PolygonFill::Fill);
    EXPECT_TRUE(m.ModelSolid);
    EXPECT_FALSE(m.ModelWireframe);
    e = ChooseViewItem(m, ViewItem::ModelSolid, true, false);
    EXPECT_TRUE(e.Redraw) << "choosing the checked item still redraws";
}

TEST(ViewMenu, ColourModesOnlyWithABuiltModel) {
    ViewMarks m;
    ViewEffect e = ChooseViewItem(m, ViewItem::ColorSegment, true, false);
    EXPECT_EQ(e.ColorMode, 0);
    EXPECT_FALSE(e.Redraw);
    EXPECT_TRUE(m.ColorTrack);
    EXPECT_FALSE(m.ColorSegment);

    e = ChooseViewItem(m, ViewItem::ColorSegment, false, true);
    EXPECT_EQ(e.ColorMode, 1) << "recolouring needs no rendering context";
    EXPECT_TRUE(e.Redraw);
    EXPECT_FALSE(m.ColorTrack);
    EXPECT_TRUE(m.ColorSegment);

    e = ChooseViewItem(m, ViewItem::ColorTrack, true, true);
    EXPECT_EQ(e.ColorMode, 2);
    EXPECT_TRUE(m.ColorTrack);
    EXPECT_FALSE(m.ColorSegment);
}

TEST(ViewMenu, LayerItemsInvertOnlyTheirOwnMark) {
    ViewMarks m;
    const ViewMarks before = m;
    ViewEffect e = ChooseViewItem(m, ViewItem::Tubes, false, false);
    EXPECT_TRUE(e.Redraw);
    EXPECT_EQ(e.ColorMode, 0);
    EXPECT_EQ(e.Polygon, PolygonFill::Unchanged);
    EXPECT_FALSE(m.Tubes);
    for (int i = 0; i < kViewItemCount; ++i) {
        const auto item = static_cast<ViewItem>(i);
        if (item != ViewItem::Tubes) {
            EXPECT_EQ(ViewItemChecked(m, item), ViewItemChecked(before, item)) << i;
        }
    }
    ChooseViewItem(m, ViewItem::Tubes, false, false);
    EXPECT_TRUE(m.Tubes);
    ChooseViewItem(m, ViewItem::CombRadius, false, false);
    ChooseViewItem(m, ViewItem::PathHeartline, false, false);
    ChooseViewItem(m, ViewItem::Water, false, false);
    EXPECT_TRUE(m.CombRadius);
    EXPECT_TRUE(m.PathHeartline);
    EXPECT_FALSE(m.Water);
}
