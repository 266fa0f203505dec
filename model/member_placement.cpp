#include "model/member_placement.h"

#include <cmath>

double MemberYaw(const Vector3& d) { return ArcTan2(-double(d.X), -double(d.Z)); }

double MemberPitch(const Vector3& d) {
    return ArcTan2(d.Y, std::sqrt(double(d.Z) * d.Z + double(d.X) * d.X));
}

Matrix4 MemberTransform(const Vector3& origin, double yaw, double pitch) {
    return MatrixMultiply(MatrixMultiply(MatrixTranslateV(origin), MatrixRotateY(yaw)), MatrixRotateX(pitch));
}

Matrix4 MemberTransform(const Vector3& origin, double yaw, double pitch, double spin) {
    return MatrixMultiply(MemberTransform(origin, yaw, pitch), MatrixRotateZ(spin));
}

MemberRun PlaceMemberBetween(const Vector3& from, const Vector3& to, double spin) {
    MemberRun run;
    const Vector3 d = VectorFromTo(from, to);
    run.Length = VectorDistance(from, to);
    run.Yaw = MemberYaw(d);
    run.Pitch = MemberPitch(d);
    run.Transform = MemberTransform(from, run.Yaw, run.Pitch, spin);
    return run;
}
