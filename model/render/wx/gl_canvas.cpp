#include "model/render/wx/gl_canvas.h"

#include <GL/glx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include <wx/weakref.h>

#include "model/render/gl_context.h"

namespace {

wxGLAttributes MakeAttributes(int channelBits, int depthBits) {
    wxGLAttributes a;
    a.PlatformDefaults().RGBA().DoubleBuffer().MinRGBA(channelBits, channelBits, channelBits, 0).Depth(depthBits).EndList();
    return a;
}

Display* XDisplay() { return wxGetX11Display(); }

int VisualConfig(const wxGLCanvas& canvas, int attribute) {
    auto* vi = static_cast<XVisualInfo*>(canvas.GetXVisualInfo());
    Display* display = XDisplay();
    int value = 0;
    if (vi == nullptr || display == nullptr || glXGetConfig(display, vi, attribute, &value) != 0) return 0;
    return value;
}

// A context on a canvas. The canvas may be destroyed before the context: the
// weak reference then makes every use fail instead of touching a dead window.
class CanvasContext : public GLDrawTarget {
public:
    CanvasContext(wxGLCanvas* canvas, std::unique_ptr<wxGLContext> context)
        : canvas_(canvas), context_(std::move(context)) {}

    bool MakeCurrent() override {
        wxGLCanvas* canvas = canvas_.get();
        return canvas != nullptr && canvas->IsShownOnScreen() && context_->SetCurrent(*canvas);
    }

    void ReleaseCurrent() override {
        if (Display* display = glXGetCurrentDisplay()) glXMakeCurrent(display, None, nullptr);
    }

protected:
    void SwapBuffers() override {
        if (wxGLCanvas* canvas = canvas_.get()) canvas->SwapBuffers();
    }

private:
    wxWeakRef<wxGLCanvas> canvas_;
    std::unique_ptr<wxGLContext> context_;
};

}  // namespace

void SelectX11Backend() { setenv("GDK_BACKEND", "x11", 1); }

bool ChooseGLCanvasAttributes(uint8_t colorBits, uint8_t depthBits, wxGLAttributes& attributes) {
    const int channel = std::clamp(colorBits / 3, 1, 8);
    std::vector<int> depths = {depthBits};
    for (int fallback : {24, 16, 1})
        if (fallback < depthBits) depths.push_back(fallback);
    for (int depth : depths) {
        wxGLAttributes candidate = MakeAttributes(channel, depth);
        if (wxGLCanvas::IsDisplaySupported(candidate)) {
            attributes = candidate;
            return true;
        }
    }
    return false;
}

wxGLCanvas* CreateGLCanvas(wxWindow* parent, wxWindowID id, uint8_t colorBits, uint8_t depthBits, const wxPoint& pos,
                           const wxSize& size) {
    wxGLAttributes attributes;
    if (!ChooseGLCanvasAttributes(colorBits, depthBits, attributes)) return nullptr;
    // Painting is all ours: no background erase between frames.
    auto* canvas = new wxGLCanvas(parent, attributes, id, pos, size, wxFULL_REPAINT_ON_RESIZE);
    canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    return canvas;
}

int32_t CreateGLContext(wxGLCanvas* canvas, uint8_t /*colorBits*/, uint8_t /*depthBits*/) {
    if (canvas == nullptr || canvas->GetXVisualInfo() == nullptr) return GLNoPixelFormat;
    if (!VisualConfig(*canvas, GLX_RGBA) || !VisualConfig(*canvas, GLX_DOUBLEBUFFER) ||
        VisualConfig(*canvas, GLX_DEPTH_SIZE) < 1)
        return GLNoPixelFormat;
    if (!canvas->IsShownOnScreen()) return GLSetPixelFormatFailed;
    auto context = std::make_unique<wxGLContext>(canvas);
    if (!context->IsOK()) return GLCreateContextFailed;
    auto target = std::make_unique<CanvasContext>(canvas, std::move(context));
    if (!target->MakeCurrent()) return GLCreateContextFailed;
    return RegisterGLContext(std::move(target));
}

int GLCanvasDepthBits(const wxGLCanvas& canvas) { return VisualConfig(canvas, GLX_DEPTH_SIZE); }

wxSize GLCanvasPixelSize(const wxGLCanvas& canvas) {
    const wxSize client = canvas.GetClientSize();
    const double scale = canvas.GetContentScaleFactor();
    return wxSize(static_cast<int>(std::lround(client.x * scale)), static_cast<int>(std::lround(client.y * scale)));
}

ViewportPoint ToViewportPixels(const wxGLCanvas& canvas, const wxPoint& mouse) {
    const wxSize client = canvas.GetClientSize();
    const wxSize pixels = GLCanvasPixelSize(canvas);
    return ScaleMouseToViewport(mouse.x, mouse.y, client.x, client.y, pixels.x, pixels.y);
}
