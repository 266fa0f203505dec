#include "tools/element_transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/prompts.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/element_document.h"

namespace {

int32_t ElementNodes() {
    return std::clamp<int32_t>(gElementNodeCount, 0, static_cast<int32_t>(gElementNodes.size()));
}

template <typename F>
void ForEachElementPoint(F f) {
    for (int32_t i = 0, n = ElementNodes(); i < n; ++i) {
        TrackNode& node = gElementNodes[i];
        node.Position = f(node.Position);
        node.ControlIn = f(node.ControlIn);
        node.ControlOut = f(node.ControlOut);
    }
}

RemodelFlags PathAndTrack() {
    RemodelFlags f;
    f.RebuildPath = true;
    f.RebuildTrack = true;
    return f;
}

}  // namespace

Matrix4 ReverseRotation(const TrackNode& last) {
    const Vector3 d = VectorFromTo(last.Position, last.ControlIn);
    const double heading = ArcTan2(-double(d.X), -double(d.Z));
    const double pitch = ArcTan2(d.Y, std::sqrt(double(d.X) * d.X + double(d.Z) * d.Z));
    return MatrixMultiply(MatrixRotateX(-pitch), MatrixRotateY(-heading));
}

bool ReverseElement() {
    const int32_t n = ElementNodes();
    if (n < 2) return false;
    const std::vector<TrackNode> work(gElementNodes.begin(), gElementNodes.begin() + n);
    const TrackNode& last = work[n - 1];
    const Matrix4 m = MatrixMultiply(ReverseRotation(last), MatrixTranslateV(VectorNegate(last.Position)));
    for (int32_t i = 0; i < n; ++i) {
        const TrackNode& from = work[n - 1 - i];
        TrackNode& to = gElementNodes[i];
        to = from;
        to.Position = MatrixTransformPoint(m, from.Position);
        to.ControlIn = MatrixTransformPoint(m, from.ControlOut);
        to.ControlOut = MatrixTransformPoint(m, from.ControlIn);
        to.Roll = -from.Roll;
    }
    // An element starts at the origin; the transform's rounding must not move it.
    gElementNodes[0].Position = Vector3{};
    return true;
}

void ScaleElement(const Vector3& s) {
    ForEachElementPoint([&](const Vector3& p) { return VectorMultiply(p, s); });
}

void TransformElement(const Matrix4& m) {
    ForEachElementPoint([&](const Vector3& p) { return MatrixTransformPoint(m, p); });
}

double ElementHeightRange() {
    float lowest = 9999.0f, highest = -9999.0f;
    for (int32_t i = 0, n = ElementNodes(); i < n; ++i) {
        lowest = std::min(lowest, gElementNodes[i].Position.Y);
        highest = std::max(highest, gElementNodes[i].Position.Y);
    }
    return double(highest) - lowest;
}

bool SkewElement(double sideways, double forward) {
    const double h = ElementHeightRange();
    if ((sideways != 0.0 || forward != 0.0) && h == 0.0) return false;
    if (sideways != 0.0)
        ForEachElementPoint([&](Vector3 p) {
            p.X = static_cast<float>(p.X + p.Y / h * sideways);
            return p;
        });
    if (forward != 0.0)
        ForEachElementPoint([&](Vector3 p) {
            p.Z = static_cast<float>(p.Z + p.Y / h * forward);
            return p;
        });
    return true;
}

bool ReverseOkEnabled() { return ElementNodes() >= 2; }

bool RunElementReverse() {
    if (!ReverseElement()) return false;
    RemodelFlags flags = PathAndTrack();
    flags.Recolor = true;
    FinishToolEdit(flags);
    return true;
}

bool RunElementScale(const ElementScaleOptions& options) {
    ScaleElement(MakeVector(static_cast<float>(options.Percent[0] / 100.0),
                            static_cast<float>(options.Percent[1] / 100.0),
                            static_cast<float>(options.Percent[2] / 100.0)));
    FinishToolEdit(PathAndTrack());
    return true;
}

bool RunElementPitch(double degrees) {
    TransformElement(MatrixRotateX(DegToRad(degrees)));
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool RunElementTilt(double degrees) {
    TransformElement(MatrixRotateZ(DegToRad(degrees)));
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool RunElementSkew(const ElementSkewOptions& options) {
    if (!SkewElement(options.RightLeft, options.FrontBack)) {
        MsgBox(kSkewFlatText, kSkewFlatTitle, MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    FinishToolEdit(PathAndTrack());
    return true;
}
