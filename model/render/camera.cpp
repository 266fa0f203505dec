#include "model/render/camera.h"

Vector3 gCameraPosition;
Vector3 gCameraAngles;
Vector3 gCameraMin;
Vector3 gCameraMax;
Vector3 gCameraDefaultPosition;
Vector3 gCameraDefaultAngles;

void InitCamera() {
    SetCamera(MakeVector(0.0f, 10.0f, 0.0f), MakeVector(0.0f, 0.0f, 0.0f), MakeVector(-512.0f, -10.0f, -512.0f),
              MakeVector(512.0f, 200.0f, 512.0f));
}

void SetCamera(const Vector3& position, const Vector3& angles, const Vector3& minimum, const Vector3& maximum) {
    gCameraDefaultPosition = position;
    gCameraDefaultAngles = angles;
    gCameraMin = minimum;
    gCameraMax = maximum;
    ResetCamera();
}

void ResetCamera() {
    gCameraPosition = gCameraDefaultPosition;
    gCameraAngles = gCameraDefaultAngles;
}

Matrix4 CameraRotation(const Vector3& angles) {
    Matrix4 r = MatrixIdentity();
    r = MatrixMultiply(r, MatrixRotateY(DegToRad(angles.Y)));
    r = MatrixMultiply(r, MatrixRotateX(DegToRad(angles.X)));
    r = MatrixMultiply(r, MatrixRotateZ(DegToRad(angles.Z)));
    return r;
}

void MoveCamera(const Vector3& displacement) {
    const Vector3 step = MatrixTransformPoint(CameraRotation(gCameraAngles), displacement);
    gCameraPosition = VectorAdd(gCameraPosition, step);
    ClampCameraPosition();
}

void ClampCameraPosition() {
    Vector3& p = gCameraPosition;
    if (p.X > gCameraMax.X) p.X = gCameraMax.X;
    if (p.Y > gCameraMax.Y) p.Y = gCameraMax.Y;
    if (p.Z > gCameraMax.Z) p.Z = gCameraMax.Z;
    if (p.X < gCameraMin.X) p.X = gCameraMin.X;
    if (p.Y < gCameraMin.Y) p.Y = gCameraMin.Y;
    if (p.Z < gCameraMin.Z) p.Z = gCameraMin.Z;
}

Matrix4 CameraViewMatrix(const Vector3& position, const Vector3& angles) {
    Matrix4 v = MatrixIdentity();
    v = MatrixMultiply(v, MatrixRotateX(DegToRad(360.0f - angles.X)));
    v = MatrixMultiply(v, MatrixRotateY(DegToRad(360.0f - angles.Y)));
    v = MatrixMultiply(v, MatrixRotateZ(DegToRad(360.0f - angles.Z)));
    v = MatrixMultiply(v, MatrixTranslate(-position.X, -position.Y, -position.Z));
    return v;
}
