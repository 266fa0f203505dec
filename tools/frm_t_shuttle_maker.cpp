#include "tools/frm_t_shuttle_maker.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

#include "tools/track_reorder.h"

frmTShuttleMaker::frmTShuttleMaker(wxWindow* owner) : frmToolDialog(owner, "frmTShuttleMaker") {
    lblInfo = new wxStaticText(this, wxID_ANY, wxString());
    Column()->Add(lblInfo, 0, wxLEFT | wxRIGHT | wxTOP, 2 * kToolMargin);
    AddButtons();
    // Form_Load.
    lblInfo->SetLabel(ShuttleInfoText());
    SetOkayEnabled(ShuttleOkEnabled());
    FinishLayout();
}

bool frmTShuttleMaker::ApplyTool() { return RunShuttleBuilder(); }

void ShowTShuttleMakerDialog(wxWindow* owner) {
    frmTShuttleMaker dialog(owner);
    dialog.ShowModal();
}
