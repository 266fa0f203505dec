// The parts of the prefabricated supports: beams, footers and the two fittings.

#include <cmath>
#include <set>

#include "core/app_state.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/prefab_support_parts.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/track_document.h"

namespace {

class PrefabSupportPartsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gPrefabModels.assign(3, ModelMesh{});
        gPrefabFooterModels.assign(3, ModelMesh{});
    }
};

// Rows [first, first + count) of a fitting: every face points away from the
// centre of its own corners (each part is convex).
::testing::AssertionResult PartPointsOutward(const PartRow* rows, int first, int count) {
    ModelMesh mesh;
    for (int r = first; r < first + count; ++r) {
        const auto& row = rows[r];
        AppendFace(mesh, MakeFace(Vector3{row[0][0], row[0][1], row[0][2]}, Vector3{row[1][0], row[1][1], row[1][2]},
                                  Vector3{row[2][0], row[2][1], row[2][2]}));
    }
    return FacesPointAwayFrom(mesh, 0, count, CornerCentre(mesh, 0, count));
}

bool SameRow(const PartRow& row, std::initializer_list<float> values) {
    auto v = values.begin();
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 3; ++k, ++v)
            if (row[c][k] != *v) return false;
    return true;
}

}  // namespace

TEST_F(PrefabSupportPartsTest, BeamWithAndWithoutCaps) {
    const Matrix4 frame = MatrixTranslate(1, 2, 3);
    BuildPrefabBeam(0, frame, Vector3{0.2f, 0.1f, 4.0f}, false, false);
    EXPECT_EQ(gPrefabModels[0].FaceCount, 16);
    BuildPrefabBeam(1, frame, Vector3{0.2f, 0.1f, 4.0f}, true, true);
    const ModelMesh& m = gPrefabModels[1];
    ASSERT_EQ(m.FaceCount, 28);
    EXPECT_TRUE(FacesAreConsistent(m));
    // Octagon inscribed in +-a by +-b, corners cut at half the half-width.
    EXPECT_FLOAT_EQ(m.Faces[0].V1.X, 1.1f);   // (a / 2, -b)
    EXPECT_FLOAT_EQ(m.Faces[0].V1.Y, 1.9f);
    EXPECT_FLOAT_EQ(m.Faces[0].V3.X, 1.2f);   // (a, -b / 2)
    EXPECT_FLOAT_EQ(m.Faces[0].V3.Y, 1.95f);
    EXPECT_FLOAT_EQ(m.Faces[0].V2.Z, -1.0f);  // the end ring, 4 along -Z
    EXPECT_TRUE(FacesPointAwayFromLine(m, 0, 16, Vector3{1, 2, 3}, Vector3{1, 2, -1}));
    EXPECT_TRUE(FacesFace(m, 16, 6, Vector3{0, 0, 1}));
    EXPECT_TRUE(FacesFace(m, 22, 6, Vector3{0, 0, -1}));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.Faces[i].Smoothing, -1);
    for (int i = 16; i < 28; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(m.Faces[i].VertexNormal1.Z, m.Faces[i].FaceNormal().Z);
        EXPECT_EQ(m.Faces[i].VertexNormal3.Z, m.Faces[i].FaceNormal().Z);
    }
    BuildPrefabBeam(2, frame, Vector3{0.2f, 0.1f, 4.0f}, true, false);
    EXPECT_EQ(gPrefabModels[2].FaceCount, 22);
    // Parts only append; a model number outside the list appends nothing.
    BuildPrefabBeam(1, frame, Vector3{0.2f, 0.1f, 4.0f}, false, false);
    EXPECT_EQ(gPrefabModels[1].FaceCount, 44);
    BuildPrefabBeam(3, frame, Vector3{0.2f, 0.1f, 4.0f}, true, true);
    BuildPrefabBeam(-1, frame, Vector3{0.2f, 0.1f, 4.0f}, true, true);
    EXPECT_EQ(gPrefabModels.size(), 3u);
}

TEST_F(PrefabSupportPartsTest, FooterStandsOnTheGroundAndReportsItsBottom) {
    gDocumentType = DocumentTrack;
    Vector3 at{3, 50, 4};
    BuildPrefabFooter(0, at, 0.0f);
    EXPECT_EQ(at.Y, 0.0f);
    const ModelMesh& m = gPrefabFooterModels[0];
    ASSERT_EQ(m.FaceCount, 10);
    EXPECT_FALSE(m.Smooth);
    const Bounds b = BoundsOf(m);
    EXPECT_FLOAT_EQ(b.Max.X - b.Min.X, 1.2f);
    EXPECT_FLOAT_EQ(b.Max.Y, 0.2f);
    EXPECT_TRUE(FacesPointAwayFrom(m, 0, 10, Vector3{3, 0.1f, 4}));
    // Over water the footer reaches down to -10.
    MakeTerrain(3, 3, 10, [](int, int) { return 2.0f; }, true);
    gModelSettings.RoundFooters = true;
    Vector3 wet{0, 0, 0};
    BuildPrefabFooter(1, wet, 1.0f);
    EXPECT_EQ(wet.Y, -10.0f);
    const ModelMesh& r = gPrefabFooterModels[1];
    ASSERT_EQ(r.FaceCount, 22);
    EXPECT_TRUE(r.Smooth);
    EXPECT_EQ(BoundsOf(r).Min.Y, -10.0f);
    EXPECT_FLOAT_EQ(BoundsOf(r).Max.Y, 2.2f);
    for (int i = 16; i < 22; ++i) EXPECT_EQ(r.Faces[i].VertexNormal2.Y, r.Faces[i].FaceNormal().Y);
    // Ground less than 0.2 above the bottom: still 0.2 high.
    MakeTerrain(3, 3, 10, [](int, int) { return -3.0f; });
    Vector3 low{0, 0, 0};
    BuildPrefabFooter(2, low, 0.0f);
    EXPECT_EQ(BoundsOf(gPrefabFooterModels[2]).Min.Y, 0.0f);
    EXPECT_FLOAT_EQ(BoundsOf(gPrefabFooterModels[2]).Max.Y, 0.2f);
}

TEST_F(PrefabSupportPartsTest, FirstFittingRowsAndWinding) {
    const auto& rows = kPrefabPartMesh1Rows;
    EXPECT_TRUE(SameRow(rows[0], {-1, -0.95f, -1, -1, -0.95f, 1, 1, -0.95f, 1}));
    EXPECT_TRUE(SameRow(rows[23], {-0.75f, -0.95f, -0.75f, -0.2f, 0, -0.2f, 0.2f, 0, -0.2f}));
    EXPECT_TRUE(PartPointsOutward(rows.data(), 2, 10));  // plate bottom and sides
    EXPECT_TRUE(PartPointsOutward(rows.data(), 12, 12)); // the stub
    // The plate's top faces up (the stub stands on it).
    ModelMesh top;
    for (int r = 0; r < 2; ++r)
        AppendFace(top, MakeFace(Vector3{rows[r][0][0], rows[r][0][1], rows[r][0][2]},
                                 Vector3{rows[r][1][0], rows[r][1][1], rows[r][1][2]},
                                 Vector3{rows[r][2][0], rows[r][2][1], rows[r][2][2]}));
    EXPECT_TRUE(FacesFace(top, 0, 2, Vector3{0, 1, 0}));

    const Matrix4 frame = MatrixTranslate(10, 20, 30);
    BuildPrefabPartMesh1(0, frame, Vector3{0.3f, 0.75f, 0.3f});
    const ModelMesh& m = gPrefabModels[0];
    ASSERT_EQ(m.FaceCount, 24);
    EXPECT_FALSE(m.Smooth);
    EXPECT_TRUE(FacesAreConsistent(m));
    const Bounds b = BoundsOf(m);
    EXPECT_FLOAT_EQ(b.Max.Y, 20.0f);
    EXPECT_FLOAT_EQ(b.Min.Y, 19.25f);
    EXPECT_FLOAT_EQ(b.Max.X, 10.3f);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(m.Faces[i].Smoothing, 0);
        EXPECT_EQ(Length(m.Faces[i].VertexNormal1), 0.0);
    }
}

TEST_F(PrefabSupportPartsTest, SecondFittingRowsCountsAndWindingPerPart) {
    const auto& rows = kPrefabPartMesh2Rows;
    // The quoted rows.
    EXPECT_TRUE(SameRow(rows[0], {-0.4f, 0.85f, -0.4f, -0.4f, 1.15f, -0.5f, -0.4f, 1.4f, -0.45f}));
    EXPECT_TRUE(SameRow(rows[1], {-0.4f, 1.4f, -0.45f, -0.4f, 1.6f, -0.25f, -0.4f, 1.65f, 0}));
    EXPECT_TRUE(SameRow(rows[54], {-0.55f, 0.55f, -0.5f, -0.55f, 0.55f, 0.5f, 0.55f, 0.55f, 0.5f}));
    EXPECT_TRUE(SameRow(rows[120], {-0.4f, 0, -0.15f, 0.4f, 0, -0.15f, 0.4f, 0, 0.15f}));
    EXPECT_TRUE(SameRow(rows[135], {-0.4f, 0.55f, -0.15f, -0.4f, 1.15f, -0.15f, 0.4f, 1.15f, -0.15f}));
    // Only the listed factors occur.
    const std::set<float> allowed = {0,     0.15f,  -0.15f, 0.25f, -0.25f, 0.4f,  -0.4f, 0.45f, -0.45f, 0.5f,
                                     -0.5f, 0.55f, -0.55f, 0.65f, 0.85f,  1.15f, 1.4f,  1.6f,  1.65f};
    for (const PartRow& row : rows)
        for (const auto& c : row)
            for (float f : c) EXPECT_TRUE(allowed.count(f)) << f;

    // The parts, each convex and wound outward: lobe faces and rim (left 0-37,
    // right 66-103), necks, legs, pad, cross bars.
    const struct {
        int First, Count;
        float X;  // every corner's x lies on this side of 0 (0: both)
    } parts[] = {
        {0, 38, -1},  {38, 6, -1},  {44, 10, -1}, {54, 12, 0},  {66, 38, 1},
        {104, 6, 1},  {110, 10, 1}, {120, 6, 0},  {126, 10, 0},
    };
    for (const auto& p : parts) {
        SCOPED_TRACE(p.First);
        EXPECT_TRUE(PartPointsOutward(rows.data(), p.First, p.Count));
        for (int r = p.First; r < p.First + p.Count; ++r)
            for (const auto& c : rows[r]) {
                if (p.X < 0) {
                    EXPECT_LE(c[0], -0.4f);
                } else if (p.X > 0) {
                    EXPECT_GE(c[0], 0.4f);
                }
            }
    }
    // Nine triangles on each lobe face: the inner face of the left cheek faces +x,
    // its outer face -x; the right cheek lists its outer face (+x) first.
    auto faceNormalX = [&](int r) {
        return TriangleNormal(Vector3{rows[r][0][0], rows[r][0][1], rows[r][0][2]},
                              Vector3{rows[r][1][0], rows[r][1][1], rows[r][1][2]},
                              Vector3{rows[r][2][0], rows[r][2][1], rows[r][2][2]})
            .X;
    };
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(faceNormalX(r), 1.0f);
        EXPECT_EQ(faceNormalX(9 + r), -1.0f);
        EXPECT_EQ(faceNormalX(66 + r), 1.0f);
        EXPECT_EQ(faceNormalX(75 + r), -1.0f);
        EXPECT_EQ(rows[66 + r][0][0], 0.5f);
        EXPECT_EQ(rows[75 + r][0][0], 0.4f);
    }
    // The right cheek mirrors the left one.
    for (int r = 0; r < 54; ++r) {
        const int mirrored = r < 9 ? 75 + r : r < 18 ? 66 + r - 9 : 66 + r;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(rows[mirrored][c][0], -rows[r][2 - c][0]);
            EXPECT_EQ(rows[mirrored][c][1], rows[r][2 - c][1]);
            EXPECT_EQ(rows[mirrored][c][2], rows[r][2 - c][2]);
        }
    }

    const Matrix4 frame = MatrixMultiply(MatrixTranslate(0, 5, 0), MatrixRotateY(0.3));
    BuildPrefabPartMesh2(2, frame, Vector3{0.35f, 0.75f, 0.75f});
    const ModelMesh& m = gPrefabModels[2];
    ASSERT_EQ(m.FaceCount, 136);
    EXPECT_TRUE(FacesAreConsistent(m));
    const Bounds b = BoundsOf(m);
    EXPECT_FLOAT_EQ(b.Min.Y, 5.0f);
    EXPECT_FLOAT_EQ(b.Max.Y, 5.0f + 1.65f * 0.75f);
    for (int i = 0; i < 136; ++i) EXPECT_EQ(m.Faces[i].Smoothing, 0);
}
