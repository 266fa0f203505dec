#pragma once
// The simulator's scene box and the scene-boundary test of the Move and Scale
// tools: every path point of the track, changed as the tool would change it,
// must stay inside the box (both ends inside) or the tool changes nothing.
//
// The test reads the path frames of the model builder. They are read only
// while they describe the open track as it is; when they are stale or missing
// the path is rebuilt first (EnsureTrackPathCurrent).

#include <algorithm>
#include <cstdint>

#include "model/path_frames.h"
#include "trackdoc/math3d.h"
#include "trackdoc/track_document.h"

inline constexpr float kSceneMinX = -220.0f;
inline constexpr float kSceneMaxX = 220.0f;
inline constexpr float kSceneMinY = 0.0f;
inline constexpr float kSceneMaxY = 150.0f;
inline constexpr float kSceneMinZ = -220.0f;
inline constexpr float kSceneMaxZ = 220.0f;

inline constexpr const char* kSceneBoundaryTitle = "Notice!";
inline constexpr const char* kMoveBoundaryText =
    "Performing this move will cause the track to hit the Vortaxis Scene Boundry causing the track to deform.\r\n"
    "The move has been aborted!";
inline constexpr const char* kScaleBoundaryText =
    "Performing this scale will cause the track to hit the Vortaxis Scene Boundry causing the track to deform.\r\n"
    "The scale has been aborted!";

bool InSceneBox(const Vector3& p);

// True when the builder's spine copy and path frames were made from the open
// track exactly as it is now (same nodes, segment count and circuit), so the
// frames' points are the track's path points.
bool TrackPathFramesCurrent();
// Rebuilds the spine copy and the path frames (only those, through the build
// pipeline) when they are not current. False when they are still not current
// afterwards, which happens only while another build is running.
bool EnsureTrackPathCurrent();

// The test itself over the frames as they stand: every frame point p of every
// segment of the track, changed to change(p), must lie in the scene box.
template <typename Change>
bool PathStaysInScene(Change change) {
    const int32_t segments = std::min<int32_t>(std::clamp<int32_t>(gSegmentCount, 0, int32_t(gSegments.size())),
                                               static_cast<int32_t>(gPathMatrixArray.size()));
    for (int32_t s = 0; s < segments; ++s) {
        const PathSegmentFrames& record = gPathMatrixArray[s];
        const int32_t frames = std::min<int32_t>(record.FrameCount, static_cast<int32_t>(record.Frames.size()));
        for (int32_t k = 0; k < frames; ++k) {
            const Matrix4& f = record.Frames[k].Frame;
            if (!InSceneBox(change(Vector3{f(0, 3), f(1, 3), f(2, 3)}))) return false;
        }
    }
    return true;
}
