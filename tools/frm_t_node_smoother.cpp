#include "tools/frm_t_node_smoother.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "controls/uc_container.h"
#include "tools/segment_attributes.h"

frmTNodeSmoother::frmTNodeSmoother(wxWindow* owner) : frmToolDialog(owner, "frmTNodeSmoother") {
    wxBoxSizer* application = AddPanel(" Application");
    for (size_t i = 0; i < optApplyTo.size(); ++i) {
        optApplyTo[i] = new wxRadioButton(LastPanel(), wxID_ANY, kSmootherApplicationCaptions[i], wxDefaultPosition,
                                          wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
        application->Add(optApplyTo[i], 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    }
    wxBoxSizer* settings = AddPanel(" Smoother Settings");
    for (size_t i = 0; i < chkSmoothOpt.size(); ++i) {
        chkSmoothOpt[i] = new wxCheckBox(LastPanel(), wxID_ANY, kSmootherOptionCaptions[i]);
        chkSmoothOpt[i]->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { chkSmoothOpt_Click(); });
        // "Depump" stands indented under the box it depends on.
        settings->Add(chkSmoothOpt[i], 0, wxRIGHT | wxBOTTOM | wxLEFT, i == 2 ? 3 * kToolMargin : kToolMargin);
    }
    AddButtons();
    chkSmoothOpt[2]->Enable(false);
    // Form_Load: the selection-based choices only with a selection, and then the last.
    const bool anySelected = SelectedSegmentCount() > 0;
    optApplyTo[1]->Enable(anySelected);
    optApplyTo[2]->Enable(anySelected);
    optApplyTo[anySelected ? 2 : 0]->SetValue(true);
    FinishLayout();
}

void frmTNodeSmoother::chkSmoothOpt_Click() {
    const SmootherOptionBoxes boxes =
        SmootherBoxesAfterClick(chkSmoothOpt[1]->GetValue(), chkSmoothOpt[2]->GetValue());
    chkSmoothOpt[2]->Enable(boxes.DepumpEnabled);
    chkSmoothOpt[2]->SetValue(boxes.DepumpChecked);
}

NodeSmootherOptions frmTNodeSmoother::Options() const {
    NodeSmootherOptions options;
    for (size_t i = 0; i < optApplyTo.size(); ++i)
        if (optApplyTo[i]->GetValue()) options.Application = static_cast<SmootherApplication>(i);
    options.PreserveStraightBunnyhills = chkSmoothOpt[0]->GetValue();
    options.PreferEqualLengths = chkSmoothOpt[1]->GetValue();
    options.Depump = options.PreferEqualLengths && chkSmoothOpt[2]->GetValue();
    return options;
}

void ShowTNodeSmootherDialog(wxWindow* owner) {
    frmTNodeSmoother dialog(owner);
    dialog.ShowModal();
}
