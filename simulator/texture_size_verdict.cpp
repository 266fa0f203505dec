#include "simulator/texture_size_verdict.h"

bool IsValidTextureSide(int32_t side) { return side >= 16 && side <= 8192 && (side & (side - 1)) == 0; }

TextureSizeVerdict JudgeTextureSize(int32_t width, int32_t height) {
    if (!IsValidTextureSide(width) || !IsValidTextureSide(height)) return {"Invalid Dimensions", 0x0000FF};
    if (width > 1024 || height > 1024) return {"Oversized", 0x00FFFF};
    return {"Valid", 0x00FF00};
}
