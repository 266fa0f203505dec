// The program's colour dialog without a window: the request handed to the
// chooser, the run's custom colour table seeded from the system colours once,
// and the results of OK and Cancel.

#include <gtest/gtest.h>

#include <vector>

#include "controls/color_dialog.h"
#include "platform/system_colors.h"

namespace {

class ColorDialog : public ::testing::Test {
protected:
    void SetUp() override { ResetCustomColors(); }
    void TearDown() override { ResetCustomColors(); }
};

}  // namespace

TEST_F(ColorDialog, RequestSeedsTheCustomColorsOnceAndReturnsTheChoice) {
    std::vector<ColorChooserRequest> seen;
    ScopedColorChooser chooser([&](ColorChooserRequest& r) -> bool {
        seen.push_back(r);
        if (r.CustomColors == nullptr) return false;
        EXPECT_EQ((*r.CustomColors)[5], 0xFFFFFF) << "system colour 5, the window";
        (*r.CustomColors)[0] = 0x123456;  // the user defines a custom colour
        r.Color = 0x00FF80;
        return true;
    });
    int dummy = 0;
    auto* owner = reinterpret_cast<wxWindow*>(&dummy);
    int32_t color = 0x0000FF;
    EXPECT_FALSE(CustomColorsFilled());
    EXPECT_TRUE(ShowColorDialog(color, true, true, false, owner));
    EXPECT_EQ(color, 0x00FF80);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Color, 0x0000FF);
    EXPECT_EQ(seen[0].Flags, 0x1u | 0x100u | 0x2u);
    EXPECT_EQ(seen[0].Owner, owner);
    EXPECT_TRUE(CustomColorsFilled());
    for (int i = 1; i < 16; ++i) EXPECT_EQ(CustomColors()[static_cast<size_t>(i)], GetSysColor(i)) << i;
    EXPECT_EQ(CustomColors()[0], 0x123456);
    EXPECT_EQ(GetSysColor(2), 10 + 36 * 256 + 106 * 65536);
    EXPECT_EQ(GetSysColor(-1), 0);
    EXPECT_EQ(GetSysColor(99), 0);

    // The next caller is offered the colour defined before, not the seed again.
    int32_t second = 0x101010;
    ScopedColorChooser next([&](ColorChooserRequest& r) {
        EXPECT_EQ((*r.CustomColors)[0], 0x123456);
        EXPECT_EQ(r.Flags, 0x1u | 0x80u | 0x4u);
        EXPECT_EQ(r.Owner, nullptr);
        return true;  // confirms the start colour
    });
    EXPECT_TRUE(ShowColorDialog(second, false, false, true, nullptr));
    EXPECT_EQ(second, 0x101010) << "the colour passed in is still a choice";
}

TEST_F(ColorDialog, CancelAndAMissingChooserGiveMinusOne) {
    int32_t color = 0x404040;
    EXPECT_FALSE(ShowColorDialog(color, true, true, false, nullptr)) << "no chooser installed";
    EXPECT_EQ(color, -1);
    ScopedColorChooser cancel([](ColorChooserRequest& r) {
        r.Color = 0x777777;
        return false;
    });
    color = 0x404040;
    EXPECT_FALSE(ShowColorDialog(color, true, true, false, nullptr));
    EXPECT_EQ(color, -1);
}
