#include "tools/frm_e_pitch.h"

#include <wx/sizer.h>

#include "tools/element_transforms.h"

frmEPitch::frmEPitch(wxWindow* owner) : frmToolDialog(owner, "frmEPitch") {
    wxBoxSizer* settings = AddPanel(" Pitch Settings");
    AddNumericRow(settings, "Pitch Element:", kElementTurnBox, "degrees");
    AddButtons();
    FinishLayout();
}

bool frmEPitch::ApplyTool() { return RunElementPitch(Degrees()); }
