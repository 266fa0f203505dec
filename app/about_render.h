#pragma once
// Drawing the about box's scene with OpenGL 1.1 into the current context:
// the field of columns under the circling camera, then the credits in 3D
// letters over it. Needs no window toolkit.

#include <cstdint>
#include <string_view>

#include "app/about_scene.h"
#include "platform/fonts/glyph_outlines.h"

namespace about {

// The 3D letters: 256 display lists from FontListBase, one per character
// code, with their glyph metrics.
struct FontLists {
    uint32_t FontListBase = 0;  // 0: no lists (nothing is written)
    fonts::GlyphMetricsFloat GlyphMetrics[256]{};
};

// Reserves the 256 lists and builds the glyphs of codes 0 to 254 of a bold
// sans-serif face, extruded by 0.2; code 255 keeps an empty list. False when
// no lists could be reserved; when the face is missing the lists stay empty
// (the credits are then not written, the columns still are).
bool BuildFontLists(FontLists& lists);
// Deletes the lists of the current context.
void DeleteFontLists(FontLists& lists);

// One line at the current transformation, centred on x = 0; nothing for an
// empty line.
void DrawText3D(std::string_view line, const FontLists& lists);

// The whole frame into the current context (not presented): clear, camera
// transform from gCameraPosition and gCameraAngles, the light's position,
// the columns, and the credits over them without depth test.
void DrawAboutScene(const AboutAnimation& animation, const FontLists& lists);

// The columns of the field: flat tops at each height, four sides down to 0,
// no bottoms, coloured by place and height.
void DrawWaveColumns(const WaveHeights& heights);

}  // namespace about
