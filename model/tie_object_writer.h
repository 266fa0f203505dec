#pragma once
// Writes triangle models as crosstie object files (.fcobject) in the layout
// that LoadTieModel reads: the "OBSF" header, an empty "MATS" chunk and a
// "BRSH" chunk with one record per brush. Used to make the program's own
// crosstie models and test objects.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trackdoc/math3d.h"

struct TieObjectBrush {
    std::string Name;
    std::vector<Vector3> Vertices;
    std::vector<std::array<int32_t, 3>> Faces;  // corner indices into Vertices
};

struct TieObject {
    std::vector<TieObjectBrush> Brushes;
};

// The file's bytes; lowerCaseTags writes the chunk tags in lower case.
std::vector<uint8_t> EncodeTieObject(const TieObject& object, bool lowerCaseTags = false);
bool WriteTieObjectFile(const std::string& path, const TieObject& object);
