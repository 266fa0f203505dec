#include "trackdoc/segment_selection.h"

#include "trackdoc/track_document.h"

std::vector<bool> gSegmentSelected(1, false);

void ClearSegmentSelection() {
    const int32_t count = gSegmentCount < 0 ? 0 : gSegmentCount;
    gSegmentSelected.assign(static_cast<size_t>(count) + 1, false);
}

bool IsSegmentSelected(int i) {
    return i >= 0 && static_cast<size_t>(i) < gSegmentSelected.size() && gSegmentSelected[static_cast<size_t>(i)];
}
