#pragma once
// frmTRemoveData: Track > Remove Data. Check boxes in six titled panels, one
// per kind of data to delete, with Select All and Unselect All; OK removes the
// checked kinds (remove_data.h). The boxes' linked rules live in a
// RemoveDataForm: every click, and every value set by the buttons, goes
// through it, and the boxes then show its values and enabled states (the
// toolkit raises no click when code sets a box, so the rules are called
// here explicitly).

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/remove_data.h"

class wxCheckBox;

class frmTRemoveData : public frmToolDialog {
public:
    explicit frmTRemoveData(wxWindow* owner);

    wxCheckBox* Box(RemoveBox box) const { return boxes_.at(static_cast<size_t>(box)); }
    wxButton* SelectAllButton() const { return btnSelAll; }
    wxButton* UnselectAllButton() const { return btnUnSellAll; }
    const RemoveDataForm& Form() const { return form_; }

    // A box's click (its value already turned by the toolkit).
    void chkRemove_Click(RemoveBox box);
    void SetAllRemoveChecks(int value);

protected:
    bool ApplyTool() override;

private:
    // Every box shows the form's value and enabled state.
    void ShowForm();

    RemoveDataForm form_;
    std::array<wxCheckBox*, kRemoveBoxCount> boxes_{};
    wxButton* btnSelAll = nullptr;
    wxButton* btnUnSellAll = nullptr;
};

void ShowTRemoveDataDialog(wxWindow* owner);
