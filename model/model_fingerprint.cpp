#include "model/model_fingerprint.h"

#include <cinttypes>
#include <cstdio>

#include "model/model_meshes.h"

namespace {

struct Hasher {
    uint64_t h = kFingerprintBasis;
    template <class T>
    void Add(const T& v) {
        h = FingerprintBytes(&v, sizeof v, h);
    }
    void Add(const Vector3& v) {
        Add(v.X);
        Add(v.Y);
        Add(v.Z);
    }
    void Add(const ModelFace& f) {
        Add(f.V1);
        Add(f.V2);
        Add(f.V3);
        Add(f.FaceNormal());
        Add(f.VertexNormal1);
        Add(f.VertexNormal2);
        Add(f.VertexNormal3);
        Add(f.Smoothing);
    }
};

// Faces 0 .. count - 1 (never past the list itself).
int64_t AddFaces(Hasher& h, const std::vector<ModelFace>& faces, int32_t count) {
    const int64_t n = count < 0 ? 0 : (int64_t(count) < int64_t(faces.size()) ? count : int64_t(faces.size()));
    h.Add(count);
    for (int64_t i = 0; i < n; ++i) h.Add(faces[size_t(i)]);
    return n;
}

int64_t AddMesh(Hasher& h, const ModelMesh& m) {
    h.Add(m.Smooth);
    return AddFaces(h, m.Faces, m.FaceCount);
}

ModelPartPrint Meshes(const char* name, const std::vector<ModelMesh>& meshes) {
    Hasher h;
    ModelPartPrint p{name, int64_t(meshes.size()), 0, 0};
    h.Add(p.Entries);
    for (const ModelMesh& m : meshes) p.Faces += AddMesh(h, m);
    p.Hash = h.h;
    return p;
}

ModelPartPrint Track() {
    Hasher h;
    ModelPartPrint p{"track", int64_t(gTrackModel.size()), 0, 0};
    h.Add(p.Entries);
    for (const TrackModelEntry& e : gTrackModel) {
        h.Add(e.Centre);
        h.Add(e.Radius);
        h.Add(e.RailColor);
        h.Add(e.SpineColor);
        h.Add(e.TieColor);
        h.Add(int64_t(e.Rails.size()));
        for (const ModelMesh& m : e.Rails) p.Faces += AddMesh(h, m);
        h.Add(int64_t(e.Spines.size()));
        for (const ModelMesh& m : e.Spines) p.Faces += AddMesh(h, m);
        p.Faces += AddFaces(h, e.TieFaces, e.TieFaceCount);
    }
    p.Hash = h.h;
    return p;
}

void AddTriangles(Hasher& h, const LargeVector<GroundTriangle>& t, int32_t count) {
    h.Add(count);
    for (int32_t i = 0; i < count && size_t(i) < t.size(); ++i) {
        h.Add(t[size_t(i)].A);
        h.Add(t[size_t(i)].B);
        h.Add(t[size_t(i)].C);
        h.Add(GroundFaceNormal(t[size_t(i)]));
    }
}

ModelPartPrint Ground() {
    Hasher h;
    ModelPartPrint p{"ground", gGroundVertexCount, gGroundTriangleCount, 0};
    h.Add(gGroundSmooth);
    h.Add(gGroundVertexCount);
    for (int32_t i = 0; i < gGroundVertexCount && size_t(i) < gGroundVertices.size(); ++i) {
        h.Add(gGroundVertices[size_t(i)].Position);
        h.Add(gGroundVertices[size_t(i)].Normal);
    }
    AddTriangles(h, gGroundTriangles, gGroundTriangleCount);
    p.Hash = h.h;
    return p;
}

ModelPartPrint Water() {
    Hasher h;
    ModelPartPrint p{"water", gWaterVertexCount, gWaterTriangleCount, 0};
    h.Add(gHasWaterModel);
    h.Add(gWaterNormal);
    h.Add(gWaterVertexCount);
    for (int32_t i = 0; i < gWaterVertexCount && size_t(i) < gGroundVertices.size(); ++i)
        h.Add(gGroundVertices[size_t(i)].Position);
    AddTriangles(h, gGroundTriangles, gWaterTriangleCount);
    p.Hash = h.h;
    return p;
}

}  // namespace

uint64_t FingerprintBytes(const void* data, size_t size, uint64_t hash) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

std::vector<ModelPartPrint> ModelFingerprint() {
    return {Track(),
            Meshes("tubes", gTubeModels),
            Meshes("catwalks", gCatwalkModels),
            Meshes("footers", gFooterModels),
            Meshes("prefabs", gPrefabModels),
            Meshes("prefab_footers", gPrefabFooterModels),
            Meshes("tunnel_outer", gTunnelOuterModels),
            Meshes("tunnel_inner", gTunnelInnerModels),
            Ground(),
            Water()};
}

std::string FingerprintText(const std::vector<ModelPartPrint>& print) {
    std::string text;
    char line[160];
    for (const ModelPartPrint& p : print) {
        std::snprintf(line, sizeof line, "%s %" PRId64 " %" PRId64 " %016" PRIx64 "\n", p.Name.c_str(), p.Entries,
                      p.Faces, p.Hash);
        text += line;
    }
    return text;
}
