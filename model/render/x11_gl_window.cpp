#include "model/render/x11_gl_window.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

class X11GLWindow : public GLDrawTarget {
public:
    X11GLWindow(Display* display, Window window, Colormap colormap, GLXContext context)
        : display_(display), window_(window), colormap_(colormap), context_(context) {}

    ~X11GLWindow() override {
        if (glXGetCurrentContext() == context_) glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
        XDestroyWindow(display_, window_);
        XFreeColormap(display_, colormap_);
        XCloseDisplay(display_);
    }

    bool MakeCurrent() override { return glXMakeCurrent(display_, window_, context_) == True; }
    void ReleaseCurrent() override {
        if (glXGetCurrentContext() != nullptr) glXMakeCurrent(display_, None, nullptr);
    }

protected:
    void SwapBuffers() override { glXSwapBuffers(display_, window_); }

private:
    Display* display_;
    Window window_;
    Colormap colormap_;
    GLXContext context_;
};

}  // namespace

int32_t CreateX11GLWindow(const X11GLWindowOptions& options) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return GLNoPixelFormat;
    XVisualInfo* vi = nullptr;
    for (int depth : {options.DepthBits, 24, 16, 1}) {
        if (depth > options.DepthBits) continue;
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                            GLX_DEPTH_SIZE, depth, None};
        vi = glXChooseVisual(display, DefaultScreen(display), attributes);
        if (vi != nullptr) break;
    }
    if (vi == nullptr) {
        XCloseDisplay(display);
        return GLNoPixelFormat;
    }
    const Window root = RootWindow(display, vi->screen);
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(display, root, vi->visual, AllocNone);
    swa.override_redirect = True;
    swa.border_pixel = 0;
    const Window window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(options.Width),
                                        static_cast<unsigned>(options.Height), 0, vi->depth, InputOutput, vi->visual,
                                        CWColormap | CWOverrideRedirect | CWBorderPixel, &swa);
    XMapWindow(display, window);
    XSync(display, False);
    GLXContext context = glXCreateContext(display, vi, nullptr, True);
    XFree(vi);
    if (context == nullptr) {
        XDestroyWindow(display, window);
        XFreeColormap(display, swa.colormap);
        XCloseDisplay(display);
        return GLCreateContextFailed;
    }
    auto target = std::make_unique<X11GLWindow>(display, window, swa.colormap, context);
    if (!target->MakeCurrent()) return GLCreateContextFailed;
    return RegisterGLContext(std::move(target));
}

std::vector<uint8_t> ReadFramePixels(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
