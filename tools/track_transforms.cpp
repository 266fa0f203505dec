#include "tools/track_transforms.h"

#include <algorithm>
#include <cstdint>

#include "platform/prompts.h"
#include "tools/scene_boundary.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/track_document.h"

namespace {

template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return std::clamp<int32_t>(count, 0, static_cast<int32_t>(records.size()));
}

// Applies f to every point the tools change: each node's three points, and with
// supports each free node and each footer's position (footer is called after
// the point change of a footer, for Scale's floor rule).
template <typename F>
void ForEachTrackPoint(bool withSupports, F f) {
    for (int32_t i = 0, n = Used(gNodeCount, gNodes); i < n; ++i) {
        TrackNode& node = gNodes[i];
        node.Position = f(node.Position);
        node.ControlIn = f(node.ControlIn);
        node.ControlOut = f(node.ControlOut);
    }
    if (!withSupports) return;
    for (int32_t i = 0, n = Used(gFreeNodeCount, gFreeNodes); i < n; ++i) gFreeNodes[i] = f(gFreeNodes[i]);
    for (int32_t i = 0, n = Used(gFooterCount, gFooters); i < n; ++i) gFooters[i].Position = f(gFooters[i].Position);
}

}  // namespace

void TranslateTrack(const Vector3& v, bool withSupports) {
    ForEachTrackPoint(withSupports, [&](const Vector3& p) { return VectorAdd(p, v); });
}

void ScaleTrack(const Vector3& s, bool withSupports) {
    ForEachTrackPoint(false, [&](const Vector3& p) { return VectorMultiply(p, s); });
    if (!withSupports) return;
    for (int32_t i = 0, n = Used(gFreeNodeCount, gFreeNodes); i < n; ++i)
        gFreeNodes[i] = VectorMultiply(gFreeNodes[i], s);
    for (int32_t i = 0, n = Used(gFooterCount, gFooters); i < n; ++i) {
        Vector3& p = gFooters[i].Position;
        p = VectorMultiply(p, s);
        p.Y = 0.0f;
    }
}

void TransformTrack(const Matrix4& m, bool withSupports) {
    ForEachTrackPoint(withSupports, [&](const Vector3& p) { return MatrixTransformPoint(m, p); });
}

void MirrorTrack(bool mirrorX, bool mirrorZ, bool withSupports) {
    if (mirrorX) ForEachTrackPoint(withSupports, [](Vector3 p) { p.X = -p.X; return p; });
    if (mirrorZ) ForEachTrackPoint(withSupports, [](Vector3 p) { p.Z = -p.Z; return p; });
}

Vector3 ScaleFactors(const TrackScaleOptions& options) {
    return MakeVector(static_cast<float>(options.Percent[0] / 100.0), static_cast<float>(options.Percent[1] / 100.0),
                      static_cast<float>(options.Percent[2] / 100.0));
}

bool RunTrackScale(const TrackScaleOptions& options) {
    const Vector3 s = ScaleFactors(options);
    if (!EnsureTrackPathCurrent()) return false;
    if (!PathStaysInScene([&](const Vector3& p) { return VectorMultiply(p, s); })) {
        MsgBox(kScaleBoundaryText, kSceneBoundaryTitle, MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    ScaleTrack(s, options.ScaleSupports);
    FinishToolEdit(AllFlagsButGround());
    return true;
}

Matrix4 TrackRotation(const TrackRotateOptions& options) {
    const double degrees = options.ClockWise ? -options.Degrees : options.Degrees;
    return MatrixRotateY(DegToRad(degrees));
}

bool RunTrackRotate(const TrackRotateOptions& options) {
    TransformTrack(TrackRotation(options), options.RotateSupports);
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool MirrorOkEnabled(bool mirrorX, bool mirrorZ) { return mirrorX || mirrorZ; }

bool RunTrackMirror(const TrackMirrorOptions& options) {
    if (!MirrorOkEnabled(options.MirrorX, options.MirrorZ)) return false;
    MirrorTrack(options.MirrorX, options.MirrorZ, options.MirrorSupports);
    FinishToolEdit(AllFlagsButGround());
    return true;
}
