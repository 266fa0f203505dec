#include "tools/scene_boundary.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "model/build_pipeline.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "trackdoc/track_document.h"

namespace {

bool SameFloat(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

bool SameVector(const Vector3& a, const Vector3& b) {
    return SameFloat(a.X, b.X) && SameFloat(a.Y, b.Y) && SameFloat(a.Z, b.Z);
}

bool SameNode(const TrackNode& a, const TrackNode& b) {
    return SameVector(a.Position, b.Position) && SameVector(a.ControlIn, b.ControlIn) &&
           SameVector(a.ControlOut, b.ControlOut) && SameFloat(a.Roll, b.Roll) && a.RollEasing == b.RollEasing &&
           a.StrictRoll == b.StrictRoll;
}

int32_t UsableNodeCount() { return std::clamp<int32_t>(gNodeCount, 0, static_cast<int32_t>(gNodes.size())); }

int32_t UsableSegmentCount() {
    return std::clamp<int32_t>(gSegmentCount, 0, static_cast<int32_t>(gSegments.size()));
}

}  // namespace

bool InSceneBox(const Vector3& p) {
    return p.X >= kSceneMinX && p.X <= kSceneMaxX && p.Y >= kSceneMinY && p.Y <= kSceneMaxY && p.Z >= kSceneMinZ &&
           p.Z <= kSceneMaxZ;
}

bool TrackPathFramesCurrent() {
    if (!gSpineInfoValid || !gPathValid) return false;
    const int32_t nodes = UsableNodeCount();
    const int32_t segments = UsableSegmentCount();
    if (gSpineInfoNodeCount != nodes || gSpineInfoSegmentCount != segments || gSpineInfoClosed != gClosedCircuit)
        return false;
    if (static_cast<int32_t>(gSpineInfoNodes.size()) < nodes) return false;
    if (static_cast<int32_t>(gPathMatrixArray.size()) < segments) return false;
    for (int32_t s = 0; s < segments; ++s) {
        const PathSegmentFrames& record = gPathMatrixArray[s];
        if (record.FrameCount < 0 || record.FrameCount > static_cast<int32_t>(record.Frames.size())) return false;
    }
    for (int32_t i = 0; i < nodes; ++i)
        if (!SameNode(gSpineInfoNodes[i], gNodes[i])) return false;
    return true;
}

bool EnsureTrackPathCurrent() {
    if (TrackPathFramesCurrent()) return true;
    if (IsModelBuilding()) return false;
    // The spine copy is taken again, so everything built from it is stale too;
    // the pipeline stops after the path.
    gSpineInfoValid = false;
    gPathValid = false;
    BuildTrackModel(false, true, true);
    return TrackPathFramesCurrent();
}
