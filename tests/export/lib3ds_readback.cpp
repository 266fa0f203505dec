#include "tests/export/lib3ds_readback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include "export/scene_staging_3ds.h"

Read3DS ReadWithLib3ds(const std::string& path) {
    Read3DS out;
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    if (!file) return out;
    out.Loaded = true;
    out.MeshVersion = file->mesh_version;
    out.MasterScale = file->master_scale;
    for (Lib3dsMaterial* m = file->materials; m; m = m->next) {
        ReadMaterial3DS r;
        r.Name = m->name;
        for (int i = 0; i < 3; ++i) {
            r.Ambient[i] = m->ambient[i];
            r.Diffuse[i] = m->diffuse[i];
            r.Specular[i] = m->specular[i];
        }
        r.Shininess = m->shininess;
        r.ShinStrength = m->shin_strength;
        r.Transparency = m->transparency;
        r.Texture = m->texture1_map.name;
        out.Materials.push_back(r);
    }
    for (Lib3dsMesh* m = file->meshes; m; m = m->next) {
        ReadMesh3DS r;
        r.Name = m->name;
        for (Lib3dsDword i = 0; i < m->points; ++i)
            r.Points.push_back(Vector3{m->pointL[i].pos[0], m->pointL[i].pos[1], m->pointL[i].pos[2]});
        for (Lib3dsDword i = 0; i < m->texels; ++i) r.Texels.push_back({m->texelL[i][0], m->texelL[i][1]});
        for (Lib3dsDword i = 0; i < m->faces; ++i) {
            const Lib3dsFace& f = m->faceL[i];
            r.Faces.push_back({f.points[0], f.points[1], f.points[2]});
            r.FaceMaterials.push_back(f.material);
            r.Smoothing.push_back(f.smoothing);
            r.Flags.push_back(f.flags);
        }
        out.Meshes.push_back(std::move(r));
    }
    lib3ds_file_free(file);
    return out;
}

namespace {

void ExpectColour(const std::array<float, 3>& read, const Color3DS& c, const char* what) {
    EXPECT_FLOAT_EQ(read[0], c.R / 255.0f) << what;
    EXPECT_FLOAT_EQ(read[1], c.G / 255.0f) << what;
    EXPECT_FLOAT_EQ(read[2], c.B / 255.0f) << what;
}

void ExpectCoordinate(float read, float model, const char* axis, size_t vertex) {
    EXPECT_NEAR(read, model, 1e-6 + 1e-6 * std::fabs(model)) << axis << " of vertex " << vertex;
}

}  // namespace

void ExpectLib3dsReadsTheScene(const std::string& path) {
    const Read3DS file = ReadWithLib3ds(path);
    ASSERT_TRUE(file.Loaded) << "lib3ds cannot load " << path;
    EXPECT_EQ(file.MeshVersion, 3u);
    EXPECT_FLOAT_EQ(file.MasterScale, 39.370079f);

    std::map<std::string, const ReadMaterial3DS*> materials;
    for (const ReadMaterial3DS& m : file.Materials) materials[m.Name] = &m;
    ASSERT_EQ(file.Materials.size(), size_t(gMaterialCount3DS));
    ASSERT_EQ(materials.size(), size_t(gMaterialCount3DS)) << "material names are unique";
    for (int32_t i = 0; i < gMaterialCount3DS; ++i) {
        const Mat3DS& m = gMaterials3DS[size_t(i)];
        SCOPED_TRACE(m.Name);
        ASSERT_TRUE(materials.count(m.Name));
        const ReadMaterial3DS& r = *materials[m.Name];
        ExpectColour(r.Ambient, m.Ambient, "ambient");
        ExpectColour(r.Diffuse, m.Diffuse, "diffuse");
        ExpectColour(r.Specular, m.Specular, "specular");
        EXPECT_FLOAT_EQ(r.Shininess, m.Shininess / 100.0f);
        EXPECT_FLOAT_EQ(r.ShinStrength, m.ShinStrength / 100.0f);
        EXPECT_FLOAT_EQ(r.Transparency, m.Transparency / 100.0f);
        EXPECT_EQ(r.Texture, m.Texture);
    }

    // Meshes of one name, in their order in each list.
    std::map<std::string, std::vector<const ReadMesh3DS*>> meshes;
    for (const ReadMesh3DS& m : file.Meshes) meshes[m.Name].push_back(&m);
    std::map<std::string, size_t> taken;
    ASSERT_EQ(file.Meshes.size(), size_t(gObjectCount3DS));
    for (int32_t i = 0; i < gObjectCount3DS; ++i) {
        const Obj3DS& o = gObjects3DS[size_t(i)];
        SCOPED_TRACE("object " + std::to_string(i) + " " + o.Name);
        const size_t k = taken[o.Name]++;
        ASSERT_LT(k, meshes[o.Name].size());
        const ReadMesh3DS& r = *meshes[o.Name][k];
        ASSERT_EQ(r.Points.size(), o.Vertices.size());
        for (size_t v = 0; v < o.Vertices.size(); ++v) {
            const Vector3& p = o.Vertices[v];
            ExpectCoordinate(r.Points[v].X, p.X, "x", v);
            ExpectCoordinate(r.Points[v].Y, -p.Z, "y (model -z)", v);
            ExpectCoordinate(r.Points[v].Z, p.Y, "z (model y)", v);
        }
        if (o.HasUV) {
            ASSERT_EQ(r.Texels.size(), o.UVs.size());
            for (size_t t = 0; t < o.UVs.size(); ++t) {
                EXPECT_EQ(r.Texels[t][0], o.UVs[t].U);
                EXPECT_EQ(r.Texels[t][1], o.UVs[t].V);
            }
        }
        const std::string material =
            o.Material >= 0 && o.Material < gMaterialCount3DS ? gMaterials3DS[size_t(o.Material)].Name : "";
        ASSERT_EQ(r.Faces.size(), o.Faces.size());
        for (size_t f = 0; f < o.Faces.size(); ++f) {
            ASSERT_EQ(r.Faces[f][0], o.Faces[f].A) << "face " << f;
            ASSERT_EQ(r.Faces[f][1], o.Faces[f].B) << "face " << f;
            ASSERT_EQ(r.Faces[f][2], o.Faces[f].C) << "face " << f;
            ASSERT_EQ(r.FaceMaterials[f], material) << "face " << f;
            ASSERT_EQ(r.Smoothing[f], o.FaceSmooth[f]) << "face " << f;
            ASSERT_EQ(r.Flags[f], 7) << "face " << f;
        }
    }
}
