#include "tools/frm_t_support_wizard.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "tools/track_statistics.h"
#include "trackdoc/track_document.h"

namespace {

// Empties the list, fills it with the six styles and selects `style`.
void FillStyles(wxChoice* list, int32_t style) {
    list->Clear();
    for (int32_t s : kWizardStyles) list->Append(wxString::FromUTF8(SupportTypeName(s)));
    list->SetSelection(style - kWizardStyles[0]);
}

int32_t StyleOf(const wxChoice* list) { return std::max(list->GetSelection(), 0) + kWizardStyles[0]; }

}  // namespace

frmTSupportWizard::frmTSupportWizard(wxWindow* owner) : frmToolDialog(owner, "frmTSupportWizard") {
    const SupportWizardOptions defaults = DefaultWizardOptions(gTrackStyle);

    wxBoxSizer* first = AddPanel(" Default Support");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    cmbDefault = new wxChoice(LastPanel(), wxID_ANY);
    row->Add(new wxStaticText(LastPanel(), wxID_ANY, "Default Prefab Style:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT,
             kToolMargin);
    row->Add(cmbDefault, 0);
    first->Add(row, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddNumericRow(first, "Create a Support Every", kWizardDistanceBox, "meters.");
    chkRemRasc = new wxCheckBox(LastPanel(), wxID_ANY, "Remove All Prefabricated Supports Before Starting");
    first->Add(chkRemRasc, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    wxBoxSizer* second = AddPanel(" Change Supports");
    auto* grid = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin);
    second->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    const char* captions[3] = {"Change Support on Lift Segments to:", "Change Support on Transprot Segments to:",
                               "Change Support on Brake Segments to:"};
    for (int k = 0; k < 3; ++k) {
        chkChange[k] = new wxCheckBox(LastPanel(), wxID_ANY, captions[k]);
        cmbChange[k] = new wxChoice(LastPanel(), wxID_ANY);
        grid->Add(chkChange[k], 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(cmbChange[k], 0);
    }
    chkUseBank[0] = new wxCheckBox(LastPanel(), wxID_ANY, "Use Banking to Change to 90deg Bank Style Prefrab");
    chkUseBank[1] = new wxCheckBox(LastPanel(), wxID_ANY, "Use Banking to Change Support When Track Inverts");
    for (wxCheckBox* box : chkUseBank) second->Add(box, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddButtons();

    FillStyles(cmbDefault, defaults.DefaultStyle);
    for (int k = 0; k < 3; ++k) {
        FillStyles(cmbChange[k], defaults.ChangeStyle[k]);
        chkChange[k]->SetValue(defaults.Change[k]);
    }
    chkRemRasc->SetValue(defaults.RemoveAll);
    chkUseBank[0]->SetValue(defaults.UseBank90);
    chkUseBank[1]->SetValue(defaults.UseBankInvert);
    FinishLayout();
}

SupportWizardOptions frmTSupportWizard::Options() const {
    SupportWizardOptions o;
    o.DefaultStyle = StyleOf(cmbDefault);
    o.Distance = Form().Value(0);
    o.RemoveAll = chkRemRasc->GetValue();
    for (int k = 0; k < 3; ++k) {
        o.Change[k] = chkChange[k]->GetValue();
        o.ChangeStyle[k] = StyleOf(cmbChange[k]);
    }
    o.UseBank90 = chkUseBank[0]->GetValue();
    o.UseBankInvert = chkUseBank[1]->GetValue();
    return o;
}

void ShowTSupportWizardDialog(wxWindow* owner) {
    frmTSupportWizard dialog(owner);
    dialog.ShowModal();
}
