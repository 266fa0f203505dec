#pragma once
// Rails and spine tubes: a small cross-section fixed in the track's frame,
// swept along a segment's path frames, successive rings joined by side strips.

#include <cstdint>

#include "trackdoc/math3d.h"

// Sweeps rail `rail` of the settings along `segment`, appending to
// gTrackModel[segment].Rails[rail]. `detail` is the wanted ring spacing in
// metres; it is clamped into the modeler dialog's range.
void ModelRail(int32_t segment, int32_t rail, float detail);
void ModelSpine(int32_t segment, int32_t spine, float detail);

// The profiles write points 0 .. m - 1 of `points` (the frame's local x-y plane,
// PosZ ignored) turned into world space by `frame`.
void MakeRoundRailProfile(const Vector3& position, float size, const Matrix4& frame, Vector3* points);         // m = 5
void MakeSquareProfile(const Vector3& position, float size, const Matrix4& frame, Vector3* points);            // m = 4
void MakePositiveSideRailProfile(const Vector3& position, float size, const Matrix4& frame, Vector3* points);  // m = 6
void MakeNegativeSideRailProfile(const Vector3& position, float size, const Matrix4& frame, Vector3* points);  // m = 6
void MakeSpineProfile(const Vector3& position, float size, const Matrix4& frame, Vector3* points);             // m = 8

// Ring count of a sweep: L / detail rounded half to even, at least 1, and no
// more than a segment inside the simulator's scene needs (SceneSampleCap).
int32_t SweepStepCount(float length, float detail);
