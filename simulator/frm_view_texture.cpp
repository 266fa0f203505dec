#include "simulator/frm_view_texture.h"

#include <algorithm>

#include <wx/bitmap.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/scrolbar.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_draw.h"
#include "simulator/picture_loading.h"
#include "simulator/picture_wx.h"
#include "simulator/texture_size_verdict.h"

namespace {

constexpr int kMargin = 8;

wxColour ColourOf(int32_t colour) { return wxColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

}  // namespace

frmViewTexture::frmViewTexture(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "View Texture...", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    SetFont(uc::DialogFont());
    const int32_t w = gLoadedPicture.Width(), h = gLoadedPicture.Height();

    // One screen pixel per picture pixel; a picture larger than most of the
    // screen scrolls inside the box.
    int display = wxDisplay::GetFromWindow(owner ? owner : this);
    if (display == wxNOT_FOUND) display = 0;
    const wxRect screen = wxDisplay(unsigned(display)).GetClientArea();
    const int maxW = std::max(64, screen.width * 8 / 10), maxH = std::max(64, screen.height * 7 / 10);
    auto* picture = new wxFlexGridSizer(2, 0, 0);
    picture->AddGrowableCol(0);
    picture->AddGrowableRow(0);
    pbMain = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
    pbMain->SetBackgroundStyle(wxBG_STYLE_PAINT);
    pbMain->SetMinClientSize(wxSize(std::min(int(w), maxW), std::min(int(h), maxH)));
    picture->Add(pbMain, 1, wxEXPAND);
    if (h > maxH) vsPicture = new wxScrollBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL);
    if (w > maxW) hsPicture = new wxScrollBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSB_HORIZONTAL);
    if (vsPicture)
        picture->Add(vsPicture, 0, wxEXPAND);
    else
        picture->AddSpacer(0);
    if (hsPicture) picture->Add(hsPicture, 0, wxEXPAND);
    else picture->AddSpacer(0);
    picture->AddSpacer(0);
    for (wxScrollBar* bar : {hsPicture, vsPicture}) {
        if (!bar) continue;
        for (const wxEventTypeTag<wxScrollEvent>& type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP,
                                       wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                                       wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
            bar->Bind(type, [this, bar](wxScrollEvent& event) {
                if (bar == hsPicture)
                    ScrollPicture(event.GetPosition(), scrollY_.Position);
                else
                    ScrollPicture(scrollX_.Position, event.GetPosition());
            });
    }
    pbMain->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(pbMain);
        // Only the part to be painted becomes a bitmap: the toolkit keeps a
        // shared buffer as large as the largest bitmap it has drawn, which
        // for a whole 8192 x 8192 picture would hold 256 MiB after the viewer closed.
        RenderPicture(dc, pbMain->GetUpdateRegion().GetBox());
    });
    pbMain->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        UpdateScrollBars();
        event.Skip();
    });
    pbMain->Bind(wxEVT_KEY_DOWN, &frmViewTexture::OnPictureKey, this);
    pbMain->Bind(wxEVT_MOUSEWHEEL, &frmViewTexture::OnPictureWheel, this);
    pbMain->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { pbMain_DblClick(); });
    // The viewer has no buttons for the dialog's own Escape handling to press.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_ESCAPE && !e.HasAnyModifiers())
            pbMain_DblClick();
        else
            e.Skip();
    });

    auto* info = new wxBoxSizer(wxHORIZONTAL);
    info->Add(new wxStaticText(this, wxID_ANY, "Dimensions:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin / 2);
    lblWidth = new wxStaticText(this, wxID_ANY, wxString::Format("%d", int(w)));
    info->Add(lblWidth, 0, wxALIGN_CENTER_VERTICAL);
    info->Add(new wxStaticText(this, wxID_ANY, " x "), 0, wxALIGN_CENTER_VERTICAL);
    lblHeight = new wxStaticText(this, wxID_ANY, wxString::Format("%d", int(h)));
    info->Add(lblHeight, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    const TextureSizeVerdict verdict = JudgeTextureSize(w, h);
    lblSizeInfo = new wxStaticText(this, wxID_ANY, verdict.Text, wxDefaultPosition, wxDefaultSize,
                                   wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    lblSizeInfo->SetBackgroundColour(*wxBLACK);
    lblSizeInfo->SetForegroundColour(ColourOf(verdict.TextColour));
    lblSizeInfo->SetMinSize(wxSize(lblSizeInfo->GetTextExtent("Invalid Dimensions").x + kMargin, -1));
    info->Add(lblSizeInfo, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    info->AddStretchSpacer();
    chkShowAlpha = new wxCheckBox(this, wxID_ANY, "Show with Alpha");
    chkShowAlpha->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { chkShowAlpha_Click(); });
    info->Add(chkShowAlpha, 0, wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(picture, 1, wxEXPAND);
    column->Add(info, 0, wxEXPAND | wxALL, kMargin);
    SetSizerAndFit(column);
    CentreOnScreen();
    UpdateScrollBars();
    RefreshPicture();
}

void frmViewTexture::UpdateScrollBars() {
    const wxSize client = pbMain->GetClientSize();
    scrollX_.SetExtent(gLoadedPicture.Width(), client.x);
    scrollY_.SetExtent(gLoadedPicture.Height(), client.y);
    if (hsPicture) hsPicture->SetScrollbar(scrollX_.Position, client.x, scrollX_.Picture, client.x);
    if (vsPicture) vsPicture->SetScrollbar(scrollY_.Position, client.y, scrollY_.Picture, client.y);
    pbMain->Refresh();
}

void frmViewTexture::ScrollPicture(int x, int y) {
    const bool moved = scrollX_.ScrollTo(x) | scrollY_.ScrollTo(y);
    // The bars follow a scroll by key, wheel or call.
    for (auto [bar, axis] : {std::pair{hsPicture, &scrollX_}, std::pair{vsPicture, &scrollY_}})
        if (bar && bar->GetThumbPosition() != axis->Position)
            bar->SetScrollbar(axis->Position, axis->Window, axis->Picture, axis->Window);
    if (moved) pbMain->Refresh();
}

void frmViewTexture::RenderPicture(wxDC& dc, const wxRect& area) const {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(area);
    if (!shown_.IsOk()) return;
    wxRect part = area;
    part.Offset(scrollX_.Position, scrollY_.Position);
    part.Intersect(wxRect(0, 0, shown_.GetWidth(), shown_.GetHeight()));
    if (part.IsEmpty()) return;
    dc.DrawBitmap(wxBitmap(shown_.GetSubImage(part)), part.x - scrollX_.Position, part.y - scrollY_.Position, false);
}

void frmViewTexture::OnPictureKey(wxKeyEvent& event) {
    constexpr int kStep = 16;
    const wxSize page = pbMain->GetClientSize();
    const wxPoint at = ViewOrigin();
    if (event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    switch (event.GetKeyCode()) {
        case WXK_LEFT: ScrollPicture(at.x - kStep, at.y); break;
        case WXK_RIGHT: ScrollPicture(at.x + kStep, at.y); break;
        case WXK_UP: ScrollPicture(at.x, at.y - kStep); break;
        case WXK_DOWN: ScrollPicture(at.x, at.y + kStep); break;
        case WXK_PAGEUP: ScrollPicture(at.x, at.y - page.y); break;
        case WXK_PAGEDOWN: ScrollPicture(at.x, at.y + page.y); break;
        case WXK_HOME: ScrollPicture(0, 0); break;
        case WXK_END: ScrollPicture(scrollX_.Max(), scrollY_.Max()); break;
        default: event.Skip(); break;
    }
}

void frmViewTexture::OnPictureWheel(wxMouseEvent& event) {
    if (event.GetWheelDelta() <= 0) return;
    const int lines = event.GetWheelRotation() * std::max(1, event.GetLinesPerAction()) / event.GetWheelDelta();
    const int pixels = -lines * 16;
    const wxPoint at = ViewOrigin();
    if (event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL)
        ScrollPicture(at.x - pixels, at.y);  // a horizontal wheel's positive turn moves right
    else if (event.ShiftDown())
        ScrollPicture(at.x + pixels, at.y);
    else
        ScrollPicture(at.x, at.y + pixels);
}

void frmViewTexture::RefreshPicture() {
    shown_ = DibToImage(gLoadedPicture);
    pbMain->Refresh();
}

void frmViewTexture::chkShowAlpha_Click() {
    if (chkShowAlpha->GetValue())
        RenderAlphaView();
    else
        RenderColorView();
    RefreshPicture();
}

void frmViewTexture::pbMain_DblClick() {
    if (IsModal())
        EndModal(wxID_OK);
    else
        Close();
}

void ShowViewTexture(wxWindow* owner) {
    {
        frmViewTexture viewer(owner);
        viewer.ShowModal();
    }
    // Nothing reads the picture once it has been viewed: give its memory back.
    ReleaseLoadedPicture();
}
