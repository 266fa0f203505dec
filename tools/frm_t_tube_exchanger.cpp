#include "tools/frm_t_tube_exchanger.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "tools/segment_attributes.h"

frmTTubeExchanger::frmTTubeExchanger(wxWindow* owner) : frmToolDialog(owner, "frmTTubeExchanger") {
    wxBoxSizer* panel = AddPanel(" Exhange Tube Types");
    wxArrayString entries;
    for (int position = 0; position < kTubeListSize; ++position)
        entries.Add(wxString::FromUTF8(TubeListEntry(position)));
    cmbFrom = new wxChoice(LastPanel(), wxID_ANY, wxDefaultPosition, wxDefaultSize, entries);
    cmbTo = new wxChoice(LastPanel(), wxID_ANY, wxDefaultPosition, wxDefaultSize, entries);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(LastPanel(), wxID_ANY, "Exhcange"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kToolMargin);
    row->Add(cmbFrom, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kToolMargin);
    row->Add(new wxStaticText(LastPanel(), wxID_ANY, "for"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kToolMargin);
    row->Add(cmbTo, 0, wxALIGN_CENTER_VERTICAL);
    panel->Add(row, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    for (wxChoice* list : {cmbFrom, cmbTo}) list->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { cmbList_Click(); });
    AddButtons();
    // Form_Load: both lists at their first entry, each selection running the rule.
    cmbFrom->SetSelection(0);
    cmbList_Click();
    cmbTo->SetSelection(0);
    cmbList_Click();
    FinishLayout();
}

void frmTTubeExchanger::cmbList_Click() {
    SetOkayEnabled(TubeExchangeOkEnabled(cmbFrom->GetSelection(), cmbTo->GetSelection()));
}

bool frmTTubeExchanger::ApplyTool() { return RunTubeExchanger(cmbFrom->GetSelection(), cmbTo->GetSelection()); }

void ShowTTubeExchangerDialog(wxWindow* owner) {
    frmTTubeExchanger dialog(owner);
    dialog.ShowModal();
}
