#include "controls/uc_status_bar.h"

#include <algorithm>

#include <wx/dcbuffer.h>

#include "controls/uc_draw.h"

ucStatusBar::ucStatusBar(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(uc::DialogFont());
    const wxSize client = GetClientSize();
    mLayout.Resize(client.x, client.y);
    Bind(wxEVT_PAINT, &ucStatusBar::OnPaint, this);
    Bind(wxEVT_SIZE, &ucStatusBar::OnSize, this);
}

int16_t ucStatusBar::CreateField(int16_t Width, int16_t Alignment, bool Bold) {
    const int16_t index = mLayout.CreateField(Width, Alignment, Bold);
    Refresh();
    return index;
}

void ucStatusBar::UpdateField(int16_t Index, const wxString& Text) {
    if (Index < 0 || Index >= mLayout.FieldCount()) return;
    const std::string text = Text.utf8_string();
    if (mLayout.Field(Index).Text == text) return;
    mLayout.UpdateField(Index, text);
    const uc::Rect r = mLayout.Field(Index).Label;
    RefreshRect(wxRect(r.X, r.Y, r.Width, r.Height));
}

void ucStatusBar::BoldField(int16_t Index, bool Bold) {
    mLayout.BoldField(Index, Bold);
    Refresh();
}

void ucStatusBar::Render(wxDC& dc) {
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(uc::SystemColour(uc::SysColour::ButtonFace)));
    dc.DrawRectangle(0, 0, client.x, client.y);
    uc::DrawLineSeg(dc, mLayout.BorderLine());
    const wxFont normal = GetFont();
    const wxFont bold = normal.Bold();
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (int i = 0; i < mLayout.FieldCount(); ++i) {
        const uc::StatusField& f = mLayout.Field(i);
        if (!f.Text.empty() && f.Label.Width > 0) {
            dc.SetFont(f.Bold ? bold : normal);
            const wxString text = wxString::FromUTF8(f.Text);
            const wxSize extent = dc.GetTextExtent(text);
            // Cut off at the field's sides only: a tall system font must not lose its descenders.
            wxDCClipper clip(dc, wxRect(f.Label.X, 1, f.Label.Width, client.y - 1));
            const int x = uc::AlignText(f.Label.X, f.Label.Width, extent.x, f.Alignment);
            const int y = std::max(1, f.Label.Y + (f.Label.Height - extent.y) / 2);
            dc.DrawText(text, x, y);
        }
        uc::DrawLineSeg(dc, f.Sep1);
        uc::DrawLineSeg(dc, f.Sep2);
    }
}

void ucStatusBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

void ucStatusBar::OnSize(wxSizeEvent& event) {
    const wxSize client = GetClientSize();
    mLayout.Resize(client.x, client.y);
    Refresh();
    event.Skip();
}
