#pragma once
// The curve-radius comb and the heart-line: line drawings along each segment of
// a track that help judge its curves. Built after every rebuild of the path.
//
// The comb puts a tooth about every half metre: a line from the centre line
// along the track's up axis, as long as gCombRadiusScale times the local
// radius of curvature (clipped at gCombRadiusLimit; radii above 500 m count as
// straight), coloured by the radius as a fraction of the limit. The heart-line
// runs 1 m above the centre line in the rolled frame (below on the inverted
// styles), one step past each segment's end so that it joins the next.

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

inline constexpr float kCombToothSpacing = 0.5f;     // metres between teeth
inline constexpr double kCombStraightRadius = 500.0;  // larger radii count as straight

// Rebuilds gHeartline and gRadiusComb: for a track document one entry per
// segment and the spare, otherwise only the spare.
void RebuildRadiusComb();
// Rebuilds gHeartline (called by RebuildRadiusComb before the comb).
void BuildSegmentUpPoints();
// The same in pieces, for a build that makes the comb segment by segment as
// the path frames become final: PrepareRadiusComb sizes both arrays for a track
// document (true) or empties them (false); BuildSegmentComb then makes the
// heart-line and the teeth of one segment, once the path frames of that
// segment and of the one after it are final. Segments may be built at the
// same time.
bool PrepareRadiusComb();
void BuildSegmentComb(int32_t segment);
// Empties both arrays to their single spare entry.
void ClearRadiusComb();

// Estimated radius of curvature of the cubic Bezier (P0, C0, P3, C3) at t, from
// the turn of the tangent over the next thousandth; 0 where the curve does not
// turn or a tangent has no length.
float GetRadiusAtParameter(const Vector3& p0, const Vector3& c0, const Vector3& p3, const Vector3& c3, float t);
// The derivative of the cubic Bezier divided by 3:
// (1 - t)^2 (C0 - P0) + 2t (1 - t) (C3 - C0) + t^2 (P3 - C3).
void BezierTangent(Vector3& out, const Vector3& p0, const Vector3& c0, const Vector3& p3, const Vector3& c3, float t);
