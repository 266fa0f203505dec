// Colour channels and the HSL conversions on the colour chooser's scale.

#include <gtest/gtest.h>

#include "trackdoc/color_functions.h"

namespace {

void ExpectRGB(const ColorRGB& c, int r, int g, int b) {
    EXPECT_EQ(c.Red, r);
    EXPECT_EQ(c.Green, g);
    EXPECT_EQ(c.Blue, b);
}

void ExpectHSL(const ColorHSL& c, int h, int s, int l) {
    EXPECT_EQ(c.Hue, h);
    EXPECT_EQ(c.Saturation, s);
    EXPECT_EQ(c.Luminance, l);
}

TEST(Colors, SplitRGBTakesRedFromTheLowByte) {
    ExpectRGB(SplitRGB(0x0080FF), 255, 128, 0);
    ExpectRGB(SplitRGB(0x332211), 0x11, 0x22, 0x33);
    ExpectRGB(SplitRGB(static_cast<int32_t>(0xFF010203u)), 3, 2, 1);  // the top byte is not a channel
}

TEST(Colors, HSLToRGB) {
    ExpectRGB(HSLToRGB({0, 240, 120}), 255, 0, 0);
    // Hues are 239ths of the circle, so green and blue come out a little off pure.
    ExpectRGB(HSLToRGB({79, 240, 120}), 4, 255, 0);
    ExpectRGB(HSLToRGB({159, 240, 120}), 0, 2, 255);
    for (int h : {0, 17, 239}) {
        ExpectRGB(HSLToRGB({h, 0, 240}), 255, 255, 255);
        ExpectRGB(HSLToRGB({h, 0, 0}), 0, 0, 0);
    }
    ExpectRGB(HSLToRGB({0, 0, 120}), 127, 127, 127);  // channels are rounded down
    ExpectRGB(HSLToRGB({40, 240, 120}), 253, 255, 0);  // red falls on the descending slope
    ExpectRGB(HSLToRGB({0, 240, 60}), 127, 0, 0);
    ExpectRGB(HSLToRGB({0, 120, 180}), 223, 159, 159);
}

TEST(Colors, RGBToHSL) {
    ExpectHSL(RGBToHSL({255, 0, 0}), 0, 240, 120);
    ExpectHSL(RGBToHSL({0, 255, 0}), 79, 240, 120);
    EXPECT_EQ(RGBToHSL({0, 0, 255}).Hue, 159);
    ExpectHSL(RGBToHSL({128, 128, 128}), 0, 0, 120);
    ExpectHSL(RGBToHSL({255, 255, 255}), 0, 0, 240);
    ExpectHSL(RGBToHSL({0, 0, 0}), 0, 0, 0);
    // A negative sixths value: round(-119.97) = -120, / 6 = -20, + 240.
    EXPECT_EQ(RGBToHSL({255, 0, 128}).Hue, 220);
    ExpectHSL(RGBToHSL({255, 255, 0}), 39, 240, 120);
    // h = 49/159 sixths: round(73.65) = 74, / 6 = 12; s = 159/241; l = 241/510.
    ExpectHSL(RGBToHSL({200, 90, 41}), 12, 158, 113);
}

TEST(Colors, RoundTripsStayClose) {
    // Hue steps of a 239th of the circle and truncated channels allow a few units.
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51) {
                const ColorRGB back = HSLToRGB(RGBToHSL({r, g, b}));
                EXPECT_NEAR(back.Red, r, 16) << r << "," << g << "," << b;
                EXPECT_NEAR(back.Green, g, 16);
                EXPECT_NEAR(back.Blue, b, 16);
            }
}

TEST(Colors, RampStepsTheHueOncePerColumn) {
    EXPECT_TRUE(ColorRampColors({0, 240, 120}, 0).empty());
    EXPECT_TRUE(ColorRampColors({0, 240, 120}, -3).empty());
    const std::vector<ColorRGB> ramp = ColorRampColors({10, 240, 120}, 240);
    ASSERT_EQ(ramp.size(), 240u);
    for (int i = 0; i < 240; ++i) {
        int hue = 10 + i;
        if (hue > 240) hue -= 240;
        const ColorRGB expect = HSLToRGB({hue, 240, 120});
        EXPECT_EQ(ramp[i].Red, expect.Red) << i;
        EXPECT_EQ(ramp[i].Green, expect.Green) << i;
        EXPECT_EQ(ramp[i].Blue, expect.Blue) << i;
    }
    // Exactly 240 stays 240 (column 230 of a ramp starting at 10).
    const ColorRGB at240 = HSLToRGB({240, 240, 120});
    EXPECT_EQ(ramp[230].Red, at240.Red);
    EXPECT_EQ(ramp[230].Blue, at240.Blue);
    // On a narrower box the hue moves by 240 / width per column, halves to even.
    const std::vector<ColorRGB> narrow = ColorRampColors({0, 240, 120}, 96);  // steps of 2.5
    const ColorRGB c1 = HSLToRGB({2, 240, 120}), c3 = HSLToRGB({8, 240, 120});
    EXPECT_EQ(narrow[1].Green, c1.Green);  // 2.5 -> 2
    EXPECT_EQ(narrow[3].Green, c3.Green);  // 7.5 -> 8
}

TEST(Colors, RampDrawnIntoAPictureColumnByColumn) {
    ColorPicture picture(240, 3, 0x123456);
    DrawColorRamp({0, 240, 120}, picture);
    EXPECT_EQ(picture.At(0, 0), 0x0000FF) << "pure red at the left edge";
    EXPECT_EQ(picture.At(0, 2), 0x0000FF) << "from the top row to the bottom";
    EXPECT_EQ(picture.At(80, 1), PackRGB(HSLToRGB({80, 240, 120})));
    EXPECT_EQ(picture.At(239, 2), PackRGB(HSLToRGB({239, 240, 120})));
    for (int x = 0; x < 240; ++x) EXPECT_EQ(picture.At(x, 1), picture.At(x, 0)) << x;
    EXPECT_EQ(PackRGB({255, 128, 1}), 0x0180FF);

    ColorPicture none(0, 5, 7);
    DrawColorRamp({0, 240, 120}, none);  // nothing to draw on
    EXPECT_TRUE(none.Pixels.empty());
    ColorPicture one(1, 2, 7);
    DrawColorRamp({40, 240, 120}, one);
    EXPECT_EQ(one.At(0, 1), PackRGB(HSLToRGB({40, 240, 120})));
}

}  // namespace
