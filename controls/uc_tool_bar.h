#pragma once
// ucToolBar: the program's own picture-button tool bar. Its owner fills it
// at run time with buttons (a normal and a disabled picture and a tool tip)
// and separators, laid out from left to right in one row; it reports clicks
// and the button under the mouse through ButtonClick and ButtonHover.
//
// The keyboard reaches it too: Tab gives it the focus while a button is
// enabled, a focus frame shows the button that Enter or Space presses, and
// the arrow keys, Home and End move that frame between the enabled buttons.

#include <cstdint>
#include <functional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/control.h>

#include "controls/tool_bar_layout.h"

class ucToolBar : public wxControl {
public:
    static constexpr int DefaultHeight = 29;

    explicit ucToolBar(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxSize(-1, DefaultHeight));

    // Events: a click on an enabled button; the button under the mouse changed (-1: none).
    std::function<void(int16_t Index)> ButtonClick;
    std::function<void(int16_t Index)> ButtonHover;

    // Appends a button and returns its index. The pictures are copied and
    // scaled into 16 x 16; without a disabled picture a greyed copy of the
    // normal one is used.
    int16_t CreateButton(const wxBitmap& NormalPicture, const wxBitmap& DisabledPicture, const wxString& ToolTip);
    void CreateSeparator();
    void ButtonEnabled(int16_t Index, bool Enabled);
    void ButtonSelected(int16_t Index, bool Selected);
    bool ButtonIsSelected(int16_t Index) const;
    void HideMouseOver();
    // Takes the tool tip off the screen (a dialog or menu is about to open);
    // the next move over a button shows it again.
    void HideToolTip();
    void KillContent();

    // Paints the whole bar; the paint handler and the tests use it.
    void Render(wxDC& dc);
    const uc::ToolBarLayout& Layout() const { return mLayout; }

    // The bar takes the focus while one of its buttons can be pressed.
    bool AcceptsFocus() const override { return mLayout.KeyButton() >= 0; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnButtonDown(wxMouseEvent& event);
    void OnButtonUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    void UpdateToolTip(int x, int y);

    struct Pictures {
        wxBitmap Normal;
        wxBitmap Disabled;
    };
    uc::ToolBarLayout mLayout;
    std::vector<Pictures> mPictures;
    wxString mShownTip;
};
