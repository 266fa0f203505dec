#include "model/radius_comb.h"

#include <algorithm>

#include "app/app_state.h"
#include "trackdoc/track_document.h"

std::vector<RadiusCombSegment> gRadiusComb(1);
std::vector<SegmentUpPoints> gHeartline(1);

void ClearRadiusComb() {
    gRadiusComb.assign(1, RadiusCombSegment{});
    gHeartline.assign(1, SegmentUpPoints{});
}

// The teeth and the heart-line points are not built yet: a track gets one
// empty entry per segment, so that readers can rely on the segment count.
void RebuildRadiusComb() {
    if (gDocumentType != DocumentTrack) return;
    const size_t entries = static_cast<size_t>(std::max<int32_t>(gSegmentCount, 0)) + 1;
    gHeartline.assign(entries, SegmentUpPoints{});
    gRadiusComb.assign(entries, RadiusCombSegment{});
}
