// Rail and spine sweeps: profiles, ring counts, strips, smoothing.

#include <cmath>

#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rail_sweeps.h"
#include "model/track_model.h"
#include "tests/model/model_test_support.h"

namespace {

class RailSweepsTest : public ModelTest {
protected:
    void OneRail(RailSpec spec) {
        gModelSettings.gRailCount = 1;
        gModelSettings.gRails = {spec, RailSpec{}};
    }
    void OneSpine(RailSpec spec) {
        gModelSettings.gSpineCount = 1;
        gModelSettings.gSpines = {spec, RailSpec{}};
    }
    const ModelMesh& Rail(int segment = 0) { return gTrackModel[segment].Rails[0]; }
    const ModelMesh& Spine(int segment = 0) { return gTrackModel[segment].Spines[0]; }
};

// The strips of a sweep along the one segment of an open synthetic path.
int Strips(float length, float detail) { return SweepStripCount(length, detail, true); }

void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.X, x, 1e-6f);
    EXPECT_NEAR(v.Y, y, 1e-6f);
    EXPECT_NEAR(v.Z, z, 1e-6f);
}

}  // namespace

TEST_F(RailSweepsTest, RingCountsRoundHalvesToEven) {
    EXPECT_EQ(SweepStepCount(2.5f, 1.0f), 2);
    EXPECT_EQ(SweepStepCount(3.5f, 1.0f), 4);
    EXPECT_EQ(SweepStepCount(5.0f, 2.0f), 2);   // 2.5 -> 2
    EXPECT_EQ(SweepStepCount(7.0f, 2.0f), 4);   // 3.5 -> 4
    EXPECT_EQ(SweepStepCount(0.2f, 0.5f), 1);   // shorter than half the spacing: still one step
    EXPECT_EQ(SweepStepCount(0.0f, 0.5f), 1);
    EXPECT_EQ(SweepStepCount(NAN, 0.5f), 1);
}

TEST_F(RailSweepsTest, ProfilesFollowTheTable) {
    Vector3 p[9];
    const Vector3 at{0.5f, 0.25f, 3.0f};
    MakeRoundRailProfile(at, 0.1f, MatrixIdentity(), p);
    ExpectVector(p[0], 0.5f, 0.15f, 0);
    ExpectVector(p[1], 0.6f, 0.25f, 0);
    ExpectVector(p[2], 0.55f, 0.35f, 0);
    ExpectVector(p[3], 0.45f, 0.35f, 0);
    ExpectVector(p[4], 0.4f, 0.25f, 0);
    MakeSquareProfile(at, 0.1f, MatrixIdentity(), p);
    ExpectVector(p[0], 0.6f, 0.15f, 0);
    ExpectVector(p[2], 0.4f, 0.35f, 0);
    MakeSpineProfile(at, 0.2f, MatrixIdentity(), p);
    ExpectVector(p[0], 0.6f, 0.05f, 0);
    ExpectVector(p[1], 0.7f, 0.15f, 0);
    ExpectVector(p[7], 0.4f, 0.05f, 0);
    MakePositiveSideRailProfile(at, 5.0f, MatrixIdentity(), p);  // wood ignores the size
    ExpectVector(p[1], 0.7f, 0.05f, 0);
    ExpectVector(p[3], 0.4f, 0.35f, 0);
    MakeNegativeSideRailProfile(at, 5.0f, MatrixIdentity(), p);
    ExpectVector(p[0], 0.3f, 0.05f, 0);
    ExpectVector(p[4], 0.6f, 0.35f, 0);
    // The frame places the profile: translated and turned.
    MakeSquareProfile(Vector3{1, 0, 0}, 0.5f, MatrixMultiply(MatrixTranslate(0, 10, 0), MatrixRotateY(kPi / 2)), p);
    ExpectVector(p[0], 0.0f, 9.5f, -1.5f);
}

TEST_F(RailSweepsTest, RoundRailFaceCountAndSmoothing) {
    MakeSyntheticPath({10.0f});
    OneRail({0.5f, 0, 0, 0.07f, RailRound});
    InitTrackModel();
    ModelRail(0, 0, 0.5f);
    const ModelMesh& m = Rail();
    EXPECT_TRUE(m.Smooth);
    EXPECT_EQ(Strips(10.0f, 0.5f), 20);
    EXPECT_EQ(m.FaceCount, 10 * 20);
    // Strip faces: (A[k], B[k], A[k+1]) and (B[k+1], A[k+1], B[k]); here A is
    // the ring at d = 0 (z = 0) and B the ring at d = 0.5.
    EXPECT_FLOAT_EQ(m.Faces[0].V1.Z, 0.0f);
    EXPECT_FLOAT_EQ(m.Faces[0].V2.Z, -0.5f);
    EXPECT_FLOAT_EQ(m.Faces[1].V1.Z, -0.5f);
    // Every side normal points out of the rail.
    for (int i = 0; i < m.FaceCount; ++i) {
        const ModelFace& f = m.Faces[i];
        const double cx = (f.V1.X + f.V2.X + f.V3.X) / 3.0 - 0.5, cy = (f.V1.Y + f.V2.Y + f.V3.Y) / 3.0;
        EXPECT_GT(cx * f.FaceNormal().X + cy * f.FaceNormal().Y, 0.0) << i;
        EXPECT_NEAR(f.FaceNormal().Z, 0.0f, 1e-6f);
    }
    // Smoothing closes round the ring: the normal at profile point 0 is the
    // mean of the first face of side 0 and the last face of side 4.
    const Vector3 n0 = m.Faces[0].FaceNormal(), n9 = m.Faces[9].FaceNormal();
    ExpectVector(m.Faces[0].VertexNormal1, (n0.X + n9.X) / 2, (n0.Y + n9.Y) / 2, (n0.Z + n9.Z) / 2);
    ExpectVector(m.Faces[1].VertexNormal3, (n0.X + n9.X) / 2, (n0.Y + n9.Y) / 2, (n0.Z + n9.Z) / 2);
    const Vector3 n1 = m.Faces[1].FaceNormal(), n2 = m.Faces[2].FaceNormal();
    ExpectVector(m.Faces[0].VertexNormal3, (n1.X + n2.X) / 2, (n1.Y + n2.Y) / 2, (n1.Z + n2.Z) / 2);
    ExpectVector(m.Faces[2].VertexNormal1, (n1.X + n2.X) / 2, (n1.Y + n2.Y) / 2, (n1.Z + n2.Z) / 2);
}

TEST_F(RailSweepsTest, SquareAndWoodRailsAreFlat) {
    MakeSyntheticPath({4.0f});
    OneRail({-0.6f, 0, 0, 1.0f, RailWood});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    EXPECT_FALSE(Rail().Smooth);
    EXPECT_EQ(Rail().FaceCount, 12 * Strips(4.0f, 1.0f));
    EXPECT_EQ(Rail().Faces[0].VertexNormal1.Y, 0.0f);
    EXPECT_FLOAT_EQ(Rail().Faces[0].V1.X, -0.8f);  // negative side: the block reaches to x0 - 0.2

    // A wood rail at PosX 0 takes the positive-side profile.
    OneRail({0.0f, 0, 0, 1.0f, RailWood});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    EXPECT_FLOAT_EQ(Rail().Faces[0].V1.X, 0.0f);
    EXPECT_FLOAT_EQ(Rail().Faces[0].V3.X, 0.2f);

    OneRail({0.6f, 0, 0, 0.1f, RailSquare});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    EXPECT_FALSE(Rail().Smooth);
    EXPECT_EQ(Rail().FaceCount, 8 * Strips(4.0f, 1.0f));
}

TEST_F(RailSweepsTest, UnknownShapesBuildNothing) {
    MakeSyntheticPath({4.0f});
    OneRail({0.6f, 0, 0, 0.1f, 3});
    OneSpine({0.0f, -0.5f, 0, 0.2f, 2});
    InitTrackModel();
    gTrackModel[0].Rails[0].Smooth = true;
    gTrackModel[0].Spines[0].Smooth = true;
    ModelRail(0, 0, 1.0f);
    ModelSpine(0, 0, 1.0f);
    EXPECT_EQ(Rail().FaceCount, 0);
    EXPECT_FALSE(Rail().Smooth);
    EXPECT_EQ(Spine().FaceCount, 0);
    EXPECT_TRUE(Spine().Smooth);  // left as it was
}

TEST_F(RailSweepsTest, SpineShapes) {
    MakeSyntheticPath({6.0f});
    OneSpine({0.0f, -0.3f, 0, 0.2f, SpineRound});
    InitTrackModel();
    ModelSpine(0, 0, 1.0f);
    EXPECT_TRUE(Spine().Smooth);
    EXPECT_EQ(Spine().FaceCount, 16 * Strips(6.0f, 1.0f));
    const Vector3 n0 = Spine().Faces[0].FaceNormal(), n15 = Spine().Faces[15].FaceNormal();
    ExpectVector(Spine().Faces[0].VertexNormal2, (n0.X + n15.X) / 2, (n0.Y + n15.Y) / 2, (n0.Z + n15.Z) / 2);

    OneSpine({0.0f, -0.5f, 0, 0.3f, SpineSquare});
    InitTrackModel();
    ModelSpine(0, 0, 1.0f);
    EXPECT_FALSE(Spine().Smooth);
    EXPECT_EQ(Spine().FaceCount, 8 * Strips(6.0f, 1.0f));
}

TEST_F(RailSweepsTest, PosZMovesNothing) {
    MakeSyntheticPath({5.0f});
    OneRail({0.5f, 0.1f, 0.0f, 0.07f, RailRound});
    InitTrackModel();
    ModelRail(0, 0, 0.5f);
    const ModelMesh first = Rail();
    OneRail({0.5f, 0.1f, 7.0f, 0.07f, RailRound});
    InitTrackModel();
    ModelRail(0, 0, 0.5f);
    ASSERT_EQ(first.FaceCount, Rail().FaceCount);
    for (int i = 0; i < first.FaceCount; ++i) {
        EXPECT_EQ(first.Faces[i].V1.Z, Rail().Faces[i].V1.Z);
        EXPECT_EQ(first.Faces[i].V3.X, Rail().Faces[i].V3.X);
    }
}

TEST_F(RailSweepsTest, OpenTrackEndsAtItsLastRingWithoutZeroAreaStripsAndClosedTrackJoins) {
    // On the last segment of an open track the rings beyond the end repeat the
    // last frame: the strips they would make have no area and are left out, so
    // the rail ends at the last ring within the segment.
    MakeSyntheticPath({3.0f});
    gPathMatrixArray[0].Length = 3.0f;
    OneRail({0.5f, 0, 0, 0.07f, RailSquare});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    const ModelMesh& open = Rail();
    ASSERT_EQ(open.FaceCount, 8 * 3);  // rings at 0, 1, 2 and 3 m
    for (int i = 0; i < open.FaceCount; ++i) {
        const Vector3& n = open.Faces[i].FaceNormal();
        EXPECT_NE(n.X * n.X + n.Y * n.Y + n.Z * n.Z, 0.0f) << i;
    }
    EXPECT_FLOAT_EQ(open.Faces[open.FaceCount - 1].V1.Z, -3.0f);

    // Rings past the end of a segment with a successor take its first frame;
    // this path's segment reaches its end exactly, where that frame lies, so
    // they repeat the last ring and add nothing either.
    MakeSyntheticPath({3.0f, 3.0f});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    EXPECT_EQ(Rail().FaceCount, 8 * 3);

    // On a closed circuit the last ring lies on the first ring of segment 0.
    MakeCircleTrack(4, 20.0f);
    ExtractTrackSpine();
    BuildPathMatrixArray();
    OneRail({0.5f, 0, 0, 0.07f, RailSquare});
    InitTrackModel();
    ModelRail(3, 0, 1.0f);
    ModelRail(0, 0, 1.0f);
    const ModelMesh& end = gTrackModel[3].Rails[0];
    const ModelMesh& start = gTrackModel[0].Rails[0];
    const ModelFace& lastFace = end.Faces[end.FaceCount - 8];  // first face of the final strip
    EXPECT_NEAR(lastFace.V2.X, start.Faces[0].V1.X, 1e-4f);
    EXPECT_NEAR(lastFace.V2.Z, start.Faces[0].V1.Z, 1e-4f);
}

TEST_F(RailSweepsTest, ZeroSizeCollapsesTheRingsAndBuildsNoFaces) {
    MakeSyntheticPath({2.0f});
    OneRail({0.5f, 0, 0, 0.0f, RailRound});
    InitTrackModel();
    ModelRail(0, 0, 1.0f);
    EXPECT_EQ(Rail().FaceCount, 0);
    EXPECT_TRUE(Rail().Smooth);
}

TEST_F(RailSweepsTest, SpacingOfZeroOrLessIsClampedInsteadOfLoopingForever) {
    MakeSyntheticPath({2.0f});
    OneRail({0.5f, 0, 0, 0.07f, RailSquare});
    InitTrackModel();
    ModelRail(0, 0, 0.0f);
    EXPECT_EQ(Rail().FaceCount, 8 * Strips(2.0f, 0.1f));
    InitTrackModel();
    ModelRail(0, 0, -1.0f);
    EXPECT_EQ(Rail().FaceCount, 8 * Strips(2.0f, 0.1f));
    InitTrackModel();
    ModelRail(0, 0, 50.0f);  // above the dialog's range: 3 m
    EXPECT_EQ(Rail().FaceCount, 8 * Strips(2.0f, 3.0f));
}

TEST_F(RailSweepsTest, ZeroLengthSegmentEndsTheSweep) {
    // Two nodes at one point: the ring step is 0 and would never reach the end.
    MakeSyntheticPath({0.0f});
    OneRail({0.5f, 0, 0, 0.07f, RailRound});
    OneSpine({0.0f, -0.3f, 0, 0.2f, SpineRound});
    InitTrackModel();
    ModelRail(0, 0, 0.5f);
    ModelSpine(0, 0, 1.0f);
    EXPECT_EQ(Rail().FaceCount, 0);
    EXPECT_EQ(Spine().FaceCount, 0);
}

TEST_F(RailSweepsTest, BadIndicesDoNothing) {
    MakeSyntheticPath({2.0f});
    OneRail({0.5f, 0, 0, 0.07f, RailRound});
    InitTrackModel();
    ModelRail(1, 0, 1.0f);
    ModelRail(0, 1, 1.0f);
    ModelRail(-1, 0, 1.0f);
    ModelSpine(0, 0, 1.0f);
    EXPECT_EQ(Rail().FaceCount, 0);
}
