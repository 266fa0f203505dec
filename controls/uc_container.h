#pragma once
// ucContainer: a titled panel. A container for other controls with a
// one-line title bar across its top and a thin frame on its other sides.
// It reports mouse moves over its own surface and clicks on its title.

#include <cstdint>
#include <functional>
#include <string>

#include <wx/panel.h>

#include "controls/container_layout.h"

class wxBoxSizer;

class ucContainer : public wxPanel {
public:
    explicit ucContainer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize, const wxString& title = wxString());

    // Events: the mouse moved over the title or the panel's own surface; the title was clicked.
    std::function<void()> MouseMoved;
    std::function<void()> TitleClicked;

    void Title(const wxString& text);
    wxString Title() const { return mTitle; }
    // True: the title in the active-caption colours; False: in the highlight colours.
    void InBackground(bool inBackground);
    // 0 left, 1 right, 2 centred; other values are ignored.
    void Alignment(int32_t alignment);
    int32_t Alignment() const { return mAlignment; }

    // The design properties "Title" and "Alignment", as the holding form saves them.
    void ReadProperties(const uc::PropertyBag& bag);
    void WriteProperties(uc::PropertyBag& bag) const;

    void Render(wxDC& dc);
    // The title bar in client pixels.
    wxRect TitleRect() const;
    // Sets the panel's sizer: its contents start below the title bar, `margin`
    // pixels in from every side; returns the sizer to fill.
    wxBoxSizer* SetContentsSizer(int orientation, int margin);
    bool IsInBackground() const { return mInBackground; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);

    wxString mTitle;
    int32_t mAlignment = uc::ContainerDefaultAlignment;
    bool mInBackground = false;
    bool mTitlePressed = false;
};
