#pragma once
// Vortaxis > Fix Location: the simulator's folder, stored for the program's
// next start and for the simulator's own tools.

#include <wx/dialog.h>

class wxButton;
class wxTextCtrl;

class frmVXFixLocation : public wxDialog {
public:
    explicit frmVXFixLocation(wxWindow* owner);

    wxTextCtrl* txtCurPath = nullptr;
    wxButton* btnBrowse = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnCancel = nullptr;
    wxButton* btnHelp = nullptr;

    void txtCurPath_Change();
    void btnBrowse_Click();
    void btnOkay_Click();
};

void ShowVXFixLocationDialog(wxWindow* owner);
