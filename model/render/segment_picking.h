#pragma once
// Which track segment lies under a point of the preview: the scene is drawn
// once more in OpenGL's selection mode through a 5 x 5 pixel region around the
// point, and the nearest named primitive wins. Everything that is not a track
// segment is drawn under NotPickableName and so hides the segments behind it.

#include <cstdint>

// x, y: the point in viewport pixels, y counted down from the top edge (see
// ScaleMouseToViewport for displays that scale windows). The segment's index,
// or -1 for the sky, a nearer non-segment, a point beyond the pick's far plane
// (650) or no context. Leaves render mode, projection and matrix mode as it
// found them; the visible frame is neither cleared nor presented.
int32_t PickSegment(int32_t x, int32_t y);

inline constexpr double kPickFarPlane = 650.0;
inline constexpr double kPickRegionPixels = 5.0;
