#include "export/scene_staging_3ds.h"

#include <bit>

#include "platform/code_page.h"

std::vector<Mat3DS> gMaterials3DS;
int32_t gMaterialCount3DS = 0;
std::vector<Obj3DS> gObjects3DS;
int32_t gObjectCount3DS = 0;
ObjectSink3DS* gObjectSink3DS = nullptr;

std::vector<Vector3> gStagedVertices;
std::vector<UV3DS> gStagedTexCoords;
int32_t gStagedVertexCount = 0;
std::vector<StagedFace3DS> gStagedFaces;
int32_t gStagedFaceCount = 0;
std::string gStagedName;
int32_t gStagedMaterial = 0;
bool gStagedHasUV = false;
int32_t gStagedPart = 0;
VertexWeldIndex gStagedWeldIndex;

namespace {

// The decimal digits of a non-negative number, zero-padded to `width`.
std::string PaddedNumber(int64_t value, size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

Obj3DS* ObjectAt(int32_t object) {
    if (object < 0 || object >= gObjectCount3DS) return nullptr;
    return &gObjects3DS[static_cast<size_t>(object)];
}

}  // namespace

// ---- Scene -----------------------------------------------------------------

void Reset3DSScene() {
    std::vector<Mat3DS>().swap(gMaterials3DS);
    std::vector<Obj3DS>().swap(gObjects3DS);
    gMaterialCount3DS = 0;
    gObjectCount3DS = 0;
}

std::string MaterialName3DS(int32_t index) { return "MATER" + PaddedNumber(index, 3); }

int32_t Add3DSMaterial(Color3DS ambient, Color3DS diffuse, Color3DS specular, int16_t shininess,
                       int16_t shinStrength, int16_t transparency, const std::string& texture) {
    Mat3DS m;
    m.Name = MaterialName3DS(gMaterialCount3DS);
    m.Ambient = ambient;
    m.Diffuse = diffuse;
    m.Specular = specular;
    m.Shininess = shininess;
    m.ShinStrength = shinStrength;
    m.Transparency = transparency;
    m.Falloff = 0;
    m.RefBlur = 0;
    m.Shading = 3;
    m.SelfIllum = 0;
    m.WireSize = 1.0f;
    m.Texture = cp::BytesOrMarks(texture);
    gMaterials3DS.push_back(std::move(m));
    return gMaterialCount3DS++;
}

int32_t Add3DSObject(const std::string& name, int32_t material) {
    Obj3DS o;
    o.Name = cp::BytesOrMarks(name);
    o.Material = material;
    gObjects3DS.push_back(std::move(o));
    return gObjectCount3DS++;
}

int32_t Add3DSObjectVertex(const Vector3& vertex, int32_t object) {
    Obj3DS* o = ObjectAt(object);
    if (!o || o->Vertices.size() >= kMaxObjectEntries3DS) return -1;
    o->Vertices.push_back(vertex);
    return static_cast<int32_t>(o->Vertices.size() - 1);
}

int32_t Add3DSObjectTexCoord(const UV3DS& uv, int32_t object) {
    Obj3DS* o = ObjectAt(object);
    if (!o || o->UVs.size() >= kMaxObjectEntries3DS) return -1;
    o->UVs.push_back(uv);
    o->HasUV = true;
    return static_cast<int32_t>(o->UVs.size() - 1);
}

int32_t Add3DSObjectFace(uint16_t a, uint16_t b, uint16_t c, uint32_t smoothing, int32_t object) {
    Obj3DS* o = ObjectAt(object);
    if (!o || o->Faces.size() >= kMaxObjectEntries3DS) return -1;
    o->Faces.push_back(Face3DS{a, b, c});
    o->FaceSmooth.push_back(smoothing);
    return static_cast<int32_t>(o->Faces.size() - 1);
}

// ---- Weld index ------------------------------------------------------------

namespace {

// The coordinate's bits as the key sees them: -0 and +0 are one key.
inline uint32_t KeyBits(float f) {
    if (f == 0.0f) return 0;
    return std::bit_cast<uint32_t>(f);
}

inline bool HasNaN(const Vector3& v) { return v.X != v.X || v.Y != v.Y || v.Z != v.Z; }

inline bool SameCorner(const Vector3& a, const Vector3& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

inline uint64_t HashCorner(const Vector3& v) {
    uint64_t h = KeyBits(v.X) * 0x9E3779B97F4A7C15ull;
    h ^= KeyBits(v.Y) * 0xC2B2AE3D27D4EB4Full;
    h ^= KeyBits(v.Z) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return h;
}

constexpr uint32_t kInitialWeldSlots = 1024;

}  // namespace

void VertexWeldIndex::Clear() {
    for (uint32_t s : used_) slots_[s] = -1;
    used_.clear();
    entries_ = 0;
    indexed_ = 0;
}

void VertexWeldIndex::Grow(const std::vector<Vector3>& vertices) {
    const size_t size = slots_.empty() ? kInitialWeldSlots : slots_.size() * 2;
    slots_.assign(size, -1);
    shift_ = 64 - static_cast<uint32_t>(std::countr_zero(size));
    // Re-insert in vertex order so that the last of equal vertices wins again.
    used_.clear();
    entries_ = 0;
    for (int32_t i = 0; i < indexed_; ++i) {
        if (!HasNaN(vertices[static_cast<size_t>(i)])) Insert(vertices[static_cast<size_t>(i)], i, vertices);
    }
}

void VertexWeldIndex::Insert(const Vector3& v, int32_t index, const std::vector<Vector3>& vertices) {
    const size_t mask = slots_.size() - 1;
    size_t s = static_cast<size_t>(HashCorner(v) >> shift_);
    while (slots_[s] >= 0) {
        if (SameCorner(vertices[static_cast<size_t>(slots_[s])], v)) {
            slots_[s] = index;  // the later vertex is the one a corner joins
            return;
        }
        s = (s + 1) & mask;
    }
    slots_[s] = index;
    used_.push_back(static_cast<uint32_t>(s));
    ++entries_;
}

void VertexWeldIndex::IndexUpTo(const std::vector<Vector3>& vertices, int32_t count) {
    for (; indexed_ < count; ++indexed_) {
        const Vector3& v = vertices[static_cast<size_t>(indexed_)];
        if (HasNaN(v)) continue;  // equal to nothing, never found
        // Keep the table at most half full.
        if (slots_.empty() || static_cast<size_t>(entries_ + 1) * 2 > slots_.size()) Grow(vertices);
        Insert(v, indexed_, vertices);
    }
}

int32_t VertexWeldIndex::Find(const Vector3& v, const std::vector<Vector3>& vertices) const {
    if (entries_ == 0 || HasNaN(v)) return -1;
    const size_t mask = slots_.size() - 1;
    size_t s = static_cast<size_t>(HashCorner(v) >> shift_);
    for (;;) {
        const int32_t i = slots_[s];
        if (i < 0) return -1;
        if (SameCorner(vertices[static_cast<size_t>(i)], v)) return i;
        s = (s + 1) & mask;
    }
}

// ---- Staging ---------------------------------------------------------------

void Begin3DSMesh(const std::string& name, int32_t material, bool hasUV, bool keepPart) {
    gStagedVertices.clear();
    gStagedTexCoords.clear();
    gStagedVertexCount = 0;
    gStagedFaces.clear();
    gStagedFaceCount = 0;
    gStagedWeldIndex.Clear();
    if (&name != &gStagedName) gStagedName = name;
    gStagedMaterial = material;
    gStagedHasUV = hasUV;
    if (!keepPart) gStagedPart = 0;
}

void Add3DSTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const UV3DS& uvA, const UV3DS& uvB,
                    const UV3DS& uvC, int16_t weld) {
    const Vector3* corners[3] = {&a, &b, &c};
    const UV3DS* uvs[3] = {&uvA, &uvB, &uvC};
    int32_t index[3] = {-1, -1, -1};
    // Look every corner up among the vertices staged before this triangle
    // before any of its own corners is appended.
    if (weld != 0 && gStagedVertexCount > 0) {
        gStagedWeldIndex.IndexUpTo(gStagedVertices, gStagedVertexCount);
        for (int k = 0; k < 3; ++k) index[k] = gStagedWeldIndex.Find(*corners[k], gStagedVertices);
    }
    for (int k = 0; k < 3; ++k) {
        if (index[k] >= 0) continue;
        gStagedVertices.push_back(*corners[k]);
        gStagedTexCoords.push_back(*uvs[k]);
        index[k] = gStagedVertexCount++;
    }
    gStagedFaces.push_back(StagedFace3DS{index[0], index[1], index[2], weld});
    if (++gStagedFaceCount >= kMaxStagedFaces3DS) Flush3DSMesh();
}

std::string PartName3DS(const std::string& name, int32_t part) {
    const size_t characters = cp::ByteCount(name);
    if (characters >= 8) return name;
    return name + PaddedNumber(part, 8 - characters);
}

void Flush3DSMesh() {
    if (gStagedVertexCount == 0 && gStagedFaceCount == 0) return;
    const int32_t object = Add3DSObject(PartName3DS(gStagedName, gStagedPart), gStagedMaterial);
    Obj3DS& o = gObjects3DS[static_cast<size_t>(object)];
    // What Add3DSObjectVertex, Add3DSObjectTexCoord and Add3DSObjectFace would
    // append one by one, in one go: a part holds at most 30000 vertices and
    // 10000 faces, well inside the lists' limits.
    o.Vertices.assign(gStagedVertices.begin(), gStagedVertices.end());
    if (gStagedHasUV && !gStagedTexCoords.empty()) {
        o.UVs.assign(gStagedTexCoords.begin(), gStagedTexCoords.end());
        o.HasUV = true;
    }
    o.Faces.resize(gStagedFaces.size());
    o.FaceSmooth.resize(gStagedFaces.size());
    for (size_t f = 0; f < gStagedFaces.size(); ++f) {
        const StagedFace3DS& s = gStagedFaces[f];
        o.Faces[f] = Face3DS{static_cast<uint16_t>(s.CornerA & 0xFFFF), static_cast<uint16_t>(s.CornerB & 0xFFFF),
                             static_cast<uint16_t>(s.CornerC & 0xFFFF)};
        o.FaceSmooth[f] = static_cast<uint32_t>(static_cast<int32_t>(s.Weld));  // -1 sets all 32 groups
    }
    if (gObjectSink3DS) {
        gObjectSink3DS->Take(o);
        gObjects3DS.pop_back();
        --gObjectCount3DS;
    }
    ++gStagedPart;
    Begin3DSMesh(gStagedName, gStagedMaterial, gStagedHasUV, true);
}
