// Placing a straight member between two points, and the outline sweeps that
// every support, footer and tunnel builder shares.

#include <cmath>

#include "model/member_placement.h"
#include "model/model_meshes.h"
#include "model/outline_sweep.h"
#include "tests/model/mesh_test_support.h"

namespace {

void ExpectNear(const Vector3& v, const Vector3& w, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.X, w.X, tolerance);
    EXPECT_NEAR(v.Y, w.Y, tolerance);
    EXPECT_NEAR(v.Z, w.Z, tolerance);
}

Vector3 Axis(const Matrix4& m, float x, float y, float z) {
    return Sub(MatrixTransformPoint(m, Vector3{x, y, z}), MatrixGetTranslation(m));
}

}  // namespace

TEST(MemberPlacementTest, LocalMinusZRunsFromStartToEnd) {
    const Vector3 starts[] = {{0, 0, 0}, {1, 2, 3}, {-4, 7, 2}};
    const Vector3 ends[] = {{0, 0, -5}, {4, 2, 3}, {-1, 1, 9}, {1, 9, 3}};
    for (const Vector3& a : starts)
        for (const Vector3& b : ends) {
            const MemberRun run = PlaceMemberBetween(a, b);
            EXPECT_NEAR(run.Length, VectorDistance(a, b), 1e-5f);
            ExpectNear(MatrixTransformPoint(run.Transform, Vector3{0, 0, -run.Length}), b, 2e-5f);
            ExpectNear(MatrixGetTranslation(run.Transform), a, 0.0f);
            // Without spin the section's x stays level and its y leans up.
            EXPECT_NEAR(Axis(run.Transform, 1, 0, 0).Y, 0.0f, 1e-6f);
            EXPECT_GE(Axis(run.Transform, 0, 1, 0).Y, 0.0f);
        }
}

TEST(MemberPlacementTest, YawAndPitchFollowTheConventions) {
    EXPECT_DOUBLE_EQ(MemberYaw(Vector3{0, 0, -1}), 0.0);
    EXPECT_NEAR(MemberYaw(Vector3{1, 0, 0}), -kPi / 2, 1e-12);
    EXPECT_NEAR(MemberYaw(Vector3{0, 0, 1}), kPi, 1e-12);
    EXPECT_NEAR(MemberPitch(Vector3{3, 4, 0}), std::atan2(4.0, 3.0), 1e-12);
    // A vertical run has no heading of its own; a run of no length neither turns nor tilts.
    EXPECT_EQ(MemberYaw(Vector3{0, 5, 0}), 0.0);
    EXPECT_NEAR(MemberPitch(Vector3{0, -5, 0}), -kPi / 2, 1e-12);
    const MemberRun none = PlaceMemberBetween(Vector3{1, 1, 1}, Vector3{1, 1, 1});
    EXPECT_EQ(none.Length, 0.0f);
    EXPECT_EQ(none.Yaw, 0.0);
    EXPECT_EQ(none.Pitch, 0.0);
    ExpectNear(Axis(none.Transform, 0, 0, -1), Vector3{0, 0, -1}, 0.0f);
}

TEST(MemberPlacementTest, SpinTurnsTheSectionAboutTheRun) {
    // A level run along -X spun by a quarter turn: the section's x points up.
    const MemberRun run = PlaceMemberBetween(Vector3{0, 0, 0}, Vector3{-2, 0, 0}, kPi / 2);
    ExpectNear(Axis(run.Transform, 1, 0, 0), Vector3{0, 1, 0});
    ExpectNear(MatrixTransformPoint(run.Transform, Vector3{0, 0, -2}), Vector3{-2, 0, 0});
    // Vertical: with no spin the section's x stays along world X.
    const MemberRun up = PlaceMemberBetween(Vector3{0, 0, 0}, Vector3{0, 3, 0});
    ExpectNear(Axis(up.Transform, 1, 0, 0), Vector3{1, 0, 0});
}

TEST(OutlineSweepTest, PrismHasSidesThenCapsFacingOutward) {
    // A unit square outline, counter-clockwise, swept 2 along -Z.
    const Vector3 a[4] = {{1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}};
    const Vector3 b[4] = {{1, -1, -2}, {1, 1, -2}, {-1, 1, -2}, {-1, -1, -2}};
    ModelMesh mesh;
    AppendOutlineSweep(mesh, a, b, 4, kQuadCap, true, true, OutlineSweepStyle{});
    ASSERT_EQ(mesh.FaceCount, 12);
    EXPECT_TRUE(FacesAreConsistent(mesh));
    EXPECT_TRUE(FacesPointAwayFrom(mesh, 0, 12, Vector3{0, 0, -1}));
    EXPECT_TRUE(FacesFace(mesh, 8, 2, Vector3{0, 0, 1}));    // start cap: away from the end
    EXPECT_TRUE(FacesFace(mesh, 10, 2, Vector3{0, 0, -1}));  // end cap: away from the start
    // Side strip order: face 0 is (A0, B0, A1), face 1 (B1, A1, B0).
    ExpectNear(mesh.Faces[0].V2, b[0], 0.0f);
    ExpectNear(mesh.Faces[1].V1, b[1], 0.0f);
    // End cap reversed: (B2, B1, B0).
    ExpectNear(mesh.Faces[10].V1, b[2], 0.0f);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(mesh.Faces[i].Smoothing, 0);
        EXPECT_EQ(Length(mesh.Faces[i].VertexNormal1), 0.0);
    }
    // Only the caps asked for.
    ModelMesh open;
    AppendOutlineSweep(open, a, b, 4, kQuadCap, false, true, OutlineSweepStyle{});
    EXPECT_EQ(open.FaceCount, 10);
    EXPECT_TRUE(FacesFace(open, 8, 2, Vector3{0, 0, -1}));
}

TEST(OutlineSweepTest, SmoothSidesAndCapNormals) {
    Vector3 a[8], b[8];
    for (int i = 0; i < 8; ++i) {
        const double t = 2 * kPi * (i + 0.5) / 8.0;  // counter-clockwise seen from +Z
        a[i] = Vector3{float(std::cos(t)), float(std::sin(t)), 0};
        b[i] = Vector3{a[i].X, a[i].Y, -3};
    }
    // Make sure the outline runs counter-clockwise.
    ASSERT_GT(TriangleNormal(a[0], a[1], a[2]).Z, 0.0f);
    ModelMesh mesh;
    AppendOutlineSweep(mesh, a, b, 8, kOctagonCap, true, true, OutlineSweepStyle{true, true});
    ASSERT_EQ(mesh.FaceCount, 28);
    EXPECT_TRUE(FacesAreConsistent(mesh));
    EXPECT_TRUE(FacesPointAwayFrom(mesh, 0, 28, Vector3{0, 0, -1.5f}));
    for (int i = 0; i < 16; ++i) {
        const ModelFace& f = mesh.Faces[i];
        EXPECT_EQ(f.Smoothing, -1);
        // Side corners lie on the edge lines and take the mean of the two sides there.
        EXPECT_NEAR(Length(f.VertexNormal1), std::cos(kPi / 8), 1e-5);
        EXPECT_NEAR(Dot(f.VertexNormal1, Sub(f.V1, Vector3{0, 0, f.V1.Z})), std::cos(kPi / 8), 1e-5);
    }
    for (int i = 16; i < 28; ++i) {
        const ModelFace& f = mesh.Faces[i];
        EXPECT_EQ(f.Smoothing, 0);
        ExpectNear(f.VertexNormal1, f.FaceNormal(), 0.0f);
        ExpectNear(f.VertexNormal3, f.FaceNormal(), 0.0f);
    }
}

TEST(OutlineSweepTest, InwardBandTurnsEveryFaceAndItsCornerNormals) {
    Vector3 a[6], b[6];
    for (int i = 0; i < 6; ++i) {
        const double t = 2 * kPi * i / 6.0;
        a[i] = Vector3{float(2 * std::cos(t)), float(2 * std::sin(t)), 0};
        b[i] = Vector3{a[i].X, a[i].Y, -1};
    }
    ModelMesh out, in;
    AppendBand(out, a, b, 6, BandFacing::Outward);
    SmoothBand(out, 6, BandFacing::Outward);
    AppendBand(in, a, b, 6, BandFacing::Inward);
    SmoothBand(in, 6, BandFacing::Inward);
    ASSERT_EQ(in.FaceCount, 12);
    EXPECT_TRUE(FacesPointAwayFromLine(out, 0, 12, Vector3{0, 0, 0}, Vector3{0, 0, -1}));
    for (int i = 0; i < 12; ++i) {
        const ModelFace& o = out.Faces[i];
        const ModelFace& f = in.Faces[i];
        // The same triangle turned round, (V3, V2, V1) of the outward one.
        ExpectNear(f.V1, o.V3, 0.0f);
        ExpectNear(f.V3, o.V1, 0.0f);
        ExpectNear(f.FaceNormal(), VectorNegate(o.FaceNormal()), 1e-6f);
        // Each corner's normal is the one of the outline point it lies on, pointing in.
        ExpectNear(f.VertexNormal1, VectorNegate(o.VertexNormal3), 1e-6f);
        ExpectNear(f.VertexNormal2, VectorNegate(o.VertexNormal2), 1e-6f);
        ExpectNear(f.VertexNormal3, VectorNegate(o.VertexNormal1), 1e-6f);
        for (const auto& [v, n] : {std::pair{f.V1, f.VertexNormal1}, {f.V2, f.VertexNormal2}, {f.V3, f.VertexNormal3}})
            EXPECT_LT(Dot(n, Vector3{v.X, v.Y, 0}), 0.0);
    }
}

TEST(OutlineSweepTest, RingDistancesAreCountedAndEndExactlyAtTheLength) {
    for (float length : {3.0f, 0.2f, 7.77f, 1234.567f, 1e-6f}) {
        for (int steps : {1, 2, 3, 7, 1000}) {
            float previous = -1.0f;
            for (int r = 0; r <= steps; ++r) {
                const float d = RingDistance(length, steps, r);
                EXPECT_GT(d, previous);
                previous = d;
            }
            EXPECT_EQ(RingDistance(length, steps, 0), 0.0f);
            EXPECT_EQ(RingDistance(length, steps, steps), length);
        }
    }
    EXPECT_FLOAT_EQ(RingDistance(3.0f, 3, 1), 1.0f);
    EXPECT_FLOAT_EQ(RingDistance(3.0f, 3, 2), 2.0f);
    // A length of nothing gives rings that all lie at 0, never a NaN.
    EXPECT_EQ(RingDistance(0.0f, 1, 1), 0.0f);
    EXPECT_EQ(RingDistance(0.0f, 0, 0), 0.0f);
}
