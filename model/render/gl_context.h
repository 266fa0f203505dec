#pragma once
// Rendering contexts of the preview and the about box, seen through a small
// interface so that the drawing code links OpenGL but not the window toolkit:
// a context knows how to make itself current on its own window and how to
// present the frame drawn there. The toolkit glue (model/render/wx) creates
// contexts on canvases; tests and benchmarks create them on plain X windows.
//
// Contexts are known by a handle, a positive number that is never reused; 0
// stands for no context and negative numbers are the creation failures below.

#include <cstdint>
#include <functional>
#include <memory>

// Per-context data that the renderer keeps (display lists); it dies with its
// context. Its destructor must not call OpenGL: the context may already be gone.
class GLContextData {
public:
    virtual ~GLContextData() = default;
};

class GLDrawTarget {
public:
    virtual ~GLDrawTarget() = default;
    // Makes this context current on its window; false when that is not possible
    // (the window is gone or not on screen).
    virtual bool MakeCurrent() = 0;
    // Leaves no context current on this thread.
    virtual void ReleaseCurrent() = 0;

    // Presents the frame: runs BeforePresent (tests read the drawn pixels there),
    // then swaps the buffers.
    void Present() {
        if (BeforePresent) BeforePresent();
        SwapBuffers();
    }

    std::function<void()> BeforePresent;
    std::unique_ptr<GLContextData> RendererData;

protected:
    virtual void SwapBuffers() = 0;
};

// Results of CreateGLContext below zero.
enum GLContextFailure : int32_t {
    GLNoPixelFormat = -1,       // no double-buffered RGBA format with a depth buffer
    GLSetPixelFormatFailed = -2, // the window cannot take the format (no visual, not on screen)
    GLCreateContextFailed = -3,  // the context could not be created or made current
};

extern int32_t gMainGLContext;  // the preview's context (0 while there is none)
extern bool gOpenGLEnabled;     // the preview's context exists; the preview and its tools are enabled

// Takes ownership of a context and returns its new handle.
int32_t RegisterGLContext(std::unique_ptr<GLDrawTarget> target);
// The context of a handle, or nullptr.
GLDrawTarget* FindGLContext(int32_t hRC);
// True when the context of the handle was made current.
bool MakeGLContextCurrent(int32_t hRC);
// True at once for 0; otherwise releases the current context and deletes the
// handle's context (with its display lists); true when it existed.
bool DeleteGLContext(int32_t hRC);
