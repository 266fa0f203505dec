#include "model/model_meshes.h"

#include <algorithm>
#include <cmath>

#include "model/path_frames.h"
#include "model/radius_comb.h"

std::vector<TrackModelEntry> gTrackModel(1);
std::vector<ModelMesh> gTubeModels(1);
std::vector<ModelMesh> gCatwalkModels(1);
std::vector<ModelMesh> gFooterModels(1);
std::vector<ModelMesh> gPrefabModels(1);
std::vector<ModelMesh> gPrefabFooterModels(1);
int32_t gPrefabModelCount = 0;
std::vector<ModelMesh> gTunnelOuterModels(1);
std::vector<ModelMesh> gTunnelInnerModels(1);
int32_t gTunnelModelCount = 0;
LargeVector<GroundVertex> gGroundVertices(1);
int32_t gGroundVertexCount = 0;
LargeVector<GroundTriangle> gGroundTriangles(1);
int32_t gGroundTriangleCount = 0;
bool gGroundSmooth = false;
int32_t gWaterVertexCount = 0;
int32_t gWaterTriangleCount = 0;
Vector3 gWaterNormal;
bool gHasWaterModel = false;
int32_t gSupportDrawColor = 0;
int32_t gTunnelDrawColor = 0;

int16_t gTieState = 0;
int32_t gTieCountdown = 0;

// Fresh arrays rather than emptied ones, so that the memory of a large model
// is given back and never counted against the next.
void ClearModelArrays() {
    gTrackModel = std::vector<TrackModelEntry>(1);
    gTubeModels = std::vector<ModelMesh>(1);
    gCatwalkModels = std::vector<ModelMesh>(1);
    gFooterModels = std::vector<ModelMesh>(1);
    gPrefabModels = std::vector<ModelMesh>(1);
    gPrefabFooterModels = std::vector<ModelMesh>(1);
    gPrefabModelCount = 0;
    gTunnelOuterModels = std::vector<ModelMesh>(1);
    gTunnelInnerModels = std::vector<ModelMesh>(1);
    gTunnelModelCount = 0;
    gGroundVertices = LargeVector<GroundVertex>(1);
    gGroundVertexCount = 0;
    gGroundTriangles = LargeVector<GroundTriangle>(1);
    gGroundTriangleCount = 0;
    gGroundSmooth = false;
    gWaterVertexCount = 0;
    gWaterTriangleCount = 0;
    gWaterNormal = Vector3{};
    gHasWaterModel = false;
    gTieState = 0;
    gTieCountdown = 0;
    ClearRadiusComb();
    ClearPathFrames();
}

ModelFace MakeFace(const Vector3& v1, const Vector3& v2, const Vector3& v3) {
    ModelFace f;
    f.V1 = v1;
    f.V2 = v2;
    f.V3 = v3;
    return f;
}

void AppendFace(std::vector<ModelFace>& faces, int32_t& count, const ModelFace& face) {
    const size_t n = static_cast<size_t>(count);
    if (faces.size() > n)
        faces[n] = face;
    else {
        faces.resize(n);  // only when the count ran ahead of the list (never after a build)
        faces.push_back(face);
    }
    count = static_cast<int32_t>(n + 1);
}

void AppendSideStrip(ModelMesh& mesh, const Vector3* a, const Vector3* b, int m) {
    for (int k = 0; k < m; ++k) {
        const int next = k + 1 > m - 1 ? 0 : k + 1;
        AppendFace(mesh, MakeFace(a[k], b[k], a[next]));
        AppendFace(mesh, MakeFace(b[next], a[next], b[k]));
    }
}

namespace {

Vector3 Mean(const Vector3& a, const Vector3& b) {
    return Vector3{static_cast<float>((double(a.X) + b.X) / 2.0), static_cast<float>((double(a.Y) + b.Y) / 2.0),
                   static_cast<float>((double(a.Z) + b.Z) / 2.0)};
}

}  // namespace

void SmoothStripEdges(ModelMesh& mesh, int m) {
    const int32_t c = mesh.FaceCount;
    const int32_t first = c - 2 * m;
    if (m < 1 || first < 0) return;
    std::vector<ModelFace>& faces = mesh.Faces;
    for (int32_t f = first; f <= c - 2; f += 2) {
        const int32_t prev = f - 1 < first ? c - 1 : f - 1;
        const int32_t next = f + 2 >= c ? first : f + 2;
        const Vector3 g = Mean(faces[f].FaceNormal(), faces[prev].FaceNormal());
        const Vector3 h = Mean(faces[f + 1].FaceNormal(), faces[next].FaceNormal());
        faces[f].VertexNormal1 = g;
        faces[f].VertexNormal2 = g;
        faces[f].VertexNormal3 = h;
        faces[f + 1].VertexNormal1 = h;
        faces[f + 1].VertexNormal2 = h;
        faces[f + 1].VertexNormal3 = g;
    }
}

namespace {

bool SamePoint(const Vector3& p, const Vector3& q) { return p.X == q.X && p.Y == q.Y && p.Z == q.Z; }

}  // namespace

bool StripHasArea(const Vector3* a, const Vector3* b, int m) {
    bool repeated = true, collapsed = true;
    for (int k = 0; k < m; ++k) {
        repeated = repeated && SamePoint(a[k], b[k]);
        collapsed = collapsed && SamePoint(b[k], b[0]);
    }
    return !repeated && !collapsed;
}

bool FaceHasArea(const Vector3& v1, const Vector3& v2, const Vector3& v3) {
    const Vector3 n = TriangleNormal(v1, v2, v3);
    return n.X != 0.0f || n.Y != 0.0f || n.Z != 0.0f;
}

void DropFacesWithoutArea(ModelMesh& mesh, int32_t first) {
    const int32_t count = std::min<int32_t>(mesh.FaceCount, static_cast<int32_t>(mesh.Faces.size()));
    int32_t kept = std::max<int32_t>(first, 0);
    for (int32_t f = kept; f < count; ++f) {
        const ModelFace& face = mesh.Faces[f];
        if (!FaceHasArea(face.V1, face.V2, face.V3)) continue;
        if (kept != f) mesh.Faces[kept] = face;
        ++kept;
    }
    if (kept < count) mesh.FaceCount = kept;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

Vector3 GroundFaceNormal(const GroundTriangle& t) {
    const size_t n = gGroundVertices.size();
    for (int32_t c : {t.A, t.B, t.C})
        if (c < 0 || static_cast<size_t>(c) >= n) return Vector3{};
    return TriangleNormal(gGroundVertices[static_cast<size_t>(t.A)].Position,
                          gGroundVertices[static_cast<size_t>(t.B)].Position,
                          gGroundVertices[static_cast<size_t>(t.C)].Position);
}

void TrimFaces(ModelMesh& mesh) {
    const size_t n = static_cast<size_t>(std::max<int32_t>(mesh.FaceCount, 0));
    if (mesh.Faces.size() > n) mesh.Faces.resize(n);
    if (mesh.Faces.capacity() > mesh.Faces.size()) mesh.Faces.shrink_to_fit();
}
