// Tunnel shells: ring positions, sections, end rings, normals and bad settings.

#include <cmath>
#include <set>

#include "core/app_state.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/tunnel_models.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class TunnelModelsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gModelSettings.TunnelSoftness = 8;
        gModelSettings.SpineDetail = 1.0f;
    }
    // Straight segments along -Z of these lengths (spine copy and document),
    // every one a tunnel unless told otherwise.
    void Path(const std::vector<float>& lengths, float roll = 0.0f, int style = 0) {
        MakeSyntheticPath(lengths, roll);
        gDocumentType = DocumentTrack;
        gTrackStyle = style;
        gSegmentCount = static_cast<int32_t>(lengths.size());
        gSegments.assign(lengths.size() + 1, TrackSegment{});
        for (size_t i = 0; i < lengths.size(); ++i) gSegments[i].Tunnel = true;
    }
    // The z values of the corners of a mesh: one per ring position.
    static std::set<float> RingZs(const ModelMesh& m) {
        std::set<float> zs;
        for (int i = 0; i < m.FaceCount; ++i)
            for (const Vector3* v : {&m.Faces[i].V1, &m.Faces[i].V2, &m.Faces[i].V3}) zs.insert(v->Z);
        return zs;
    }
    static ::testing::AssertionResult InnerFacesPointIn(const ModelMesh& m, float cx, float cy) {
        for (int i = 0; i < m.FaceCount; ++i) {
            const Vector3 c = FaceCentre(m.Faces[i]);
            const Vector3 out{c.X - cx, c.Y - cy, 0};
            if (!(Dot(m.Faces[i].FaceNormal(), out) < 0.0)) return ::testing::AssertionFailure() << "face " << i;
            for (const auto& [v, n] : {std::pair{m.Faces[i].V1, m.Faces[i].VertexNormal1},
                                       {m.Faces[i].V2, m.Faces[i].VertexNormal2},
                                       {m.Faces[i].V3, m.Faces[i].VertexNormal3}})
                if (m.Smooth && !(Dot(n, Vector3{v.X - cx, v.Y - cy, 0}) < 0.0))
                    return ::testing::AssertionFailure() << "corner normal of face " << i;
        }
        return ::testing::AssertionSuccess();
    }
};

}  // namespace

TEST_F(TunnelModelsTest, ShortStraightRoundTunnel) {
    Path({3.0f});
    CreateTunnelModels();
    ASSERT_EQ(gTunnelModelCount, 1);
    ASSERT_EQ(gTunnelOuterModels.size(), 2u);
    const ModelMesh& outer = gTunnelOuterModels[0];
    const ModelMesh& inner = gTunnelInnerModels[0];
    // Rings at 0, 1, 2 and 3: three bands of 16, two end rings of 16 on the outside.
    ASSERT_EQ(outer.FaceCount, 16 + 48 + 16);
    ASSERT_EQ(inner.FaceCount, 48);
    EXPECT_TRUE(outer.Smooth);
    EXPECT_TRUE(inner.Smooth);
    EXPECT_EQ(RingZs(inner), (std::set<float>{-3.0f, -2.0f, -1.0f, 0.0f}));
    EXPECT_TRUE(FacesAreConsistent(outer));
    EXPECT_TRUE(FacesAreConsistent(inner));
    // Start ring: point 0 of the outer section is (2.1, 1), the circle about (0, 1).
    EXPECT_FLOAT_EQ(outer.Faces[0].V1.X, 2.1f);
    EXPECT_FLOAT_EQ(outer.Faces[0].V1.Y, 1.0f);
    EXPECT_EQ(outer.Faces[0].V1.Z, 0.0f);
    // ... running over the top: point 2 is (0, 3.1).
    EXPECT_NEAR(outer.Faces[4].V1.X, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(outer.Faces[4].V1.Y, 3.1f);
    EXPECT_FLOAT_EQ(outer.Faces[0].V3.X, inner.Faces[0].V1.X);  // I[1] of the start ring
    EXPECT_TRUE(FacesFace(outer, 0, 16, Vector3{0, 0, 1}));     // start ring faces back
    EXPECT_TRUE(FacesFace(outer, 64, 16, Vector3{0, 0, -1}));   // end ring faces on
    for (int i : {0, 17, 70}) {
        EXPECT_EQ(outer.Faces[i].Smoothing, 0);
        if (i != 17) {
            EXPECT_EQ(outer.Faces[i].VertexNormal2.Z, outer.Faces[i].FaceNormal().Z);
        }
    }
    // Bands: the outer faces away from the axis, the inner toward it, with
    // corner normals on their side too.
    EXPECT_TRUE(FacesPointAwayFromLine(outer, 16, 48, Vector3{0, 1, 0}, Vector3{0, 1, -3}));
    for (int i = 16; i < 64; ++i) {
        const ModelFace& f = outer.Faces[i];
        EXPECT_GT(Dot(f.VertexNormal1, Vector3{f.V1.X, f.V1.Y - 1, 0}), 0.0);
        EXPECT_GT(Dot(f.VertexNormal3, Vector3{f.V3.X, f.V3.Y - 1, 0}), 0.0);
    }
    EXPECT_TRUE(InnerFacesPointIn(inner, 0, 1));
}

TEST_F(TunnelModelsTest, ShortStraightSquareTunnel) {
    Path({3.0f});
    gModelSettings.SquareTunnels = true;
    CreateTunnelModels();
    const ModelMesh& outer = gTunnelOuterModels[0];
    const ModelMesh& inner = gTunnelInnerModels[0];
    ASSERT_EQ(outer.FaceCount, 8 + 24 + 8);
    ASSERT_EQ(inner.FaceCount, 24);
    EXPECT_FALSE(outer.Smooth);
    EXPECT_FALSE(inner.Smooth);
    EXPECT_TRUE(FacesAreConsistent(outer));
    // Corners (h, c + h), (-h, c + h), ... with h = 2.5 / sqrt 2.
    const float h = static_cast<float>(2.5 / std::sqrt(2.0));
    EXPECT_NEAR(outer.Faces[0].V1.X, h, 1e-5f);
    EXPECT_NEAR(outer.Faces[0].V1.Y, 1.0f + h, 1e-5f);
    EXPECT_NEAR(outer.Faces[0].V2.X, -h, 1e-5f);
    const Bounds in = BoundsOf(inner);
    EXPECT_NEAR(in.Max.X, 2.4 / std::sqrt(2.0), 1e-5);
    EXPECT_TRUE(FacesPointAwayFromLine(outer, 8, 24, Vector3{0, 1, 0}, Vector3{0, 1, -3}));
    EXPECT_TRUE(InnerFacesPointIn(inner, 0, 1));
    EXPECT_TRUE(FacesFace(outer, 0, 8, Vector3{0, 0, 1}));
    EXPECT_TRUE(FacesFace(outer, 32, 8, Vector3{0, 0, -1}));
    for (int i = 8; i < 32; ++i) EXPECT_EQ(Length(outer.Faces[i].VertexNormal1), 0.0);
}

TEST_F(TunnelModelsTest, InvertedStylesLowerTheSection) {
    for (int style : {2, 4}) {
        Path({3.0f}, 0.0f, style);
        CreateTunnelModels();
        EXPECT_FLOAT_EQ(gTunnelOuterModels[0].Faces[0].V1.Y, -1.0f);
        EXPECT_FLOAT_EQ(BoundsOf(gTunnelInnerModels[0]).Max.Y, 1.0f);
    }
}

TEST_F(TunnelModelsTest, RingCountsRoundHalvesToEvenAndEndAtTheSegmentsEnd) {
    const struct {
        float Length;
        size_t Rings;
    } cases[] = {{3.0f, 4}, {0.2f, 2}, {2.5f, 3}, {3.5f, 5}, {7.77f, 9}, {999.9f, 1001}};
    for (const auto& c : cases) {
        Path({c.Length});
        CreateTunnelModels();
        const std::set<float> zs = RingZs(gTunnelInnerModels[0]);
        EXPECT_EQ(zs.size(), c.Rings) << c.Length;
        EXPECT_EQ(*zs.begin(), -c.Length);
        EXPECT_EQ(*zs.rbegin(), 0.0f);
        EXPECT_EQ(gTunnelOuterModels[0].FaceCount, static_cast<int>(16 * (c.Rings - 1) + 32));
    }
}

TEST_F(TunnelModelsTest, BankedSquareTunnelStaysLevelAndShifts) {
    Path({2.0f}, static_cast<float>(kPi / 2));
    gModelSettings.SquareTunnels = true;
    CreateTunnelModels();
    const ModelMesh& outer = gTunnelOuterModels[0];
    // The centre line moves by -0.7 and -0.2 times the bank along the banked
    // frame's x and y: about 0.31 along world x and 1.1 down.
    const double bank = kPi / 2;
    const double cx = 0.2 * bank, cy = -0.7 * bank + 1.0;
    const float h = static_cast<float>(2.5 / std::sqrt(2.0));
    EXPECT_NEAR(outer.Faces[0].V1.X, cx + h, 1e-5);
    EXPECT_NEAR(outer.Faces[0].V1.Y, cy + h, 1e-5);
    // Level: every band face is axis-aligned.
    for (int i = 8; i < 24; ++i) {
        const Vector3& n = outer.Faces[i].FaceNormal();
        EXPECT_NEAR(std::fabs(n.X) + std::fabs(n.Y), 1.0f, 1e-5f);
    }
    // The round tunnel banks with the track instead: its point 0 turns up.
    gModelSettings.SquareTunnels = false;
    CreateTunnelModels();
    EXPECT_NEAR(gTunnelOuterModels[0].Faces[0].V1.X, -1.0f, 1e-5f);
    EXPECT_NEAR(gTunnelOuterModels[0].Faces[0].V1.Y, 2.1f, 1e-5f);
}

TEST_F(TunnelModelsTest, TunnelOnARealTrackFollowsItsFrames) {
    MakeStraightTrack(3, 10.0f);
    gSegments[1].Tunnel = true;
    ExtractTrackSpine();
    BuildPathMatrixArray();
    CreateTunnelModels();
    ASSERT_EQ(gTunnelModelCount, 1);
    const float length = gPathMatrixArray[1].Length;
    const std::set<float> zs = RingZs(gTunnelInnerModels[0]);
    EXPECT_EQ(zs.size(), static_cast<size_t>(SweepRingCount(length, 1.0f)) - 1);
    EXPECT_FLOAT_EQ(*zs.rbegin(), -10.0f);
    EXPECT_FLOAT_EQ(*zs.begin(), MatrixGetTranslation(gPathMatrixArray[1].Frames[999].Frame).Z);
    EXPECT_FLOAT_EQ(gTunnelOuterModels[0].Faces[0].V1.Y, 6.0f);  // track at y = 5, section centre 1 above
}

TEST_F(TunnelModelsTest, BadSettingsAndSegmentsNeverHangNorGiveNaN) {
    Path({3.0f, 0.0f, 2.0f});
    for (float detail : {0.0f, -1.0f, NAN, 1e-9f, 100.0f}) {
        gModelSettings.SpineDetail = detail;
        CreateTunnelModels();
        ASSERT_EQ(gTunnelModelCount, 3);
        EXPECT_TRUE(FacesAreConsistent(gTunnelOuterModels[0]));
        EXPECT_GT(gTunnelInnerModels[0].FaceCount, 0);
        // A segment of no length is left empty; the others are built.
        EXPECT_EQ(gTunnelOuterModels[1].FaceCount, 0);
        EXPECT_EQ(gTunnelInnerModels[1].FaceCount, 0);
        EXPECT_GT(gTunnelInnerModels[2].FaceCount, 0);
    }
    gModelSettings.SpineDetail = 1.0f;
    for (auto [softness, points] : {std::pair{0, 8}, {-5, 8}, {8, 8}, {20, 20}, {64, 64}, {1000, 64}}) {
        gModelSettings.TunnelSoftness = softness;
        CreateTunnelModels();
        EXPECT_EQ(gTunnelInnerModels[0].FaceCount, 3 * 2 * points) << softness;
        EXPECT_TRUE(FacesAreConsistent(gTunnelInnerModels[0]));
    }
}

TEST_F(TunnelModelsTest, CountsAndDocumentKinds) {
    Path({3.0f, 4.0f, 5.0f});
    gSegments[0].Tunnel = false;
    CreateTunnelModels();
    EXPECT_EQ(gTunnelModelCount, 2);
    EXPECT_EQ(RingZs(gTunnelInnerModels[0]).size(), 5u);  // segment 1, 4 m
    EXPECT_EQ(RingZs(gTunnelInnerModels[1]).size(), 6u);  // segment 2, 5 m
    EXPECT_EQ(gTunnelOuterModels[2].FaceCount, 0);         // the spare
    // More document segments than the path has: those tunnels stay empty.
    gSegmentCount = 5;
    gSegments.resize(6);
    gSegments[4].Tunnel = true;
    CreateTunnelModels();
    EXPECT_EQ(gTunnelModelCount, 3);
    EXPECT_EQ(gTunnelOuterModels[2].FaceCount, 0);
    // No flags: one empty spare each.
    for (TrackSegment& s : gSegments) s.Tunnel = false;
    CreateTunnelModels();
    EXPECT_EQ(gTunnelModelCount, 0);
    EXPECT_EQ(gTunnelOuterModels.size(), 1u);
    EXPECT_EQ(gTunnelInnerModels.size(), 1u);
    // An element has no tunnels: nothing of a previous track's remains.
    gSegments[1].Tunnel = true;
    CreateTunnelModels();
    gDocumentType = DocumentElement;
    CreateTunnelModels();
    EXPECT_EQ(gTunnelModelCount, 0);
    EXPECT_EQ(gTunnelOuterModels.size(), 1u);
    EXPECT_EQ(gTunnelOuterModels[0].FaceCount, 0);
}
