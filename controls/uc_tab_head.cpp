#include "controls/uc_tab_head.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/toplevel.h>

#include "controls/uc_draw.h"

ucTabHead::ucTabHead(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(uc::DialogFont());
    mTwipsPerPixel = uc::TwipsPerPixelX(this);
    mLayout.TabClick = [this](int32_t index) {
        if (TabClick) TabClick(index);
    };
    mLayout.Resize(ToTwips(GetClientSize().x));
    Bind(wxEVT_PAINT, &ucTabHead::OnPaint, this);
    Bind(wxEVT_SIZE, &ucTabHead::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &ucTabHead::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &ucTabHead::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &ucTabHead::OnLeftUp, this);
    Bind(wxEVT_DPI_CHANGED, &ucTabHead::OnDpiChanged, this);
    Bind(wxEVT_KEY_DOWN, &ucTabHead::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &ucTabHead::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &ucTabHead::OnFocus, this);
    // The window sees every key first, whichever of its controls has the focus.
    mTopLevel = wxGetTopLevelParent(this);
    if (mTopLevel) mTopLevel->Bind(wxEVT_CHAR_HOOK, &ucTabHead::OnWindowKey, this);
}

ucTabHead::~ucTabHead() {
    if (mTopLevel) mTopLevel->Unbind(wxEVT_CHAR_HOOK, &ucTabHead::OnWindowKey, this);
}

namespace {

uc::TabKey ToTabKey(int keyCode) {
    switch (keyCode) {
        case WXK_TAB:
        case WXK_NUMPAD_TAB: return uc::TabKey::Tab;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP: return uc::TabKey::PageUp;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN: return uc::TabKey::PageDown;
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT: return uc::TabKey::Left;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT: return uc::TabKey::Right;
        case WXK_UP:
        case WXK_NUMPAD_UP: return uc::TabKey::Up;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN: return uc::TabKey::Down;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: return uc::TabKey::Home;
        case WXK_END:
        case WXK_NUMPAD_END: return uc::TabKey::End;
        default: return uc::TabKey::Other;
    }
}

bool ControlHeld(const wxKeyEvent& event) { return event.ControlDown() || event.RawControlDown(); }

}  // namespace

wxSize ucTabHead::DoGetBestSize() const {
    int right = 0;
    for (int i = 0; i < mLayout.TabCount(); ++i) right = std::max(right, mLayout.Tab(i).Right.X2);
    return wxSize(uc::TwipsToPixels(right, mTwipsPerPixel) + 1,
                  uc::TwipsToPixels(uc::TabHeadLayout::Baseline, mTwipsPerPixel) + 1);
}

void ucTabHead::MeasureCaption(const std::string& padded, int& width, int& height) const {
    wxClientDC dc(const_cast<ucTabHead*>(this));
    dc.SetFont(GetFont());
    const wxSize extent = dc.GetTextExtent(wxString::FromUTF8(padded));
    width = ToTwips(extent.x);
    height = ToTwips(extent.y);
}

void ucTabHead::AddTab(const wxString& Caption) {
    const std::string caption = Caption.utf8_string();
    int width = 0, height = 0;
    MeasureCaption(uc::TabHeadLayout::PaddedCaption(caption), width, height);
    mLayout.AddTab(caption, width, height);
    InvalidateBestSize();
    Refresh();
}

void ucTabHead::ShowTab(int16_t Index) {
    mLayout.ShowTab(Index);
    Refresh();
}

void ucTabHead::Render(wxDC& dc) {
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(uc::SystemColour(uc::SysColour::ButtonFace)));
    dc.DrawRectangle(0, 0, client.x, client.y);
    for (int i = 0; i < mLayout.TabCount(); ++i) {
        const uc::TabPlace& t = mLayout.Tab(i);
        uc::DrawLineSegTwips(dc, t.Left, mTwipsPerPixel);
        uc::DrawLineSegTwips(dc, t.Top, mTwipsPerPixel);
        uc::DrawLineSegTwips(dc, t.Right, mTwipsPerPixel);
    }
    uc::DrawLineSegTwips(dc, mLayout.BaselineLeft(), mTwipsPerPixel);
    uc::DrawLineSegTwips(dc, mLayout.BaselineRight(), mTwipsPerPixel);
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (int i = 0; i < mLayout.TabCount(); ++i) {
        const uc::TabPlace& t = mLayout.Tab(i);
        dc.DrawText(wxString::FromUTF8(t.Caption), uc::TwipsToPixels(t.Label.X, mTwipsPerPixel),
                    uc::TwipsToPixels(t.Label.Y, mTwipsPerPixel));
    }
    const int selected = mLayout.SelectedTab();
    if (HasFocus() && selected >= 0 && selected < mLayout.TabCount()) {
        const uc::Rect& label = mLayout.Tab(selected).Label;
        const wxRect caption(uc::TwipsToPixels(label.X, mTwipsPerPixel), uc::TwipsToPixels(label.Y, mTwipsPerPixel),
                             uc::TwipsToPixels(label.Width, mTwipsPerPixel),
                             uc::TwipsToPixels(label.Height, mTwipsPerPixel));
        uc::DrawFocusFrame(dc, caption.Inflate(1, 0));
    }
}

void ucTabHead::OnKeyDown(wxKeyEvent& event) {
    const uc::TabStep step = uc::StripTabKey(ToTabKey(event.GetKeyCode()), ControlHeld(event), event.ShiftDown(),
                                             event.AltDown() || event.MetaDown());
    if (step == uc::TabStep::None || !mLayout.Step(step)) {
        event.Skip();
        return;
    }
    KeepFocusInSight();
    Refresh();
}

void ucTabHead::OnWindowKey(wxKeyEvent& event) {
    event.Skip();  // for the window and the focused control, unless taken here
    // Only a strip the user can see and use takes the keys.
    if (!IsShownOnScreen() || !IsEnabled()) return;
    const uc::TabStep step = uc::WindowTabKey(ToTabKey(event.GetKeyCode()), ControlHeld(event), event.ShiftDown(),
                                              event.AltDown() || event.MetaDown());
    if (step == uc::TabStep::None || !mLayout.Step(step)) return;
    event.Skip(false);
    KeepFocusInSight();
    Refresh();
}

void ucTabHead::KeepFocusInSight() {
    const wxWindow* focus = wxWindow::FindFocus();
    if (focus && focus != mTopLevel && focus->IsShownOnScreen()) return;
    SetFocus();
}

void ucTabHead::OnFocus(wxFocusEvent& event) {
    Refresh();  // the focus frame
    event.Skip();
}

void ucTabHead::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

void ucTabHead::OnSize(wxSizeEvent& event) {
    mLayout.Resize(ToTwips(GetClientSize().x));
    Refresh();
    event.Skip();
}

void ucTabHead::OnLeftDown(wxMouseEvent& event) {
    mPressedTab = mLayout.HitTest(ToTwips(event.GetX()), ToTwips(event.GetY()));
    event.Skip();
}

void ucTabHead::OnLeftUp(wxMouseEvent& event) {
    const int x = ToTwips(event.GetX()), y = ToTwips(event.GetY());
    const int pressed = mPressedTab;
    mPressedTab = -1;
    // A click is a press and a release on the same caption.
    if (pressed >= 0 && mLayout.HitTest(x, y) == pressed) {
        mLayout.Click(x, y);
        KeepFocusInSight();
        Refresh();
    }
    event.Skip();
}

void ucTabHead::OnDpiChanged(wxDPIChangedEvent& event) {
    mTwipsPerPixel = uc::TwipsPerPixelX(this);
    for (int i = 0; i < mLayout.TabCount(); ++i) {
        int width = 0, height = 0;
        MeasureCaption(mLayout.Tab(i).Caption, width, height);
        mLayout.SetCaptionSize(i, width, height);
    }
    mLayout.Resize(ToTwips(GetClientSize().x));
    InvalidateBestSize();
    Refresh();
    event.Skip();
}

ucTabContainer::ucTabContainer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE | wxTAB_TRAVERSAL) {
    Bind(wxEVT_PAINT, &ucTabContainer::OnPaint, this);
}

void ucTabContainer::Render(wxDC& dc) {
    const double tx = uc::TwipsPerPixelX(this), ty = uc::TwipsPerPixelY(this);
    const wxSize client = GetClientSize();
    const int px = static_cast<int>(tx + 0.5), py = static_cast<int>(ty + 0.5);
    const uc::TabPageFrame f =
        uc::TabContainerLayout(uc::PixelsToTwips(client.x, tx), uc::PixelsToTwips(client.y, ty), px, py);
    uc::LineSeg left = f.Left, bottom = f.Bottom, right = f.Right;
    // Across and down may differ: convert each coordinate with its own axis.
    auto toPixels = [tx, ty](uc::LineSeg l) {
        l.X1 = uc::TwipsToPixels(l.X1, tx);
        l.X2 = uc::TwipsToPixels(l.X2, tx);
        l.Y1 = uc::TwipsToPixels(l.Y1, ty);
        l.Y2 = uc::TwipsToPixels(l.Y2, ty);
        return l;
    };
    uc::DrawLineSeg(dc, toPixels(left));
    uc::DrawLineSeg(dc, toPixels(bottom));
    uc::DrawLineSeg(dc, toPixels(right));
}

void ucTabContainer::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    Render(dc);
}
