#pragma once
// The program's own pictures for the track-file icon options: a blue, red,
// green and gray track and the Vortaxis logo, drawn at any size as RGBA
// pixels (rows top to bottom), and a PNG file made of them.

#include <cstdint>
#include <vector>

inline constexpr int kTrackIconCount = 5;  // blue, red, green, gray track; logo

// size x size RGBA pixels of the icon (0 to 4); transparent outside the drawing.
std::vector<uint8_t> DrawTrackIcon(int icon, int size);

// The pixels as a PNG file; empty when they cannot be encoded.
std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgba, int width, int height);
