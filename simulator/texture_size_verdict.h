#pragma once
// Whether a picture's size suits the simulator as a texture: both sides a power
// of two from 16 to 8192, and neither above 1024 for full speed.

#include <cstdint>

struct TextureSizeVerdict {
    const char* Text;    // "Invalid Dimensions", "Oversized" or "Valid"
    int32_t TextColour;  // red, yellow or green; red in the low byte
};

// True for 16, 32, 64, ..., 8192.
bool IsValidTextureSide(int32_t side);
TextureSizeVerdict JudgeTextureSize(int32_t width, int32_t height);
