#include "app/about_render.h"

#include <GL/gl.h>

#include "model/render/camera.h"
#include "model/render/light_setup.h"
#include "platform/fonts/font_display_lists.h"

namespace about {

namespace {

constexpr float kTextDepth = 0.2f;

void Normal(const Vector3& a, const Vector3& b, const Vector3& c) {
    const Vector3 n = TriangleNormal(a, b, c);
    glNormal3f(n.X, n.Y, n.Z);
}

void Vertex(const Vector3& v) { glVertex3f(v.X, v.Y, v.Z); }

// One quad, preceded by the normal of the three points given.
void Quad(const Vector3& n1, const Vector3& n2, const Vector3& n3, const Vector3& a, const Vector3& b,
          const Vector3& c, const Vector3& d) {
    Normal(n1, n2, n3);
    Vertex(a);
    Vertex(b);
    Vertex(c);
    Vertex(d);
}

}  // namespace

bool BuildFontLists(FontLists& lists) {
    lists.FontListBase = glGenLists(256);
    if (lists.FontListBase == 0) return false;
    for (auto& m : lists.GlyphMetrics) m = fonts::GlyphMetricsFloat{};
    fonts::OutlineFont font;
    fonts::FontRequest request;
    request.Face = "Arial";
    request.Weight = 700;
    if (font.Open(request))
        fonts::UseFontOutlines(font, 0, 255, lists.FontListBase, 0.0f, kTextDepth, fonts::FontPolygons,
                               lists.GlyphMetrics);
    return true;
}

void DeleteFontLists(FontLists& lists) {
    if (lists.FontListBase != 0) glDeleteLists(lists.FontListBase, 256);
    lists.FontListBase = 0;
}

void DrawText3D(std::string_view line, const FontLists& lists) {
    if (line.empty() || lists.FontListBase == 0) return;
    const float w = TextAdvance(line, lists.GlyphMetrics);
    glTranslatef(-w / 2.0f, 0.0f, 0.0f);
    glPushAttrib(GL_LIST_BIT);
    glListBase(lists.FontListBase);
    glCallLists(static_cast<GLsizei>(line.size()), GL_UNSIGNED_BYTE, line.data());
    glPopAttrib();
}

void DrawWaveColumns(const WaveHeights& heights) {
    constexpr int N = kWaveGridSize;
    constexpr float c = 40.0f / N;
    auto x = [](int k) { return -20.0f + static_cast<float>(k) * c; };
    glBegin(GL_QUADS);
    for (int i = 1; i <= N - 1; ++i) {
        for (int j = 1; j <= N - 1; ++j) {
            const float h = heights[i][j];
            glColor3f(1.0f - static_cast<float>(i) / N, h / 20.0f, static_cast<float>(j) / N);
            const Vector3 p1 = MakeVector(x(i), h, x(j));
            const Vector3 p2 = MakeVector(x(i + 1), h, x(j));
            const Vector3 p3 = MakeVector(x(i + 1), h, x(j - 1));
            const Vector3 p4 = MakeVector(x(i), h, x(j - 1));
            const Vector3 q1 = MakeVector(p1.X, 0.0f, p1.Z);
            const Vector3 q2 = MakeVector(p2.X, 0.0f, p2.Z);
            const Vector3 q3 = MakeVector(p3.X, 0.0f, p3.Z);
            const Vector3 q4 = MakeVector(p4.X, 0.0f, p4.Z);
            Quad(p4, p3, p2, p4, p3, p2, p1);  // top
            Quad(q3, p3, p4, q4, q3, p3, p4);  // sides
            Quad(q2, p2, p3, q3, q2, p2, p3);
            Quad(q1, p1, p2, q2, q1, p1, p2);
            Quad(q4, p4, p1, q1, q4, p4, p1);
        }
    }
    glEnd();
}

void DrawAboutScene(const AboutAnimation& animation, const FontLists& lists) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glRotatef(360.0f - gCameraAngles.X, 1.0f, 0.0f, 0.0f);
    glRotatef(360.0f - gCameraAngles.Y, 0.0f, 1.0f, 0.0f);
    glRotatef(360.0f - gCameraAngles.Z, 0.0f, 0.0f, 1.0f);
    glTranslatef(-gCameraPosition.X, -gCameraPosition.Y, -gCameraPosition.Z);
    glLightfv(GL_LIGHT0, GL_POSITION, gLightPosition);

    DrawWaveColumns(animation.WaveGrid);

    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, gLightPosition);
    glDisable(GL_DEPTH_TEST);
    for (const CreditLine& line : LayoutCredits(animation.CreditsScroll)) {
        glLoadIdentity();
        glTranslatef(0.0f, line.Y, line.Z);
        glColor3f(line.Red, line.Green, line.Blue);
        DrawText3D(line.Text, lists);
    }
    glEnable(GL_DEPTH_TEST);
}

}  // namespace about
