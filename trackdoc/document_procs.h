#pragma once
// Small procedures on the track document shared by the model builder and the
// tools: terrain heights and the two append procedures.

#include <cstdint>

#include "trackdoc/math3d.h"

// Height of grid point (i, j); 0 outside the grid or without terrain, and
// negative heights read as 0 when the terrain has water.
float GetTerrainCellHeight(int32_t i, int32_t j);
// Ground height below a point (its Y is ignored), on the triangulated grid.
float GetGroundHeightAt(const Vector3& position);

// Appends a free node; returns its index.
int32_t AddFreeNode(const Vector3& position);
// Appends a support tube between two free nodes; returns its index.
int32_t AddSupportBeam(int32_t nodeA, int32_t nodeB, int32_t tubeType, float rotation);
