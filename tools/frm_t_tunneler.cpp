#include "tools/frm_t_tunneler.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

frmTTunneler::frmTTunneler(wxWindow* owner) : frmToolDialog(owner, "frmTTunneler") {
    const TunnelerOptions defaults;
    for (size_t k = 0; k < chkNeverTunnel.size(); ++k) {
        chkNeverTunnel[k] = new wxCheckBox(this, wxID_ANY, kNeverTunnelCaptions[k]);
        chkNeverTunnel[k]->SetValue(defaults.NeverTunnel[k]);
        Column()->Add(chkNeverTunnel[k], 0, wxLEFT | wxRIGHT | wxTOP, kToolMargin);
    }
    auto* actions = new wxBoxSizer(wxHORIZONTAL);
    for (size_t k = 0; k < btnTunneler.size(); ++k) {
        btnTunneler[k] = new wxButton(this, wxID_ANY, kTunnelActionCaptions[k]);
        btnTunneler[k]->Bind(wxEVT_BUTTON, [this, k](wxCommandEvent&) { btnTunneler_Click(static_cast<int>(k)); });
        actions->Add(btnTunneler[k], 1, wxRIGHT, kToolMargin / 2);
    }
    Column()->Add(actions, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kToolMargin);
    AddButtons(false, true);
    btnCancel = new wxButton(this, wxID_CANCEL, "Cancel");
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    ButtonRow()->Insert(1, btnCancel, 0, wxRIGHT, kToolMargin / 2);
    FinishLayout();
}

TunnelerOptions frmTTunneler::Options() const {
    TunnelerOptions options;
    for (size_t k = 0; k < chkNeverTunnel.size(); ++k) options.NeverTunnel[k] = chkNeverTunnel[k]->GetValue();
    return options;
}

void frmTTunneler::btnTunneler_Click(int index) {
    if (RunTunneler(static_cast<TunnelAction>(index), Options())) Unload(wxID_OK);
}

void ShowTTunnelerDialog(wxWindow* owner) {
    frmTTunneler dialog(owner);
    dialog.ShowModal();
}
