#pragma once
// frmAbout: the about box. An animated OpenGL scene in its own rendering
// context: a field of coloured columns that jump up where drops fall, seen
// from a camera circling the field, and the credits in extruded 3D letters
// scrolling upwards in front of it. A click on the picture, Escape and the
// close box close the box.
// While it is open it borrows the preview's camera and light and gives them
// back exactly when it closes.
//
// When its rendering context cannot be made the box says so and closes
// itself; the program and its document are not touched.

#include <cstdint>
#include <functional>
#include <memory>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "app/about_render.h"
#include "app/about_scene.h"

class wxGLCanvas;

// Shows the about box modally over owner (the main window's Help > About...).
void ShowAboutBox(wxWindow* owner);

class frmAbout : public wxDialog {
public:
    // Makes the box's rendering context on its picture: a handle above 0, or
    // a negative failure code. The default makes a double-buffered context
    // with 32 colour and depth bits on the canvas.
    using ContextFactory = std::function<int32_t(wxGLCanvas* canvas)>;

    explicit frmAbout(wxWindow* owner, ContextFactory createContext = {});
    ~frmAbout() override;

    // For the program's tests.
    int32_t AboutGLContext() const { return mAboutGLContext; }
    bool SceneReady() const { return mSceneReady; }
    // True once loading has ended, whether or not it succeeded.
    bool LoadFinished() const { return mLoadFinished; }
    about::AboutAnimation& Animation() { return mAnimation; }
    const about::FontLists& Fonts() const { return *mFonts; }
    wxGLCanvas* Picture() const { return pbOpenGL; }
    wxTimer& Fader() { return tmrFader; }
    // Draws and presents one frame (nothing until the scene is ready).
    void DrawScene();

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void pbOpenGL_Click();
    void tmrFader_Timer();
    void LoadFailed();
    void Finish(int result);

    ContextFactory mCreateContext;
    wxGLCanvas* pbOpenGL = nullptr;
    wxTimer tmrFader;

    int32_t mAboutGLContext = 0;
    bool mSceneReady = false;
    bool mLoadFinished = false;
    int mLoadAttempts = 0;
    about::AboutAnimation mAnimation;
    std::unique_ptr<about::FontLists> mFonts;
    about::BorrowedViewState mBorrowed;
};
