#pragma once
// frmTSupportOptimizer: Track > Support Optimizer. Merges same-type tubes
// that continue each other in a straight line; offered from three tubes on.

#include "tools/frm_tool_dialog.h"
#include "tools/support_optimizer.h"

class wxCheckBox;
class wxStaticText;

class frmTSupportOptimizer : public frmToolDialog {
public:
    explicit frmTSupportOptimizer(wxWindow* owner);

    wxStaticText* InfoLabel() const { return lblInfo; }
    wxCheckBox* CleanUpBox() const { return chkCleanUp; }

protected:
    bool ApplyTool() override;

private:
    wxStaticText* lblInfo = nullptr;
    wxCheckBox* chkCleanUp = nullptr;
};

void ShowTSupportOptimizerDialog(wxWindow* owner);
