#pragma once
// Reads a written .3ds file back with lib3ds, a reader of its own that shares
// no code with the writer, and compares what it finds with the staged scene.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

struct ReadMaterial3DS {
    std::string Name;
    std::array<float, 3> Ambient{}, Diffuse{}, Specular{};
    float Shininess = 0, ShinStrength = 0, Transparency = 0;
    std::string Texture;
};

struct ReadMesh3DS {
    std::string Name;
    std::vector<Vector3> Points;                // as stored: file axes
    std::vector<std::array<float, 2>> Texels;
    std::vector<std::array<int, 3>> Faces;
    std::vector<std::string> FaceMaterials;
    std::vector<uint32_t> Smoothing;
    std::vector<uint16_t> Flags;
};

struct Read3DS {
    bool Loaded = false;
    uint32_t MeshVersion = 0;
    float MasterScale = 0;
    std::vector<ReadMaterial3DS> Materials;  // in lib3ds's list order
    std::vector<ReadMesh3DS> Meshes;
};

Read3DS ReadWithLib3ds(const std::string& path);

// Reads the file with lib3ds and checks that it holds exactly the current
// scene (gMaterials3DS, gObjects3DS): every material with its name, colours
// and percentages, every object with its name, vertices (turned to the file's
// axes), faces, face materials and smoothing groups. Objects are matched by
// name; objects of one name keep their order.
void ExpectLib3dsReadsTheScene(const std::string& path);
