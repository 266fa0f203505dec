#include "controls/frm_progress.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/stattext.h>

namespace {

wxColour ColourOf(uint32_t c) { return wxColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

frmProgress::frmProgress(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, "Modeler Working...", wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | (parent ? wxFRAME_FLOAT_ON_PARENT : 0) |
                  wxFRAME_TOOL_WINDOW) {
    wxPanel* panel = new wxPanel(this);
    lblInfo = new wxStaticText(panel, wxID_ANY, "Working...", wxPoint(4, 8), wxSize(385, 29),
                               wxST_NO_AUTORESIZE | wxALIGN_LEFT);
    mBar = new wxWindow(panel, wxID_ANY, wxPoint(0, 48), wxSize(391, 13), wxBORDER_NONE);
    mBar->SetBackgroundStyle(wxBG_STYLE_PAINT);
    mBar->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(mBar);
        RenderBar(dc, mBar->GetClientSize());
    });
    SetClientSize(394, 70);
    Bind(wxEVT_CLOSE_WINDOW, &frmProgress::OnClose, this);
}

wxString frmProgress::InfoText() const { return lblInfo->GetLabel(); }

void frmProgress::LetMessagesRun() {
    if (wxTheApp) wxTheApp->Yield(true);
}

void frmProgress::SetCaption(const wxString& Text) {
    SetTitle(Text);
    LetMessagesRun();
}

void frmProgress::SetInfo(const wxString& Text) {
    lblInfo->SetLabel(Text);
    LetMessagesRun();
}

void frmProgress::UpdateProgress(int32_t Value) {
    if (!mModel.UpdateProgress(Value)) return;
    mBar->Refresh();
    mBar->Update();
    LetMessagesRun();
}

void frmProgress::RenderBar(wxDC& dc, const wxSize& size) const {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(mBar->GetBackgroundColour()));
    dc.DrawRectangle(0, 0, size.x, size.y);
    const auto& columns = mModel.Columns();
    for (int k = 0; k < 100; ++k) {
        if (!columns[static_cast<size_t>(k)]) continue;
        const int x0 = k * size.x / 100, x1 = (k + 1) * size.x / 100;
        if (x1 <= x0) continue;
        dc.SetBrush(wxBrush(ColourOf(*columns[static_cast<size_t>(k)])));
        dc.DrawRectangle(x0, 0, x1 - x0, size.y);
    }
}

void frmProgress::ForceUnload() {
    mModel.ForceUnload();
    Close(true);
}

void frmProgress::OnClose(wxCloseEvent& event) {
    if (!mModel.CanClose() && event.CanVeto()) {
        event.Veto();
        return;
    }
    Destroy();
}
