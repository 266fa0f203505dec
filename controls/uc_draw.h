#pragma once
// Drawing helpers shared by the self-drawn controls.

#include <wx/dc.h>
#include <wx/font.h>
#include <wx/settings.h>

#include "controls/control_geometry.h"

namespace uc {

inline wxColour SystemColour(SysColour c) {
    return wxSystemSettings::GetColour(static_cast<wxSystemColour>(static_cast<int>(c)));
}

// Draws a line as the platform's line call does: one pixel wide, without its
// end point. Axis-aligned lines are filled as rectangles so that they land
// exactly on their pixels whatever the device context's antialiasing.
void DrawLineSeg(wxDC& dc, const LineSeg& line);
// The same for a line given in twips, converted with the screen's twips per pixel.
void DrawLineSegTwips(wxDC& dc, const LineSeg& line, double twipsPerPixel);

// The dotted frame that shows which part of a control has the keyboard focus.
void DrawFocusFrame(wxDC& dc, const wxRect& rect);

// The small dialog font that the controls' pixel and twip measures are made
// for (about 13 pixels from top to bottom at 96 dots per inch); the desktop's
// larger default would not fit their fields and tabs.
wxFont DialogFont();

// The screen's twips per pixel across and down for a window.
double TwipsPerPixelX(const wxWindow* window);
double TwipsPerPixelY(const wxWindow* window);

}  // namespace uc
