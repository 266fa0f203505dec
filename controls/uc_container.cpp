#include "controls/uc_container.h"

#include <wx/dcbuffer.h>
#include <wx/sizer.h>

#include "controls/uc_draw.h"

ucContainer::ucContainer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         const wxString& title)
    : wxPanel(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE | wxTAB_TRAVERSAL),
      mTitle(title) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ucContainer::OnPaint, this);
    Bind(wxEVT_MOTION, &ucContainer::OnMotion, this);
    Bind(wxEVT_LEFT_DOWN, &ucContainer::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &ucContainer::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &ucContainer::OnLeftUp, this);
}

void ucContainer::Title(const wxString& text) {
    mTitle = text;
    RefreshRect(TitleRect());
}

void ucContainer::InBackground(bool inBackground) {
    mInBackground = inBackground;
    RefreshRect(TitleRect());
}

void ucContainer::Alignment(int32_t alignment) {
    if (!uc::IsValidAlignment(alignment)) return;
    mAlignment = alignment;
    RefreshRect(TitleRect());
}

void ucContainer::ReadProperties(const uc::PropertyBag& bag) {
    const uc::ContainerProperties props = uc::ReadContainerProperties(bag);
    mTitle = wxString::FromUTF8(props.Title);
    mAlignment = props.Alignment;
    mInBackground = false;
    Refresh();
}

void ucContainer::WriteProperties(uc::PropertyBag& bag) const {
    uc::WriteContainerProperties(bag, {mTitle.utf8_string(), mAlignment});
}

wxRect ucContainer::TitleRect() const {
    const int h = uc::TwipsToPixels(uc::ContainerTitleHeightTwips, uc::TwipsPerPixelY(this));
    return wxRect(0, 0, GetClientSize().x, h);
}

void ucContainer::Render(wxDC& dc) {
    const double tx = uc::TwipsPerPixelX(this), ty = uc::TwipsPerPixelY(this);
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(uc::SystemColour(uc::SysColour::ButtonFace)));
    dc.DrawRectangle(0, 0, client.x, client.y);

    const int px = static_cast<int>(tx + 0.5), py = static_cast<int>(ty + 0.5);
    const uc::ContainerPlaces places =
        uc::ContainerLayout(uc::PixelsToTwips(client.x, tx), uc::PixelsToTwips(client.y, ty), px, py,
                            uc::ContainerTitleHeightTwips);
    auto toPixels = [tx, ty](uc::LineSeg l) {
        l.X1 = uc::TwipsToPixels(l.X1, tx);
        l.X2 = uc::TwipsToPixels(l.X2, tx);
        l.Y1 = uc::TwipsToPixels(l.Y1, ty);
        l.Y2 = uc::TwipsToPixels(l.Y2, ty);
        return l;
    };
    const wxRect title = TitleRect();
    const uc::TitleColours colours = uc::ContainerTitleColours(mInBackground);
    dc.SetBrush(wxBrush(uc::SystemColour(colours.Back)));
    dc.DrawRectangle(title);
    for (const uc::LineSeg& line : places.Lines) uc::DrawLineSeg(dc, toPixels(line));

    if (!mTitle.empty()) {
        wxFont font(wxFontInfo(8.25).Bold());
        dc.SetFont(font);
        dc.SetTextForeground(uc::SystemColour(colours.Text));
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        const wxSize extent = dc.GetTextExtent(mTitle);
        wxDCClipper clip(dc, title);
        const int x = uc::AlignText(title.x, title.width, extent.x, mAlignment);
        dc.DrawText(mTitle, x, title.y + (title.height - extent.y) / 2);
    }
}

void ucContainer::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

void ucContainer::OnMotion(wxMouseEvent& event) {
    if (MouseMoved) MouseMoved();
    event.Skip();
}

void ucContainer::OnLeftDown(wxMouseEvent& event) {
    mTitlePressed = TitleRect().Contains(event.GetPosition());
    event.Skip();
}

void ucContainer::OnLeftUp(wxMouseEvent& event) {
    const bool click = mTitlePressed && TitleRect().Contains(event.GetPosition());
    mTitlePressed = false;
    if (click && TitleClicked) TitleClicked();
    event.Skip();
}

wxBoxSizer* ucContainer::SetContentsSizer(int orientation, int margin) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->AddSpacer(TitleRect().height);
    auto* inner = new wxBoxSizer(orientation);
    outer->Add(inner, 1, wxEXPAND | wxALL, margin);
    SetSizer(outer);
    return inner;
}
