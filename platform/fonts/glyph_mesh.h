#pragma once
// The solid letter built from a flattened glyph outline: the front face at
// z = 0 facing +z, the back face at z = -extrusion facing -z, and one flat
// quad per outline edge for the sides. The faces are tessellated with the
// GLU tessellator, which needs no rendering context.

#include <vector>

#include "platform/fonts/glyph_outlines.h"

namespace fonts {

struct Vec3f {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct MeshTriangle {
    Vec3f v[3];  // counter-clockwise seen from the side its normal points to
    Vec3f normal;
};

struct MeshQuad {
    Vec3f v[4];  // counter-clockwise seen from outside
    Vec3f normal;
};

struct GlyphSolid {
    std::vector<MeshTriangle> Front;
    std::vector<MeshTriangle> Back;
    std::vector<MeshQuad> Sides;
    bool Empty() const { return Front.empty() && Back.empty() && Sides.empty(); }
};

// Triangles covering the area that the contours enclose under the nonzero
// winding rule, each counter-clockwise (positive area). Empty on failure.
bool TessellateContours(const std::vector<Contour>& contours, std::vector<Point2>& triangles);

// The solid of a glyph, extruded by `extrusion` in the negative z direction.
// With extrusion 0 only the front face is made. False when the outline could
// not be tessellated.
bool BuildGlyphSolid(const GlyphOutline& glyph, float extrusion, GlyphSolid& solid);

}  // namespace fonts
