#pragma once
// The simulator's scene box and the scene-boundary test of the Move and Scale
// tools: every path point of the track, changed as the tool would change it,
// must stay inside the box (both ends inside) or the tool changes nothing.
//
// The test reads the path frames of the model builder. They are read only
// while they describe the open track as it is; when they are stale or missing
// the path is rebuilt first (EnsureTrackPathCurrent).

#include <functional>

#include "trackdoc/math3d.h"

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

using PointChange = std::function<Vector3(const Vector3&)>;
// The test itself over the frames as they stand: every frame point p of every
// segment of the track, changed to change(p), must lie in the scene box.
bool PathStaysInScene(const PointChange& change);
