#include "tools/frm_e_scale.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"

frmEScale::frmEScale(wxWindow* owner) : frmToolDialog(owner, "frmEScale") {
    wxBoxSizer* settings = AddPanel(" Scale Settings");
    settings->Add(new wxStaticText(LastPanel(), wxID_ANY, "Scale:"), 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    const char* axes[3] = {"X", "Y", "Z"};
    for (const char* axis : axes) AddNumericRow(settings, axis, kElementScaleBox, "%");
    AddButtons();
    FinishLayout();
}

ElementScaleOptions frmEScale::Options() const {
    ElementScaleOptions options;
    for (int i = 0; i < 3; ++i) options.Percent[i] = Form().Value(i);
    return options;
}
