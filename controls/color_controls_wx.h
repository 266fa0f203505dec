#pragma once
// The colour controls of the dialogs: a swatch (a bordered label whose
// background is its colour, which reports clicks; Tab reaches it, a dotted
// frame then shows the focus, and Space or Enter act as a click) and a strip
// that shows a picture drawn without a display, drawn again whenever its
// size changes.

#include <cstdint>
#include <functional>

#include <wx/panel.h>

#include "trackdoc/color_functions.h"

class ucColorSwatch : public wxPanel {
public:
    ucColorSwatch(wxWindow* parent, int32_t color, const wxSize& size = wxSize(40, 18));
    int32_t Color() const { return color_; }
    void SetColor(int32_t color);
    // A click, or Space or Enter while the swatch has the focus.
    std::function<void()> Clicked;

private:
    void OnPaint(wxPaintEvent& event);
    int32_t color_ = 0;
};

class ucColorStrip : public wxPanel {
public:
    ucColorStrip(wxWindow* parent, const wxSize& size);
    // Draws the picture at the strip's client size; Redraw runs it and shows the result.
    std::function<void(ColorPicture&)> Draw;
    void Redraw();
    const ColorPicture& Picture() const { return picture_; }

private:
    void OnPaint(wxPaintEvent& event);
    ColorPicture picture_;
};

wxColour ToWxColour(int32_t color);
