#include "tools/element_transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/prompts.h"
#include "tools/finite_coordinates.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/element_document.h"

namespace {

// An end of Reverse whose level part is below this share of its length
// leaves upright: a level part that small is mostly the rounding of the
// coordinates it is taken from (a float of some metres is rounded by about a
// ten-millionth of its size), and a heading taken from it is arbitrary.
constexpr double kUprightShare = 1e-3;
// A height range below this share of the element's extent is no height for
// Skew: what is left there is rounding.
constexpr double kFlatShare = 1e-6;

int32_t ElementNodes() {
    return std::clamp<int32_t>(gElementNodeCount, 0, static_cast<int32_t>(gElementNodes.size()));
}

std::vector<TrackNode> ElementCopy() { return {gElementNodes.begin(), gElementNodes.begin() + ElementNodes()}; }

// The worked-out nodes go into the element only when every coordinate is finite.
bool CommitElementNodes(const std::vector<TrackNode>& nodes) {
    if (!AllFinite(nodes)) return false;
    std::copy(nodes.begin(), nodes.end(), gElementNodes.begin());
    return true;
}

template <typename F>
bool ChangeElementPoints(F f) {
    std::vector<TrackNode> nodes = ElementCopy();
    for (TrackNode& node : nodes) {
        node.Position = f(node.Position);
        node.ControlIn = f(node.ControlIn);
        node.ControlOut = f(node.ControlOut);
    }
    return CommitElementNodes(nodes);
}

RemodelFlags PathAndTrack() {
    RemodelFlags f;
    f.RebuildPath = true;
    f.RebuildTrack = true;
    return f;
}

}  // namespace

Matrix4 ReverseRotation(const TrackNode& last, const Vector3& first) {
    const Vector3 d = VectorFromTo(last.Position, last.ControlIn);
    const double level = std::sqrt(double(d.X) * d.X + double(d.Z) * d.Z);
    const double length = std::sqrt(level * level + double(d.Y) * d.Y);
    // A direction (almost) straight up or down has no heading of its own:
    // what is left in its X and Z is mostly rounding, and a heading taken from
    // that turns an element lying in an upright plane out of it. The level way
    // back to the first node stands in for it (no turn where that has none
    // either), which keeps such an element in its plane.
    if (!(length > 0.0 && level < kUprightShare * length)) {
        const double heading = ArcTan2(-double(d.X), -double(d.Z));
        return MatrixMultiply(MatrixRotateX(-ArcTan2(d.Y, level)), MatrixRotateY(-heading));
    }
    const double heading = ArcTan2(-(double(first.X) - last.Position.X), -(double(first.Z) - last.Position.Z));
    // The turn about Y takes the level direction (-sin, -cos) of the heading
    // to -Z; the pitch then takes the part of d along it, whichever way d
    // leans, so that d itself ends on -Z.
    const double along = -(d.X * std::sin(heading) + d.Z * std::cos(heading));
    return MatrixMultiply(MatrixRotateX(-ArcTan2(d.Y, along)), MatrixRotateY(-heading));
}

bool ReverseElement() {
    const int32_t n = ElementNodes();
    if (n < 2) return false;
    const std::vector<TrackNode> work = ElementCopy();
    const TrackNode& last = work[n - 1];
    const Matrix4 m =
        MatrixMultiply(ReverseRotation(last, work[0].Position), MatrixTranslateV(VectorNegate(last.Position)));
    std::vector<TrackNode> nodes(work.size());
    for (int32_t i = 0; i < n; ++i) {
        const TrackNode& from = work[n - 1 - i];
        TrackNode& to = nodes[i];
        to = from;
        to.Position = MatrixTransformPoint(m, from.Position);
        to.ControlIn = MatrixTransformPoint(m, from.ControlOut);
        to.ControlOut = MatrixTransformPoint(m, from.ControlIn);
        to.Roll = -from.Roll;
    }
    // An element starts at the origin; the transform's rounding must not move it.
    nodes[0].Position = Vector3{};
    return CommitElementNodes(nodes);
}

bool ScaleElement(const Vector3& s) {
    return ChangeElementPoints([&](const Vector3& p) { return VectorMultiply(p, s); });
}

bool TransformElement(const Matrix4& m) {
    return ChangeElementPoints([&](const Vector3& p) { return MatrixTransformPoint(m, p); });
}

double ElementHeightRange() {
    float lowest = 9999.0f, highest = -9999.0f;
    for (int32_t i = 0, n = ElementNodes(); i < n; ++i) {
        lowest = std::min(lowest, gElementNodes[i].Position.Y);
        highest = std::max(highest, gElementNodes[i].Position.Y);
    }
    return double(highest) - lowest;
}

double ElementExtent() {
    const int32_t n = ElementNodes();
    if (n == 0) return 0.0;
    Vector3 low = gElementNodes[0].Position, high = low;
    for (int32_t i = 1; i < n; ++i) {
        const Vector3& p = gElementNodes[i].Position;
        low = MakeVector(std::min(low.X, p.X), std::min(low.Y, p.Y), std::min(low.Z, p.Z));
        high = MakeVector(std::max(high.X, p.X), std::max(high.Y, p.Y), std::max(high.Z, p.Z));
    }
    return std::max({double(high.X) - low.X, double(high.Y) - low.Y, double(high.Z) - low.Z});
}

bool ElementIsFlat() {
    const double h = ElementHeightRange();
    return h == 0.0 || (h > 0.0 && h < kFlatShare * ElementExtent());
}

bool SkewElement(double sideways, double forward) {
    if (sideways == 0.0 && forward == 0.0) return true;
    if (ElementIsFlat()) return false;
    const double h = ElementHeightRange();
    return ChangeElementPoints([&](Vector3 p) {
        if (sideways != 0.0) p.X = static_cast<float>(p.X + p.Y / h * sideways);
        if (forward != 0.0) p.Z = static_cast<float>(p.Z + p.Y / h * forward);
        return p;
    });
}

bool ReverseOkEnabled() { return ElementNodes() >= 2; }

bool RunElementReverse() {
    if (!ReverseOkEnabled()) return false;
    if (!ReverseElement()) {
        NotFiniteNotice("reversal", "element");
        return false;
    }
    RemodelFlags flags = PathAndTrack();
    flags.Recolor = true;
    FinishToolEdit(flags);
    return true;
}

bool RunElementScale(const ElementScaleOptions& options) {
    if (!ScaleElement(MakeVector(static_cast<float>(options.Percent[0] / 100.0),
                                 static_cast<float>(options.Percent[1] / 100.0),
                                 static_cast<float>(options.Percent[2] / 100.0)))) {
        NotFiniteNotice("scale", "element");
        return false;
    }
    FinishToolEdit(PathAndTrack());
    return true;
}

bool RunElementPitch(double degrees) {
    if (!TransformElement(MatrixRotateX(DegToRad(degrees)))) {
        NotFiniteNotice("pitch", "element");
        return false;
    }
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool RunElementTilt(double degrees) {
    if (!TransformElement(MatrixRotateZ(DegToRad(degrees)))) {
        NotFiniteNotice("tilt", "element");
        return false;
    }
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool RunElementSkew(const ElementSkewOptions& options) {
    if ((options.RightLeft != 0.0 || options.FrontBack != 0.0) && ElementIsFlat()) {
        MsgBox(kSkewFlatText, kSkewFlatTitle, MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    if (!SkewElement(options.RightLeft, options.FrontBack)) {
        NotFiniteNotice("skew", "element");
        return false;
    }
    FinishToolEdit(PathAndTrack());
    return true;
}
