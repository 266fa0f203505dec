#include "model/radius_comb.h"

#include <algorithm>
#include <cmath>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/modeler_settings.h"
#include "model/outline_sweep.h"
#include "model/parallel_build.h"
#include "model/path_frames.h"
#include "model/rail_sweeps.h"
#include "trackdoc/track_document.h"

std::vector<RadiusCombSegment> gRadiusComb(1);
std::vector<SegmentUpPoints> gHeartline(1);

namespace {

// The segments whose curve and path frames exist: never past the document's
// nodes and segment records nor past the path.
int32_t UsableCombSegmentCount() {
    return std::clamp<int32_t>(gSegmentCount, 0,
                               std::min<int32_t>(gSpineInfoSegmentCount, static_cast<int32_t>(gPathMatrixArray.size())));
}

struct SegmentCurve {
    Vector3 P0, C0, P3, C3;
};

bool CurveOf(int32_t i, SegmentCurve& curve) {
    const int32_t nodes = std::min<int32_t>(gNodeCount, static_cast<int32_t>(gNodes.size()));
    if (i < 0 || i >= nodes) return false;
    const int32_t j = i + 1 < nodes ? i + 1 : 0;
    curve = SegmentCurve{gNodes[i].Position, gNodes[i].ControlOut, gNodes[j].Position, gNodes[j].ControlIn};
    return true;
}

float ClippedRadius(const SegmentCurve& c, float t, double limit) {
    double r = GetRadiusAtParameter(c.P0, c.C0, c.P3, c.C3, t);
    if (r > kCombStraightRadius) r = 0.0;
    if (r > limit) r = limit;
    return static_cast<float>(r);
}

void AppendTooth(RadiusCombSegment& comb, const Vector3& base, const Matrix4& frame, double scale, float r,
                 double limit) {
    CombTooth tooth;
    tooth.Base = base;
    tooth.Tip = MatrixTransformPoint(frame, MakeVector(0.0f, static_cast<float>(scale * r), 0.0f));
    tooth.Ratio = static_cast<float>(r / limit);
    comb.Teeth.push_back(tooth);
    comb.Count = static_cast<int32_t>(comb.Teeth.size());
}

}  // namespace

void ClearRadiusComb() {
    gRadiusComb = std::vector<RadiusCombSegment>(1);
    gHeartline = std::vector<SegmentUpPoints>(1);
}

void BezierTangent(Vector3& out, const Vector3& p0, const Vector3& c0, const Vector3& p3, const Vector3& c3, float t) {
    const double u = 1.0 - t, a = u * u, b = 2.0 * t * u, c = double(t) * t;
    out = MakeVector(static_cast<float>(a * (double(c0.X) - p0.X) + b * (double(c3.X) - c0.X) + c * (double(p3.X) - c3.X)),
                     static_cast<float>(a * (double(c0.Y) - p0.Y) + b * (double(c3.Y) - c0.Y) + c * (double(p3.Y) - c3.Y)),
                     static_cast<float>(a * (double(c0.Z) - p0.Z) + b * (double(c3.Z) - c0.Z) + c * (double(p3.Z) - c3.Z)));
}

float GetRadiusAtParameter(const Vector3& p0, const Vector3& c0, const Vector3& p3, const Vector3& c3, float t) {
    const double t2 = double(t) + 0.001;
    const Vector3 a = BezierPoint(p0, c0, p3, c3, t);
    const Vector3 b = BezierPoint(p0, c0, p3, c3, t2);
    Vector3 ta, tb;
    BezierTangent(ta, p0, c0, p3, c3, t);
    BezierTangent(tb, p0, c0, p3, c3, static_cast<float>(t2));
    const double d = VectorDistance(a, b);
    const double dot = double(ta.X) * tb.X + double(ta.Y) * tb.Y + double(ta.Z) * tb.Z;
    const double la = std::sqrt(double(ta.X) * ta.X + double(ta.Y) * ta.Y + double(ta.Z) * ta.Z);
    const double lb = std::sqrt(double(tb.X) * tb.X + double(tb.Y) * tb.Y + double(tb.Z) * tb.Z);
    const double c = dot / (lb * la);  // not a number for a tangent without length
    double angle = 0.0;
    if (c == 1.0)
        angle = 0.0;
    else if (c == -1.0)
        angle = static_cast<float>(kPi);
    else if (c > -1.0 && c < 1.0)
        angle = ArcCos(c);
    if (angle == 0.0) return 0.0f;
    // d / (2 sin(a / 2)), written so that a chord of no length gives 0.
    return static_cast<float>(d / (2.0 * std::cos(kPi / 2.0 - angle / 2.0)));
}

namespace {

// The heart-line of one segment: points at 0, s, ..., L and one step past the
// end, into the next segment.
void BuildSegmentHeartline(int32_t i) {
    if (i < 0 || i >= UsableCombSegmentCount() || gPathMatrixArray[i].FrameCount < 1) return;  // no path there
    const Vector3 up = MakeVector(0.0f, IsInvertedStyle(gTrackStyle) ? -1.0f : 1.0f, 0.0f);
    const float detail = BuildSettings().RailDetail;
    const float spacing = !(detail > 0.0f) ? kCombToothSpacing : ClampSetting(detail, kDetailMin, kDetailMax);
    const float length = gPathMatrixArray[i].Length;
    const int32_t steps = SweepStepCount(length, spacing);
    SegmentUpPoints& line = gHeartline[i];
    line.Points.resize(static_cast<size_t>(steps) + 2);
    Matrix4 frame;
    for (int32_t k = 0; k <= steps + 1; ++k) {
        const float d = k <= steps ? RingDistance(length, steps, k)
                                   : static_cast<float>(double(length) * (steps + 1) / steps);
        GetPathMatrixAt(i, d, frame);  // past the end of an open track: the previous point again
        line.Points[k] = MatrixTransformPoint(frame, up);
    }
    line.Count = steps + 2;
}

// The teeth of one segment.
void BuildSegmentTeeth(int32_t i) {
    if (i < 0 || i >= UsableCombSegmentCount()) return;
    SegmentCurve curve;
    if (!CurveOf(i, curve) || gPathMatrixArray[i].FrameCount < 1) return;
    const double scale = IsInvertedStyle(gTrackStyle) ? -double(BuildCombRadiusScale()) : double(BuildCombRadiusScale());
    const double limit = std::max<int32_t>(BuildCombRadiusLimit(), 1);
    RadiusCombSegment& comb = gRadiusComb[i];
    const float length = gPathMatrixArray[i].Length;
    const int32_t n = SweepStepCount(length, kCombToothSpacing);
    // A tooth at the start and at most one per thousandth of the curve.
    comb.Teeth.reserve(static_cast<size_t>(std::min<int32_t>(n, kFramesPerSegment - 1)) + 1);

    Matrix4 frame;
    GetPathMatrixAt(i, 0.0f, frame);
    AppendTooth(comb, curve.P0, frame, scale, ClippedRadius(curve, 0.0f, limit), limit);
    if (!(length > 0.0f)) return;  // a segment of no length: one tooth

    // Walk the curve in thousandths, measuring its arc as the path frames do;
    // a tooth wherever the arc passes the next mark. The marks are counted,
    // the last lying exactly at the segment's length, which the arc reaches
    // at the last sample: so no tooth is lost or added by rounding.
    double arc = 0.0;
    int32_t mark = 1;
    Vector3 previous = curve.P0;
    for (int32_t k = 1; k < kFramesPerSegment && mark <= n; ++k) {
        const float t = static_cast<float>(k * 0.001);
        const Vector3 p = BezierPoint(curve.P0, curve.C0, curve.P3, curve.C3, t);
        arc = static_cast<float>(arc + VectorDistance(previous, p));
        if (arc >= RingDistance(length, n, mark)) {
            ++mark;
            GetPathMatrixAt(i, static_cast<float>(arc), frame);
            AppendTooth(comb, p, frame, scale, ClippedRadius(curve, t, limit), limit);
        }
        previous = p;
    }
}

void SizeHeartline() {
    const int32_t segments = std::max<int32_t>(gSegmentCount, 0);
    gHeartline.assign(static_cast<size_t>(segments) + 1, SegmentUpPoints{});
}

void SizeComb() {
    const int32_t segments = std::max<int32_t>(gSegmentCount, 0);
    gRadiusComb.assign(static_cast<size_t>(segments) + 1, RadiusCombSegment{});
}

}  // namespace

void BuildSegmentUpPoints() {
    SizeHeartline();
    // Each segment's points are its own: all segments at once.
    ParallelForEach(0, UsableCombSegmentCount(), [](int64_t i) { BuildSegmentHeartline(static_cast<int32_t>(i)); });
}

void RebuildRadiusComb() {
    if (gDocumentType != DocumentTrack) {
        ClearRadiusComb();
        return;
    }
    BuildSegmentUpPoints();
    SizeComb();
    // Each segment's teeth are its own: all segments at once.
    ParallelForEach(0, UsableCombSegmentCount(), [](int64_t i) { BuildSegmentTeeth(static_cast<int32_t>(i)); });
}

bool PrepareRadiusComb() {
    if (gDocumentType != DocumentTrack) {
        ClearRadiusComb();
        return false;
    }
    SizeHeartline();
    SizeComb();
    return true;
}

void BuildSegmentComb(int32_t segment) {
    BuildSegmentHeartline(segment);
    BuildSegmentTeeth(segment);
}
