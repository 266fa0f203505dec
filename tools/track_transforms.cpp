#include "tools/track_transforms.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/prompts.h"
#include "tools/finite_coordinates.h"
#include "tools/scene_boundary.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/track_document.h"

namespace {

template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    return std::clamp<int32_t>(count, 0, static_cast<int32_t>(records.size()));
}

template <typename T>
std::vector<T> UsedCopy(int32_t count, const std::vector<T>& records) {
    return {records.begin(), records.begin() + Used(count, records)};
}

// Works out f of every point the tools change, apart from the document: each
// node's three points, and with supports each free node and each footer's
// position (put on y = 0 afterwards when floorFooters, Scale's rule). The
// results go into the document only when every coordinate is finite; false,
// nothing changed, otherwise.
template <typename F>
bool ChangeTrackPoints(bool withSupports, F f, bool floorFooters = false) {
    std::vector<TrackNode> nodes = UsedCopy(gNodeCount, gNodes);
    for (TrackNode& node : nodes) {
        node.Position = f(node.Position);
        node.ControlIn = f(node.ControlIn);
        node.ControlOut = f(node.ControlOut);
    }
    std::vector<Vector3> freeNodes;
    std::vector<TrackFooter> footers;
    if (withSupports) {
        freeNodes = UsedCopy(gFreeNodeCount, gFreeNodes);
        for (Vector3& p : freeNodes) p = f(p);
        footers = UsedCopy(gFooterCount, gFooters);
        for (TrackFooter& footer : footers) {
            footer.Position = f(footer.Position);
            if (floorFooters) footer.Position.Y = 0.0f;
        }
    }
    if (!AllFinite(nodes) || !AllFinite(freeNodes) || !AllFinite(footers)) return false;
    std::copy(nodes.begin(), nodes.end(), gNodes.begin());
    std::copy(freeNodes.begin(), freeNodes.end(), gFreeNodes.begin());
    std::copy(footers.begin(), footers.end(), gFooters.begin());
    return true;
}

}  // namespace

bool TranslateTrack(const Vector3& v, bool withSupports) {
    return ChangeTrackPoints(withSupports, [&](const Vector3& p) { return VectorAdd(p, v); });
}

bool ScaleTrack(const Vector3& s, bool withSupports) {
    return ChangeTrackPoints(withSupports, [&](const Vector3& p) { return VectorMultiply(p, s); }, true);
}

bool TransformTrack(const Matrix4& m, bool withSupports) {
    return ChangeTrackPoints(withSupports, [&](const Vector3& p) { return MatrixTransformPoint(m, p); });
}

bool MirrorTrack(bool mirrorX, bool mirrorZ, bool withSupports) {
    return ChangeTrackPoints(withSupports, [&](Vector3 p) {
        if (mirrorX) p.X = -p.X;
        if (mirrorZ) p.Z = -p.Z;
        return p;
    });
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
    if (!ScaleTrack(s, options.ScaleSupports)) {
        NotFiniteNotice("scale", "track");
        return false;
    }
    FinishToolEdit(AllFlagsButGround());
    return true;
}

Matrix4 TrackRotation(const TrackRotateOptions& options) {
    const double degrees = options.ClockWise ? -options.Degrees : options.Degrees;
    return MatrixRotateY(DegToRad(degrees));
}

bool RunTrackRotate(const TrackRotateOptions& options) {
    if (!TransformTrack(TrackRotation(options), options.RotateSupports)) {
        NotFiniteNotice("rotation", "track");
        return false;
    }
    FinishToolEdit(AllFlagsButGround());
    return true;
}

bool MirrorOkEnabled(bool mirrorX, bool mirrorZ) { return mirrorX || mirrorZ; }

bool RunTrackMirror(const TrackMirrorOptions& options) {
    if (!MirrorOkEnabled(options.MirrorX, options.MirrorZ)) return false;
    if (!MirrorTrack(options.MirrorX, options.MirrorZ, options.MirrorSupports)) {
        NotFiniteNotice("mirroring", "track");
        return false;
    }
    FinishToolEdit(AllFlagsButGround());
    return true;
}
