#pragma once
// Placement of a straight member (tube, beam, post, level tunnel ring) that
// runs from one point toward another: the member's local -Z axis points along
// the run, its local x stays horizontal and its local y as near to world up as
// the slope allows, and an optional spin turns the section about the run.
//
//   M = Translate(origin) . RotY(yaw) . RotX(pitch) (. RotZ(spin))
//   yaw   = ArcTan2(-d.X, -d.Z)                 (0 for a vertical or zero run)
//   pitch = ArcTan2(d.Y, horizontal length of d)
//
// Shared by the support tubes, the prefabricated supports and the square tunnels.

#include "trackdoc/math3d.h"

// Heading of a run d: the turn about world Y that brings local -Z over d.
double MemberYaw(const Vector3& d);
// Slope of a run d: the turn about local X that tilts local -Z onto d.
double MemberPitch(const Vector3& d);

// Translate(origin) . RotY(yaw) . RotX(pitch), built with the shared matrix
// operations in that order.
Matrix4 MemberTransform(const Vector3& origin, double yaw, double pitch);
// The same followed by RotZ(spin): a section point is spun, tilted, turned, moved.
Matrix4 MemberTransform(const Vector3& origin, double yaw, double pitch, double spin);

// A member from `from` to `to`: its transform (own yaw, pitch, spin) and length.
struct MemberRun {
    Matrix4 Transform;
    float Length = 0.0f;
    double Yaw = 0.0;
    double Pitch = 0.0;
};
MemberRun PlaceMemberBetween(const Vector3& from, const Vector3& to, double spin = 0.0);
