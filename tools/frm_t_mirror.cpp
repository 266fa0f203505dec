#include "tools/frm_t_mirror.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "controls/uc_container.h"

frmTMirror::frmTMirror(wxWindow* owner) : frmToolDialog(owner, "frmTMirror") {
    wxBoxSizer* settings = AddPanel(" Mirror Settings");
    chkMirror[0] = new wxCheckBox(LastPanel(), wxID_ANY, "Mirror X Coordinates (East/West)");
    chkMirror[1] = new wxCheckBox(LastPanel(), wxID_ANY, "Mirror Z Coordinates (North/South)");
    chkMirrorSupps = new wxCheckBox(LastPanel(), wxID_ANY, "Mirror Supports and Footers with Track");
    for (wxCheckBox* box : {chkMirror[0], chkMirror[1], chkMirrorSupps})
        settings->Add(box, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    for (wxCheckBox* box : chkMirror) box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { chkMirror_Click(); });
    AddButtons();
    chkMirror[0]->SetValue(false);
    chkMirror[1]->SetValue(false);
    chkMirrorSupps->SetValue(true);
    // Setting the boxes from code raises no click: run the rule for the defaults
    // here, which leaves OK disabled until an axis is ticked.
    chkMirror_Click();
    FinishLayout();
}

void frmTMirror::chkMirror_Click() { SetOkayEnabled(MirrorOkEnabled(chkMirror[0]->GetValue(), chkMirror[1]->GetValue())); }

TrackMirrorOptions frmTMirror::Options() const {
    TrackMirrorOptions options;
    options.MirrorX = chkMirror[0]->GetValue();
    options.MirrorZ = chkMirror[1]->GetValue();
    options.MirrorSupports = chkMirrorSupps->GetValue();
    return options;
}
