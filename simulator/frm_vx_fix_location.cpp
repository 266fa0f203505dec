#include "simulator/frm_vx_fix_location.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "controls/dialog_buttons.h"
#include "controls/dialog_end.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "core/help_launcher.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "simulator/simulator_location.h"

void ShowVXFixLocationDialog(wxWindow* owner) {
    frmVXFixLocation dialog(owner);
    dialog.ShowModal();
}

frmVXFixLocation::frmVXFixLocation(wxWindow* owner) : wxDialog(owner, wxID_ANY, "Vortaxis: Fix Location") {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* panel = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, "Location");
    auto* inner = new wxBoxSizer(wxVERTICAL);
    inner->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel)) + 6);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    txtCurPath = new wxTextCtrl(panel, wxID_ANY, wxString(), wxDefaultPosition, wxSize(380, -1));
    btnBrowse = new wxButton(panel, wxID_ANY, "Browse");
    row->Add(txtCurPath, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    row->Add(btnBrowse, 0, wxALIGN_CENTER_VERTICAL);
    inner->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    panel->SetSizer(inner);
    top->Add(panel, 0, wxEXPAND | wxALL, 8);

    top->Add(MakeEndButtonRow(this, 4, &btnOkay, &btnCancel, &btnHelp), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);

    txtCurPath->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { txtCurPath_Change(); });
    btnBrowse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnBrowse_Click(); });
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); });
    btnHelp->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { ShowHelpTopic("vx_fixlocation"); });

    txtCurPath->ChangeValue(wxString::FromUTF8(gSimPath));
    txtCurPath_Change();
    SetSizerAndFit(top);
    CentreOnParent();
}

void frmVXFixLocation::txtCurPath_Change() {
    btnOkay->Enable(IsSimulatorFolder(txtCurPath->GetValue().utf8_string()));
}

void frmVXFixLocation::btnBrowse_Click() {
    std::string fileName, fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, "Vortaxis Simulator|vortaxissimulator.exe",
                            filterIndex, gSimPath, "Locate Vortaxis Simulator...", "exe", this, flags)) {
        return;
    }
    txtCurPath->ChangeValue(wxString::FromUTF8(FolderOfPickedFile(fileName)));
    txtCurPath_Change();
}

void frmVXFixLocation::btnOkay_Click() {
    // A relative folder is stored made absolute, and the box shows what is stored.
    const std::string folder = SimulatorLocationToStore(txtCurPath->GetValue().utf8_string());
    if (folder != txtCurPath->GetValue().utf8_string()) txtCurPath->ChangeValue(wxString::FromUTF8(folder));
    errno = 0;
    if (!StoreSimulatorLocation(folder)) {
        const std::string reason = RegWriteFailureReason(errno);
        MsgBox("Could Not Save the Simulator's Location!\n\nThe registry store could not be written." +
                   (reason.empty() ? "" : " " + reason),
               "Error!", MsgButtons::OK, MsgIcon::Critical);
        return;
    }
    FinishDialog(*this, wxID_OK);
}
