#pragma once
// Crosstie placement: copies of the primary or secondary tie model at equal
// spacing along a segment, appended to the segment's tie faces.

#include <cstdint>

// Places the ties of one segment. The pattern state gTieState / gTieCountdown
// carries over from the segment before. The spacing is clamped into the
// modeler dialog's range.
void ModelCrossties(int32_t segment);
