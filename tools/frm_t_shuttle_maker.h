#pragma once
// frmTShuttleMaker: Track > Shuttle Builder. Turns an open track into a
// circuit that runs out and back over it; OK is disabled on a circuit and on
// a track of fewer than two nodes, with the reason in its text.

#include "tools/frm_tool_dialog.h"

class wxStaticText;

class frmTShuttleMaker : public frmToolDialog {
public:
    explicit frmTShuttleMaker(wxWindow* owner);
    wxStaticText* InfoLabel() const { return lblInfo; }

protected:
    bool ApplyTool() override;

private:
    wxStaticText* lblInfo = nullptr;
};

void ShowTShuttleMakerDialog(wxWindow* owner);
