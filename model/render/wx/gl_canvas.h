#pragma once
// The preview's OpenGL on a wxWidgets window: the GLX canvas with the pixel
// format the callers ask for, its rendering context behind a handle, and the
// window-to-viewport scale of mouse points.
//
// Platform facts: Debian's wxWidgets speaks GLX only, so GTK must use its X11
// backend (SelectX11Backend, before the toolkit starts); GTK can make a
// context current only once its canvas is on screen, so the context is
// created after the window is shown.

#include <cstdint>

#include <wx/glcanvas.h>

#include "model/render/pick_hits.h"

// Makes GTK use X11 (also inside a Wayland session). Call first thing in
// main(), before wxWidgets initialises GTK.
void SelectX11Backend();

// The canvas attributes: double-buffered RGBA with colorBits of colour and the
// most depth bits up to depthBits that the display offers (trying depthBits,
// then 24, 16 and any depth buffer at all). False when it offers none.
bool ChooseGLCanvasAttributes(uint8_t colorBits, uint8_t depthBits, wxGLAttributes& attributes);

// A canvas with those attributes, the picture box of a preview; nullptr when
// the display offers no such format (the caller then shows a plain window and
// CreateGLContext(nullptr, ...) reports GLNoPixelFormat).
wxGLCanvas* CreateGLCanvas(wxWindow* parent, wxWindowID id, uint8_t colorBits, uint8_t depthBits,
                           const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

// A rendering context on the canvas, made current: its handle (above 0), or
// GLNoPixelFormat (no canvas, or its format is not double-buffered RGBA with a
// depth buffer), GLSetPixelFormatFailed (the canvas is not on screen yet), or
// GLCreateContextFailed (no context, or it cannot be made current). The
// callers pass 32 and 32; the bits only choose the canvas's format, which
// CreateGLCanvas fixed.
int32_t CreateGLContext(wxGLCanvas* canvas, uint8_t colorBits, uint8_t depthBits);

// Depth bits of the canvas's format (0 when it has none or is unknown).
int GLCanvasDepthBits(const wxGLCanvas& canvas);

// The canvas's size in pixels, for ResizeGLViewport.
wxSize GLCanvasPixelSize(const wxGLCanvas& canvas);
// A mouse point of the canvas's events in viewport pixels, for PickSegment.
ViewportPoint ToViewportPixels(const wxGLCanvas& canvas, const wxPoint& mouse);
