#include "model/path_frames.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>

#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/model_budget.h"
#include "model/modeler_settings.h"
#include "model/parallel_build.h"
#include "model/rebuild_flags.h"
#include "model/turn_angles.h"
#include "trackdoc/element_document.h"

int32_t gSpineInfoNodeCount = 0;
std::vector<TrackNode> gSpineInfoNodes(1);
int32_t gSpineInfoSegmentCount = 0;
std::vector<TrackSegment> gSpineInfoSegments(1);
bool gSpineInfoClosed = false;
float gSpineInfoLift = 0.0f;
std::vector<PathSegmentFrames> gPathMatrixArray(1);

namespace {

void MarkSpineExtracted() {
    gSpineInfoValid = true;
    gPathValid = false;
    gTrackModelValid = false;
}

// A difference of angles brought into (-pi, pi] by one turn at most.
double WrapAngle(double v) {
    if (v > kPi) return v - 2.0 * kPi;
    if (v <= -kPi) return v + 2.0 * kPi;
    return v;
}

int Sign(double v) { return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0); }

// Products of a rotation (rows 0 to 2; row 3 is 0 0 0 1) with the elementary
// turns, giving the same values as MatrixMultiply with MatrixRotateY, X or Z
// without the multiplications by 0 and 1. Called three times per frame.
inline float Dot2(float a, float ca, float b, float cb) {
    const double sum = double(a) * ca + double(b) * cb;  // rounded to float once, at the end
    return static_cast<float>(sum);
}

void TurnY(Matrix4& m, const TurnCosSin& turn) {
    const float c = turn.C, s = turn.S;
    for (int i = 0; i < 3; ++i) {
        const float m0 = m(i, 0), m2 = m(i, 2);
        m(i, 0) = Dot2(m0, c, m2, -s);
        m(i, 2) = Dot2(m0, s, m2, c);
    }
}

void TurnX(Matrix4& m, const TurnCosSin& turn) {
    const float c = turn.C, s = turn.S;
    for (int i = 0; i < 3; ++i) {
        const float m1 = m(i, 1), m2 = m(i, 2);
        m(i, 1) = Dot2(m1, c, m2, s);
        m(i, 2) = Dot2(m1, -s, m2, c);
    }
}

void TurnZ(AffineFrame& m, double angle) {
    const float c = static_cast<float>(std::cos(angle)), s = static_cast<float>(std::sin(angle));
    for (int i = 0; i < 3; ++i) {
        const float m0 = m.Cell(i, 0), m1 = m.Cell(i, 1);
        m.Cell(i, 0) = Dot2(m0, c, m1, s);
        m.Cell(i, 1) = Dot2(m0, -s, m1, c);
    }
}

// The step d in the local coordinates of the rotation r: r transposed times d.
Vector3 ToLocal(const Matrix4& r, const Vector3& d) {
    return Vector3{static_cast<float>(double(r(0, 0)) * d.X + double(r(1, 0)) * d.Y + double(r(2, 0)) * d.Z),
                   static_cast<float>(double(r(0, 1)) * d.X + double(r(1, 1)) * d.Y + double(r(2, 1)) * d.Z),
                   static_cast<float>(double(r(0, 2)) * d.X + double(r(1, 2)) * d.Y + double(r(2, 2)) * d.Z)};
}

// The roll weights depend only on the frame number: the bank's share
// (1 - cos(pi t)) / 2 and the two easing bumps sin(pi (1 - t)^2), sin(pi t^2).
struct RollWeights {
    double Bank[kFramesPerSegment];
    double StartBump[kFramesPerSegment];
    double EndBump[kFramesPerSegment];
    RollWeights() {
        for (int k = 0; k < kFramesPerSegment; ++k) {
            const double t = static_cast<float>(k * 0.001);
            Bank[k] = (1.0 - std::cos(kPi * t)) / 2.0;
            StartBump[k] = std::sin(kPi * (1.0 - t) * (1.0 - t));
            EndBump[k] = std::sin(kPi * t * t);
        }
    }
};

const RollWeights& Weights() {
    static const RollWeights weights;
    return weights;
}

}  // namespace

void ClearPathFrames() {
    gSpineInfoNodeCount = 0;
    gSpineInfoNodes = std::vector<TrackNode>(1);
    gSpineInfoSegmentCount = 0;
    gSpineInfoSegments = std::vector<TrackSegment>(1);
    gSpineInfoClosed = false;
    gSpineInfoLift = 0.0f;
    gPathMatrixArray = std::vector<PathSegmentFrames>(1);
}

void ExtractTrackSpine() {
    BuildProgress& busy = BusyWindow();
    const int32_t nodeCount = std::clamp<int32_t>(gNodeCount, 0, static_cast<int32_t>(gNodes.size()));
    gSpineInfoNodes.resize(static_cast<size_t>(nodeCount) + 1);
    for (int32_t i = 0; i < nodeCount; ++i) {
        gSpineInfoNodes[i] = gNodes[i];
        busy.UpdateMarker();
    }
    gSpineInfoNodes[nodeCount] = TrackNode{};
    gSpineInfoNodeCount = nodeCount;

    const int32_t segmentCount = std::clamp<int32_t>(gSegmentCount, 0, static_cast<int32_t>(gSegments.size()));
    gSpineInfoSegments.resize(static_cast<size_t>(segmentCount) + 1);
    for (int32_t i = 0; i < segmentCount; ++i) {
        gSpineInfoSegments[i] = gSegments[i];
        busy.UpdateMarker();
    }
    gSpineInfoSegments[segmentCount] = TrackSegment{};
    gSpineInfoClosed = gClosedCircuit;
    gSpineInfoLift = 0.0f;
    gSpineInfoSegmentCount = segmentCount;
    MarkSpineExtracted();
}

void ExtractElementSpine() {
    BuildProgress& busy = BusyWindow();
    const int32_t nodeCount =
        std::clamp<int32_t>(gElementNodeCount, 0, static_cast<int32_t>(gElementNodes.size()));
    float lowest = 0.0f;
    for (int32_t i = 0; i < nodeCount; ++i)
        if (gElementNodes[i].Position.Y < lowest) lowest = gElementNodes[i].Position.Y;
    const float lift = static_cast<float>(1.0 - lowest);

    gSpineInfoNodes.resize(static_cast<size_t>(nodeCount) + 1);
    for (int32_t i = 0; i < nodeCount; ++i) {
        TrackNode node = gElementNodes[i];
        node.Position.Y = static_cast<float>(double(node.Position.Y) + lift);
        node.ControlIn.Y = static_cast<float>(double(node.ControlIn.Y) + lift);
        node.ControlOut.Y = static_cast<float>(double(node.ControlOut.Y) + lift);
        gSpineInfoNodes[i] = node;
        busy.UpdateMarker();
    }
    gSpineInfoNodes[nodeCount] = TrackNode{};
    gSpineInfoNodeCount = nodeCount;

    // An element is a chain: one segment fewer than nodes, of the normal kind,
    // without colours of its own or tunnels.
    const int32_t segmentCount = std::max<int32_t>(0, nodeCount - 1);
    gSpineInfoSegments.assign(static_cast<size_t>(segmentCount) + 1, TrackSegment{});
    for (int32_t i = 0; i < segmentCount; ++i) busy.UpdateMarker();
    gSpineInfoSegmentCount = segmentCount;
    gSpineInfoClosed = false;
    gSpineInfoLift = lift;
    MarkSpineExtracted();
}

namespace {

void EmptyRecord(PathSegmentFrames& record) {
    record.Frames = std::vector<PathFrame>();
    record.FrameCount = 0;
    record.Length = 0.0f;
}

// The two nodes of segment s; false (the record emptied) when there is no curve.
bool SegmentNodes(int32_t s, const TrackNode*& start, const TrackNode*& end, int32_t& next) {
    if (s >= gSpineInfoNodeCount) {
        // More segments than nodes: there is no curve to sample.
        EmptyRecord(gPathMatrixArray[s]);
        return false;
    }
    next = s + 1 < gSpineInfoNodeCount ? s + 1 : 0;
    start = &gSpineInfoNodes[s];
    end = &gSpineInfoNodes[next];
    return true;
}

// First pass, independent per segment: the curve points of the 1000 frames
// (their translations) and the arc length to each.
void SampleSegmentCurve(int32_t s) {
    const TrackNode* start;
    const TrackNode* end;
    int32_t n;
    if (!SegmentNodes(s, start, end, n)) return;
    PathSegmentFrames& record = gPathMatrixArray[s];
    const Vector3 p0 = start->Position, p1 = start->ControlOut, p2 = end->ControlIn, p3 = end->Position;
    record.Frames.resize(kFramesPerSegment);
    record.FrameCount = kFramesPerSegment;
    PathFrame& first = record.Frames[0];
    first.Frame.SetTranslation(p0);
    first.Distance = 0.0f;
    Vector3 previous = p0;
    float length = 0.0f;
    for (int32_t i = 1; i < kFramesPerSegment; ++i) {
        const float t = static_cast<float>(i * 0.001);
        const Vector3 p = BezierPoint(p0, p1, p3, p2, t);
        length = static_cast<float>(double(length) + VectorDistance(previous, p));
        PathFrame& f = record.Frames[i];
        f.Frame.SetTranslation(p);
        f.Distance = length;
        previous = p;
    }
    record.Length = length;
}

// How the frames of a segment are banked: roll(k) = Bank[k] target -
// 2 wS StartBump[k] sumA / 30 - 2 wN EndBump[k] sumC / 30, not at all when
// the target is 0.
struct RollPlan {
    double Target = 0.0, WS = 0.0, WN = 0.0, SumA = 0.0, SumC = 0.0;
};

void RollFrame(PathFrame& f, const RollPlan& plan, int32_t k) {
    const RollWeights& w = Weights();
    const float roll = static_cast<float>(w.Bank[k] * plan.Target - 2.0 * plan.WS * w.StartBump[k] * plan.SumA / 30.0 -
                                          2.0 * plan.WN * w.EndBump[k] * plan.SumC / 30.0);
    TurnZ(f.Frame, roll);  // rows 0 to 2 of columns 0 to 2 only: the translation stays
}

// Second pass, in segment order (each segment starts from the banked last
// frame of the one before): the orientations of the sampled frames, the roll
// plan, and the roll of the last frame, which the next segment starts from.
RollPlan OrientSegmentFrames(int32_t s) {
    RollPlan plan;
    const TrackNode* startNode;
    const TrackNode* endNode;
    int32_t n;
    if (!SegmentNodes(s, startNode, endNode, n)) return plan;
    const TrackNode& start = *startNode;
    const TrackNode& end = *endNode;
    const int32_t nodeCount = gSpineInfoNodeCount;
    PathSegmentFrames& record = gPathMatrixArray[s];

    // Start orientation: from the first control point, or carried on from the
    // end of the segment before.
    Matrix4 r;
    const PathSegmentFrames* before = s > 0 ? &gPathMatrixArray[s - 1] : nullptr;
    if (before && before->FrameCount > 0) {
        r = before->Frames[before->FrameCount - 1].Rotation();
    } else {
        const Vector3 d = VectorFromTo(start.Position, start.ControlOut);
        const float pitch = static_cast<float>(
            ArcTan2(d.Y, std::sqrt(double(d.Z) * d.Z + double(d.X) * d.X)));
        const float heading = static_cast<float>(ArcTan2(-double(d.X), -double(d.Z)));
        r = MatrixMultiply(MatrixMultiply(MatrixRotateY(heading), MatrixRotateX(pitch)),
                           MatrixRotateZ(start.Roll));
    }
    PathFrame* frames = record.Frames.data();
    frames[0].Frame = MatrixSetTranslation(r, MatrixGetTranslation(frames[0].Frame));

    // Each frame turns the one before by the smallest turn (heading, then
    // pitch in its own axes) that points its -Z along the step to the sample.
    Vector3 previous = MatrixGetTranslation(frames[0].Frame);
    for (int32_t i = 1; i < kFramesPerSegment; ++i) {
        const Vector3 p = MatrixGetTranslation(frames[i].Frame);
        const Vector3 d = VectorFromTo(previous, p);
        const Vector3 l = ToLocal(r, d);
        // The turns' cosines and sines straight from the step, without the
        // angles (the same bits as from the angles).
        TurnCosSin heading, pitch;
        TurnsTowardStep(l, heading, pitch);
        TurnY(r, heading);
        TurnX(r, pitch);
        frames[i].Frame = MatrixSetTranslation(r, p);
        previous = p;
    }

    // Roll: bank the transported frames toward the end node's roll, with the
    // easing bumps of the nodes that ask for them.
    const int32_t u = s > 0 ? s - 1 : nodeCount - 1;
    const int32_t q = n + 1 < nodeCount ? n + 1 : 0;
    const TrackNode& nodeU = gSpineInfoNodes[u];
    const TrackNode& nodeQ = gSpineInfoNodes[q];
    const double rs = start.Roll, rn = end.Roll, ru = nodeU.Roll, rq = nodeQ.Roll;
    plan.WS = start.RollEasing ? 1.0 : 0.0;
    plan.WN = end.RollEasing ? 1.0 : 0.0;
    const double dA = start.StrictRoll ? -rs : WrapAngle(ru - rs);
    const double dB = end.StrictRoll ? -rn : WrapAngle(rs - rn);
    const double dC = nodeQ.StrictRoll ? -rq : WrapAngle(rn - rq);
    plan.SumA = dA + dB;
    plan.SumC = -(dC + dB);

    double target;
    if (end.StrictRoll) {
        target = rn;
    } else {
        const AffineFrame& last = frames[kFramesPerSegment - 1].Frame;
        constexpr double kLimit = 4.5378561;  // 260 degrees
        const float e = static_cast<float>(ArcTan2(last(1, 0), last(1, 1)));
        const float d1 = static_cast<float>(rn - e);
        const float d2 = static_cast<float>(rn - (double(e) + 2.0 * kPi));
        float d3 = 9999.0f;
        if (Sign(rn) != Sign(e) && std::fabs(d1) > kLimit) {
            d3 = static_cast<float>(std::fabs(rn) - std::fabs(double(e)));
            if (rn - e < 0.0) d3 = -d3;
        }
        if (std::fabs(d3) < std::fabs(d1) && std::fabs(d3) < std::fabs(d2))
            target = d3;
        else if (d1 <= kLimit)
            target = d1;
        else if (std::fabs(d2) <= std::fabs(d1))
            target = d2;
        else
            target = d1;
    }
    plan.Target = target;
    if (target != 0.0) RollFrame(frames[kFramesPerSegment - 1], plan, kFramesPerSegment - 1);
    return plan;
}

// Third pass, independent per segment: the roll of every frame but the last.
void RollSegmentFrames(int32_t s, const RollPlan& plan) {
    if (plan.Target == 0.0) return;
    PathSegmentFrames& record = gPathMatrixArray[s];
    if (record.FrameCount < kFramesPerSegment) return;
    for (int32_t k = 0; k < kFramesPerSegment - 1; ++k) RollFrame(record.Frames[k], plan, k);
}

}  // namespace

void BuildPathMatrixArray() { BuildPathMatrixArray(std::function<void(int32_t)>()); }

void BuildPathMatrixArray(const std::function<void(int32_t)>& segmentFinal) {
    if (gSpineInfoSegmentCount < 1) {
        gPathMatrixArray.assign(1, PathSegmentFrames{});
        gPathValid = true;
        return;
    }
    gPathMatrixArray.resize(static_cast<size_t>(gSpineInfoSegmentCount));
    BuildProgress& busy = BusyWindow();
    // Segments past the budget's limit get an empty record: nothing is built along them.
    const int32_t segments = gSpineInfoSegmentCount;
    const int32_t limit = std::clamp<int32_t>(gModelBudgetLimits.PathSegments, 0, segments);
    for (int32_t s = limit; s < segments; ++s) EmptyRecord(gPathMatrixArray[s]);
    // Three passes overlapped: the curve points of the segments are sampled
    // on all cores in segment order; this thread orients each segment as soon
    // as its points are there (the orientations run on from segment to
    // segment: the one part in order) and steps the marker; each segment's
    // roll is handed to the other cores once its plan is known. The marker
    // lets the window system deliver events while other cores write frames
    // (and the comb): the preview draws none of them meanwhile, since a path
    // is built only after the spine copy was taken afresh, which left the
    // path and the track model invalid.
    std::vector<RollPlan> plans(static_cast<size_t>(limit));
    // A segment's frames are final once it and the segment after it (whose
    // first frame its lookups past the end return) are rolled: `waiting`
    // counts the rolls each segment still waits for.
    const auto after = [&](int32_t s) -> int32_t {
        const int32_t n = s + 1 < segments ? s + 1 : (gSpineInfoClosed ? 0 : -1);
        return n >= 0 && n < limit && n != s ? n : -1;
    };
    std::unique_ptr<std::atomic<int32_t>[]> waiting;
    if (segmentFinal) {
        waiting.reset(new std::atomic<int32_t>[static_cast<size_t>(limit)]);
        for (int32_t s = 0; s < limit; ++s) waiting[s].store(after(s) >= 0 ? 2 : 1, std::memory_order_relaxed);
    }
    const auto rolled = [&](int32_t s) {
        if (!segmentFinal) return;
        const int32_t before = s > 0 ? s - 1 : (gSpineInfoClosed ? segments - 1 : -1);
        if (waiting[s].fetch_sub(1, std::memory_order_acq_rel) == 1) segmentFinal(s);
        if (before >= 0 && before < limit && before != s && after(before) == s &&
            waiting[before].fetch_sub(1, std::memory_order_acq_rel) == 1)
            segmentFinal(before);
    };
    BuildTaskGroup group;
    ParallelInOrder(
        0, limit, [](int64_t s) { SampleSegmentCurve(static_cast<int32_t>(s)); },
        [&](int64_t k) {
            const int32_t s = static_cast<int32_t>(k);
            plans[s] = OrientSegmentFrames(s);
            group.Run([&plans, &rolled, s] {
                RollSegmentFrames(s, plans[s]);
                rolled(s);
            });
            busy.UpdateMarker();
        },
        group);
    for (int32_t s = limit; s < segments; ++s) busy.UpdateMarker();
    gPathValid = true;
}

void BuildSegmentFrames(int32_t s) {
    if (s < 0 || s >= gSpineInfoSegmentCount || s >= static_cast<int32_t>(gPathMatrixArray.size())) return;
    SampleSegmentCurve(s);
    RollSegmentFrames(s, OrientSegmentFrames(s));
}

bool GetPathMatrixAt(int32_t s, float distance, Matrix4& frame) {
    if (s < 0 || s >= gSpineInfoSegmentCount || s >= static_cast<int32_t>(gPathMatrixArray.size())) return false;
    if (!(distance >= 0.0f)) return false;  // negative or NaN
    const PathSegmentFrames& record = gPathMatrixArray[s];
    if (record.FrameCount < 1) return false;

    if (distance > record.Length) {
        int32_t next = s + 1;
        if (next >= gSpineInfoSegmentCount) {
            if (!gSpineInfoClosed) return false;
            next = 0;
        }
        if (next >= static_cast<int32_t>(gPathMatrixArray.size())) return false;
        const PathSegmentFrames& following = gPathMatrixArray[next];
        if (following.FrameCount < 1) return false;
        frame = following.Frames[0].Frame;
        return true;
    }

    // The first frame at or beyond the distance. The distances never decrease,
    // so a search finds the same frame as a scan from frame 0; builders mostly
    // ask in order along a segment, so the scan goes on from where the last
    // lookup on this thread ended when that lies before the distance, and only
    // searches what a few steps do not reach. (Distances that are not numbers
    // have no order: such a segment is always searched from its start.)
    const PathFrame* frames = record.Frames.data();
    const int32_t count = record.FrameCount;
    const auto before = [](const PathFrame& f, float value) { return f.Distance < value; };
    int32_t k;
    thread_local const PathFrame* tLastFrames = nullptr;
    thread_local int32_t tLastIndex = 0;
    if (tLastFrames == frames && tLastIndex > 0 && tLastIndex < count && record.Length == record.Length &&
        frames[tLastIndex - 1].Distance < distance) {
        constexpr int32_t kWalk = 16;
        k = tLastIndex;
        const int32_t stop = std::min(count, k + kWalk);
        while (k < stop && frames[k].Distance < distance) ++k;
        if (k == stop && k < count) k = static_cast<int32_t>(std::lower_bound(frames + k, frames + count, distance, before) - frames);
    } else {
        k = static_cast<int32_t>(std::lower_bound(frames, frames + count, distance, before) - frames);
    }
    if (k == count) --k;
    tLastFrames = frames;
    tLastIndex = k;
    const PathFrame* it = frames + k;
    if (it->Distance == distance || k == 0) {
        frame = it->Frame;
        return true;
    }
    const PathFrame& a = record.Frames[k - 1];
    const PathFrame& b = record.Frames[k];
    const float f = static_cast<float>((double(distance) - a.Distance) / (double(b.Distance) - a.Distance));
    const Quaternion qa = MatrixToQuat(a.Frame), qb = MatrixToQuat(b.Frame);
    const Matrix4 turned = QuatToMatrix(QuatSlerp(qa, qb, f));
    frame = MatrixSetTranslation(turned, VectorLerp(MatrixGetTranslation(a.Frame), MatrixGetTranslation(b.Frame), f));
    return true;
}

bool GetPrefabSupportFrame(Matrix4& frame, int32_t s, int32_t item) {
    frame = Matrix4{};
    if (s < 0 || s >= gRascGroupCount || s >= static_cast<int32_t>(gRascGroups.size())) return false;
    const RascGroup& group = gRascGroups[s];
    if (item < 0 || item >= group.ItemCount || item >= static_cast<int32_t>(group.Items.size())) return false;
    if (s >= static_cast<int32_t>(gPathMatrixArray.size())) return true;  // no path there: the zero frame
    const float distance = static_cast<float>(double(gPathMatrixArray[s].Length) * group.Items[item].Position);
    GetPathMatrixAt(s, distance, frame);
    return true;
}

bool GetPrefabSupportAnchor(Vector3& point, int32_t s, int32_t item) {
    Matrix4 frame;
    if (!GetPrefabSupportFrame(frame, s, item)) return false;
    const ModelerSettings& m = BuildSettings();
    const float y = m.gSpineCount >= 1 && !m.gSpines.empty() ? m.gSpines[0].PosY : 0.0f;
    point = MatrixTransformPoint(frame, MakeVector(0.0f, y, 0.0f));
    return true;
}
