// Titled panel geometry, title colours and saved properties.
#include <gtest/gtest.h>

#include "controls/container_layout.h"

using uc::LineSeg;
using uc::SysColour;

TEST(ContainerLayout, TitleAcrossTheTopAndFrameOnTheLastPixels) {
    const uc::ContainerPlaces p = uc::ContainerLayout(3000, 1500, 15, 15, uc::ContainerTitleHeightTwips);
    EXPECT_EQ(p.Title, (uc::Rect{0, 0, 3000, 210}));
    EXPECT_EQ(p.Lines[0], (LineSeg{0, 210, 3000, 210, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(p.Lines[1], (LineSeg{0, 0, 0, 1500, SysColour::ButtonHighlight, true}));
    EXPECT_EQ(p.Lines[2], (LineSeg{0, 1485, 3000, 1485, SysColour::DarkShadow3D, true}));
    EXPECT_EQ(p.Lines[3], (LineSeg{2985, 0, 2985, 1500, SysColour::DarkShadow3D, true}));
    const uc::ContainerPlaces q = uc::ContainerLayout(6000, 900, 12, 12, 210);
    EXPECT_EQ(q.Title.Width, 6000);
    EXPECT_EQ(q.Lines[2].Y1, 888);
    EXPECT_EQ(q.Lines[3].X1, 5988);
    EXPECT_EQ(uc::TwipsToPixels(uc::ContainerTitleHeightTwips, 15.0), 14);
}

TEST(ContainerLayout, TitleColoursSwitchAndSwitchBack) {
    const uc::TitleColours normal = uc::ContainerTitleColours(false);
    EXPECT_EQ(normal.Back, SysColour::Highlight);
    EXPECT_EQ(normal.Text, SysColour::HighlightText);
    const uc::TitleColours background = uc::ContainerTitleColours(true);
    EXPECT_EQ(static_cast<int>(background.Back), 2);
    EXPECT_EQ(static_cast<int>(background.Text), 9);
    EXPECT_EQ(static_cast<int>(normal.Back), 13);
    EXPECT_EQ(static_cast<int>(normal.Text), 14);
}

TEST(ContainerProperties, EmptyBagGivesAnEmptyCentredTitle) {
    uc::PropertyBag bag;
    const uc::ContainerProperties p = uc::ReadContainerProperties(bag);
    EXPECT_EQ(p.Title, "");
    EXPECT_EQ(p.Alignment, 2);
}

TEST(ContainerProperties, DefaultsAreNotWrittenAndValuesRoundTrip) {
    uc::PropertyBag bag;
    uc::WriteContainerProperties(bag, {"", 2});
    EXPECT_EQ(bag.Size(), 0u);
    uc::WriteContainerProperties(bag, {"Lift Settings", 0});
    EXPECT_EQ(bag.ReadProperty("Title", std::string()), "Lift Settings");
    EXPECT_EQ(bag.ReadProperty("Alignment", 2), 0);
    const uc::ContainerProperties p = uc::ReadContainerProperties(bag);
    EXPECT_EQ(p.Title, "Lift Settings");
    EXPECT_EQ(p.Alignment, 0);
    // Writing a default again removes the stored value.
    uc::WriteContainerProperties(bag, {"Lift Settings", 2});
    EXPECT_FALSE(bag.Has("Alignment"));
    EXPECT_TRUE(bag.Has("Title"));
}

TEST(ContainerProperties, UnreadableAlignmentFallsBackToCentred) {
    uc::PropertyBag bag;
    bag.WriteProperty("Alignment", std::string("left"), std::string());
    EXPECT_EQ(uc::ReadContainerProperties(bag).Alignment, 2);
    bag.WriteProperty("Alignment", 7, 2);
    EXPECT_EQ(uc::ReadContainerProperties(bag).Alignment, 2);
    bag.WriteProperty("Alignment", 1, 2);
    EXPECT_EQ(uc::ReadContainerProperties(bag).Alignment, 1);
    EXPECT_FALSE(uc::IsValidAlignment(3));
    EXPECT_FALSE(uc::IsValidAlignment(-1));
}
