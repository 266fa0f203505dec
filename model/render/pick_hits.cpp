#include "model/render/pick_hits.h"

#include <algorithm>
#include <cmath>

int32_t NearestPickedSegment(const uint32_t* buffer, size_t words, int32_t hits) {
    if (buffer == nullptr || hits < 1) return -1;
    bool found = false;
    uint32_t bestName = 0;
    uint32_t bestDepth = 0;
    size_t at = 0;
    for (int32_t k = 0; k < hits; ++k) {
        if (at + 3 > words) break;
        const uint32_t names = buffer[at];
        const uint32_t minDepth = buffer[at + 1];
        const size_t next = at + 3 + names;
        if (names == 0 || next > words) {
            at = next;
            continue;  // a record without a name names nothing
        }
        const uint32_t name = buffer[next - 1];
        if (!found || minDepth < bestDepth) {
            found = true;
            bestName = name;
            bestDepth = minDepth;
        }
        at = next;
    }
    if (!found || bestName >= NotPickableName) return -1;
    return static_cast<int32_t>(bestName);
}

size_t PickBufferWords(int64_t nameChanges) {
    const int64_t records = std::max<int64_t>(nameChanges, 0) + 1;
    return std::max<size_t>(2048, static_cast<size_t>(records) * 4);
}

ViewportPoint ScaleMouseToViewport(double x, double y, double windowWidth, double windowHeight, int32_t viewportWidth,
                                   int32_t viewportHeight) {
    ViewportPoint p;
    const double sx = windowWidth >= 1.0 ? viewportWidth / windowWidth : 1.0;
    const double sy = windowHeight >= 1.0 ? viewportHeight / windowHeight : 1.0;
    p.X = static_cast<int32_t>(std::lround(x * sx));
    p.Y = static_cast<int32_t>(std::lround(y * sy));
    return p;
}
