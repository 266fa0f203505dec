#pragma once
// What an export of the built model must hold, written down straight from the
// model arrays by the export's rules (materials in their order, every mesh of
// the chosen parts with its triangles, no staging and no welding), and the
// check that a .3ds file, read back by lib3ds, holds exactly that.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

struct ExpectedTriangle3DS {
    Vector3 A, B, C;         // model axes, in the triangle's corner order
    uint32_t Smoothing = 0;  // the face's smoothing-group mask
};

struct ExpectedMesh3DS {
    std::string Name;  // as staged, before the part number
    std::string Kind;  // "spines", "rails", "ties", "outer tunnels", ...
    int32_t Material = 0;
    std::vector<ExpectedTriangle3DS> Triangles;
};

struct ExpectedMaterial3DS {
    int32_t Colour = 0;  // RGB, red in the low byte
    int Transparency = 0;
};

struct ExpectedExport3DS {
    std::vector<ExpectedMaterial3DS> Materials;
    std::vector<ExpectedMesh3DS> Meshes;  // meshes without faces are left out, as they add no object

    std::map<std::string, int64_t> FacesByKind() const;
    int64_t Faces() const;
    // Objects after the 10000-face split.
    int64_t Objects() const;
};

// The model as the track and element exports with these parts must write it.
ExpectedExport3DS ExpectedTrackExport(bool track, bool supports, bool tunnels, bool ground, bool water);
ExpectedExport3DS ExpectedElementExport(bool track, bool ground);

// The kind of mesh an object name says it holds, from the name alone; "" for a
// name of no known kind.
std::string MeshKindOfName(const std::string& objectName);

// Faces per kind of mesh in a .3ds file as lib3ds reads it (empty when it cannot load it).
std::map<std::string, int64_t> FileFacesByKind(const std::string& path);

// Reads the file with lib3ds and checks every material (name, colours,
// percentages) and every object: each expected mesh in parts of at most 10000
// faces named by the part rule, the face totals per kind, and each face's
// corners (within the writer's rounding to 6 decimal places, in the file's
// axes), material and smoothing group; no object or vertex left over.
void ExpectFileHoldsTheModel(const std::string& path, const ExpectedExport3DS& expected);
