#include "tests/export/synthetic_model.h"

#include <cmath>

#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "trackdoc/track_document.h"

void ClearDocumentAndModel() {
    ClearTrackDocument();
    ClearModelArrays();
    gModelSettings = ModelerSettings{};
}

ModelMesh TubeMesh(int32_t faces, const Vector3& origin, bool smooth, int16_t smoothing) {
    constexpr int kSides = 8;
    ModelMesh mesh;
    mesh.Smooth = smooth;
    auto ring = [&](int r, int k) {
        const double a = 2.0 * kPi * (k % kSides) / kSides;
        return Vector3{origin.X + 0.5f * float(r), origin.Y + float(0.2 * std::cos(a)),
                       origin.Z + float(0.2 * std::sin(a))};
    };
    for (int32_t f = 0; f < faces; ++f) {
        const int cell = f / 2, r = cell / kSides, k = cell % kSides;
        ModelFace face = (f % 2 == 0) ? MakeFace(ring(r, k), ring(r + 1, k), ring(r, k + 1))
                                      : MakeFace(ring(r + 1, k + 1), ring(r, k + 1), ring(r + 1, k));
        face.Smoothing = smoothing;
        AppendFace(mesh, face);
    }
    return mesh;
}

void MakeTrackModel(int32_t segments, int32_t spines, int32_t rails, int32_t meshFaces, int32_t tieFaces) {
    gSegmentCount = segments;
    gSegments.assign(size_t(segments) + 1, TrackSegment{});
    gNodeCount = segments + 1;
    gNodes.assign(size_t(segments) + 2, TrackNode{});
    gSpineColor = 0x804000;
    gRailColor = 0xFF8000;
    gTieColor = 0xFFFFFF;
    gModelSettings.gSpineCount = spines;
    gModelSettings.gSpines.assign(size_t(spines) + 1, RailSpec{});
    gModelSettings.gRailCount = rails;
    gModelSettings.gRails.assign(size_t(rails) + 1, RailSpec{});
    gSpineInfoSegmentCount = segments;
    gTrackModel.assign(size_t(segments) + 1, TrackModelEntry{});
    for (int32_t s = 0; s < segments; ++s) {
        TrackModelEntry& e = gTrackModel[size_t(s)];
        const float z = -10.0f * float(s);
        e.Spines.assign(size_t(spines) + 1, ModelMesh{});
        e.Rails.assign(size_t(rails) + 1, ModelMesh{});
        for (int32_t k = 0; k < spines; ++k) e.Spines[size_t(k)] = TubeMesh(meshFaces, {0, 1.0f + k, z}, true);
        for (int32_t k = 0; k < rails; ++k) e.Rails[size_t(k)] = TubeMesh(meshFaces, {0.6f * k, 2, z}, k % 2 == 0);
        for (int32_t f = 0; f < tieFaces; ++f)
            AppendFace(e.TieFaces, e.TieFaceCount,
                       MakeFace({-1, 1.5f, z - 0.1f * f}, {1, 1.5f, z - 0.1f * f}, {0, 1.5f, z - 0.1f * f - 0.05f}));
    }
}

void MakeGroundModel(int32_t w, int32_t d, float spacing, bool water) {
    gHasTerrain = true;
    gHasWater = water;
    gTerrainWidth = w;
    gTerrainDepth = d;
    gGroundVertexCount = w * d;
    gGroundVertices.assign(size_t(w) * size_t(d) + 1, GroundVertex{});
    const float x0 = -(spacing * float(w - 1)) * 0.5f, z0 = -(spacing * float(d - 1)) * 0.5f;
    for (int32_t j = 0; j < d; ++j)
        for (int32_t i = 0; i < w; ++i) {
            const float h = float(3.0 * std::sin(i * 0.05) * std::cos(j * 0.07));
            gGroundVertices[size_t(j) * size_t(w) + size_t(i)].Position =
                Vector3{x0 + float(i) * spacing, h, z0 + float(j) * spacing};
        }
    gGroundTriangleCount = 0;
    gGroundTriangles.clear();
    gGroundTriangles.reserve(size_t(w - 1) * size_t(d - 1) * 2 + 1);
    for (int32_t j = 0; j + 1 < d; ++j)
        for (int32_t i = 0; i + 1 < w; ++i) {
            const int32_t a = j * w + i, b = a + w, c = b + 1, dd = a + 1;
            gGroundTriangles.push_back(GroundTriangle{a, b, c});
            gGroundTriangles.push_back(GroundTriangle{c, dd, a});
            gGroundTriangleCount += 2;
        }
    gGroundSmooth = true;
    gHasWaterModel = water;
    if (water) {
        gWaterTriangleCount = gGroundTriangleCount;
        gWaterVertexCount = gGroundVertexCount;
        gWaterNormal = Vector3{0, 1, 0};
    }
}

void MakeSupportModels(int32_t count, int32_t facesEach) {
    gTubeCount = gCatwalkCount = gFooterCount = count;
    gTubes.assign(size_t(count) + 1, SupportTube{});
    gCatwalks.assign(size_t(count) + 1, TrackCatwalk{});
    gFooters.assign(size_t(count) + 1, TrackFooter{});
    gTubeModels.assign(size_t(count) + 1, ModelMesh{});
    gCatwalkModels.assign(size_t(count) + 1, ModelMesh{});
    gFooterModels.assign(size_t(count) + 1, ModelMesh{});
    gPrefabModelCount = count;
    gPrefabModels.assign(size_t(count) + 1, ModelMesh{});
    gPrefabFooterModels.assign(size_t(count) + 1, ModelMesh{});
    for (int32_t i = 0; i < count; ++i) {
        const float x = 3.0f * float(i);
        gTubeModels[size_t(i)] = TubeMesh(facesEach, {x, 5, 20}, false, int16_t(i % 2 == 0 ? -1 : 0));
        gCatwalkModels[size_t(i)] = TubeMesh(facesEach, {x, 6, 25}, false, -1);
        gFooterModels[size_t(i)] = TubeMesh(facesEach, {x, 0, 20}, false, -1);
        gPrefabModels[size_t(i)] = TubeMesh(facesEach, {x, 5, 30}, false, -1);
        gPrefabFooterModels[size_t(i)] = TubeMesh(facesEach, {x, 0, 30}, false, 0);
    }
}

void MakeTunnelModels(int32_t count, int32_t facesEach) {
    gTunnelModelCount = count;
    gTunnelOuterModels.assign(size_t(count) + 1, ModelMesh{});
    gTunnelInnerModels.assign(size_t(count) + 1, ModelMesh{});
    for (int32_t t = 0; t < count; ++t) {
        gTunnelOuterModels[size_t(t)] = TubeMesh(facesEach, {0, 3, -50.0f * t}, false, -1);
        gTunnelInnerModels[size_t(t)] = TubeMesh(facesEach, {0, 3, -50.0f * t - 1}, false, 0);
    }
}
