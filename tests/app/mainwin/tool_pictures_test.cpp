// The tool-bar pictures: every button has its own drawn picture, and the
// disabled form keeps its shape in greys.
#include <gtest/gtest.h>

#include <set>

#include "app/tool_pictures.h"

namespace {

int Opaque(const ToolPictureImage& p) {
    int n = 0;
    for (uint32_t px : p.Pixels) n += (px >> 24) != 0;
    return n;
}

bool Grey(uint32_t px) {
    const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    return r == g && g == b;
}

}  // namespace

TEST(ToolPictures, EveryPictureIsDrawnAndDiffersFromTheOthers) {
    std::set<std::array<uint32_t, 256>> seen;
    for (int i = 0; i < kToolPictureCount; ++i) {
        const ToolPictureImage p = DrawToolPicture(static_cast<ToolPicture>(i));
        const int opaque = Opaque(p);
        EXPECT_GE(opaque, 30) << "picture " << i << " has too little in it";
        EXPECT_LE(opaque, 256 - 20) << "picture " << i << " leaves no background";
        for (uint32_t px : p.Pixels) {
            const uint32_t alpha = px >> 24;
            EXPECT_TRUE(alpha == 0 || alpha == 0xFF) << "pictures are opaque or background";
        }
        EXPECT_TRUE(seen.insert(p.Pixels).second) << "picture " << i << " repeats another";
    }
}

TEST(ToolPictures, DisabledFormIsGreyWithTheSameShape) {
    for (int i = 0; i < kToolPictureCount; ++i) {
        const ToolPictureImage p = DrawToolPicture(static_cast<ToolPicture>(i));
        const ToolPictureImage d = DisabledToolPicture(p);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t px = d.At(x, y);
                if ((p.At(x, y) >> 24) != 0) {
                    EXPECT_EQ(px >> 24, 0xFFu);
                    EXPECT_TRUE(Grey(px)) << i << " at " << x << "," << y;
                    EXPECT_GE(px & 0xFF, 112u) << "greyed out, never black";
                } else if (px != 0) {
                    EXPECT_EQ(px, 0xFFFFFFFFu) << "only the light edge is added";
                    EXPECT_TRUE(x > 0 && y > 0 && (p.At(x - 1, y - 1) >> 24) != 0);
                }
            }
    }
}
