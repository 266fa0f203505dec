// Ground grid and water surface.

#include <algorithm>
#include <cmath>

#include "core/app_state.h"
#include "model/ground_model.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "tests/model/mesh_test_support.h"
#include "tests/model/model_test_support.h"
#include "trackdoc/document_procs.h"
#include "trackdoc/track_document.h"

namespace {

class GroundModelTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        gDocumentType = DocumentTrack;
        gModelSettings.UseTerrain = true;
    }
    static void ExpectFlatSquare() {
        EXPECT_FALSE(gGroundSmooth);
        EXPECT_FALSE(gHasWaterModel);
        ASSERT_EQ(gGroundVertexCount, 4);
        ASSERT_EQ(gGroundTriangleCount, 2);
        EXPECT_EQ(gGroundVertices[0].Position.X, 220.0f);
        EXPECT_EQ(gGroundVertices[1].Position.Z, -220.0f);
        EXPECT_EQ(gGroundVertices[2].Position.X, -220.0f);
        EXPECT_EQ(gGroundVertices[3].Position.Z, 220.0f);
        EXPECT_EQ(gGroundTriangles[0].A, 0);
        EXPECT_EQ(gGroundTriangles[1].A, 2);
        for (int t = 0; t < 2; ++t) {
            EXPECT_EQ(GroundFaceNormal(gGroundTriangles[t]).Y, 1.0f);
            EXPECT_EQ(GroundFaceNormal(gGroundTriangles[t]).X, 0.0f);
        }
    }
};

}  // namespace

TEST_F(GroundModelTest, FourByThreeTerrain) {
    MakeTerrain(4, 3, 10, [](int i, int j) { return float(i + 10 * j); });
    CreateGroundModel();
    EXPECT_TRUE(gGroundSmooth);
    ASSERT_EQ(gGroundVertexCount, 12);
    ASSERT_EQ(gGroundTriangleCount, 12);
    const float xs[] = {-15, -5, 5, 15}, zs[] = {-10, 0, 10};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const Vector3& p = gGroundVertices[j * 4 + i].Position;
            EXPECT_EQ(p.X, xs[i]);
            EXPECT_EQ(p.Z, zs[j]);
            EXPECT_EQ(p.Y, float(i + 10 * j));
            // The same point as the terrain height lookup uses.
            EXPECT_EQ(GetGroundHeightAt(p), p.Y);
        }
    const GroundTriangle& t0 = gGroundTriangles[0];
    const GroundTriangle& t1 = gGroundTriangles[1];
    EXPECT_EQ(t0.A, 0);
    EXPECT_EQ(t0.B, 4);
    EXPECT_EQ(t0.C, 5);
    EXPECT_EQ(t1.A, 5);
    EXPECT_EQ(t1.B, 1);
    EXPECT_EQ(t1.C, 0);
    // Cell (i', j') holds triangles 2 (j' (W' - 1) + i') and the one after it.
    EXPECT_EQ(gGroundTriangles[2 * (1 * 3 + 2)].A, 1 * 4 + 2);
    EXPECT_FALSE(gHasWaterModel);
}

TEST_F(GroundModelTest, FlatTerrainFacesUpAndNormalsAverageTheirTriangles) {
    MakeTerrain(5, 4, 2, [](int, int) { return 3.0f; });
    CreateGroundModel();
    for (int t = 0; t < gGroundTriangleCount; ++t) {
        const Vector3 n = GroundFaceNormal(gGroundTriangles[t]);
        EXPECT_EQ(n.Y, 1.0f);
        EXPECT_EQ(n.X, 0.0f);
        EXPECT_EQ(n.Z, 0.0f);
    }
    for (int v = 0; v < gGroundVertexCount; ++v) EXPECT_EQ(gGroundVertices[v].Normal.Y, 1.0f);

    // A ridge along x = const: the normals at an interior vertex average the six
    // triangles around it; a corner takes its one or two.
    MakeTerrain(5, 4, 1, [](int i, int) { return i == 2 ? 1.0f : 0.0f; });
    CreateGroundModel();
    const int w = 5;
    auto meanOf = [&](int v) {
        double x = 0, y = 0, z = 0;
        int n = 0;
        for (int t = 0; t < gGroundTriangleCount; ++t) {
            const GroundTriangle& tri = gGroundTriangles[t];
            if (tri.A == v || tri.B == v || tri.C == v) {
                const Vector3 f = GroundFaceNormal(tri);
                x += f.X;
                y += f.Y;
                z += f.Z;
                ++n;
            }
        }
        return std::tuple{n, Vector3{float(x / n), float(y / n), float(z / n)}};
    };
    for (int v = 0; v < gGroundVertexCount; ++v) {
        const auto [n, mean] = meanOf(v);
        const int i = v % w, j = v / w;
        const bool interior = i > 0 && i < w - 1 && j > 0 && j < 3;
        if (interior) {
            EXPECT_EQ(n, 6);
        }
        EXPECT_LE(n, 6);
        EXPECT_NEAR(gGroundVertices[v].Normal.X, mean.X, 1e-6f);
        EXPECT_NEAR(gGroundVertices[v].Normal.Y, mean.Y, 1e-6f);
        EXPECT_NEAR(gGroundVertices[v].Normal.Z, mean.Z, 1e-6f);
    }
    EXPECT_EQ(std::get<0>(meanOf(0)), 2);              // first corner: both triangles of its cell
    EXPECT_EQ(std::get<0>(meanOf(w - 1)), 1);          // the other corner of the first row: one
    EXPECT_LT(gGroundVertices[1].Normal.X, 0.0f);      // the slope up to the ridge leans back
}

TEST_F(GroundModelTest, HalfDetailStandsOnTheFullGridsPoints) {
    MakeTerrain(4, 3, 10, [](int i, int j) { return float(i + 10 * j); });
    gModelSettings.LowDetailTerrain = true;
    gGroundVertices.assign(3, GroundVertex{});
    gGroundVertices[0].Normal = Vector3{0, 0, 7};
    gGroundVertices[1].Normal = Vector3{0, 0, 8};
    CreateGroundModel();
    ASSERT_EQ(gGroundVertexCount, 2);
    EXPECT_EQ(gGroundTriangleCount, 0);
    // Grid points (0, 0) and (2, 0) of the terrain, where the full grid has them.
    EXPECT_EQ(gGroundVertices[0].Position.X, -15.0f);
    EXPECT_EQ(gGroundVertices[1].Position.X, 5.0f);
    EXPECT_EQ(gGroundVertices[1].Position.Z, -10.0f);
    EXPECT_EQ(gGroundVertices[1].Position.Y, 2.0f);
    // Without triangles the vertices keep the normals they had.
    EXPECT_EQ(gGroundVertices[0].Normal.Z, 7.0f);
    EXPECT_EQ(gGroundVertices[1].Normal.Z, 8.0f);
}

TEST_F(GroundModelTest, HalfDetailOfALargeTerrainUsesEvenPointsInPlace) {
    MakeTerrain(256, 256, 1, [](int i, int j) { return float((i * 7 + j * 13) % 11) * 0.5f; });
    gModelSettings.LowDetailTerrain = true;
    CreateGroundModel();
    ASSERT_EQ(gGroundVertexCount, 128 * 128);
    EXPECT_EQ(gGroundTriangleCount, 2 * 127 * 127);
    EXPECT_EQ(gGroundVertices[0].Position.X, -127.5f);  // the full grid's first point
    EXPECT_EQ(gGroundVertices[0].Position.Z, -127.5f);
    EXPECT_EQ(gGroundVertices[1].Position.X - gGroundVertices[0].Position.X, 2.0f);
    for (int v = 0; v < gGroundVertexCount; v += 97) {
        const int i = v % 128, j = v / 128;
        const Vector3& p = gGroundVertices[v].Position;
        EXPECT_EQ(p.Y, gTerrainHeights(2 * i, 2 * j));
        EXPECT_EQ(GetGroundHeightAt(p), p.Y) << v;  // footers and tubes stand on the same ground
    }
}

TEST_F(GroundModelTest, WaterSharesTheGrid) {
    MakeTerrain(4, 3, 10, [](int i, int) { return i < 2 ? -2.0f : 4.0f; }, true);
    CreateGroundModel();
    EXPECT_TRUE(gHasWaterModel);
    EXPECT_EQ(gWaterNormal.Y, 1.0f);
    EXPECT_EQ(gWaterNormal.X, 0.0f);
    ASSERT_EQ(gWaterTriangleCount, gGroundTriangleCount);
    ASSERT_EQ(gWaterVertexCount, gGroundVertexCount);
    // The ground keeps the lake bed below the water.
    EXPECT_EQ(gGroundVertices[0].Position.Y, -2.0f);
    gHasWater = false;
    CreateGroundModel();
    EXPECT_FALSE(gHasWaterModel);
    EXPECT_EQ(gWaterTriangleCount, 0);
    EXPECT_EQ(gWaterVertexCount, 0);
}

TEST_F(GroundModelTest, FlatSquareWithoutTerrainForElementsOrWhenSwitchedOff) {
    CreateGroundModel();  // no terrain
    ExpectFlatSquare();
    MakeTerrain(4, 3, 10, [](int, int) { return 1.0f; }, true);
    gModelSettings.UseTerrain = false;
    CreateGroundModel();
    ExpectFlatSquare();
    gModelSettings.UseTerrain = true;
    gDocumentType = DocumentElement;
    CreateGroundModel();
    ExpectFlatSquare();
}

TEST_F(GroundModelTest, DegenerateGridsBuildNoTriangles) {
    for (auto [w, d] : {std::pair{1, 1}, {0, 5}, {5, 1}, {-3, 4}}) {
        MakeTerrain(std::max(w, 0), std::max(d, 0), 1, [](int, int) { return 1.0f; });
        gTerrainWidth = w;
        gTerrainDepth = d;
        CreateGroundModel();
        EXPECT_EQ(gGroundTriangleCount, 0);
        EXPECT_GE(gGroundVertexCount, 0);
    }
    // A grid without a row or a column, also once a detail level takes every
    // second (or, by the model budget, every fourth) point: nothing to draw,
    // and nothing read outside the grid or the ground's arrays.
    for (auto [w, d] : {std::pair{33, 0}, {0, 33}, {33, 1}, {1, 33}, {33, 3}})
        for (auto [low, stride] : {std::pair{false, 0}, {true, 0}, {false, 4}}) {
            MakeTerrain(w, d, 1, [](int, int) { return 1.0f; }, true);
            gModelSettings.LowDetailTerrain = low;
            gModelBudgetLimits.GroundStride = stride;
            ClearModelArrays();
            CreateGroundModel();
            const int k = std::max(low ? 2 : 1, stride);
            EXPECT_EQ(gGroundVertexCount, (w / k) * (d / k)) << w << " x " << d << " every " << k;
            EXPECT_EQ(gGroundTriangleCount, w / k > 1 && d / k > 1 ? 2 * (w / k - 1) * (d / k - 1) : 0);
            EXPECT_EQ(gWaterTriangleCount, gGroundTriangleCount);
        }
    gModelBudgetLimits.GroundStride = 0;
    // A stated size larger than the stored grid is cut to the grid.
    MakeTerrain(3, 3, 1, [](int, int) { return 1.0f; });
    gTerrainWidth = 100000;
    gTerrainDepth = 100000;
    CreateGroundModel();
    EXPECT_EQ(gGroundVertexCount, 16);  // the grid's 4 x 4 values, spare row and column included
}

TEST_F(GroundModelTest, MarkerMovesAfterEveryRow) {
    MakeTerrain(6, 5, 1, [](int, int) { return 0.0f; });
    busy.Markers = 0;
    CreateGroundModel();
    EXPECT_EQ(busy.Markers, 4);
}
