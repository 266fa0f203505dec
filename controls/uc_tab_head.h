#pragma once
// ucTabHead: the tab strip of a tabbed dialog, and ucTabContainer: one tab
// page framed on three sides. The owner adds one tab per page with AddTab
// and shows page Index in its TabClick handler. Both measure in twips.
//
// The keyboard reaches the strip as it reaches the toolkit's notebooks:
// Ctrl+Tab and Ctrl+PageDown select the next tab, Ctrl+Shift+Tab and
// Ctrl+PageUp the previous one, from anywhere in the strip's window; the strip
// takes the focus from Tab (the selected caption then shows a focus frame),
// and while it has it the arrow keys, Home and End select tabs. Every such
// selection raises TabClick as a click does.

#include <cstdint>
#include <functional>

#include <wx/control.h>
#include <wx/panel.h>
#include <wx/weakref.h>

#include "controls/tab_layout.h"

class ucTabHead : public wxControl {
public:
    explicit ucTabHead(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);
    ~ucTabHead() override;

    // Event: a tab was selected, by a click on its caption or by ShowTab.
    std::function<void(int32_t Index)> TabClick;

    void ShowTab(int16_t Index);
    void AddTab(const wxString& Caption);

    void Render(wxDC& dc);
    const uc::TabHeadLayout& Layout() const { return mLayout; }
    double TwipsPerPixel() const { return mTwipsPerPixel; }

    // The strip takes the focus once it has a tab.
    bool AcceptsFocus() const override { return mLayout.TabCount() > 0; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnDpiChanged(wxDPIChangedEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnWindowKey(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    // After a page change: a focus left on the page that went out of sight
    // comes to the strip, so the keyboard still reaches the window.
    void KeepFocusInSight();
    void MeasureCaption(const std::string& padded, int& width, int& height) const;
    int ToTwips(int pixels) const { return uc::PixelsToTwips(pixels, mTwipsPerPixel); }

    uc::TabHeadLayout mLayout;
    double mTwipsPerPixel = 15.0;
    int mPressedTab = -1;
    wxWeakRef<wxWindow> mTopLevel;  // the window whose keys Ctrl+Tab and Ctrl+PageDown are taken from
};

class ucTabContainer : public wxPanel {
public:
    explicit ucTabContainer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                            const wxSize& size = wxDefaultSize);
    void Render(wxDC& dc);

private:
    void OnPaint(wxPaintEvent& event);
};
