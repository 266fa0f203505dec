// Picking segments through the selection pass, on a window of the test display.
#include <GL/gl.h>

#include <array>

#include "core/app_state.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/scene_render.h"
#include "model/render/segment_picking.h"
#include "model/render/x11_gl_window.h"
#include "render_test_support.h"

namespace rendertest {
namespace {

constexpr int kCentreX = kWidth / 2;
constexpr int kCentreY = kHeight / 2;

class SegmentPickingTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        gTrackModelValid = true;
    }
};

TEST_F(SegmentPickingTest, TheNearerOfTwoSegmentsWins) {
    MakeTrackModel(2);
    SetSegmentQuad(0, -3, -3, 3, 3, -10);
    SetSegmentQuad(1, -10, -10, 10, 10, -20);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 0);
    // Drawn later but nearer.
    SetSegmentQuad(0, -10, -10, 10, 10, -20);
    SetSegmentQuad(1, -3, -3, 3, 3, -10);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 1);
    // Only the far one lies under a point beside the near one.
    EXPECT_EQ(PickSegment(kCentreX + 100, kCentreY), 0);
}

TEST_F(SegmentPickingTest, TheSkyGivesMinusOne) {
    MakeTrackModel(1);
    SetSegmentQuad(0, -3, -3, 3, 3, -10);
    EXPECT_EQ(PickSegment(5, 5), -1);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 0);
}

TEST_F(SegmentPickingTest, NothingBeyondThePicksFarPlane) {
    MakeTrackModel(2);
    SetSegmentQuad(0, -200, -200, 200, 200, -700);  // drawn (display far plane 1500), not pickable
    Frame f = Render();
    EXPECT_NE(f.At(kCentreX, kCentreY), (Rgb{0, 0, 0}));
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), -1);
    SetSegmentQuad(1, -100, -100, 100, 100, -600);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 1);
}

TEST_F(SegmentPickingTest, OtherGeometryInFrontHidesASegment) {
    MakeTrackModel(1);
    SetSegmentQuad(0, -10, -10, 10, 10, -20);
    gTubeCount = 1;
    gTubeModels.assign(2, ModelMesh{});
    AddQuadFacingZ(gTubeModels[0], -2, -2, 2, 2, -10);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), -1);
    EXPECT_EQ(PickSegment(kCentreX + 100, kCentreY), 0);
    // With the tubes hidden the segment shows through.
    gViewSwitches.Tubes = false;
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 0);
}

TEST_F(SegmentPickingTest, ASegmentSkippedByCullingCannotBePicked) {
    MakeTrackModel(1);
    SetSegmentQuad(0, -10, -10, 10, 10, -20);
    gTrackModel[0].Centre = MakeVector(0, 0, 50);
    gTrackModel[0].Radius = 5;
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), -1);
}

TEST_F(SegmentPickingTest, PathPointsArePickableBySegment) {
    gTrackModelValid = false;
    gPathValid = true;
    SetCamera(MakeVector(0, 100, 0), MakeVector(-90, 0, 0), MakeVector(-1e3f, -1e3f, -1e3f), MakeVector(1e3f, 1e3f, 1e3f));
    gSpineInfoSegmentCount = 3;
    gSpineInfoSegments.assign(4, TrackSegment{});
    gPathMatrixArray.assign(4, PathSegmentFrames{});
    for (int i = 0; i < 3; ++i) {
        PathSegmentFrames& path = gPathMatrixArray[static_cast<size_t>(i)];
        path.FrameCount = kFramesPerSegment;
        path.Frames.resize(kFramesPerSegment);
        for (int k = 0; k < kFramesPerSegment; ++k)
            path.Frames[static_cast<size_t>(k)].Frame = MatrixTranslate(-30.0f + 60.0f * k / 999.0f, 1.0f, -30.0f + 30.0f * i);
    }
    Render();
    int x = 0, y = 0;
    Project(MakeVector(0, 1, 30), x, y);
    EXPECT_EQ(PickSegment(x, y), 2);
    Project(MakeVector(10, 1, -30), x, y);
    EXPECT_EQ(PickSegment(x, y), 0);
    // The dark square of the path view is not a segment.
    Project(MakeVector(0, 0, -15), x, y);
    EXPECT_EQ(PickSegment(x, y), -1);
}

TEST_F(SegmentPickingTest, StateIsRestoredAndTheVisibleFrameUntouched) {
    MakeTrackModel(1);
    SetSegmentQuad(0, -3, -3, 3, 3, -10);
    Render();
    // Mark the back buffer; the pick must neither clear nor present it.
    glClearColor(0.2f, 0.4f, 0.6f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    const std::vector<uint8_t> before = ReadFramePixels(kWidth, kHeight);
    std::array<GLdouble, 16> projection{}, projectionAfter{};
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    GLint viewport[4], viewportAfter[4];
    glGetIntegerv(GL_VIEWPORT, viewport);

    last_ = Frame{};
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 0);
    EXPECT_EQ(last_.Presents, 0);
    EXPECT_TRUE(ReadFramePixels(kWidth, kHeight) == before);

    GLint mode = 0, renderMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    glGetDoublev(GL_PROJECTION_MATRIX, projectionAfter.data());
    glGetIntegerv(GL_VIEWPORT, viewportAfter);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(renderMode, GL_RENDER);
    EXPECT_EQ(projection, projectionAfter);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(viewport[i], viewportAfter[i]);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SegmentPickingTest, ManyHitsDoNotOverflowIntoAMiss) {
    // 700 segments stacked under the mouse write more hit records than the
    // customary 512; the nearest still wins, whether drawn first or last.
    const int n = 700;
    MakeTrackModel(n);
    for (int i = 0; i < n; ++i) SetSegmentQuad(i, -5, -5, 5, 5, -10.0f - 0.1f * i);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), 0);
    for (int i = 0; i < n; ++i) SetSegmentQuad(i, -5, -5, 5, 5, -80.0f + 0.1f * i);
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), n - 1);
}

TEST_F(SegmentPickingTest, NoContextNoPick) {
    MakeTrackModel(1);
    SetSegmentQuad(0, -3, -3, 3, 3, -10);
    gOpenGLEnabled = false;
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), -1);
    gOpenGLEnabled = true;
    gMainGLContext = 0;
    EXPECT_EQ(PickSegment(kCentreX, kCentreY), -1);
}

TEST_F(SegmentPickingTest, ViewportTracksResizesAndAZeroHeight) {
    ResizeGLViewport(800, 0, 1500, 60);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 1);
    GLdouble p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[5] / p[0], 800.0, 1e-3);  // aspect ratio
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // A negative size (a window squeezed to nothing) is no size, not an error.
    ResizeGLViewport(-5, -3, 1500, 60);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 0);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ResizeGLViewport(kWidth, kHeight, 1500, 60);
}

}  // namespace
}  // namespace rendertest
