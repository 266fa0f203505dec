#include "tools/frm_e_tilt.h"

#include <wx/sizer.h>

#include "tools/element_transforms.h"

frmETilt::frmETilt(wxWindow* owner) : frmToolDialog(owner, "frmETilt") {
    wxBoxSizer* settings = AddPanel(" Tilt Settings");
    AddNumericRow(settings, "Tilt Element:", kElementTurnBox, "degrees");
    AddButtons();
    FinishLayout();
}

bool frmETilt::ApplyTool() { return RunElementTilt(Degrees()); }
