#include "tools/frm_t_support_flanger.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"

namespace {

enum FlangerBox { kMinTube, kSize, kDist, kMinSplit, kSplit };

}  // namespace

frmTSupportFlanger::frmTSupportFlanger(wxWindow* owner) : frmToolDialog(owner, "frmTSupportFlanger") {
    wxBoxSizer* tubes = AddPanel(" Flanges");
    chkUseFooters = new wxCheckBox(LastPanel(), wxID_ANY, "Create Flanges on Tube that use FUND Nodes (Footers)");
    chkUseRasc = new wxCheckBox(LastPanel(), wxID_ANY, "Create Flanges on Tube that use RASC Nodes (Track Nodes)");
    tubes->Add(chkUseFooters, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    tubes->Add(chkUseRasc, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddNumericRow(tubes, "Minimum Length of Tube to put End Flanges on:", kFlangeMinTubeBox, "meters.");
    AddNumericRow(tubes, "Size of Flanges:", kFlangeSizeBox, "meters.");
    AddNumericRow(tubes, "Distance from Edge of Tube to Place Flanges:", kFlangeDistBox, "meters.");

    wxBoxSizer* middle = AddPanel(" Middle Flanges");
    chkMakeMiddle = new wxCheckBox(LastPanel(), wxID_ANY, "Create Middle Flanges on Long Tubes");
    middle->Add(chkMakeMiddle, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    auto* grid = new wxFlexGridSizer(3, kToolMargin / 2, kToolMargin);
    middle->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    lblMiddle[0] = new wxStaticText(LastPanel(), wxID_ANY, "Minimum Length of Tube to put Middle Flanges on:");
    lblMiddle[1] = new wxStaticText(LastPanel(), wxID_ANY, "Middle Flange Spacing Distance:");
    lblMiddle[2] = new wxStaticText(LastPanel(), wxID_ANY, "meters.");
    lblMiddle[3] = new wxStaticText(LastPanel(), wxID_ANY, "meters.");
    for (int row = 0; row < 2; ++row) {
        grid->Add(lblMiddle[static_cast<size_t>(row)], 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(AddNumericBox(row == 0 ? kFlangeMinSplitBox : kFlangeSplitBox), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(lblMiddle[static_cast<size_t>(row + 2)], 0, wxALIGN_CENTER_VERTICAL);
    }
    chkMakeMiddle->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { chkMakeMiddle_Click(); });
    AddButtons();
    chkUseFooters->SetValue(true);
    chkUseRasc->SetValue(true);
    chkMakeMiddle->SetValue(true);
    chkMakeMiddle_Click();
    FinishLayout();
}

void frmTSupportFlanger::chkMakeMiddle_Click() {
    const bool on = chkMakeMiddle->GetValue();
    for (wxStaticText* label : lblMiddle) label->Enable(on);
    NumericBox(kMinSplit)->Enable(on);
    NumericBox(kSplit)->Enable(on);
}

SupportFlangerOptions frmTSupportFlanger::Options() const {
    SupportFlangerOptions o;
    o.UseFooters = chkUseFooters->GetValue();
    o.UseRasc = chkUseRasc->GetValue();
    o.MinTubeLength = Form().Value(kMinTube);
    o.FlangeSize = Form().Value(kSize);
    o.FlangeDist = Form().Value(kDist);
    o.MakeMiddle = chkMakeMiddle->GetValue();
    o.MinSplitLength = Form().Value(kMinSplit);
    o.SplitLength = Form().Value(kSplit);
    return o;
}

void ShowTSupportFlangerDialog(wxWindow* owner) {
    frmTSupportFlanger dialog(owner);
    dialog.ShowModal();
}
