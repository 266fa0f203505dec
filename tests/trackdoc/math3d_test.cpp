// Values of the vector, matrix and quaternion mathematics.

#include <gtest/gtest.h>

#include <cmath>

#include "trackdoc/math3d.h"

namespace {

constexpr double kEps = 1e-6;

void ExpectVector(const Vector3& v, float x, float y, float z, float eps = 1e-6f) {
    EXPECT_NEAR(v.X, x, eps);
    EXPECT_NEAR(v.Y, y, eps);
    EXPECT_NEAR(v.Z, z, eps);
}

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float eps) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), eps) << r << "," << c;
}

TEST(Angles, ConversionsUseTheLibraryPi) {
    EXPECT_DOUBLE_EQ(DegToRad(180.0), 3.14159265358979);
    EXPECT_DOUBLE_EQ(RadToDeg(3.14159265358979), 180.0);
    EXPECT_DOUBLE_EQ(DegToRad(90.0), 3.14159265358979 / 2.0);
}

TEST(Angles, ArcTan2CoversEveryQuadrantAndAxis) {
    EXPECT_DOUBLE_EQ(ArcTan2(0, -1), kPi);
    EXPECT_DOUBLE_EQ(ArcTan2(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(ArcTan2(0, 5), 0.0);
    EXPECT_DOUBLE_EQ(ArcTan2(-1, 0), -kPi / 2);
    EXPECT_DOUBLE_EQ(ArcTan2(1, 0), kPi / 2);
    EXPECT_NEAR(ArcTan2(1, -1), 3 * kPi / 4, kEps);
    EXPECT_NEAR(ArcTan2(-1, -1), -3 * kPi / 4, kEps);
    EXPECT_NEAR(ArcTan2(1, 1), kPi / 4, kEps);
    EXPECT_NEAR(ArcTan2(-1, 1), -kPi / 4, kEps);
}

TEST(Angles, ArcCosEndsAndClamping) {
    EXPECT_DOUBLE_EQ(ArcCos(1), 0.0);
    EXPECT_DOUBLE_EQ(ArcCos(-1), kPi);
    EXPECT_NEAR(ArcCos(0), kPi / 2, 1e-12);
    EXPECT_NEAR(ArcCos(0.5), kPi / 3, 1e-9);
    // Rounded just outside the domain: clamped, never NaN.
    EXPECT_DOUBLE_EQ(ArcCos(1.0000001), 0.0);
    EXPECT_DOUBLE_EQ(ArcCos(-1.0000001), kPi);
    EXPECT_FALSE(std::isnan(ArcCos(7.0)));
}

TEST(Vectors, Arithmetic) {
    const Vector3 a = MakeVector(1, 2, 3), b = MakeVector(-4, 5, 0.5f);
    ExpectVector(VectorAdd(a, b), -3, 7, 3.5f);
    ExpectVector(VectorMultiply(a, b), -4, 10, 1.5f);
    ExpectVector(VectorFromTo(a, b), -5, 3, -2.5f);
    ExpectVector(VectorNegate(a), -1, -2, -3);
    ExpectVector(VectorLerp(a, b, 0.5f), -1.5f, 3.5f, 1.75f);
    ExpectVector(VectorCross(MakeVector(1, 0, 0), MakeVector(0, 1, 0)), 0, 0, 1);
    ExpectVector(VectorCross(a, b), 2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4);
    EXPECT_FLOAT_EQ(VectorDistance(MakeVector(1, 1, 1), MakeVector(4, 5, 1)), 5.0f);
}

TEST(Vectors, AngleBetweenDirections) {
    EXPECT_EQ(VectorAngle(MakeVector(0, 0, 0), MakeVector(1, 2, 3)), 0.0f);
    EXPECT_FLOAT_EQ(VectorAngle(MakeVector(1, 0, 0), MakeVector(-2, 0, 0)), static_cast<float>(kPi));
    EXPECT_EQ(VectorAngle(MakeVector(0.3f, 0.7f, 0.1f), MakeVector(0.3f, 0.7f, 0.1f)), 0.0f);
    EXPECT_NEAR(VectorAngle(MakeVector(1, 0, 0), MakeVector(0, 0, 3)), kPi / 2, 1e-6);
    // Nearly parallel vectors whose dot product rounds past 1 still give a number.
    EXPECT_FALSE(std::isnan(VectorAngle(MakeVector(1e-3f, 1, 1), MakeVector(1e-3f, 1, 1.0000001f))));
}

TEST(Vectors, BezierPointArgumentOrderAndEnds) {
    const Vector3 p0 = MakeVector(0, 0, 0), p1 = MakeVector(1, 2, 0), p3 = MakeVector(4, 0, 0),
                  p2 = MakeVector(3, 2, 0);
    ExpectVector(BezierPoint(p0, p1, p3, p2, 0.0), 0, 0, 0);
    ExpectVector(BezierPoint(p0, p1, p3, p2, 1.0), 4, 0, 0);
    // Midpoint: (P0 + 3 P1 + 3 P2 + P3) / 8.
    ExpectVector(BezierPoint(p0, p1, p3, p2, 0.5), 2, 1.5f, 0);
    // At t = 0.25 the start's control point weighs more than the end's.
    const Vector3 q = BezierPoint(p0, MakeVector(0, 8, 0), p3, MakeVector(4, 0, 0), 0.25);
    EXPECT_NEAR(q.Y, 8 * 3 * 0.25 * 0.75 * 0.75, 1e-6);
}

TEST(Vectors, TriangleNormal) {
    ExpectVector(TriangleNormal(MakeVector(1, 0, 0), MakeVector(0, 1, 0), MakeVector(0, 0, 0)), 0, 0, 1);
    ExpectVector(TriangleNormal(MakeVector(0, 1, 0), MakeVector(1, 0, 0), MakeVector(0, 0, 0)), 0, 0, -1);
    ExpectVector(TriangleNormal(MakeVector(0, 0, 0), MakeVector(1, 1, 1), MakeVector(2, 2, 2)), 0, 0, 0);
    const Vector3 n = TriangleNormal(MakeVector(3, 0, 0), MakeVector(0, 0, -3), MakeVector(0, 0, 0));
    ExpectVector(n, 0, 1, 0);
}

TEST(Matrices, RotationsTurnCounterClockwiseSeenFromTheAxis) {
    ExpectVector(MatrixTransformPoint(MatrixRotateY(kPi / 2), MakeVector(1, 0, 0)), 0, 0, -1);
    ExpectVector(MatrixTransformPoint(MatrixRotateX(kPi / 2), MakeVector(0, 1, 0)), 0, 0, 1);
    ExpectVector(MatrixTransformPoint(MatrixRotateZ(kPi / 2), MakeVector(1, 0, 0)), 0, 1, 0);
    const Matrix4 rz = MatrixRotateZ(0.3);
    EXPECT_FLOAT_EQ(rz(0, 1), -static_cast<float>(std::sin(0.3)));
    EXPECT_FLOAT_EQ(rz(1, 0), static_cast<float>(std::sin(0.3)));
    EXPECT_EQ(rz(3, 3), 1.0f);
    EXPECT_EQ(rz(2, 2), 1.0f);
}

TEST(Matrices, TranslationAndProductOrder) {
    const Matrix4 t = MatrixTranslate(1, 2, 3);
    ExpectVector(MatrixGetTranslation(t), 1, 2, 3);
    ExpectVector(MatrixTransformPoint(t, MakeVector(1, 1, 1)), 2, 3, 4);
    ExpectMatrixNear(MatrixTranslateV(MakeVector(1, 2, 3)), t, 0);
    // T · R applies the rotation first.
    const Matrix4 tr = MatrixMultiply(t, MatrixRotateY(kPi / 2));
    ExpectVector(MatrixTransformPoint(tr, MakeVector(1, 0, 0)), 1, 2, 2);
    const Matrix4 rt = MatrixMultiply(MatrixRotateY(kPi / 2), t);
    ExpectVector(MatrixTransformPoint(rt, MakeVector(1, 0, 0)), 3, 2, -2);
    const Matrix4 moved = MatrixSetTranslation(MatrixRotateX(1.0), MakeVector(-1, -2, -3));
    ExpectVector(MatrixGetTranslation(moved), -1, -2, -3);
    EXPECT_FLOAT_EQ(moved(1, 2), MatrixRotateX(1.0)(1, 2));
    const Matrix4 tt = MatrixTranspose(t);
    EXPECT_EQ(tt(3, 0), 1.0f);
    EXPECT_EQ(tt(0, 3), 0.0f);
    ExpectMatrixNear(MatrixMultiply(MatrixIdentity(), tr), tr, 0);
}

TEST(Quaternions, NormalizeAndZero) {
    const Quaternion zero{};
    const Quaternion n = QuatNormalize(zero);
    EXPECT_EQ(n.X + n.Y + n.Z + n.W, 0.0f);
    ExpectMatrixNear(QuatToMatrix(zero), MatrixIdentity(), 0);
    const Quaternion q = QuatNormalize(Quaternion{0, 3, 0, 4});
    EXPECT_FLOAT_EQ(q.Y, 0.6f);
    EXPECT_FLOAT_EQ(q.W, 0.8f);
}

TEST(Quaternions, MatrixConversionsAreInverseOnBothBranches) {
    // Positive trace (first branch) and negative traces (each pick of i).
    const Matrix4 rotations[] = {
        MatrixMultiply(MatrixRotateY(0.4), MatrixRotateX(0.2)),
        MatrixRotateX(3.0),
        MatrixRotateY(3.0),
        MatrixRotateZ(3.0),
        MatrixMultiply(MatrixRotateZ(2.5), MatrixMultiply(MatrixRotateY(-2.0), MatrixRotateX(2.9))),
    };
    for (const Matrix4& r : rotations) {
        const Quaternion q = MatrixToQuat(r);
        EXPECT_NEAR(std::sqrt(double(q.X) * q.X + double(q.Y) * q.Y + double(q.Z) * q.Z + double(q.W) * q.W), 1.0,
                    1e-5);
        ExpectMatrixNear(QuatToMatrix(q), r, 2e-6f);
    }
    EXPECT_LT(MatrixRotateX(3.0)(0, 0) + MatrixRotateX(3.0)(1, 1) + MatrixRotateX(3.0)(2, 2), 0.0f);
}

TEST(Quaternions, SignConventionIsThatOfTheTranspose) {
    // About +Z by a: the conventional quaternion of the transpose has Z = -sin(a/2).
    const Quaternion q = MatrixToQuat(MatrixRotateZ(0.5));
    EXPECT_NEAR(q.W, std::cos(0.25), 1e-6);
    EXPECT_NEAR(q.Z, -std::sin(0.25), 1e-6);
    EXPECT_NEAR(q.X, 0.0, 1e-7);
    const Matrix4 m = QuatToMatrix(Quaternion{0, 0, static_cast<float>(-std::sin(0.25)), static_cast<float>(std::cos(0.25))});
    EXPECT_NEAR(m(1, 0), std::sin(0.5), 1e-6);
}

TEST(Quaternions, Interpolation) {
    const Quaternion a = MatrixToQuat(MatrixRotateY(0.0)), b = MatrixToQuat(MatrixRotateY(1.2));
    // The negated quaternion is the same rotation: slerp takes the short way back to a.
    const Quaternion neg{-a.X, -a.Y, -a.Z, -a.W};
    for (float t : {0.0f, 0.3f, 1.0f}) {
        const Quaternion s = QuatSlerp(a, neg, t);
        EXPECT_NEAR(s.X, a.X, 1e-7);
        EXPECT_NEAR(s.W, a.W, 1e-7);
    }
    const Quaternion half = QuatSlerp(a, b, 0.5f);
    const Quaternion expect = MatrixToQuat(MatrixRotateY(0.6));
    EXPECT_NEAR(half.Y, expect.Y, 1e-6);
    EXPECT_NEAR(half.W, expect.W, 1e-6);
    const Quaternion q1 = QuatSlerp(a, b, 1.0f);
    EXPECT_NEAR(q1.Y, b.Y, 1e-6);
    // Close quaternions take the normalised linear path.
    const Quaternion c = MatrixToQuat(MatrixRotateY(0.1));
    const Quaternion nl = QuatNlerp(a, c, 0.5f), sl = QuatSlerp(a, c, 0.5f);
    EXPECT_EQ(nl.Y, sl.Y);
    EXPECT_EQ(nl.W, sl.W);
}

}  // namespace
