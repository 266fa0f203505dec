#include "render_test_support.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "core/app_state.h"
#include "model/modeler_settings.h"
#include "model/path_frames.h"
#include "model/radius_comb.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/light_setup.h"
#include "model/render/scene_render.h"
#include "model/render/x11_gl_window.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace rendertest {

int32_t RenderFixture::context_ = 0;

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.R << ", " << c.G << ", " << c.B << ")";
}

Rgb RgbOf(int32_t color) { return Rgb{color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF}; }

Rgb Frame::At(int x, int yFromTop) const {
    if (x < 0 || x >= kWidth || yFromTop < 0 || yFromTop >= kHeight || Bytes.empty()) return Rgb{-1, -1, -1};
    const size_t i = (static_cast<size_t>(kHeight - 1 - yFromTop) * kWidth + static_cast<size_t>(x)) * 3;
    return Rgb{Bytes[i], Bytes[i + 1], Bytes[i + 2]};
}

namespace {
bool Close(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance && std::abs(a.B - b.B) <= tolerance;
}
}  // namespace

bool Frame::HasNear(int x, int yFromTop, const Rgb& colour, int radius, int tolerance) const {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (Close(At(x + dx, yFromTop + dy), colour, tolerance)) return true;
    return false;
}

int Frame::Count(const Rgb& colour, int tolerance) const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (Close(At(x, y), colour, tolerance)) ++n;
    return n;
}

void RenderFixture::SetUpTestSuite() {
    // The test display resets itself whenever its last client leaves. Between
    // two suites this program can be that last client, and the next suite's
    // window would then meet the display in the middle of its reset (the
    // connection is refused). One connection held for the whole run keeps the
    // display up.
    static Display* const keepDisplayUp = XOpenDisplay(nullptr);
    (void)keepDisplayUp;
    X11GLWindowOptions options;
    options.Width = kWidth;
    options.Height = kHeight;
    options.DepthBits = 32;
    context_ = CreateX11GLWindow(options);
    ASSERT_GT(context_, 0) << "no GL window on the test display";
    InitGLState();
    SetupGLLight(180, 60);
    SetGLLighting(true);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    ResizeGLViewport(kWidth, kHeight, 1500, 60);
}

void RenderFixture::TearDownTestSuite() {
    DeleteGLContext(context_);
    context_ = 0;
    gMainGLContext = 0;
    gOpenGLEnabled = false;
}

void RenderFixture::SetUp() {
    ASSERT_GT(context_, 0);
    gMainGLContext = context_;
    gOpenGLEnabled = true;
    ASSERT_TRUE(MakeGLContextCurrent(context_));
    // What a test may have changed.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    SetupGLLight(180, 60);
    SetGLLighting(true);
    SetMeshSubmission(MeshSubmission::Lists);
    gViewSwitches = ViewSwitches{};
    ResetScene();
    SetCamera(MakeVector(0, 0, 0), MakeVector(0, 0, 0), MakeVector(-1000, -1000, -1000), MakeVector(1000, 1000, 1000));
    FindGLContext(context_)->BeforePresent = [this] {
        last_.Bytes = ReadFramePixels(kWidth, kHeight);
        ++last_.Presents;
    };
}

void RenderFixture::TearDown() {
    if (GLDrawTarget* t = FindGLContext(context_)) t->BeforePresent = nullptr;
    ResetScene();
}

Frame RenderFixture::Render() {
    last_ = Frame{};
    RenderScene();
    return last_;
}

void RenderFixture::Project(const Vector3& p, int& x, int& yFromTop) {
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(p.X, p.Y, p.Z, model, projection, viewport, &wx, &wy, &wz);
    x = static_cast<int>(wx);
    yFromTop = kHeight - 1 - static_cast<int>(wy);
}

// The helpers write the model arrays outside the build pipeline, so each
// tells the preview to compile its lists afresh.
void AddQuadFacingZ(ModelMesh& mesh, float x0, float y0, float x1, float y1, float z) {
    InvalidateSceneLists();
    AppendFace(mesh, MakeFace(MakeVector(x0, y0, z), MakeVector(x1, y0, z), MakeVector(x1, y1, z)));
    AppendFace(mesh, MakeFace(MakeVector(x0, y0, z), MakeVector(x1, y1, z), MakeVector(x0, y1, z)));
}

void AddQuadFacingUp(ModelMesh& mesh, float x0, float z0, float x1, float z1, float y) {
    InvalidateSceneLists();
    AppendFace(mesh, MakeFace(MakeVector(x0, y, z1), MakeVector(x1, y, z1), MakeVector(x1, y, z0)));
    AppendFace(mesh, MakeFace(MakeVector(x0, y, z1), MakeVector(x1, y, z0), MakeVector(x0, y, z0)));
}

void MakeTrackModel(int segments) {
    InvalidateSceneLists();
    gModelSettings.gRailCount = 1;
    gModelSettings.gSpineCount = 1;
    gSpineInfoSegmentCount = segments;
    gTrackModel.assign(static_cast<size_t>(segments) + 1, TrackModelEntry{});
    for (auto& e : gTrackModel) {
        e.Rails.assign(2, ModelMesh{});
        e.Spines.assign(2, ModelMesh{});
    }
    gSegmentCount = segments;
    gSegments.assign(static_cast<size_t>(segments) + 1, TrackSegment{});
    ClearSegmentSelection();
}

void SetSegmentQuad(int segment, float x0, float y0, float x1, float y1, float z) {
    TrackModelEntry& e = gTrackModel[static_cast<size_t>(segment)];
    e.Rails[0] = ModelMesh{};
    AddQuadFacingZ(e.Rails[0], x0, y0, x1, y1, z);
    e.Centre = MakeVector((x0 + x1) / 2, (y0 + y1) / 2, z);
    e.Radius = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    e.RailColor = 0xFFFFFF;
}

void ResetScene() {
    // The tests write the model arrays directly, outside the build pipeline.
    InvalidateSceneLists();
    ClearTrackDocument();
    ClearModelArrays();
    gModelSettings.gRailCount = 0;
    gModelSettings.gSpineCount = 0;
    ClearSegmentSelection();
    gPathValid = false;
    gTrackModelValid = false;
    gDocumentType = DocumentTrack;
    gSupportDrawColor = 0xFFFFFF;
    gTunnelDrawColor = 0x808080;
}

}  // namespace rendertest
