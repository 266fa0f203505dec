#include "trackdoc/math3d.h"

#include <cmath>

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
