#pragma once
// ucTabHead: the tab strip of a tabbed dialog, and ucTabContainer: one tab
// page framed on three sides. The owner adds one tab per page with AddTab
// and shows page Index in its TabClick handler. Both measure in twips.

#include <cstdint>
#include <functional>

#include <wx/control.h>
#include <wx/panel.h>

#include "controls/tab_layout.h"

class ucTabHead : public wxControl {
public:
    explicit ucTabHead(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);

    // Event: a tab was selected, by a click on its caption or by ShowTab.
    std::function<void(int32_t Index)> TabClick;

    void ShowTab(int16_t Index);
    void AddTab(const wxString& Caption);

    void Render(wxDC& dc);
    const uc::TabHeadLayout& Layout() const { return mLayout; }
    double TwipsPerPixel() const { return mTwipsPerPixel; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnDpiChanged(wxDPIChangedEvent& event);
    void MeasureCaption(const std::string& padded, int& width, int& height) const;
    int ToTwips(int pixels) const { return uc::PixelsToTwips(pixels, mTwipsPerPixel); }

    uc::TabHeadLayout mLayout;
    double mTwipsPerPixel = 15.0;
    int mPressedTab = -1;
};

class ucTabContainer : public wxPanel {
public:
    explicit ucTabContainer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                            const wxSize& size = wxDefaultSize);
    void Render(wxDC& dc);

private:
    void OnPaint(wxPaintEvent& event);
};
