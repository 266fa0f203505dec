#include "model/wx/frm_working.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/utils.h>

namespace {

constexpr int kStripWidth = 300;
constexpr int kStripHeight = 14;
constexpr int kMarkerWidth = kStripWidth * 4 / 100;
constexpr int kServeIntervalMs = 30;

}  // namespace

frmWorking::frmWorking(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "Working...", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    Label1 = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(kStripWidth, -1),
                              wxST_NO_AUTORESIZE);
    sizer->Add(Label1, 0, wxALL | wxEXPAND, 10);
    pbWorking = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kStripWidth, kStripHeight), wxBORDER_SUNKEN);
    pbWorking->SetBackgroundColour(*wxWHITE);
    shpMarker = new wxPanel(pbWorking, wxID_ANY, wxPoint(0, 0), wxSize(kMarkerWidth, kStripHeight));
    shpMarker->SetBackgroundColour(wxColour(0, 0, 128));
    sizer->Add(pbWorking, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(sizer);
    Bind(wxEVT_CLOSE_WINDOW, &frmWorking::OnClose, this);
    CentreOnParent();
    PlaceMarker();
}

void frmWorking::ForceUnload() {
    allowClose_ = true;
    Close(true);
}

void frmWorking::UpdateInfo(const std::string& text) {
    Label1->SetLabel(wxString::FromUTF8(text));
    textChanged_ = true;
}

std::string frmWorking::InfoText() const { return Label1->GetLabel().ToStdString(); }

void frmWorking::UpdateMarker() {
    marker_.Advance();
    const wxLongLong now = wxGetLocalTimeMillis();
    if (!textChanged_ && now - lastServed_ < kServeIntervalMs) return;
    textChanged_ = false;
    PlaceMarker();
    wxSafeYield(this, true);
    lastServed_ = wxGetLocalTimeMillis();
}

void frmWorking::PlaceMarker() {
    // The strip is 100 units wide; the marker runs over positions 0 to 96.
    const int inner = pbWorking->GetClientSize().GetWidth();
    shpMarker->SetSize(marker_.Position * inner / 100, 0, std::max(inner * 4 / 100, 2),
                       pbWorking->GetClientSize().GetHeight());
}

void frmWorking::OnClose(wxCloseEvent& event) {
    if (!allowClose_ && event.CanVeto()) {
        event.Veto();
        return;
    }
    Destroy();
}

namespace {

frmWorking* gWindow = nullptr;

class WxBuildProgress final : public BuildProgress {
public:
    void Show() override { Window()->Show(); }
    void UpdateInfo(const std::string& text) override { Window()->UpdateInfo(text); }
    void UpdateMarker() override { Window()->UpdateMarker(); }
    void ForceUnload() override {
        if (!gWindow) return;
        frmWorking* window = gWindow;
        gWindow = nullptr;
        window->ForceUnload();
    }

private:
    static frmWorking* Window() {
        if (!gWindow) {
            gWindow = new frmWorking(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
            // Forget the window when it goes, whoever destroys it.
            gWindow->Bind(wxEVT_DESTROY, [](wxWindowDestroyEvent& event) {
                if (event.GetEventObject() == gWindow) gWindow = nullptr;
                event.Skip();
            });
        }
        return gWindow;
    }
};

WxBuildProgress gProgress;

}  // namespace

BuildProgress& WxBusyWindow() { return gProgress; }

frmWorking* CurrentWorkingWindow() { return gWindow; }
