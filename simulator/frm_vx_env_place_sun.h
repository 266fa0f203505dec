#pragma once
// frmVXEnvPlaceSun ("Place Sun"): the environment's sun placed by a click on a
// panorama of its six sky-box faces. It reads the sky-box paths and the two
// sun sliders of the environment values; OK writes the sliders back (a value
// the user did not change by a click stays as it was), Cancel and the close
// box change nothing. The right button pans the view; "+", "-", "/" and "*"
// zoom and re-centre.
//
// The panorama is built by a short timer once the window is on screen, with
// the window's input disabled: it cannot be closed while half built.

#include <array>
#include <memory>

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/timer.h>

#include "simulator/dib_section.h"
#include "simulator/environment_file.h"
#include "simulator/sun_placement.h"

class wxButton;
class wxPanel;
class wxStaticText;

class frmVXEnvPlaceSun : public wxDialog {
public:
    frmVXEnvPlaceSun(wxWindow* owner, EnvironmentValues& values);

    // The window's parts, for the program's tests.
    const SunPlacement& Placement() const { return sun_; }
    wxPanel* Viewport() const { return viewport_; }
    wxPanel* PictureBox() const { return pbMain; }
    wxStaticText* SunPosLabel(int index) const { return lblSunPos[index]; }
    wxButton* OkayButton() const { return btnOkay; }
    wxButton* CancelButton() const { return btnCancel; }
    bool Building() const { return building_; }
    bool Built() const { return built_; }
    // The panorama as built (1024 x 768).
    const cDIBSection& Panorama() const { return panorama_; }

    // The timer's first tick: builds the panorama (once) and shows it.
    void BuildPanorama();
    // Mouse input on the picture, in its own pixels.
    void pbMain_LeftDown(int x, int y);
    void pbMain_RightDown(int x, int y);
    void pbMain_MouseMove(bool left, bool right, int x, int y);
    void Form_KeyPress(char key);
    void btnOkay_Click();
    void btnCancel_Click();

private:
    void RedrawPanorama();
    void PlaceSunMarker();
    void PaintPicture(wxDC& dc);
    void Unload(int result);

    EnvironmentValues& values_;
    SunPlacement sun_;
    cDIBSection panorama_;
    wxBitmap zoomed_;
    std::vector<wxString> progress_;
    bool building_ = false;
    bool built_ = false;

    wxPanel* viewport_ = nullptr;
    wxPanel* pbMain = nullptr;
    std::array<wxStaticText*, 4> lblSunPos{};
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxTimer tmrDelay;
};

// Shows the window modally over its owner; true when OK wrote the sliders.
bool ShowPlaceSun(wxWindow* owner, EnvironmentValues& values);
