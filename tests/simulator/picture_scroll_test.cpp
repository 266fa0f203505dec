// The texture viewer's scroll position along one axis: every pixel can be
// brought into view, and the view never runs past the picture.
#include "simulator/picture_scroll.h"

#include <climits>

#include <gtest/gtest.h>

TEST(PictureScrollTest, HeldBetweenTheStartAndThePicturesEnd) {
    PictureScroll s;
    s.SetExtent(1024, 603);
    EXPECT_EQ(s.Max(), 421);
    EXPECT_TRUE(s.ScrollTo(5000));
    EXPECT_EQ(s.Position, 421) << "the last pixel row stands at the window's end";
    EXPECT_FALSE(s.ScrollBy(1));
    EXPECT_TRUE(s.ScrollBy(-100));
    EXPECT_EQ(s.Position, 321);
    EXPECT_TRUE(s.ScrollBy(INT_MIN));
    EXPECT_EQ(s.Position, 0);
    s.ScrollBy(INT_MAX);
    EXPECT_EQ(s.Position, 421);
    s.SetExtent(1024, 900);  // a larger window: the position follows
    EXPECT_EQ(s.Position, 124);
    s.SetExtent(16, 603);  // a picture that fits does not scroll
    EXPECT_EQ(s.Max(), 0);
    EXPECT_EQ(s.Position, 0);
    EXPECT_FALSE(s.ScrollTo(10));
}
