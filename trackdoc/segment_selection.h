#pragma once
// The per-segment selection set by picking in the preview and read by the tools.

#include <vector>

// One entry per segment (0 .. gSegmentCount, the last belonging to no segment).
// Readers treat a missing entry as unselected.
extern std::vector<bool> gSegmentSelected;

void ClearSegmentSelection();

// True when segment i is selected; false for any index outside the array.
bool IsSegmentSelected(int i);
