#include "simulator/frm_view_texture.h"

#include <algorithm>

#include <wx/bitmap.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
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
    pbMain = new wxScrolledCanvas(this, wxID_ANY);
    pbMain->SetBackgroundStyle(wxBG_STYLE_PAINT);
    pbMain->SetVirtualSize(w, h);
    pbMain->SetScrollRate(1, 1);
    int display = wxDisplay::GetFromWindow(owner ? owner : this);
    if (display == wxNOT_FOUND) display = 0;
    const wxRect screen = wxDisplay(unsigned(display)).GetClientArea();
    const int maxW = std::max(64, screen.width * 8 / 10), maxH = std::max(64, screen.height * 7 / 10);
    const bool scrolls = w > maxW || h > maxH;
    const int extra = scrolls ? wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) : 0;
    pbMain->SetMinClientSize(wxSize(std::min(w, maxW) + extra, std::min(h, maxH) + extra));
    pbMain->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(pbMain);
        pbMain->DoPrepareDC(dc);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        if (!shown_.IsOk()) return;
        // Only the part to be painted becomes a bitmap: the toolkit keeps a
        // shared buffer as large as the largest bitmap it has drawn, which
        // for a whole 8192 x 8192 picture would hold 256 MB after the viewer closed.
        wxRect part = pbMain->GetUpdateRegion().GetBox();
        part.SetPosition(pbMain->CalcUnscrolledPosition(part.GetPosition()));
        part.Intersect(wxRect(0, 0, shown_.GetWidth(), shown_.GetHeight()));
        if (!part.IsEmpty()) dc.DrawBitmap(wxBitmap(shown_.GetSubImage(part)), part.GetPosition(), false);
    });
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
    column->Add(pbMain, 1, wxEXPAND);
    column->Add(info, 0, wxEXPAND | wxALL, kMargin);
    SetSizerAndFit(column);
    CentreOnScreen();
    RefreshPicture();
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
