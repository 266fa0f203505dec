#pragma once
// Shared geometry of the self-drawn user controls: rectangles, the thin lines
// they are drawn with and the system colours those lines take. Nothing here
// knows about a window; the controls' own classes turn it into pixels.

#include <cmath>

namespace uc {

// The platform's system colours that the controls use, numbered as the
// system numbers them so that the values can be handed to wxSystemSettings.
enum class SysColour : int {
    ActiveCaption = 2,
    CaptionText = 9,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
};

// Text alignment of a label: 0 left, 1 right, 2 centred.
enum Alignment : int { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool Contains(int x, int y) const { return x >= X && x < X + Width && y >= Y && y < Y + Height; }
    bool operator==(const Rect&) const = default;
};

// A thin line from (X1, Y1) to (X2, Y2). As with the platform's line drawing
// the end point itself is not part of the line, so a line from (0, 0) to
// (W, 0) covers exactly the pixels 0 to W - 1.
struct LineSeg {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    SysColour Colour = SysColour::ButtonHighlight;
    bool Visible = false;
    bool operator==(const LineSeg&) const = default;
};

// Left edge of a text of width textWidth inside a box, for a label's alignment.
inline int AlignText(int boxLeft, int boxWidth, int textWidth, int alignment) {
    switch (alignment) {
    case AlignRight: return boxLeft + boxWidth - textWidth;
    case AlignCentre: return boxLeft + (boxWidth - textWidth) / 2;
    default: return boxLeft;
    }
}

// Twips: 1/1440 inch. At the usual 96 dots per inch a pixel is 15 twips.
inline double TwipsPerPixelForDpi(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }
inline int TwipsToPixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}
inline int PixelsToTwips(int pixels, double twipsPerPixel) {
    return static_cast<int>(std::lround(pixels * twipsPerPixel));
}

}  // namespace uc
