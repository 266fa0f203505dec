#pragma once
// Display lists of 3D letters: one list per character code, each drawing
// the glyph's solid (or its outline) and then moving the current position
// on by the glyph's advance, so that glCallLists writes a line of text.
// Needs a current OpenGL rendering context.

#include <cstdint>

#include "platform/fonts/glyph_outlines.h"

namespace fonts {

enum FontListFormat : int {
    FontLines = 0,     // outline contours as line loops
    FontPolygons = 1,  // filled, extruded letters
};

// Builds the lists listBase + 0 .. listBase + count - 1 for the character
// codes first .. first + count - 1 (Windows-1252) of the font. deviation is
// the largest chordal distance from the true outline in em units (0: one
// design unit); extrusion the depth towards -z (0: flat letters). metrics,
// when not null, receives count records. The lists must have been reserved
// with glGenLists. False (and no list changed) when the font is not open, a
// value is negative, the codes run past 255 or an outline cannot be
// tessellated.
bool UseFontOutlines(const OutlineFont& font, uint32_t first, uint32_t count, uint32_t listBase, float deviation,
                     float extrusion, int format, GlyphMetricsFloat* metrics);

}  // namespace fonts
