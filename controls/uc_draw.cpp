#include "controls/uc_draw.h"

#include <algorithm>

#include <wx/window.h>

namespace uc {

void DrawLineSeg(wxDC& dc, const LineSeg& line) {
    if (!line.Visible) return;
    const wxColour colour = SystemColour(line.Colour);
    if (line.Y1 == line.Y2) {
        if (line.X1 == line.X2) return;
        const int x0 = line.X1 < line.X2 ? line.X1 : line.X2 + 1;
        const int x1 = line.X1 < line.X2 ? line.X2 - 1 : line.X1;
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(colour));
        dc.DrawRectangle(x0, line.Y1, x1 - x0 + 1, 1);
    } else if (line.X1 == line.X2) {
        const int y0 = line.Y1 < line.Y2 ? line.Y1 : line.Y2 + 1;
        const int y1 = line.Y1 < line.Y2 ? line.Y2 - 1 : line.Y1;
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(colour));
        dc.DrawRectangle(line.X1, y0, 1, y1 - y0 + 1);
    } else {
        dc.SetPen(wxPen(colour, 1));
        dc.DrawLine(line.X1, line.Y1, line.X2, line.Y2);
    }
}

void DrawLineSegTwips(wxDC& dc, const LineSeg& line, double tpp) {
    LineSeg px = line;
    px.X1 = TwipsToPixels(line.X1, tpp);
    px.Y1 = TwipsToPixels(line.Y1, tpp);
    px.X2 = TwipsToPixels(line.X2, tpp);
    px.Y2 = TwipsToPixels(line.Y2, tpp);
    DrawLineSeg(dc, px);
}

wxFont DialogFont() { return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS)); }

double TwipsPerPixelX(const wxWindow* window) {
    const wxSize dpi = window ? window->GetDPI() : wxSize(96, 96);
    return TwipsPerPixelForDpi(dpi.x > 0 ? dpi.x : 96);
}

double TwipsPerPixelY(const wxWindow* window) {
    const wxSize dpi = window ? window->GetDPI() : wxSize(96, 96);
    return TwipsPerPixelForDpi(dpi.y > 0 ? dpi.y : 96);
}

}  // namespace uc

namespace uc {

void DrawFocusFrame(wxDC& dc, const wxRect& rect) {
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT), 1, wxPENSTYLE_DOT));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(rect);
}

}  // namespace uc
