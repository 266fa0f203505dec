#pragma once
// frmTSupportWizard: Track > Support Wizard. Prefabricated supports along the
// whole track at a chosen spacing, styled by segment type and bank.

#include "tools/frm_tool_dialog.h"
#include "tools/support_wizard.h"

class wxCheckBox;
class wxChoice;

class frmTSupportWizard : public frmToolDialog {
public:
    explicit frmTSupportWizard(wxWindow* owner);
    SupportWizardOptions Options() const;

    wxChoice* DefaultList() const { return cmbDefault; }
    wxChoice* ChangeList(int k) const { return cmbChange[k]; }
    wxCheckBox* ChangeBox(int k) const { return chkChange[k]; }
    wxCheckBox* UseBankBox(int k) const { return chkUseBank[k]; }
    wxCheckBox* RemoveAllBox() const { return chkRemRasc; }

protected:
    bool ApplyTool() override { return RunSupportWizard(Options()); }

private:
    wxChoice* cmbDefault = nullptr;
    wxCheckBox* chkRemRasc = nullptr;
    wxCheckBox* chkChange[3] = {};
    wxChoice* cmbChange[3] = {};
    wxCheckBox* chkUseBank[2] = {};
};

void ShowTSupportWizardDialog(wxWindow* owner);
