// The about box as a real window with its own rendering context on the test
// display: what it draws, what it borrows from the preview and gives back,
// and what happens when it gets no context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <wx/frame.h>
#include <wx/glcanvas.h>
#include <wx/timer.h>

#include "app/frm_about.h"
#include "core/app_state.h"
#include "model/render/camera.h"
#include "model/render/gl_context.h"
#include "model/render/light_setup.h"
#include "model/render/wx/gl_canvas.h"
#include "model/render/x11_gl_window.h"
#include "platform/scripted_prompts.h"
#include "platform/wx/event_pump.h"
#include "tests/app/dialogs/gui_test_main.h"

// Last: Xlib's macros (None, Status, ...) would clash with the names above.
#include <GL/gl.h>
#include <GL/glx.h>

namespace {

// The longest a test waits for the box (milliseconds): far longer than it
// takes, even drawing in software on a busy machine.
constexpr int kWait = 20000;

bool SameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

void SendClick(wxWindow& w) {
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetEventObject(&w);
    up.m_x = 10;
    up.m_y = 10;
    w.GetEventHandler()->ProcessEvent(up);
}

// A main window with a preview canvas and its context, as the program has.
class AboutBoxWindow : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "Gantrywright", wxPoint(0, 0), wxSize(400, 300));
        preview = CreateGLCanvas(frame, wxID_ANY, 32, 32);
        ASSERT_NE(preview, nullptr);
        frame->Show();
        ASSERT_TRUE(RunEventsUntil([&] {
            mainContext = CreateGLContext(preview, 32, 32);
            return mainContext > 0;
        }, kWait));
        gMainGLContext = mainContext;
        gOpenGLEnabled = true;
        mainGLX = glXGetCurrentContext();
        ASSERT_NE(mainGLX, nullptr);

        // The preview's camera and light as a user left them.
        SetupGLLight(33.3f, 71.7f);
        gLightSpecular[2] = 0.4321f;
        gCameraPosition = MakeVector(-123.456f, 77.7f, 0.001f);
        gCameraAngles = MakeVector(12.5f, -271.3f, 3.0f);
        lightsBefore = SaveLightState();
        positionBefore = gCameraPosition;
        anglesBefore = gCameraAngles;
    }
    void TearDown() override {
        DeleteGLContext(mainContext);
        gMainGLContext = 0;
        gOpenGLEnabled = false;
        frame->Destroy();
        RunEventsFor(20);
    }
    void ExpectPreviewStateRestored() {
        const LightState lightsAfter = SaveLightState();
        EXPECT_TRUE(SameBits(&lightsAfter, &lightsBefore, sizeof(LightState))) << "the light arrays";
        EXPECT_TRUE(SameBits(&gCameraPosition, &positionBefore, sizeof(Vector3))) << "the camera position";
        EXPECT_TRUE(SameBits(&gCameraAngles, &anglesBefore, sizeof(Vector3))) << "the camera angles";
        EXPECT_EQ(glXGetCurrentContext(), mainGLX) << "the preview's context is current again";
    }

    wxFrame* frame = nullptr;
    wxGLCanvas* preview = nullptr;
    int32_t mainContext = 0;
    GLXContext mainGLX = nullptr;
    LightState lightsBefore{};
    Vector3 positionBefore{}, anglesBefore{};
};

TEST_F(AboutBoxWindow, AnimatesAndGivesThePreviewItsCameraAndLightBack) {
    frmAbout box(frame);
    EXPECT_EQ(box.GetTitle(), "About Gantrywright");
    EXPECT_EQ(box.GetClientSize(), wxSize(640, 480));
    box.Show();
    ASSERT_TRUE(RunEventsUntil([&] { return box.LoadFinished(); }, kWait));
    ASSERT_TRUE(box.SceneReady());
    EXPECT_GT(box.AboutGLContext(), mainContext);
    EXPECT_NE(glXGetCurrentContext(), mainGLX) << "the box draws in its own context";
    EXPECT_EQ(box.Picture()->GetSize(), wxSize(640, 480));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    // Borrowed: the box's pose and light while it is open.
    SetupGLLight(180, -60);
    const LightState aboutLight = SaveLightState();
    EXPECT_TRUE(SameBits(gLightPosition, aboutLight.Position, sizeof(gLightPosition)));
    RestoreLightState(aboutLight);
    EXPECT_EQ(gCameraAngles.X, -30.0f);

    const float scroll = box.Animation().CreditsScroll;
    RunEventsFor(200);
    EXPECT_GT(box.Animation().CreditsScroll, scroll) << "the timer animates the scene";
    EXPECT_GT(gCameraAngles.Y, 0.0f);

    SendClick(*box.Picture());  // a click on the picture closes the box
    EXPECT_FALSE(box.IsShown());
    EXPECT_EQ(box.AboutGLContext(), 0);
    ExpectPreviewStateRestored();
}

TEST_F(AboutBoxWindow, AScreenshotShowsTheLetters) {
    frmAbout box(frame);
    box.Show();
    ASSERT_TRUE(RunEventsUntil([&] { return box.LoadFinished(); }, kWait));
    ASSERT_TRUE(box.SceneReady());
    box.Fader().Stop();  // frames only on request from here
    ASSERT_NE(box.Fonts().FontListBase, 0u);
    EXPECT_GT(box.Fonts().GlyphMetrics[static_cast<unsigned char>('W')].CellIncX, 0.5f);

    const wxSize size = GLCanvasPixelSize(*box.Picture());
    std::vector<uint8_t> pixels;
    FindGLContext(box.AboutGLContext())->BeforePresent = [&] { pixels = ReadFramePixels(size.x, size.y); };
    // A flat field has no green: every green pixel of the frame is a letter.
    for (auto& row : box.Animation().WaveGrid) row.fill(0.0f);
    auto lettered = [&](int x, int y) {
        const size_t p = (static_cast<size_t>(y) * size.x + x) * 3;
        return pixels[p + 1] > 60;
    };
    auto countLettered = [&] {
        int n = 0;
        for (int y = 0; y < size.y; ++y)
            for (int x = 0; x < size.x; ++x) n += lettered(x, y);
        return n;
    };

    // Credits scrolled out of sight: the columns alone.
    box.Animation().CreditsScroll = 60.0f;
    box.DrawScene();
    ASSERT_EQ(pixels.size(), static_cast<size_t>(size.x * size.y * 3));
    EXPECT_EQ(countLettered(), 0);

    // The yellow top line in the middle of the picture, the white lines below it.
    box.Animation().CreditsScroll = 0.0f;
    box.DrawScene();
    EXPECT_GT(countLettered(), 2000);
    const int middle = size.y / 2;
    int left = size.x, right = -1, yellow = 0, strokes = 0;
    bool inLetter = false;
    for (int x = 0; x < size.x; ++x) {
        bool column = false;
        for (int y = middle - 12; y <= middle + 25; ++y) {
            const size_t p = (static_cast<size_t>(y) * size.x + x) * 3;
            if (pixels[p] > 100 && pixels[p + 1] > 100 && pixels[p + 2] < 60) {
                column = true;
                ++yellow;
            }
        }
        if (column) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (column && !inLetter) ++strokes;
        inLetter = column;
    }
    EXPECT_GT(yellow, 500) << "yellow letters at the middle";
    EXPECT_NEAR((left + right) / 2.0, size.x / 2.0, 4.0) << "the line is centred";
    EXPECT_GT(right - left, size.x / 3) << "\"Brightquay Studios\" spans a good part of the width";
    EXPECT_GE(strokes, 12) << "separate letters, not one block";

    box.Close();
    ExpectPreviewStateRestored();
}

TEST_F(AboutBoxWindow, EveryCreditLineFitsTheWidthOfThePicture) {
    frmAbout box(frame);
    box.Show();
    ASSERT_TRUE(RunEventsUntil([&] { return box.LoadFinished(); }, kWait));
    ASSERT_TRUE(box.SceneReady());
    // Half the width the 60 degree view shows at a depth, for 640 x 480.
    const double halfWidthPerDepth = std::tan(30.0 * M_PI / 180.0) * 640.0 / 480.0;
    for (const about::CreditLine& line : about::LayoutCredits(0)) {
        const double width = about::TextAdvance(line.Text, box.Fonts().GlyphMetrics);
        EXPECT_LT(width / 2, halfWidthPerDepth * -line.Z - 0.3) << line.Text;
        if (!line.Text.empty()) {
            EXPECT_GT(width, 1.0) << line.Text;
        }
    }
    box.Close();
}

TEST_F(AboutBoxWindow, WithoutARenderingContextItSaysSoAndClosesItself) {
    ScriptedPrompts prompts;
    ScopedPrompts usePrompts(prompts);
    gDocumentChanged = true;
    gDocumentType = DocumentTrack;
    frmAbout box(frame, [](wxGLCanvas*) { return int32_t{GLCreateContextFailed}; });
    // Should the box stay open, the test ends it instead of hanging.
    wxTimer guard;
    bool guardFired = false;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        guardFired = true;
        if (box.IsModal()) box.EndModal(wxID_ABORT);
    });
    guard.StartOnce(10000);
    EXPECT_EQ(box.ShowModal(), wxID_CANCEL);
    EXPECT_FALSE(guardFired);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text.rfind("Oops!", 0), 0u) << prompts.Messages[0].Text;
    EXPECT_EQ(prompts.Messages[0].Title, "Gantrywright");
    EXPECT_TRUE(box.LoadFinished());
    EXPECT_FALSE(box.SceneReady());
    EXPECT_FALSE(box.Fader().IsRunning());
    // The program and its unsaved document carry on.
    EXPECT_TRUE(frame->IsShown());
    EXPECT_FALSE(frame->IsBeingDeleted());
    EXPECT_TRUE(gDocumentChanged);
    EXPECT_EQ(gDocumentType, DocumentTrack);
    ExpectPreviewStateRestored();
    gDocumentChanged = false;
    gDocumentType = DocumentNone;
}

TEST_F(AboutBoxWindow, ClosedByEscapeBeforeItsSceneExistsItChangesNothing) {
    frmAbout box(frame);
    wxKeyEvent escape(wxEVT_CHAR_HOOK);  // before the first tick
    escape.m_keyCode = WXK_ESCAPE;
    box.Picture()->GetEventHandler()->ProcessEvent(escape);
    EXPECT_EQ(box.GetReturnCode(), wxID_CANCEL);
    EXPECT_FALSE(box.SceneReady());
    EXPECT_FALSE(box.Fader().IsRunning());
    RunEventsFor(50);
    EXPECT_FALSE(box.LoadFinished()) << "no scene is made for a closed box";
    ExpectPreviewStateRestored();
}

TEST_F(AboutBoxWindow, ShownModallyAndClosedByAClick) {
    wxTimer clicker;
    bool clicked = false;
    clicker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* box = dynamic_cast<frmAbout*>(w);
            if (box == nullptr || !box->IsModal() || !box->SceneReady()) continue;
            EXPECT_EQ(box->GetParent(), frame);
            clicked = true;
            SendClick(*box->Picture());
        }
    });
    clicker.Start(20);
    ShowAboutBox(frame);
    clicker.Stop();
    EXPECT_TRUE(clicked);
    ExpectPreviewStateRestored();
}

TEST_F(AboutBoxWindow, ResizingFollowsWithTheViewport) {
    frmAbout box(frame);
    box.Show();
    ASSERT_TRUE(RunEventsUntil([&] { return box.SceneReady(); }, kWait));
    box.SetClientSize(320, 200);
    RunEventsUntil([&] { return box.Picture()->GetSize() == wxSize(320, 200); }, kWait);
    EXPECT_EQ(box.Picture()->GetSize(), wxSize(320, 200));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200);
    box.Close();
    ExpectPreviewStateRestored();
}

}  // namespace

int main(int argc, char** argv) {
    SelectX11Backend();
    return RunWindowTests(argc, argv);
}
