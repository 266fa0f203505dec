#pragma once
// frmTTubeExchanger: Track > Tube Exchange. Turns every support tube of one
// type into another; OK is enabled while the two lists differ.

#include "tools/frm_tool_dialog.h"

class wxChoice;

class frmTTubeExchanger : public frmToolDialog {
public:
    explicit frmTTubeExchanger(wxWindow* owner);
    wxChoice* FromList() const { return cmbFrom; }
    wxChoice* ToList() const { return cmbTo; }

    void cmbList_Click();

protected:
    bool ApplyTool() override;

private:
    wxChoice* cmbFrom = nullptr;
    wxChoice* cmbTo = nullptr;
};

void ShowTTubeExchangerDialog(wxWindow* owner);
