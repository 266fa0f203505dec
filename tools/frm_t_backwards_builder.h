#pragma once
// frmTBackwardsBuilder: Track > Backwards Rebuilder. Rebuilds the track to be
// ridden the other way round; it has no input and OK is always enabled.

#include "tools/frm_tool_dialog.h"

class wxStaticText;

class frmTBackwardsBuilder : public frmToolDialog {
public:
    explicit frmTBackwardsBuilder(wxWindow* owner);
    wxStaticText* InfoLabel() const { return lblInfo; }

protected:
    bool ApplyTool() override;

private:
    wxStaticText* lblInfo = nullptr;
};

void ShowTBackwardsBuilderDialog(wxWindow* owner);
