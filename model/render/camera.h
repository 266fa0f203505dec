#pragma once
// The preview's fly camera: an eye position in world metres, three turning
// angles in degrees, a box the position may not leave, and a default pose to
// return to. Display-free: the preview builds its view transform from this
// state, the main window's input moves it, the about box borrows it.
//
// View space: the camera looks along its local -Z, local +X is to its right
// and local +Y up; a displacement (0, 0, -d) moves forward by d.

#include "trackdoc/math3d.h"

extern Vector3 gCameraPosition;         // eye position (metres)
extern Vector3 gCameraAngles;           // X pitch, Y heading, Z roll (degrees)
extern Vector3 gCameraMin;              // the box that holds the position, per axis
extern Vector3 gCameraMax;
extern Vector3 gCameraDefaultPosition;  // the pose ResetCamera restores
extern Vector3 gCameraDefaultAngles;

// Defaults: position (0, 10, 0), angles (0, 0, 0), box (-512, -10, -512) to (512, 200, 512).
void InitCamera();
// Stores the default pose and the box, then ResetCamera.
void SetCamera(const Vector3& position, const Vector3& angles, const Vector3& minimum, const Vector3& maximum);
// Back to the default pose; the box is not applied until the next move.
void ResetCamera();
// Moves by a displacement given in view space, then clamps into the box.
void MoveCamera(const Vector3& displacement);
// Brings the position into the box: maxima first, then minima, so a minimum
// above its maximum wins.
void ClampCameraPosition();

// The camera's turn: RotY(heading) * RotX(pitch) * RotZ(roll); it takes a
// view-space direction to world space.
Matrix4 CameraRotation(const Vector3& angles);
// The world-to-view transform that the scene drawing loads:
// RotX(360 - ax) * RotY(360 - ay) * RotZ(360 - az) * Translate(-position).
Matrix4 CameraViewMatrix(const Vector3& position, const Vector3& angles);
