// Path frames: the spine copy, the 1000 banked frames per segment, and the
// lookup of a frame at a distance.

#include <cmath>
#include <cstring>

#include "core/app_state.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/element_document.h"

namespace {

class PathFramesTest : public ModelTest {};

bool SameMatrix(const Matrix4& a, const Matrix4& b) { return std::memcmp(&a, &b, sizeof(Matrix4)) == 0; }

void ExpectNear(const Matrix4& a, const Matrix4& b, float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), tolerance) << "at (" << r << ", " << c << ")";
}

// The bank of a frame against world up.
double Bank(const Matrix4& f) { return ArcTan2(f(1, 0), f(1, 1)); }

void BuildPath() {
    ExtractTrackSpine();
    BuildPathMatrixArray();
}

// An open track of two nodes along -Z, straight, with the given rolls.
void TwoNodeStraight(float roll0, float roll1, float length = 30.0f) {
    MakeStraightTrack(1, length);
    gNodes[0].Roll = roll0;
    gNodes[1].Roll = roll1;
}

}  // namespace

TEST_F(PathFramesTest, StraightSegmentHasIdentityFramesAndLinearDistance) {
    MakeStraightTrack(1, 20.0f);
    BuildPath();
    ASSERT_TRUE(gPathValid);
    ASSERT_EQ(gPathMatrixArray.size(), 1u);
    const PathSegmentFrames& rec = gPathMatrixArray[0];
    ASSERT_EQ(rec.FrameCount, 1000);
    EXPECT_NEAR(rec.Length, 0.999f * 20.0f, 1e-3f);
    EXPECT_EQ(rec.Length, rec.Frames[999].Distance);
    EXPECT_EQ(rec.Frames[0].Distance, 0.0f);
    for (int k : {0, 1, 250, 500, 998, 999}) {
        ExpectNear(rec.Frames[k].Rotation(), MatrixIdentity(), 1e-5f);
        EXPECT_NEAR(rec.Frames[k].Distance, k * 0.001 * 20.0, 2e-3) << k;
        // The frame's translation is the curve point.
        EXPECT_NEAR(rec.Frames[k].Frame(2, 3), -k * 0.001 * 20.0, 2e-3) << k;
        EXPECT_NEAR(rec.Frames[k].Frame(1, 3), 5.0f, 1e-6f);
    }
    for (int k = 1; k < 1000; ++k) ASSERT_GE(rec.Frames[k].Distance, rec.Frames[k - 1].Distance);
}

TEST_F(PathFramesTest, ExtractionCopiesTheDocumentAndMakesLaterStagesStale) {
    MakeCircleTrack(4, 20.0f);
    gSegments[2].Tunnel = true;
    gPathValid = gTrackModelValid = true;
    ExtractTrackSpine();
    EXPECT_EQ(gSpineInfoNodeCount, 4);
    EXPECT_EQ(gSpineInfoSegmentCount, 4);
    EXPECT_TRUE(gSpineInfoClosed);
    EXPECT_TRUE(gSpineInfoSegments[2].Tunnel);
    EXPECT_EQ(gSpineInfoNodes[1].Position.X, gNodes[1].Position.X);
    EXPECT_TRUE(gSpineInfoValid);
    EXPECT_FALSE(gPathValid);
    EXPECT_FALSE(gTrackModelValid);
    EXPECT_EQ(busy.Markers, 8);  // one per node and one per segment copied
    // The copy is private: editing the document does not move the spine.
    gNodes[1].Position.X = 999.0f;
    EXPECT_NE(gSpineInfoNodes[1].Position.X, 999.0f);
}

TEST_F(PathFramesTest, LookupAtExactFramesAndBetweenThem) {
    MakeCircleTrack(4, 20.0f);
    BuildPath();
    const PathSegmentFrames& rec = gPathMatrixArray[1];
    Matrix4 f;
    ASSERT_TRUE(GetPathMatrixAt(1, 0.0f, f));
    EXPECT_TRUE(SameMatrix(f, rec.Frames[0].Frame));
    ASSERT_TRUE(GetPathMatrixAt(1, rec.Length, f));
    EXPECT_TRUE(SameMatrix(f, rec.Frames[999].Frame));
    ASSERT_TRUE(GetPathMatrixAt(1, rec.Frames[400].Distance, f));
    EXPECT_TRUE(SameMatrix(f, rec.Frames[400].Frame));

    // Between frames 400 and 401 the frame moves monotonically from one to the other.
    const float d0 = rec.Frames[400].Distance, d1 = rec.Frames[401].Distance;
    const Vector3 p0 = MatrixGetTranslation(rec.Frames[400].Frame);
    const Vector3 p1 = MatrixGetTranslation(rec.Frames[401].Frame);
    float previous = 0.0f;
    for (int i = 1; i < 10; ++i) {
        const float d = d0 + (d1 - d0) * i / 10.0f;
        ASSERT_TRUE(GetPathMatrixAt(1, d, f));
        const float along = VectorDistance(p0, MatrixGetTranslation(f));
        EXPECT_GT(along, previous);
        EXPECT_LT(along, VectorDistance(p0, p1) + 1e-6f);
        previous = along;
        // The orientation lies between the two frames' orientations.
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const float lo = std::min(rec.Frames[400].Frame(r, c), rec.Frames[401].Frame(r, c));
                const float hi = std::max(rec.Frames[400].Frame(r, c), rec.Frames[401].Frame(r, c));
                EXPECT_GE(f(r, c), lo - 1e-5f);
                EXPECT_LE(f(r, c), hi + 1e-5f);
            }
    }
}

TEST_F(PathFramesTest, LookupPastTheEndOnClosedAndOpenTracks) {
    MakeCircleTrack(4, 20.0f);
    BuildPath();
    Matrix4 f;
    // Past segment 1 comes segment 2's first frame, the excess not carried over.
    ASSERT_TRUE(GetPathMatrixAt(1, gPathMatrixArray[1].Length + 0.5f, f));
    EXPECT_TRUE(SameMatrix(f, gPathMatrixArray[2].Frames[0].Frame));
    // Past the last segment of a closed circuit: segment 0.
    ASSERT_TRUE(GetPathMatrixAt(3, gPathMatrixArray[3].Length + 0.001f, f));
    EXPECT_TRUE(SameMatrix(f, gPathMatrixArray[0].Frames[0].Frame));

    MakeStraightTrack(2, 10.0f);
    BuildPath();
    Matrix4 untouched = MatrixTranslate(1, 2, 3);
    f = untouched;
    EXPECT_FALSE(GetPathMatrixAt(1, gPathMatrixArray[1].Length + 0.001f, f));
    EXPECT_TRUE(SameMatrix(f, untouched));
    EXPECT_FALSE(GetPathMatrixAt(0, -0.001f, f));
    EXPECT_FALSE(GetPathMatrixAt(2, 1.0f, f));
    EXPECT_FALSE(GetPathMatrixAt(-1, 1.0f, f));
    EXPECT_FALSE(GetPathMatrixAt(0, NAN, f));
    EXPECT_TRUE(SameMatrix(f, untouched));
}

TEST_F(PathFramesTest, CircleFramesFollowTheCurve) {
    const float radius = 20.0f;
    MakeCircleTrack(4, radius);
    BuildPath();
    ASSERT_EQ(gSpineInfoSegmentCount, 4);
    for (int s = 0; s < 4; ++s) {
        const PathSegmentFrames& rec = gPathMatrixArray[s];
        // A quarter circle, less the last thousandth of the curve.
        EXPECT_NEAR(rec.Length, kPi / 2 * radius * 0.999, 0.02) << s;
        for (int k : {0, 333, 999}) {
            const Matrix4& f = rec.Frames[k].Frame;
            // Level all the way: up stays world up, and -Z is the tangent.
            EXPECT_NEAR(f(1, 1), 1.0f, 1e-4f);
            EXPECT_NEAR(Bank(f), 0.0, 1e-4);
            const Vector3 p = MatrixGetTranslation(f);
            const double a = std::atan2(-double(p.Z), double(p.X));
            EXPECT_NEAR(-f(0, 2), -std::sin(a), 0.01) << s << " " << k;
            EXPECT_NEAR(-f(2, 2), -std::cos(a), 0.01) << s << " " << k;
            EXPECT_NEAR(std::hypot(p.X, p.Z), radius, 0.01);
        }
    }
    // Segments join: each starts with the orientation the one before ended with.
    ExpectNear(gPathMatrixArray[1].Frames[0].Rotation(), gPathMatrixArray[0].Frames[999].Rotation(), 0.0f);
}

TEST_F(PathFramesTest, BankOfALevelCurveGrowsByTheEasingWeight) {
    // Two nodes on a level quarter circle, rolled 0 and 0.5, no roll flags.
    const float r = 20.0f;
    const float k = static_cast<float>(4.0 / 3.0 * std::tan(kPi / 8.0) * r);
    gNodeCount = 2;
    gNodes.assign(3, TrackNode{});
    gNodes[0] = Node({r, 5, 0}, {r, 5, k}, {r, 5, -k}, 0.0f);
    gNodes[1] = Node({0, 5, -r}, {k, 5, -r}, {-k, 5, -r}, 0.5f);
    gSegmentCount = 1;
    FinishTrackSegments();
    BuildPath();
    const PathSegmentFrames& rec = gPathMatrixArray[0];
    const auto weight = [](double t) { return (1.0 - std::cos(kPi * t)) / 2.0; };
    EXPECT_NEAR(Bank(rec.Frames[999].Frame), 0.5 * weight(0.999), 1e-5);
    EXPECT_NEAR(Bank(rec.Frames[500].Frame), 0.5 * weight(0.5), 1e-5);
    EXPECT_NEAR(Bank(rec.Frames[200].Frame), 0.5 * weight(0.2), 1e-5);
    EXPECT_NEAR(Bank(rec.Frames[0].Frame), 0.0, 1e-7);
}

TEST_F(PathFramesTest, TargetOnTheTransportedBankLeavesTheSegmentUnrolled) {
    // Rolls 0, 0, 1.0 on a straight open track with easing on the first two
    // nodes: segment 0 has easing terms (its previous node wraps to node 2),
    // but its target T is 0, so it keeps the transported frames.
    MakeStraightTrack(2, 20.0f);
    gNodes[2].Roll = 1.0f;
    gNodes[0].RollEasing = gNodes[1].RollEasing = true;
    BuildPath();
    for (int k : {0, 290, 500, 710, 999}) ExpectNear(gPathMatrixArray[0].Frames[k].Rotation(), MatrixIdentity(), 1e-6f);
    // Segment 1 rolls toward 1.0 with node 1's easing bump on top.
    EXPECT_GT(std::fabs(Bank(gPathMatrixArray[1].Frames[500].Frame)), 0.1);
}

TEST_F(PathFramesTest, RollTargetRuleTakesTheDirectDifferenceUpTo260Degrees) {
    // Start bank -0.5, end roll 4.0: the difference 4.5 is below 260 degrees,
    // so the track turns the long way round (+4.5), not the short (-1.78).
    TwoNodeStraight(-0.5f, 4.0f);
    BuildPath();
    EXPECT_NEAR(Bank(gPathMatrixArray[0].Frames[500].Frame), -0.5 + 4.5 / 2.0, 1e-4);
}

TEST_F(PathFramesTest, RollTargetRuleBeyond260DegreesTakesTheOtherWayRound) {
    // Start bank -0.1, end roll 4.6: d1 = 4.7 exceeds 260 degrees; d3 = 4.5 is
    // not shorter than d2 = 4.6 - (-0.1 + 2 pi), so T = d2 = -1.583.
    TwoNodeStraight(-0.1f, 4.6f);
    BuildPath();
    const double d2 = 4.6 - (-0.1 + 2.0 * kPi);
    EXPECT_NEAR(Bank(gPathMatrixArray[0].Frames[500].Frame), -0.1 + d2 / 2.0, 1e-4);
}

TEST_F(PathFramesTest, StrictRollTakesTheNodeRollAsTheChange) {
    // With StrictRoll on the end node, T is its roll itself (0.4), not the
    // difference to the start bank (0.1).
    TwoNodeStraight(0.3f, 0.4f);
    gNodes[1].StrictRoll = true;
    BuildPath();
    EXPECT_NEAR(Bank(gPathMatrixArray[0].Frames[500].Frame), 0.3 + 0.4 / 2.0, 1e-4);
    EXPECT_NEAR(Bank(gPathMatrixArray[0].Frames[999].Frame), 0.3 + 0.4 * (1 - std::cos(kPi * 0.999)) / 2, 1e-4);
}

TEST_F(PathFramesTest, FirstFrameWithoutAControlLengthIsTurnedOnlyByTheRoll) {
    MakeStraightTrack(1, 10.0f);
    gNodes[0].ControlOut = gNodes[0].Position;
    gNodes[0].Roll = 0.25f;
    BuildPath();
    ExpectNear(gPathMatrixArray[0].Frames[0].Rotation(), MatrixRotateZ(0.25f), 0.0f);
}

TEST_F(PathFramesTest, ElementIsLiftedAboveTheFloor) {
    gElementNodeCount = 3;
    gElementNodes.assign(4, TrackNode{});
    gElementNodes[1] = Node({0, -3, -10}, {0, -2, -7}, {0, -4, -13});
    gElementNodes[2] = Node({0, 2, -20}, {0, 1, -17}, {0, 3, -23});
    gDocumentType = DocumentElement;
    ExtractElementSpine();
    EXPECT_EQ(gSpineInfoNodeCount, 3);
    EXPECT_EQ(gSpineInfoSegmentCount, 2);
    EXPECT_FALSE(gSpineInfoClosed);
    EXPECT_FLOAT_EQ(gSpineInfoNodes[1].Position.Y, 1.0f);  // -3 + 4
    EXPECT_FLOAT_EQ(gSpineInfoNodes[1].ControlIn.Y, 2.0f);
    EXPECT_FLOAT_EQ(gSpineInfoNodes[1].ControlOut.Y, 0.0f);
    EXPECT_FLOAT_EQ(gSpineInfoNodes[0].Position.Y, 4.0f);
    EXPECT_FLOAT_EQ(gSpineInfoNodes[2].Position.Y, 6.0f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(gSpineInfoSegments[i].SegmentType, 0);
        EXPECT_FALSE(gSpineInfoSegments[i].Tunnel);
        EXPECT_FALSE(gSpineInfoSegments[i].CustomColors);
    }

    gElementNodes[1].Position.Y = 0.5f;
    ExtractElementSpine();
    EXPECT_FLOAT_EQ(gSpineInfoNodes[1].Position.Y, 1.5f);  // all at y >= 0: lifted by 1
    EXPECT_FLOAT_EQ(gSpineInfoNodes[0].Position.Y, 1.0f);
}

TEST_F(PathFramesTest, EmptyElementGivesNoSegments) {
    gDocumentType = DocumentElement;
    ExtractElementSpine();
    EXPECT_EQ(gSpineInfoSegmentCount, 0);
    BuildPathMatrixArray();
    ASSERT_EQ(gPathMatrixArray.size(), 1u);
}

TEST_F(PathFramesTest, SpineWithoutSegmentsHoldsOneEmptyRecord) {
    MakeStraightTrack(0, 10.0f);
    BuildPath();
    EXPECT_TRUE(gPathValid);
    ASSERT_EQ(gPathMatrixArray.size(), 1u);
    EXPECT_EQ(gPathMatrixArray[0].FrameCount, 0);
    EXPECT_EQ(gPathMatrixArray[0].Length, 0.0f);
    Matrix4 f;
    EXPECT_FALSE(GetPathMatrixAt(0, 0.0f, f));
}

TEST_F(PathFramesTest, MoreSegmentsThanNodesLeavesTheMissingCurvesEmpty) {
    MakeStraightTrack(2, 10.0f);
    gSegmentCount = 5;  // a damaged document
    gSegments.resize(6);
    BuildPath();
    EXPECT_EQ(gPathMatrixArray[2].FrameCount, 1000);  // the closing segment back to node 0
    EXPECT_EQ(gPathMatrixArray[4].FrameCount, 0);
    Matrix4 f;
    EXPECT_FALSE(GetPathMatrixAt(4, 0.0f, f));
}

TEST_F(PathFramesTest, BuildingTheArrayMovesTheBusyMarkerPerSegment) {
    MakeStraightTrack(3, 10.0f);
    ExtractTrackSpine();
    busy.Markers = 0;
    BuildPathMatrixArray();
    EXPECT_EQ(busy.Markers, 3);
}

TEST_F(PathFramesTest, PrefabSupportFrameAndAnchor) {
    MakeStraightTrack(2, 10.0f);
    gRascGroups[1].ItemCount = 1;
    gRascGroups[1].Items = {RascItem{2, 0.5f}, RascItem{}};
    BuildPath();
    gModelSettings.gSpineCount = 1;
    gModelSettings.gSpines.assign(2, RailSpec{});
    gModelSettings.gSpines[0].PosY = -0.3f;

    Matrix4 frame, expected;
    ASSERT_TRUE(GetPrefabSupportFrame(frame, 1, 0));
    ASSERT_TRUE(GetPathMatrixAt(1, gPathMatrixArray[1].Length * 0.5f, expected));
    EXPECT_TRUE(SameMatrix(frame, expected));

    Vector3 anchor;
    ASSERT_TRUE(GetPrefabSupportAnchor(anchor, 1, 0));
    EXPECT_NEAR(anchor.Y, 5.0f - 0.3f, 1e-5f);
    EXPECT_NEAR(anchor.Z, -10.0f - gPathMatrixArray[1].Length * 0.5f, 1e-3f);

    gModelSettings.gSpineCount = 0;
    ASSERT_TRUE(GetPrefabSupportAnchor(anchor, 1, 0));
    EXPECT_NEAR(anchor.Y, 5.0f, 1e-5f);
}

TEST_F(PathFramesTest, PrefabAnchorOfAMissingGroupOrItemIsNoAnchor) {
    MakeStraightTrack(2, 10.0f);
    gRascGroups[1].ItemCount = 1;
    gRascGroups[1].Items = {RascItem{2, 0.5f}, RascItem{}};
    BuildPath();
    const Vector3 untouched{7, 8, 9};
    for (auto [segment, item] : {std::pair{1, 1}, {1, -1}, {0, 0}, {2, 0}, {-1, 0}, {99, 0}}) {
        Vector3 point = untouched;
        EXPECT_FALSE(GetPrefabSupportAnchor(point, segment, item)) << segment << " " << item;
        EXPECT_EQ(point.X, untouched.X);
        EXPECT_EQ(point.Z, untouched.Z);
        Matrix4 frame = MatrixIdentity();
        EXPECT_FALSE(GetPrefabSupportFrame(frame, segment, item));
        EXPECT_TRUE(SameMatrix(frame, Matrix4{}));
    }
}

// The frames equal the plain composition of the sampling and roll steps with
// the general matrix operations, value for value.
TEST_F(PathFramesTest, FramesMatchTheStepByStepComposition) {
    gNodeCount = 3;
    gNodes.assign(4, TrackNode{});
    gNodes[0] = Node({0, 5, 0}, {-3, 5, 4}, {3, 6, -4}, 0.2f);
    gNodes[1] = Node({10, 9, -20}, {6, 8, -16}, {14, 10, -24}, -0.7f);
    gNodes[2] = Node({0, 4, -40}, {5, 4, -37}, {-5, 4, -43}, 0.4f);
    gNodes[0].RollEasing = gNodes[1].RollEasing = true;
    gSegmentCount = 2;
    FinishTrackSegments();
    BuildPath();

    const TrackNode &n0 = gNodes[0], &n1 = gNodes[1], &n2 = gNodes[2];
    const Vector3 d0 = VectorFromTo(n0.Position, n0.ControlOut);
    const float a0 = static_cast<float>(ArcTan2(d0.Y, std::sqrt(double(d0.Z) * d0.Z + double(d0.X) * d0.X)));
    const float b0 = static_cast<float>(ArcTan2(-double(d0.X), -double(d0.Z)));
    Matrix4 r = MatrixMultiply(MatrixMultiply(MatrixRotateY(b0), MatrixRotateX(a0)), MatrixRotateZ(n0.Roll));
    std::vector<Matrix4> rot(1000), frame(1000);
    std::vector<float> dist(1000);
    rot[0] = r;
    frame[0] = MatrixMultiply(MatrixTranslateV(n0.Position), r);
    Vector3 prev = n0.Position;
    float len = 0.0f;
    for (int i = 1; i < 1000; ++i) {
        const float t = static_cast<float>(i * 0.001);
        const Vector3 p = BezierPoint(n0.Position, n0.ControlOut, n1.Position, n1.ControlIn, t);
        len = static_cast<float>(double(len) + VectorDistance(prev, p));
        const Vector3 l = MatrixTransformPoint(MatrixTranspose(r), VectorFromTo(prev, p));
        r = MatrixMultiply(MatrixMultiply(r, MatrixRotateY(ArcTan2(-double(l.X), -double(l.Z)))),
                           MatrixRotateX(ArcTan2(l.Y, std::sqrt(double(l.Z) * l.Z + double(l.X) * l.X))));
        rot[i] = r;
        frame[i] = MatrixMultiply(MatrixTranslateV(p), r);
        dist[i] = len;
        prev = p;
    }
    // Segment 0: u = node 2, n = node 1, q = node 2; no strict rolls.
    const auto wrap = [](double v) { return v > kPi ? v - 2 * kPi : (v <= -kPi ? v + 2 * kPi : v); };
    const double dA = wrap(double(n2.Roll) - n0.Roll), dB = wrap(double(n0.Roll) - n1.Roll),
                 dC = wrap(double(n1.Roll) - n2.Roll);
    const double sumA = dA + dB, sumC = -(dC + dB);
    const float e = static_cast<float>(ArcTan2(frame[999](1, 0), frame[999](1, 1)));
    const double target = static_cast<float>(n1.Roll - e);  // d1: the small case of the rule
    for (int k = 0; k < 1000; ++k) {
        const double t = static_cast<float>(k * 0.001);
        const float roll = static_cast<float>((1.0 - std::cos(kPi * t)) / 2.0 * target -
                                              2.0 * std::sin(kPi * (1.0 - t) * (1.0 - t)) * sumA / 30.0 -
                                              2.0 * std::sin(kPi * t * t) * sumC / 30.0);
        rot[k] = MatrixMultiply(rot[k], MatrixRotateZ(roll));
        frame[k] = MatrixSetTranslation(rot[k], MatrixGetTranslation(frame[k]));
    }
    const PathSegmentFrames& rec = gPathMatrixArray[0];
    for (int k = 0; k < 1000; ++k) {
        ASSERT_EQ(rec.Frames[k].Distance, dist[k]) << k;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                ASSERT_EQ(rec.Frames[k].Rotation()(i, j), rot[k](i, j)) << k << " " << i << j;
                ASSERT_EQ(rec.Frames[k].Frame(i, j), frame[k](i, j)) << k << " " << i << j;
            }
    }
    EXPECT_EQ(rec.Length, dist[999]);
}
