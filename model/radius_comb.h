#pragma once
// The curve-radius comb and the heart-line: line drawings along each segment of
// a track that help judge its curves. Built after every rebuild of the path.

#include <cstdint>
#include <vector>

#include "trackdoc/math3d.h"

struct CombTooth {
    Vector3 Base;       // point of the centre line where the tooth stands
    Vector3 Tip;        // the tooth's far end
    float Ratio = 0.0f; // the tooth's radius / gCombRadiusLimit, 0 to 1
};

struct RadiusCombSegment {
    std::vector<CombTooth> Teeth;  // 0 .. Count - 1 valid
    int32_t Count = 0;
};

struct SegmentUpPoints {
    std::vector<Vector3> Points;   // 0 .. Count - 1 valid
    int32_t Count = 0;
};

// 0 .. gSegmentCount, the last a spare.
extern std::vector<RadiusCombSegment> gRadiusComb;
extern std::vector<SegmentUpPoints> gHeartline;

// Rebuilds gHeartline and gRadiusComb (track documents only).
void RebuildRadiusComb();
// Empties both arrays to their single spare entry.
void ClearRadiusComb();
