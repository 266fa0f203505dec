#include "tests/model/mesh_test_support.h"

#include <cmath>
#include <limits>

#include "trackdoc/track_document.h"

void MakeTerrain(int w, int d, float spacing, const std::function<float(int, int)>& height, bool water) {
    gHasTerrain = true;
    gTerrainWidth = w;
    gTerrainDepth = d;
    gTerrainSpacingX = gTerrainSpacingZ = spacing;
    gHasWater = water;
    gTerrainHeights.Resize(w, d);
    for (int j = 0; j < d; ++j)
        for (int i = 0; i < w; ++i) gTerrainHeights(i, j) = height(i, j);
}

int FreeNode(float x, float y, float z) {
    gFreeNodes.resize(static_cast<size_t>(gFreeNodeCount));
    gFreeNodes.push_back(Vector3{x, y, z});
    return gFreeNodeCount++;
}

int AddFooter(float x, float z) {
    gFooters.resize(static_cast<size_t>(gFooterCount));
    TrackFooter f;
    f.Position = Vector3{x, 123.0f, z};
    gFooters.push_back(f);
    return gFooterCount++;
}

int AddTube(int kindA, int indexA, int segmentA, int kindB, int indexB, int segmentB, int type, float rotation) {
    gTubes.resize(static_cast<size_t>(gTubeCount));
    SupportTube t;
    t.EndAKind = kindA;
    t.EndAIndex = indexA;
    t.EndASegment = segmentA;
    t.EndBKind = kindB;
    t.EndBIndex = indexB;
    t.EndBSegment = segmentB;
    t.TubeType = type;
    t.Rotation = rotation;
    gTubes.push_back(t);
    return gTubeCount++;
}

void SetPrefabItems(int segment, const std::vector<std::pair<int, float>>& items) {
    RascGroup& g = gRascGroups[segment];
    g.ItemCount = static_cast<int32_t>(items.size());
    g.Items.clear();
    for (const auto& [style, position] : items) g.Items.push_back(RascItem{style, position});
    g.Items.emplace_back();
}

const ModelFace* FacesOf(const ModelMesh& mesh) { return mesh.Faces.data(); }

Vector3 Sub(const Vector3& a, const Vector3& b) { return Vector3{a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }

double Dot(const Vector3& a, const Vector3& b) { return double(a.X) * b.X + double(a.Y) * b.Y + double(a.Z) * b.Z; }

double Length(const Vector3& v) { return std::sqrt(Dot(v, v)); }

Vector3 FaceCentre(const ModelFace& f) {
    return Vector3{(f.V1.X + f.V2.X + f.V3.X) / 3.0f, (f.V1.Y + f.V2.Y + f.V3.Y) / 3.0f,
                   (f.V1.Z + f.V2.Z + f.V3.Z) / 3.0f};
}

Vector3 CornerCentre(const ModelMesh& mesh, int first, int count) {
    double x = 0, y = 0, z = 0;
    for (int i = first; i < first + count; ++i)
        for (const Vector3* v : {&mesh.Faces[i].V1, &mesh.Faces[i].V2, &mesh.Faces[i].V3}) {
            x += v->X;
            y += v->Y;
            z += v->Z;
        }
    const double n = 3.0 * count;
    return Vector3{float(x / n), float(y / n), float(z / n)};
}

namespace {

bool Finite(const Vector3& v) { return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z); }

bool Near(const Vector3& a, const Vector3& b, double tolerance) { return Length(Sub(a, b)) <= tolerance; }

}  // namespace

::testing::AssertionResult FacesAreConsistent(const ModelMesh& mesh) {
    if (mesh.FaceCount < 0 || mesh.FaceCount > static_cast<int32_t>(mesh.Faces.size()))
        return ::testing::AssertionFailure() << "FaceCount " << mesh.FaceCount << " of " << mesh.Faces.size();
    for (int i = 0; i < mesh.FaceCount; ++i) {
        const ModelFace& f = mesh.Faces[i];
        const Vector3 n = f.FaceNormal();
        for (const Vector3* v : {&f.V1, &f.V2, &f.V3, &n, &f.VertexNormal1, &f.VertexNormal2, &f.VertexNormal3})
            if (!Finite(*v)) return ::testing::AssertionFailure() << "face " << i << " has a value that is not finite";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult FacesPointAwayFrom(const ModelMesh& mesh, int first, int count, const Vector3& inside) {
    for (int i = first; i < first + count; ++i) {
        const ModelFace& f = mesh.Faces[i];
        if (Length(f.FaceNormal()) < 0.5) return ::testing::AssertionFailure() << "face " << i << " has no area";
        const double d = Dot(f.FaceNormal(), Sub(FaceCentre(f), inside));
        if (!(d > 0.0)) return ::testing::AssertionFailure() << "face " << i << " points inward (" << d << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult FacesPointAwayFromLine(const ModelMesh& mesh, int first, int count, const Vector3& a,
                                                  const Vector3& b) {
    const Vector3 axis = Sub(b, a);
    const double len2 = Dot(axis, axis);
    for (int i = first; i < first + count; ++i) {
        const ModelFace& f = mesh.Faces[i];
        const Vector3 c = FaceCentre(f);
        const double t = len2 > 0 ? Dot(Sub(c, a), axis) / len2 : 0.0;
        const Vector3 onAxis{float(a.X + t * axis.X), float(a.Y + t * axis.Y), float(a.Z + t * axis.Z)};
        const double d = Dot(f.FaceNormal(), Sub(c, onAxis));
        if (!(d > 0.0)) return ::testing::AssertionFailure() << "face " << i << " points toward the axis (" << d << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult FacesFace(const ModelMesh& mesh, int first, int count, const Vector3& direction) {
    for (int i = first; i < first + count; ++i)
        if (!Near(mesh.Faces[i].FaceNormal(), direction, 1e-4))
            return ::testing::AssertionFailure()
                   << "face " << i << " normal (" << mesh.Faces[i].FaceNormal().X << ", " << mesh.Faces[i].FaceNormal().Y
                   << ", " << mesh.Faces[i].FaceNormal().Z << ")";
    return ::testing::AssertionSuccess();
}

Bounds BoundsOf(const ModelMesh& mesh, int first, int count) {
    if (count < 0) count = mesh.FaceCount - first;
    const float inf = std::numeric_limits<float>::infinity();
    Bounds b{{inf, inf, inf}, {-inf, -inf, -inf}};
    for (int i = first; i < first + count; ++i)
        for (const Vector3* v : {&mesh.Faces[i].V1, &mesh.Faces[i].V2, &mesh.Faces[i].V3}) {
            b.Min = Vector3{std::min(b.Min.X, v->X), std::min(b.Min.Y, v->Y), std::min(b.Min.Z, v->Z)};
            b.Max = Vector3{std::max(b.Max.X, v->X), std::max(b.Max.Y, v->Y), std::max(b.Max.Z, v->Z)};
        }
    return b;
}
