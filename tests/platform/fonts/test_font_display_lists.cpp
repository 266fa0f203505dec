// The letters' display lists, compiled in an offscreen GLX context on the
// test display and read back through OpenGL's feedback mode.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include <GL/gl.h>
#include <GL/glx.h>

#include "platform/fonts/font_display_lists.h"
#include "platform/fonts/glyph_mesh.h"

using namespace fonts;

namespace {

// A small pbuffer with a current legacy rendering context.
class OffscreenContext {
public:
    bool Create() {
        display = XOpenDisplay(nullptr);
        if (!display) return false;
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_DEPTH_SIZE, 16, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (!configs || count == 0) return false;
        const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, 256, GLX_PBUFFER_HEIGHT, 256, None};
        pbuffer = glXCreatePbuffer(display, configs[0], pbufferAttributes);
        context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
        XFree(configs);
        if (!pbuffer || !context || !glXMakeContextCurrent(display, pbuffer, pbuffer, context)) return false;
        glViewport(0, 0, 256, 256);
        return true;
    }
    ~OffscreenContext() {
        if (display) {
            glXMakeContextCurrent(display, None, None, nullptr);
            if (context) glXDestroyContext(display, context);
            if (pbuffer) glXDestroyPbuffer(display, pbuffer);
            XCloseDisplay(display);
        }
    }

private:
    Display* display = nullptr;
    GLXPbuffer pbuffer = 0;
    GLXContext context = nullptr;
};

struct Feedback {
    int polygons = 0;
    int lines = 0;
    int vertices = 0;
};

// Runs one list in feedback mode and counts what it drew. The letter is
// seen at a slant, so that no side of it is edge-on to the viewer.
Feedback CallInFeedback(GLuint list) {
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.5, 1.5, -1.5, 1.5, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(31, 0, 1, 0);
    glRotatef(17, 1, 0, 0);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    Feedback f;
    for (GLint i = 0; i < used;) {
        const auto token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
        if (token == GL_POLYGON_TOKEN) {
            const auto n = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
            ++f.polygons;
            f.vertices += n;
            i += 3 * n;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            ++f.lines;
            i += 6;
        } else if (token == GL_POINT_TOKEN) {
            i += 3;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return f;
}

class FontLists : public ::testing::Test {
protected:
    // One context and one font for the suite: opening a display connection
    // per test only adds work for the X server.
    static void SetUpTestSuite() {
        gl = new OffscreenContext();
        glReady = gl->Create();
        font = new OutlineFont();
        font->Open(FontRequest{"Arial", 700, false});
    }
    static void TearDownTestSuite() {
        delete font;
        delete gl;
        font = nullptr;
        gl = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(glReady) << "no offscreen GLX context on this display";
        ASSERT_TRUE(font->IsOpen());
        base = glGenLists(256);
        ASSERT_NE(base, 0u);
    }
    void TearDown() override {
        if (base) glDeleteLists(base, 256);
    }
    static OffscreenContext* gl;
    static bool glReady;
    static OutlineFont* font;
    GLuint base = 0;
};
OffscreenContext* FontLists::gl = nullptr;
bool FontLists::glReady = false;
OutlineFont* FontLists::font = nullptr;

}  // namespace

TEST_F(FontLists, PrintableCodesHaveSolidLettersAndCode255StaysEmpty) {
    std::array<GlyphMetricsFloat, 256> metrics{};
    metrics[255].CellIncX = -1;  // must be left alone
    ASSERT_TRUE(UseFontOutlines(*font, 0, 255, base, 0.0f, 0.2f, FontPolygons, metrics.data()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    for (int code = 33; code < 127; ++code) {
        const Feedback f = CallInFeedback(base + static_cast<GLuint>(code));
        EXPECT_GT(f.polygons, 0) << "code " << code;
    }
    // 'A': front and back triangles and one side quad (two triangles) per outline edge.
    GlyphSolid solid;
    ASSERT_TRUE(BuildGlyphSolid(font->Glyph('A', 0), 0.2f, solid));
    const Feedback a = CallInFeedback(base + 'A');
    EXPECT_EQ(a.polygons, static_cast<int>(solid.Front.size() + solid.Back.size() + 2 * solid.Sides.size()));
    EXPECT_EQ(a.vertices, 3 * a.polygons);

    const Feedback last = CallInFeedback(base + 255);
    EXPECT_EQ(last.polygons, 0);
    EXPECT_EQ(last.lines, 0);
    EXPECT_EQ(metrics[255].CellIncX, -1.0f);

    EXPECT_FLOAT_EQ(metrics['A'].CellIncX, 1479.0f / 2048);
    EXPECT_FLOAT_EQ(metrics['A'].BlackBoxX, font->Glyph('A', 0).Metrics.BlackBoxX);
    EXPECT_EQ(CallInFeedback(base + ' ').polygons, 0);
}

TEST_F(FontLists, EachListMovesOnByItsAdvance) {
    std::array<GlyphMetricsFloat, 256> metrics{};
    ASSERT_TRUE(UseFontOutlines(*font, 0, 255, base, 0.0f, 0.2f, FontPolygons, metrics.data()));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const unsigned char text[] = "Gantrywright";
    glListBase(base);
    glCallLists(static_cast<GLsizei>(sizeof text - 1), GL_UNSIGNED_BYTE, text);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    float width = 0;
    for (size_t i = 0; i + 1 < sizeof text; ++i) width += metrics[text[i]].CellIncX;
    EXPECT_NEAR(m[12], width, 1e-5);
    EXPECT_EQ(m[13], 0.0f);
    EXPECT_EQ(m[14], 0.0f);
}

TEST_F(FontLists, LettersLieBetweenTheFrontAndTheExtrudedBack) {
    ASSERT_TRUE(UseFontOutlines(*font, 'H', 1, base + 'H', 0.0f, 0.5f, FontPolygons, nullptr));
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -1, 1);  // window z = (1 - z) / 2 for depth range 0..1
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCallList(base + 'H');
    const GLint used = glRenderMode(GL_RENDER);
    float zmin = 2, zmax = -2;
    for (GLint i = 0; i < used;) {
        ASSERT_EQ(static_cast<GLint>(buffer[static_cast<size_t>(i++)]), GL_POLYGON_TOKEN);
        const auto n = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
        for (GLint k = 0; k < n; ++k, i += 3) {
            zmin = std::min(zmin, buffer[static_cast<size_t>(i + 2)]);
            zmax = std::max(zmax, buffer[static_cast<size_t>(i + 2)]);
        }
    }
    EXPECT_NEAR(zmin, 0.5f, 1e-4) << "front at z = 0";
    EXPECT_NEAR(zmax, 0.75f, 1e-4) << "back at z = -0.5";
}

TEST_F(FontLists, OutlineFormatDrawsLines) {
    ASSERT_TRUE(UseFontOutlines(*font, 'O', 1, base + 'O', 0.0f, 0.0f, FontLines, nullptr));
    const Feedback f = CallInFeedback(base + 'O');
    EXPECT_EQ(f.polygons, 0);
    size_t edges = 0;
    for (const Contour& c : font->Glyph('O', 0).Contours) edges += c.size();
    EXPECT_EQ(static_cast<size_t>(f.lines), edges);
}

TEST_F(FontLists, BadRequestsChangeNoList) {
    EXPECT_FALSE(UseFontOutlines(*font, 0, 255, base, -0.1f, 0.2f, FontPolygons, nullptr));
    EXPECT_FALSE(UseFontOutlines(*font, 0, 255, base, 0.0f, -0.2f, FontPolygons, nullptr));
    EXPECT_FALSE(UseFontOutlines(*font, 200, 100, base, 0.0f, 0.2f, FontPolygons, nullptr));
    EXPECT_FALSE(UseFontOutlines(*font, 0, 1, base, 0.0f, 0.2f, 7, nullptr));
    EXPECT_FALSE(UseFontOutlines(*font, 0, 1, 0, 0.0f, 0.2f, FontPolygons, nullptr));
    OutlineFont closed;
    EXPECT_FALSE(UseFontOutlines(closed, 0, 255, base, 0.0f, 0.2f, FontPolygons, nullptr));
    EXPECT_EQ(CallInFeedback(base + 'A').polygons, 0);
}

TEST_F(FontLists, DrawnTextCoversPixels) {
    ASSERT_TRUE(UseFontOutlines(*font, 0, 255, base, 0.0f, 0.2f, FontPolygons, nullptr));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.1, 2.0, -0.5, 1.6, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 0);
    const unsigned char text[] = "Hi!";
    glListBase(base);
    glCallLists(3, GL_UNSIGNED_BYTE, text);
    glFinish();
    std::vector<unsigned char> pixels(256 * 256 * 4);
    glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 128 && pixels[i + 1] > 128 && pixels[i + 2] < 64;
    // "Hi!" at about 30 pixels per em: solid strokes, but far from a filled square.
    EXPECT_GT(lit, 300);
    EXPECT_LT(lit, 256 * 256 / 4);
    // The counter-space between the H's stems stays dark: the middle of the
    // letter at half its x-height above the bar is empty.
    const GlyphMetricsFloat h = font->Glyph('H', 0).Metrics;
    const int x = static_cast<int>((h.GlyphOriginX + h.BlackBoxX / 2 + 0.1) / 2.1 * 256);
    const int y = static_cast<int>((h.BlackBoxY * 0.85 + 0.5) / 2.1 * 256);
    EXPECT_LT(pixels[static_cast<size_t>((y * 256 + x) * 4)], 64);
}
