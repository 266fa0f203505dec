#include "tools/frm_e_reverse.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "tools/element_transforms.h"

frmEReverse::frmEReverse(wxWindow* owner) : frmToolDialog(owner, "frmEReverse") {
    lblInfo = new wxStaticText(this, wxID_ANY, wxString());
    Column()->Add(lblInfo, 0, wxLEFT | wxRIGHT | wxTOP, 2 * kToolMargin);
    AddButtons();
    // Form_Load.
    lblInfo->SetLabel(kReverseInfoText);
    SetOkayEnabled(ReverseOkEnabled());
    FinishLayout();
}

bool frmEReverse::ApplyTool() { return RunElementReverse(); }
