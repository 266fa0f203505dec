#include "model/outline_sweep.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

constexpr std::array<int, 3> kOctagonFan[] = {{0, 1, 2}, {2, 3, 4}, {4, 5, 6}, {6, 7, 0}, {0, 2, 4}, {4, 6, 0}};
constexpr std::array<int, 3> kQuadSplit[] = {{0, 1, 2}, {2, 3, 0}};

void AppendCap(ModelMesh& mesh, const Vector3* ring, const CapPattern& cap, bool reversed, bool vertexNormals) {
    for (int t = 0; t < cap.Count; ++t) {
        const std::array<int, 3>& tri = cap.Triangles[t];
        ModelFace face = reversed ? MakeFace(ring[tri[2]], ring[tri[1]], ring[tri[0]])
                                  : MakeFace(ring[tri[0]], ring[tri[1]], ring[tri[2]]);
        if (vertexNormals) face.VertexNormal1 = face.VertexNormal2 = face.VertexNormal3 = face.FaceNormal();
        AppendFace(mesh, face);
    }
}

}  // namespace

const CapPattern kOctagonCap{kOctagonFan, 6};
const CapPattern kQuadCap{kQuadSplit, 2};

void AppendOutlineSweep(ModelMesh& mesh, const Vector3* ringA, const Vector3* ringB, int n, const CapPattern& cap,
                        bool capStart, bool capEnd, const OutlineSweepStyle& style) {
    if (n < 1) return;
    // Two outlines that coincide (a tube or a beam of no length) or collapse
    // to a point (an outline of no size) hold no length or no width: nothing.
    if (!StripHasArea(ringA, ringB, n)) return;
    const int32_t first = mesh.FaceCount;
    const size_t needed = static_cast<size_t>(first) + 2 * static_cast<size_t>(n) +
                          (capStart ? cap.Count : 0) + (capEnd ? cap.Count : 0);
    // Many sweeps may go into one mesh (the beams of a support): grow geometrically.
    if (mesh.Faces.capacity() < needed) mesh.Faces.reserve(std::max(needed, 2 * mesh.Faces.capacity()));
    AppendSideStrip(mesh, ringA, ringB, n);
    if (style.SmoothSides) {
        for (int32_t f = first; f < mesh.FaceCount; ++f) mesh.Faces[f].Smoothing = -1;
        SmoothStripEdges(mesh, n);
    }
    if (capStart) AppendCap(mesh, ringA, cap, false, style.CapVertexNormals);
    if (capEnd) AppendCap(mesh, ringB, cap, true, style.CapVertexNormals);
    // Faces between outline points that coincide (a catwalk naming one free
    // node twice) have no area either; the others keep the normals smoothed
    // over the whole strip.
    DropFacesWithoutArea(mesh, first);
}

void MapOutline(const Matrix4& transform, const Vector3* local, int n, Vector3* world) {
    for (int i = 0; i < n; ++i) world[i] = MatrixTransformPoint(transform, local[i]);
}

void AppendBand(ModelMesh& mesh, const Vector3* earlier, const Vector3* later, int n, BandFacing facing) {
    if (facing == BandFacing::Outward) {
        AppendSideStrip(mesh, earlier, later, n);
        return;
    }
    for (int j = 0; j < n; ++j) {
        const int next = j + 1 > n - 1 ? 0 : j + 1;
        AppendFace(mesh, MakeFace(earlier[next], later[j], earlier[j]));
        AppendFace(mesh, MakeFace(later[j], earlier[next], later[next]));
    }
}

void SmoothBand(ModelMesh& mesh, int n, BandFacing facing) {
    if (facing == BandFacing::Outward) {
        SmoothStripEdges(mesh, n);
        return;
    }
    // The same means as the outward rule; the corners of a turned face lie on
    // the outline points in the opposite order, so its first and last corner
    // exchange their normals.
    const int32_t c = mesh.FaceCount;
    if (n < 1 || c < 2 * n) return;
    SmoothStripEdges(mesh, n);
    for (int32_t f = c - 2 * n; f < c; ++f) std::swap(mesh.Faces[f].VertexNormal1, mesh.Faces[f].VertexNormal3);
}

float RingDistance(float length, int32_t steps, int32_t ring) {
    if (steps < 1 || ring >= steps) return length;
    if (ring <= 0) return 0.0f;
    return static_cast<float>(double(length) * ring / steps);
}
