#pragma once
// frmViewTexture ("View Texture..."): the picture loaded last, one screen pixel
// per picture pixel, its size, whether that size suits the simulator, and the
// picture weighted by its alpha on request. A double-click on the picture or
// Escape closes it. The environment editor loads the file (LoadPictureFile)
// and shows this window only when that succeeded.
//
// A picture larger than most of the screen is shown from its top-left corner
// with scroll bars beside and below it (always drawn, not the theme's
// overlay bars that appear only under the mouse): the bars, the mouse wheel
// (with Shift across), and the arrow keys, Page Up, Page Down, Home and End
// on the picture bring every pixel into view. Only the part in view is
// painted.

#include <wx/dialog.h>
#include <wx/image.h>

#include "simulator/picture_scroll.h"

class wxCheckBox;
class wxDC;
class wxScrollBar;
class wxStaticText;

class frmViewTexture : public wxDialog {
public:
    explicit frmViewTexture(wxWindow* owner);

    wxWindow* PictureBox() const { return pbMain; }
    // The scroll bars; nullptr along an axis on which the picture fits.
    wxScrollBar* HorizontalBar() const { return hsPicture; }
    wxScrollBar* VerticalBar() const { return vsPicture; }
    // The picture pixel at the box's top-left corner.
    wxPoint ViewOrigin() const { return wxPoint(scrollX_.Position, scrollY_.Position); }
    // Shows the picture from pixel (x, y) on, held to what the picture fills.
    void ScrollPicture(int x, int y);
    // Paints the box's `area` (client coordinates) as it stands.
    void RenderPicture(wxDC& dc, const wxRect& area) const;
    wxStaticText* WidthLabel() const { return lblWidth; }
    wxStaticText* HeightLabel() const { return lblHeight; }
    wxStaticText* SizeInfoLabel() const { return lblSizeInfo; }
    wxCheckBox* ShowAlphaBox() const { return chkShowAlpha; }
    // The picture as the box shows it.
    const wxImage& Shown() const { return shown_; }

    void chkShowAlpha_Click();
    void pbMain_DblClick();

private:
    void RefreshPicture();
    void UpdateScrollBars();
    void OnPictureKey(class wxKeyEvent& event);
    void OnPictureWheel(class wxMouseEvent& event);

    wxWindow* pbMain = nullptr;
    wxScrollBar* hsPicture = nullptr;
    wxScrollBar* vsPicture = nullptr;
    PictureScroll scrollX_, scrollY_;
    wxStaticText* lblWidth = nullptr;
    wxStaticText* lblHeight = nullptr;
    wxStaticText* lblSizeInfo = nullptr;
    wxCheckBox* chkShowAlpha = nullptr;
    wxImage shown_;
};

// Shows the viewer modally over its owner; once it is closed the loaded
// picture is released (ReleaseLoadedPicture).
void ShowViewTexture(wxWindow* owner);
