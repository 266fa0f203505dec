#include "trackdoc/math3d.h"

#include <cmath>

double DegToRad(double d) { return d * kPi / 180.0; }

double RadToDeg(double r) { return r / kPi * 180.0; }

double ArcTan2(double y, double x) {
    if (y == 0.0) return x < 0.0 ? kPi : 0.0;
    if (x == 0.0) return y < 0.0 ? -kPi / 2.0 : kPi / 2.0;
    const double a = std::atan(y / x);
    if (y < 0.0 && x < 0.0) return a - kPi;
    if (y > 0.0 && x < 0.0) return a + kPi;
    return a;
}

double ArcCos(double x) {
    // Values rounded just outside the domain are taken as its ends.
    if (x >= 1.0) return 0.0;
    if (x <= -1.0) return kPi;
    return std::atan(-x / std::sqrt(1.0 - x * x)) + 2.0 * std::atan(1.0);
}

Vector3 MakeVector(float x, float y, float z) { return Vector3{x, y, z}; }

Vector3 VectorAdd(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.X) + b.X), static_cast<float>(double(a.Y) + b.Y),
                   static_cast<float>(double(a.Z) + b.Z)};
}

Vector3 VectorMultiply(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.X) * b.X), static_cast<float>(double(a.Y) * b.Y),
                   static_cast<float>(double(a.Z) * b.Z)};
}

Vector3 VectorFromTo(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(b.X) - a.X), static_cast<float>(double(b.Y) - a.Y),
                   static_cast<float>(double(b.Z) - a.Z)};
}

Vector3 VectorLerp(const Vector3& a, const Vector3& b, float t) {
    return Vector3{static_cast<float>(a.X + (double(b.X) - a.X) * t),
                   static_cast<float>(a.Y + (double(b.Y) - a.Y) * t),
                   static_cast<float>(a.Z + (double(b.Z) - a.Z) * t)};
}

float VectorDistance(const Vector3& a, const Vector3& b) {
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, dz = double(b.Z) - a.Z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

Vector3 VectorNegate(const Vector3& a) { return Vector3{-a.X, -a.Y, -a.Z}; }

Vector3 VectorCross(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>(double(a.Y) * b.Z - double(a.Z) * b.Y),
                   static_cast<float>(double(a.Z) * b.X - double(a.X) * b.Z),
                   static_cast<float>(double(a.X) * b.Y - double(a.Y) * b.X)};
}

static double Length(const Vector3& v) {
    return std::sqrt(double(v.X) * v.X + double(v.Y) * v.Y + double(v.Z) * v.Z);
}

float VectorAngle(const Vector3& a, const Vector3& b) {
    const double p = Length(a) * Length(b);
    if (p == 0.0) return 0.0f;
    const double d = (double(a.X) * b.X + double(a.Y) * b.Y + double(a.Z) * b.Z) / p;
    if (d >= 1.0) return 0.0f;
    if (d <= -1.0) return static_cast<float>(kPi);
    return static_cast<float>(ArcCos(d));
}

Vector3 BezierPoint(const Vector3& p0, const Vector3& p1, const Vector3& p3, const Vector3& p2, double t) {
    const double s = 1.0 - t;
    const double w0 = s * s * s, w1 = 3.0 * t * s * s, w2 = 3.0 * t * t * s, w3 = t * t * t;
    return Vector3{static_cast<float>(p0.X * w0 + p1.X * w1 + p2.X * w2 + p3.X * w3),
                   static_cast<float>(p0.Y * w0 + p1.Y * w1 + p2.Y * w2 + p3.Y * w3),
                   static_cast<float>(p0.Z * w0 + p1.Z * w1 + p2.Z * w2 + p3.Z * w3)};
}

Vector3 TriangleNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
    const double ax = double(p1.X) - p3.X, ay = double(p1.Y) - p3.Y, az = double(p1.Z) - p3.Z;
    const double bx = double(p2.X) - p3.X, by = double(p2.Y) - p3.Y, bz = double(p2.Z) - p3.Z;
    const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (len == 0.0) return Vector3{static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz)};
    return Vector3{static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)};
}

Matrix4 MatrixIdentity() {
    Matrix4 m;
    m(0, 0) = m(1, 1) = m(2, 2) = m(3, 3) = 1.0f;
    return m;
}

Matrix4 MatrixRotateX(double angle) {
    Matrix4 m = MatrixIdentity();
    const float c = static_cast<float>(std::cos(angle)), s = static_cast<float>(std::sin(angle));
    m(1, 1) = c;
    m(1, 2) = -s;
    m(2, 1) = s;
    m(2, 2) = c;
    return m;
}

Matrix4 MatrixRotateY(double angle) {
    Matrix4 m = MatrixIdentity();
    const float c = static_cast<float>(std::cos(angle)), s = static_cast<float>(std::sin(angle));
    m(0, 0) = c;
    m(0, 2) = s;
    m(2, 0) = -s;
    m(2, 2) = c;
    return m;
}

Matrix4 MatrixRotateZ(double angle) {
    Matrix4 m = MatrixIdentity();
    const float c = static_cast<float>(std::cos(angle)), s = static_cast<float>(std::sin(angle));
    m(0, 0) = c;
    m(0, 1) = -s;
    m(1, 0) = s;
    m(1, 1) = c;
    return m;
}

Matrix4 MatrixTranslate(float x, float y, float z) {
    Matrix4 m = MatrixIdentity();
    m(0, 3) = x;
    m(1, 3) = y;
    m(2, 3) = z;
    return m;
}

Matrix4 MatrixTranslateV(const Vector3& v) { return MatrixTranslate(v.X, v.Y, v.Z); }

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(a(row, k)) * b(k, col);
            r(row, col) = static_cast<float>(sum);
        }
    return r;
}

Vector3 MatrixTransformPoint(const Matrix4& m, const Vector3& p) {
    Vector3 r;
    r.X = static_cast<float>(double(m(0, 0)) * p.X + double(m(0, 1)) * p.Y + double(m(0, 2)) * p.Z + m(0, 3));
    r.Y = static_cast<float>(double(m(1, 0)) * p.X + double(m(1, 1)) * p.Y + double(m(1, 2)) * p.Z + m(1, 3));
    r.Z = static_cast<float>(double(m(2, 0)) * p.X + double(m(2, 1)) * p.Y + double(m(2, 2)) * p.Z + m(2, 3));
    return r;
}

Matrix4 MatrixTranspose(const Matrix4& m) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r(row, col) = m(col, row);
    return r;
}

Vector3 MatrixGetTranslation(const Matrix4& m) { return Vector3{m(0, 3), m(1, 3), m(2, 3)}; }

Matrix4 MatrixSetTranslation(const Matrix4& m, const Vector3& v) {
    Matrix4 r = m;
    r(0, 3) = v.X;
    r(1, 3) = v.Y;
    r(2, 3) = v.Z;
    return r;
}

Quaternion QuatNormalize(const Quaternion& q) {
    const double n = std::sqrt(double(q.X) * q.X + double(q.Y) * q.Y + double(q.Z) * q.Z + double(q.W) * q.W);
    if (n <= 0.0) return q;
    return Quaternion{static_cast<float>(q.X / n), static_cast<float>(q.Y / n), static_cast<float>(q.Z / n),
                      static_cast<float>(q.W / n)};
}

Quaternion QuatNlerp(const Quaternion& a, const Quaternion& b, float t) {
    Quaternion r{static_cast<float>(a.X + (double(b.X) - a.X) * t), static_cast<float>(a.Y + (double(b.Y) - a.Y) * t),
                 static_cast<float>(a.Z + (double(b.Z) - a.Z) * t), static_cast<float>(a.W + (double(b.W) - a.W) * t)};
    return QuatNormalize(r);
}

Quaternion QuatSlerp(const Quaternion& a, const Quaternion& b, float t) {
    double d = double(a.X) * b.X + double(a.Y) * b.Y + double(a.Z) * b.Z + double(a.W) * b.W;
    Quaternion c = b;
    if (d < 0.0) {
        d = -d;
        c = Quaternion{-b.X, -b.Y, -b.Z, -b.W};
    }
    if (d >= double(0.95f)) return QuatNlerp(a, c, t);
    const float theta = static_cast<float>(ArcCos(d));
    const double k = 1.0 / std::sin(double(theta));
    const double wa = std::sin((1.0 - t) * theta) * k;
    const double wc = std::sin(double(t) * theta) * k;
    return Quaternion{static_cast<float>(a.X * wa + c.X * wc), static_cast<float>(a.Y * wa + c.Y * wc),
                      static_cast<float>(a.Z * wa + c.Z * wc), static_cast<float>(a.W * wa + c.W * wc)};
}

Quaternion MatrixToQuat(const Matrix4& m) {
    Quaternion q;
    const double t = double(m(0, 0)) + m(1, 1) + m(2, 2) + m(3, 3);
    if (t >= 1.0) {
        const double s = 2.0 * std::sqrt(t);
        q.W = static_cast<float>(s / 4.0);
        q.X = static_cast<float>((double(m(1, 2)) - m(2, 1)) / s);
        q.Y = static_cast<float>((double(m(2, 0)) - m(0, 2)) / s);
        q.Z = static_cast<float>((double(m(0, 1)) - m(1, 0)) / s);
        return q;
    }
    int i = 0;
    if (m(0, 0) <= m(1, 1)) i = 1;
    if (m(2, 2) > m(i, i)) i = 2;
    const int j = (i + 1) % 3, k = (j + 1) % 3;
    const double s = 2.0 * std::sqrt(double(m(i, i)) - m(j, j) - m(k, k) + 1.0);
    float comp[3] = {};
    comp[i] = static_cast<float>(s / 4.0);
    comp[j] = static_cast<float>((double(m(i, j)) + m(j, i)) / s);
    comp[k] = static_cast<float>((double(m(i, k)) + m(k, i)) / s);
    q.X = comp[0];
    q.Y = comp[1];
    q.Z = comp[2];
    q.W = static_cast<float>((double(m(j, k)) - m(k, j)) / s);
    return q;
}

Matrix4 QuatToMatrix(const Quaternion& q) {
    const double n = double(q.X) * q.X + double(q.Y) * q.Y + double(q.Z) * q.Z + double(q.W) * q.W;
    const double s = n <= 0.0 ? 0.0 : 2.0 / n;
    const double x = q.X, y = q.Y, z = q.Z, w = q.W;
    const double xx = x * x * s, yy = y * y * s, zz = z * z * s;
    const double xy = x * y * s, xz = x * z * s, yz = y * z * s;
    const double xw = x * w * s, yw = y * w * s, zw = z * w * s;
    Matrix4 m;
    m(0, 0) = static_cast<float>(1.0 - (yy + zz));
    m(0, 1) = static_cast<float>(xy + zw);
    m(0, 2) = static_cast<float>(xz - yw);
    m(1, 0) = static_cast<float>(xy - zw);
    m(1, 1) = static_cast<float>(1.0 - (xx + zz));
    m(1, 2) = static_cast<float>(yz + xw);
    m(2, 0) = static_cast<float>(xz + yw);
    m(2, 1) = static_cast<float>(yz - xw);
    m(2, 2) = static_cast<float>(1.0 - (xx + yy));
    m(3, 3) = 1.0f;
    return m;
}
