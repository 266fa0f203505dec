#include "tools/frm_t_support_optimizer.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "trackdoc/track_document.h"

frmTSupportOptimizer::frmTSupportOptimizer(wxWindow* owner) : frmToolDialog(owner, "frmTSupportOptimizer") {
    lblInfo = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(OptimizerInfoText(gTubeCount)));
    chkCleanUp = new wxCheckBox(this, wxID_ANY, "Remove Unused Free Nodes and Footers");
    Column()->Add(lblInfo, 0, wxLEFT | wxRIGHT | wxTOP, kToolMargin);
    Column()->Add(chkCleanUp, 0, wxLEFT | wxRIGHT | wxTOP, kToolMargin);
    AddButtons();
    chkCleanUp->SetValue(true);
    SetOkayEnabled(OptimizerOkEnabled(gTubeCount));
    FinishLayout();
}

bool frmTSupportOptimizer::ApplyTool() { return RunSupportOptimizer(chkCleanUp->GetValue()); }

void ShowTSupportOptimizerDialog(wxWindow* owner) {
    frmTSupportOptimizer dialog(owner);
    dialog.ShowModal();
}
