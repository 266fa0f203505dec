#pragma once
// Vector, matrix and quaternion mathematics shared by the document, the model
// builder, the preview and the tools. Every operation computes in double
// precision and returns single-precision results; arguments are never changed.

struct Vector3 {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// A 4 x 4 transform applied to column vectors (p' = M p); the translation is
// the fourth column. M(r, c) is row r, column c.
struct Matrix4 {
    float M[4][4] = {};
    float& operator()(int r, int c) { return M[r][c]; }
    float operator()(int r, int c) const { return M[r][c]; }
};

struct Quaternion {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float W = 0.0f;
};

inline constexpr double kPi = 3.14159265358979;

double DegToRad(double d);
double RadToDeg(double r);
double ArcTan2(double y, double x);
// Arc cosine in [0, pi]; arguments rounded just outside -1..1 are clamped.
double ArcCos(double x);

Vector3 MakeVector(float x, float y, float z);
Vector3 VectorAdd(const Vector3& a, const Vector3& b);
Vector3 VectorMultiply(const Vector3& a, const Vector3& b);
Vector3 VectorFromTo(const Vector3& a, const Vector3& b);
Vector3 VectorLerp(const Vector3& a, const Vector3& b, float t);
float VectorDistance(const Vector3& a, const Vector3& b);
Vector3 VectorNegate(const Vector3& a);
Vector3 VectorCross(const Vector3& a, const Vector3& b);
float VectorAngle(const Vector3& a, const Vector3& b);
// Cubic Bezier point; note the argument order: the end before its control point.
Vector3 BezierPoint(const Vector3& start, const Vector3& startControl, const Vector3& end,
                    const Vector3& endControl, double t);
Vector3 TriangleNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3);

Matrix4 MatrixIdentity();
Matrix4 MatrixRotateX(double angle);
Matrix4 MatrixRotateY(double angle);
Matrix4 MatrixRotateZ(double angle);
Matrix4 MatrixTranslate(float x, float y, float z);
Matrix4 MatrixTranslateV(const Vector3& v);
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);
Vector3 MatrixTransformPoint(const Matrix4& m, const Vector3& p);
Matrix4 MatrixTranspose(const Matrix4& m);
Vector3 MatrixGetTranslation(const Matrix4& m);
Matrix4 MatrixSetTranslation(const Matrix4& m, const Vector3& v);

Quaternion QuatNormalize(const Quaternion& q);
Quaternion QuatNlerp(const Quaternion& a, const Quaternion& b, float t);
Quaternion QuatSlerp(const Quaternion& a, const Quaternion& b, float t);
Quaternion MatrixToQuat(const Matrix4& m);
Matrix4 QuatToMatrix(const Quaternion& q);
