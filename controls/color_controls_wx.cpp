#include "controls/color_controls_wx.h"

#include <wx/bitmap.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/image.h>

wxColour ToWxColour(int32_t color) { return wxColour(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

ucColorSwatch::ucColorSwatch(wxWindow* parent, int32_t color, const wxSize& size)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, size, wxBORDER_SUNKEN) {
    SetColor(color);
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) {
        if (Clicked && IsEnabled()) Clicked();
    });
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (!event.HasAnyModifiers() && (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) {
            if (Clicked && IsEnabled()) Clicked();
            return;
        }
        event.Skip();
    });
    auto refresh = [this](wxFocusEvent& event) {
        Refresh();
        event.Skip();
    };
    Bind(wxEVT_SET_FOCUS, refresh);
    Bind(wxEVT_KILL_FOCUS, refresh);
    Bind(wxEVT_PAINT, &ucColorSwatch::OnPaint, this);
}

void ucColorSwatch::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (!HasFocus()) return;
    // Dotted, in black or white, whichever stands out on the colour.
    const wxColour c = ToWxColour(color_);
    const bool light = c.Red() * 299 + c.Green() * 587 + c.Blue() * 114 > 128000;
    dc.SetPen(wxPen(light ? *wxBLACK : *wxWHITE, 1, wxPENSTYLE_DOT));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    const wxSize client = GetClientSize();
    dc.DrawRectangle(1, 1, client.x - 2, client.y - 2);
}

void ucColorSwatch::SetColor(int32_t color) {
    color_ = color;
    SetBackgroundColour(ToWxColour(color));
    Refresh();
}

ucColorStrip::ucColorStrip(wxWindow* parent, const wxSize& size)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, size, wxBORDER_SUNKEN) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ucColorStrip::OnPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        Redraw();
        e.Skip();
    });
}

void ucColorStrip::Redraw() {
    const wxSize size = GetClientSize();
    picture_ = ColorPicture(size.x, size.y, 0xFFFFFF);
    if (Draw) Draw(picture_);
    Refresh(false);
}

void ucColorStrip::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (picture_.Width < 1 || picture_.Height < 1) return;
    wxImage image(picture_.Width, picture_.Height);
    unsigned char* rgb = image.GetData();
    for (int32_t color : picture_.Pixels) {
        *rgb++ = static_cast<unsigned char>(color & 0xFF);
        *rgb++ = static_cast<unsigned char>((color >> 8) & 0xFF);
        *rgb++ = static_cast<unsigned char>((color >> 16) & 0xFF);
    }
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}
