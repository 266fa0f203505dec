#include "tools/frm_t_terrain_poly_reducer.h"

#include <cmath>
#include <string>

#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"
#include "tools/terrain_poly_reducer.h"

namespace {

// A row "label value" of a two-column grid.
wxStaticText* AddLabelRow(wxWindow* panel, wxFlexGridSizer* grid, const char* label) {
    grid->Add(new wxStaticText(panel, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    auto* value = new wxStaticText(panel, wxID_ANY, wxString());
    grid->Add(value, 0, wxALIGN_CENTER_VERTICAL);
    return value;
}

}  // namespace

frmTTerrainPolyReducer::frmTTerrainPolyReducer(wxWindow* owner) : frmToolDialog(owner, "frmTTerrainPolyReducer") {
    wxBoxSizer* current = AddPanel(" Current Terrain Data");
    auto* currentGrid = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin);
    lblCurrentGrid = AddLabelRow(LastPanel(), currentGrid, "Detail Grid Size:");
    lblCurrentPolys = AddLabelRow(LastPanel(), currentGrid, "Poly Count:");
    current->Add(currentGrid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    wxBoxSizer* next = AddPanel(" New Terrain Data");
    auto* newGrid = new wxFlexGridSizer(2, kToolMargin / 2, kToolMargin);
    newGrid->Add(new wxStaticText(LastPanel(), wxID_ANY, "Detail Grid Size:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* sizes = new wxBoxSizer(wxHORIZONTAL);
    ucNumericTextBox* width = AddNumericBox(kTerrainSizeBox, 50);
    ucNumericTextBox* depth = AddNumericBox(kTerrainSizeBox, 50);
    sizes->Add(width, 0, wxALIGN_CENTER_VERTICAL);
    sizes->Add(new wxStaticText(LastPanel(), wxID_ANY, "x"), 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT,
               kToolMargin / 2);
    sizes->Add(depth, 0, wxALIGN_CENTER_VERTICAL);
    newGrid->Add(sizes, 0, wxALIGN_CENTER_VERTICAL);
    lblNewPolys = AddLabelRow(LastPanel(), newGrid, "New Poly Count:");
    lblSavedPolys = AddLabelRow(LastPanel(), newGrid, "Poly's Removed:");
    next->Add(newGrid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    AddButtons();

    // Form_Load: the current data, then half the size proposed; setting each
    // text runs its change, which fills the counts and enables OK.
    ShowCurrentTerrainData();
    width->SetValue(std::to_string(ProposedTerrainWidth()));
    depth->SetValue(std::to_string(ProposedTerrainDepth()));
    FinishLayout();
}

void frmTTerrainPolyReducer::ShowCurrentTerrainData() {
    lblCurrentGrid->SetLabel(CurrentTerrainGridText());
    lblCurrentPolys->SetLabel(CurrentTerrainPolysText());
}

void frmTTerrainPolyReducer::UpdateNewPolyCount() {
    const TerrainCountTexts texts = TerrainCountsFor(Form().Value(0), Form().Value(1));
    lblNewPolys->SetLabel(wxString::FromUTF8(texts.NewPolys));
    lblSavedPolys->SetLabel(wxString::FromUTF8(texts.SavedPolys));
}

void frmTTerrainPolyReducer::BoxChanged(int index) {
    frmToolDialog::BoxChanged(index);
    if (Form().OkEnabled()) {
        UpdateNewPolyCount();
    } else {
        lblNewPolys->SetLabel("-");
        lblSavedPolys->SetLabel("-");
    }
}

bool frmTTerrainPolyReducer::ApplyTool() {
    return RunTerrainPolyReducer(static_cast<int32_t>(std::lround(Form().Value(0))),
                                 static_cast<int32_t>(std::lround(Form().Value(1))));
}

void ShowTTerrainPolyReducerDialog(wxWindow* owner) {
    frmTTerrainPolyReducer dialog(owner);
    dialog.ShowModal();
}
