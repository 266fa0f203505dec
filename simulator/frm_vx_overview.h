#pragma once
// Vortaxis > Overview: the installation report in a read-only fixed-pitch box.

#include <wx/dialog.h>

class wxButton;
class wxTextCtrl;

class frmVXOverview : public wxDialog {
public:
    explicit frmVXOverview(wxWindow* owner);

    wxTextCtrl* txtInfo = nullptr;
    wxButton* btnOkay = nullptr;
    wxButton* btnHelp = nullptr;
};

void ShowVXOverviewDialog(wxWindow* owner);
