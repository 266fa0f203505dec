#include "tools/frm_t_move.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "controls/uc_container.h"
#include "controls/uc_numeric_text_box.h"

namespace {

frmTMove* gOpenMove = nullptr;

}  // namespace

frmTMove* frmTMove::Instance() { return gOpenMove; }

frmTMove::~frmTMove() {
    if (gOpenMove == this) gOpenMove = nullptr;
}

frmTMove::frmTMove(wxWindow* owner) : frmToolDialog(owner, "frmTMove") {
    gOpenMove = this;
    wxBoxSizer* settings = AddPanel(" Settings");
    AddNumericRow(settings, "Distance to Move:", kMoveAmountBox, "meters");
    chkMoveSupps = new wxCheckBox(LastPanel(), wxID_ANY, "Move Supports and Footers with Track");
    chkUpdateModel = new wxCheckBox(LastPanel(), wxID_ANY, "Update Model Every Move");
    settings->Add(chkMoveSupps, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);
    settings->Add(chkUpdateModel, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    // The buttons laid out as a compass, Up and Down beside it.
    wxBoxSizer* direction = AddPanel(" Direction");
    auto* grid = new wxGridSizer(3, 4, kToolMargin / 2, kToolMargin / 2);
    for (int i = 0; i < kMoveDirectionCount; ++i) {
        btnDirection[static_cast<size_t>(i)] = new wxButton(LastPanel(), wxID_ANY, kMoveDirectionCaptions[i]);
        btnDirection[static_cast<size_t>(i)]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { btnDirection_Click(i); });
    }
    const int layout[3][4] = {{-1, MoveNorth, -1, MoveUp},
                              {MoveWest, MoveAutoCenter, MoveEast, -1},
                              {-1, MoveSouth, -1, MoveDown}};
    for (const auto& row : layout)
        for (int cell : row) {
            if (cell < 0)
                grid->AddSpacer(0);
            else
                grid->Add(btnDirection[static_cast<size_t>(cell)], 0, wxEXPAND);
        }
    direction->Add(grid, 0, wxLEFT | wxRIGHT | wxBOTTOM, kToolMargin);

    AddButtons(false, true);
    btnDone = new wxButton(this, wxID_ANY, "Done");
    ButtonRow()->Insert(1, btnDone, 0, wxRIGHT, kToolMargin / 2);
    btnDone->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnDone_Click(); });
    btnDone->SetDefault();
    SetEscapeId(btnDone->GetId());  // Escape acts as Done

    // Form_Load: the control defaults.
    chkMoveSupps->SetValue(true);
    chkUpdateModel->SetValue(true);
    FinishLayout();
}

TrackMoveOptions frmTMove::Options() const {
    TrackMoveOptions options;
    options.MoveSupports = chkMoveSupps->GetValue();
    options.UpdateModel = chkUpdateModel->GetValue();
    return options;
}

void frmTMove::BoxChanged(int index) {
    frmToolDialog::BoxChanged(index);
    // The six moves follow the distance's range check; Auto-Center needs no distance.
    for (int i = 0; i < MoveAutoCenter; ++i) btnDirection[static_cast<size_t>(i)]->Enable(Form().OkEnabled());
}

void frmTMove::btnDirection_Click(int index) {
    if (!btnDirection.at(static_cast<size_t>(index))->IsEnabled()) return;
    session_.Click(index, Form().Value(0), Options());
}

void frmTMove::btnDone_Click() {
    if (gOpenMove != this) return;  // already finished, waiting to be destroyed
    session_.Done();
    Unload(wxID_OK);
}

void frmTMove::Unload(int result) {
    // Destroy waits for the next idle time; the tool counts as closed at once.
    if (gOpenMove == this) gOpenMove = nullptr;
    SetReturnCode(result);
    Destroy();
}
