#pragma once
// Conversions between the document's colour Long (red in the lowest byte), its
// channels, and hue / saturation / luminance on the 0..240 scale of the colour
// chooser (hue 0..239).

#include <cstddef>
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

// The colour Long of three channels: red + 256 * green + 65536 * blue.
int32_t PackRGB(const ColorRGB& rgb);

// A picture drawn without a display, for a window to show as it is: Width x
// Height colour Longs, row by row from the top row.
struct ColorPicture {
    int Width = 0;
    int Height = 0;
    std::vector<int32_t> Pixels;

    ColorPicture() = default;
    ColorPicture(int width, int height, int32_t fill = 0);
    int32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    // The vertical line from (x, 0) to (x, Height); nothing for x outside the picture.
    void DrawColumn(int x, int32_t color);
    void Fill(int32_t color);
};

// Colours of a horizontal hue ramp of the given width, one per column, as
// DrawColorRamp paints them (empty when width < 1).
std::vector<ColorRGB> ColorRampColors(const ColorHSL& hsl, int width);

// The hue ramp over the whole picture: column x in the x-th colour of
// ColorRampColors(hsl, Width); nothing is drawn on a picture narrower than 1.
void DrawColorRamp(const ColorHSL& hsl, ColorPicture& picture);
