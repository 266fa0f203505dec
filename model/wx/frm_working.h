#pragma once
// The busy window shown while the model is built: the current stage and a
// marker running to and fro along a strip. The user cannot close it; the
// pipeline closes it with ForceUnload, and the next use creates it afresh.

#include <string>

#include <wx/dialog.h>
#include <wx/longlong.h>

#include "model/busy_window.h"

class wxPanel;
class wxStaticText;

class frmWorking : public wxDialog {
public:
    explicit frmWorking(wxWindow* owner);

    void ForceUnload();
    void UpdateInfo(const std::string& text);
    // Moves the marker one step and serves the pending events of the window
    // system. Input to other windows is held back meanwhile. The window system
    // is served at most every few hundredths of a second (and always at the
    // first step after a new text), so that large builds are not slowed down.
    void UpdateMarker();

    int MarkerPosition() const { return marker_.Position; }
    std::string InfoText() const;

private:
    void OnClose(wxCloseEvent& event);
    void PlaceMarker();

    wxStaticText* Label1 = nullptr;
    wxPanel* pbWorking = nullptr;
    wxPanel* shpMarker = nullptr;
    BusyMarker marker_;
    bool allowClose_ = false;
    bool textChanged_ = true;
    wxLongLong lastServed_ = 0;
};

// The busy window as the builders see it: install it at start-up with
// SetBusyWindow(&WxBusyWindow()). It creates frmWorking on first use, owned by
// the application's top window.
BuildProgress& WxBusyWindow();
// The window currently shown, or nullptr.
frmWorking* CurrentWorkingWindow();
