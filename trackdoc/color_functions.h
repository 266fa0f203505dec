#pragma once
// Conversions between the document's colour Long (red in the lowest byte), its
// channels, and hue / saturation / luminance on the 0..240 scale of the colour
// chooser (hue 0..239).

#include <cstdint>
#include <vector>

struct ColorRGB {
    int32_t Red = 0;
    int32_t Green = 0;
    int32_t Blue = 0;
};

struct ColorHSL {
    int32_t Hue = 0;
    int32_t Saturation = 0;
    int32_t Luminance = 0;
};

ColorRGB SplitRGB(int32_t color);
ColorHSL RGBToHSL(const ColorRGB& rgb);
ColorRGB HSLToRGB(const ColorHSL& hsl);

// Colours of a horizontal hue ramp of the given width, one per column, as
// DrawColorRamp paints them (empty when width < 1).
std::vector<ColorRGB> ColorRampColors(const ColorHSL& hsl, int width);
