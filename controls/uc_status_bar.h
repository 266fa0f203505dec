#pragma once
// ucStatusBar: the program's own status bar, a row of text fields of fixed
// pixel width, each with its alignment and boldness, separated by etched
// lines; the first field takes the room that the others leave.

#include <cstdint>

#include <wx/control.h>

#include "controls/status_bar_layout.h"

class ucStatusBar : public wxControl {
public:
    static constexpr int DefaultHeight = 22;

    explicit ucStatusBar(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxSize(-1, DefaultHeight));

    // Appends a field (alignment 0 left, 1 right, 2 centred) and returns its index.
    int16_t CreateField(int16_t Width, int16_t Alignment, bool Bold);
    void UpdateField(int16_t Index, const wxString& Text);
    void BoldField(int16_t Index, bool Bold);

    void Render(wxDC& dc);
    const uc::StatusBarLayout& Layout() const { return mLayout; }

protected:
    wxSize DoGetBestSize() const override { return wxSize(200, DefaultHeight); }

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    uc::StatusBarLayout mLayout;
};
