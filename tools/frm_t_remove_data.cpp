#include "tools/frm_t_remove_data.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "controls/uc_container.h"
#include "controls/uc_draw.h"

namespace {

using B = RemoveBox;

// The masters of the groups stand at the left; the boxes they govern are indented.
bool IsMaster(RemoveBox box) {
    switch (box) {
        case B::Track: case B::Terrain: case B::Trees: case B::Objects: case B::Environment: case B::FreeNodes:
        case B::Footers: case B::Catwalks: case B::Prefabs: case B::Beams: case B::OrphanBeams: case B::Comments:
            return true;
        default:
            return false;
    }
}

int Indent(RemoveBox box) {
    if (IsMaster(box)) return 0;
    // The per-type beams stand under Steel Beams and Wood Beams.
    if (static_cast<int>(box) > static_cast<int>(B::WoodBeams) && box != B::OrphanBeams) return 32;
    return 16;
}

}  // namespace

frmTRemoveData::frmTRemoveData(wxWindow* owner) : frmToolDialog(owner, "frmTRemoveData") {
    const auto& panels = RemoveDataPanels();
    // Three columns: track, scenery and other stuff; the additional and
    // prefabricated supports; the support beams.
    const int columnOf[6] = {0, 0, 1, 1, 2, 0};
    const int order[6] = {0, 1, 5, 2, 3, 4};
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* column[3];
    for (wxBoxSizer*& c : column) {
        c = new wxBoxSizer(wxVERTICAL);
        columns->Add(c, 0, wxLEFT | wxRIGHT, kToolMargin / 2);
    }
    for (int p : order) {
        const RemovePanel& panel = panels[static_cast<size_t>(p)];
        auto* container = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, panel.Title);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(container)) + 6);
        for (int i = 0; i < panel.BoxCount; ++i) {
            const RemoveBox box = panel.Boxes[static_cast<size_t>(i)];
            auto* check = new wxCheckBox(container, wxID_ANY, wxString::FromUTF8(RemoveBoxCaption(box)));
            check->Bind(wxEVT_CHECKBOX, [this, box](wxCommandEvent&) { chkRemove_Click(box); });
            boxes_[static_cast<size_t>(box)] = check;
            auto* row = new wxBoxSizer(wxHORIZONTAL);
            row->AddSpacer(kToolMargin + Indent(box));
            row->Add(check, 0, wxRIGHT, kToolMargin);
            sizer->Add(row, 0, wxBOTTOM, kToolMargin / 2);
        }
        sizer->AddSpacer(kToolMargin / 2);
        container->SetSizer(sizer);
        column[columnOf[p]]->Add(container, 0, wxEXPAND | wxTOP, kToolMargin);
    }
    Column()->Add(columns, 0, wxLEFT | wxRIGHT, kToolMargin / 2);

    AddButtons();
    btnSelAll = new wxButton(this, wxID_ANY, kRemoveSelectAllCaption);
    btnUnSellAll = new wxButton(this, wxID_ANY, kRemoveUnselectAllCaption);
    ButtonRow()->Insert(0, btnSelAll, 0, wxRIGHT, kToolMargin / 2);
    ButtonRow()->Insert(1, btnUnSellAll, 0, wxRIGHT, kToolMargin / 2);
    btnSelAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetAllRemoveChecks(1); });
    btnUnSellAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetAllRemoveChecks(0); });
    ShowForm();
    FinishLayout();
}

void frmTRemoveData::chkRemove_Click(RemoveBox box) {
    form_.SetValue(box, Box(box)->GetValue() ? 1 : 0);
    ShowForm();
}

void frmTRemoveData::SetAllRemoveChecks(int value) {
    form_.SetAllRemoveChecks(value);
    ShowForm();
}

void frmTRemoveData::ShowForm() {
    for (int i = 0; i < kRemoveBoxCount; ++i) {
        const auto box = static_cast<RemoveBox>(i);
        boxes_[static_cast<size_t>(i)]->SetValue(form_.Checked(box));
        boxes_[static_cast<size_t>(i)]->Enable(form_.Enabled(box));
    }
}

bool frmTRemoveData::ApplyTool() {
    RunRemoveData(form_);
    return true;
}

void ShowTRemoveDataDialog(wxWindow* owner) {
    frmTRemoveData dialog(owner);
    dialog.ShowModal();
}
