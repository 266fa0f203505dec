#pragma once
// The Track menu's Terrain Poly Reducer: replaces the terrain's height grid by
// a coarser (or finer) grid of a chosen size, each new point sampled from one
// old point, so that the ground model has fewer triangles. The terrain keeps
// its extent; its other fields (presence, water, texts and values) stay.

#include <cstdint>
#include <string>

#include "tools/tool_form.h"

// The two size boxes: whole numbers 32 .. 512, digits only.
inline constexpr NumericBoxSpec kTerrainSizeBox{32.0, 512.0, false, false, ""};

// Two triangles per cell of a grid of width by depth points; 0 for a grid
// without cells.
int64_t TerrainPolyCount(int64_t width, int64_t depth);

// What the dialog shows of the current terrain: "W x D" and its polygon count.
std::string CurrentTerrainGridText();
std::string CurrentTerrainPolysText();
// The proposed new size, half the current one (rounded down).
int32_t ProposedTerrainWidth();
int32_t ProposedTerrainDepth();

// The two count labels for box values w and d: the new count and the count
// removed; both "-" while a size is out of range.
struct TerrainCountTexts {
    std::string NewPolys;
    std::string SavedPolys;
};
TerrainCountTexts TerrainCountsFor(double width, double depth);

// The sampling step of one axis: old / new points, rounded to 6 decimal places.
float TerrainStep(int32_t oldPoints, int32_t newPoints);
// The old index sampled for new index a: a * step as a whole index (a step of 2
// takes 0, 2, 4, ...), clamped to the last old point.
int32_t TerrainSourceIndex(int32_t a, float step, int32_t oldPoints);

// Resamples the grid to width by depth points and sets the new spacing so the
// terrain keeps its extent (old points x old spacing / new points; 1024 / new
// points when the old grid had no extent). False, nothing changed, for a size
// outside 32 .. 512 or a spacing that would not be a finite float.
bool ReduceTerrain(int32_t width, int32_t depth);
// OK: the reduction, its rebuild flags, the changed mark. A spacing that would
// not be finite shows NotFiniteNotice and changes nothing.
bool RunTerrainPolyReducer(int32_t width, int32_t depth);
