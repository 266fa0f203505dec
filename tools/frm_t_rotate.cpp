#include "tools/frm_t_rotate.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"

frmTRotate::frmTRotate(wxWindow* owner) : frmToolDialog(owner, "frmTRotate") {
    wxBoxSizer* settings = AddPanel(" Rotation Settings");
    AddNumericRow(settings, "Rotate Track:", kTrackRotateBox, "degrees");
    optDirection[0] = new wxRadioButton(LastPanel(), wxID_ANY, "Clock-Wise", wxDefaultPosition, wxDefaultSize,
                                        wxRB_GROUP);
    optDirection[1] = new wxRadioButton(LastPanel(), wxID_ANY, "Counter Clock-Wise");
    chkRotateSupps = new wxCheckBox(LastPanel(), wxID_ANY, "Rotate Supports and Footers with Track");
    settings->Add(optDirection[0], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    settings->Add(optDirection[1], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    settings->Add(chkRotateSupps, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddButtons();
    optDirection[0]->SetValue(true);
    chkRotateSupps->SetValue(true);
    FinishLayout();
}

TrackRotateOptions frmTRotate::Options() const {
    TrackRotateOptions options;
    options.Degrees = Form().Value(0);
    options.ClockWise = optDirection[0]->GetValue();
    options.RotateSupports = chkRotateSupps->GetValue();
    return options;
}
