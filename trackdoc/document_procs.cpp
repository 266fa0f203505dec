#include "trackdoc/document_procs.h"

#include <cmath>

#include "trackdoc/track_document.h"

float GetTerrainCellHeight(int32_t i, int32_t j) {
    if (!gHasTerrain || i < 0 || j < 0 || i >= gTerrainWidth || j >= gTerrainDepth) return 0.0f;
    // A grid smaller than its stated size (never after a load) reads as flat
    // ground where it has no point.
    const TerrainHeightGrid& grid = gTerrainHeights;
    if (i >= grid.Columns || j >= grid.Rows ||
        static_cast<size_t>(j) * static_cast<size_t>(grid.Columns) + static_cast<size_t>(i) >= grid.Values.size())
        return 0.0f;
    const float h = grid(i, j);
    if (h >= 0.0f) return h;
    return gHasWater ? 0.0f : h;
}

float GetGroundHeightAt(const Vector3& position) {
    if (!gHasTerrain) return 0.0f;
    const int32_t width = gTerrainWidth, depth = gTerrainDepth;
    const float sx = gTerrainSpacingX, sz = gTerrainSpacingZ;
    // Without grid points or spacing every point is outside the grid.
    if (width <= 0 || depth <= 0 || !(sx != 0.0f) || !(sz != 0.0f)) return 0.0f;

    const double x0 = -(static_cast<double>(sx) * (width - 1)) * 0.5;
    const double z0 = -(static_cast<double>(sz) * (depth - 1)) * 0.5;
    const float fx = static_cast<float>((position.X - x0) / sx);
    const float fz = static_cast<float>((position.Z - z0) / sz);
    // A cell wholly outside the grid has only zero corners; this also keeps
    // far-away (or not-a-number) points from overflowing the cell index.
    if (!(fx >= -1.0f && fx < static_cast<float>(width)) || !(fz >= -1.0f && fz < static_cast<float>(depth)))
        return 0.0f;

    const int32_t i = static_cast<int32_t>(std::floor(fx));
    const int32_t j = static_cast<int32_t>(std::floor(fz));
    const double u = static_cast<double>(fx) - i;
    const double v = static_cast<double>(fz) - j;
    const double h00 = GetTerrainCellHeight(i, j);
    const double h11 = GetTerrainCellHeight(i + 1, j + 1);
    const double tiny = static_cast<double>(0.000001f);
    double a, b, w;
    if (u > v) {  // triangle (i, j), (i + 1, j), (i + 1, j + 1)
        a = (1.0 - u) * h00 + u * GetTerrainCellHeight(i + 1, j);
        b = (1.0 - u) * h00 + u * h11;
        w = u <= tiny ? 0.0 : v / u;
    } else {  // triangle (i, j), (i, j + 1), (i + 1, j + 1)
        a = (1.0 - v) * h00 + v * GetTerrainCellHeight(i, j + 1);
        b = (1.0 - v) * h00 + v * h11;
        w = v <= tiny ? 0.0 : u / v;
    }
    return static_cast<float>((1.0 - w) * a + w * b);
}

int32_t AddFreeNode(const Vector3& position) {
    const int32_t n = gFreeNodeCount < 0 ? 0 : gFreeNodeCount;
    if (gFreeNodes.size() <= static_cast<size_t>(n)) gFreeNodes.resize(static_cast<size_t>(n) + 1);
    gFreeNodes[static_cast<size_t>(n)] = position;
    gFreeNodeCount = n + 1;
    return n;
}

int32_t AddSupportBeam(int32_t nodeA, int32_t nodeB, int32_t tubeType, float rotation) {
    const int32_t n = gTubeCount < 0 ? 0 : gTubeCount;
    if (gTubes.size() <= static_cast<size_t>(n)) gTubes.resize(static_cast<size_t>(n) + 1);
    SupportTube& t = gTubes[static_cast<size_t>(n)];
    t = SupportTube{};
    t.EndAKind = EndFreeNode;
    t.EndAIndex = nodeA;
    t.EndASegment = 0;
    t.EndBKind = EndFreeNode;
    t.EndBIndex = nodeB;
    t.EndBSegment = 0;
    t.TubeType = tubeType;
    t.Reserved = 0;
    t.Rotation = rotation;
    gTubeCount = n + 1;
    return n;
}
