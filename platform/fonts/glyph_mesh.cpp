#include "platform/fonts/glyph_mesh.h"

#include <array>
#include <cmath>
#include <deque>

#include <GL/glu.h>

namespace fonts {

namespace {

#ifndef CALLBACK
#define CALLBACK
#endif

// What the tessellator hands back, collected per polygon.
struct TessState {
    std::deque<std::array<GLdouble, 3>> vertices;  // stable addresses for the tessellator
    std::vector<Point2> triangles;
    bool failed = false;
};

void CALLBACK OnBegin(GLenum, void*) {}
void CALLBACK OnEdgeFlag(GLboolean, void*) {}  // present so that only triangles come out
void CALLBACK OnEnd(void*) {}

void CALLBACK OnVertex(void* vertex, void* data) {
    auto* state = static_cast<TessState*>(data);
    const auto* v = static_cast<const GLdouble*>(vertex);
    state->triangles.push_back({v[0], v[1]});
}

void CALLBACK OnCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data) {
    auto* state = static_cast<TessState*>(data);
    state->vertices.push_back({coords[0], coords[1], coords[2]});
    *out = state->vertices.back().data();
}

void CALLBACK OnError(GLenum, void* data) { static_cast<TessState*>(data)->failed = true; }

using TessCallback = void(CALLBACK*)();

}  // namespace

bool TessellateContours(const std::vector<Contour>& contours, std::vector<Point2>& triangles) {
    triangles.clear();
    if (contours.empty()) return true;
    GLUtesselator* tess = gluNewTess();
    if (!tess) return false;
    TessState state;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(OnBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<TessCallback>(OnEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(OnVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<TessCallback>(OnEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(OnCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<TessCallback>(OnError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);

    for (const Contour& c : contours)
        for (const Point2& p : c) state.vertices.push_back({p.x, p.y, 0});
    gluTessBeginPolygon(tess, &state);
    size_t next = 0;
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (size_t i = 0; i < c.size(); ++i, ++next) gluTessVertex(tess, state.vertices[next].data(), state.vertices[next].data());
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (state.failed || state.triangles.size() % 3 != 0) return false;
    triangles = std::move(state.triangles);
    return true;
}

bool BuildGlyphSolid(const GlyphOutline& glyph, float extrusion, GlyphSolid& solid) {
    solid = GlyphSolid();
    std::vector<Point2> tris;
    if (!TessellateContours(glyph.Contours, tris)) return false;
    const float back = -std::fabs(extrusion);
    for (size_t i = 0; i + 2 < tris.size(); i += 3) {
        MeshTriangle f;
        for (int k = 0; k < 3; ++k) f.v[k] = {static_cast<float>(tris[i + k].x), static_cast<float>(tris[i + k].y), 0};
        f.normal = {0, 0, 1};
        solid.Front.push_back(f);
        if (extrusion != 0) {
            MeshTriangle b;
            // Reversed, so that it is counter-clockwise seen from behind.
            b.v[0] = {f.v[0].x, f.v[0].y, back};
            b.v[1] = {f.v[2].x, f.v[2].y, back};
            b.v[2] = {f.v[1].x, f.v[1].y, back};
            b.normal = {0, 0, -1};
            solid.Back.push_back(b);
        }
    }
    if (extrusion == 0) return true;
    for (const Contour& c : glyph.Contours) {
        for (size_t i = 0, n = c.size(); i < n; ++i) {
            const Point2 p = c[i], q = c[(i + 1) % n];
            const double dx = q.x - p.x, dy = q.y - p.y, len = std::hypot(dx, dy);
            if (len == 0) continue;
            // Outward is on the side of the edge away from the filled area.
            const double sign = glyph.FilledOnRight ? 1.0 : -1.0;
            MeshQuad s;
            s.normal = {static_cast<float>(-dy / len * sign), static_cast<float>(dx / len * sign), 0};
            const Vec3f pf{static_cast<float>(p.x), static_cast<float>(p.y), 0};
            const Vec3f qf{static_cast<float>(q.x), static_cast<float>(q.y), 0};
            const Vec3f pb{pf.x, pf.y, back}, qb{qf.x, qf.y, back};
            if (glyph.FilledOnRight) {
                s.v[0] = pf; s.v[1] = qf; s.v[2] = qb; s.v[3] = pb;
            } else {
                s.v[0] = pf; s.v[1] = pb; s.v[2] = qb; s.v[3] = qf;
            }
            solid.Sides.push_back(s);
        }
    }
    return true;
}

}  // namespace fonts
