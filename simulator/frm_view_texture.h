#pragma once
// frmViewTexture ("View Texture..."): the picture loaded last, one screen pixel
// per picture pixel, its size, whether that size suits the simulator, and the
// picture weighted by its alpha on request. A double-click on the picture or
// Escape closes it. The environment editor loads the file (LoadPictureFile)
// and shows this window only when that succeeded.

#include <wx/image.h>
#include <wx/dialog.h>
#include <wx/scrolwin.h>

class wxCheckBox;

class wxStaticText;

class frmViewTexture : public wxDialog {
public:
    explicit frmViewTexture(wxWindow* owner);

    wxScrolledCanvas* PictureBox() const { return pbMain; }
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

    wxScrolledCanvas* pbMain = nullptr;
    wxStaticText* lblWidth = nullptr;
    wxStaticText* lblHeight = nullptr;
    wxStaticText* lblSizeInfo = nullptr;
    wxCheckBox* chkShowAlpha = nullptr;
    wxImage shown_;
};

// Shows the viewer modally over its owner; once it is closed the loaded
// picture is released (ReleaseLoadedPicture).
void ShowViewTexture(wxWindow* owner);
