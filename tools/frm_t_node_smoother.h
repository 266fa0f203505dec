#pragma once
// frmTNodeSmoother: Track > Node Smoother. Smooths the whole track, all but
// the selected segments or only them; "Depump" is offered only together with
// "Prefer Equal CP 's Lengths". OK is always enabled.

#include <array>

#include "tools/frm_tool_dialog.h"
#include "tools/node_smoother.h"

class wxCheckBox;
class wxRadioButton;

class frmTNodeSmoother : public frmToolDialog {
public:
    explicit frmTNodeSmoother(wxWindow* owner);
    wxRadioButton* ApplyToOption(int index) const { return optApplyTo.at(static_cast<size_t>(index)); }
    wxCheckBox* OptionBox(int index) const { return chkSmoothOpt.at(static_cast<size_t>(index)); }
    NodeSmootherOptions Options() const;

    void chkSmoothOpt_Click();

protected:
    bool ApplyTool() override { return RunNodeSmoother(Options()); }

private:
    std::array<wxRadioButton*, 3> optApplyTo{};
    std::array<wxCheckBox*, 3> chkSmoothOpt{};
};

void ShowTNodeSmootherDialog(wxWindow* owner);
