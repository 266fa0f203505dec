// Curve-radius comb and heart-line.

#include <cmath>
#include <vector>

#include "core/app_state.h"
#include "model/model_budget.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class RadiusCombTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gCombRadiusScale = 0.1f;
        gCombRadiusLimit = 50;
        gModelSettings.RailDetail = 0.5f;
    }
    void Build() {
        ExtractTrackSpine();
        BuildPathMatrixArray();
        RebuildRadiusComb();
    }
    // The teeth of every segment but the first and last sample of each.
    static void ExpectTeeth(float ratio, float length, float tolerance, float lengthTolerance = 0.03f) {
        for (int s = 0; s < gSegmentCount; ++s) {
            const RadiusCombSegment& comb = gRadiusComb[s];
            ASSERT_GT(comb.Count, 2);
            for (int k = 1; k + 1 < comb.Count; ++k) {
                const CombTooth& t = comb.Teeth[k];
                EXPECT_NEAR(t.Ratio, ratio, tolerance);
                EXPECT_NEAR(t.Tip.Y - t.Base.Y, length, lengthTolerance);
                EXPECT_NEAR(t.Tip.X, t.Base.X, 1e-3f);
                EXPECT_NEAR(t.Tip.Z, t.Base.Z, 1e-3f);
            }
        }
    }
};

}  // namespace

TEST_F(RadiusCombTest, RatiosOnKnownRadii) {
    MakeCircleTrack(8, 20.0f);
    Build();
    ASSERT_EQ(gRadiusComb.size(), 9u);
    ExpectTeeth(0.4f, 2.0f, 0.005f);
    // Clipped at the limit up to 500 m.
    MakeCircleTrack(16, 300.0f);
    Build();
    ExpectTeeth(1.0f, 5.0f, 0.0f, 1e-4f);
    // Gentler than 500 m counts as straight.
    MakeCircleTrack(16, 600.0f);
    Build();
    ExpectTeeth(0.0f, 0.0f, 0.0f, 1e-5f);
    // A limit of 1: every radius between 1 and 500 shows in full.
    gCombRadiusLimit = 1;
    MakeCircleTrack(8, 20.0f);
    Build();
    ExpectTeeth(1.0f, 0.1f, 0.0f, 1e-5f);
}

TEST_F(RadiusCombTest, RadiusEstimateOfACircularArc) {
    // An eighth of a circle of radius 40 about the origin, from (40, 0, 0) toward -Z.
    const double r = 40.0, k = 4.0 / 3.0 * std::tan(kPi / 16) * r, e = r * std::sqrt(0.5);
    const Vector3 p0{float(r), 0, 0}, c0{float(r), 0, float(-k)};
    const Vector3 p3{float(e), 0, float(-e)}, c3{float(e + k * std::sqrt(0.5)), 0, float(-e + k * std::sqrt(0.5))};
    for (float t : {0.0f, 0.25f, 0.5f, 0.9f}) EXPECT_NEAR(GetRadiusAtParameter(p0, c0, p3, c3, t), r, r * 0.01) << t;
    // A straight line does not turn; a tangent of no length gives no radius.
    const Vector3 a{0, 0, 0}, b{0, 0, -1}, c{0, 0, -2}, d{0, 0, -3};
    EXPECT_EQ(GetRadiusAtParameter(a, b, d, c, 0.3f), 0.0f);
    EXPECT_EQ(GetRadiusAtParameter(a, a, d, c, 0.0f), 0.0f);
    EXPECT_EQ(GetRadiusAtParameter(a, a, a, a, 0.5f), 0.0f);
    Vector3 tangent;
    BezierTangent(tangent, p0, c0, p3, c3, 0.0f);
    EXPECT_FLOAT_EQ(tangent.Z, float(-k));
    BezierTangent(tangent, p0, c0, p3, c3, 1.0f);
    EXPECT_FLOAT_EQ(tangent.X, float(p3.X - c3.X));
    BezierTangent(tangent, p0, c0, p3, c3, 0.5f);
    EXPECT_FLOAT_EQ(tangent.Z, float(0.25 * (c0.Z - p0.Z) + 0.5 * (c3.Z - c0.Z) + 0.25 * (p3.Z - c3.Z)));
}

TEST_F(RadiusCombTest, StraightTrackTeethHaveNoLengthAndStandHalfAMetreApart) {
    MakeStraightTrack(2, 10.0f);
    Build();
    for (int s = 0; s < 2; ++s) {
        const RadiusCombSegment& comb = gRadiusComb[s];
        // Length 9.99: n = 20 marks, and the first tooth at the start.
        ASSERT_EQ(comb.Count, 21);
        for (int k = 0; k < comb.Count; ++k) {
            EXPECT_EQ(comb.Teeth[k].Ratio, 0.0f);
            EXPECT_NEAR(Length(Sub(comb.Teeth[k].Tip, comb.Teeth[k].Base)), 0.0, 1e-4);
        }
        EXPECT_EQ(comb.Teeth[0].Base.Z, -10.0f * s);
        EXPECT_NEAR(comb.Teeth[1].Base.Z - comb.Teeth[0].Base.Z, -9.99f / 20, 0.02f);
        EXPECT_NEAR(comb.Teeth[20].Base.Z, MatrixGetTranslation(gPathMatrixArray[s].Frames[999].Frame).Z, 1e-6f);
    }
    // A short segment: 0.4 rounds to 0, raised to one step: two teeth.
    MakeStraightTrack(1, 0.2f);
    Build();
    EXPECT_EQ(gRadiusComb[0].Count, 2);
}

TEST_F(RadiusCombTest, HeartlineRunsOneMetreAboveAndOneStepPast) {
    MakeStraightTrack(2, 10.0f);
    Build();
    ASSERT_EQ(gHeartline.size(), 3u);
    for (int s = 0; s < 2; ++s) {
        const SegmentUpPoints& line = gHeartline[s];
        ASSERT_EQ(line.Count, 22);  // 0 .. 20 steps and one past the end
        for (int k = 0; k < line.Count; ++k) EXPECT_NEAR(line.Points[k].Y, 6.0f, 1e-5f);
        EXPECT_EQ(line.Points[0].Z, -10.0f * s);
        EXPECT_EQ(line.Points[20].Z, MatrixGetTranslation(gPathMatrixArray[s].Frames[999].Frame).Z);
    }
    // Past the end of the first segment: the second one's first frame.
    EXPECT_EQ(gHeartline[0].Points[21].Z, -10.0f);
    // Past the end of an open track the lookup fails: the last point repeats.
    EXPECT_EQ(gHeartline[1].Points[21].Z, gHeartline[1].Points[20].Z);
    // A spacing of 0 or less means half a metre; otherwise the spacing as set.
    gModelSettings.RailDetail = 0.0f;
    RebuildRadiusComb();
    EXPECT_EQ(gHeartline[0].Count, 22);
    gModelSettings.RailDetail = 1.0f;
    RebuildRadiusComb();
    EXPECT_EQ(gHeartline[0].Count, 12);
}

TEST_F(RadiusCombTest, InvertedStylesTurnTeethAndHeartlineDown) {
    MakeCircleTrack(8, 20.0f, StyleInverted4Seat);
    Build();
    ExpectTeeth(0.4f, -2.0f, 0.005f);
    EXPECT_NEAR(gHeartline[0].Points[3].Y, 4.0f, 1e-4f);
}

TEST_F(RadiusCombTest, SegmentsWithoutLengthOrCurveNeverHang) {
    MakeStraightTrack(3, 10.0f);
    // Segment 1 collapses to a point: all four of its curve points coincide.
    for (int n : {1, 2}) gNodes[n] = Node({0, 5, -10}, {0, 5, -10}, {0, 5, -10});
    for (float detail : {0.5f, 0.0f, -3.0f, NAN}) {
        gModelSettings.RailDetail = detail;
        Build();
        EXPECT_EQ(gPathMatrixArray[1].Length, 0.0f);
        EXPECT_EQ(gRadiusComb[1].Count, 1);
        EXPECT_EQ(gHeartline[1].Count, 3);
        for (int s = 0; s < 3; ++s) {
            for (int k = 0; k < gRadiusComb[s].Count; ++k) {
                EXPECT_TRUE(std::isfinite(gRadiusComb[s].Teeth[k].Tip.Y));
                EXPECT_TRUE(std::isfinite(gRadiusComb[s].Teeth[k].Ratio));
            }
            for (int k = 0; k < gHeartline[s].Count; ++k) EXPECT_TRUE(std::isfinite(gHeartline[s].Points[k].Y));
        }
    }
}

TEST_F(RadiusCombTest, DocumentsThatDisagreeWithThePathAndElements) {
    MakeStraightTrack(3, 10.0f);
    Build();
    // More segments in the document than in the path: those entries stay empty.
    gSegmentCount = 6;
    RebuildRadiusComb();
    ASSERT_EQ(gRadiusComb.size(), 7u);
    EXPECT_GT(gRadiusComb[2].Count, 0);
    EXPECT_EQ(gRadiusComb[4].Count, 0);
    EXPECT_EQ(gHeartline[5].Count, 0);
    // Fewer nodes than segments: no curve for the missing ones.
    gSegmentCount = 3;
    gNodeCount = 2;
    RebuildRadiusComb();
    EXPECT_GT(gRadiusComb[0].Count, 0);
    EXPECT_EQ(gRadiusComb[2].Count, 0);
    // An element has neither: only the spare entries remain.
    gDocumentType = DocumentElement;
    RebuildRadiusComb();
    EXPECT_EQ(gRadiusComb.size(), 1u);
    EXPECT_EQ(gHeartline.size(), 1u);
}

// The build makes each segment's comb and heart-line while the path is still
// being built, as soon as that segment's frames and the next one's are final:
// the same points, bit for bit, as building them after the whole path, on a
// banked closed circuit (its last segment reads the first segment's frames)
// and on an open track whose path the budget cut short.
TEST_F(RadiusCombTest, CombMadeWithThePathMatchesTheCombMadeAfterIt) {
    const auto snapshot = [] {
        std::vector<std::vector<float>> out;
        for (const RadiusCombSegment& c : gRadiusComb) {
            out.emplace_back();
            for (int k = 0; k < c.Count; ++k)
                for (float v : {c.Teeth[k].Base.X, c.Teeth[k].Base.Y, c.Teeth[k].Base.Z, c.Teeth[k].Tip.X,
                                c.Teeth[k].Tip.Y, c.Teeth[k].Tip.Z, c.Teeth[k].Ratio})
                    out.back().push_back(v);
        }
        for (const SegmentUpPoints& h : gHeartline) {
            out.emplace_back();
            for (int k = 0; k < h.Count; ++k)
                for (float v : {h.Points[k].X, h.Points[k].Y, h.Points[k].Z}) out.back().push_back(v);
        }
        return out;
    };
    for (bool closed : {true, false}) {
        MakeCircleTrack(300, 150.0f);
        for (int i = 0; i < gNodeCount; ++i) {
            gNodes[i].Roll = static_cast<float>(0.8 * std::sin(i * 0.41));
            gNodes[i].RollEasing = i % 3 == 0;
        }
        gClosedCircuit = closed;
        if (!closed) gModelBudgetLimits.PathSegments = 250;
        ExtractTrackSpine();
        BuildPathMatrixArray();
        RebuildRadiusComb();
        const auto after = snapshot();
        ASSERT_TRUE(PrepareRadiusComb());
        BuildPathMatrixArray(BuildSegmentComb);
        EXPECT_TRUE(snapshot() == after) << closed;
        gModelBudgetLimits = ModelBudgetLimits{};
    }
}
