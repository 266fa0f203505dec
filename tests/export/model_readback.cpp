#include "tests/export/model_readback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <deque>
#include <memory>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include "model/model_meshes.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "trackdoc/track_document.h"

namespace {

constexpr size_t kPartFaces = 10000;

int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
uint8_t Channel(int32_t colour, int k) { return uint8_t((colour >> (8 * k)) & 0xFF); }

std::string Numbered(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string MaterialName(int32_t index) { return Numbered("MATER%03d", index); }

// An object's name: a staged name under 8 characters gets the part number
// zero-padded to 8 characters; a longer one stays as it is.
std::string PartName(const std::string& name, size_t part) {
    if (name.size() >= 8) return name;
    std::string digits = std::to_string(part);
    if (digits.size() < 8 - name.size()) digits.insert(0, 8 - name.size() - digits.size(), '0');
    return name + digits;
}

class Builder {
public:
    ExpectedExport3DS Out;

    int32_t Material(int32_t colour, int transparency = 0) {
        Out.Materials.push_back({colour, transparency});
        return int32_t(Out.Materials.size() - 1);
    }

    // One mesh of the model; every face's smoothing mask from `mask`. The
    // arrays are read with bounds checks: a model that does not match the
    // document fails the test instead of being read past its end.
    template <typename Mask>
    void Mesh(const std::string& name, const char* kind, int32_t material, const std::vector<ModelFace>& faces,
              int32_t count, Mask mask) {
        ExpectedMesh3DS m{name, kind, material, {}};
        for (int32_t f = 0; f < count; ++f) {
            const ModelFace& face = faces.at(size_t(f));
            m.Triangles.push_back({face.V1, face.V2, face.V3, mask(face)});
        }
        if (!m.Triangles.empty()) Out.Meshes.push_back(std::move(m));
    }
    void Mesh(const std::string& name, const char* kind, int32_t material, const ModelMesh& mesh, bool faceSmoothing) {
        Mesh(name, kind, material, mesh.Faces, mesh.FaceCount, [&](const ModelFace& f) {
            return faceSmoothing ? uint32_t(std::abs(int32_t(f.Smoothing))) : mesh.Smooth ? 1u : 0u;
        });
    }
    void List(const char* prefix, const char* kind, int32_t material, const std::vector<ModelMesh>& meshes,
              int32_t count, bool faceSmoothing) {
        for (int32_t i = 0; i < count; ++i) {
            const ModelMesh& mesh = meshes.at(size_t(i));
            if (faceSmoothing) {
                Mesh(prefix + Numbered("%06d", i), kind, material, mesh, true);
            } else {  // catwalks: never smoothed
                Mesh(prefix + Numbered("%06d", i), kind, material, mesh.Faces, mesh.FaceCount,
                     [](const ModelFace&) { return 0u; });
            }
        }
    }

    void Segment(int32_t s, const TrackModelEntry& entry, int32_t spine, int32_t rail, int32_t tie) {
        for (int32_t k = 0; k < gModelSettings.gSpineCount; ++k)
            Mesh(Numbered("S%04d", s) + Numbered("S%02d", k), "spines", spine, entry.Spines.at(size_t(k)), false);
        for (int32_t k = 0; k < gModelSettings.gRailCount; ++k)
            Mesh(Numbered("S%04d", s) + Numbered("R%02d", k), "rails", rail, entry.Rails.at(size_t(k)), false);
        Mesh(Numbered("S%03dT", s), "ties", tie, entry.TieFaces, entry.TieFaceCount,
             [](const ModelFace&) { return 0u; });
    }

    // The ground's triangles with their corners' positions; the water's are
    // the same laid flat at height 0.
    void Ground(bool flat) {
        const int32_t material = flat ? Material(Rgb(0, 0, 255), 75) : Material(Rgb(0, 160, 0));
        ExpectedMesh3DS m{flat ? "WATR" : "TERA", flat ? "water" : "ground", material, {}};
        const uint32_t mask = !flat && gGroundSmooth ? 1u : 0u;
        auto corner = [&](int32_t v) {
            Vector3 p = gGroundVertices.at(size_t(v)).Position;
            if (flat) p.Y = 0.0f;
            return p;
        };
        for (int32_t t = 0; t < gGroundTriangleCount; ++t) {
            const GroundTriangle& g = gGroundTriangles.at(size_t(t));
            m.Triangles.push_back({corner(g.A), corner(g.B), corner(g.C), mask});
        }
        if (!m.Triangles.empty()) Out.Meshes.push_back(std::move(m));
    }
};

bool Near(float read, float model) {
    // Rounding to 6 decimal places moves a value by at most half a millionth,
    // and storing the result as a float by at most half a unit in its last place.
    return std::fabs(double(read) - double(model)) <= 5e-7 + std::fabs(double(model)) * 0x1p-23;
}

::testing::AssertionResult SamePoint(const float* read, const Vector3& model) {
    // The file's axes: (X, -Z, Y) of the model's.
    if (Near(read[0], model.X) && Near(read[1], -model.Z) && Near(read[2], model.Y))
        return ::testing::AssertionSuccess();
    char text[200];
    std::snprintf(text, sizeof text, "file point (%.7g, %.7g, %.7g) is not model corner (%.7g, %.7g, %.7g)", read[0],
                  read[1], read[2], model.X, model.Y, model.Z);
    return ::testing::AssertionFailure() << text;
}

using FilePtr = std::unique_ptr<Lib3dsFile, void (*)(Lib3dsFile*)>;

FilePtr Load(const std::string& path) { return FilePtr(lib3ds_file_load(path.c_str()), lib3ds_file_free); }

void ExpectMaterial(const Lib3dsMaterial& m, const ExpectedMaterial3DS& e) {
    for (int k = 0; k < 3; ++k) {
        const uint8_t diffuse = Channel(e.Colour, k);
        EXPECT_FLOAT_EQ(m.diffuse[k], diffuse / 255.0f) << "diffuse " << k;
        EXPECT_FLOAT_EQ(m.ambient[k], float(std::nearbyint(diffuse * 0.5)) / 255.0f) << "ambient " << k;
        EXPECT_FLOAT_EQ(m.specular[k], 1.0f) << "specular " << k;
    }
    EXPECT_FLOAT_EQ(m.shininess, 0.25f);
    EXPECT_FLOAT_EQ(m.shin_strength, 0.05f);
    EXPECT_FLOAT_EQ(m.transparency, e.Transparency / 100.0f);
    EXPECT_STREQ(m.texture1_map.name, "");
}

}  // namespace

std::map<std::string, int64_t> ExpectedExport3DS::FacesByKind() const {
    std::map<std::string, int64_t> faces;
    for (const ExpectedMesh3DS& m : Meshes) faces[m.Kind] += int64_t(m.Triangles.size());
    return faces;
}

int64_t ExpectedExport3DS::Faces() const {
    int64_t n = 0;
    for (const ExpectedMesh3DS& m : Meshes) n += int64_t(m.Triangles.size());
    return n;
}

int64_t ExpectedExport3DS::Objects() const {
    int64_t n = 0;
    for (const ExpectedMesh3DS& m : Meshes) n += int64_t((m.Triangles.size() + kPartFaces - 1) / kPartFaces);
    return n;
}

ExpectedExport3DS ExpectedTrackExport(bool track, bool supports, bool tunnels, bool ground, bool water) {
    Builder b;
    if (track) {
        const int32_t spine = b.Material(gSpineColor), rail = b.Material(gRailColor), tie = b.Material(gTieColor);
        for (int32_t s = 0; s < gSegmentCount; ++s) {
            const TrackSegment& segment = gSegments.at(size_t(s));
            const bool own = segment.CustomColors;
            // Each custom-coloured segment adds its three materials, in the order of its meshes.
            const int32_t spineMaterial = own ? b.Material(segment.SpineColor) : spine;
            const TrackModelEntry& entry = gTrackModel.at(size_t(s));
            for (int32_t k = 0; k < gModelSettings.gSpineCount; ++k)
                b.Mesh(Numbered("S%04d", s) + Numbered("S%02d", k), "spines", spineMaterial,
                       entry.Spines.at(size_t(k)), false);
            const int32_t railMaterial = own ? b.Material(segment.RailColor) : rail;
            for (int32_t k = 0; k < gModelSettings.gRailCount; ++k)
                b.Mesh(Numbered("S%04d", s) + Numbered("R%02d", k), "rails", railMaterial, entry.Rails.at(size_t(k)),
                       false);
            const int32_t tieMaterial = own ? b.Material(segment.TieColor) : tie;
            b.Mesh(Numbered("S%03dT", s), "ties", tieMaterial, entry.TieFaces, entry.TieFaceCount,
                   [](const ModelFace&) { return 0u; });
        }
    }
    if (tunnels) {
        const int32_t c = gModelSettings.TunnelColor;
        const int32_t outer = b.Material(c);
        auto quarter = [&](int k) { return int(std::nearbyint(Channel(c, k) * 0.25)); };
        const int32_t inner = b.Material(Rgb(quarter(0), quarter(1), quarter(2)));
        for (int32_t t = 0; t < gTunnelModelCount; ++t)
            b.Mesh(Numbered("TNLO%04d", t), "outer tunnels", outer, gTunnelOuterModels.at(size_t(t)), true);
        for (int32_t t = 0; t < gTunnelModelCount; ++t)
            b.Mesh(Numbered("TNLI%04d", t), "inner tunnels", inner, gTunnelInnerModels.at(size_t(t)), true);
    }
    if (supports) {
        const int32_t support = b.Material(gModelSettings.SupportColor);
        const int32_t footer = b.Material(Rgb(192, 192, 192));
        b.List("ST", "tubes", support, gTubeModels, gTubeCount, true);
        b.List("CW", "catwalks", support, gCatwalkModels, gCatwalkCount, false);
        b.List("RN", "prefabs", support, gPrefabModels, gPrefabModelCount, true);
        b.List("SF", "footers", footer, gFooterModels, gFooterCount, true);
        b.List("RF", "prefab footers", footer, gPrefabFooterModels, gPrefabModelCount, true);
    }
    if (ground) b.Ground(false);
    if (ground && water && gHasWater && gHasWaterModel) b.Ground(true);
    return std::move(b.Out);
}

ExpectedExport3DS ExpectedElementExport(bool track, bool ground) {
    Builder b;
    if (track) {
        const int32_t spine = b.Material(Rgb(0, 64, 128)), rail = b.Material(Rgb(0, 128, 255)),
                      tie = b.Material(Rgb(255, 255, 255));
        for (int32_t s = 0; s < gSpineInfoSegmentCount; ++s) b.Segment(s, gTrackModel.at(size_t(s)), spine, rail, tie);
    }
    if (ground) b.Ground(false);
    return std::move(b.Out);
}

std::string MeshKindOfName(const std::string& n) {
    static const std::pair<const char*, const char*> prefixes[] = {
        {"TNLO", "outer tunnels"}, {"TNLI", "inner tunnels"}, {"ST", "tubes"},    {"CW", "catwalks"},
        {"RN", "prefabs"},         {"SF", "footers"},         {"RF", "prefab footers"}, {"TERA", "ground"},
        {"WATR", "water"}};
    for (const auto& [prefix, kind] : prefixes)
        if (n.rfind(prefix, 0) == 0) return kind;
    auto digits = [&](size_t from, size_t count) {
        for (size_t i = from; i < from + count; ++i)
            if (i >= n.size() || !std::isdigit(static_cast<unsigned char>(n[i]))) return false;
        return true;
    };
    if (n.size() == 8 && n[0] == 'S' && digits(1, 4) && digits(6, 2)) {
        if (n[5] == 'S') return "spines";
        if (n[5] == 'R') return "rails";
    }
    if (n.size() == 8 && n[0] == 'S' && digits(1, 3) && n[4] == 'T' && digits(5, 3)) return "ties";
    return "";
}

std::map<std::string, int64_t> FileFacesByKind(const std::string& path) {
    std::map<std::string, int64_t> faces;
    const FilePtr file = Load(path);
    if (!file) return faces;
    for (Lib3dsMesh* m = file->meshes; m; m = m->next) faces[MeshKindOfName(m->name)] += m->faces;
    return faces;
}

void ExpectFileHoldsTheModel(const std::string& path, const ExpectedExport3DS& expected) {
    const FilePtr file = Load(path);
    ASSERT_TRUE(file) << "lib3ds cannot load " << path;

    // Materials: lib3ds keeps them sorted by name, so they are found by name.
    std::map<std::string, const Lib3dsMaterial*> materials;
    size_t materialCount = 0;
    for (const Lib3dsMaterial* m = file->materials; m; m = m->next, ++materialCount) materials[m->name] = m;
    ASSERT_EQ(materialCount, expected.Materials.size());
    ASSERT_EQ(materials.size(), materialCount) << "material names are unique";
    for (size_t i = 0; i < expected.Materials.size(); ++i) {
        const std::string name = MaterialName(int32_t(i));
        SCOPED_TRACE(name);
        ASSERT_TRUE(materials.count(name));
        ExpectMaterial(*materials[name], expected.Materials[i]);
    }

    // Objects: lib3ds keeps meshes sorted by name, those of one name in file order.
    std::map<std::string, std::deque<const Lib3dsMesh*>> meshes;
    std::map<std::string, int64_t> facesByKind;
    int64_t meshCount = 0;
    for (const Lib3dsMesh* m = file->meshes; m; m = m->next, ++meshCount) {
        meshes[m->name].push_back(m);
        facesByKind[MeshKindOfName(m->name)] += m->faces;
    }
    EXPECT_EQ(facesByKind, expected.FacesByKind()) << "faces per kind of mesh";
    ASSERT_EQ(meshCount, expected.Objects()) << "objects after the 10000-face split";

    for (const ExpectedMesh3DS& e : expected.Meshes) {
        const std::string material = MaterialName(e.Material);
        for (size_t first = 0, part = 0; first < e.Triangles.size(); first += kPartFaces, ++part) {
            const std::string name = PartName(e.Name, part);
            SCOPED_TRACE("object " + name + " part " + std::to_string(part) + " of " + e.Name);
            ASSERT_FALSE(meshes[name].empty()) << "missing from the file";
            const Lib3dsMesh& m = *meshes[name].front();
            meshes[name].pop_front();
            const size_t faces = std::min(kPartFaces, e.Triangles.size() - first);
            ASSERT_EQ(m.faces, faces);
            ASSERT_LE(m.points, 3 * faces);
            EXPECT_EQ(m.texels, 0u);
            std::vector<bool> used(m.points, false);
            for (size_t f = 0; f < faces; ++f) {
                const Lib3dsFace& face = m.faceL[f];
                const ExpectedTriangle3DS& t = e.Triangles[first + f];
                ASSERT_STREQ(face.material, material.c_str()) << "face " << f;
                ASSERT_EQ(face.smoothing, t.Smoothing) << "face " << f;
                ASSERT_EQ(face.flags, 7) << "face " << f;
                const Vector3* corners[3] = {&t.A, &t.B, &t.C};
                for (int k = 0; k < 3; ++k) {
                    ASSERT_LT(face.points[k], m.points) << "face " << f;
                    used[face.points[k]] = true;
                    ASSERT_TRUE(SamePoint(m.pointL[face.points[k]].pos, *corners[k])) << "face " << f << " corner " << k;
                }
            }
            EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "vertices no face uses";
        }
    }
    for (const auto& [name, left] : meshes) EXPECT_TRUE(left.empty()) << left.size() << " unexpected objects " << name;
}
