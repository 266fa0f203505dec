#include "trackdoc/color_functions.h"

#include <algorithm>
#include <cmath>

namespace {

// Whole number nearest to x, halves to the even neighbour (2.5 gives 2).
int32_t RoundHalfEven(double x) {
    const double r = std::nearbyint(x);  // the default rounding mode rounds halves to even
    if (!(r > -2147483648.0 && r < 2147483647.0)) return 0;
    return static_cast<int32_t>(r);
}

// One channel of HSLToRGB, in single precision.
float HueToChannel(float p, float q, float t) {
    if (t < 0.0f) t += 1.0f;
    if (t > 1.0f) t -= 1.0f;
    if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
    if (2.0f * t < 1.0f) return q;
    if (3.0f * t < 2.0f) return static_cast<float>(p + (q - p) * (2.0 / 3.0 - t) * 6.0);
    return p;
}

int32_t ChannelToByte(float channel) { return static_cast<int32_t>(std::floor(channel * 255.0f)); }

}  // namespace

ColorRGB SplitRGB(int32_t color) {
    const uint32_t c = static_cast<uint32_t>(color);
    return ColorRGB{static_cast<int32_t>(c & 0xFFu), static_cast<int32_t>((c & 0xFF00u) / 256u),
                    static_cast<int32_t>((c & 0xFF0000u) / 65536u)};
}

ColorRGB HSLToRGB(const ColorHSL& hsl) {
    const float h = static_cast<float>(hsl.Hue / 239.0);
    const float s = static_cast<float>(hsl.Saturation / 240.0);
    const float l = static_cast<float>(hsl.Luminance / 240.0);
    float r, g, b;
    if (s == 0.0f) {
        r = g = b = l;
    } else {
        const float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
        const float p = 2.0f * l - q;
        r = HueToChannel(p, q, static_cast<float>(h + 1.0 / 3.0));
        g = HueToChannel(p, q, h);
        b = HueToChannel(p, q, static_cast<float>(h - 1.0 / 3.0));
    }
    return ColorRGB{ChannelToByte(r), ChannelToByte(g), ChannelToByte(b)};
}

ColorHSL RGBToHSL(const ColorRGB& rgb) {
    const float r = static_cast<float>(rgb.Red / 255.0);
    const float g = static_cast<float>(rgb.Green / 255.0);
    const float b = static_cast<float>(rgb.Blue / 255.0);
    const float mx = std::fmax(r, std::fmax(g, b));
    const float mn = std::fmin(r, std::fmin(g, b));
    const float l = (mx + mn) / 2.0f;
    float s = 0.0f, h = 0.0f;
    if (mx != mn) {
        const float range = mx - mn;
        s = l < 0.5f ? range / (mx + mn) : range / (2.0f - mx - mn);
        if (mx == r)
            h = (g - b) / range;
        else if (mx == g)
            h = 2.0f + (b - r) / range;
        else
            h = 4.0f + (r - g) / range;
    }
    int32_t hue = RoundHalfEven(h * 239.0f) / 6;  // integer division drops the remainder towards zero
    if (hue < 0) hue += 240;
    return ColorHSL{hue, static_cast<int32_t>(std::floor(s * 240.0f)), static_cast<int32_t>(std::floor(l * 240.0f))};
}

std::vector<ColorRGB> ColorRampColors(const ColorHSL& hsl, int width) {
    std::vector<ColorRGB> colors;
    if (width < 1) return colors;
    colors.reserve(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i) {
        double hue = hsl.Hue + 240.0 / width * i;
        if (hue > 240.0) hue -= 240.0;
        colors.push_back(HSLToRGB(ColorHSL{RoundHalfEven(hue), hsl.Saturation, hsl.Luminance}));
    }
    return colors;
}

int32_t PackRGB(const ColorRGB& rgb) { return rgb.Red + 256 * rgb.Green + 65536 * rgb.Blue; }

ColorPicture::ColorPicture(int width, int height, int32_t fill)
    : Width(width > 0 ? width : 0), Height(height > 0 ? height : 0),
      Pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height), fill) {}

void ColorPicture::DrawColumn(int x, int32_t color) {
    if (x < 0 || x >= Width) return;
    for (int y = 0; y < Height; ++y) Pixels[static_cast<size_t>(y) * Width + x] = color;
}

void ColorPicture::Fill(int32_t color) { std::fill(Pixels.begin(), Pixels.end(), color); }

void DrawColorRamp(const ColorHSL& hsl, ColorPicture& picture) {
    const std::vector<ColorRGB> colors = ColorRampColors(hsl, picture.Width);
    for (int x = 0; x < static_cast<int>(colors.size()); ++x) picture.DrawColumn(x, PackRGB(colors[static_cast<size_t>(x)]));
}
