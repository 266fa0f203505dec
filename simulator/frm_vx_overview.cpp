#include "simulator/frm_vx_overview.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "controls/dialog_buttons.h"
#include "controls/dialog_end.h"
#include "controls/uc_draw.h"
#include "core/app_state.h"
#include "core/help_launcher.h"
#include "simulator/installation_report.h"

void ShowVXOverviewDialog(wxWindow* owner) {
    frmVXOverview dialog(owner);
    dialog.ShowModal();
}

frmVXOverview::frmVXOverview(wxWindow* owner) : wxDialog(owner, wxID_ANY, "Vortaxis: Overview") {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);
    txtInfo = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(620, 300),
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
    txtInfo->SetFont(wxFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE).FaceName("Courier New")));
    top->Add(txtInfo, 1, wxEXPAND | wxALL, 8);
    top->Add(MakeEndButtonRow(this, 4, &btnOkay, nullptr, &btnHelp), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    btnOkay->SetDefault();
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_OK); });
    btnHelp->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { ShowHelpTopic("vx_overview"); });

    // The report as the text box shows it: its own line breaks.
    wxString report = wxString::FromUTF8(BuildReport(gSimPath));
    report.Replace("\r\n", "\n");
    txtInfo->SetValue(report);
    SetSizerAndFit(top);
    CentreOnParent();
}
