#include "app/frm_about.h"

#include <GL/gl.h>

#include <wx/dcclient.h>
#include <wx/glcanvas.h>

#include "controls/dialog_end.h"
#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/light_setup.h"
#include "model/render/wx/gl_canvas.h"
#include "platform/prompts.h"

namespace {

constexpr int kFaderInterval = 10;  // milliseconds
constexpr double kAboutFarPlane = 100.0;
constexpr double kAboutFieldOfView = 60.0;
// The picture may not be on screen at the first ticks: how many ticks the
// box waits for it before it gives up on a rendering context.
constexpr int kMaxLoadAttempts = 300;

}  // namespace

void ShowAboutBox(wxWindow* owner) {
    frmAbout box(owner);
    box.ShowModal();
}

frmAbout::frmAbout(wxWindow* owner, ContextFactory createContext)
    : wxDialog(owner, wxID_ANY, "About Gantrywright", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX),
      mCreateContext(std::move(createContext)),
      tmrFader(this),
      mFonts(std::make_unique<about::FontLists>()) {
    if (!mCreateContext) mCreateContext = [](wxGLCanvas* canvas) { return CreateGLContext(canvas, 32, 32); };
    SetClientSize(640, 480);
    pbOpenGL = CreateGLCanvas(this, wxID_ANY, 32, 32, wxPoint(0, 0), GetClientSize());
    if (pbOpenGL) {
        pbOpenGL->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { pbOpenGL_Click(); });
        pbOpenGL->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(pbOpenGL);
            DrawScene();
        });
    }
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) { Form_Resize(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(wxID_CANCEL); });
    CloseOnEscape(*this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { tmrFader_Timer(); }, tmrFader.GetId());
    CentreOnParent();
    // The scene is created at the first ticks, once the picture is on screen.
    tmrFader.Start(kFaderInterval);
}

frmAbout::~frmAbout() { Form_Unload(); }

void frmAbout::Form_Load() {
    mSceneReady = false;
    ++mLoadAttempts;
    const int32_t context = pbOpenGL ? mCreateContext(pbOpenGL) : GLNoPixelFormat;
    if (context == GLSetPixelFormatFailed && mLoadAttempts < kMaxLoadAttempts) return;  // not on screen yet
    mLoadFinished = true;
    if (context <= 0) {
        LoadFailed();
        return;
    }
    mAboutGLContext = context;

    mBorrowed.SaveLights();
    InitGLState();
    SetupGLLight(about::kAboutLightHeading, about::kAboutLightElevation);
    SetGLLighting(true);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    mBorrowed.SaveCameraAndPose();
    mAnimation.Reset();
    about::BuildFontLists(*mFonts);
    mSceneReady = true;
    Form_Resize();
}

void frmAbout::LoadFailed() {
    tmrFader.Stop();
    // Whatever the attempt left current, the preview gets its own context back.
    if (gMainGLContext > 0) MakeGLContextCurrent(gMainGLContext);
    MsgBox("Oops!\n\nThe OpenGL driver failed to create a rendering context for the About box.", "Gantrywright",
           MsgButtons::OK, MsgIcon::Exclamation);
    Finish(wxID_CANCEL);
}

void frmAbout::Form_Resize() {
    if (IsIconized()) return;
    if (pbOpenGL) pbOpenGL->SetSize(GetClientSize());
    if (!mSceneReady || !pbOpenGL || !MakeGLContextCurrent(mAboutGLContext)) return;
    const wxSize pixels = GLCanvasPixelSize(*pbOpenGL);
    ResizeGLViewport(pixels.x, pixels.y, kAboutFarPlane, kAboutFieldOfView);
}

void frmAbout::tmrFader_Timer() {
    if (!mLoadFinished) {
        Form_Load();
        return;
    }
    if (!mSceneReady) return;
    mAnimation.Step();
    DrawScene();
}

void frmAbout::DrawScene() {
    if (!mSceneReady || !MakeGLContextCurrent(mAboutGLContext)) return;
    about::DrawAboutScene(mAnimation, *mFonts);
    if (GLDrawTarget* target = FindGLContext(mAboutGLContext)) target->Present();
}

void frmAbout::pbOpenGL_Click() { Finish(wxID_OK); }

void frmAbout::Form_Unload() {
    tmrFader.Stop();
    mSceneReady = false;
    if (mAboutGLContext > 0) {
        if (MakeGLContextCurrent(mAboutGLContext)) about::DeleteFontLists(*mFonts);
        DeleteGLContext(mAboutGLContext);
        mAboutGLContext = 0;
        if (gMainGLContext > 0) MakeGLContextCurrent(gMainGLContext);
    }
    mBorrowed.Restore();
}

void frmAbout::Finish(int result) {
    Form_Unload();
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}
