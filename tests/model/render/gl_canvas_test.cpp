// The preview's context on a real wxGLCanvas in a shown frame of the test
// display: the pixel format, the creation results, drawing a scene into it,
// and deleting contexts and canvases in either order.
#include "model/render/wx/gl_canvas.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/app_state.h"
#include "model/model_meshes.h"
#include "model/rebuild_flags.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/light_setup.h"
#include "model/render/scene_render.h"
#include "model/render/segment_picking.h"
#include "model/render/x11_gl_window.h"
#include "platform/wx/event_pump.h"
#include "trackdoc/track_document.h"

namespace {

// Lets the toolkit map and draw the frame.
void SettleWindows() { SettleEvents(20); }

class GLCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(360, 300));
        canvas_ = CreateGLCanvas(frame_, wxID_ANY, 32, 32);
        ASSERT_NE(canvas_, nullptr);
    }
    void TearDown() override {
        if (context_ > 0) DeleteGLContext(context_);
        gMainGLContext = 0;
        gOpenGLEnabled = false;
        frame_->Destroy();
        SettleWindows();
    }
    void ShowAndCreate() {
        frame_->ShowWithoutActivating();  // keep the keyboard focus where other window tests put it
        SettleWindows();
        context_ = CreateGLContext(canvas_, 32, 32);
        ASSERT_GT(context_, 0);
    }

    wxFrame* frame_ = nullptr;
    wxGLCanvas* canvas_ = nullptr;
    int32_t context_ = 0;
};

TEST_F(GLCanvasTest, TheFormatFallsBackToTheDepthTheDisplayOffers) {
    wxGLAttributes attributes;
    EXPECT_TRUE(ChooseGLCanvasAttributes(32, 32, attributes));
    EXPECT_GE(GLCanvasDepthBits(*canvas_), 16);
    EXPECT_LE(GLCanvasDepthBits(*canvas_), 32);
}

TEST_F(GLCanvasTest, ResultCodes) {
    EXPECT_EQ(CreateGLContext(nullptr, 32, 32), GLNoPixelFormat);
    // GTK makes a context current only on a canvas that is on screen.
    EXPECT_EQ(CreateGLContext(canvas_, 32, 32), GLSetPixelFormatFailed);
    ShowAndCreate();
    const int32_t second = CreateGLContext(canvas_, 32, 32);
    EXPECT_GT(second, context_);  // handles are never reused
    EXPECT_TRUE(DeleteGLContext(second));
    EXPECT_FALSE(DeleteGLContext(second));
    EXPECT_FALSE(MakeGLContextCurrent(second));
    EXPECT_TRUE(DeleteGLContext(0));
}

TEST_F(GLCanvasTest, DrawsTheSceneIntoTheCanvas) {
    ShowAndCreate();
    InitGLState();
    SetupGLLight(180, 60);
    SetGLLighting(true);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    const wxSize pixels = GLCanvasPixelSize(*canvas_);
    ASSERT_GT(pixels.x, 0);
    ASSERT_GT(pixels.y, 0);
    ResizeGLViewport(pixels.x, pixels.y, kPreviewFarPlane, kPreviewFieldOfView);
    gMainGLContext = context_;
    gOpenGLEnabled = true;

    ClearModelArrays();
    InvalidateSceneLists();
    gDocumentType = DocumentTrack;
    gTrackModelValid = true;
    gGroundVertices.resize(5);
    gGroundVertices[0].Position = MakeVector(220, 0, 220);
    gGroundVertices[1].Position = MakeVector(220, 0, -220);
    gGroundVertices[2].Position = MakeVector(-220, 0, -220);
    gGroundVertices[3].Position = MakeVector(-220, 0, 220);
    gGroundTriangles.resize(3);
    gGroundTriangles[0] = GroundTriangle{0, 1, 2};
    gGroundTriangles[1] = GroundTriangle{2, 3, 0};
    gGroundTriangleCount = 2;
    SetCamera(MakeVector(0, 50, 0), MakeVector(-90, 0, 0), MakeVector(-512, -10, -512), MakeVector(512, 200, 512));

    std::vector<uint8_t> pixelsRead;
    FindGLContext(context_)->BeforePresent = [&] { pixelsRead = ReadFramePixels(pixels.x, pixels.y); };
    RenderScene();
    ASSERT_EQ(pixelsRead.size(), static_cast<size_t>(pixels.x * pixels.y * 3));
    const size_t centre = (static_cast<size_t>(pixels.y / 2) * pixels.x + pixels.x / 2) * 3;
    EXPECT_EQ(pixelsRead[centre], 0);
    EXPECT_NEAR(pixelsRead[centre + 1], 157, 2);
    EXPECT_EQ(pixelsRead[centre + 2], 0);

    // Nothing pickable on the ground; the preview stays in render mode.
    EXPECT_EQ(PickSegment(pixels.x / 2, pixels.y / 2), -1);
    ViewportPoint p = ToViewportPixels(*canvas_, wxPoint(10, 20));
    EXPECT_EQ(p.X, 10);  // the test display does not scale
    EXPECT_EQ(p.Y, 20);

    ClearModelArrays();
    gTrackModelValid = false;
}

TEST_F(GLCanvasTest, AContextOutlivingItsCanvasFailsSafely) {
    ShowAndCreate();
    canvas_->Destroy();
    SettleWindows();
    EXPECT_FALSE(MakeGLContextCurrent(context_));
    gMainGLContext = context_;
    gOpenGLEnabled = true;
    gTrackModelValid = true;
    RenderScene();  // nothing to draw on: returns quietly
    EXPECT_EQ(PickSegment(1, 1), -1);
    gTrackModelValid = false;
    EXPECT_TRUE(DeleteGLContext(context_));
    context_ = 0;
}

TEST(X11BackendTest, SelectsX11) {
    SelectX11Backend();
    ASSERT_NE(std::getenv("GDK_BACKEND"), nullptr);
    EXPECT_STREQ(std::getenv("GDK_BACKEND"), "x11");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SelectX11Backend();
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wxWidgets could not start (no display?)\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
