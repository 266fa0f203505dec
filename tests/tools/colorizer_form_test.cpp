// The Colorizer dialog's rules without a window: the filling from the track
// and its selection, the enabling of the controls and of OK, Copy and Swap,
// and the previews' pixels.

#include "tests/tools/tool_test_support.h"
#include "tools/colorizer_form.h"
#include "trackdoc/segment_selection.h"

namespace {

constexpr int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

class ColorizerFormTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        MakeLineTrack({0, 10, 0}, {0, 0, -10}, 4);
        gSpineColor = Rgb(1, 0, 0);
        gRailColor = Rgb(2, 0, 0);
        gTieColor = Rgb(3, 0, 0);
        ClearSegmentSelection();
    }
    ColorizerForm form;
};

bool OptionsEnabled(const ColorizerPartState& part, bool alternateOnes) {
    return part.OptionEnabled[0] && part.OptionEnabled[3] && part.OptionEnabled[1] == alternateOnes &&
           part.OptionEnabled[2] == alternateOnes && part.OptionEnabled[4] == alternateOnes;
}

}  // namespace

TEST_F(ColorizerFormTest, OpensWithoutSelectionOnTheTrackColours) {
    form.Load();
    EXPECT_EQ(form.Primary, (std::array<int32_t, 3>{Rgb(1, 0, 0), Rgb(2, 0, 0), Rgb(3, 0, 0)}));
    EXPECT_EQ(form.Alternate, (std::array<int32_t, 3>{0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
    EXPECT_FALSE(form.UseAlternate);
    EXPECT_FALSE(form.SelectedOnly);
    EXPECT_FALSE(form.SelectedEnabled);
    form.ChooseScope(true);
    EXPECT_FALSE(form.SelectedOnly) << "Selected Segments cannot be chosen";
    EXPECT_TRUE(form.AllTypes);
    EXPECT_FALSE(form.TypesEnabled);
    for (const ColorizerPartState& part : form.Parts) {
        EXPECT_EQ(part.Mode, PaintPrimary);
        EXPECT_TRUE(OptionsEnabled(part, false));
        EXPECT_FALSE(part.RunBoxesEnabled);
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(form.RunLengths().Text(i), "1");
    EXPECT_TRUE(form.OkEnabled());
}

TEST_F(ColorizerFormTest, OpensOnTheFirstAndLastSelectedSegments) {
    gSegmentSelected[1] = gSegmentSelected[3] = true;
    gSegments[3].CustomColors = true;
    gSegments[3].SpineColor = Rgb(0, 0, 9);
    gSegments[3].RailColor = Rgb(0, 9, 0);
    gSegments[3].TieColor = Rgb(9, 9, 9);
    gSegments[1].SpineColor = Rgb(7, 7, 7);  // not custom: the track colours count
    form.Load();
    EXPECT_EQ(form.Primary, (std::array<int32_t, 3>{Rgb(1, 0, 0), Rgb(2, 0, 0), Rgb(3, 0, 0)}));
    EXPECT_EQ(form.Alternate, (std::array<int32_t, 3>{Rgb(0, 0, 9), Rgb(0, 9, 0), Rgb(9, 9, 9)}));
    EXPECT_TRUE(form.UseAlternate);
    EXPECT_TRUE(form.AlternateControlsEnabled);
    EXPECT_TRUE(form.SelectedOnly);
    for (const ColorizerPartState& part : form.Parts) EXPECT_TRUE(OptionsEnabled(part, true));
    ColorPicture gradient(5, 2);
    DrawGradientStrip(form, 1, gradient);
    EXPECT_EQ(gradient.At(0, 0), Rgb(2, 0, 0));
    EXPECT_EQ(gradient.At(4, 1), Rgb(0, 9, 0)) << "primary to alternate";
}

TEST_F(ColorizerFormTest, GivingUpTheAlternateColourResetsTheModesThatNeedIt) {
    gSegmentSelected[2] = true;
    form.Load();
    form.ChooseMode(0, PaintColorWheel);
    form.ChooseMode(1, PaintGradient);
    form.ChooseMode(2, PaintToggle);
    EXPECT_TRUE(form.Parts[2].RunBoxesEnabled);
    form.SetUseAlternate(false);
    EXPECT_EQ(form.Parts[0].Mode, PaintColorWheel);
    EXPECT_EQ(form.Parts[1].Mode, PaintPrimary);
    EXPECT_EQ(form.Parts[2].Mode, PaintPrimary);
    EXPECT_FALSE(form.Parts[2].RunBoxesEnabled);
    EXPECT_FALSE(form.AlternateControlsEnabled);
    for (const ColorizerPartState& part : form.Parts) EXPECT_TRUE(OptionsEnabled(part, false));
    form.PickPrimary(0, Rgb(5, 6, 7));
    ColorPicture plain(4, 1), wheel(4, 1), ramp(4, 1);
    DrawGradientStrip(form, 0, plain);
    EXPECT_EQ(plain.Pixels, std::vector<int32_t>(4, Rgb(5, 6, 7))) << "the plain primary colour";
    DrawColorWheelStrip(form, 0, wheel);
    DrawColorRamp(RGBToHSL(SplitRGB(Rgb(5, 6, 7))), ramp);
    EXPECT_EQ(wheel.Pixels, ramp.Pixels);

    form.PickAlternate(1, Rgb(0, 0, 200));  // picking an alternate colour checks the box again
    EXPECT_TRUE(form.UseAlternate);
    EXPECT_TRUE(OptionsEnabled(form.Parts[2], true));
    EXPECT_EQ(form.Alternate[1], Rgb(0, 0, 200));
}

TEST_F(ColorizerFormTest, TypeBoxesAndRunLengthsEnableOk) {
    form.Load();
    form.ClickAllTypes(false);
    EXPECT_TRUE(form.TypesEnabled);
    EXPECT_FALSE(form.OkEnabled()) << "no type box checked";
    form.ClickType(SegmentBrake, true);
    EXPECT_TRUE(form.OkEnabled());
    form.ClickType(SegmentBrake, false);
    form.ClickAllTypes(true);
    EXPECT_FALSE(form.TypesEnabled);
    EXPECT_TRUE(form.OkEnabled());

    form.SetRunLength(1, 0, "0");
    EXPECT_TRUE(form.RunLengths().IsRed(ColorizerForm::RunBox(1, 0)));
    EXPECT_TRUE(form.OkEnabled()) << "red, but the rails are not in Toggle mode";
    form.SetUseAlternate(true);
    form.ChooseMode(1, PaintToggle);
    EXPECT_FALSE(form.OkEnabled());
    form.SetRunLength(1, 0, "50");
    EXPECT_TRUE(form.OkEnabled());
    form.SetRunLength(1, 1, "51");
    EXPECT_FALSE(form.OkEnabled());
    form.SetRunLength(1, 1, "3");
    EXPECT_EQ(form.Options().RunLengths[1][0], 50.0);
    EXPECT_EQ(form.Options().RunLengths[1][1], 3.0);
    EXPECT_EQ(form.Options().Mode[1], PaintToggle);
}

TEST_F(ColorizerFormTest, CopyAndSwapActOnAllThreeParts) {
    form.Primary = {1, 2, 3};
    form.Alternate = {4, 5, 6};
    form.Swap();
    EXPECT_EQ(form.Primary, (std::array<int32_t, 3>{4, 5, 6}));
    form.Swap();
    EXPECT_EQ(form.Primary, (std::array<int32_t, 3>{1, 2, 3}));
    EXPECT_EQ(form.Alternate, (std::array<int32_t, 3>{4, 5, 6}));
    form.CopyAlternate();
    EXPECT_EQ(form.Primary, (std::array<int32_t, 3>{4, 5, 6}));
    form.Alternate = {7, 8, 9};
    form.CopyPrimary();
    EXPECT_EQ(form.Alternate, (std::array<int32_t, 3>{4, 5, 6}));
}

TEST(GradientPreview, ColumnsFromOneColourToTheOther) {
    ColorPicture strip(5, 2);
    DrawGradientPreview(Rgb(0, 200, 10), Rgb(200, 100, 0), strip);  // steps 50, -25, -2.5
    const int32_t expect[5] = {Rgb(0, 200, 10), Rgb(50, 175, 7), Rgb(100, 150, 5), Rgb(150, 125, 2),
                               Rgb(200, 100, 0)};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(strip.At(x, 0), expect[x]) << x;
        EXPECT_EQ(strip.At(x, 1), expect[x]) << x;
    }
    ColorPicture one(1, 3, -5);
    DrawGradientPreview(Rgb(9, 8, 7), Rgb(200, 100, 0), one);  // no step over zero columns
    EXPECT_EQ(one.Pixels, std::vector<int32_t>(3, Rgb(9, 8, 7)));
    ColorPicture none(0, 3);
    DrawGradientPreview(Rgb(9, 8, 7), 0, none);
    EXPECT_TRUE(none.Pixels.empty());
    // Falling channels never drop below 0 on the way.
    ColorPicture wide(300, 1);
    DrawGradientPreview(Rgb(255, 255, 255), 0, wide);
    EXPECT_EQ(wide.At(299, 0), 0);
    for (int32_t c : wide.Pixels) EXPECT_EQ(c & ~0xFFFFFF, 0);
}
