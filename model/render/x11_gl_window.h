#pragma once
// A rendering context on a bare X window, without the window toolkit: for
// drawing the preview where no main window exists (tests, benchmarks, a
// future thumbnail writer). The window is mapped but undecorated; frames are
// read back with ReadFramePixels before they are presented.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/render/gl_context.h"

struct X11GLWindowOptions {
    int Width = 320;
    int Height = 240;
    int DepthBits = 24;  // the most wanted; less is taken when the display offers less
};

// Creates the window and its context and registers it: the handle, or a
// negative GLContextFailure (no display counts as GLNoPixelFormat).
int32_t CreateX11GLWindow(const X11GLWindowOptions& options);

// The drawn frame as rows of RGB bytes from the bottom row up (glReadPixels
// of the back buffer); call it with the context current, before presenting.
std::vector<uint8_t> ReadFramePixels(int width, int height);
