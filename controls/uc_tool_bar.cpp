#include "controls/uc_tool_bar.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include "controls/uc_draw.h"

namespace {

wxBitmap ScaledPicture(const wxBitmap& picture) {
    constexpr int size = uc::ToolBarLayout::PictureSize;
    if (!picture.IsOk()) return wxBitmap();
    if (picture.GetWidth() == size && picture.GetHeight() == size) return wxBitmap(picture.ConvertToImage());
    return wxBitmap(picture.ConvertToImage().Scale(size, size, wxIMAGE_QUALITY_HIGH));
}

uc::MouseButton ButtonOf(const wxMouseEvent& event) {
    switch (event.GetButton()) {
    case wxMOUSE_BTN_RIGHT: return uc::MouseButton::Right;
    case wxMOUSE_BTN_MIDDLE: return uc::MouseButton::Middle;
    default: return uc::MouseButton::Left;
    }
}

}  // namespace

ucToolBar::ucToolBar(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    mLayout.ButtonClick = [this](int16_t index) {
        if (ButtonClick) ButtonClick(index);
    };
    mLayout.ButtonHover = [this](int16_t index) {
        if (ButtonHover) ButtonHover(index);
    };
    const wxSize client = GetClientSize();
    mLayout.Resize(client.x, client.y);
    Bind(wxEVT_PAINT, &ucToolBar::OnPaint, this);
    Bind(wxEVT_SIZE, &ucToolBar::OnSize, this);
    Bind(wxEVT_MOTION, &ucToolBar::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &ucToolBar::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &ucToolBar::OnButtonDown, this);
    Bind(wxEVT_RIGHT_DOWN, &ucToolBar::OnButtonDown, this);
    Bind(wxEVT_MIDDLE_DOWN, &ucToolBar::OnButtonDown, this);
    Bind(wxEVT_LEFT_DCLICK, &ucToolBar::OnButtonDown, this);
    Bind(wxEVT_LEFT_UP, &ucToolBar::OnButtonUp, this);
    Bind(wxEVT_RIGHT_UP, &ucToolBar::OnButtonUp, this);
    Bind(wxEVT_MIDDLE_UP, &ucToolBar::OnButtonUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &ucToolBar::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &ucToolBar::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &ucToolBar::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &ucToolBar::OnFocus, this);
}

wxSize ucToolBar::DoGetBestSize() const {
    return wxSize(mLayout.NextButtonX() + 6, DefaultHeight);
}

int16_t ucToolBar::CreateButton(const wxBitmap& NormalPicture, const wxBitmap& DisabledPicture,
                                const wxString& ToolTip) {
    Pictures p;
    p.Normal = ScaledPicture(NormalPicture);
    p.Disabled = DisabledPicture.IsOk() ? ScaledPicture(DisabledPicture)
                                        : (p.Normal.IsOk() ? p.Normal.ConvertToDisabled() : wxBitmap());
    mPictures.push_back(p);
    const int16_t index = mLayout.CreateButton(ToolTip.utf8_string());
    InvalidateBestSize();
    Refresh();
    return index;
}

void ucToolBar::CreateSeparator() {
    mLayout.CreateSeparator(GetClientSize().y);
    InvalidateBestSize();
    Refresh();
}

void ucToolBar::ButtonEnabled(int16_t Index, bool Enabled) {
    mLayout.ButtonEnabled(Index, Enabled);
    Refresh();
}

void ucToolBar::ButtonSelected(int16_t Index, bool Selected) {
    mLayout.ButtonSelected(Index, Selected);
    Refresh();
}

bool ucToolBar::ButtonIsSelected(int16_t Index) const { return mLayout.ButtonIsSelected(Index); }

void ucToolBar::HideMouseOver() {
    const bool shown = mLayout.HoverShown();
    mLayout.HideMouseOver();
    if (shown) Refresh();
}

void ucToolBar::HideToolTip() {
    mShownTip.clear();
    if (GetToolTip() != nullptr) UnsetToolTip();
}

void ucToolBar::KillContent() {
    if (HasCapture()) ReleaseMouse();
    mLayout.KillContent();
    mPictures.clear();
    mShownTip.clear();
    UnsetToolTip();
    InvalidateBestSize();
    Refresh();
}

void ucToolBar::Render(wxDC& dc) {
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(uc::SystemColour(uc::SysColour::ButtonFace)));
    dc.DrawRectangle(0, 0, client.x, client.y);
    for (const uc::LineSeg& line : mLayout.BorderLines()) uc::DrawLineSeg(dc, line);
    for (int j = 0; j < mLayout.SeparatorCount(); ++j) {
        uc::DrawLineSeg(dc, mLayout.Separator(j).Dark);
        uc::DrawLineSeg(dc, mLayout.Separator(j).Light);
    }
    for (int i = 0; i < mLayout.ButtonCount(); ++i) {
        const uc::ToolBarButton& b = mLayout.Button(i);
        if (b.Selected) {
            const uc::Rect r = mLayout.SelectedBoxRect(i);
            dc.SetPen(wxPen(uc::SystemColour(uc::SysColour::ButtonShadow)));
            dc.SetBrush(wxBrush(uc::SystemColour(uc::SysColour::Light3D)));
            dc.DrawRectangle(r.X, r.Y, r.Width, r.Height);
        }
        const Pictures& p = mPictures[static_cast<size_t>(i)];
        if (b.Enabled) {
            if (p.Normal.IsOk()) dc.DrawBitmap(p.Normal, b.PictureX, b.PictureY, true);
        } else if (p.Disabled.IsOk()) {
            dc.DrawBitmap(p.Disabled, b.HomeX, b.HomeY, true);
        }
    }
    for (const uc::LineSeg& line : mLayout.HoverLines()) uc::DrawLineSeg(dc, line);
    const int key = mLayout.KeyButton();
    if (key >= 0 && HasFocus()) {
        // The frame of the button that Enter or Space presses, around its hover frame's place.
        const uc::ToolBarButton& b = mLayout.Button(key);
        const int inset = (uc::ToolBarLayout::FrameSize - uc::ToolBarLayout::PictureSize) / 2;
        uc::DrawFocusFrame(
            dc, wxRect(b.HomeX - inset - 1, b.HomeY - inset - 1, uc::ToolBarLayout::FrameSize + 2,
                   uc::ToolBarLayout::FrameSize + 2));
    }
}

void ucToolBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

void ucToolBar::OnSize(wxSizeEvent& event) {
    const wxSize client = GetClientSize();
    mLayout.Resize(client.x, client.y);
    Refresh();
    event.Skip();
}

void ucToolBar::UpdateToolTip(int x, int y) {
    const wxString tip = wxString::FromUTF8(mLayout.ToolTipAt(x, y));
    if (tip == mShownTip) return;
    mShownTip = tip;
    if (tip.empty())
        UnsetToolTip();
    else
        SetToolTip(tip);
}

void ucToolBar::OnMotion(wxMouseEvent& event) {
    const bool shown = mLayout.HoverShown();
    const int index = mLayout.HoverIndex();
    mLayout.MouseMove(event.GetX(), event.GetY());
    UpdateToolTip(event.GetX(), event.GetY());
    if (shown != mLayout.HoverShown() || index != mLayout.HoverIndex()) Refresh();
}

void ucToolBar::OnLeave(wxMouseEvent& event) {
    // The frame belongs to the mouse: it goes when the mouse leaves the bar,
    // unless a button is held down (the bar then still holds the mouse).
    if (mLayout.PressedIndex() < 0) HideMouseOver();
    HideToolTip();
    event.Skip();
}

void ucToolBar::OnButtonDown(wxMouseEvent& event) {
    if (mLayout.MouseDown(event.GetX(), event.GetY(), ButtonOf(event))) {
        if (!HasCapture()) CaptureMouse();
        Refresh();
    }
    event.Skip();
}

void ucToolBar::OnButtonUp(wxMouseEvent& event) {
    if (mLayout.PressedIndex() < 0 || mLayout.PressedButton() != ButtonOf(event)) {
        event.Skip();
        return;
    }
    if (HasCapture()) ReleaseMouse();
    Refresh();
    // The click handler may open a modal dialog: its tip must not stay over it, nor after it.
    HideToolTip();
    // The click handler may open a modal dialog or empty the bar: it runs last.
    mLayout.MouseUp(event.GetX(), event.GetY(), ButtonOf(event));
    Refresh();
}

void ucToolBar::OnKeyDown(wxKeyEvent& event) {
    if (event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT: mLayout.StepKeyButton(-1); break;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT: mLayout.StepKeyButton(1); break;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: mLayout.KeyButtonToEnd(false); break;
        case WXK_END:
        case WXK_NUMPAD_END: mLayout.KeyButtonToEnd(true); break;
        case WXK_SPACE:
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            Refresh();
            HideToolTip();
            // The click handler may open a modal dialog or close the window: it runs last.
            if (!mLayout.PressKeyButton()) event.Skip();
            return;
        default: event.Skip(); return;
    }
    Refresh();
}

void ucToolBar::OnFocus(wxFocusEvent& event) {
    Refresh();  // the focus frame
    event.Skip();
}

void ucToolBar::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // Another window took the mouse: the press ends without a click.
    mLayout.CancelPress();
    Refresh();
}
