#include "tools/frm_t_scale.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"

frmTScale::frmTScale(wxWindow* owner) : frmToolDialog(owner, "frmTScale") {
    wxBoxSizer* settings = AddPanel(" Scale Settings");
    settings->Add(new wxStaticText(LastPanel(), wxID_ANY, "Scale:"), 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    const char* axes[3] = {"X", "Y", "Z"};
    for (const char* axis : axes) AddNumericRow(settings, axis, kTrackScaleBox, "%");
    chkScaleSupp = new wxCheckBox(LastPanel(), wxID_ANY, "Scale Supports and Footers with Track");
    settings->Add(chkScaleSupp, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddButtons();
    chkScaleSupp->SetValue(true);
    FinishLayout();
}

TrackScaleOptions frmTScale::Options() const {
    TrackScaleOptions options;
    for (int i = 0; i < 3; ++i) options.Percent[i] = Form().Value(i);
    options.ScaleSupports = chkScaleSupp->GetValue();
    return options;
}
