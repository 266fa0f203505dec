#include "platform/fonts/font_display_lists.h"

#include <vector>

#include <GL/gl.h>

#include "platform/fonts/glyph_mesh.h"

namespace fonts {

namespace {

void Vertex(const Vec3f& v) { glVertex3f(v.x, v.y, v.z); }

// One glyph is one run of triangles: front, back, and the sides split in two.
void CompileSolid(const GlyphSolid& solid) {
    if (solid.Empty()) return;
    glBegin(GL_TRIANGLES);
    for (const std::vector<MeshTriangle>* faces : {&solid.Front, &solid.Back}) {
        if (faces->empty()) continue;
        const Vec3f n = faces->front().normal;
        glNormal3f(n.x, n.y, n.z);
        for (const MeshTriangle& t : *faces) {
            Vertex(t.v[0]);
            Vertex(t.v[1]);
            Vertex(t.v[2]);
        }
    }
    for (const MeshQuad& q : solid.Sides) {
        glNormal3f(q.normal.x, q.normal.y, q.normal.z);
        Vertex(q.v[0]);
        Vertex(q.v[1]);
        Vertex(q.v[2]);
        Vertex(q.v[0]);
        Vertex(q.v[2]);
        Vertex(q.v[3]);
    }
    glEnd();
}

// The outline as separate line segments, at the front and (when extruded) at the back.
void CompileLines(const GlyphOutline& glyph, float extrusion) {
    if (glyph.Contours.empty()) return;
    const float depths[2] = {0.0f, -extrusion};
    glBegin(GL_LINES);
    for (int side = 0; side < (extrusion > 0 ? 2 : 1); ++side) {
        for (const Contour& c : glyph.Contours) {
            for (size_t i = 0, n = c.size(); i < n; ++i) {
                const Point2& p = c[i];
                const Point2& q = c[(i + 1) % n];
                glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), depths[side]);
                glVertex3f(static_cast<float>(q.x), static_cast<float>(q.y), depths[side]);
            }
        }
    }
    glEnd();
}

}  // namespace

bool UseFontOutlines(const OutlineFont& font, uint32_t first, uint32_t count, uint32_t listBase, float deviation,
                     float extrusion, int format, GlyphMetricsFloat* metrics) {
    if (!font.IsOpen() || !(deviation >= 0) || !(extrusion >= 0) || listBase == 0) return false;
    if (format != FontLines && format != FontPolygons) return false;
    if (first > 255 || count > 256 - first) return false;

    // Every glyph is built before the first list is touched, so that a
    // failure leaves the lists as they were.
    std::vector<GlyphOutline> outlines(count);
    std::vector<GlyphSolid> solids(format == FontPolygons ? count : 0);
    for (uint32_t i = 0; i < count; ++i) {
        outlines[i] = font.Glyph(static_cast<uint8_t>(first + i), deviation);
        if (format == FontPolygons && !BuildGlyphSolid(outlines[i], extrusion, solids[i])) return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const GlyphMetricsFloat& m = outlines[i].Metrics;
        glNewList(listBase + i, GL_COMPILE);
        if (format == FontPolygons)
            CompileSolid(solids[i]);
        else
            CompileLines(outlines[i], extrusion);
        glTranslatef(m.CellIncX, m.CellIncY, 0.0f);
        glEndList();
        if (metrics) metrics[i] = m;
    }
    return glGetError() == GL_NO_ERROR;
}

}  // namespace fonts
