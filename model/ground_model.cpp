#include "model/ground_model.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "core/app_state.h"
#include "model/build_snapshot.h"
#include "model/busy_window.h"
#include "model/model_budget.h"
#include "model/model_meshes.h"
#include "model/parallel_build.h"
#include "model/modeler_settings.h"
#include "trackdoc/track_document.h"

namespace {

// Height of terrain point (i, j) as stored (below the water level too); 0 where
// the grid holds no value.
float StoredHeight(int32_t i, int32_t j) {
    const TerrainHeightGrid& grid = gTerrainHeights;
    if (i < 0 || j < 0 || i >= grid.Columns || j >= grid.Rows) return 0.0f;
    const size_t at = static_cast<size_t>(j) * static_cast<size_t>(grid.Columns) + static_cast<size_t>(i);
    return at < grid.Values.size() ? grid.Values[at] : 0.0f;
}

// Resizes, keeping the records that stay, and gives the memory of a much
// larger former ground back instead of keeping it reserved. New memory is
// first touched on all cores: the first write to a page is what costs in a
// process that has not used it before, and the records' own zeroing that
// follows runs on one thread.
template <class T>
void ResizeReleasing(LargeVector<T>& v, size_t n) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (n > v.capacity() || v.capacity() > 2 * n + 16) {
        LargeVector<T> fresh;
        fresh.reserve(n);
        auto* memory = reinterpret_cast<unsigned char*>(fresh.data());
        const size_t bytes = n * sizeof(T);
        constexpr size_t kBlock = size_t(1) << 20;
        ParallelForEach(0, static_cast<int64_t>((bytes + kBlock - 1) / kBlock), [&](int64_t b) {
            const size_t at = static_cast<size_t>(b) * kBlock;
            std::memset(memory + at, 0, std::min(kBlock, bytes - at));
        });
        fresh.assign(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(n, v.size())));
        v.swap(fresh);
    }
    v.resize(n);
}

void SetTriangle(GroundTriangle& t, int32_t a, int32_t b, int32_t c) {
    t.A = a;
    t.B = b;
    t.C = c;
}

// Rows of vertices whose normals one task computes, with the face normals of
// the quad rows around them.
constexpr int32_t kNormalRowBlock = 64;

}  // namespace

void MakeFlatGround() {
    gGroundSmooth = false;
    gHasWaterModel = false;
    gGroundVertices = LargeVector<GroundVertex>(5);
    gGroundTriangles = LargeVector<GroundTriangle>(3);
    gWaterVertexCount = 0;
    gWaterTriangleCount = 0;
    gGroundVertices[0].Position = MakeVector(220.0f, 0.0f, 220.0f);
    gGroundVertices[1].Position = MakeVector(220.0f, 0.0f, -220.0f);
    gGroundVertices[2].Position = MakeVector(-220.0f, 0.0f, -220.0f);
    gGroundVertices[3].Position = MakeVector(-220.0f, 0.0f, 220.0f);
    SetTriangle(gGroundTriangles[0], 0, 1, 2);
    SetTriangle(gGroundTriangles[1], 2, 3, 0);
    gGroundVertexCount = 4;
    gGroundTriangleCount = 2;
}

void CreateGroundModel() {
    const ModelerSettings& settings = BuildSettings();
    const int32_t stride = gModelBudgetLimits.GroundStride;
    if (gDocumentType == DocumentElement || !settings.UseTerrain || !gHasTerrain || stride < 0) {
        MakeFlatGround();
        return;
    }
    // Never more points than the grid holds values for.
    const int32_t width = std::clamp<int32_t>(gTerrainWidth, 0, gTerrainHeights.Columns);
    const int32_t depth = std::clamp<int32_t>(gTerrainDepth, 0, gTerrainHeights.Rows);
    // Every point, every second at low detail, or as coarse as the budget asks.
    const int32_t k = std::max(settings.LowDetailTerrain ? 2 : 1, stride);
    const int32_t w = width / k, d = depth / k;
    const double dx = gTerrainSpacingX, dz = gTerrainSpacingZ;
    // Every mesh point stands where the terrain point it takes its height from
    // stands, on the grid that the footers, tubes and ground heights use; at
    // half detail too, where the grid takes every second point.
    const double x0 = -(dx * (width - 1)) * 0.5;
    const double z0 = -(dz * (depth - 1)) * 0.5;
    gGroundSmooth = true;

    const size_t vertexCount = static_cast<size_t>(w) * static_cast<size_t>(d);
    ResizeReleasing(gGroundVertices, vertexCount + 1);
    gWaterVertexCount = 0;
    gWaterTriangleCount = 0;
    ParallelForEach(0, d, [&](int64_t jj) {
        const int32_t j = static_cast<int32_t>(jj);
        const float z = static_cast<float>(z0 + double(k * j) * dz);
        GroundVertex* row = &gGroundVertices[static_cast<size_t>(j) * w];
        for (int32_t i = 0; i < w; ++i)
            row[i].Position = MakeVector(static_cast<float>(x0 + double(k * i) * dx), StoredHeight(k * i, k * j), z);
    });
    gGroundVertexCount = static_cast<int32_t>(vertexCount);

    const size_t triangleCount = w > 1 && d > 1 ? 2 * static_cast<size_t>(w - 1) * static_cast<size_t>(d - 1) : 0;
    ResizeReleasing(gGroundTriangles, triangleCount + 1);
    BuildProgress& busy = BusyWindow();
    // Row j of quads holds triangles 2 (w - 1) j onwards, two per quad.
    ParallelBlocks(0, triangleCount > 0 ? d - 1 : 0, 64, [&](int64_t jj) {
        const int32_t j = static_cast<int32_t>(jj);
        size_t t = 2 * static_cast<size_t>(w - 1) * static_cast<size_t>(j);
        for (int32_t i = 0; i + 1 < w; ++i) {
            const int32_t a = j * w + i, b = a + w, c = b + 1, e = a + 1;
            SetTriangle(gGroundTriangles[t++], a, b, c);
            SetTriangle(gGroundTriangles[t++], c, e, a);
        }
    }, [&](int64_t) { busy.UpdateMarker(); });
    gGroundTriangleCount = static_cast<int32_t>(triangleCount);

    // Vertex normals: the mean of the face normals of every triangle at the
    // vertex, summed in triangle order; a vertex without triangles keeps its
    // normal. Vertex (i, j) is corner c of both triangles of quad (i-1, j-1),
    // b of the first of quad (i, j-1), e of the second of quad (i-1, j) and a
    // of both of quad (i, j): that is their order.
    // The face normals are not kept: each block of rows computes those of the
    // quad rows it touches (the one above it included) into a list of its own.
    if (triangleCount > 0) {
        const int32_t quads = w - 1;
        const int32_t blocks = (d + kNormalRowBlock - 1) / kNormalRowBlock;
        ParallelForEach(0, blocks, [&](int64_t block) {
            const int32_t j0 = static_cast<int32_t>(block) * kNormalRowBlock;
            const int32_t j1 = std::min(d, j0 + kNormalRowBlock);
            const int32_t q0 = std::max(0, j0 - 1), q1 = std::min(d - 1, j1);  // quad rows q0 .. q1 - 1
            const size_t perRow = 2 * static_cast<size_t>(quads);
            std::vector<Vector3> faceNormals(perRow * static_cast<size_t>(q1 - q0));
            for (int32_t qj = q0; qj < q1; ++qj)
                for (size_t k = 0; k < perRow; ++k)
                    faceNormals[static_cast<size_t>(qj - q0) * perRow + k] =
                        GroundFaceNormal(gGroundTriangles[static_cast<size_t>(qj) * perRow + k]);
            for (int32_t j = j0; j < j1; ++j) {
                for (int32_t i = 0; i < w; ++i) {
                    double x = 0.0, y = 0.0, z = 0.0;
                    int32_t count = 0;
                    const auto add = [&](int32_t qi, int32_t qj, int second) {
                        if (qi < 0 || qj < 0 || qi >= quads || qj >= d - 1) return;
                        const Vector3& n = faceNormals[static_cast<size_t>(qj - q0) * perRow + 2 * static_cast<size_t>(qi) + second];
                        x += n.X;
                        y += n.Y;
                        z += n.Z;
                        ++count;
                    };
                    add(i - 1, j - 1, 0);
                    add(i - 1, j - 1, 1);
                    add(i, j - 1, 0);
                    add(i - 1, j, 1);
                    add(i, j, 0);
                    add(i, j, 1);
                    if (count == 0) continue;
                    gGroundVertices[static_cast<size_t>(j) * w + i].Normal =
                        MakeVector(static_cast<float>(x / count), static_cast<float>(y / count), static_cast<float>(z / count));
                }
            }
        });
    }

    // Columns or rows at one place (a terrain spacing of 0) put the grid on a
    // line seen from above: there the ground's triangles have area only where
    // the heights differ, and the water's none at all. Those without area are
    // left out. On a grid whose points stand apart every triangle has area.
    // The check reads the first row and column, which a grid without
    // triangles may not have (a side of 0 points, also once a detail level
    // takes every second point): such a grid has nothing to leave out.
    bool apart = true;
    if (triangleCount > 0) {
        for (int32_t i = 1; i < w && apart; ++i)
            apart = gGroundVertices[i].Position.X != gGroundVertices[i - 1].Position.X;
        for (int32_t j = 1; j < d && apart; ++j)
            apart = gGroundVertices[static_cast<size_t>(j) * w].Position.Z !=
                    gGroundVertices[static_cast<size_t>(j - 1) * w].Position.Z;
    }
    if (!apart) {
        size_t kept = 0;
        for (size_t t = 0; t < triangleCount; ++t) {
            const GroundTriangle tri = gGroundTriangles[t];
            if (FaceHasArea(gGroundVertices[static_cast<size_t>(tri.A)].Position,
                            gGroundVertices[static_cast<size_t>(tri.B)].Position,
                            gGroundVertices[static_cast<size_t>(tri.C)].Position))
                gGroundTriangles[kept++] = tri;
        }
        gGroundTriangleCount = static_cast<int32_t>(kept);
    }

    if (gHasWater) {
        gHasWaterModel = true;
        gWaterNormal = TriangleNormal(MakeVector(0, 0, 0), MakeVector(1, 0, 0), MakeVector(1, 0, -1));
        // The water is the ground's grid laid flat: it reads the ground's arrays.
        gWaterTriangleCount = apart ? gGroundTriangleCount : 0;
        gWaterVertexCount = gGroundVertexCount;
    } else {
        gHasWaterModel = false;
    }
}
