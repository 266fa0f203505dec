#pragma once
// The 16 x 16 pictures of the main window's tool-bar buttons, drawn by the
// program itself from small vector descriptions (no picture files), and their
// greyed disabled forms. Display-free: the window turns them into bitmaps.

#include <array>
#include <cstdint>

#include "app/main_menus.h"

struct ToolPictureImage {
    static constexpr int kSize = 16;
    // Row by row from the top; 0xAARRGGBB, alpha 0 for the background.
    std::array<uint32_t, kSize * kSize> Pixels{};

    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * kSize + x)]; }
};

ToolPictureImage DrawToolPicture(ToolPicture picture);

// The disabled form: the picture's shape in greys with a light edge below and
// to the right of it, as disabled buttons look on the desktop.
ToolPictureImage DisabledToolPicture(const ToolPictureImage& normal);
