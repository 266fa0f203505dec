#pragma once
// Vector, matrix and quaternion mathematics shared by the document, the model
// builder, the preview and the tools. Every operation computes in double
// precision and returns single-precision results; arguments are never changed.
// The small vector and matrix functions are defined here, inline: the builders
// call them millions of times per model.

#include <cmath>

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

inline double DegToRad(double d) { return d * kPi / 180.0; }
inline double RadToDeg(double r) { return r / kPi * 180.0; }
double ArcTan2(double y, double x);
// Arc cosine in [0, pi]; arguments rounded just outside -1..1 are clamped.
double ArcCos(double x);

inline Vector3 MakeVector(float x, float y, float z) { return Vector3{x, y, z}; }
inline Vector3 VectorAdd(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.X) + b.X), static_cast<float>(double(a.Y) + b.Y),
                   static_cast<float>(double(a.Z) + b.Z)};
}
inline Vector3 VectorMultiply(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.X) * b.X), static_cast<float>(double(a.Y) * b.Y),
                   static_cast<float>(double(a.Z) * b.Z)};
}
inline Vector3 VectorFromTo(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(b.X) - a.X), static_cast<float>(double(b.Y) - a.Y),
                   static_cast<float>(double(b.Z) - a.Z)};
}
inline Vector3 VectorLerp(const Vector3& a, const Vector3& b, float t) {
    return Vector3{static_cast<float>(a.X + (double(b.X) - a.X) * t),
                   static_cast<float>(a.Y + (double(b.Y) - a.Y) * t),
                   static_cast<float>(a.Z + (double(b.Z) - a.Z) * t)};
}
inline float VectorDistance(const Vector3& a, const Vector3& b) {
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, dz = double(b.Z) - a.Z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}
inline Vector3 VectorNegate(const Vector3& a) { return Vector3{-a.X, -a.Y, -a.Z}; }
inline Vector3 VectorCross(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.Y) * b.Z - double(a.Z) * b.Y),
                   static_cast<float>(double(a.Z) * b.X - double(a.X) * b.Z),
                   static_cast<float>(double(a.X) * b.Y - double(a.Y) * b.X)};
}
float VectorAngle(const Vector3& a, const Vector3& b);
// Cubic Bezier point; note the argument order: the end before its control point.
inline Vector3 BezierPoint(const Vector3& p0, const Vector3& p1, const Vector3& p3, const Vector3& p2, double t) {
    const double s = 1.0 - t;
    const double w0 = s * s * s, w1 = 3.0 * t * s * s, w2 = 3.0 * t * t * s, w3 = t * t * t;
    return Vector3{static_cast<float>(p0.X * w0 + p1.X * w1 + p2.X * w2 + p3.X * w3),
                   static_cast<float>(p0.Y * w0 + p1.Y * w1 + p2.Y * w2 + p3.Y * w3),
                   static_cast<float>(p0.Z * w0 + p1.Z * w1 + p2.Z * w2 + p3.Z * w3)};
}
inline Vector3 TriangleNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
    const double ax = double(p1.X) - p3.X, ay = double(p1.Y) - p3.Y, az = double(p1.Z) - p3.Z;
    const double bx = double(p2.X) - p3.X, by = double(p2.Y) - p3.Y, bz = double(p2.Z) - p3.Z;
    const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (len == 0.0) return Vector3{static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz)};
    return Vector3{static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)};
}

inline Matrix4 MatrixIdentity() {
    Matrix4 m;
    m(0, 0) = m(1, 1) = m(2, 2) = m(3, 3) = 1.0f;
    return m;
}
Matrix4 MatrixRotateX(double angle);
Matrix4 MatrixRotateY(double angle);
Matrix4 MatrixRotateZ(double angle);
inline Matrix4 MatrixTranslate(float x, float y, float z) {
    Matrix4 m = MatrixIdentity();
    m(0, 3) = x;
    m(1, 3) = y;
    m(2, 3) = z;
    return m;
}
inline Matrix4 MatrixTranslateV(const Vector3& v) { return MatrixTranslate(v.X, v.Y, v.Z); }
inline Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(a(row, k)) * b(k, col);
            r(row, col) = static_cast<float>(sum);
        }
    return r;
}
inline Vector3 MatrixTransformPoint(const Matrix4& m, const Vector3& p) {
    Vector3 r;
    r.X = static_cast<float>(double(m(0, 0)) * p.X + double(m(0, 1)) * p.Y + double(m(0, 2)) * p.Z + m(0, 3));
    r.Y = static_cast<float>(double(m(1, 0)) * p.X + double(m(1, 1)) * p.Y + double(m(1, 2)) * p.Z + m(1, 3));
    r.Z = static_cast<float>(double(m(2, 0)) * p.X + double(m(2, 1)) * p.Y + double(m(2, 2)) * p.Z + m(2, 3));
    return r;
}
inline Matrix4 MatrixTranspose(const Matrix4& m) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r(row, col) = m(col, row);
    return r;
}
inline Vector3 MatrixGetTranslation(const Matrix4& m) { return Vector3{m(0, 3), m(1, 3), m(2, 3)}; }
inline Matrix4 MatrixSetTranslation(const Matrix4& m, const Vector3& v) {
    Matrix4 r = m;
    r(0, 3) = v.X;
    r(1, 3) = v.Y;
    r(2, 3) = v.Z;
    return r;
}

Quaternion QuatNormalize(const Quaternion& q);
Quaternion QuatNlerp(const Quaternion& a, const Quaternion& b, float t);
Quaternion QuatSlerp(const Quaternion& a, const Quaternion& b, float t);
Quaternion MatrixToQuat(const Matrix4& m);
Matrix4 QuatToMatrix(const Quaternion& q);
