#include "tools/frm_t_backwards_builder.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

#include "tools/track_reorder.h"

frmTBackwardsBuilder::frmTBackwardsBuilder(wxWindow* owner) : frmToolDialog(owner, "frmTBackwardsBuilder") {
    lblInfo = new wxStaticText(this, wxID_ANY, kBackwardsInfoText);
    Column()->Add(lblInfo, 0, wxLEFT | wxRIGHT | wxTOP, 2 * kToolMargin);
    AddButtons();
    FinishLayout();
}

bool frmTBackwardsBuilder::ApplyTool() { return RunBackwardsRebuilder(); }

void ShowTBackwardsBuilderDialog(wxWindow* owner) {
    frmTBackwardsBuilder dialog(owner);
    dialog.ShowModal();
}
