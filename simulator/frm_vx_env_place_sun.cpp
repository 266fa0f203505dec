#include "simulator/frm_vx_env_place_sun.h"

#include <cmath>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "controls/dialog_buttons.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "simulator/picture_loading.h"
#include "simulator/picture_wx.h"

namespace {

constexpr int kMargin = 8;
constexpr int kMarkerSize = 11;  // the marker's top-left corner is 5 pixels left of and above the sun

}  // namespace

frmVXEnvPlaceSun::frmVXEnvPlaceSun(wxWindow* owner, EnvironmentValues& values)
    : wxDialog(owner, wxID_ANY, "Place Sun"),
      values_(values),
      sun_(values.hsSunPosition[0], values.hsSunPosition[1]),
      tmrDelay(this) {
    SetFont(uc::DialogFont());
    auto* column = new wxBoxSizer(wxVERTICAL);

    viewport_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kSunViewportWidth, kSunViewportHeight));
    viewport_->SetMinSize(wxSize(kSunViewportWidth, kSunViewportHeight));
    viewport_->SetBackgroundColour(*wxBLACK);
    pbMain = new wxPanel(viewport_, wxID_ANY, wxPoint(0, 0), wxSize(kSunViewportWidth, kSunViewportHeight),
                         wxWANTS_CHARS);
    pbMain->SetBackgroundStyle(wxBG_STYLE_PAINT);
    pbMain->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(pbMain);
        PaintPicture(dc);
    });
    pbMain->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { pbMain_LeftDown(e.GetX(), e.GetY()); });
    pbMain->Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) { pbMain_RightDown(e.GetX(), e.GetY()); });
    pbMain->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        pbMain_MouseMove(e.LeftIsDown(), e.RightIsDown(), e.GetX(), e.GetY());
    });
    pbMain->Bind(wxEVT_CHAR, [this](wxKeyEvent& e) {
        const int key = e.GetUnicodeKey();
        if (key > 0 && key < 128) Form_KeyPress(static_cast<char>(key));
        e.Skip();
    });
    column->Add(viewport_, 0, wxALL, kMargin);

    auto* lower = new wxBoxSizer(wxHORIZONTAL);
    auto* grid = new wxFlexGridSizer(2, kMargin / 2, kMargin);
    const char* captions[4] = {"Altitude:", "Heading:", "Mouse Pos, Altitude:", "Mouse Pos, Heading:"};
    for (int i = 0; i < 4; ++i) {
        grid->Add(new wxStaticText(this, wxID_ANY, captions[i]), 0, wxALIGN_CENTER_VERTICAL);
        lblSunPos[i] = new wxStaticText(this, wxID_ANY, "", wxDefaultPosition, wxSize(80, -1));
        grid->Add(lblSunPos[i], 0, wxALIGN_CENTER_VERTICAL);
    }
    lower->Add(grid, 0, wxRIGHT, kMargin);

    auto* info = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Info");
    auto* legend = new wxFlexGridSizer(2, 2, kMargin);
    const char* keys[4][2] = {
        {"+", "Zoom In"}, {"-", "Zoom Out"}, {"/", "Default Zoom Level"}, {"*", "Re-Center on Sun Position"}};
    for (const auto& row : keys) {
        legend->Add(new wxStaticText(info, wxID_ANY, row[0]));
        legend->Add(new wxStaticText(info, wxID_ANY, row[1]));
    }
    auto* infoSizer = new wxBoxSizer(wxVERTICAL);
    infoSizer->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(info)) + 6);
    infoSizer->Add(legend, 0, wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    info->SetSizer(infoSizer);
    lower->Add(info, 1, wxEXPAND);
    column->Add(lower, 0, wxEXPAND | wxLEFT | wxRIGHT, kMargin);

    wxBoxSizer* buttons = MakeEndButtonRow(this, kMargin / 2, &btnOkay, &btnCancel, nullptr);
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    column->Add(buttons, 0, wxEXPAND | wxALL, kMargin);
    SetSizerAndFit(column);
    CentreOnParent();

    // The typed keys reach the picture; the numeric pad's keys come as key codes.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        switch (e.GetKeyCode()) {
            case WXK_NUMPAD_ADD: Form_KeyPress('+'); return;
            case WXK_NUMPAD_SUBTRACT: Form_KeyPress('-'); return;
            case WXK_NUMPAD_MULTIPLY: Form_KeyPress('*'); return;
            case WXK_NUMPAD_DIVIDE: Form_KeyPress('/'); return;
            default: break;
        }
        if (building_) return;  // no key may end the window while the panorama is built
        e.DoAllowNextEvent();
        e.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        if (building_ && e.CanVeto()) {
            e.Veto();
            return;
        }
        if (!e.CanVeto()) {
            e.Skip();
            return;
        }
        btnCancel_Click();
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        tmrDelay.Stop();
        BuildPanorama();
    });
    PlaceSunMarker();
    tmrDelay.StartOnce(50);
}

void frmVXEnvPlaceSun::BuildPanorama() {
    if (built_ || building_) return;
    tmrDelay.Stop();
    building_ = true;
    // The other windows and this one's controls take no input meanwhile; the
    // picture still shows the progress.
    wxWindowDisabler others(this);
    for (wxWindow* child : GetChildren()) child->Disable();
    sun_.ViewLeft = sun_.ViewTop = 0.0f;
    pbMain->SetSize(0, 0, kSunViewportWidth, kSunViewportHeight);
    progress_.clear();
    ::BuildSkyboxPanorama(values_.txtRegionSkybox, panorama_, [this](const std::string& line) {
        progress_.push_back(wxString::FromUTF8(line));
        pbMain->Refresh();
        pbMain->Update();
        if (wxTheApp) wxTheApp->Yield(true);
    });
    for (wxWindow* child : GetChildren()) child->Enable();
    building_ = false;
    built_ = true;
    progress_.clear();
    RedrawPanorama();
    pbMain->SetFocus();
}

void frmVXEnvPlaceSun::RedrawPanorama() {
    const int w = static_cast<int>(sun_.ViewWidth()), h = static_cast<int>(sun_.ViewHeight());
    if (!panorama_.Empty())
        zoomed_ = wxBitmap(DibToImage(panorama_).Scale(w, h, wxIMAGE_QUALITY_NORMAL));
    pbMain->SetSize(static_cast<int>(std::lround(sun_.ViewLeft)), static_cast<int>(std::lround(sun_.ViewTop)), w, h);
    PlaceSunMarker();
}

void frmVXEnvPlaceSun::PlaceSunMarker() {
    lblSunPos[0]->SetLabel(SunPlacement::AngleText(sun_.mAltitude));
    lblSunPos[1]->SetLabel(SunPlacement::AngleText(sun_.mHeading));
    pbMain->Refresh();
}

void frmVXEnvPlaceSun::PaintPicture(wxDC& dc) {
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    if (!built_) {
        dc.SetTextForeground(*wxWHITE);
        dc.SetFont(GetFont());
        const int line = dc.GetCharHeight();
        for (size_t i = 0; i < progress_.size(); ++i) dc.DrawText(progress_[i], 0, static_cast<int>(i) * line);
        return;
    }
    if (zoomed_.IsOk()) dc.DrawBitmap(zoomed_, 0, 0, false);
    const SunPoint marker = sun_.MarkerPosition();
    dc.SetPen(wxPen(*wxRED, 2));
    dc.SetBrush(*wxYELLOW_BRUSH);
    dc.DrawEllipse(static_cast<int>(std::floor(marker.X)), static_cast<int>(std::floor(marker.Y)), kMarkerSize,
                   kMarkerSize);
}

void frmVXEnvPlaceSun::pbMain_LeftDown(int x, int y) {
    if (building_ || !built_) return;
    sun_.SetSunFromPoint(x, y);
    PlaceSunMarker();
}

void frmVXEnvPlaceSun::pbMain_RightDown(int x, int y) { sun_.StartPan(x, y); }

void frmVXEnvPlaceSun::pbMain_MouseMove(bool left, bool right, int x, int y) {
    if (building_ || !built_) return;
    if (right) {
        sun_.Pan(x, y);
        pbMain->Move(static_cast<int>(std::lround(sun_.ViewLeft)), static_cast<int>(std::lround(sun_.ViewTop)));
    } else if (!left) {
        const SunPoint angles = sun_.AnglesAt(x, y);
        lblSunPos[2]->SetLabel(SunPlacement::AngleText(angles.X));
        lblSunPos[3]->SetLabel(SunPlacement::AngleText(angles.Y));
    }
}

void frmVXEnvPlaceSun::Form_KeyPress(char key) {
    if (building_ || !built_) return;
    if (sun_.Key(key)) RedrawPanorama();
}

void frmVXEnvPlaceSun::btnOkay_Click() {
    if (building_) return;
    values_.hsSunPosition = sun_.Sliders();
    Unload(wxID_OK);
}

void frmVXEnvPlaceSun::btnCancel_Click() {
    if (building_) return;
    Unload(wxID_CANCEL);
}

void frmVXEnvPlaceSun::Unload(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}

bool ShowPlaceSun(wxWindow* owner, EnvironmentValues& values) {
    bool ok = false;
    {
        frmVXEnvPlaceSun window(owner, values);
        ok = window.ShowModal() == wxID_OK;
    }
    // The last sky face loaded is of no further use: give its memory back.
    ReleaseLoadedPicture();
    return ok;
}
