#pragma once
// The triangles of the preview's layers as the face rule sends them, one
// stream per batch: the same stream goes out face by face in immediate mode,
// into the compiled meshes, and into their content fingerprints, so that the
// compiled meshes can only ever hold what immediate mode sends.
//
// Internal to the preview's drawing (scene_render.cpp, scene_lists.cpp).

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "trackdoc/math3d.h"

namespace scene {

// How many entries of an array a drawer may read: the count it is told,
// never more than the array holds (a part not rebuilt yet, or one being rebuilt).
template <class T, class A>
size_t Bounded(int64_t count, const std::vector<T, A>& items) {
    if (count <= 0) return 0;
    return std::min(static_cast<size_t>(count), items.size());
}

// One triangle as it goes out: before each corner its normal where it has one
// (smooth: all three corners; flat: the first corner only; the water: none,
// its one normal is sent at the start of the batch).
struct SentTriangle {
    const Vector3* Normals[3] = {nullptr, nullptr, nullptr};
    Vector3 Corners[3];
    Vector3 OwnNormal;  // a normal computed for this triangle (a flat face); never copy a triangle that points at it
};

inline void Vertex(const Vector3& v) { glVertex3f(v.X, v.Y, v.Z); }
inline void Normal(const Vector3& n) { glNormal3f(n.X, n.Y, n.Z); }

inline void SendTriangle(const SentTriangle& t) {
    for (int k = 0; k < 3; ++k) {
        if (t.Normals[k] != nullptr) Normal(*t.Normals[k]);
        Vertex(t.Corners[k]);
    }
}

// Which faces of a mesh are drawn with their vertex normals.
enum class Smoothing { ByMesh, ByFace, Flat };

// Fills t in place: a flat face's normal is computed into t itself.
inline void FaceTriangle(const ModelFace& f, bool smooth, SentTriangle& t) {
    t.Corners[0] = f.V1;
    t.Corners[1] = f.V2;
    t.Corners[2] = f.V3;
    if (smooth) {
        t.Normals[0] = &f.VertexNormal1;
        t.Normals[1] = &f.VertexNormal2;
        t.Normals[2] = &f.VertexNormal3;
    } else {
        t.OwnNormal = f.FaceNormal();
        t.Normals[0] = &t.OwnNormal;
    }
}

template <class F>
void ForEachMeshTriangle(const ModelMesh& mesh, Smoothing rule, F& f) {
    const size_t n = Bounded(mesh.FaceCount, mesh.Faces);
    for (size_t i = 0; i < n; ++i) {
        const ModelFace& face = mesh.Faces[i];
        const bool smooth = rule == Smoothing::ByMesh ? mesh.Smooth : rule == Smoothing::ByFace ? face.Smoothing == -1 : false;
        SentTriangle t;
        FaceTriangle(face, smooth, t);
        f(t);
    }
}

template <class F>
void ForEachMeshesTriangle(const std::vector<ModelMesh>& meshes, int64_t count, Smoothing rule, F& f) {
    const size_t n = Bounded(count, meshes);
    for (size_t i = 0; i < n; ++i) ForEachMeshTriangle(meshes[i], rule, f);
}

// A ground or water triangle whose corners are not all in the vertex list is not drawn.
inline bool CornersInList(const GroundTriangle& tri, size_t vertices) {
    for (int32_t c : {tri.A, tri.B, tri.C})
        if (c < 0 || static_cast<size_t>(c) >= vertices) return false;
    return true;
}

// The ground's triangles first .. end - 1 (of those the counts allow) that are sent.
template <class F>
void ForEachGroundTriangle(F& f, size_t first = 0, size_t end = SIZE_MAX) {
    const size_t n = std::min(end, Bounded(gGroundTriangleCount, gGroundTriangles));
    const size_t vertices = gGroundVertices.size();
    for (size_t i = first; i < n; ++i) {
        const GroundTriangle& tri = gGroundTriangles[i];
        if (!CornersInList(tri, vertices)) continue;
        const int32_t corners[3] = {tri.A, tri.B, tri.C};
        SentTriangle t;
        for (int k = 0; k < 3; ++k) {
            const GroundVertex& v = gGroundVertices[static_cast<size_t>(corners[k])];
            t.Corners[k] = v.Position;
            if (gGroundSmooth) t.Normals[k] = &v.Normal;
        }
        if (!gGroundSmooth) {
            t.OwnNormal = GroundFaceNormal(tri);
            t.Normals[0] = &t.OwnNormal;
        }
        f(t);
    }
}

// The water is the ground's grid laid flat at height 0; its one normal goes
// out at the start of the batch (BeginBatch).
template <class F>
void ForEachWaterTriangle(F& f, size_t first = 0, size_t end = SIZE_MAX) {
    const size_t n = std::min(end, Bounded(gWaterTriangleCount, gGroundTriangles));
    const size_t vertices = Bounded(gWaterVertexCount, gGroundVertices);
    for (size_t i = first; i < n; ++i) {
        const GroundTriangle& tri = gGroundTriangles[i];
        if (!CornersInList(tri, vertices)) continue;
        const int32_t corners[3] = {tri.A, tri.B, tri.C};
        SentTriangle t;
        for (int k = 0; k < 3; ++k) {
            const Vector3& v = gGroundVertices[static_cast<size_t>(corners[k])].Position;
            t.Corners[k] = MakeVector(v.X, 0.0f, v.Z);
        }
        f(t);
    }
}

// The triangle batches of the layers other than the track, each drawn in one
// colour.
enum class Batch : int {
    Ground,
    Footers,
    PrefabFooters,
    Water,
    Tubes,
    Catwalks,
    Prefabs,
    TunnelOuter,
    TunnelInner,
};
inline constexpr int kBatchCount = 9;

template <class F>
void ForEachTriangle(Batch batch, F& f) {
    switch (batch) {
        case Batch::Ground: ForEachGroundTriangle(f); break;
        case Batch::Footers: ForEachMeshesTriangle(gFooterModels, gFooterCount, Smoothing::ByMesh, f); break;
        case Batch::PrefabFooters:
            ForEachMeshesTriangle(gPrefabFooterModels, gPrefabModelCount, Smoothing::ByMesh, f);
            break;
        case Batch::Water: ForEachWaterTriangle(f); break;
        case Batch::Tubes: ForEachMeshesTriangle(gTubeModels, gTubeCount, Smoothing::ByMesh, f); break;
        case Batch::Catwalks: ForEachMeshesTriangle(gCatwalkModels, gCatwalkCount, Smoothing::Flat, f); break;
        case Batch::Prefabs: ForEachMeshesTriangle(gPrefabModels, gPrefabModelCount, Smoothing::ByFace, f); break;
        case Batch::TunnelOuter:
            ForEachMeshesTriangle(gTunnelOuterModels, gTunnelModelCount, Smoothing::ByMesh, f);
            break;
        case Batch::TunnelInner:
            ForEachMeshesTriangle(gTunnelInnerModels, gTunnelModelCount, Smoothing::ByMesh, f);
            break;
    }
}

// glBegin of a batch (or of a piece of it), with what the batch sends first.
inline void BeginBatch(Batch batch) {
    glBegin(GL_TRIANGLES);
    if (batch == Batch::Water) Normal(gWaterNormal);
}

// The three pieces of a track segment, drawn in the segment's three colours.
enum class SegmentPiece : int { Rails, Spines, Ties };
inline constexpr int kSegmentPieces = 3;

template <class F>
void ForEachSegmentTriangle(const TrackModelEntry& e, SegmentPiece piece, F& f) {
    switch (piece) {
        case SegmentPiece::Rails: {
            const size_t n = Bounded(gModelSettings.gRailCount, e.Rails);
            for (size_t r = 0; r < n; ++r) ForEachMeshTriangle(e.Rails[r], Smoothing::ByMesh, f);
            break;
        }
        case SegmentPiece::Spines: {
            const size_t n = Bounded(gModelSettings.gSpineCount, e.Spines);
            for (size_t s = 0; s < n; ++s) ForEachMeshTriangle(e.Spines[s], Smoothing::ByMesh, f);
            break;
        }
        case SegmentPiece::Ties: {
            const size_t n = Bounded(e.TieFaceCount, e.TieFaces);
            for (size_t i = 0; i < n; ++i) {
                SentTriangle t;
                FaceTriangle(e.TieFaces[i], false, t);
                f(t);
            }
            break;
        }
    }
}

// Segments of the track model and of the path that a drawer may read.
inline size_t TrackSegmentCount() { return Bounded(gSpineInfoSegmentCount, gTrackModel); }
inline size_t PathSegmentCount() { return Bounded(gSpineInfoSegmentCount, gPathMatrixArray); }

// The curve points of a path segment, in frame order.
template <class F>
void ForEachPathPoint(size_t segment, F& f) {
    const PathSegmentFrames& path = gPathMatrixArray[segment];
    const size_t n = Bounded(path.FrameCount, path.Frames);
    for (size_t k = 0; k < n; ++k) f(MatrixGetTranslation(path.Frames[k].Frame));
}

}  // namespace scene
